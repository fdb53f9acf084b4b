// The waiting window against the simulated access point: how it counts, when it closes, when it
// sends the restart command, and that the user cannot close it while it counts. Ticks are
// driven by the test; the main window's status line is set directly where a test needs the
// device to answer or to stay silent.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktsnmprequest.h"
#include "ktsnmpsession.h"
#include "ktwaiting.h"
#include "tfm_waiting.h"
#include "tmainform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kReady = QStringLiteral("Ready. ");
const QString kTimedOut = QStringLiteral("SNMP request timed out!");
const QString kUpTimeOid = QStringLiteral("1.3.6.1.2.1.1.3");
const QString kRebootSet = QStringLiteral("set 1.3.6.1.4.1.32473.11.37.4.3.3.5.0=4 -> noError");

bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

int countLines(const QStringList &log, const QString &piece)
{
    int n = 0;
    for (const QString &line : log)
        n += line.contains(piece) ? 1 : 0;
    return n;
}

// One short read of sysUpTime: whether the device answers right now.
bool deviceAnswers()
{
    KtSNMPRequest probe;
    KtSNMPVarItem upTime;
    upTime.oid = kUpTimeOid;
    upTime.syntax = SYN_TIMETICKS;
    upTime.access = ACC_READONLY;
    const KtSNMPVarItem table[] = {upTime, {}};
    probe.list = KtSNMPVarList(table, SVT_SV, 0);
    probe.timeout = 30;
    probe.retries = 0;
    probe.statusCallback = nullptr;
    return probe.ReadSync(true);
}

// The simulator logs a request just after it has sent the answer, so the log may lag behind
// what the window already knows. A probe's line in the log shows that every earlier request
// is there too; a device restarting is waited for first.
QStringList settledLog(const ApSim &sim)
{
    const QString probeLine = QStringLiteral(" get ") + kUpTimeOid + QStringLiteral(".0 ");
    const int before = countLines(sim.log(), probeLine);
    if (waitUntil([] { return deviceAnswers(); }, 8000))
        waitUntil([&] { return countLines(sim.log(), probeLine) > before; }, 5000);
    return sim.log();
}

class WaitingWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString();
        ASSERT_TRUE(m_dir.isValid());
        // The main window finds the simulator through a parameter file for its address.
        writeFile(QStringLiteral("registry.ini"),
                  "[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath=" + QFile::encodeName(path("mbf/"))
                      + "\n");
        writeFile(QStringLiteral("mbf/127.0.0.1.cfg"),
                  "[Program Information]\nAgentPort=" + QByteArray::number(m_sim.port())
                      + "\nVersion=1\nSecurityModel=2\n");
        qputenv("QRN_SETTINGS", QFile::encodeName(path("registry.ini")));
        qputenv("QRN_DATA_DIR", QFile::encodeName(path("data")));
        qputenv("QRN_RUNTIME_DIR", QFile::encodeName(path("run")));
        KtMessages::resetToBuiltIn();
        // A switch after the address makes start-up read the parameter file (the port).
        m_form = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("/I127.0.0.1"), QStringLiteral("/Rvarnok")});
        ASSERT_TRUE(m_dialogs.messages().isEmpty())
            << m_dialogs.texts().join(u'|').toStdString();
        ASSERT_TRUE(waitUntil([this] { return m_form->statusText() == kReady; }))
            << m_form->statusText().toStdString();
        // From here on the test decides what the status line says.
        m_form->Timer1->stop();
        m_sim.clearLog();
    }

    void TearDown() override
    {
        m_form.reset();
        if (KtSNMPSession::IsOpen())
            KtSNMPSession::CloseSession();
        KtMessages::resetToBuiltIn();
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
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
    QTemporaryDir m_dir;
    KtDialogs::Script m_dialogs;
    std::unique_ptr<TMainForm> m_form;
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
    EXPECT_EQ(countLines(settledLog(m_sim), QStringLiteral(" set ")), 0);
    window.Timer1Timer();
    EXPECT_FALSE(window.commandPending());
    // "reboot" in Ed_Reboot reaches the device as Reboot (4), whatever its case.
    EXPECT_TRUE(waitUntil([this] { return countLines(m_sim.log(), kRebootSet) == 1; }, 5000))
        << m_sim.log().join(u'\n').toStdString();
    tickUntilClosed(window, 10);
    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(countLines(settledLog(m_sim), QStringLiteral(" set ")), 1);
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
    const QStringList log = settledLog(m_sim);
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
    EXPECT_EQ(countLines(settledLog(m_sim), QStringLiteral(" set ")), 0);
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
