// Status \ Log, Status \ Log \ Log Setting and Tools \ SNTP against qrn-apsim, rendered as the
// user sees them once the device's log and time-zone list have arrived. With
// QRN_SCREENSHOT_DIR set the grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "screenshot.h"
#include "tlogform.h"
#include "tlogsetform.h"
#include "transferwindowtest.h"
#include "tsntpform.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

class LogSntpScreenshots : public TransferWindowTest
{
protected:
    void SetUp() override { startTransferDevice(); }

    void render(QDialog &window, const QString &name)
    {
        const QImage image = windowScreenshot(window, name);
        EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
    }
};

TEST_F(LogSntpScreenshots, StatusLogAndLogSetting)
{
    EXPECT_TRUE(m_form->Log1->isEnabled());
    simCommand(QStringLiteral("event NOTICE Settings changed by admin"));
    TLogForm window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return !window.isWorking(); }));
    window.GetBtn->click();
    ASSERT_TRUE(processUntil([&] { return !window.Timer1->isActive(); }, 30000));
    ASSERT_GT(window.LV_Log->topLevelItemCount(), 3);
    render(window, QStringLiteral("status-log"));
    // As Log Settings opens it (a disabled remote server shows as an empty field).
    TLogSetForm &settings = *window.settingsForm();
    QTimer::singleShot(0, &settings, [&] {
        render(settings, QStringLiteral("status-log-setting"));
        EXPECT_TRUE(settings.LogServerEdit->text().isEmpty());
        settings.Button1->click();
    });
    window.SetBtn->click();
}

TEST_F(LogSntpScreenshots, ToolsSntp)
{
    EXPECT_TRUE(m_form->SNTP1->isEnabled());
    TSNTPForm window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return window.listRead() && !window.isWorking(); }, 30000));
    render(window, QStringLiteral("tools-sntp"));
}

} // namespace
