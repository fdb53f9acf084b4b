// The main window's start-up inside the test process: what it shows, and the records, caption
// and catalogues it leaves behind.
#include "ktinstanceguard.h"
#include "ktnetsnmpchannel.h"
#include "mainformtest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

class MainFormStartup : public MainFormTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        useOwnFolders();
        KtMessages::resetToBuiltIn();
    }
};

TEST_F(MainFormStartup, AddressCommunityAndVersionFillTheRecordsAndCaption)
{
    TMainForm *form = create({QStringLiteral("/I10.1.1.5"), QStringLiteral("/Rabc"),
                              QStringLiteral("/v1")});
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_FALSE(form->isTerminated());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("QRN-7300XB : 10.1.1.5"));
    EXPECT_EQ(form->deviceAddress(), QStringLiteral("10.1.1.5"));
    EXPECT_EQ(g_snmpDevice.address, QStringLiteral("10.1.1.5"));
    EXPECT_EQ(g_snmpDevice.port, 161);
    EXPECT_EQ(g_snmpSecurity.version, 1);
    EXPECT_EQ(g_snmpSecurity.readCommunity, QStringLiteral("abc"));
    EXPECT_EQ(g_snmpSecurity.writeCommunity, QStringLiteral("tesmira"));
    EXPECT_EQ(g_snmpTimeout, 100);
    EXPECT_TRUE(KtInstanceGuard::isLocked(form->windowTitle(), path("run")));
    EXPECT_TRUE(form->Timer4->isActive());
}

TEST_F(MainFormStartup, WithoutParametersShowsThePlainMessageAndTerminates)
{
    TMainForm *form = create({});
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text,
              QStringLiteral("This module is only used in the Marlin or HP-Openview."));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("QRN-7300XB"));
    EXPECT_TRUE(form->isTerminated());
    EXPECT_FALSE(form->Timer4->isActive());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("QRN-7300XB"));
}

TEST_F(MainFormStartup, BadNumberShowsTheConversionErrorAndStopsThere)
{
    TMainForm *form = create({QStringLiteral("/I10.1.1.5"), QStringLiteral("/Rabc"),
                              QStringLiteral("/vthree")});
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{QStringLiteral("'three' is not a valid integer value")});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("QRN-7300XB"));
    EXPECT_FALSE(form->isTerminated());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("QRN-7300XB"));
    EXPECT_FALSE(KtInstanceGuard::isLocked(QStringLiteral("QRN-7300XB : 10.1.1.5"), path("run")));
    // Nothing of the half-read command line reaches the records.
    EXPECT_EQ(g_snmpSecurity.readCommunity, QStringLiteral("varnok"));
}

// After a start-up that stopped on an error the window stays without a session: only
// Help \ About opens; every other item, a window connected later included, is disabled and
// sends nothing (they sent SNMPv1 "varnok" requests to 127.0.0.1:161, a device nobody named).
TEST_F(MainFormStartup, BadNumberLeavesOnlyAboutToOpen)
{
    TMainForm *form = create({QStringLiteral("/I127.0.0.2"), QStringLiteral("/v3"),
                              QStringLiteral("/tabc")});
    ASSERT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("'abc' is not a valid integer value")});
    QStringList enabled;
    for (QAction *menu : form->menuBar()->actions()) {
        for (QAction *item : menu->menu()->actions()) {
            if (item->isEnabled())
                enabled << item->objectName();
        }
    }
    EXPECT_EQ(enabled, QStringList{QStringLiteral("About1")});

    // A window the menus connect from now on stays closed too.
    bool created = false;
    form->connectModal(form->Wireless1, [&]() -> QDialog * {
        created = true;
        return nullptr;
    });
    EXPECT_FALSE(form->Wireless1->isEnabled());
    const quint64 sent = KtNetSnmp::packetsSent();
    for (QAction *item : {form->Wireless1, form->System1, form->Information1, form->DeviceInfo1})
        item->trigger();
    Q_EMIT form->Status1->aboutToShow();
    form->Timer4Timer();
    EXPECT_FALSE(created);
    EXPECT_EQ(KtNetSnmp::packetsSent(), sent);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
}

TEST_F(MainFormStartup, SecondFormForTheSameAddressWarnsAndStopsTimer4)
{
    QDir().mkpath(path("run"));
    KtInstanceGuard other; // another module serving the address
    ASSERT_TRUE(other.acquire(QStringLiteral("QRN-7300XB : 10.1.1.9"), path("run")));
    TMainForm *form = create({QStringLiteral("/I10.1.1.9")});
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text,
              QStringLiteral("Another QRN7300XB module is running!"));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    EXPECT_TRUE(form->isTerminated());
    EXPECT_FALSE(form->Timer4->isActive());
}

TEST_F(MainFormStartup, SettingsFileLeadsToTheHostCataloguesAndParameterFolder)
{
    writeFile(path("registry.ini"),
              "[SOFTWARE/Norvane/Modules/HelpPath]\n1.3.6.1.4.1.32473.11.37.21=" +
                  QFile::encodeName(path("host/QRN7300X.HLP")) +
                  "\n[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath=" +
                  QFile::encodeName(path("mbf/")) + "\n");
    writeFile(path("host/errmsg/snmpclass.err"),
              "Failed.\nNo resources.\nInternal.\nUnsupported.\nSNMP request timed out!\n");
    writeFile(path("mbf/10.1.1.5.cfg"),
              "[Program Information]\nAgentPort=1161\nVersion=3\nSecurityModel=3\n"
              "SecurityLevel=2\nSecurityName=admin\nAuthProtocol=1\nPrivProtocol=1\n"
              "AuthPassword=authpass\nPrivPassword=privpass\n");

    TMainForm *form = create({QStringLiteral("/I10.1.1.5"), QStringLiteral("/Wwrite")});
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(KtMessages::text(KtMessages::Table::SnmpClass, 4),
              QStringLiteral("SNMP request timed out!"));
    EXPECT_EQ(KtMessages::text(KtMessages::Table::SnmpClass, 5),
              QStringLiteral("(SNMPClass) Received SNMP Response!"));
    EXPECT_EQ(g_snmpDevice.port, 1161);
    EXPECT_EQ(g_snmpSecurity.version, 3);
    EXPECT_EQ(g_snmpSecurity.securityLevel, 3);
    EXPECT_EQ(g_snmpSecurity.authProtocol, 2);
    EXPECT_EQ(g_snmpSecurity.securityName, QStringLiteral("admin"));
    EXPECT_EQ(g_snmpSecurity.writeCommunity, QStringLiteral("write"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("QRN-7300XB : 10.1.1.5"));
}

TEST_F(MainFormStartup, BootCounterStartsAtOneAndCountsEachStart)
{
    create({QStringLiteral("/I10.1.1.5")});
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 1);
    EXPECT_TRUE(QFile::exists(path("data/KtSNMP_PP_BootCounter")));
    m_form.reset();
    KtSNMPSession::CloseSession();

    create({QStringLiteral("/I10.1.1.5")});
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 2);
}

TEST_F(MainFormStartup, UnwritableDataFolderStopsWithTheSaveError)
{
    writeFile(path("blocker"), "a file where the data folder should be");
    qputenv("QRN_DATA_DIR", QFile::encodeName(path("blocker/data")));
    TMainForm *form = create({QStringLiteral("/I10.1.1.5")});
    EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral(
                                    "(KtSNMP++) Error when saving SNMP engine boots counter!")});
    EXPECT_EQ(form->windowTitle(), QStringLiteral("QRN-7300XB"));
    EXPECT_FALSE(form->isTerminated());
}

} // namespace
