// The Status menu's "Client Info" item against the simulated access point: the device's
// capability decides, a silent device is not asked at all, and firmware without the capability
// falls back to its major version.
#include "mainformtest.h"

#include "ktnetsnmpchannel.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString ClientInfoOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.7");

int clientInfoReads(const QStringList &log)
{
    return countLines(log, ClientInfoOid);
}

class MainFormStatusMenu : public MainFormTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        KtMessages::resetToBuiltIn();
    }

    void startSim(const QStringList &arguments = {})
    {
        m_sim = std::make_unique<ApSim>(arguments);
        ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
    }

    TMainForm *create()
    {
        m_form = mainFormOnPort(m_sim->port());
        return m_form.get();
    }

    // The device has answered the status poll and the firmware read; the line is remembered
    // (as the blinking timers do on every tick), the window's timers held for the test.
    void settle()
    {
        ASSERT_TRUE(waitReadyWithFirmware(*m_form)) << m_form->statusText().toStdString();
        holdTimers(*m_form);
        m_form->Timer3Timer();
        ASSERT_EQ(m_form->rememberedStatus(), QStringLiteral("Ready. "));
    }

    // The Status menu drops down; the item once the read it started (if any) has decided.
    bool openStatusMenu()
    {
        Q_EMIT m_form->Status1->aboutToShow();
        EXPECT_TRUE(processUntil([this] { return !m_form->clientInfoReadPending(); }));
        return m_form->ClientInfo1->isVisible();
    }

    std::unique_ptr<ApSim> m_sim;
};

TEST_F(MainFormStatusMenu, DeviceWithTheCapabilityShowsTheItem)
{
    startSim();
    TMainForm *form = create();
    settle();
    m_sim->clearLog();
    EXPECT_TRUE(openStatusMenu());
    EXPECT_EQ(form->Ifclientinfosupported->text(), QStringLiteral("1"));
    EXPECT_EQ(clientInfoReads(m_sim->log()), 1) << m_sim->log().join(u'\n').toStdString();

    ASSERT_TRUE(m_sim->command(QStringLiteral("set clientinfosupported 0")).startsWith(u"ok"));
    EXPECT_FALSE(openStatusMenu());
    EXPECT_EQ(form->Ifclientinfosupported->text(), QStringLiteral("0"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, NothingRememberedYetHidesTheItemWithoutAsking)
{
    startSim();
    TMainForm *form = create();
    holdTimers(*m_form);
    // No status read has ended: the line only says that the module is connecting.
    ASSERT_EQ(form->rememberedStatus(), QStringLiteral("Connecting to 127.0.0.1..."));
    EXPECT_FALSE(openStatusMenu());
    processUntil([] { return false; }, 300); // let anything that was sent arrive and be logged
    EXPECT_EQ(clientInfoReads(m_sim->log()), 0) << m_sim->log().join(u'\n').toStdString();
}

TEST_F(MainFormStatusMenu, RememberedTimeOutHidesTheItemWithoutAnySnmpTraffic)
{
    // A host catalogue that words the time-out exactly as the menu rule compares it.
    writeFile(path(QStringLiteral("registry.ini")),
              "[SOFTWARE/Norvane/Modules/HelpPath]\n1.3.6.1.4.1.32473.11.37.21="
                  + QFile::encodeName(m_dir.filePath(QStringLiteral("host/QRN7300X.HLP")))
                  + "\n");
    writeFile(path(QStringLiteral("host/errmsg/snmpclass.err")),
              "Failed.\nNo resources.\nInternal.\nUnsupported.\nSNMP request timed out!\n");
    qputenv("QRN_SETTINGS", QFile::encodeName(m_dir.filePath(QStringLiteral("registry.ini"))));

    startSim({QStringLiteral("--fault"), QStringLiteral("silent 600")});
    TMainForm *form = create();
    ASSERT_TRUE(processUntil(
        [form] { return form->statusText() == QStringLiteral("SNMP request timed out!"); },
        20000))
        << form->statusText().toStdString();
    holdTimers(*m_form);
    ASSERT_EQ(form->rememberedStatus(), QStringLiteral("SNMP request timed out!"));

    // The device answers again, but the menu goes by what it remembered: it does not ask.
    ASSERT_TRUE(m_sim->command(QStringLiteral("silent 0")).startsWith(u"ok"));
    m_sim->clearLog();
    EXPECT_FALSE(openStatusMenu());
    processUntil([] { return false; }, 300);
    EXPECT_EQ(clientInfoReads(m_sim->log()), 0) << m_sim->log().join(u'\n').toStdString();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    qunsetenv("QRN_SETTINGS");
}

// The built-in time-out text carries its "(SNMPClass) " prefix: the menu knows the time-out by
// its outcome and neither asks the silent device nor falls back to the firmware text (which
// the device never sent: "Ed_FwVer" made a conversion error box).
TEST_F(MainFormStatusMenu, TimeOutInTheBuiltInWordsHidesTheItemWithoutAsking)
{
    startSim({QStringLiteral("--fault"), QStringLiteral("silent 600")});
    TMainForm *form = create();
    ASSERT_TRUE(processUntil(
        [form] {
            return form->statusText() == QStringLiteral("(SNMPClass) SNMP request timed out!");
        },
        20000))
        << form->statusText().toStdString();
    holdTimers(*m_form);
    form->Timer3Timer();
    const quint64 sent = KtNetSnmp::packetsSent();
    Q_EMIT form->Status1->aboutToShow();
    EXPECT_FALSE(form->ClientInfo1->isVisible());
    EXPECT_EQ(KtNetSnmp::packetsSent(), sent);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

// A device that falls silent after it answered: opening the menu never waits for it (it once
// froze the module for the read's whole time-out); the time-out, when it comes, hides the item.
TEST_F(MainFormStatusMenu, SilentDeviceNeverHoldsTheMenu)
{
    startSim();
    TMainForm *form = create();
    settle();
    ASSERT_TRUE(form->ClientInfo1->isVisible());
    ASSERT_TRUE(m_sim->command(QStringLiteral("silent 600")).startsWith(u"ok"));

    QElapsedTimer opening;
    opening.start();
    Q_EMIT form->Status1->aboutToShow();
    // The read gives up after 1 s and one retry: a menu that waited for it could not be back
    // this soon.
    EXPECT_LT(opening.elapsed(), 1000);
    EXPECT_TRUE(form->ClientInfo1->isVisible()); // as the last decision left it, meanwhile

    // Opening it again meanwhile does not ask twice.
    const quint64 sent = KtNetSnmp::packetsSent();
    Q_EMIT form->Status1->aboutToShow();
    EXPECT_EQ(KtNetSnmp::packetsSent(), sent);

    EXPECT_TRUE(processUntil([form] { return !form->ClientInfo1->isVisible(); }));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, FirmwareOneWithoutTheCapabilityShowsTheItem)
{
    startSim({QStringLiteral("--profile"), QStringLiteral("v130")});
    TMainForm *form = create();
    settle();
    ASSERT_EQ(form->Ed_FwVer->text(), QStringLiteral("v1.30"));
    m_sim->clearLog();
    EXPECT_TRUE(openStatusMenu());
    // It was asked, and the read failed with something other than a time-out.
    EXPECT_EQ(clientInfoReads(m_sim->log()), 1) << m_sim->log().join(u'\n').toStdString();
    EXPECT_EQ(form->Ifclientinfosupported->text(), QStringLiteral("Ifclientinfosupported"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, FirmwareTwoWithoutTheCapabilityHidesTheItem)
{
    startSim({QStringLiteral("--profile"), QStringLiteral("v200-noinfo")});
    TMainForm *form = create();
    settle();
    ASSERT_EQ(form->Ed_FwVer->text(), QStringLiteral("v2.00"));
    form->ClientInfo1->setVisible(true);
    EXPECT_FALSE(openStatusMenu());
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, FirmwareTextWithoutADigitShowsTheConversionErrorAndLeavesTheItem)
{
    startSim({QStringLiteral("--profile"), QStringLiteral("v200-noinfo")});
    ASSERT_TRUE(
        m_sim->command(QStringLiteral("set stFirmwareVersion vX.00")).startsWith(u"ok"));
    TMainForm *form = create();
    settle();
    ASSERT_EQ(form->Ed_FwVer->text(), QStringLiteral("vX.00"));
    // The error ends the decision: the item keeps what the last opening decided.
    form->ClientInfo1->setVisible(true);
    EXPECT_TRUE(openStatusMenu());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text, QStringLiteral("'X' is not a valid integer value"));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("QRN-7300XB"));

    // A firmware text too short to have the digit is the same error, not a crash.
    form->Ed_FwVer->setText(QStringLiteral("v"));
    form->ClientInfo1->setVisible(false);
    m_dialogs.clear();
    EXPECT_FALSE(openStatusMenu());
    EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("'' is not a valid integer value")});
}

} // namespace
