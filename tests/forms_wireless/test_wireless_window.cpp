// "Home \ Wireless" against the simulated access point: what it reads when it opens and in
// which order, the AP mode lists from the capability masks, the layout and the channel rules per
// AP mode, the channel list per super mode and WDS lists, and Refresh.
#include "wirelesstest.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace wirelesstest;

namespace {

const QStringList kSeven = {"Access Point", "WDS with AP", "WDS", "AP Repeater", "AP Client"};
const QStringList kFive = {"Access Point", "PtP Bridge", "PtMP Bridge", "AP Repeater", "AP Client"};

class WirelessWindow : public WirelessTest
{};

TEST_F(WirelessWindow, OpensWithTheDevicesSettingsReadInOrder)
{
    startWireless();
    markLog();
    TFM_Wirless &w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Home \\ Wireless"));
    EXPECT_EQ(w.PC_Wirless->tabText(0), QStringLiteral("IEEE 802.11a"));
    EXPECT_EQ(w.PC_Wirless->tabText(1), QStringLiteral("IEEE 802.11g"));

    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    const TFM_Wirless::BandPage &g = w.page(TFM_Wirless::BandG);
    EXPECT_EQ(a.ssid->text(), QStringLiteral("Norvane-11a"));
    EXPECT_EQ(g.ssid->text(), QStringLiteral("Norvane-11g"));
    EXPECT_EQ(a.frequency->text(), QStringLiteral("5"));
    EXPECT_EQ(entries(a.apModeShown), kSeven);
    EXPECT_EQ(a.apModeShown->currentText(), QStringLiteral("Access Point"));
    EXPECT_EQ(entries(a.channel).join(u' '),
              QStringLiteral("36 40 44 48 52 56 60 64 149 153 157 161 165"));
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("36"));
    EXPECT_EQ(g.channel->currentText(), QStringLiteral("6"));
    EXPECT_EQ(a.radioWave->currentText(), QStringLiteral("On"));
    EXPECT_EQ(g.mssidState->currentText(), QStringLiteral("Enable"));
    EXPECT_EQ(w.mssidRows(2).size(), 8);
    EXPECT_EQ(w.mssidRows(2).at(1).ssid, QStringLiteral("Norvane-Guest"));
    // Access point: no peers to show.
    EXPECT_FALSE(a.wdsGroup->isVisibleTo(&w));
    EXPECT_FALSE(a.siteGroup->isVisibleTo(&w));
    EXPECT_FALSE(a.repeaterGroup->isVisibleTo(&w));
    EXPECT_TRUE(w.StatusBar->currentMessage().startsWith(QStringLiteral("Get: ")))
        << w.StatusBar->currentMessage().toStdString();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();

    // Auto channel scan, AP mode, then the multi-SSID state and table after band a's requests;
    // then super mode, turbo lists, the basic settings, the WDS support flags.
    const QStringList log = requestsSinceMark();
    const QStringList order = {
        oid(".4.2.3.1.14.1 "), oid(".4.2.1.1.1.1 "),   oid(".4.2.9.3.1.1.1 "), oid(".4.2.9.2.1.2 "),
        oid(".4.2.3.1.14.2 "), oid(".4.2.1.1.1.2 "),   oid(".4.2.3.1.11.1 "),  oid(".4.1.1.1.6.1 "),
        oid(".4.1.1.1.1.1 "),  oid(".4.99.1.1.19.1 "), oid(".4.99.1.1.24.1 ")};
    int previous = -1;
    for (const QString &piece : order) {
        const int at = lineOf(log, piece);
        EXPECT_GT(at, previous) << piece.toStdString() << "\n" << log.join(u'\n').toStdString();
        previous = at;
    }
    EXPECT_TRUE(setLines(log).isEmpty());
}

TEST_F(WirelessWindow, FiveModeMaskListsTheBridgesByName)
{
    startWireless(QStringLiteral("mask31"));
    simCommand(QStringLiteral("set adAPMode.1 3"));
    TFM_Wirless &w = open();
    EXPECT_EQ(entries(w.page(TFM_Wirless::BandA).apModeShown), kFive);
    EXPECT_EQ(w.page(TFM_Wirless::BandA).apModeShown->currentText(), QStringLiteral("PtMP Bridge"));
    EXPECT_EQ(entries(w.page(TFM_Wirless::BandG).apModeShown), kFive);
}

TEST_F(WirelessWindow, SevenModeMaskShowsTheWdsNames)
{
    startWireless();
    simCommand(QStringLiteral("set adAPMode.1 3"));
    simCommand(QStringLiteral("set adAPMode.2 7"));
    TFM_Wirless &w = open();
    EXPECT_EQ(w.page(TFM_Wirless::BandA).apModeShown->currentText(), QStringLiteral("WDS with AP"));
    EXPECT_EQ(w.page(TFM_Wirless::BandG).apModeShown->currentText(), QStringLiteral("WDS"));
    EXPECT_EQ(w.page(TFM_Wirless::BandA).wdsGroup->title(), QStringLiteral(" WDS with AP "));
    EXPECT_EQ(w.page(TFM_Wirless::BandG).wdsGroup->title(), QStringLiteral(" WDS without AP "));
}

TEST_F(WirelessWindow, MasksWithoutAKnownHighestBitGiveEmptyLists)
{
    startWireless();
    for (const char *mask : {"0", "1", "63"}) {
        m_form->APModeSupport->setText(QString::fromLatin1(mask));
        TFM_Wirless &w = open();
        EXPECT_EQ(w.page(TFM_Wirless::BandA).apModeShown->count(), 0) << mask;
        EXPECT_EQ(entries(w.page(TFM_Wirless::BandG).apModeShown), kSeven) << mask;
    }
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(WirelessWindow, MissingMaskShowsTheStatusAndKeepsTheDevicesMode)
{
    // Guards against the error path choosing "Access Point" for the device: a WDS bridge whose
    // window opened before the capabilities were known would be switched off by Apply.
    startWireless(QStringLiteral("wds"));
    m_form->APModeSupport11g->clear();
    TFM_Wirless &w = open();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Error"));
    EXPECT_EQ(m_dialogs.messages().at(0).text, QStringLiteral("Ready. "));
    EXPECT_EQ(w.page(TFM_Wirless::BandA).apModeShown->count(), 0);
    EXPECT_EQ(w.page(TFM_Wirless::BandA).apMode->currentText(), QStringLiteral("PtMP Bridge"));
    // The page still shows the bridge's peers.
    EXPECT_EQ(w.pageMode(TFM_Wirless::BandA), PageWdsWithAp);
    EXPECT_EQ(w.page(TFM_Wirless::BandA).remoteMacs[0]->text(), QStringLiteral("000F3DFA7C21"));

    markLog();
    w.Bt_ApplyClick();
    EXPECT_EQ(deviceValue(QStringLiteral("adAPMode.1")), QStringLiteral("3"));
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting Success!"));
}

TEST_F(WirelessWindow, LayoutPerMode)
{
    startWireless();
    TFM_Wirless &w = open();
    w.PC_Wirless->setCurrentIndex(TFM_Wirless::BandG);
    w.show();
    const TFM_Wirless::BandPage &g = w.page(TFM_Wirless::BandG);
    const auto shown = [&w](QWidget *widget) {
        QCoreApplication::processEvents();
        return widget->isVisibleTo(&w);
    };

    choose(g.apModeShown, QStringLiteral("WDS"));
    EXPECT_TRUE(shown(g.wdsGroup));
    EXPECT_TRUE(shown(g.siteGroup));
    EXPECT_FALSE(shown(g.repeaterGroup));
    EXPECT_EQ(g.wdsGroup->title(), QStringLiteral(" WDS without AP "));
    EXPECT_EQ(g.apMode->currentText(), QStringLiteral("P2MP Without"));
    // Every remote AP of a multipoint link is typed in.
    for (QLineEdit *mac : g.remoteMacs)
        EXPECT_FALSE(mac->isReadOnly());

    const int wdsHeight = w.height();

    choose(g.apModeShown, QStringLiteral("AP Repeater"));
    EXPECT_FALSE(shown(g.ssid));
    // Two fields in place of eight: the window shortens to fit.
    EXPECT_TRUE(processUntil([&w, wdsHeight] { return w.height() < wdsHeight; }, 5000))
        << w.height() << " " << wdsHeight;
    EXPECT_FALSE(shown(g.wdsGroup));
    EXPECT_TRUE(shown(g.repeaterGroup));
    EXPECT_TRUE(shown(g.siteGroup));
    EXPECT_EQ(g.repeaterGroup->title(), QStringLiteral(" AP Repeater "));
    EXPECT_FALSE(g.rootMac->isReadOnly());
    EXPECT_TRUE(g.repeaterSsid->isReadOnly());
    EXPECT_TRUE(g.ssidBroadcast->isEnabled());
    // The AP mode took the primary SSID's place.
    EXPECT_LT(g.apModeShown->y(), g.ssidBroadcast->y());

    choose(g.apModeShown, QStringLiteral("AP Client"));
    EXPECT_EQ(g.repeaterGroup->title(), QStringLiteral(" AP Client "));
    EXPECT_TRUE(g.rootMac->isReadOnly());
    EXPECT_FALSE(g.repeaterSsid->isReadOnly());
    EXPECT_EQ(g.repeaterSsid->text(), QStringLiteral("Norvane-11g"));
    EXPECT_FALSE(g.ssidBroadcast->isEnabled());
    EXPECT_FALSE(g.channel->isEnabled());
    EXPECT_FALSE(g.autoChannelScan->isEnabled());

    choose(g.apModeShown, QStringLiteral("Access Point"));
    EXPECT_TRUE(shown(g.ssid));
    EXPECT_FALSE(shown(g.repeaterGroup));
    EXPECT_FALSE(shown(g.siteGroup));
    EXPECT_GT(g.apModeShown->y(), g.ssidBroadcast->y());
    for (QLineEdit *mac : g.remoteMacs)
        EXPECT_TRUE(mac->isReadOnly());
}

TEST_F(WirelessWindow, PointToPointTakesOnlyTheFirstRemoteAp)
{
    startWireless();
    simCommand(QStringLiteral("set adAPMode.1 2"));
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    EXPECT_EQ(a.apModeShown->currentText(), QStringLiteral("WDS with AP"));
    EXPECT_FALSE(a.remoteMacs[0]->isReadOnly());
    for (int n = 1; n < TFM_Wirless::RemoteMacCount; ++n)
        EXPECT_TRUE(a.remoteMacs[n]->isReadOnly()) << n;
    // Free slots read as zeros and show empty.
    EXPECT_TRUE(a.remoteMacs[1]->text().isEmpty());
}

TEST_F(WirelessWindow, WdsWithApWarnsThatMultiSsidEnds)
{
    startWireless();
    TFM_Wirless &w = open();
    choose(w.page(TFM_Wirless::BandG).apModeShown, QStringLiteral("WDS with AP"));
    choose(w.page(TFM_Wirless::BandG).apModeShown, QStringLiteral("WDS"));
    // Band a runs no multi-SSID: no warning there.
    choose(w.page(TFM_Wirless::BandA).apModeShown, QStringLiteral("WDS"));
    EXPECT_EQ(m_dialogs.texts(),
              (QStringList{"If you select \"WDS with AP\" mode,IEEE802.11g MSSID will be disabled!",
                           "If you select \"WDS\" mode,IEEE802.11g MSSID will be disabled!"}));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
}

TEST_F(WirelessWindow, RadioOffWarnsAboutRogueApDetection)
{
    startWireless();
    TFM_Wirless &w = open();
    choose(w.page(TFM_Wirless::BandA).radioWave, QStringLiteral("Off"));
    choose(w.page(TFM_Wirless::BandG).radioWave, QStringLiteral("On"));
    choose(w.page(TFM_Wirless::BandG).radioWave, QStringLiteral("Off"));
    EXPECT_EQ(
        m_dialogs.texts(),
        (QStringList{"The 11a Radio has been turned off.The Rogue AP Detection will be invalid!",
                     "The 11g Radio has been turned off.The Rogue AP Detection will be invalid!"}));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
}

TEST_F(WirelessWindow, GreatBritainForcesAutomaticChannelScanInAccessPointMode)
{
    startWireless(QStringLiteral("gb"));
    simCommand(QStringLiteral("set adAutoChannelScan.2 0"));
    TFM_Wirless &w = open();
    for (int band = 0; band < TFM_Wirless::BandCount; ++band) {
        const TFM_Wirless::BandPage &p = w.page(band);
        EXPECT_EQ(p.autoChannelScan->currentText(), QStringLiteral("Enable")) << band;
        EXPECT_FALSE(p.autoChannelScan->isEnabled()) << band;
        EXPECT_FALSE(p.channel->isEnabled()) << band;
    }
    // A WDS link needs a fixed channel.
    choose(w.page(TFM_Wirless::BandA).apModeShown, QStringLiteral("WDS with AP"));
    EXPECT_EQ(w.page(TFM_Wirless::BandA).autoChannelScan->currentText(), QStringLiteral("Disable"));
    EXPECT_FALSE(w.page(TFM_Wirless::BandA).autoChannelScan->isEnabled());
    EXPECT_TRUE(w.page(TFM_Wirless::BandA).channel->isEnabled());
}

TEST_F(WirelessWindow, AutomaticChannelScanLocksTheChannelElsewhere)
{
    startWireless();
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    EXPECT_TRUE(a.autoChannelScan->isEnabled());
    EXPECT_TRUE(a.channel->isEnabled());
    choose(a.autoChannelScan, QStringLiteral("Enable"));
    EXPECT_FALSE(a.channel->isEnabled());
    choose(a.autoChannelScan, QStringLiteral("Disable"));
    EXPECT_TRUE(a.channel->isEnabled());
}

TEST_F(WirelessWindow, WdsModesOfferTheWdsChannelList)
{
    startWireless();
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    choose(a.apModeShown, QStringLiteral("WDS with AP"));
    EXPECT_EQ(entries(a.channel).join(u' '), QStringLiteral("36 40 44 48 149 153 157 161 165"));
    choose(a.apModeShown, QStringLiteral("Access Point"));
    EXPECT_EQ(a.channel->count(), 13);
}

TEST_F(WirelessWindow, WithoutWdsListsTheWdsModesKeepTheNormalList)
{
    startWireless(QStringLiteral("nowdslist"));
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    choose(a.apModeShown, QStringLiteral("WDS"));
    EXPECT_EQ(a.channel->count(), 13);
}

TEST_F(WirelessWindow, StaticTurboOffersTheStaticChannels)
{
    startWireless();
    simCommand(QStringLiteral("set adSuperMode.1 2"));
    simCommand(QStringLiteral("set hChannel.1 50"));
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    EXPECT_EQ(entries(a.channel).join(u' '), QStringLiteral("42 50 58 152 160"));
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("50"));
    choose(a.apModeShown, QStringLiteral("WDS with AP"));
    EXPECT_EQ(entries(a.channel).join(u' '), QStringLiteral("42 152 160"));
    // 50 is no WDS channel: the first is offered.
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("42"));
}

TEST_F(WirelessWindow, ARadioWithoutTurboOffersTheNormalChannelsLikeThePerformanceWindow)
{
    // The device reports static turbo on a radio that has no turbo modes: it runs without
    // turbo, as the performance window shows it, so both windows offer the normal channels.
    for (const char *profile : {"turbo0", "turbo2"}) {
        startWireless(QString::fromLatin1(profile));
        TFM_Wirless &w = open();
        const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
        EXPECT_EQ(a.superMode->currentText(), QStringLiteral("Super Mode with Static Turbo"));
        EXPECT_EQ(a.channel->count(), 13) << profile;
        EXPECT_EQ(a.channel->currentText(), QStringLiteral("36")) << profile;
        TearDown();
    }
}

TEST_F(WirelessWindow, RefreshReadsTheDeviceAgain)
{
    startWireless();
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    a.ssid->setText(QStringLiteral("typed"));
    simCommand(QStringLiteral("set hSSID.1 renamed"));
    simCommand(QStringLiteral("set adAPMode.1 4"));
    simCommand(QStringLiteral("set adMSSIDState.2 0"));
    markLog();
    w.Bt_RefreshClick();
    EXPECT_TRUE(processUntil([&w] { return !w.isWorking(); }));
    EXPECT_EQ(a.ssid->text(), QStringLiteral("renamed"));
    EXPECT_EQ(a.apModeShown->currentText(), QStringLiteral("AP Repeater"));
    EXPECT_TRUE(a.repeaterGroup->isVisibleTo(&w));
    EXPECT_EQ(w.page(TFM_Wirless::BandG).mssidState->currentText(), QStringLiteral("Disable"));
    EXPECT_TRUE(nothingWrittenSinceMark());
}

} // namespace

namespace {

TEST_F(WirelessWindow, ADeviceThatDoesNotAnswerIsAskedOnceAndRefreshReadsItAgain)
{
    // Each read of a silent device waits its whole time-out: the window stops asking after the
    // first and opens at once, instead of after a time-out per request.
    startWireless();
    markLog();
    simCommand(QStringLiteral("drop 2")); // the first read and its retry
    TFM_Wirless &w = open();
    EXPECT_TRUE(w.StatusBar->currentMessage().contains(QStringLiteral("timed out")))
        << w.StatusBar->currentMessage().toStdString();
    const QStringList asked = requestsSinceMark();
    EXPECT_EQ(lineOf(asked, oid(".4.2.1.1.1.1 ")), -1) << asked.join(u'\n').toStdString();
    EXPECT_EQ(lineOf(asked, oid(".4.1.1.1.1.1 ")), -1);
    const TFM_Wirless::BandPage &a = w.page(TFM_Wirless::BandA);
    EXPECT_TRUE(a.ssid->text().isEmpty());
    EXPECT_EQ(a.apMode->currentIndex(), -1);

    w.Bt_RefreshClick();
    EXPECT_TRUE(processUntil([&w] { return !w.isWorking(); }));
    EXPECT_EQ(a.ssid->text(), QStringLiteral("Norvane-11a"));
    EXPECT_EQ(a.apModeShown->currentText(), QStringLiteral("Access Point"));
    EXPECT_EQ(a.autoChannelScan->currentText(), QStringLiteral("Disable"));
    EXPECT_TRUE(a.autoChannelScan->isVisibleTo(&w));
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("36"));
}

} // namespace

namespace {

TEST_F(WirelessWindow, TheSecurityPanelsShareOnePlace)
{
    // The security half fills these three panels: each shows alone, where the others would.
    startWireless();
    TFM_Wirless &w = open();
    w.PC_Wirless->setCurrentIndex(TFM_Wirless::BandG);
    w.show();
    TWirlessSecurity &security = w.security(TFM_Wirless::BandG);
    int top = -1;
    for (int shown = 0; shown < TWirlessSecurity::PanelCount; ++shown) {
        security.showPanel(TWirlessSecurity::Panel(shown));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (int i = 0; i < TWirlessSecurity::PanelCount; ++i)
            EXPECT_EQ(security.panel(TWirlessSecurity::Panel(i))->isVisibleTo(&w), i == shown);
        const int y = security.panel(TWirlessSecurity::Panel(shown))->mapTo(&w, QPoint()).y();
        EXPECT_TRUE(top < 0 || y == top) << shown;
        top = y;
        // Under the AP mode it depends on.
        EXPECT_GT(y, w.page(TFM_Wirless::BandG).apModeShown->mapTo(&w, QPoint()).y());
    }
    security.showPanel(std::nullopt);
    EXPECT_FALSE(security.panel(TWirlessSecurity::KeySettings)->isVisibleTo(&w));
}

} // namespace

namespace {

TEST_F(WirelessWindow, ADeviceWithoutThe11aRadioOpensAndApplyWritesNothing)
{
    // The basic settings of both radios are one request: a device without the 802.11a radio
    // answers none of them. The window still opens, shows what failed, and Apply refuses the
    // empty page instead of writing half of it.
    startWireless(QStringLiteral("single-radio"));
    TFM_Wirless &w = open();
    EXPECT_TRUE(w.StatusBar->currentMessage().startsWith(QStringLiteral("Get: (SNMP) ")))
        << w.StatusBar->currentMessage().toStdString();
    EXPECT_EQ(w.page(TFM_Wirless::BandA).apModeShown->count(), 0);
    markLog();
    w.page(TFM_Wirless::BandG).ssid->setText(QStringLiteral("Norvane-11g"));
    w.Bt_ApplyClick();
    EXPECT_TRUE(nothingWrittenSinceMark());
    EXPECT_EQ(m_dialogs.texts(), QStringList{"Please Input SSID in 11a"});
}

} // namespace
