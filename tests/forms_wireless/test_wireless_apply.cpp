// Apply of "Home \ Wireless" against the simulated access point: every refusal writes nothing,
// a good page goes out in its fixed order and the waiting window follows, a refused write stops
// the sequence, and the peers of the WDS, repeater and client modes reach the device.
#include "wirelesstest.h"

#include <functional>

using namespace wirelesstest;

namespace {

using Page = TFM_Wirless::BandPage;
constexpr int A = TFM_Wirless::BandA;
constexpr int G = TFM_Wirless::BandG;

class WirelessApply : public WirelessTest
{
};

struct Refusal {
    const char *name;
    std::function<void(TFM_Wirless &)> typeIn;
    const char *text;
    const char *caption;
    int band; // the page that must come to front
};

TEST_F(WirelessApply, EveryRefusalWritesNothing)
{
    startWireless();
    const QString mac = QStringLiteral("000F3DFA7C21");
    const Refusal rows[] = {
        {"33-character SSID in 11a",
         [](TFM_Wirless &w) { w.page(A).ssid->setText(QString(33, u'x')); },
         "The Max Length of SSID is 32 in 11a!", "Error", A},
        {"33-character SSID in 11g",
         [](TFM_Wirless &w) { w.page(G).ssid->setText(QString(33, u'x')); },
         "The Max Length of SSID is 32 in 11g!", "Error", G},
        {"blank first character",
         [](TFM_Wirless &w) { w.page(G).ssid->setText(QStringLiteral(" lobby")); },
         "The first character can't be blank.", "Error", G},
        {"empty SSID", [](TFM_Wirless &w) { w.page(G).ssid->clear(); }, "Please Input SSID in 11g",
         "Warning", G},
        {"primary SSID named like an enabled secondary",
         [](TFM_Wirless &w) { w.page(G).ssid->setText(QStringLiteral("Norvane-Voice")); },
         "The 11g Primary SSID's SSID is same as Multi-SSID 2", "Warning", G},
        {"duplicate remote MACs",
         [mac](TFM_Wirless &w) {
             choose(w.page(A).apModeShown, QStringLiteral("WDS with AP"));
             w.page(A).remoteMacs[0]->setText(mac);
             w.page(A).remoteMacs[3]->setText(mac.toLower());
         },
         "Exist same MAC address in 802.11a.", "Warning", A},
        {"multipoint without a first remote AP",
         [mac](TFM_Wirless &w) {
             choose(w.page(G).apModeShown, QStringLiteral("WDS"));
             w.page(G).remoteMacs[1]->setText(mac);
         },
         "Please input MAC address in first blank space!", "Warning", G},
        {"multipoint with a short address",
         [mac](TFM_Wirless &w) {
             choose(w.page(A).apModeShown, QStringLiteral("WDS with AP"));
             w.page(A).remoteMacs[0]->setText(mac);
             w.page(A).remoteMacs[2]->setText(QStringLiteral("000F3D"));
         },
         "The length is 12 in IEEE802.11a MAC address.", "Error", A},
        {"repeater without a root AP",
         [](TFM_Wirless &w) { choose(w.page(G).apModeShown, QStringLiteral("AP Repeater")); },
         "Please input MAC address in blank space!", "Error", G},
        {"repeater with a short root AP",
         [](TFM_Wirless &w) {
             choose(w.page(G).apModeShown, QStringLiteral("AP Repeater"));
             w.page(G).rootMac->setText(QStringLiteral("000F3DFA7C2"));
         },
         "The length is 12 in IEEE802.11g Root AP MAC Address.", "Error", G},
        {"client without an SSID",
         [](TFM_Wirless &w) {
             choose(w.page(A).apModeShown, QStringLiteral("AP Client"));
             w.page(A).repeaterSsid->clear();
         },
         "Please input the SSID.", "Warning", A},
        {"client SSID beginning with a blank",
         [](TFM_Wirless &w) {
             choose(w.page(A).apModeShown, QStringLiteral("AP Client"));
             w.page(A).repeaterSsid->setText(QStringLiteral(" upstream"));
         },
         "The first character can't be blank.", "Error", A},
    };
    for (const Refusal &row : rows) {
        TFM_Wirless &w = open();
        row.typeIn(w);
        w.PC_Wirless->setCurrentIndex(row.band == A ? G : A);
        const QStringList written = apply(w);
        EXPECT_TRUE(written.isEmpty()) << row.name << "\n" << written.join(u'\n').toStdString();
        ASSERT_EQ(m_dialogs.messages().size(), 1) << row.name;
        EXPECT_EQ(m_dialogs.messages().at(0).text, QString::fromLatin1(row.text)) << row.name;
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QString::fromLatin1(row.caption)) << row.name;
        EXPECT_EQ(w.PC_Wirless->currentIndex(), row.band) << row.name;
        EXPECT_TRUE(m_waiting.shown().isEmpty()) << row.name;
    }
}

TEST_F(WirelessApply, PointToPointChecksOnlyTheFirstRemoteAp)
{
    startWireless();
    simCommand(QStringLiteral("set adAPMode.1 2"));
    TFM_Wirless &w = open();
    w.page(A).remoteMacs[0]->setText(QStringLiteral("000F3DFA7C2"));
    EXPECT_TRUE(apply(w).isEmpty());
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{"The length is 12 in IEEE802.11a Root AP MAC Address."});

    w.page(A).remoteMacs[0]->setText(QStringLiteral("000F3DFA7C21"));
    const QStringList written = apply(w);
    const int mode = lineOf(written, oid(".4.2.1.1.1.1="));
    ASSERT_GE(mode, 0) << written.join(u'\n').toStdString();
    EXPECT_TRUE(written.at(mode).contains(oid(".4.2.1.1.1.1=2 ")
                                          + oid(".4.2.2.1.2.1.1=0x000F3DFA7C21 -> noError")))
        << written.at(mode).toStdString();
}

TEST_F(WirelessApply, GoesOutInItsOrderThenTheWaitingWindow)
{
    startWireless();
    TFM_Wirless &w = open();
    const QString longest(32, u's');
    w.page(A).ssid->setText(longest);
    choose(w.page(G).channel, QStringLiteral("11"));
    const QStringList written = apply(w);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();

    // Multi-SSID state, the basic settings, band a's AP mode, channel scan, authentication and
    // passphrase settings, then band g's.
    const QStringList order
        = {oid(".4.2.9.3.1.1.1="),  oid(".4.1.1.1.1.1="),        oid(".4.2.1.1.1.1="),
           oid(".4.2.3.1.14.1="),   oid(".4.2.5.1.1.1.1=6 -> "), oid(".4.2.5.1.1.5.1=2 "),
           oid(".4.2.1.1.1.2="),    oid(".4.2.3.1.14.2="),       oid(".4.2.5.1.1.1.2=8 -> "),
           oid(".4.2.5.1.1.5.2=1 ")};
    ASSERT_EQ(written.size(), order.size()) << written.join(u'\n').toStdString();
    for (int i = 0; i < order.size(); ++i) {
        EXPECT_TRUE(written.at(i).contains(order.at(i)))
            << i << ": " << written.at(i).toStdString();
        EXPECT_TRUE(written.at(i).endsWith(QStringLiteral("-> noError")))
            << written.at(i).toStdString();
    }
    // An access point writes its SSID and no remote APs; band g keeps its secondary SSIDs.
    EXPECT_TRUE(written.at(0).contains(oid(".4.2.9.3.1.1.2=1")));
    EXPECT_FALSE(written.at(2).contains(oid(".4.2.2.1.2.")));
    EXPECT_EQ(deviceValue(QStringLiteral("hSSID.1")),
              QLatin1Char('"') + longest + QLatin1Char('"'));
    EXPECT_EQ(deviceValue(QStringLiteral("hChannel.2")), QStringLiteral("11"));

    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_EQ(m_waiting.shown().at(0).countdown, 30);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting Success!"));
}

TEST_F(WirelessApply, MultipointFillsTheFreeRemoteApsWithZeros)
{
    startWireless();
    // A stale peer in slot 5 must go: the user emptied it.
    simCommand(QStringLiteral("set adPtPRemoteAPMACAddress.1.5 000F3DFA0005"));
    TFM_Wirless &w = open();
    choose(w.page(A).apModeShown, QStringLiteral("WDS with AP"));
    w.page(A).remoteMacs[0]->setText(QStringLiteral("000F3DFA7C21"));
    w.page(A).remoteMacs[4]->clear();
    apply(w);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(deviceValue(QStringLiteral("adAPMode.1")), QStringLiteral("3"));
    EXPECT_EQ(deviceValue(QStringLiteral("adPtPRemoteAPMACAddress.1.1")),
              QStringLiteral("000F3DFA7C21"));
    for (int n = 2; n <= 8; ++n)
        EXPECT_EQ(deviceValue(QStringLiteral("adPtPRemoteAPMACAddress.1.%1").arg(n)),
                  QStringLiteral("000000000000"))
            << n;
    // A WDS link takes longer to come up.
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_EQ(m_waiting.shown().at(0).countdown, 50);

    // The seven free slots now all hold zeros: no duplicate, Apply goes through again.
    EXPECT_EQ(w.page(A).remoteMacs[7]->text(), QStringLiteral("000000000000"));
    EXPECT_GE(lineOf(apply(w), oid(".4.2.1.1.1.1=3 ")), 0);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(WirelessApply, ARefusedWriteStopsTheSequence)
{
    startWireless();
    TFM_Wirless &w = open();
    simCommand(QStringLiteral("error ") + oid(".4.2.1.1.1.1") + QStringLiteral(" genErr"));
    const QStringList written = apply(w);
    EXPECT_GE(lineOf(written, oid(".4.1.1.1.1.1=")), 0);
    EXPECT_GE(lineOf(written, oid(".4.2.1.1.1.1=")), 0);
    EXPECT_EQ(lineOf(written, oid(".4.2.3.1.14.1=")), -1) << written.join(u'\n').toStdString();
    EXPECT_EQ(lineOf(written, oid(".4.2.1.1.1.2=")), -1);
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
}

TEST_F(WirelessApply, LeavingAccessPointModeEndsMultiSsidOnTheBand)
{
    startWireless();
    TFM_Wirless &w = open();
    choose(w.page(G).apModeShown, QStringLiteral("WDS"));
    w.page(G).remoteMacs[0]->setText(QStringLiteral("000F3DFA8E0F"));
    const QStringList written = apply(w);
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(written.at(0).contains(oid(".4.2.9.3.1.1.2=0"))) << written.at(0).toStdString();
    EXPECT_EQ(deviceValue(QStringLiteral("adMSSIDState.2")), QStringLiteral("0"));
    EXPECT_EQ(deviceValue(QStringLiteral("adAPMode.2")), QStringLiteral("7"));
}

// Where the repeater's peers go: the root AP of a repeater is adAPRRootAPMACAddress of the band,
// written before the mode; the SSID of a client is the band's SSID.
TEST_F(WirelessApply, RepeaterWritesItsRootApBeforeTheMode)
{
    startWireless();
    TFM_Wirless &w = open();
    choose(w.page(G).apModeShown, QStringLiteral("AP Repeater"));
    w.page(G).rootMac->setText(QStringLiteral("000f3dfa7c29"));
    w.page(G).ssid->setText(QStringLiteral("not written"));
    const QStringList written = apply(w);
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting Success!"));
    const int root = lineOf(written, oid(".4.2.1.1.3.2="));
    const int mode = lineOf(written, oid(".4.2.1.1.1.2="));
    ASSERT_GE(root, 0) << written.join(u'\n').toStdString();
    EXPECT_LT(root, mode);
    EXPECT_EQ(deviceValue(QStringLiteral("adAPRRootAPMACAddress.2")),
              QStringLiteral("000F3DFA7C29"));
    EXPECT_EQ(deviceValue(QStringLiteral("adAPMode.2")), QStringLiteral("4"));
    // The primary SSID of a repeater is not written.
    EXPECT_EQ(deviceValue(QStringLiteral("hSSID.2")), QStringLiteral("\"Norvane-11g\""));
}

TEST_F(WirelessApply, ARadioWithoutARootApRefusesTheRepeaterBeforeItsModeChanges)
{
    // This device knows no root AP for its 802.11a radio: the write of it fails and the radio
    // stays an access point, with "Setting error!" instead of a silent loss of the address.
    startWireless();
    TFM_Wirless &w = open();
    choose(w.page(A).apModeShown, QStringLiteral("AP Repeater"));
    w.page(A).rootMac->setText(QStringLiteral("000F3DFA7C21"));
    const QStringList written = apply(w);
    EXPECT_GE(lineOf(written, oid(".4.2.1.1.3.1=")), 0) << written.join(u'\n').toStdString();
    EXPECT_EQ(lineOf(written, oid(".4.2.1.1.1.1=")), -1);
    EXPECT_EQ(deviceValue(QStringLiteral("adAPMode.1")), QStringLiteral("1"));
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
}

TEST_F(WirelessApply, ClientJoinsTheNetworkNamedInTheRepeaterSsid)
{
    startWireless();
    TFM_Wirless &w = open();
    choose(w.page(G).apModeShown, QStringLiteral("AP Client"));
    w.page(G).repeaterSsid->setText(QStringLiteral("Upstream-Net"));
    apply(w);
    // A client offers no WPA-Auto-Personal: it falls back to Open System with the first key,
    // which MSSID 2 of the band uses as well.
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{"Key value is used by SSID! \nTo change Key value affects other SSID "
                          "settings."});
    EXPECT_EQ(deviceValue(QStringLiteral("hSSID.2")), QStringLiteral("\"Upstream-Net\""));
    EXPECT_EQ(deviceValue(QStringLiteral("adAPMode.2")), QStringLiteral("5"));
    EXPECT_EQ(deviceValue(QStringLiteral("adAutoChannelScan.2")), QStringLiteral("0"));
    EXPECT_EQ(deviceValue(QStringLiteral("adAPRRootAPMACAddress.2")),
              QStringLiteral("000000000000"));
}

} // namespace

namespace {

TEST_F(WirelessApply, AValueTheDeviceNeverToldIsNotWritten)
{
    // The multi-SSID state could not be read when the window opened: its boxes show nothing,
    // and Apply must not turn that into "Disable" on the device.
    startWireless();
    simCommand(QStringLiteral("error ") + oid(".4.2.9.3.1.1") + QStringLiteral(" genErr"));
    TFM_Wirless &w = open();
    simCommand(QStringLiteral("error clear"));
    EXPECT_EQ(w.page(G).mssidState->currentIndex(), -1);
    const QStringList written = apply(w);
    EXPECT_EQ(lineOf(written, oid(".4.2.9.3.1.1.")), -1) << written.join(u'\n').toStdString();
    EXPECT_EQ(deviceValue(QStringLiteral("adMSSIDState.2")), QStringLiteral("1"));
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting Success!"));
}

} // namespace

namespace {

TEST_F(WirelessApply, ARadioWhoseModeWasNeverToldKeepsItsMultiSsid)
{
    // Leaving Access Point ends multi-SSID on the band; a mode the device never told is no
    // such choice, and must not switch the band's secondary SSIDs off.
    startWireless();
    simCommand(QStringLiteral("error ") + oid(".4.2.1.1.1.2") + QStringLiteral(" genErr"));
    TFM_Wirless &w = open();
    simCommand(QStringLiteral("error clear"));
    ASSERT_EQ(w.pageMode(G), PageModeNone);
    const QStringList written = apply(w);
    EXPECT_EQ(lineOf(written, oid(".4.2.1.1.1.2=")), -1) << written.join(u'\n').toStdString();
    EXPECT_EQ(deviceValue(QStringLiteral("adMSSIDState.2")), QStringLiteral("1"));
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting Success!"));
}

} // namespace
