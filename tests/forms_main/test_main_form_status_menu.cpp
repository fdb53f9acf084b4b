// The Status menu's "Client Info" item against the simulated access point: the device's
// capability decides, a silent device is not asked at all, and firmware without the capability
// falls back to its major version.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktsnmpsession.h"
#include "tmainform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString ClientInfoOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.7");

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                        20);
    }
    return true;
}

int clientInfoReads(const QStringList &log)
{
    int count = 0;
    for (const QString &line : log)
        count += line.contains(ClientInfoOid) ? 1 : 0;
    return count;
}

class MainFormStatusMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        KtMessages::resetToBuiltIn();
    }

    void TearDown() override
    {
        m_form.reset();
        if (KtSNMPSession::IsOpen())
            KtSNMPSession::CloseSession();
        KtMessages::resetToBuiltIn();
    }

    void startSim(const QStringList &arguments = {})
    {
        m_sim = std::make_unique<ApSim>(arguments);
        ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
    }

    TMainForm *create()
    {
        m_form = std::make_unique<TMainForm>(QStringList{
            QStringLiteral("/I127.0.0.1"), QStringLiteral("/v3"),
            QStringLiteral("/t%1").arg(m_sim->port()), QStringLiteral("/v1")});
        return m_form.get();
    }

    // The device has answered the status poll and the firmware read; the line is remembered
    // (as the blinking timers do on every tick), the window's timers held for the test.
    void settle()
    {
        ASSERT_TRUE(waitFor(
            [this] {
                return m_form->statusText() == QStringLiteral("Ready. ")
                       && m_form->Ed_FwVer->text() != QStringLiteral("Ed_FwVer");
            },
            10000))
            << m_form->statusText().toStdString();
        holdTimers();
        m_form->Timer3Timer();
        ASSERT_EQ(m_form->rememberedStatus(), QStringLiteral("Ready. "));
    }

    void holdTimers()
    {
        m_form->Timer1->stop();
        m_form->Timer2->stop();
        m_form->Timer3->stop();
        m_form->Timer4->stop();
    }

    // The Status menu drops down.
    bool openStatusMenu()
    {
        Q_EMIT m_form->Status1->aboutToShow();
        return m_form->ClientInfo1->isVisible();
    }

    void writeFile(const QString &relative, const QByteArray &content)
    {
        const QString filePath = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(filePath).absolutePath());
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ApSim> m_sim;
    KtDialogs::Script m_script;
    std::unique_ptr<TMainForm> m_form;
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
    EXPECT_TRUE(m_script.messages().isEmpty()) << m_script.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, NothingRememberedYetHidesTheItemWithoutAsking)
{
    startSim();
    TMainForm *form = create();
    holdTimers();
    ASSERT_TRUE(form->rememberedStatus().isEmpty());
    EXPECT_FALSE(openStatusMenu());
    waitFor([] { return false; }, 300); // let anything that was sent arrive and be logged
    EXPECT_EQ(clientInfoReads(m_sim->log()), 0) << m_sim->log().join(u'\n').toStdString();
}

TEST_F(MainFormStatusMenu, RememberedTimeOutHidesTheItemWithoutAnySnmpTraffic)
{
    // A host catalogue that words the time-out exactly as the menu rule compares it.
    writeFile(QStringLiteral("registry.ini"),
              "[SOFTWARE/Norvane/Modules/HelpPath]\n1.3.6.1.4.1.32473.11.37.21="
                  + QFile::encodeName(m_dir.filePath(QStringLiteral("host/QRN7300X.HLP")))
                  + "\n");
    writeFile(QStringLiteral("host/errmsg/snmpclass.err"),
              "Failed.\nNo resources.\nInternal.\nUnsupported.\nSNMP request timed out!\n");
    qputenv("QRN_SETTINGS", QFile::encodeName(m_dir.filePath(QStringLiteral("registry.ini"))));

    startSim({QStringLiteral("--fault"), QStringLiteral("silent 600")});
    TMainForm *form = create();
    ASSERT_TRUE(waitFor(
        [form] { return form->statusText() == QStringLiteral("SNMP request timed out!"); },
        20000))
        << form->statusText().toStdString();
    holdTimers();
    ASSERT_EQ(form->rememberedStatus(), QStringLiteral("SNMP request timed out!"));

    // The device answers again, but the menu goes by what it remembered: it does not ask.
    ASSERT_TRUE(m_sim->command(QStringLiteral("silent 0")).startsWith(u"ok"));
    m_sim->clearLog();
    EXPECT_FALSE(openStatusMenu());
    waitFor([] { return false; }, 300);
    EXPECT_EQ(clientInfoReads(m_sim->log()), 0) << m_sim->log().join(u'\n').toStdString();
    EXPECT_TRUE(m_script.messages().isEmpty()) << m_script.texts().join(u'|').toStdString();
    qunsetenv("QRN_SETTINGS");
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
    EXPECT_TRUE(m_script.messages().isEmpty()) << m_script.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, FirmwareTwoWithoutTheCapabilityHidesTheItem)
{
    startSim({QStringLiteral("--profile"), QStringLiteral("v200-noinfo")});
    TMainForm *form = create();
    settle();
    ASSERT_EQ(form->Ed_FwVer->text(), QStringLiteral("v2.00"));
    form->ClientInfo1->setVisible(true);
    EXPECT_FALSE(openStatusMenu());
    EXPECT_TRUE(m_script.messages().isEmpty()) << m_script.texts().join(u'|').toStdString();
}

TEST_F(MainFormStatusMenu, FirmwareTextWithoutADigitShowsTheConversionErrorAndHidesTheItem)
{
    startSim({QStringLiteral("--profile"), QStringLiteral("v200-noinfo")});
    ASSERT_TRUE(
        m_sim->command(QStringLiteral("set stFirmwareVersion vX.00")).startsWith(u"ok"));
    TMainForm *form = create();
    settle();
    ASSERT_EQ(form->Ed_FwVer->text(), QStringLiteral("vX.00"));
    form->ClientInfo1->setVisible(true);
    EXPECT_FALSE(openStatusMenu());
    ASSERT_EQ(m_script.messages().size(), 1);
    EXPECT_EQ(m_script.messages().at(0).text, QStringLiteral("'X' is not a valid integer value"));
    EXPECT_EQ(m_script.messages().at(0).caption, QStringLiteral("QRN-7300XB"));

    // A firmware text too short to have the digit is the same error, not a crash.
    form->Ed_FwVer->setText(QStringLiteral("v"));
    m_script.clear();
    EXPECT_FALSE(openStatusMenu());
    EXPECT_EQ(m_script.texts(), QStringList{QStringLiteral("'' is not a valid integer value")});
}

} // namespace
