// The administrator, miscellaneous and grouping windows against the simulated access point,
// rendered as the user sees them once they show the device's values; each fits its content.
// With QRN_SCREENSHOT_DIR set the grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "screenshot.h"
#include "tfm_admin.h"
#include "tfm_group.h"
#include "tfm_misc.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class NetworkWindowScreenshots : public PageWindowTest
{
protected:
    void SetUp() override { startDevice(); }

    void render(QDialog &window, const QString &name)
    {
        const QImage image = windowScreenshot(window, name);
        EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
        EXPECT_EQ(window.size(), window.sizeHint());
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
    }
};

TEST_F(NetworkWindowScreenshots, ToolsAdmin)
{
    TFM_Admin window(m_form.get());
    ASSERT_EQ(window.Ed_Usr->text(), QStringLiteral("admin"));
    render(window, QStringLiteral("tools-admin"));
}

TEST_F(NetworkWindowScreenshots, ToolsMisc)
{
    TFM_Misc window(m_form.get());
    ASSERT_EQ(window.CB_Timeout->currentText(), QStringLiteral("5 Mins"));
    render(window, QStringLiteral("tools-misc"));
}

TEST_F(NetworkWindowScreenshots, AdvancedGrouping)
{
    TFM_Group window(m_form.get());
    ASSERT_EQ(window.Ed_UsrL->text(), QStringLiteral("32"));
    render(window, QStringLiteral("advanced-grouping"));
}

} // namespace
