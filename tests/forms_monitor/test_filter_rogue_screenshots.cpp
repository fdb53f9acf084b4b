// Advanced \ Filters (with the MAC address list and its dialog) and Advanced \ Rogue AP against
// the simulated access point, rendered once they show the device's values. With
// QRN_SCREENSHOT_DIR set the grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "screenshot.h"
#include "tfm_filter.h"
#include "tfm_filtermac.h"
#include "tfm_macaddr.h"
#include "tfm_rogueform.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class FilterRogueScreenshots : public PageWindowTest
{
protected:
    void render(QDialog &window, const QString &name)
    {
        const QImage image = windowScreenshot(window, name);
        EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
        EXPECT_EQ(window.size(), window.sizeHint());
    }
};

TEST_F(FilterRogueScreenshots, AdvancedFilters)
{
    startDevice();
    TFM_Filter window(m_form.get());
    EXPECT_EQ(window.CB_ACg->currentText(), QStringLiteral("Reject"));
    render(window, QStringLiteral("advanced-filters"));
}

TEST_F(FilterRogueScreenshots, MacAddressTableAndDialog)
{
    startDevice();
    TFM_FilterMAC window(m_form.get(), 2);
    window.setWindowTitle(TFM_Filter::listCaption(TFM_Filter::BandG));
    ASSERT_TRUE(processUntil([&] { return window.Bt_Refresh->isEnabled(); }));
    render(window, QStringLiteral("advanced-filters-mac-table"));

    TFM_MACAddr &dialog = *window.macDialog();
    window.Slot_ListView->setCurrentItem(window.Slot_ListView->topLevelItem(1));
    dialog.setWindowTitle(QStringLiteral("Set MAC Address"));
    EXPECT_EQ(dialog.Ed_MACAddr->text(), QStringLiteral("0014A5C2990E"));
    render(dialog, QStringLiteral("advanced-filters-mac-address"));
    dialog.hide();
}

TEST_F(FilterRogueScreenshots, AdvancedRogueAp)
{
    startDevice(QStringLiteral("default"), {QStringLiteral("--scan-ms"), QStringLiteral("100")});
    TFM_RogueForm window(m_form.get());
    window.Bt_Detect->click();
    ASSERT_TRUE(processUntil([&] {
        return window.isIdle() && window.RogueListView->topLevelItemCount() > 0
               && window.APListView->topLevelItemCount() > 0;
    }));
    render(window, QStringLiteral("advanced-rogue-ap"));
}

} // namespace
