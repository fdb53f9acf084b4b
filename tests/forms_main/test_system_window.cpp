// "Tools \ System" against the simulated access point: Restart and Restore ask first, write
// both items, make the device restart (silent, then answering again) and show the waiting
// window with their own caption and texts; Cancel writes nothing.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktsnmprequest.h"
#include "ktsnmpsession.h"
#include "ktwaiting.h"
#include "tfm_sytem.h"
#include "tmainform.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kReady = QStringLiteral("Ready. ");
const QString kRestartOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.1.0");
const QString kFactoryOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.2.0");
const QString kUpTimeOid = QStringLiteral("1.3.6.1.2.1.1.3");

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

QStringList setLines(const QStringList &log)
{
    QStringList sets;
    for (const QString &line : log) {
        if (line.contains(QStringLiteral(" set ")))
            sets.append(line);
    }
    return sets;
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

int probeLines(const QStringList &log)
{
    int n = 0;
    for (const QString &line : log)
        n += line.contains(QStringLiteral(" get ") + kUpTimeOid + QStringLiteral(".0 ")) ? 1 : 0;
    return n;
}

// The simulator logs a request just after it has sent the answer, so the log may lag behind
// what the window already knows. A probe's line in the log shows that every earlier request
// is there too (the device must be answering).
QStringList settledLog(const ApSim &sim)
{
    const int before = probeLines(sim.log());
    if (deviceAnswers())
        waitUntil([&] { return probeLines(sim.log()) > before; }, 5000);
    return sim.log();
}

// The set lines once at least n of them are logged (or after a few seconds).
QStringList waitForSets(const ApSim &sim, int n)
{
    waitUntil([&] { return setLines(sim.log()).size() >= n; }, 5000);
    return setLines(sim.log());
}

class SystemWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString();
        ASSERT_TRUE(m_dir.isValid());
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
        m_form->Timer1->stop();
        m_form->Timer4->stop();
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

    ApSim m_sim{{QStringLiteral("--restart-seconds"), QStringLiteral("2")}};
    QTemporaryDir m_dir;
    KtDialogs::Script m_dialogs;
    KtWaiting::Script m_waiting;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(SystemWindow, RestartAsksWritesAndTheDeviceRestarts)
{
    TFM_Sytem window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tools \\ System"));
    EXPECT_EQ(window.CB_Restore->currentText(), QStringLiteral("False"));
    m_sim.clearLog();

    window.Button1->click();

    ASSERT_EQ(m_dialogs.messages().size(), 1);
    const KtDialogs::Message &question = m_dialogs.messages().at(0);
    EXPECT_EQ(question.caption, QStringLiteral("Warning"));
    EXPECT_EQ(question.text, QStringLiteral("Device will reboot, continue?"));
    EXPECT_EQ(question.buttons, KtDialogs::Buttons::OkCancel);

    const QStringList sets = waitForSets(m_sim, 1);
    ASSERT_EQ(sets.size(), 1) << m_sim.log().join(u'\n').toStdString() << "\nstatus: "
                              << window.StatusBar->currentMessage().toStdString();
    EXPECT_TRUE(sets.at(0).contains(kRestartOid + QStringLiteral("=1 ") + kFactoryOid
                                    + QStringLiteral("=2 -> noError")))
        << sets.at(0).toStdString();

    // The device answered the write, then goes silent and comes back.
    EXPECT_FALSE(deviceAnswers());
    EXPECT_TRUE(waitUntil([] { return deviceAnswers(); }));

    ASSERT_EQ(m_waiting.shown().size(), 1);
    const KtWaitingOptions &waiting = m_waiting.shown().at(0);
    EXPECT_EQ(waiting.caption, QStringLiteral("System is rebooting, please waiting....."));
    EXPECT_EQ(waiting.label3, QStringLiteral("The device is restarting."));
    EXPECT_FALSE(waiting.sendRestartCommand);
    EXPECT_EQ(waiting.countdown, 30);
}

TEST_F(SystemWindow, CancelWritesNothingAndShowsNoWaitingWindow)
{
    TFM_Sytem window;
    m_sim.clearLog();
    m_dialogs.answerNext(false);
    window.Button1->click();
    m_dialogs.answerNext(false);
    window.Button2->click();
    EXPECT_EQ(m_dialogs.messages().size(), 2);
    const QStringList log = settledLog(m_sim);
    EXPECT_TRUE(setLines(log).isEmpty()) << log.join(u'\n').toStdString();
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_EQ(window.CB_Restore->currentText(), QStringLiteral("False"));
}

TEST_F(SystemWindow, RestartAfterACancelledRestoreKeepsTheSettings)
{
    // Guards against a cancelled Restore leaving FactoryDefault at True: the next Restart
    // writes both items and would reset the device.
    const QString hSsid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.1.1.1.1");
    ASSERT_TRUE(m_sim.command(QStringLiteral("set ") + hSsid + QStringLiteral(" kept"))
                    .startsWith(QStringLiteral("ok")));
    TFM_Sytem window;
    m_sim.clearLog();
    m_dialogs.answerNext(false);
    window.Button2->click();
    window.Button1->click();

    const QStringList sets = waitForSets(m_sim, 1);
    ASSERT_EQ(sets.size(), 1) << m_sim.log().join(u'\n').toStdString() << "\nstatus: "
                              << window.StatusBar->currentMessage().toStdString();
    EXPECT_TRUE(sets.at(0).contains(kFactoryOid + QStringLiteral("=2 -> noError")))
        << sets.at(0).toStdString();
    EXPECT_TRUE(waitUntil([] { return deviceAnswers(); }));
    const QString ssid = m_sim.command(QStringLiteral("get stSSID.1"));
    EXPECT_TRUE(ssid.contains(QStringLiteral("kept"))) << ssid.toStdString();
}

TEST_F(SystemWindow, RestoreBringsTheFactorySettingsBack)
{
    const QString hSsid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.1.1.1.1");
    ASSERT_TRUE(m_sim.command(QStringLiteral("set ") + hSsid + QStringLiteral(" changed"))
                    .startsWith(QStringLiteral("ok")));
    ASSERT_TRUE(m_sim.command(QStringLiteral("get stSSID.1")).contains(QStringLiteral("changed")));
    TFM_Sytem window;
    m_sim.clearLog();

    window.Button2->click();

    const QStringList sets = waitForSets(m_sim, 1);
    ASSERT_EQ(sets.size(), 1) << m_sim.log().join(u'\n').toStdString() << "\nstatus: "
                              << window.StatusBar->currentMessage().toStdString();
    EXPECT_TRUE(sets.at(0).contains(kRestartOid + QStringLiteral("=1 ") + kFactoryOid
                                    + QStringLiteral("=1 -> noError")))
        << sets.at(0).toStdString();
    EXPECT_TRUE(waitUntil([] { return deviceAnswers(); }));
    const QString ssid = m_sim.command(QStringLiteral("get stSSID.1"));
    EXPECT_TRUE(ssid.contains(QStringLiteral("Norvane-11a"))) << ssid.toStdString();

    ASSERT_EQ(m_waiting.shown().size(), 1);
    const KtWaitingOptions &waiting = m_waiting.shown().at(0);
    EXPECT_EQ(waiting.caption, QStringLiteral("System is rebooting, please waiting.....!"));
    EXPECT_EQ(waiting.label3, QStringLiteral("The system IP will be 192.168.0.50 !"));
    EXPECT_FALSE(waiting.sendRestartCommand);
}

TEST_F(SystemWindow, RefusedWriteIsShownAndTheWaitingWindowStillFollows)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("error ") + kRestartOid + QStringLiteral(" genErr"))
                    .startsWith(QStringLiteral("ok")));
    TFM_Sytem window;
    window.Button1->click();
    const QString status = window.StatusBar->currentMessage();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Set: "))) << status.toStdString();
    EXPECT_TRUE(deviceAnswers());
    EXPECT_EQ(m_waiting.shown().size(), 1);
}

} // namespace
