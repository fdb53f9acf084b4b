// The grid of an editor panel: one row per item, read-only and writable appearance, and the
// buttons the bar keeps for a list. No device is needed: nothing here reads or writes.
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "tconfigform.h"
#include "tctrlbtnpanel.h"
#include "teditspanel.h"
#include "testenv.h"
#include "tsnmpeditorpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

KtSNMPVarItem item(const char *oid, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(QString::fromLatin1(oid), QString::fromLatin1(name), syntax, access,
                       options);
}

std::unique_ptr<KtSNMPRequest2Edits> requestOf(std::vector<KtSNMPVarItem> items,
                                               int type = SVT_SV, int keys = 0)
{
    items.push_back({});
    return std::make_unique<KtSNMPRequest2Edits>(nullptr, items.data(), type, keys);
}

std::vector<KtSNMPVarItem> systemGroup()
{
    return {item("1.3.6.1.2.1.1.1", "System Description", SYN_DISPLAYSTR, ACC_READONLY),
            item("1.3.6.1.2.1.1.2", "System Object ID", SYN_OBJECTID, ACC_READONLY),
            item("1.3.6.1.2.1.1.3", "System Uptime", SYN_TIMETICKS, ACC_READONLY),
            item("1.3.6.1.2.1.1.4", "System Contact", SYN_DISPLAYSTR, ACC_READWRITE),
            item("1.3.6.1.2.1.1.5", "System Name", SYN_DISPLAYSTR, ACC_READWRITE),
            item("1.3.6.1.2.1.1.6", "System Location", SYN_DISPLAYSTR, ACC_READWRITE)};
}

TEST(EditsPanelRows, TickingRowsEnablesSetChecked)
{
    auto request = requestOf(systemGroup());
    TSNMPEditorPanel panel(nullptr, request.get());
    TEditsPanel &grid = *panel.Grid();
    QPushButton *set = panel.CtrlBtn()->setCheckedButton();
    grid.RowAt(4).checkBox->click();
    EXPECT_TRUE(set->isEnabled());
    grid.RowAt(4).checkBox->click();
    EXPECT_FALSE(set->isEnabled());

    panel.CtrlBtn()->checkAllButton()->click();
    EXPECT_EQ(grid.CheckedCount(), 3);
    EXPECT_TRUE(set->isEnabled());
    // Read-only rows never get ticked.
    EXPECT_FALSE(grid.RowAt(0).checkBox->isChecked());
    panel.CtrlBtn()->clearChecksButton()->click();
    EXPECT_EQ(grid.CheckedCount(), 0);
    EXPECT_FALSE(set->isEnabled());
}

TEST(EditsPanelRows, OneWritableItemGetsASetButtonAndAHiddenTickedBox)
{
    auto request = requestOf({item("1.3.6.1.2.1.1.1", "System Description", SYN_DISPLAYSTR,
                                   ACC_READONLY),
                              item("1.3.6.1.2.1.1.5", "System Name", SYN_DISPLAYSTR,
                                   ACC_READWRITE)});
    TSNMPEditorPanel panel(nullptr, request.get());
    const TEditsPanel::Row &row = panel.Grid()->RowAt(1);
    EXPECT_TRUE(row.checkBox->isChecked());
    EXPECT_TRUE(row.checkBox->isHidden());
    TCtrlBtnPanel &bar = *panel.CtrlBtn();
    EXPECT_EQ(bar.setCheckedButton()->text(), QStringLiteral("Set"));
    EXPECT_TRUE(bar.setCheckedButton()->isEnabled());
    EXPECT_FALSE(bar.setCheckedButton()->isHidden());
    EXPECT_TRUE(bar.checkAllButton()->isHidden());
    EXPECT_TRUE(bar.clearChecksButton()->isHidden());
}

TEST(EditsPanelRows, NoWritableItemLeavesRefreshAndClose)
{
    auto request = requestOf({item("1.3.6.1.2.1.1.1", "System Description", SYN_DISPLAYSTR,
                                   ACC_READONLY),
                              item("1.3.6.1.2.1.1.3", "System Uptime", SYN_TIMETICKS,
                                   ACC_READONLY)});
    TSNMPEditorPanel panel(nullptr, request.get());
    TCtrlBtnPanel &bar = *panel.CtrlBtn();
    QStringList shown;
    for (QWidget *control : bar.layoutList()) {
        if (!control->isHidden())
            shown << control->objectName();
    }
    EXPECT_EQ(shown, QStringList({QStringLiteral("Bt_Refresh"), QStringLiteral("Bt_Close")}));
    EXPECT_EQ(bar.closeButton()->geometry().top(), bar.refreshButton()->geometry().bottom() + 6);
}

TEST(EditsPanelRows, ArrangeWithoutARequestFails)
{
    TEditsPanel grid(nullptr, nullptr);
    TCtrlBtnPanel bar;
    try {
        grid.ArrangeCtrlBtn(&bar);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.text(), QStringLiteral("TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!"));
    }
}

// A form handed no request cannot build its editor: the grid's refusal reaches the caller,
// and the form's own refresh and its closing must not touch the missing request.
TEST(ConfigFormWithoutRequest, RefusesTheEditorAndStillRefreshesAndCloses)
{
    auto form = std::make_unique<TConfigForm>();
    try {
        form->AddEditor(nullptr);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.text(), QStringLiteral("TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!"));
    }
    EXPECT_EQ(form->editorPanel(), nullptr);
    form->show();
    // The refresh posted at construction arrives here.
    QCoreApplication::sendPostedEvents(form.get());
    EXPECT_EQ(form->currentRequest(), nullptr);
    form->close();
    EXPECT_FALSE(form->isVisible());
    form.reset();
}

// An editor the grid cannot build (a writable item with a prefix option list has no edit for
// the rest of its value: -522) leaves the form empty and the request with its caller, who
// still owns it: the form used to keep both a half-made editor and the request, which the
// caller then deleted a second time.
TEST(ConfigFormEditor, AnEditorThatCannotBeBuiltLeavesTheFormEmptyAndTheRequestWithTheCaller)
{
    static const KtOption trees[] = {{0, "1.3.6.1.4.1.32473", "norvane"}, {}};
    const KtOptionList prefixes(trees, KtOptionList::Prefix);
    auto form = std::make_unique<TConfigForm>();
    auto refused = requestOf({item("1.3.6.1.2.1.1.5", "System Name", SYN_DISPLAYSTR,
                                   ACC_READWRITE),
                              item("1.3.6.1.2.1.1.2", "Tree", SYN_OBJECTID, ACC_READWRITE,
                                   &prefixes)});
    QLabel status;
    refused->SetStatusControl(&status);
    try {
        form->AddEditor(refused.get());
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -522);
    }
    EXPECT_EQ(form->formType(), TConfigForm::EmptyForm);
    EXPECT_EQ(form->requestCount(), 0);
    EXPECT_EQ(form->editorPanel(), nullptr);
    EXPECT_TRUE(form->findChildren<TSNMPEditorPanel *>().isEmpty());
    // Given back as it was handed over.
    EXPECT_TRUE(refused->Bindings().empty());
    EXPECT_EQ(refused->statusControl.data(), &status);
    refused.reset();

    // The form can still become an editor.
    auto request = requestOf(systemGroup());
    KtSNMPRequest2Edits *handed = request.get();
    TSNMPEditorPanel *panel = form->AddEditor(handed);
    request.release();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(form->requestCount(), 1);
    EXPECT_EQ(panel->Grid()->RowCount(), 6);
    form.reset();
}

TEST(EditsPanelRows, OptionListsAndKeysChooseTheEditor)
{
    static const KtOption modes[] = {{1, nullptr, "Enable"}, {0, nullptr, "Disable"}, {}};
    const KtOptionList options(modes, KtOptionList::Numeric);
    auto request = requestOf({item("1.3.6.1.4.1.32473.11.37.9.1", "Key", SYN_INTEGER,
                                   ACC_READWRITE),
                              item("1.3.6.1.4.1.32473.11.37.9.2", "Mode", SYN_INTEGER,
                                   ACC_READWRITE, &options),
                              item("1.3.6.1.4.1.32473.11.37.9.3", "State", SYN_INTEGER,
                                   ACC_READONLY, &options)},
                             MVT_UMV, 1);
    TEditsPanel grid(nullptr, request.get());
    // A key item keeps its writable kind, but its row is read-only: no box, no typing.
    EXPECT_EQ(grid.RowAt(0).kind, TEditsPanel::WritableEdit);
    EXPECT_TRUE(grid.RowAt(0).readOnly);
    EXPECT_TRUE(grid.RowAt(0).checkBox->isHidden());
    EXPECT_TRUE(qobject_cast<QLineEdit *>(grid.RowAt(0).editor)->isReadOnly());
    EXPECT_EQ(grid.RowAt(1).kind, TEditsPanel::WritableList);
    auto *listBox = qobject_cast<QComboBox *>(grid.RowAt(1).editor);
    ASSERT_NE(listBox, nullptr);
    EXPECT_EQ(listBox->count(), 2);
    EXPECT_EQ(grid.RowAt(2).kind, TEditsPanel::ReadOnlyList);
    EXPECT_NE(qobject_cast<QLineEdit *>(grid.RowAt(2).editor), nullptr);

    request->list().Item(2).value = QStringLiteral("0");
    request->FillControls(2);
    EXPECT_EQ(qobject_cast<QLineEdit *>(grid.RowAt(2).editor)->text(), QStringLiteral("Disable"));
}

TEST(EditsPanelRows, DependencyMakesARowReadOnly)
{
    static const KtOption modes[] = {{1, nullptr, "Static"}, {2, nullptr, "DHCP"}, {}};
    const KtOptionList options(modes, KtOptionList::Numeric);
    auto request = requestOf({item("1.3.6.1.4.1.32473.11.37.4.1.2.1", "Get IP From",
                                   SYN_INTEGER, ACC_READWRITE, &options),
                              item("1.3.6.1.4.1.32473.11.37.4.1.2.2", "IP Address",
                                   SYN_IPADDRESS, ACC_READWRITE)});
    TEditsPanel grid(nullptr, request.get());
    auto *listBox = qobject_cast<QComboBox *>(grid.RowAt(0).editor);
    ASSERT_NE(listBox, nullptr);
    grid.dependencies.append({listBox, 1, 1});
    listBox->setCurrentIndex(1);
    EXPECT_TRUE(grid.RowAt(1).readOnly);
    EXPECT_TRUE(qobject_cast<QLineEdit *>(grid.RowAt(1).editor)->isReadOnly());
    EXPECT_TRUE(grid.RowAt(1).checkBox->isHidden());
    listBox->setCurrentIndex(0);
    EXPECT_FALSE(grid.RowAt(1).readOnly);
    EXPECT_FALSE(qobject_cast<QLineEdit *>(grid.RowAt(1).editor)->isReadOnly());
    EXPECT_FALSE(grid.RowAt(1).checkBox->isHidden());
}

// A ticked row that a list box makes read-only loses its tick; with nothing ticked any more
// "Set Checked" must not stay enabled and offer a write of nothing.
TEST(EditsPanelRows, DependencyClearingTheOnlyTickDisablesSetChecked)
{
    static const KtOption modes[] = {{1, nullptr, "Static"}, {2, nullptr, "DHCP"}, {}};
    const KtOptionList options(modes, KtOptionList::Numeric);
    auto request = requestOf({item("1.3.6.1.4.1.32473.11.37.4.1.2.1", "Get IP From",
                                   SYN_INTEGER, ACC_READWRITE, &options),
                              item("1.3.6.1.4.1.32473.11.37.4.1.2.2", "IP Address",
                                   SYN_IPADDRESS, ACC_READWRITE),
                              item("1.3.6.1.4.1.32473.11.37.4.1.2.3", "Subnet Mask",
                                   SYN_IPADDRESS, ACC_READWRITE)});
    TSNMPEditorPanel panel(nullptr, request.get());
    TEditsPanel &grid = *panel.Grid();
    QPushButton *set = panel.CtrlBtn()->setCheckedButton();
    auto *listBox = qobject_cast<QComboBox *>(grid.RowAt(0).editor);
    ASSERT_NE(listBox, nullptr);
    listBox->setCurrentIndex(0);
    grid.dependencies.append({listBox, 1, 1});

    grid.RowAt(1).checkBox->click();
    ASSERT_TRUE(set->isEnabled());
    listBox->setCurrentIndex(1);
    EXPECT_FALSE(grid.RowAt(1).checkBox->isChecked());
    EXPECT_EQ(grid.CheckedCount(), 0);
    EXPECT_FALSE(set->isEnabled());
}

TEST(EditsPanelRows, HiddenItemsTakeNoRow)
{
    auto request = requestOf({item("1.3.6.1.2.1.1.4", "System Contact", SYN_DISPLAYSTR,
                                   ACC_READWRITE),
                              item("1.3.6.1.2.1.1.5", "System Name", SYN_DISPLAYSTR,
                                   ACC_READWRITE | ACC_HIDDEN),
                              item("1.3.6.1.2.1.1.6", "System Location", SYN_DISPLAYSTR,
                                   ACC_READWRITE)});
    TEditsPanel grid(nullptr, request.get());
    EXPECT_TRUE(grid.RowAt(1).editor->isHidden());
    EXPECT_TRUE(grid.RowAt(1).label->isHidden());
    EXPECT_TRUE(grid.RowAt(1).checkBox->isHidden());
    const QRect first = grid.RowAt(0).editor->geometry();
    EXPECT_EQ(first.top(), 20);
    EXPECT_EQ(grid.RowAt(2).editor->geometry().top(), first.bottom() + 1 + 5);
}

// A writable edit takes at most 42 typed characters, but a longer value read from the device
// stays whole: cutting it would write the cut text back with the next set.
TEST(EditsPanelRows, LongDeviceValueIsNotCut)
{
    auto request = requestOf(systemGroup());
    TEditsPanel grid(nullptr, request.get());
    auto *edit = qobject_cast<QLineEdit *>(grid.RowAt(5).editor);
    ASSERT_NE(edit, nullptr);
    const QString longText = QString(60, QLatin1Char('x'));
    request->list().Item(5).value = longText;
    request->FillControls(5);
    EXPECT_EQ(edit->text(), longText);

    // The user types into the field: it has the focus.
    grid.show();
    grid.activateWindow();
    edit->setFocus();
    ASSERT_TRUE(processUntil([edit] { return edit->hasFocus(); }, 5000));
    edit->end(false);
    edit->insert(QStringLiteral("y"));
    EXPECT_EQ(edit->text(), longText);
    edit->backspace();
    EXPECT_EQ(edit->text().size(), 59);

    edit->clear();
    edit->insert(QString(42, QLatin1Char('a')));
    EXPECT_EQ(edit->text().size(), 42);
    edit->insert(QStringLiteral("b"));
    EXPECT_EQ(edit->text().size(), 42);
}

} // namespace
