// "Advanced \ DHCP Server" (its three pages) and the static pool editor against the simulated
// access point, rendered once they show the device's values. With QRN_SCREENSHOT_DIR set the
// grabs are saved (scripts/screenshots.sh: docs/windows/).
#include "new_req2edit.h"
#include "screenshot.h"
#include "tfm_dhcp.h"
#include "tfm_staticip.h"
#include "windowtest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class DhcpWindowScreenshots : public PageWindowTest
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

TEST_F(DhcpWindowScreenshots, PagesAndStaticEntryEditor)
{
    startDevice();
    TFM_DHCP window(m_form.get());
    ASSERT_TRUE(processUntil([&] {
        return window.Bt_Refresh->isEnabled() && !window.usedRequest()->IsBusy()
               && window.LV_DynamicLease->topLevelItemCount() == 3
               && window.LV_StaticLease->topLevelItemCount() == 1;
    }));
    EXPECT_EQ(window.Ed_IPAF->text(), QStringLiteral("192.168.0.100"));
    render(window, QStringLiteral("advanced-dhcp-dynamic"));
    window.PageControl1->setCurrentIndex(TFM_DHCP::StaticPage);
    render(window, QStringLiteral("advanced-dhcp-static"));
    window.PageControl1->setCurrentIndex(TFM_DHCP::LeasePage);
    render(window, QStringLiteral("advanced-dhcp-leases"));

    // The editor as Set opens it on the first entry.
    TFM_StaticIP &editor = *window.editor();
    ASSERT_TRUE(window.slotRequest()->SelectRow(NetworkChecks::SP_IP,
                                                QStringLiteral("192.168.0.20")));
    editor.prepareSetting();
    EXPECT_EQ(editor.Ed_AsgMac->text(), QStringLiteral("000D5604A1B2"));
    render(editor, QStringLiteral("advanced-dhcp-static-entry"));
    editor.hide();
}

} // namespace
