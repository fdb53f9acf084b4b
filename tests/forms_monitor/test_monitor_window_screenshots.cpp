// The statistics and client windows against the simulated access point, rendered as the user
// sees them once they show the device's values; each fits its content. With
// QRN_SCREENSHOT_DIR set the grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "ktsnmprequest2edits.h"
#include "screenshot.h"
#include "tclientinformation.h"
#include "tfm_static.h"
#include "windowtest.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class MonitorWindowScreenshots : public PageWindowTest
{
protected:
    void render(QDialog &window, const QString &name)
    {
        const QImage image = windowScreenshot(window, name);
        EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
        EXPECT_EQ(window.size(), window.sizeHint());
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
    }
};

TEST_F(MonitorWindowScreenshots, StatusStats)
{
    startDevice();
    TFM_Static window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return !window.CountersA[17]->text().isEmpty(); }));
    render(window, QStringLiteral("status-stats"));
}

TEST_F(MonitorWindowScreenshots, StatusClientInfo)
{
    // A bridging radio: both tabs.
    startDevice(QStringLiteral("wds"));
    TClientInformation window(m_form.get());
    window.show();
    ASSERT_TRUE(processUntil([&] {
        return !window.La_ClientCount->text().isEmpty() && !window.La_WDSCount->text().isEmpty();
    }));
    // Between two refreshes, with the working indication gone.
    window.Timer1->stop();
    ASSERT_TRUE(processUntil([&] {
        return !window.clientRefreshUnderWay() && !window.workingLabel()->isVisible();
    }));
    render(window, QStringLiteral("status-client-info"));
}

} // namespace
