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

} // namespace
