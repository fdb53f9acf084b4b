// "Advanced \ Multi-SSID" against the simulated access point, rendered as the user sees it:
// 802.11g with its three secondary SSIDs, one of them chosen for editing.
// With QRN_SCREENSHOT_DIR set the grab is saved (scripts/screenshots.sh: docs/windows/).
#include "multissidtest.h"
#include "screenshot.h"

#include <QComboBox>
#include <QLabel>

using namespace multissidtest;

namespace {

class MultiSsidScreenshot : public MultiSsidTest
{};

TEST_F(MultiSsidScreenshot, SecondarySsidOf80211g)
{
    startMultiSsid();
    TFM_MultiSSIDNewForm &w = open();
    w.show();
    choose(w.MSSIDIdxCombo, QStringLiteral("MSSID 3"));
    ASSERT_EQ(w.SSIDEdit->text(), QStringLiteral("Norvane-Lab"));
    ASSERT_TRUE(processUntil([&w] { return !w.isWorking() && !w.workingLabel()->isVisible(); }));
    const QImage image = windowScreenshot(w, QStringLiteral("advanced-multi-ssid"));
    EXPECT_EQ(image.size(), w.size() * image.devicePixelRatio());
    // The window fits what it shows.
    EXPECT_EQ(w.size(), w.sizeHint());
}

} // namespace
