// "Home \ LAN" against the simulated access point, with the ping test and the waiting window
// scripted: every check of Apply refuses before anything is written (the simulator's request
// log shows no set), the accepted cases write one set with exactly the items they should.
#include "ktping.h"
#include "ktsnmprequest2edits.h"
#include "kttypinglimit.h"
#include "ktwaiting.h"
#include "tfm_lancfg.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString kGetIPFrom = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.1.0");
const QString kIPAddress = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.2.0");
const QString kGateway = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.4.0");
const QString kSysRestart = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.1.0");
const QString kStaticPoolColumn = QStringLiteral(" getnext 1.3.6.1.4.1.32473.11.37.4.2.7.3.1.");

class LanWindow : public PageWindowTest
{
protected:
    void SetUp() override
    {
        startDevice(QStringLiteral("default"),
                    {QStringLiteral("--restart-seconds"), QStringLiteral("1")});
    }

    // The one set the window sent since the mark (empty, and a failure, when it sent none or
    // more).
    QString theOneSet()
    {
        const QStringList all = writesSinceMark();
        if (all.size() == 1)
            return all.at(0);
        ADD_FAILURE() << all.size() << " sets\n" << all.join(u'\n').toStdString();
        return {};
    }

    // A window whose fields show the device's values; the log is marked behind its reads.
    std::unique_ptr<TFM_LanCfg> open()
    {
        auto window = std::make_unique<TFM_LanCfg>();
        markLog();
        return window;
    }

    KtPing::Script m_ping;
};

TEST_F(LanWindow, OpensWithTheDeviceValuesAndHidesTheAddressesForDhcp)
{
    TFM_LanCfg window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Home \\ LAN"));
    EXPECT_EQ(window.CB_IPFrom->currentText(), QStringLiteral("Static (Manual)"));
    EXPECT_EQ(window.ED_IpAddr->text(), QStringLiteral("192.168.0.50"));
    EXPECT_EQ(window.ED_SubMask->text(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(window.ED_DefGw->text(), QStringLiteral("192.168.0.1"));
    for (const QLineEdit *e : {window.ED_IpAddr, window.ED_SubMask, window.ED_DefGw})
        EXPECT_EQ(KtTypingLimit::Limit(e), 15) << e->objectName().toStdString();
    EXPECT_EQ(window.ED_Restart->currentText(), QStringLiteral("nothing"));
    EXPECT_EQ(window.Ed_IPAF->text(), QStringLiteral("192.168.0.100"));
    EXPECT_EQ(window.Ed_PoolRan->text(), QStringLiteral("50"));
    EXPECT_EQ(window.LV_StaticPool->topLevelItemCount(), 16);
    EXPECT_EQ(window.addressAtOpening(), QStringLiteral("192.168.0.50"));
    EXPECT_EQ(window.modeAtOpening(), TFM_LanCfg::StaticManual);
    EXPECT_TRUE(window.StatusBar->currentMessage().startsWith(QStringLiteral("Get: ")));

    window.CB_IPFrom->setCurrentIndex(TFM_LanCfg::DynamicDHCP);
    const QList<QWidget *> addressFields{window.ED_IpAddr, window.La_SubMask, window.ED_DefGw};
    for (QWidget *w : addressFields)
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    window.CB_IPFrom->setCurrentIndex(TFM_LanCfg::StaticManual);
    EXPECT_FALSE(window.ED_IpAddr->isHidden());
    EXPECT_FALSE(window.La_DefGw->isHidden());
}

TEST_F(LanWindow, AReadErrorShowsInTheStatusBar)
{
    // The pool read fails after the LAN read succeeded: its error is what the bar shows.
    simCommand(QStringLiteral("error 1.3.6.1.4.1.32473.11.37.4.2.7.2 genErr"));
    TFM_LanCfg window;
    EXPECT_EQ(window.ED_IpAddr->text(), QStringLiteral("192.168.0.50"));
    EXPECT_TRUE(window.Ed_IPAF->text().isEmpty());
    const QString status = window.StatusBar->currentMessage();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Get: "))) << status.toStdString();
    EXPECT_FALSE(status.contains(QStringLiteral("Success"), Qt::CaseInsensitive))
        << status.toStdString();

    // Unread, the pool would let any address pass: Apply reads it first, and ends when it
    // still cannot.
    window.ED_IpAddr->setText(QStringLiteral("192.168.0.120"));
    markLog();
    window.Bt_ApplyClick();
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_TRUE(m_ping.probed().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());

    simCommand(QStringLiteral("error clear"));
    window.Bt_ApplyClick();
    EXPECT_EQ(window.Ed_IPAF->text(), QStringLiteral("192.168.0.100"));
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{QStringLiteral("Reject: The IP conflicts with Dynamic DHCP Server IP")});
}

TEST_F(LanWindow, TheDynamicPoolRefusesItsOwnAddressesOnly)
{
    // The pool 192.168.0.100 + 50 covers .100 to .149, whether its server is on or not.
    simCommand(QStringLiteral("set dhcpFunction 0"));
    const struct {
        const char *address;
        bool refused;
    } rows[] = {{"192.168.0.149", true}, {"192.168.0.150", false},
                {"192.168.0.100", true}, {"192.168.0.99", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.address);
        const QString address = QString::fromLatin1(row.address);
        simCommand(QStringLiteral("set hIPAddress 192.168.0.50"));
        auto window = open();
        m_dialogs.clear();
        m_waiting.clear();
        window->ED_IpAddr->setText(address);
        window->Bt_ApplyClick();
        if (row.refused) {
            EXPECT_EQ(m_dialogs.texts(),
                      QStringList{QStringLiteral(
                          "Reject: The IP conflicts with Dynamic DHCP Server IP")});
            EXPECT_EQ(m_dialogs.messages().value(0).caption, QStringLiteral("Warning"));
            EXPECT_EQ(window->ED_IpAddr->text(), QStringLiteral("192.168.0.50"));
            EXPECT_TRUE(nothingWrittenSinceMark());
        } else {
            EXPECT_TRUE(m_dialogs.messages().isEmpty())
                << m_dialogs.texts().join(u'|').toStdString();
            const QString set = theOneSet();
            EXPECT_TRUE(set.contains(kIPAddress + u'=' + address + u' ')) << set.toStdString();
            EXPECT_EQ(window->StatusBar->currentMessage(), QStringLiteral("Set Success!"));
        }
    }
}

TEST_F(LanWindow, AnUnchangedAddressSkipsThePingAndTheStaticPool)
{
    auto window = open();
    window->ED_DefGw->setText(QStringLiteral("192.168.0.254"));
    window->Bt_ApplyClick();

    EXPECT_TRUE(m_ping.probed().isEmpty());
    const QStringList log = requestsSinceMark();
    EXPECT_EQ(countLines(log, kStaticPoolColumn), 0) << log.join(u'\n').toStdString();
    const QString set = theOneSet();
    EXPECT_TRUE(set.contains(kIPAddress + QStringLiteral("=192.168.0.50 ")));
    EXPECT_TRUE(set.contains(kGateway + QStringLiteral("=192.168.0.254 ")));
    EXPECT_TRUE(set.contains(kSysRestart + QStringLiteral("=0 -> noError"))) << set.toStdString();

    // No restart asked for: the short wait while the device takes the new settings.
    ASSERT_EQ(m_waiting.shown().size(), 1);
    const KtWaitingOptions &waiting = m_waiting.shown().at(0);
    EXPECT_EQ(waiting.countdown, 5);
    EXPECT_EQ(waiting.label2, QStringLiteral("Settings saved."));
    EXPECT_EQ(waiting.label3, QStringLiteral("The system IP will be 192.168.0.50"));
    EXPECT_TRUE(waiting.sendRestartCommand);
}

TEST_F(LanWindow, AnAddressOfTheStaticPoolIsRefusedAfterTheJudgement)
{
    // "192.168.0.021" is the static slot 192.168.0.21 too, as the device would store it.
    for (const char *text : {"192.168.0.21", "192.168.0.021"}) {
        SCOPED_TRACE(text);
        auto window = open();
        m_dialogs.clear();
        m_waiting.clear();
        m_ping.clear();
        window->ED_IpAddr->setText(QString::fromLatin1(text));
        window->Bt_ApplyClick();

        EXPECT_EQ(m_ping.probed(), QStringList{QString::fromLatin1(text)});
        EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral(
                                         "Reject: The IP conflicts with Static DHCP Server IP")});
        ASSERT_EQ(m_waiting.shown().size(), 1);
        const KtWaitingOptions &waiting = m_waiting.shown().at(0);
        EXPECT_FALSE(waiting.sendRestartCommand);
        EXPECT_EQ(waiting.countdown, 12);
        EXPECT_EQ(waiting.label2, QStringLiteral("Please wait..."));
        EXPECT_EQ(waiting.label3, QStringLiteral("Judge the IP whether can be used."));
        EXPECT_EQ(window->ED_IpAddr->text(), QStringLiteral("192.168.0.50"));
        // The static pool was read again for the judgement, and nothing was written.
        EXPECT_GT(countLines(requestsSinceMark(), kStaticPoolColumn), 0);
        EXPECT_TRUE(nothingWrittenSinceMark());
    }
}

TEST_F(LanWindow, AStaticPoolThatCannotBeReadClearsNoAddress)
{
    // An unread static pool would let one of its addresses through.
    auto window = open();
    simCommand(QStringLiteral("error 1.3.6.1.4.1.32473.11.37.4.2.7.3.1 genErr"));
    window->ED_IpAddr->setText(QStringLiteral("192.168.0.21"));
    window->Bt_ApplyClick();
    EXPECT_TRUE(m_dialogs.messages().isEmpty())
        << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    const QString status = window->StatusBar->currentMessage();
    EXPECT_TRUE(status.contains(QStringLiteral("General Error"))) << status.toStdString();
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(LanWindow, AnAddressThatAnswersAPingIsRefused)
{
    auto window = open();
    m_ping.answerNext(KtPing::Outcome::InUse);
    window->ED_IpAddr->setText(QStringLiteral("192.168.0.77"));
    window->Bt_ApplyClick();

    EXPECT_EQ(m_ping.probed(), QStringList{QStringLiteral("192.168.0.77")});
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{QStringLiteral("Reject: The IP already has been used.")});
    EXPECT_EQ(window->ED_IpAddr->text(), QStringLiteral("192.168.0.50"));
    EXPECT_EQ(window->focusWidget(), window->ED_IpAddr);
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_EQ(countLines(requestsSinceMark(), kStaticPoolColumn), 0);
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(LanWindow, APingTestThatCannotRunIsNotTakenForAFreeAddress)
{
    auto window = open();
    const QString reason = QStringLiteral("The ping test cannot run: no ICMP socket.");
    m_ping.answerNext(KtPing::Outcome::Failed, reason);
    m_dialogs.answerNext(false);
    window->ED_IpAddr->setText(QStringLiteral("192.168.0.77"));
    window->Bt_ApplyClick();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().at(0).text.startsWith(reason));
    EXPECT_EQ(m_dialogs.messages().at(0).buttons, KtDialogs::Buttons::OkCancel);
    EXPECT_TRUE(nothingWrittenSinceMark());

    // The administrator may still set the address untested.
    m_ping.answerNext(KtPing::Outcome::Failed, reason);
    window->Bt_ApplyClick();
    EXPECT_TRUE(theOneSet().contains(kIPAddress + QStringLiteral("=192.168.0.77 ")));
}

TEST_F(LanWindow, BadFieldsAreRefusedClearedAndFocused)
{
    const struct {
        const char *address;
        const char *mask;
        const char *gateway;
        const char *message;
        const char *field;
    } rows[] = {
        {"192.168.0.255", "255.255.255.0", "192.168.0.1", "Please input valid IP Address.",
         "ED_IpAddr"},
        {"", "255.255.255.0", "192.168.0.1", "Please input valid IP Address.", "ED_IpAddr"},
        {"192.168.0.60", "255.0.255.0", "192.168.0.1", "Please input valid Subnet Mask.",
         "ED_SubMask"},
        {"192.168.0.60", "255.255.255.255", "192.168.0.1", "Please input valid Subnet Mask.",
         "ED_SubMask"},
        {"192.168.0.60", "255.255.255.0", "127.0.0.1", "Please input valid Gateway.",
         "ED_DefGw"},
        {"192.168.0.60", "255.255.255.0", "192.168.0", "Please input valid Gateway.",
         "ED_DefGw"},
    };
    auto window = open();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.message);
        m_dialogs.clear();
        window->ED_IpAddr->setText(QString::fromLatin1(row.address));
        window->ED_SubMask->setText(QString::fromLatin1(row.mask));
        window->ED_DefGw->setText(QString::fromLatin1(row.gateway));
        window->Bt_ApplyClick();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_EQ(m_dialogs.messages().at(0).text, QString::fromLatin1(row.message));
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
        auto *field = window->findChild<QLineEdit *>(QString::fromLatin1(row.field));
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->text().isEmpty());
        EXPECT_EQ(window->focusWidget(), field);
    }
    EXPECT_TRUE(m_ping.probed().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(LanWindow, LeavingDhcpWritesRebootWithTheAddressInOneSet)
{
    simCommand(QStringLiteral("set hGetIPFrom 2"));
    auto window = open();
    EXPECT_EQ(window->modeAtOpening(), TFM_LanCfg::DynamicDHCP);
    EXPECT_TRUE(window->ED_IpAddr->isHidden());
    window->CB_IPFrom->setCurrentIndex(TFM_LanCfg::StaticManual);
    window->ED_IpAddr->setText(QStringLiteral("192.168.0.60"));
    window->Bt_ApplyClick();

    const QString set = theOneSet();
    EXPECT_TRUE(set.contains(kGetIPFrom + QStringLiteral("=1 ") + kIPAddress
                             + QStringLiteral("=192.168.0.60 ")))
        << set.toStdString();
    EXPECT_TRUE(set.contains(kSysRestart + QStringLiteral("=1 -> noError"))) << set.toStdString();
    // The device restarts on that set.
    EXPECT_TRUE(processUntil([] { return !deviceAnswers(); }, 5000));
    EXPECT_TRUE(processUntil(deviceAnswers));

    ASSERT_EQ(m_waiting.shown().size(), 2); // the judgement, then the restart
    const KtWaitingOptions &waiting = m_waiting.shown().at(1);
    EXPECT_EQ(waiting.label2, QStringLiteral("The device is restarting."));
    EXPECT_EQ(waiting.label3, QStringLiteral("The system IP will be 192.168.0.60"));
    EXPECT_EQ(waiting.countdown, 30);
    // A second Apply is a change from static now: no second restart.
    EXPECT_EQ(window->modeAtOpening(), TFM_LanCfg::StaticManual);
    EXPECT_EQ(window->ED_Restart->currentText(), QStringLiteral("nothing"));
}

TEST_F(LanWindow, DhcpIsConfirmedFirstAndWritesOnlyTheModeAndRestart)
{
    auto window = open();
    window->CB_IPFrom->setCurrentIndex(TFM_LanCfg::DynamicDHCP);
    m_dialogs.answerNext(false);
    window->Bt_ApplyClick();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text, QStringLiteral("Device will reboot,continue?"));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    EXPECT_EQ(m_dialogs.messages().at(0).buttons, KtDialogs::Buttons::OkCancel);
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());

    window->Bt_ApplyClick();
    const QString set = theOneSet();
    EXPECT_TRUE(set.contains(QStringLiteral(" set ") + kGetIPFrom + QStringLiteral("=2 ")
                             + kSysRestart + QStringLiteral("=0 -> noError")))
        << set.toStdString();
    EXPECT_FALSE(set.contains(kIPAddress));
    EXPECT_EQ(window->StatusBar->currentMessage(), QStringLiteral("Set Success!"));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_EQ(m_waiting.shown().at(0).countdown, 30);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
    // The address items go out again with the next static Apply.
    EXPECT_EQ(window->lanRequest()->list().Item(1).access, ACC_READWRITE);
}

TEST_F(LanWindow, AFailedWriteSaysSoAndKeepsTheInput)
{
    auto window = open();
    simCommand(QStringLiteral("error ") + kGateway + QStringLiteral(" genErr"));
    window->ED_DefGw->setText(QStringLiteral("192.168.0.254"));
    window->Bt_ApplyClick();
    const QString status = window->StatusBar->currentMessage();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Set Error! "))) << status.toStdString();
    // With the reason, not only that it failed.
    EXPECT_TRUE(status.contains(QStringLiteral("General Error"))) << status.toStdString();
    EXPECT_EQ(window->ED_DefGw->text(), QStringLiteral("192.168.0.254"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_EQ(sim().command(QStringLiteral("get hDefaultGateway")),
              QStringLiteral("ok ipaddress 192.168.0.1"));
}

TEST_F(LanWindow, ClosingWaitsForThePingTest)
{
    auto window = open();
    window->show();
    bool closedDuringProbe = true;
    m_ping.onProbe = [&](const QString &) {
        EXPECT_TRUE(window->isBusy());
        EXPECT_FALSE(window->Bt_Apply->isEnabled());
        window->reject();
        window->close();
        closedDuringProbe = !window->isVisible();
    };
    window->ED_IpAddr->setText(QStringLiteral("192.168.0.77"));
    window->Bt_ApplyClick();
    EXPECT_FALSE(closedDuringProbe);
    EXPECT_FALSE(window->isBusy());
    EXPECT_TRUE(window->Bt_Apply->isEnabled());
    EXPECT_TRUE(theOneSet().contains(kIPAddress + QStringLiteral("=192.168.0.77 ")));
    window->reject();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
