// Tools \ Firmware and Tools \ Configuration File against qrn-apsim, rendered as the user sees
// them: framed as dialogs, fitting their content. With QRN_SCREENSHOT_DIR set the grabs are
// saved (scripts/screenshots.sh: docs/windows/).
#include "screenshot.h"
#include "tfm_cfgfile.h"
#include "tfm_firmware.h"
#include "transferwindowtest.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

class TransferWindowScreenshots : public TransferWindowTest
{
protected:
    void SetUp() override { startTransferDevice(); }

    void render(QDialog &window, const QString &name)
    {
        const QImage image = windowScreenshot(window, name);
        EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
        EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
        EXPECT_EQ(window.size(), window.sizeHint());
    }
};

TEST_F(TransferWindowScreenshots, ToolsFirmware)
{
    TFM_Firmware window(m_form.get());
    window.Ed_UpgFile->setText(QStringLiteral("/home/admin/firmware/qrn7300xb-v2.10.tfp"));
    render(window, QStringLiteral("tools-firmware"));
    // Only the file field and the two buttons are the user's; the bound controls stay hidden.
    EXPECT_FALSE(window.Ed_TfpSrv->isVisible());
    EXPECT_FALSE(window.CB_TfpCom->isVisible());
    EXPECT_FALSE(window.CB_UpgCom->isVisible());
}

TEST_F(TransferWindowScreenshots, ToolsConfigurationFile)
{
    TFM_CfgFile window(m_form.get());
    window.Ed_UpgFile->setText(QStringLiteral("/home/admin/backup/ap-bldg2-3f.cfg"));
    render(window, QStringLiteral("tools-configuration-file"));
    EXPECT_FALSE(window.Ed_TfpSrv->isVisible());
    EXPECT_FALSE(window.CB_TfpCom->isVisible());
    EXPECT_FALSE(window.CB_UpgCom->isVisible());
}

} // namespace
