#include "ktsnmprequest2edits.h"

#include "ktboundcontrols.h"
#include "kteditconstraint.h"
#include "ktexception.h"
#include "ktmessages.h"
#include "ktnumlist.h"
#include "ktoptionlist.h"
#include "ktoptionwidgets.h"
#include "ktradiogroup.h"
#include "ktsnmpvalue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>

using KtBoundControls::Kind;
using KtBoundControls::kindOf;

namespace {

[[noreturn]] void fail(int code)
{
    throw KtException(code, KtMessages::text(KtMessages::Table::KtSnmp, -code - 500));
}

// Where a row keeps the value its caption cell replaced.
constexpr int kRowValueRole = Qt::UserRole + 1;

} // namespace

KtSNMPRequest2Edits::KtSNMPRequest2Edits(QWidget *ownerForm)
    : KtSNMPRequest2Controls(ownerForm), m_constraints(new KtEditConstraint(ownerForm))
{
    m_constraints->storeLastValid = true;
}

KtSNMPRequest2Edits::KtSNMPRequest2Edits(QWidget *ownerForm, const KtSNMPVarItem *table,
                                         int itemType, int keyCount)
    : KtSNMPRequest2Controls(ownerForm, table, itemType, keyCount),
      m_constraints(new KtEditConstraint(ownerForm))
{
    m_constraints->storeLastValid = true;
}

KtSNMPRequest2Edits::~KtSNMPRequest2Edits()
{
    request.alive = 0;
    for (const QMetaObject::Connection &connection : std::as_const(m_viewConnections))
        QObject::disconnect(connection);
}

// ---- Binding ----

int KtSNMPRequest2Edits::addBinding(Binding binding)
{
    if (binding.item < 0 || binding.item >= list().Count())
        fail(-519);
    binding.controlCount = static_cast<qint32>(binding.controls.size());
    m_bindings.push_back(std::move(binding));
    return static_cast<int>(m_bindings.size()) - 1;
}

int KtSNMPRequest2Edits::BindEdit(int item, const QString &format, QLineEdit *edit)
{
    return BindEdit(item, format, QList<QLineEdit *>{edit});
}

int KtSNMPRequest2Edits::BindEdit(int item, const QString &format, const QList<QLineEdit *> &edits)
{
    if (item < 0 || item >= list().Count())
        fail(-519);
    static const QString letters = QStringLiteral("shiufn");
    int specifiers = 0;
    for (int i = 0; i + 1 < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('%') && letters.contains(format.at(i + 1)))
            ++specifiers;
    }
    const int needed = specifiers > 0 ? specifiers : 1;
    if (edits.size() < needed)
        fail(-522);
    const QList<QLineEdit *> taken = edits.mid(0, needed);
    for (QLineEdit *edit : taken) {
        if (!edit)
            fail(-521);
    }
    if (specifiers > 0)
        m_constraints->RegisterFormat(format, taken);
    Binding binding;
    binding.item = item;
    binding.partType = list().Item(item).syntax;
    for (QLineEdit *edit : taken)
        binding.controls.append(edit);
    return addBinding(std::move(binding));
}

int KtSNMPRequest2Edits::BindEditList(int item, const QString &numberText,
                                      const QList<QWidget *> &controls)
{
    if (item < 0 || item >= list().Count())
        fail(-519);
    KtNumList numbers(QLatin1Char(','));
    numbers.Parse(numberText);
    if (controls.size() < numbers.Count())
        fail(-522);
    Binding binding;
    binding.item = item;
    binding.partType = list().Item(item).syntax;
    binding.partList = numbers.Values();
    for (int i = 0; i < numbers.Count(); ++i) {
        if (kindOf(controls.at(i)) == Kind::Other)
            fail(-521);
        binding.controls.append(controls.at(i));
    }
    return addBinding(std::move(binding));
}

int KtSNMPRequest2Edits::BindComboBox(int item, QComboBox *comboBox)
{
    if (comboBox)
        comboBox->setEditable(false);
    if (item < 0 || item >= list().Count())
        fail(-519);
    return BindPart(item, 0, list().Item(item).syntax, nullptr, comboBox);
}

int KtSNMPRequest2Edits::BindCheckBox(int item, QCheckBox *checkBox)
{
    return BindControl(item, checkBox);
}

int KtSNMPRequest2Edits::BindRadioGroup(int item, KtRadioGroup *radioGroup)
{
    return BindControl(item, radioGroup);
}

int KtSNMPRequest2Edits::BindControl(int item, QWidget *control)
{
    if (item < 0 || item >= list().Count())
        fail(-519);
    return BindPart(item, 0, list().Item(item).syntax, nullptr, control);
}

int KtSNMPRequest2Edits::BindPart(int item, int part, int partType,
                                  const KtOptionList *optionList, QWidget *control,
                                  QWidget *secondControl)
{
    if (item < 0 || item >= list().Count() || part < 0)
        fail(-519);
    const Kind kind = kindOf(control);
    if (kind == Kind::Other || (secondControl && kindOf(secondControl) == Kind::Other))
        fail(-521);
    if (KtValue::partWidth(partType) < 0)
        fail(-517);
    Binding binding;
    binding.item = item;
    binding.part = part;
    binding.partType = partType;
    binding.optionList = optionList;
    const KtSNMPVarItem &record = list().Item(item);
    const KtOptionList *options =
        optionList ? optionList : (binding.isWhole(record.syntax) ? record.optionList : nullptr);
    if (kind == Kind::Combo || kind == Kind::Radio) {
        if (!options)
            fail(-520);
        if (kind == Kind::Combo && options->valueType() == KtOptionList::Prefix
            && !secondControl)
            fail(-522);
        if (kind == Kind::Combo)
            KtOptionWidgets::FillComboBox(*options, static_cast<QComboBox *>(control));
        else
            KtOptionWidgets::FillRadioGroup(*options, static_cast<KtRadioGroup *>(control));
    }
    binding.controls.append(control);
    if (secondControl)
        binding.controls.append(secondControl);
    return addBinding(std::move(binding));
}

void KtSNMPRequest2Edits::dropBinding(std::vector<Binding>::iterator binding)
{
    for (const QPointer<QWidget> &control : binding->controls) {
        auto *edit = qobject_cast<QLineEdit *>(control.data());
        if (edit && m_constraints->IsRegistered(edit))
            m_constraints->Remove(edit);
    }
    m_bindings.erase(binding);
}

void KtSNMPRequest2Edits::Unbind(int item)
{
    for (std::size_t i = m_bindings.size(); i-- > 0;) {
        if (m_bindings[i].item == item)
            dropBinding(m_bindings.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void KtSNMPRequest2Edits::UnbindFrom(int position)
{
    for (std::size_t i = m_bindings.size(); i-- > 0 && static_cast<int>(i) >= position;)
        dropBinding(m_bindings.begin() + static_cast<std::ptrdiff_t>(i));
}

void KtSNMPRequest2Edits::BindListView(QTreeWidget *view, bool enableOnSelectRows)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_viewConnections))
        QObject::disconnect(connection);
    m_viewConnections.clear();
    listView = view;
    m_columnItems.clear();
    enableOnSelect = enableOnSelectRows ? 1 : 0;
    if (!view)
        return;
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAllColumnsShowFocus(true);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setHeaderHidden(false);
    // Grid lines between the cells, like the report views of the device pages. Added to what
    // the window may have set on the view, never in place of it.
    static const QString gridLines =
        QStringLiteral("QTreeView::item { border-right: 1px solid palette(midlight);"
                       " border-bottom: 1px solid palette(midlight); }");
    if (!view->styleSheet().contains(gridLines))
        view->setStyleSheet(view->styleSheet() + gridLines);
    BuildColumns();
    m_viewConnections.append(QObject::connect(view, &QTreeWidget::itemSelectionChanged, view,
                                              [this]() { onSelectionChanged(); }));
}

void KtSNMPRequest2Edits::SetConstraintOwner(QWidget *form)
{
    m_constraints->setOwner(form);
}

// ---- List view ----

QVector<int> KtSNMPRequest2Edits::columnItemsByAccess() const
{
    QVector<int> items;
    for (int i = 0; i < list().Count(); ++i) {
        if (list().IsHiddenColumn(i))
            items.append(i);
    }
    for (int i = 0; i < list().Count(); ++i) {
        if (list().IsVisibleColumn(i))
            items.append(i);
    }
    return items;
}

void KtSNMPRequest2Edits::BuildColumns()
{
    if (!listView)
        return;
    // Which item each column holds is fixed when the columns are made: switching an item
    // between readwrite, readonly, hidden and invalid keeps the number of column items and
    // must not move any cell under another header. Only a list that gained or lost column
    // items is laid out again.
    const QVector<int> byAccess = columnItemsByAccess();
    if (m_columnItems.size() != byAccess.size())
        m_columnItems = byAccess;
    int existing = listView->columnCount();
    // A new tree widget comes with one unnamed column ("1"): that is no column of the window.
    if (existing == 1 && listView->headerItem()->text(0) == QStringLiteral("1"))
        existing = 0;
    if (existing >= m_columnItems.size())
        return;
    listView->clear();
    listView->setColumnCount(static_cast<int>(m_columnItems.size()));
    QStringList captions;
    for (int item : std::as_const(m_columnItems))
        captions.append(list().Item(item).name);
    listView->setHeaderLabels(captions);
    listView->header()->setSectionResizeMode(QHeaderView::Interactive);
    listView->header()->setStretchLastSection(false);
    for (int column = 0; column < m_columnItems.size(); ++column) {
        // A zero-width column keeps its place (the row's texts are taken back by position)
        // but is not shown.
        const bool zeroWidth = list().IsHiddenColumn(m_columnItems.at(column));
        listView->setColumnHidden(column, zeroWidth);
        if (!zeroWidth)
            listView->resizeColumnToContents(column);
    }
}

QString KtSNMPRequest2Edits::cellText(int item) const
{
    // An invalid item was not read: its value belongs to no row (a key still names the row).
    const bool key = list().IsTable() && item < list().keyCount;
    if ((list().Item(item).access & ACC_INVALID) && !key)
        return QString();
    return list().Item(item).value;
}

QTreeWidgetItem *KtSNMPRequest2Edits::AppendRow(const QString *caption)
{
    if (!listView)
        return nullptr;
    auto *row = new QTreeWidgetItem(listView.data());
    for (int column = 0; column < m_columnItems.size(); ++column) {
        const QString value = cellText(m_columnItems.at(column));
        if (column == 0 && caption) {
            row->setText(column, *caption);
            // The row still knows its own value (normally the slot index), so a selected
            // numbered row writes back to its own slot and not to the slot of its number.
            row->setData(column, kRowValueRole, value);
        } else {
            row->setText(column, value);
        }
    }
    return row;
}

void KtSNMPRequest2Edits::TakeRowIntoItems(QTreeWidgetItem *row)
{
    if (!row)
        return;
    const int columns = listView ? listView->columnCount() : row->columnCount();
    for (int column = 0; column < m_columnItems.size() && column < columns; ++column)
        list().Item(m_columnItems.at(column)).value = cellValue(row, column);
}

QString KtSNMPRequest2Edits::cellValue(const QTreeWidgetItem *row, int column)
{
    const QVariant value = row->data(column, kRowValueRole);
    return value.isValid() ? value.toString() : row->text(column);
}

int KtSNMPRequest2Edits::ColumnOf(int item) const
{
    return static_cast<int>(m_columnItems.indexOf(item));
}

QString KtSNMPRequest2Edits::RowValue(const QTreeWidgetItem *row, int item) const
{
    const int column = ColumnOf(item);
    if (!row || column < 0 || column >= row->columnCount())
        return QString();
    return cellValue(row, column);
}

QTreeWidgetItem *KtSNMPRequest2Edits::FindRow(int item, const QString &text,
                                              Qt::CaseSensitivity cs) const
{
    if (!listView || ColumnOf(item) < 0)
        return nullptr;
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = listView->topLevelItem(i);
        if (RowValue(row, item).compare(text, cs) == 0)
            return row;
    }
    return nullptr;
}

QTreeWidgetItem *KtSNMPRequest2Edits::SelectRow(int item, const QString &text,
                                                Qt::CaseSensitivity cs)
{
    QTreeWidgetItem *row = FindRow(item, text, cs);
    if (!row)
        return nullptr;
    listView->scrollToItem(row);
    if (listView->selectedItems().value(0, nullptr) == row)
        onSelectionChanged(); // chosen again: the controls show the row again
    else
        listView->setCurrentItem(row);
    return row;
}

void KtSNMPRequest2Edits::ProcessPendingMessages()
{
    // Paint and timers only: a click now would start a second request on a half-read table.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void KtSNMPRequest2Edits::onSelectionChanged()
{
    if (!listView)
        return;
    QTreeWidgetItem *row = listView->selectedItems().value(0, nullptr);
    try {
        ListViewSelectItem(row, row != nullptr);
    } catch (const KtException &e) {
        ShowException(e.code(), e.text());
    }
}

void KtSNMPRequest2Edits::ListViewSelectItem(QTreeWidgetItem *row, bool selected)
{
    // Copies: a handler or hook may replace itself while it runs.
    const SelectHandler previous = previousSelectHandler;
    if (previous)
        previous(row, selected);
    if (!selected || !row)
        return;
    if (enableOnSelect)
        EnableControls(true);
    if (listView)
        TakeRowIntoItems(row);
    FillControls(-1);
}

// ---- Virtual operations ----

void KtSNMPRequest2Edits::BeforeGet()
{
    if (listView) {
        BuildColumns();
        listView->clear();
    }
    const Hook hook = beforeGetHook;
    if (hook)
        hook(this);
}

void KtSNMPRequest2Edits::OnBeforeSet()
{
    const Hook hook = beforeSetHook;
    if (hook)
        hook(this);
}

void KtSNMPRequest2Edits::OnRow()
{
    if (listView) {
        AppendRow();
        ProcessPendingMessages();
    } else {
        FillControls(-1);
    }
}

void KtSNMPRequest2Edits::BeforeSet()
{
    // An item nothing fills goes out as the empty text: a window marks such items invalid
    // when they must not be written.
    for (int i = 0; i < list().Count(); ++i)
        list().Item(i).value.clear();
    if (listView) {
        if (QTreeWidgetItem *row = listView->selectedItems().value(0, nullptr))
            TakeRowIntoItems(row);
    }
    CollectControls(-1);
}

void KtSNMPRequest2Edits::AfterGet()
{
    if (listView) {
        for (int column = 0; column < listView->columnCount(); ++column) {
            if (!listView->isColumnHidden(column))
                listView->resizeColumnToContents(column);
        }
        if (enableOnSelect && list().itemType == MVT_FMV)
            EnableControls(false);
    }
    const Hook hook = afterGetHook;
    if (hook)
        hook(this);
}

void KtSNMPRequest2Edits::AfterSet()
{
    const Hook hook = afterSetHook;
    if (hook)
        hook(this);
}

void KtSNMPRequest2Edits::EnableControls(bool enabled)
{
    for (const Binding &binding : m_bindings) {
        for (const QPointer<QWidget> &control : binding.controls) {
            if (control)
                control->setEnabled(enabled);
        }
    }
}

// ---- Filling ----

void KtSNMPRequest2Edits::FillControls(int item)
{
    for (std::size_t i = 0; i < m_bindings.size(); ++i) {
        // A copy: a window's change handler run by the fill may bind or unbind.
        const Binding binding = m_bindings[i];
        if (item != -1 && binding.item != item)
            continue;
        if (list().Item(binding.item).access & ACC_INVALID)
            continue;
        fillBinding(binding);
    }
}

const KtOptionList *KtSNMPRequest2Edits::optionsOf(const Binding &binding) const
{
    if (binding.optionList)
        return binding.optionList;
    const KtSNMPVarItem &record = list().Item(binding.item);
    return binding.isWhole(record.syntax) ? record.optionList : nullptr;
}

void KtSNMPRequest2Edits::fillBinding(const Binding &binding)
{
    using namespace KtBoundControls;
    const KtOptionList *options = optionsOf(binding);
    const PartValue value = PartToShow(list().Item(binding.item), binding, options);
    if (binding.controls.isEmpty() || !binding.controls.first())
        return; // the control is gone with its window
    QWidget *first = binding.controls.first();
    switch (kindOf(first)) {
    case Kind::Label:
        FillLabel(first, value);
        return;
    case Kind::Memo:
        FillMemo(first, value);
        return;
    case Kind::Check:
        if (binding.partList.isEmpty())
            FillCheckBox(first, binding, options, value);
        else
            FillBits(binding, value);
        return;
    case Kind::Combo:
        FillComboBox(binding, options, value);
        return;
    case Kind::Radio:
        FillRadioGroup(first, options, value);
        return;
    case Kind::Edit:
        FillEdits(binding, value, *m_constraints);
        return;
    case Kind::Other:
        break;
    }
    fail(-521);
}

// ---- Collecting ----

void KtSNMPRequest2Edits::CollectControls(int item)
{
    for (int i = 0; i < list().Count(); ++i) {
        if (item != -1 && i != item)
            continue;
        if (!list().IsWritable(i))
            continue;
        collectItem(i);
    }
}

void KtSNMPRequest2Edits::collectItem(int item)
{
    using namespace KtBoundControls;
    KtSNMPVarItem &record = list().Item(item);
    CollectedValue value(record);
    bool bound = false;
    for (const Binding &binding : m_bindings) {
        if (binding.item != item || binding.controls.isEmpty() || !binding.controls.first())
            continue;
        bound = true;
        if (kindOf(binding.controls.first()) == Kind::Check && !binding.partList.isEmpty()) {
            CollectBits(binding, value.bytes());
            continue;
        }
        const KtOptionList *options = optionsOf(binding);
        value.Put(binding, binding.isWhole(record.syntax), options,
                  CollectText(binding, options));
    }
    // Items without bindings keep the value they had.
    if (bound)
        record.value = value.Result(record);
}
