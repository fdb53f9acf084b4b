// Advanced \ Rogue AP against qrn-apsim: the filters as bit masks, the radio rules, detection
// into the found list, moving and deleting rows as one command write each, and closing while
// the device scans.
#include "ktradiogroup.h"
#include "ktsnmprequest2edits.h"
#include "tfm_rogueform.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString kRogue = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.10.");
const QString kKnownBssid = kRogue + QStringLiteral("4.2.2.1.5.");
const QString kFoundBssid = kRogue + QStringLiteral("4.1.4.1.5.");

QStringList column(const QTreeWidget *view, int index)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(index);
    return texts;
}

class RogueWindow : public PageWindowTest
{
protected:
    // No command and no read on its way, and the buttons back.
    static bool settled(const TFM_RogueForm &window)
    {
        return window.isIdle() && !window.foundRequest()->IsBusy()
               && !window.knownRequest()->IsBusy()
               && window.Bt_Apply->isEnabled() && window.Bt_DelAP->isEnabled()
               && window.Bt_Add->isEnabled();
    }

    static void choose(QTreeWidget *view, int row)
    {
        view->setCurrentItem(view->topLevelItem(row));
    }

    // The simulator's BSSID of a row of a list ("" when the row does not exist).
    QString bssid(const QString &column, int row)
    {
        const QString answer = sim().command(QStringLiteral("get %1%2").arg(column).arg(row));
        return answer.startsWith(QStringLiteral("ok octetstr ")) ? answer.mid(12) : QString();
    }
};

TEST_F(RogueWindow, OpensWithTheDevicesFiltersAndItsApListButNoScan)
{
    startDevice();
    markLog();
    TFM_RogueForm window;
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(window.BSSTypRadGrp->itemIndex(), TFM_RogueForm::ApBss - 1);
    // Band mask 13: 11a, 11b, 11g; security mask 255: every kind.
    for (QCheckBox *box : {window.CheckBox_11a, window.CheckBox_11b, window.CheckBox_11g,
                           window.ChcBxo_off, window.ChcBxo_wep, window.ChcBxo_eap,
                           window.ChcBxo_psk, window.WPA2EAPCkBox, window.WPA2PSKCkBox,
                           window.WPA2AUTECkBox, window.WPA2AUTPCkBox}) {
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
    }
    EXPECT_TRUE(window.Bt_Detect->isEnabled());
    EXPECT_EQ(column(window.APListView, 7), (QStringList{"Norvane-11g", "Norvane-11a"}));
    EXPECT_EQ(column(window.APListView, 6), (QStringList{"g", "a"}));
    EXPECT_EQ(column(window.APListView, 5), (QStringList{"WPA-Auto-Personal", "WPA2-Personal"}));
    EXPECT_TRUE(window.APListView->isColumnHidden(0)); // the index
    EXPECT_TRUE(window.APListView->isColumnHidden(1)); // RSSI
    EXPECT_EQ(window.RogueListView->topLevelItemCount(), 0);
    EXPECT_EQ(countLines(requestsSinceMark(), kRogue + QStringLiteral("4.1.4.1.")), 0);
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(RogueWindow, The11aAnd11gBoxesGiveBandMaskNineAndApplyWritesIt)
{
    startDevice();
    TFM_RogueForm window;
    window.CheckBox_11b->click(); // off: 11a and 11g stay
    EXPECT_EQ(window.BandEdit->text(), QStringLiteral("9"));
    markLog();
    window.Bt_Apply->click();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("2.0=9"))) << writes[0].toStdString();
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("1.0=1")));
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("3.0=255")));
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("Set Success!"));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
}

TEST_F(RogueWindow, AdHocShowsTheReadMaskButAnyClickLeavesOnlyOffAndWep)
{
    startDevice();
    simCommand(QStringLiteral("set bssTypeDetected 2"));
    TFM_RogueForm window;
    EXPECT_EQ(window.BSSTypRadGrp->itemIndex(), TFM_RogueForm::AdHoc - 1);
    EXPECT_EQ(window.SecEdit->text(), QStringLiteral("255"));
    EXPECT_TRUE(window.WPA2AUTPCkBox->isChecked());
    EXPECT_FALSE(window.WPA2AUTPCkBox->isEnabled());
    window.ChcBxo_wep->click();
    EXPECT_EQ(window.SecEdit->text(), QStringLiteral("1"));
    window.ChcBxo_wep->click();
    EXPECT_EQ(window.SecEdit->text(), QStringLiteral("3"));
    // Back to AP BSS: the WPA kinds count again.
    window.BSSTypRadGrp->button(TFM_RogueForm::ApBss - 1)->click();
    EXPECT_TRUE(window.WPA2AUTPCkBox->isEnabled());
    EXPECT_EQ(window.SecEdit->text(), QStringLiteral("255"));
    window.BSSTypRadGrp->button(TFM_RogueForm::AdHoc - 1)->click();
    EXPECT_EQ(window.SecEdit->text(), QStringLiteral("3"));
}

// Guards against masks that were never read going out empty and filtering everything away.
TEST_F(RogueWindow, MasksTheDeviceNeverToldAreNotWritten)
{
    startDevice();
    simCommand(QStringLiteral("error ") + kRogue + QStringLiteral("2 genErr"));
    TFM_RogueForm window;
    simCommand(QStringLiteral("error clear"));
    EXPECT_TRUE(window.BandEdit->text().isEmpty());
    EXPECT_EQ(window.BSSTypRadGrp->itemIndex(), TFM_RogueForm::ApBss - 1);
    markLog();
    window.Bt_Apply->click();
    QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(writes[0].count(u'='), 1) << writes[0].toStdString();
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("1.0=1")));
    // A click makes the band mask the boxes' own.
    window.CheckBox_11a->click();
    markLog();
    window.Bt_Apply->click();
    writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(writes[0].count(u'='), 2) << writes[0].toStdString();
}

// Detect also stays off after the found list is read again, which enables the other buttons.
TEST_F(RogueWindow, BothRadiosOffDisableDetectAndEveryBand)
{
    startDevice(QStringLiteral("radios-off"));
    TFM_RogueForm window;
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_FALSE(window.Bt_Detect->isEnabled());
    for (QCheckBox *box : {window.CheckBox_11a, window.CheckBox_11b, window.CheckBox_11g}) {
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    choose(window.APListView, 0);
    window.Bt_DelAP->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(window.APListView->topLevelItemCount(), 1);
    EXPECT_FALSE(window.Bt_Detect->isEnabled());
}

TEST_F(RogueWindow, AOneRadioDeviceScansWithItsOnlyRadio)
{
    startDevice(QStringLiteral("single-radio"));
    markLog();
    TFM_RogueForm window;
    EXPECT_EQ(countLines(requestsSinceMark(),
                         QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.3.1.12.1")),
              0);
    EXPECT_FALSE(window.CheckBox_11a->isEnabled());
    EXPECT_FALSE(window.CheckBox_11a->isChecked());
    EXPECT_TRUE(window.CheckBox_11g->isEnabled());
    EXPECT_TRUE(window.Bt_Detect->isEnabled());
}

TEST_F(RogueWindow, DetectFillsTheFoundListAndEachChangeIsOneCommandWithTheRowsIndex)
{
    startDevice(QStringLiteral("default"), {QStringLiteral("--lists-on-request")});
    TFM_RogueForm window;
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    markLog();
    window.Bt_Detect->click();
    EXPECT_FALSE(window.isIdle());
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 2);
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("2.0=13"))) << writes[0].toStdString();
    EXPECT_TRUE(writes[1].contains(kRogue + QStringLiteral("4.1.1.0=1")));
    // The AP BSS filter leaves out the ad hoc station.
    EXPECT_EQ(column(window.RogueListView, 7),
              (QStringList{"Reception", "linksys", "NETGEAR-A", "CafeNet"}));

    // The first found AP moves to the AP list.
    choose(window.RogueListView, 0);
    markLog();
    window.Bt_Add->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("4.1.2.0=1")));
    EXPECT_EQ(bssid(kKnownBssid, 3), QStringLiteral("00095B2E6F10"));
    EXPECT_EQ(bssid(kFoundBssid, 1), QString());
    EXPECT_EQ(column(window.RogueListView, 7), (QStringList{"linksys", "NETGEAR-A", "CafeNet"}));
    EXPECT_EQ(column(window.APListView, 7),
              (QStringList{"Norvane-11g", "Norvane-11a", "Reception"}));

    // The second found row (index 3) is deleted.
    choose(window.RogueListView, 1);
    markLog();
    window.Bt_DelRogue->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("4.1.3.0=3")));
    EXPECT_EQ(bssid(kFoundBssid, 3), QString());
    EXPECT_EQ(column(window.RogueListView, 7), (QStringList{"linksys", "CafeNet"}));

    // The first known AP is deleted.
    choose(window.APListView, 0);
    markLog();
    window.Bt_DelAP->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kRogue + QStringLiteral("4.2.1.0=1")));
    EXPECT_EQ(bssid(kKnownBssid, 1), QString());
    EXPECT_EQ(column(window.APListView, 7), (QStringList{"Norvane-11a", "Reception"}));
}

TEST_F(RogueWindow, AddAndBothDelsWithoutAChosenRowDoNothing)
{
    startDevice();
    TFM_RogueForm window;
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    markLog();
    window.Bt_AddClick();
    window.Bt_DelRogueClick();
    window.Bt_DelAPClick();
    EXPECT_TRUE(nothingWrittenSinceMark());
    EXPECT_TRUE(settled(window));
}

TEST_F(RogueWindow, ClosingDuringADetectionIsRefusedUntilTheFoundListIsRead)
{
    startDevice(QStringLiteral("default"), {QStringLiteral("--scan-ms"), QStringLiteral("1500")});
    TFM_RogueForm window;
    window.show();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    window.Bt_Detect->click();
    window.close();
    EXPECT_TRUE(window.isVisible());
    window.Bt_Cancel->click(); // disabled while the device scans
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(processUntil([&] { return window.isIdle(); }));
    EXPECT_GT(window.RogueListView->topLevelItemCount(), 0);
    window.close();
    EXPECT_FALSE(window.isVisible());
}

// A device that stops answering in the middle of a scan keeps the window only until the
// command has timed out.
TEST_F(RogueWindow, ADeviceSilentDuringTheScanLetsTheWindowCloseAfterTheTimeOut)
{
    startDevice(QStringLiteral("default"), {QStringLiteral("--scan-ms"), QStringLiteral("3000")});
    TFM_RogueForm window;
    window.show();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    window.detectRequest()->request.timeout = 50; // the real 500 s would hold the test
    window.Bt_Detect->click();
    window.close();
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(processUntil(
        [&] {
            window.close();
            return !window.isVisible();
        },
        10000));
    EXPECT_TRUE(window.isIdle());
    EXPECT_TRUE(window.Bt_Detect->isEnabled());
    EXPECT_TRUE(window.StatusBar->currentMessage().contains(QStringLiteral("timed out")))
        << window.StatusBar->currentMessage().toStdString();
}

// The scan is answered but the device stops answering before it has given its findings:
// the window waits only for the found list's time-out.
TEST_F(RogueWindow, ADeviceSilentAfterTheScanLetsTheWindowCloseAfterTheListsTimeOut)
{
    startDevice();
    TFM_RogueForm window;
    window.show();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    simCommand(QStringLiteral("mute ") + kRogue + QStringLiteral("4.1.4"));
    window.foundRequest()->request.timeout = 50; // the real 10 s would hold the test
    window.foundRequest()->request.retries = 0;
    markLog();
    window.Bt_Detect->click();
    window.close();
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(processUntil(
        [&] {
            window.close();
            return !window.isVisible();
        },
        20000));
    EXPECT_EQ(writesSinceMark().size(), 2); // the filters and the scan, nothing after them
    EXPECT_TRUE(window.isIdle());
    EXPECT_TRUE(window.Bt_Detect->isEnabled());
    EXPECT_EQ(window.RogueListView->topLevelItemCount(), 0);
}

} // namespace
