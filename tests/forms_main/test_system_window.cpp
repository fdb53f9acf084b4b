// "Tools \ System" against the simulated access point: Restart and Restore ask first, write
// both items, make the device restart (silent, then answering again) and show the waiting
// window with their own caption and texts; Cancel writes nothing.
#include "ktwaiting.h"
#include "tfm_sytem.h"
#include "windowtest.h"

#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kRestartOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.1.0");
const QString kFactoryOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.2.0");
// The 802.11a SSID setting: a change to it shows whether a restart kept the settings.
const QString kSsidOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.1.1.1.1");

// The set lines once at least n of them are logged (or after a few seconds).
QStringList waitForSets(const ApSim &sim, int n)
{
    processUntil([&] { return setLines(sim.log()).size() >= n; }, 5000);
    return setLines(sim.log());
}

class SystemWindow : public MainFormTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString();
        startAgainst(m_sim);
        m_form->Timer1->stop();
        m_form->Timer4->stop();
    }

    void simCommand(const QString &line)
    {
        const QString answer = m_sim.command(line);
        ASSERT_TRUE(answer.startsWith(QStringLiteral("ok"))) << answer.toStdString();
    }

    // The one set the window sent (empty, and a failure, when it sent none or more).
    QString theOneSet(const TFM_Sytem &window)
    {
        const QStringList sets = waitForSets(m_sim, 1);
        if (sets.size() == 1)
            return sets.at(0);
        ADD_FAILURE() << sets.size() << " sets\n" << m_sim.log().join(u'\n').toStdString()
                      << "\nstatus: " << window.StatusBar->currentMessage().toStdString();
        return {};
    }

    // The 802.11a SSID once the device answers again after its restart.
    QString ssidOnceBack()
    {
        EXPECT_TRUE(processUntil([] { return deviceAnswers(); }));
        return m_sim.command(QStringLiteral("get stSSID.1"));
    }

    ApSim m_sim{{QStringLiteral("--restart-seconds"), QStringLiteral("2")}};
    KtWaiting::Script m_waiting;
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

    const QString set = theOneSet(window);
    EXPECT_TRUE(set.contains(kRestartOid + QStringLiteral("=1 ") + kFactoryOid
                             + QStringLiteral("=2 -> noError")))
        << set.toStdString();

    // The device answered the write, then goes silent and comes back.
    EXPECT_FALSE(deviceAnswers());
    EXPECT_TRUE(processUntil([] { return deviceAnswers(); }));

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
    simCommand(QStringLiteral("set ") + kSsidOid + QStringLiteral(" kept"));
    TFM_Sytem window;
    m_sim.clearLog();
    m_dialogs.answerNext(false);
    window.Button2->click();
    window.Button1->click();

    const QString set = theOneSet(window);
    EXPECT_TRUE(set.contains(kFactoryOid + QStringLiteral("=2 -> noError"))) << set.toStdString();
    const QString ssid = ssidOnceBack();
    EXPECT_TRUE(ssid.contains(QStringLiteral("kept"))) << ssid.toStdString();
}

TEST_F(SystemWindow, RestartAfterAFailedFirstReadDoesNotResetTheDevice)
{
    // The first read did not tell what FactoryDefault holds: the box shows no choice, and a
    // Restart must not go out as a factory reset.
    simCommand(QStringLiteral("set ") + kSsidOid + QStringLiteral(" kept"));
    simCommand(QStringLiteral("error ") + kFactoryOid + QStringLiteral(" genErr"));
    TFM_Sytem window;
    EXPECT_EQ(window.CB_Restore->currentIndex(), -1);
    EXPECT_EQ(window.CB_Restart->currentIndex(), -1);
    simCommand(QStringLiteral("error clear"));
    m_sim.clearLog();

    window.Button1->click();

    const QString set = theOneSet(window);
    EXPECT_TRUE(set.contains(kRestartOid + QStringLiteral("=1 ") + kFactoryOid
                             + QStringLiteral("=2 -> noError")))
        << set.toStdString();
    const QString ssid = ssidOnceBack();
    EXPECT_TRUE(ssid.contains(QStringLiteral("kept"))) << ssid.toStdString();
    EXPECT_EQ(m_waiting.shown().size(), 1);
}

TEST_F(SystemWindow, RestoreBringsTheFactorySettingsBack)
{
    simCommand(QStringLiteral("set ") + kSsidOid + QStringLiteral(" changed"));
    ASSERT_TRUE(m_sim.command(QStringLiteral("get stSSID.1")).contains(QStringLiteral("changed")));
    TFM_Sytem window;
    m_sim.clearLog();

    window.Button2->click();

    const QString set = theOneSet(window);
    EXPECT_TRUE(set.contains(kRestartOid + QStringLiteral("=1 ") + kFactoryOid
                             + QStringLiteral("=1 -> noError")))
        << set.toStdString();
    const QString ssid = ssidOnceBack();
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
