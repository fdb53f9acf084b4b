// "Home \ LAN" as the user sees it against the simulated access point (saved as
// docs/windows/home-lan.png when QRN_SCREENSHOT_DIR is set): framed as a dialog and fitting its
// content, with the device's static address, mask and gateway shown.
#include "screenshot.h"
#include "tfm_lancfg.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class LanWindowScreenshot : public PageWindowTest
{
};

TEST_F(LanWindowScreenshot, HomeLan)
{
    startDevice();
    TFM_LanCfg window(m_form.get());
    ASSERT_EQ(window.ED_IpAddr->text(), QStringLiteral("192.168.0.50"));
    const QImage image = windowScreenshot(window, QStringLiteral("home-lan"));
    EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
    EXPECT_EQ(window.size(), window.sizeHint());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    // The address fields are wide enough for the longest address.
    const int widest =
        window.ED_IpAddr->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255"));
    EXPECT_GT(window.ED_IpAddr->width(), widest);
    window.close();
}

} // namespace
