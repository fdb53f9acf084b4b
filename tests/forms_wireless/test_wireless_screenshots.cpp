// "Home \ Wireless" against the simulated access point, rendered as the user sees it: each band
// as an access point, each band bridging to remote access points found by a site survey, and the
// three security panels.
// With QRN_SCREENSHOT_DIR set the grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "screenshot.h"
#include "wirelesstest.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace wirelesstest;

namespace {

class WirelessScreenshots : public WirelessTest
{
protected:
    void SetUp() override
    {
        startWireless(QStringLiteral("default"),
                      {QStringLiteral("--scan-ms"), QStringLiteral("100")});
    }

    void render(TFM_Wirless &w, int band, const QString &name)
    {
        w.PC_Wirless->setCurrentIndex(band);
        // Nothing on its way any more, and the status bar says so.
        ASSERT_TRUE(
            processUntil([&w] { return !w.isWorking() && !w.workingLabel()->isVisible(); }));
        const QImage image = windowScreenshot(w, name);
        EXPECT_EQ(image.size(), w.size() * image.devicePixelRatio());
        // The window fits the page shown.
        EXPECT_EQ(w.size(), w.sizeHint());
    }

    // The band bridging to the first two WDS neighbours its survey found.
    void bridge(TFM_Wirless &w, int band)
    {
        const TFM_Wirless::BandPage &p = w.page(band);
        choose(p.apModeShown, QStringLiteral("WDS with AP"));
        p.siteScan->click();
        ASSERT_TRUE(processUntil([&w, band] { return !w.surveyRunning(band); }, 30000));
        ASSERT_EQ(p.siteList->topLevelItemCount(), 2);
        for (int row = 0; row < 2; ++row)
            Q_EMIT p.siteList->itemClicked(p.siteList->topLevelItem(row), 1);
        ASSERT_FALSE(p.remoteMacs[1]->text().isEmpty());
    }
};

TEST_F(WirelessScreenshots, AccessPoints)
{
    TFM_Wirless &w = open();
    ASSERT_EQ(w.page(TFM_Wirless::BandA).ssid->text(), QStringLiteral("Norvane-11a"));
    render(w, TFM_Wirless::BandA, QStringLiteral("home-wireless-11a"));
    render(w, TFM_Wirless::BandG, QStringLiteral("home-wireless-11g"));
    EXPECT_FALSE(w.page(TFM_Wirless::BandG).wdsGroup->isVisible());
}

TEST_F(WirelessScreenshots, WdsBridges)
{
    TFM_Wirless &w = open();
    w.show();
    bridge(w, TFM_Wirless::BandA);
    bridge(w, TFM_Wirless::BandG);
    render(w, TFM_Wirless::BandA, QStringLiteral("home-wireless-11a-wds"));
    EXPECT_TRUE(w.page(TFM_Wirless::BandA).wdsGroup->isVisible());
    render(w, TFM_Wirless::BandG, QStringLiteral("home-wireless-11g-wds"));
    EXPECT_TRUE(w.page(TFM_Wirless::BandG).siteGroup->isVisible());
    // Band g ran several SSIDs: the user was told they end.
    EXPECT_EQ(
        m_dialogs.texts(),
        QStringList{"If you select \"WDS with AP\" mode,IEEE802.11g MSSID will be disabled!"});
}

TEST_F(WirelessScreenshots, SecurityPanels)
{
    TFM_Wirless &w = open();
    TWirlessSecurity &s = w.security(TFM_Wirless::BandA);
    ASSERT_TRUE(s.panel(TWirlessSecurity::PassPhrase)->isVisibleTo(&w));
    render(w, TFM_Wirless::BandA, QStringLiteral("home-wireless-security-passphrase"));
    choose(s.authenticationShown, QStringLiteral("WPA2-Enterprise"));
    render(w, TFM_Wirless::BandA, QStringLiteral("home-wireless-security-radius"));
    choose(s.authenticationShown, QStringLiteral("Open System / Shared Key"));
    render(w, TFM_Wirless::BandA, QStringLiteral("home-wireless-security-keys"));
    EXPECT_TRUE(s.panel(TWirlessSecurity::KeySettings)->isVisibleTo(&w));
}

} // namespace
