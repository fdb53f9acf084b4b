// The waiting window against the simulated access point: how it counts, when it closes, when it
// sends the restart command, and that the user cannot close it while it counts. Ticks are
// driven by the test; the main window's status line is set directly where a test needs the
// device to answer or to stay silent.
#include "ktwaiting.h"
#include "mainformtest.h"
#include "tfm_waiting.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kReady = QStringLiteral("Ready. ");
const QString kTimedOut = QStringLiteral("SNMP request timed out!");
const QString kRebootSet = QStringLiteral("set 1.3.6.1.4.1.32473.11.37.4.3.3.5.0=4 -> noError");

class WaitingWindow : public MainFormTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString();
        startAgainst(m_sim);
        // From here on the test decides what the status line says.
        m_form->Timer1->stop();
        m_sim.clearLog();
    }

    void setStatusLine(const QString &text) { m_form->MainStatusPanel->setText(text); }

    // Ticks until the window closes (at most limit ticks); returns what La_Time showed after
    // each tick.
    static QStringList tickUntilClosed(TFM_Waiting &window, int limit)
    {
        QStringList shown;
        for (int i = 0; i < limit && !window.isClosed(); ++i) {
            window.Timer1Timer();
            shown.append(window.La_Time->text());
        }
        return shown;
    }

    static KtWaitingOptions noCommand(int countdown)
    {
        KtWaitingOptions options;
        options.countdown = countdown;
        options.sendRestartCommand = false;
        return options;
    }

    ApSim m_sim{{QStringLiteral("--restart-seconds"), QStringLiteral("2")}};
};

TEST_F(WaitingWindow, CreatedWithTheDefaultsAndTheFirmwareVersionRead)
{
    TFM_Waiting window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Please wait"));
    EXPECT_EQ(window.Label2->text(), QStringLiteral("Settings saved."));
    EXPECT_EQ(window.Label3->text(), QStringLiteral("The device is restarting."));
    EXPECT_EQ(window.countdown(), 30);
    EXPECT_EQ(window.commandDelay(), 2);
    EXPECT_TRUE(window.sendRestartCommand());
    EXPECT_TRUE(window.commandPending());
    EXPECT_EQ(window.Ed_FwVer->text(), QStringLiteral("v2.00"));
    EXPECT_EQ(window.Timer1->interval(), 1200);
    window.show();
    EXPECT_EQ(window.size(), QSize(249, 70));
    window.Timer1->stop();
}

// The system window's captions are longer than the window's design width: the window widens
// so that the whole caption fits beside the title bar's icon and buttons (it was cut to
// "System is...waiting.....").
TEST_F(WaitingWindow, LongCaptionFitsTheTitleBar)
{
    const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    for (const QString &caption : {QStringLiteral("System is rebooting, please waiting....."),
                                   QStringLiteral("System is rebooting, please waiting.....!")}) {
        TFM_Waiting window;
        KtWaitingOptions options = noCommand(5);
        options.caption = caption;
        window.applyOptions(options);
        window.show();
        const int bar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
        EXPECT_GE(window.width(), title.horizontalAdvance(caption) + 3 * bar)
            << caption.toStdString();
        EXPECT_EQ(window.height(), 70);
        window.Timer1->stop();
    }
}

TEST_F(WaitingWindow, DeviceAnsweringClosesAfterTheCountdown)
{
    TFM_Waiting window;
    window.applyOptions(noCommand(5));
    setStatusLine(kReady);
    const QStringList shown = tickUntilClosed(window, 20);
    EXPECT_TRUE(window.isClosed());
    // The number shown is the count before it goes down.
    EXPECT_EQ(shown, (QStringList{"5", "4", "3", "2", "1"}));
}

TEST_F(WaitingWindow, SilentDeviceHoldsAtTwoForSixTicksThenReleasesTheWindow)
{
    TFM_Waiting window;
    window.applyOptions(noCommand(5));
    setStatusLine(kTimedOut);
    const QStringList shown = tickUntilClosed(window, 9);
    EXPECT_FALSE(window.isClosed()) << "closed after five silent ticks";
    EXPECT_EQ(window.silentTicks(), 5);
    window.Timer1Timer();
    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(shown, (QStringList{"5", "4", "3", "2", "2", "2", "2", "2", "2"}));
    EXPECT_EQ(window.La_Time->text(), QStringLiteral("2"));
}

TEST_F(WaitingWindow, DeviceBackDuringTheSilentTicksClosesAtOnce)
{
    TFM_Waiting window;
    window.applyOptions(noCommand(3));
    setStatusLine(kTimedOut);
    tickUntilClosed(window, 4); // 3, 2, then two silent ticks at 1
    ASSERT_FALSE(window.isClosed());
    setStatusLine(kReady);
    window.Timer1Timer();
    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(window.La_Time->text(), QStringLiteral("1"));
}

TEST_F(WaitingWindow, UserCannotCloseWhileItCounts)
{
    TFM_Waiting window;
    window.applyOptions(noCommand(3));
    window.show();
    setStatusLine(kTimedOut);
    EXPECT_FALSE(window.close());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
    EXPECT_FALSE(window.isClosed());
    EXPECT_TRUE(window.isVisible());
    // Stuck at 1: after more than two silent ticks the user may give up waiting.
    window.Timer1Timer();
    window.Timer1Timer();
    window.Timer1Timer(); // silent tick 1
    window.Timer1Timer(); // silent tick 2
    EXPECT_FALSE(window.close());
    window.Timer1Timer(); // silent tick 3
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(window.isClosed());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WaitingWindow, RestartCommandGoesOutOnceAfterTheCommandDelay)
{
    TFM_Waiting window;
    KtWaitingOptions options;
    options.countdown = 6;
    options.commandDelay = 3;
    window.applyOptions(options);
    setStatusLine(kReady);
    window.Timer1Timer();
    window.Timer1Timer();
    EXPECT_EQ(countLines(settledLog(m_sim, 8000), QStringLiteral(" set ")), 0);
    window.Timer1Timer();
    EXPECT_FALSE(window.commandPending());
    // "reboot" in Ed_Reboot reaches the device as Reboot (4), whatever its case.
    EXPECT_TRUE(processUntil([this] { return countLines(m_sim.log(), kRebootSet) == 1; }, 5000))
        << m_sim.log().join(u'\n').toStdString();
    tickUntilClosed(window, 10);
    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(countLines(settledLog(m_sim, 8000), QStringLiteral(" set ")), 1);
}

TEST_F(WaitingWindow, CommandDelayLongerThanTheCountdownSendsNoCommand)
{
    TFM_Waiting window;
    KtWaitingOptions options;
    options.countdown = 5;
    options.commandDelay = 6;
    window.applyOptions(options);
    setStatusLine(kReady);
    tickUntilClosed(window, 20);
    ASSERT_TRUE(window.isClosed());
    EXPECT_TRUE(window.commandPending());
    const QStringList log = settledLog(m_sim, 8000);
    EXPECT_EQ(countLines(log, QStringLiteral(" set ")), 0) << log.join(u'\n').toStdString();
}

TEST_F(WaitingWindow, RestartFlagOffSendsNothing)
{
    TFM_Waiting window;
    window.applyOptions(noCommand(4));
    setStatusLine(kReady);
    tickUntilClosed(window, 20);
    ASSERT_TRUE(window.isClosed());
    EXPECT_FALSE(window.commandPending());
    EXPECT_EQ(countLines(settledLog(m_sim, 8000), QStringLiteral(" set ")), 0);
}

TEST_F(WaitingWindow, ShowAppliesTheCallersOptionsAndReturnsWhenTheWindowCloses)
{
    KtWaiting::Script script;
    QString caption;
    QString label2;
    QString label3;
    int ticks = 0;
    script.driver = [&](TFM_Waiting &window) {
        caption = window.windowTitle();
        label2 = window.Label2->text();
        label3 = window.Label3->text();
        EXPECT_FALSE(window.Timer1->isActive());
        while (!window.isClosed() && ticks < 50) {
            window.Timer1Timer();
            ++ticks;
        }
    };
    setStatusLine(kReady);
    KtWaitingOptions options = noCommand(12);
    options.caption = QStringLiteral("Checking");
    options.label2 = QStringLiteral("Please wait...");
    options.label3 = QStringLiteral("Judge the IP whether can be used.");
    KtWaiting::Show(m_form.get(), options);
    EXPECT_EQ(ticks, 12);
    EXPECT_EQ(caption, QStringLiteral("Checking"));
    EXPECT_EQ(label2, QStringLiteral("Please wait..."));
    EXPECT_EQ(label3, QStringLiteral("Judge the IP whether can be used."));
    ASSERT_EQ(script.shown().size(), 1);
    EXPECT_EQ(script.shown().at(0).countdown, 12);
}

TEST_F(WaitingWindow, ModalWindowRunsOnItsOwnTimerUntilTheDeviceAnswers)
{
    // The real modal path, shortest count: one tick of 1200 ms.
    setStatusLine(kReady);
    bool refused = false;
    QTimer::singleShot(100, [&refused] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<TFM_Waiting *>(w); window && window->isVisible())
                refused = !window->close();
        }
    });
    KtWaiting::Show(m_form.get(), noCommand(1));
    EXPECT_TRUE(refused);
}

} // namespace
