// Advanced \ Filters against qrn-apsim: the access control and WLAN partition switches of the
// bands the device has, and the MAC address list of a band with its dialog. What the window
// wrote is taken from the simulator's request log and its variables.
#include "ktwaiting.h"
#include "new_req2edit.h"
#include "tfm_filter.h"
#include "tfm_filtermac.h"
#include "tfm_macaddr.h"
#include "windowtest.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kFilters = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.4.");
const QString kAccessA = kFilters + QStringLiteral("1.1.1.1");
const QString kAccessG = kFilters + QStringLiteral("1.1.1.2");
const QString kBetween = kFilters + QStringLiteral("3.1.3.");
const QString kMacSlot = kFilters + QStringLiteral("2.1.2.");

QStringList column(const QTreeWidget *view, int index)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(index);
    return texts;
}

// Every log line that names the OID (followed by "=" in a set, by a blank in a read).
int linesNaming(const QStringList &log, const QString &oid)
{
    int n = 0;
    for (const QString &line : log)
        n += (line.contains(oid + u'=') || line.contains(oid + u' ')
              || line.contains(oid + u'.')) ? 1 : 0;
    return n;
}

// Runs act on the modal window of type W once it shows (its exec has not returned then).
template <class W>
void whenShown(std::function<void(W &)> act)
{
    QTimer::singleShot(0, [act] {
        processUntil([] { return qobject_cast<W *>(QApplication::activeModalWidget()); }, 10000);
        if (auto *window = qobject_cast<W *>(QApplication::activeModalWidget()))
            act(*window);
    });
}

class FilterWindow : public PageWindowTest
{
protected:
    // The simulator's MAC of a slot of a band.
    QString slotMac(int band, int slot)
    {
        return sim().command(QStringLiteral("get %1%2.%3").arg(kMacSlot).arg(band).arg(slot));
    }

    // Both lists read and nothing on its way.
    static bool settled(const TFM_FilterMAC &window)
    {
        return !window.busyFlag() && !window.slotRequest()->IsBusy()
               && !window.usedRequest()->IsBusy() && window.Bt_Refresh->isEnabled();
    }

    static void choose(QTreeWidget *view, int row)
    {
        view->setCurrentItem(view->topLevelItem(row));
    }
};

// ---- Filters window ----

TEST_F(FilterWindow, DualRadioShowsBothBandsAndTheBetweenBandsSwitchOnTheFirstTab)
{
    startDevice();
    TFM_Filter window;
    EXPECT_EQ(window.PageControl1->tabText(0), QStringLiteral("IEEE 802.11a"));
    EXPECT_EQ(window.PageControl1->tabText(1), QStringLiteral("IEEE 802.11g"));
    EXPECT_TRUE(window.PageControl1->isTabVisible(0));
    EXPECT_EQ(window.CB_ACa->currentText(), QStringLiteral("Disable"));
    EXPECT_EQ(window.CB_ACg->currentText(), QStringLiteral("Reject"));
    EXPECT_EQ(window.CB_InSCa->currentText(), QStringLiteral("Enable"));
    EXPECT_FALSE(window.CB_InSCBa->isHidden());
    EXPECT_FALSE(window.La_InSCBa->isHidden());
    EXPECT_TRUE(window.CB_InSCBg->isHidden());
    EXPECT_EQ(window.CB_ACa->itemText(2), QStringLiteral("Disable"));
    EXPECT_EQ(window.CB_InSCa->itemText(1), QStringLiteral("Disable"));
}

TEST_F(FilterWindow, DisableOnOneBandDisablesOnlyThatBandsListButton)
{
    startDevice();
    TFM_Filter window;
    // Band a reads "Disable", band g "Reject".
    EXPECT_FALSE(window.Bt_ACLa->isEnabled());
    EXPECT_TRUE(window.Bt_ACLg->isEnabled());
    window.CB_ACa->setCurrentIndex(TFM_Filter::Accept - 1);
    EXPECT_TRUE(window.Bt_ACLa->isEnabled());
    window.CB_ACg->setCurrentIndex(TFM_Filter::Disable - 1);
    EXPECT_FALSE(window.Bt_ACLg->isEnabled());
    EXPECT_TRUE(window.Bt_ACLa->isEnabled());
}

TEST_F(FilterWindow, ApplyWritesEveryVariableOnceAndTheBetweenBandsBoxesFollowEachOther)
{
    startDevice();
    TFM_Filter window;
    window.CB_ACa->setCurrentIndex(TFM_Filter::Reject - 1);
    window.CB_InSCBa->setCurrentIndex(1);
    Q_EMIT window.CB_InSCBa->activated(1); // the user's choice of "Disable"
    EXPECT_EQ(window.CB_InSCBg->currentText(), QStringLiteral("Disable"));
    markLog();
    window.Bt_Apply->click();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1) << writes.join(u'\n').toStdString();
    EXPECT_TRUE(writes[0].contains(kAccessA + QStringLiteral("=2"))) << writes[0].toStdString();
    EXPECT_TRUE(writes[0].contains(kAccessG + QStringLiteral("=2")));
    EXPECT_TRUE(writes[0].contains(kBetween + QStringLiteral("1=0")));
    EXPECT_TRUE(writes[0].contains(kBetween + QStringLiteral("2=0")));
    EXPECT_EQ(writes[0].count(u'='), 8);
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
}

TEST_F(FilterWindow, AOneRadioDeviceNeitherShowsNorReadsNorWritesTheOtherBandOrTheBetweenBands)
{
    startDevice(QStringLiteral("single-radio"));
    markLog();
    TFM_Filter window;
    EXPECT_FALSE(window.PageControl1->isTabVisible(0));
    EXPECT_TRUE(window.PageControl1->isTabVisible(1));
    EXPECT_TRUE(window.CB_InSCBa->isHidden());
    EXPECT_TRUE(window.La_InSCBa->isHidden());
    EXPECT_EQ(window.CB_ACg->currentText(), QStringLiteral("Reject"));
    EXPECT_TRUE(window.Bt_ACLg->isEnabled());
    window.Bt_Apply->click();
    ASSERT_EQ(m_waiting.shown().size(), 1) << window.StatusBar->currentMessage().toStdString();
    const QStringList log = requestsSinceMark();
    EXPECT_EQ(linesNaming(log, kBetween + QStringLiteral("1")), 0);
    EXPECT_EQ(linesNaming(log, kBetween + QStringLiteral("2")), 0);
    EXPECT_EQ(linesNaming(log, kAccessA), 0);
    const QStringList writes = setLines(log);
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(writes[0].count(u'='), 3) << writes[0].toStdString();
    EXPECT_TRUE(writes[0].contains(kAccessG + QStringLiteral("=2")));
}

TEST_F(FilterWindow, ARefusedWriteShowsSettingErrorAndNoWaitingWindow)
{
    startDevice();
    TFM_Filter window;
    simCommand(QStringLiteral("error ") + kAccessG + QStringLiteral(" genErr"));
    window.Bt_Apply->click();
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("Setting Error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
}

// Guards against a failed opening read turning into "Accept" (only listed stations admitted)
// and "Enable" on the next Apply.
TEST_F(FilterWindow, BoxesTheDeviceNeverFilledAreNotWritten)
{
    startDevice();
    holdTimers(*m_form);
    simCommand(QStringLiteral("silent 4"));
    TFM_Filter window;
    EXPECT_EQ(window.CB_ACa->currentIndex(), -1);
    EXPECT_EQ(window.CB_InSCBa->currentIndex(), -1);
    ASSERT_TRUE(processUntil(::deviceAnswers, 10000));
    markLog();
    window.Bt_Apply->click();
    EXPECT_TRUE(nothingWrittenSinceMark());
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("Setting Error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    // Read again, every box goes out.
    window.Bt_Refresh->click();
    EXPECT_EQ(window.CB_ACa->currentText(), QStringLiteral("Disable"));
    window.Bt_Apply->click();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(writes[0].count(u'='), 8);
}

TEST_F(FilterWindow, TheListButtonOpensThatBandsTableAndTheWindowRemembersTheBand)
{
    startDevice();
    TFM_Filter window;
    QString caption;
    int band = 0;
    whenShown<TFM_FilterMAC>([&](TFM_FilterMAC &list) {
        caption = list.windowTitle();
        band = list.band();
        processUntil([&] { return settled(list); });
        list.close();
    });
    window.Bt_ACLg->click();
    EXPECT_EQ(caption, QStringLiteral("IEEE802.11g MAC Address Table"));
    EXPECT_EQ(band, 2);
    EXPECT_EQ(window.openBand(), TFM_Filter::BandG);
    EXPECT_EQ(FM_FilterMAC, nullptr);
}

// ---- MAC address list ----

TEST_F(FilterWindow, TheVisibleListNumbersTheUsedSlotsFromOne)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2); // band g: slots 1, 2 and 4 used
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(column(window.User_ListView, 0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(column(window.User_ListView, 1),
              (QStringList{"000D0B4471AA", "0014A5C2990E", "001E58230B7C"}));
    EXPECT_EQ(window.Slot_ListView->topLevelItemCount(), 32);
    EXPECT_TRUE(window.Slot_ListView->isHidden());
    EXPECT_TRUE(window.Bt_Add->isEnabled());
    // Set and Del need a chosen entry.
    EXPECT_FALSE(window.Bt_Set->isEnabled());
    EXPECT_FALSE(window.Bt_Del->isEnabled());
    choose(window.User_ListView, 0);
    EXPECT_TRUE(window.Bt_Set->isEnabled());
    EXPECT_TRUE(window.Bt_Del->isEnabled());
}

TEST_F(FilterWindow, AddFillsTheFirstFreeSlotOnlyAndBothListsAreReadAgain)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    QString title;
    QString shown;
    whenShown<TFM_MACAddr>([&](TFM_MACAddr &dialog) {
        title = dialog.windowTitle();
        shown = dialog.Ed_MACAddr->text();
        dialog.Ed_MACAddr->setText(QStringLiteral("0011aabbccdd"));
        dialog.Bt_Apply->click();
    });
    markLog();
    window.Bt_Add->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(title, QStringLiteral("Adding MAC address"));
    EXPECT_EQ(shown, QStringLiteral("000000000000"));
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kMacSlot + QStringLiteral("2.3=0x0011AABBCCDD")))
        << writes[0].toStdString();
    EXPECT_EQ(writes[0].count(u'='), 1);
    EXPECT_EQ(slotMac(2, 3), QStringLiteral("ok octetstr 0011AABBCCDD"));
    EXPECT_EQ(column(window.User_ListView, 0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(column(window.User_ListView, 1).at(2), QStringLiteral("0011AABBCCDD"));
}

TEST_F(FilterWindow, SetChangesTheChosenEntrysSlotAndItsOwnMacIsNoDuplicate)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    choose(window.User_ListView, 2); // entry 3 is slot 4
    QString title;
    QString index;
    whenShown<TFM_MACAddr>([&](TFM_MACAddr &dialog) {
        title = dialog.windowTitle();
        index = dialog.LA_Index->text();
        EXPECT_EQ(dialog.Ed_MACAddr->text(), QStringLiteral("001E58230B7C"));
        // The slot's own MAC again, in lower case: no other slot holds it.
        dialog.Ed_MACAddr->setText(QStringLiteral("001e58230b7c"));
        dialog.Bt_Apply->click();
    });
    markLog();
    window.Bt_Set->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(title, QStringLiteral("Set MAC Address"));
    EXPECT_EQ(index, QStringLiteral("4"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kMacSlot + QStringLiteral("2.4=0x001E58230B7C")));

    // Another MAC for the same entry changes that slot and no other.
    choose(window.User_ListView, 2);
    whenShown<TFM_MACAddr>([](TFM_MACAddr &dialog) {
        dialog.Ed_MACAddr->setText(QStringLiteral("00AB00CD00EF"));
        dialog.Bt_Apply->click();
    });
    window.Bt_Set->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(slotMac(2, 4), QStringLiteral("ok octetstr 00AB00CD00EF"));
    EXPECT_EQ(slotMac(2, 1), QStringLiteral("ok octetstr 000D0B4471AA"));
    EXPECT_EQ(slotMac(2, 3), QStringLiteral("ok octetstr 000000000000"));
    EXPECT_EQ(column(window.User_ListView, 1),
              (QStringList{"000D0B4471AA", "0014A5C2990E", "00AB00CD00EF"}));
}

TEST_F(FilterWindow, DelWritesTheFillerIntoTheEntrysSlotAndTheNumbersCloseUp)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    choose(window.User_ListView, 1); // slot 2
    markLog();
    window.Bt_Del->click();
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(kMacSlot + QStringLiteral("2.2=0x000000000000")));
    EXPECT_EQ(slotMac(2, 2), QStringLiteral("ok octetstr 000000000000"));
    EXPECT_EQ(column(window.User_ListView, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(column(window.User_ListView, 1), (QStringList{"000D0B4471AA", "001E58230B7C"}));
}

// The dialog's rules, in their order, each with the text and caption the user sees.
TEST_F(FilterWindow, BadMacsAreRefusedAndNothingIsWritten)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    const struct {
        const char *mac;
        const char *text;
        const char *caption;
    } rows[] = {
        {"0011AABBCCD", "The length is 12 in MAC Address.", "Error"},
        {"", "The length is 12 in MAC Address.", "Error"},
        {"000000000000", "Please input a valid MAC Address.", "Warning"},
        {"0014A5C2990E", "Reject: The MAC already exists ", "Warning"}, // slot 2's
        {"000d0b4471aa", "Reject: The MAC already exists ", "Warning"}, // slot 1's, lower case
    };
    markLog();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.mac);
        m_dialogs.clear();
        bool stillShown = false;
        whenShown<TFM_MACAddr>([&](TFM_MACAddr &dialog) {
            // The free slot's filler, not what was typed and cancelled before.
            EXPECT_EQ(dialog.Ed_MACAddr->text(), QStringLiteral("000000000000"));
            dialog.Ed_MACAddr->setText(QString::fromLatin1(row.mac));
            dialog.Bt_Apply->click();
            stillShown = dialog.isVisible();
            dialog.Bt_Cancel->click();
        });
        window.Bt_Add->click();
        EXPECT_TRUE(stillShown);
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_EQ(m_dialogs.messages().at(0).text, QString::fromLatin1(row.text));
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QString::fromLatin1(row.caption));
    }
    EXPECT_TRUE(nothingWrittenSinceMark());
    EXPECT_TRUE(settled(window));
}

TEST_F(FilterWindow, AFullListFindsNoFreeSlotForAdd)
{
    startDevice(QStringLiteral("filterfull"));
    TFM_FilterMAC window(nullptr, 1);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    EXPECT_EQ(window.User_ListView->topLevelItemCount(), 32);
    EXPECT_EQ(window.User_ListView->topLevelItem(31)->text(0), QStringLiteral("32"));
    markLog();
    window.Bt_Add->click(); // no dialog: none is scripted to close
    EXPECT_EQ(m_dialogs.texts(), QStringList{TFM_FilterMAC::tableFullText()});
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(FilterWindow, SetAndDelWithoutAChosenEntryDoNothing)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    markLog();
    window.Bt_SetClick();
    window.Bt_DelClick();
    EXPECT_TRUE(nothingWrittenSinceMark());
    EXPECT_FALSE(window.busyFlag());
}

// A close is refused while the window waits for its lists and the device answers; a
// cancelled dialog leaves nothing to wait for.
TEST_F(FilterWindow, ClosingWaitsForTheListsAndACancelledSetLeavesNothingBusy)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    window.show();
    // Both lists are on their way: no answer is taken before the event loop runs.
    EXPECT_TRUE(window.busyFlag());
    window.close();
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(processUntil([&] { return settled(window); }, 30000));
    choose(window.User_ListView, 0);
    whenShown<TFM_MACAddr>([](TFM_MACAddr &dialog) { dialog.Bt_Cancel->click(); });
    window.Bt_Set->click();
    EXPECT_FALSE(window.busyFlag());
    EXPECT_TRUE(window.Bt_Set->isEnabled());
    window.close();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FilterWindow, ASilentDeviceLetsTheListCloseOnceItsReadsHaveTimedOut)
{
    startDevice();
    simCommand(QStringLiteral("silent 60"));
    TFM_FilterMAC window(nullptr, 2);
    window.show();
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(processUntil(
        [&] {
            window.close();
            return !window.isVisible();
        },
        20000));
    simCommand(QStringLiteral("silent 0"));
}

// A write the device refuses brings the buttons back instead of leaving the window waiting.
TEST_F(FilterWindow, ARefusedWriteLeavesTheWindowUsable)
{
    startDevice();
    TFM_FilterMAC window(nullptr, 2);
    ASSERT_TRUE(processUntil([&] { return settled(window); }));
    simCommand(QStringLiteral("error ") + kMacSlot + QStringLiteral("2 genErr"));
    choose(window.User_ListView, 0);
    window.Bt_Del->click();
    ASSERT_TRUE(processUntil([&] { return settled(window) && window.Bt_Del->isEnabled(); }));
    EXPECT_FALSE(window.busyFlag());
    EXPECT_EQ(slotMac(2, 1), QStringLiteral("ok octetstr 000D0B4471AA"));
    EXPECT_TRUE(window.StatusBar->currentMessage().startsWith(QStringLiteral("Set: ")))
        << window.StatusBar->currentMessage().toStdString();
}

} // namespace
