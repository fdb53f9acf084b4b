// The windows of the main window's room against the simulated access point, rendered as the
// user sees them once they show the device's values: each is framed as a dialog (no maximise
// button, not resizable) and either fits its content or keeps the size it gave itself. With
// QRN_SCREENSHOT_DIR set the grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "informationwindow.h"
#include "screenshot.h"
#include "taboutform.h"
#include "tfm_devinfo.h"
#include "tfm_sytem.h"
#include "tfm_waiting.h"
#include "tmsgpanel.h"
#include "tsnmpeditorpanel.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class WindowScreenshots : public PageWindowTest
{
protected:
    void SetUp() override { startDevice(); }

    // The grab, and the frame every dialog of the module has.
    void render(QDialog &window, const QString &name, bool fitsContent)
    {
        const QImage image = windowScreenshot(window, name);
        EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
        EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
        if (fitsContent) {
            EXPECT_EQ(window.size(), window.sizeHint());
        }
    }
};

TEST_F(WindowScreenshots, HomeInformation)
{
    std::unique_ptr<TConfigForm> window(InformationWindow::Create(m_form.get()));
    window->show();
    QPlainTextEdit *memo = window->editorPanel()->MsgPanel()->memo();
    // The creator's read and the window's own refresh.
    ASSERT_TRUE(processUntil([&] { return memo->toPlainText().split(u'\n').size() >= 2; }));
    render(*window, QStringLiteral("home-information"), false);
}

TEST_F(WindowScreenshots, ToolsSystem)
{
    TFM_Sytem window(m_form.get());
    EXPECT_EQ(window.CB_Restore->currentText(), QStringLiteral("False"));
    render(window, QStringLiteral("tools-system"), true);
}

TEST_F(WindowScreenshots, StatusDeviceInfo)
{
    TFM_DevInfo window(m_form.get());
    // Band g arrives asynchronously.
    ASSERT_TRUE(processUntil([&] { return !window.Ed_SSIDg->text().isEmpty(); }));
    EXPECT_EQ(window.Ed_SSIDa->text(), QStringLiteral("Norvane-11a"));
    render(window, QStringLiteral("status-device-info"), true);
}

TEST_F(WindowScreenshots, HelpAbout)
{
    TAboutForm window(m_form.get());
    render(window, QStringLiteral("help-about"), false);
    EXPECT_EQ(window.size(), QSize(364, 100));
}

TEST_F(WindowScreenshots, Waiting)
{
    TFM_Waiting window(m_form.get());
    KtWaitingOptions options;
    options.countdown = 25;
    window.applyOptions(options);
    render(window, QStringLiteral("waiting"), false);
    window.Timer1->stop();
    EXPECT_EQ(window.La_Time->text(), QStringLiteral("25"));
}

} // namespace
