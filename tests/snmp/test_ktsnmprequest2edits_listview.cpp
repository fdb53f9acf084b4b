// Tables in list views without a device: the column layout, rows as the read delivers them,
// the selected row taken back into the items, and the enabling of the bound controls.
#include "ktsnmprequest2edits.h"
#include "new_req2edit.h"
#include "testenv.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

KtSNMPVarItem item(const char *name, int syntax, int access)
{
    return makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.9.1"), QString::fromLatin1(name),
                       syntax, access);
}

QStringList headers(const QTreeWidget &view)
{
    QStringList texts;
    for (int i = 0; i < view.columnCount(); ++i)
        texts << view.headerItem()->text(i);
    return texts;
}

// Delivers one row as a read would: the values into the items, then OnRow.
void deliver(KtSNMPRequest2Edits &request, const QStringList &values)
{
    for (int i = 0; i < values.size(); ++i)
        request.list().Item(i).value = values.at(i);
    request.OnRow();
}

TEST(ListViewColumns, ZeroWidthItemsFirstThenVisibleOnesInItemOrder)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS),
        item("Secret", SYN_DISPLAYSTR, ACC_WRITEONLY),
        item("Name", SYN_DISPLAYSTR, ACC_READWRITE),
        item("Kept", SYN_INTEGER, ACC_READONLY | ACC_HIDDEN),
        item("Gone", SYN_INTEGER, ACC_READONLY | ACC_INVALID),
        item("Rate", SYN_INTEGER, ACC_DERIVED),
        {}};
    KtSNMPRequest2Edits request(nullptr, table, MVT_UMV, 1);
    QTreeWidget view;
    request.BindListView(&view);
    EXPECT_EQ(headers(view), (QStringList{"Secret", "Kept", "Gone", "Index", "Name", "Rate"}));
    for (int column = 0; column < 3; ++column)
        EXPECT_TRUE(view.isColumnHidden(column)) << column;
    for (int column = 3; column < 6; ++column)
        EXPECT_FALSE(view.isColumnHidden(column)) << column;
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(view.rootIsDecorated());
}

TEST(ListViewColumns, AOneColumnListNamesTheColumnOfANewView)
{
    const KtSNMPVarItem table[] = {item("SSID", SYN_DISPLAYSTR, ACC_READONLY), {}};
    KtSNMPRequest2Edits request(nullptr, table, MVT_UMV, 0);
    QTreeWidget view;
    request.BindListView(&view);
    EXPECT_EQ(headers(view), (QStringList{"SSID"}));
}

TEST(ListViewColumns, AViewWithEnoughColumnsKeepsThem)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS), item("Name", SYN_DISPLAYSTR, ACC_READONLY),
        {}};
    KtSNMPRequest2Edits request(nullptr, table, MVT_UMV, 1);
    QTreeWidget view;
    view.setHeaderLabels({QStringLiteral("No."), QStringLiteral("SSID")});
    view.setStyleSheet(QStringLiteral("QTreeView { background: white; }"));
    request.BindListView(&view);
    EXPECT_EQ(headers(view), (QStringList{"No.", "SSID"}));
    EXPECT_TRUE(view.styleSheet().startsWith(QStringLiteral("QTreeView { background: white; }")));
}

// Columns keep the items they were built for. A window that makes a shown item invalid (the
// multi-SSID window does before a Save) used to shift every later read's cells under other
// headers, and BeforeSet took the selected row back into the wrong items.
TEST(ListViewColumns, AnItemMadeInvalidKeepsItsColumnAndTheOthersKeepTheirs)
{
    const KtSNMPVarItem table[] = {
        item("Band", SYN_INTEGER, ACC_NOTACCESS),
        item("Index", SYN_INTEGER, ACC_NOTACCESS),
        item("SSID", SYN_DISPLAYSTR, ACC_READWRITE),
        item("Auth", SYN_INTEGER, ACC_READWRITE),
        item("VLAN", SYN_INTEGER, ACC_READWRITE),
        {}};
    QWidget form;
    KtSNMPRequest2Edits request(&form, table, MVT_UMV, 2);
    QTreeWidget view(&form);
    auto *vlan = new QLineEdit(&form);
    request.BindListView(&view);
    request.BindEdit(4, QStringLiteral("%u{n1x4094}"), vlan);
    const QStringList built = headers(view);
    ASSERT_EQ(built, (QStringList{"Band", "Index", "SSID", "Auth", "VLAN"}));

    request.list().Item(2).access |= ACC_INVALID;
    request.BeforeGet();
    deliver(request, {"1", "2", "left from before", "4", "20"});
    deliver(request, {"1", "3", "left from before", "6", "30"});
    request.AfterGet();
    EXPECT_EQ(headers(view), built);
    ASSERT_EQ(view.topLevelItemCount(), 2);
    const QTreeWidgetItem *row = view.topLevelItem(1);
    EXPECT_EQ(row->text(0), QStringLiteral("1"));
    EXPECT_EQ(row->text(1), QStringLiteral("3"));
    EXPECT_EQ(row->text(2), QString()); // not read: nothing of another row's value
    EXPECT_EQ(row->text(3), QStringLiteral("6"));
    EXPECT_EQ(row->text(4), QStringLiteral("30"));

    view.setCurrentItem(view.topLevelItem(0));
    EXPECT_EQ(vlan->text(), QStringLiteral("20"));
    request.list().Item(3).access |= ACC_INVALID;
    vlan->setText(QStringLiteral("21"));
    request.BeforeSet();
    EXPECT_EQ(request.list().Item(0).value, QStringLiteral("1"));
    EXPECT_EQ(request.list().Item(1).value, QStringLiteral("2"));
    EXPECT_EQ(request.list().Item(3).value, QStringLiteral("4"));
    EXPECT_EQ(request.list().Item(4).value, QStringLiteral("21"));

    // Valid again, the item is read into its own column.
    request.list().Item(2).access &= ~ACC_INVALID;
    request.list().Item(3).access &= ~ACC_INVALID;
    request.BeforeGet();
    deliver(request, {"2", "1", "guest", "1", "40"});
    EXPECT_EQ(headers(view), built);
    EXPECT_EQ(view.topLevelItem(0)->text(2), QStringLiteral("guest"));
    EXPECT_EQ(view.topLevelItem(0)->text(4), QStringLiteral("40"));
}

TEST(ListViewRows, RowsHoldTheValuesAndASelectedRowComesBackIntoTheItems)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS),
        item("Key", SYN_DISPLAYSTR, ACC_WRITEONLY),
        item("Name", SYN_DISPLAYSTR, ACC_READWRITE),
        {}};
    QWidget form;
    KtSNMPRequest2Edits request(&form, table, MVT_FMV, 1);
    QTreeWidget view(&form);
    auto *name = new QLineEdit(&form);
    auto *key = new QLineEdit(&form);
    request.BindListView(&view);
    request.BindEdit(2, QStringLiteral("%s"), name);
    request.BindEdit(1, QStringLiteral("%s"), key);

    request.BeforeGet();
    deliver(request, {"1", "k1", "first"});
    deliver(request, {"2", "k2", "second"});
    request.AfterGet();
    ASSERT_EQ(view.topLevelItemCount(), 2);
    EXPECT_EQ(view.topLevelItem(1)->text(0), QStringLiteral("k2")); // zero-width column first
    EXPECT_EQ(view.topLevelItem(1)->text(1), QStringLiteral("2"));
    EXPECT_EQ(view.topLevelItem(1)->text(2), QStringLiteral("second"));
    EXPECT_FALSE(name->isEnabled());

    view.setCurrentItem(view.topLevelItem(0));
    EXPECT_TRUE(name->isEnabled());
    EXPECT_EQ(name->text(), QStringLiteral("first"));
    EXPECT_EQ(key->text(), QStringLiteral("k1"));

    // A write takes the selected row, then what the user typed.
    name->setText(QStringLiteral("renamed"));
    request.BeforeSet();
    EXPECT_EQ(request.list().Item(0).value, QStringLiteral("1"));
    EXPECT_EQ(request.list().Item(1).value, QStringLiteral("k1"));
    EXPECT_EQ(request.list().Item(2).value, QStringLiteral("renamed"));
}

TEST(ListViewRows, WithoutEnableOnSelectTheControlsStayEnabled)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS), item("Name", SYN_DISPLAYSTR, ACC_READWRITE),
        {}};
    QWidget form;
    KtSNMPRequest2Edits request(&form, table, MVT_FMV, 1);
    QTreeWidget view(&form);
    auto *name = new QLineEdit(&form);
    request.BindListView(&view, false);
    request.BindEdit(1, QStringLiteral("%s"), name);
    request.BeforeGet();
    deliver(request, {"1", "a"});
    request.AfterGet();
    EXPECT_TRUE(name->isEnabled());
}

TEST(ListViewRows, WithoutAListViewARowFillsTheControls)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS), item("Name", SYN_DISPLAYSTR, ACC_READWRITE),
        {}};
    QWidget form;
    KtSNMPRequest2Edits request(&form, table, MVT_FMV, 1);
    auto *name = new QLineEdit(&form);
    request.BindEdit(1, QStringLiteral("%s"), name);
    deliver(request, {"1", "a"});
    deliver(request, {"2", "b"});
    EXPECT_EQ(name->text(), QStringLiteral("b"));
}

TEST(NumberedRows, OnlyUsedSlotsAreNumberedAndTheSlotValueStaysWithTheRow)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS), item("IP", SYN_IPADDRESS, ACC_READWRITE),
        {}};
    QWidget form;
    New_req2Edit request(&form, table, MVT_FMV, 1);
    request.skipText = QStringLiteral("0.0.0.0");
    QTreeWidget view(&form);
    request.BindListView(&view);
    request.BeforeGet();
    for (int slot = 1; slot <= 8; ++slot) {
        const bool used = slot == 2 || slot == 5;
        deliver(request, {QString::number(slot),
                          used ? QStringLiteral("10.0.0.%1").arg(slot) : "0.0.0.0"});
    }
    ASSERT_EQ(view.topLevelItemCount(), 2);
    EXPECT_EQ(view.topLevelItem(0)->text(0), QStringLiteral("1"));
    EXPECT_EQ(view.topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(view.topLevelItem(1)->text(1), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(request.rowNumber, 3);
    view.setCurrentItem(view.topLevelItem(1));
    EXPECT_EQ(request.list().Item(0).value, QStringLiteral("5"));
}

TEST(NumberedRows, TheFillerIsComparedExactly)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS), item("MAC", SYN_OCTETSTR, ACC_READWRITE),
        {}};
    New_req2Edit request(nullptr, table, MVT_FMV, 1);
    request.skipText = QStringLiteral("00000000000a");
    QTreeWidget view;
    request.BindListView(&view);
    deliver(request, {"1", "00000000000A"});
    deliver(request, {"2", "00000000000a"});
    EXPECT_EQ(view.topLevelItemCount(), 1);
}

// The MAC-filter and DHCP windows pick a slot by what it holds (a MAC, an IP), not by a click.
TEST(RowLookup, ASlotSelectedByItsMacFillsTheControlsFromThatSlot)
{
    const KtSNMPVarItem table[] = {
        item("Index", SYN_INTEGER, ACC_NOTACCESS),
        item("Band", SYN_INTEGER, ACC_READWRITE),
        item("MAC", SYN_MACADDRESS, ACC_READWRITE),
        item("Secret", SYN_DISPLAYSTR, ACC_WRITEONLY),
        {}};
    QWidget form;
    New_req2Edit request(&form, table, MVT_FMV, 1);
    request.keyItem = 2;
    request.skipText = QStringLiteral("000000000000");
    QTreeWidget view(&form);
    auto *mac = new QLineEdit(&form);
    request.BindListView(&view);
    request.BindEdit(2, QStringLiteral("%h{l12}"), mac);
    QStringList selections;
    request.previousSelectHandler = [&](QTreeWidgetItem *row, bool selected) {
        if (selected)
            selections << request.RowValue(row, 0);
    };
    request.BeforeGet();
    deliver(request, {"1", "1", "0017A4C0FF01", "a"});
    deliver(request, {"2", "1", "000000000000", "b"});
    deliver(request, {"3", "2", "0017A4C0FF03", "c"});
    request.AfterGet();
    EXPECT_EQ(request.ColumnItems(), (QVector<int>{3, 0, 1, 2}));
    EXPECT_EQ(request.ColumnOf(0), 1);
    EXPECT_EQ(request.ColumnOf(3), 0);
    EXPECT_EQ(request.ColumnOf(2), 3);
    // The caption (the zero-width column's cell) shows the running number; the row still
    // holds its own value there.
    QTreeWidgetItem *second = view.topLevelItem(1);
    EXPECT_EQ(second->text(0), QStringLiteral("2"));
    EXPECT_EQ(request.RowValue(second, 3), QStringLiteral("c"));
    EXPECT_EQ(request.RowValue(second, 0), QStringLiteral("3"));
    EXPECT_EQ(request.RowValue(second, 1), QStringLiteral("2"));
    EXPECT_EQ(request.FindRow(3, QStringLiteral("2")), nullptr); // the value, not the number
    EXPECT_EQ(request.FindRow(3, QStringLiteral("c")), second);

    EXPECT_EQ(request.SelectRow(2, QStringLiteral("0017A4C0FF03")), second);
    EXPECT_EQ(view.selectedItems(), QList<QTreeWidgetItem *>{second});
    EXPECT_TRUE(mac->isEnabled());
    EXPECT_EQ(mac->text(), QStringLiteral("0017A4C0FF03"));
    EXPECT_EQ(request.list().Item(0).value, QStringLiteral("3"));

    // Chosen again after the user typed: the controls show the slot again.
    mac->setText(QStringLiteral("00"));
    EXPECT_EQ(request.SelectRow(2, QStringLiteral("0017a4c0ff03"), Qt::CaseInsensitive),
              second);
    EXPECT_EQ(mac->text(), QStringLiteral("0017A4C0FF03"));
    EXPECT_EQ(selections, (QStringList{"3", "3"}));

    // A MAC no slot holds changes nothing.
    mac->setText(QStringLiteral("ABCD"));
    EXPECT_EQ(request.SelectRow(2, QStringLiteral("0017A4C0FF02")), nullptr);
    EXPECT_EQ(request.SelectRow(2, QStringLiteral("0017a4c0ff03")), nullptr);
    EXPECT_EQ(view.selectedItems(), QList<QTreeWidgetItem *>{second});
    EXPECT_EQ(mac->text(), QStringLiteral("ABCD"));
    EXPECT_EQ(selections.size(), 2);
}

TEST(RowLookup, WithoutAListViewNothingIsFound)
{
    const KtSNMPVarItem table[] = {item("IP", SYN_IPADDRESS, ACC_READWRITE), {}};
    KtSNMPRequest2Edits request(nullptr, table, MVT_UMV, 0);
    EXPECT_EQ(request.ColumnOf(0), -1);
    EXPECT_EQ(request.FindRow(0, QStringLiteral("10.0.0.1")), nullptr);
    EXPECT_EQ(request.SelectRow(0, QStringLiteral("10.0.0.1")), nullptr);
    EXPECT_EQ(request.RowValue(nullptr, 0), QString());
}

} // namespace
