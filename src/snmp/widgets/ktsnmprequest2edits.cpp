#include "ktsnmprequest2edits.h"

#include "ktdatetime.h"
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
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <cmath>

namespace {

[[noreturn]] void fail(int code)
{
    throw KtException(code, KtMessages::text(KtMessages::Table::KtSnmp, -code - 500));
}

// Where a row keeps the value its caption cell replaced.
constexpr int kRowValueRole = Qt::UserRole + 1;

enum class Kind { Label, Edit, Memo, Combo, Check, Radio, Other };

Kind kindOf(const QWidget *control)
{
    if (!control)
        return Kind::Other;
    if (qobject_cast<const KtRadioGroup *>(control))
        return Kind::Radio;
    if (qobject_cast<const QComboBox *>(control))
        return Kind::Combo;
    if (qobject_cast<const QCheckBox *>(control))
        return Kind::Check;
    if (qobject_cast<const QLineEdit *>(control))
        return Kind::Edit;
    if (qobject_cast<const QPlainTextEdit *>(control))
        return Kind::Memo;
    if (qobject_cast<const QLabel *>(control))
        return Kind::Label;
    return Kind::Other;
}

bool isSpecial(const QString &text)
{
    return text == KT_NULL_TEXT || text == KT_NOTDONE_TEXT;
}

bool isBooleanType(int syntax)
{
    return syntax == SYN_BOOLEAN || syntax == SYN_BOOL8 || syntax == SYN_BOOL16;
}

bool isOctetType(int syntax)
{
    return syntax == SYN_BITSTR || syntax == SYN_OCTETSTR || syntax == SYN_OPAQUE;
}

// The edits of a multi-edit binding; a control of another kind is a bad binding.
QList<QLineEdit *> editsOf(const KtSNMPRequest2Edits::Binding &binding)
{
    QList<QLineEdit *> edits;
    for (const QPointer<QWidget> &control : binding.controls) {
        auto *edit = qobject_cast<QLineEdit *>(control.data());
        if (!edit)
            fail(-521);
        edits.append(edit);
    }
    return edits;
}

QString twoHex(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

// A hex edit's byte: a single digit gets a leading "0", an empty edit is "00".
QString hexOfEdit(const QLineEdit *edit)
{
    const QString text = edit->text().trimmed();
    if (text.isEmpty())
        return QStringLiteral("00");
    if (text.size() == 1)
        return QLatin1Char('0') + text;
    return text;
}

quint32 decimalOfEdit(const QLineEdit *edit)
{
    return edit->text().trimmed().toUInt();
}

const QDate &dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

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

void KtSNMPRequest2Edits::Unbind(int item)
{
    for (auto it = m_bindings.begin(); it != m_bindings.end();) {
        if (it->item != item) {
            ++it;
            continue;
        }
        for (const QPointer<QWidget> &control : it->controls) {
            auto *edit = qobject_cast<QLineEdit *>(control.data());
            if (edit && m_constraints->IsRegistered(edit))
                m_constraints->Remove(edit);
        }
        it = m_bindings.erase(it);
    }
}

void KtSNMPRequest2Edits::BindListView(QTreeWidget *view, bool enableOnSelectRows)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_viewConnections))
        QObject::disconnect(connection);
    m_viewConnections.clear();
    listView = view;
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

QVector<int> KtSNMPRequest2Edits::ColumnItems() const
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
    const QVector<int> items = ColumnItems();
    int existing = listView->columnCount();
    // A new tree widget comes with one unnamed column ("1"): that is no column of the window.
    if (existing == 1 && listView->headerItem()->text(0) == QStringLiteral("1"))
        existing = 0;
    if (existing >= items.size())
        return;
    listView->clear();
    listView->setColumnCount(static_cast<int>(items.size()));
    QStringList captions;
    for (int item : items)
        captions.append(list().Item(item).name);
    listView->setHeaderLabels(captions);
    listView->header()->setSectionResizeMode(QHeaderView::Interactive);
    listView->header()->setStretchLastSection(false);
    for (int column = 0; column < items.size(); ++column) {
        // A zero-width column keeps its place (the row's texts are taken back by position)
        // but is not shown.
        const bool zeroWidth = list().IsHiddenColumn(items.at(column));
        listView->setColumnHidden(column, zeroWidth);
        if (!zeroWidth)
            listView->resizeColumnToContents(column);
    }
}

QTreeWidgetItem *KtSNMPRequest2Edits::AppendRow(const QString *caption)
{
    if (!listView)
        return nullptr;
    const QVector<int> items = ColumnItems();
    auto *row = new QTreeWidgetItem(listView.data());
    for (int column = 0; column < items.size(); ++column) {
        const QString &value = list().Item(items.at(column)).value;
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
    const QVector<int> items = ColumnItems();
    const int columns = listView ? listView->columnCount() : row->columnCount();
    for (int column = 0; column < items.size() && column < columns; ++column) {
        const QVariant value = row->data(column, kRowValueRole);
        list().Item(items.at(column)).value =
            value.isValid() ? value.toString() : row->text(column);
    }
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
        const QVector<int> items = ColumnItems();
        for (int column = 0; column < items.size(); ++column) {
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

void KtSNMPRequest2Edits::fillBinding(const Binding &binding)
{
    const KtSNMPVarItem &record = list().Item(binding.item);
    const bool whole = binding.isWhole(record.syntax);
    const KtOptionList *options =
        binding.optionList ? binding.optionList : (whole ? record.optionList : nullptr);

    QString valueText = record.value;
    if (record.optionList)
        valueText = record.optionList->ValueOf(valueText);
    const bool special = isSpecial(valueText);

    // The part's bytes and its text in the form of the part's type.
    QByteArray partBytes;
    QString partText;
    if (special) {
        partText = valueText;
    } else if (whole) {
        partText = valueText;
    } else {
        const QByteArray bytes = KtValue::textToBytes(record.syntax, valueText);
        if (bytes.isEmpty()) {
            partText = binding.partType == SYN_DISPLAYSTR ? QString() : KT_NULL_TEXT;
        } else {
            const int width = KtValue::partWidth(binding.partType);
            if (bytes.size() < binding.part + width || binding.part > bytes.size())
                fail(-519);
            partBytes = width > 0 ? bytes.mid(binding.part, width) : bytes.mid(binding.part);
            partText = KtValue::bytesToText(binding.partType, partBytes);
        }
    }
    const QString text = options ? options->LabelOf(partText) : partText;

    if (binding.controls.isEmpty())
        return;
    QWidget *first = binding.controls.first();
    if (!first)
        return; // the control is gone with its window
    switch (kindOf(first)) {
    case Kind::Label:
        static_cast<QLabel *>(first)->setText(text);
        return;
    case Kind::Memo:
        static_cast<QPlainTextEdit *>(first)->setPlainText(text);
        return;
    case Kind::Check: {
        if (!binding.partList.isEmpty()) {
            if (special || isSpecial(partText))
                return; // no value: the boxes keep what they showed
            if (whole)
                partBytes = KtValue::textToBytes(record.syntax, valueText);
            for (int i = 0; i < binding.partList.size() && i < binding.controls.size(); ++i) {
                const int bit = binding.partList.at(i);
                if (bit < 0 || bit / 8 >= partBytes.size())
                    fail(-519);
                auto *box = qobject_cast<QCheckBox *>(binding.controls.at(i).data());
                if (!box)
                    continue;
                const auto byte = static_cast<quint8>(partBytes.at(bit / 8));
                box->setChecked((byte & (1u << (7 - bit % 8))) != 0);
            }
            return;
        }
        // A value that is neither an option past the first nor "true" ("(NULL)" too) clears
        // the box.
        auto *box = static_cast<QCheckBox *>(first);
        if (options) {
            box->setChecked(KtOptionWidgets::PositionOf(*options, text) > 0);
            return;
        }
        if (!isBooleanType(binding.partType))
            fail(-517);
        box->setChecked(text == QStringLiteral("true"));
        return;
    }
    case Kind::Combo: {
        auto *combo = static_cast<QComboBox *>(first);
        if (!options)
            fail(-520);
        const int position = KtOptionWidgets::SelectInComboBox(*options, combo, text);
        if (binding.controls.size() > 1 && binding.controls.at(1)) {
            QString rest = text;
            if (position >= 0 && position < options->Count()
                && text.startsWith(options->Label(position)))
                rest = text.mid(options->Label(position).size());
            if (binding.partType == SYN_OBJECTID && rest.startsWith(QLatin1Char('.')))
                rest.remove(0, 1);
            QWidget *second = binding.controls.at(1);
            if (auto *edit = qobject_cast<QLineEdit *>(second))
                edit->setText(rest);
            else if (auto *label = qobject_cast<QLabel *>(second))
                label->setText(rest);
            else
                fail(-521);
        }
        return;
    }
    case Kind::Radio:
        if (!options)
            fail(-520);
        KtOptionWidgets::SelectInRadioGroup(*options, static_cast<KtRadioGroup *>(first), text);
        return;
    case Kind::Edit:
        break;
    case Kind::Other:
        fail(-521);
    }

    const QList<QLineEdit *> edits = editsOf(binding);
    if (edits.size() == 1) {
        edits.first()->setText(text);
        if (m_constraints->IsRegistered(edits.first()))
            m_constraints->SetLastValid(edits.first(), edits.first()->text());
        return;
    }
    const int count = static_cast<int>(edits.size());
    const int type = binding.partType;
    const bool noValue = special || isSpecial(partText);
    auto show = [this, &edits](int i, const QString &shown) {
        edits.at(i)->setText(shown);
        if (m_constraints->IsRegistered(edits.at(i)))
            m_constraints->SetLastValid(edits.at(i), edits.at(i)->text());
    };
    // "(NULL)" is no value to spread over the edits: they keep what they showed.
    if (isOctetType(type)) {
        if (noValue)
            return;
        const QByteArray bytes = whole ? KtValue::parseHex(partText) : partBytes;
        if (count < bytes.size())
            fail(-522);
        for (int i = 0; i < count; ++i)
            show(i, i < bytes.size() ? twoHex(static_cast<quint8>(bytes.at(i))) : QString());
    } else if (type == SYN_OBJECTID) {
        if (noValue)
            return;
        const QStringList parts = partText.split(QLatin1Char('.'), Qt::SkipEmptyParts);
        if (count < parts.size())
            return; // too few edits: the value stays unshown
        for (int i = 0; i < count; ++i)
            show(i, parts.value(i));
    } else if (type == SYN_IPADDRESS || type == SYN_NSAPADDR) {
        if (count < 4)
            fail(-522);
        if (noValue)
            return;
        bool ok = false;
        const QByteArray bytes = KtValue::parseIpAddress(partText, &ok);
        if (!ok)
            fail(-518);
        for (int i = 0; i < 4; ++i)
            show(i, QString::number(static_cast<quint8>(bytes.at(i))));
    } else if (type == SYN_TIMETICKS) {
        if (count < 5)
            fail(-522);
        if (noValue)
            return;
        bool ok = false;
        quint32 ticks = KtValue::parseTicks(partText, &ok);
        if (!ok)
            fail(-518);
        const quint32 days = ticks / 8640000u;
        ticks %= 8640000u;
        const quint32 hours = ticks / 360000u;
        ticks %= 360000u;
        const quint32 minutes = ticks / 6000u;
        ticks %= 6000u;
        show(0, QString::number(days));
        show(1, QString::number(hours));
        show(2, QString::number(minutes));
        show(3, QString::number(ticks / 100u));
        show(4, QString::number(ticks % 100u));
    } else if (type == SYN_MACADDRESS) {
        if (count < 6)
            fail(-522);
        if (noValue)
            return;
        const QByteArray bytes = KtValue::parseHex(partText);
        for (int i = 0; i < 6; ++i)
            show(i, i < bytes.size() ? twoHex(static_cast<quint8>(bytes.at(i))) : QString());
    } else if (type == SYN_DATETIME) {
        if (count < 10)
            fail(-522);
        if (noValue)
            return;
        const KtDateTime value(partText);
        const int fields[] = {value.year,        value.month,   value.day,
                              value.hour,        value.minutes, value.seconds,
                              value.deciSeconds, value.direction, value.utcHours,
                              value.utcMinutes};
        for (int i = 0; i < 10; ++i)
            show(i, QString::number(fields[i]));
    } else if (type == SYN_BCDATETIME) {
        if (count < 7)
            fail(-522);
        if (noValue)
            return;
        bool ok = false;
        const double days = KtValue::parseBcDateTime(partText, &ok);
        if (!ok)
            fail(-518);
        // Day counts before day zero keep their time of day as a positive fraction.
        const double dayPart = std::trunc(days);
        const QDate date = dayZero().addDays(static_cast<qint64>(dayPart));
        const qint64 ms = std::llround(std::fabs(days - dayPart) * 86400000.0);
        const QTime time = QTime(0, 0).addMSecs(static_cast<int>(std::min<qint64>(ms, 86399999)));
        const int fields[] = {date.year(),   date.month(),  date.day(), time.hour(),
                              time.minute(), time.second(), time.msec()};
        for (int i = 0; i < 7; ++i)
            show(i, QString::number(fields[i]));
    } else {
        show(0, text);
    }
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
    KtSNMPVarItem &record = list().Item(item);
    bool bound = false;
    QByteArray whole;
    bool wholeText = false; // the value is a text that does not go through bytes
    QString valueText;
    {
        QString current = record.value;
        if (record.optionList)
            current = record.optionList->ValueOf(current);
        if (record.syntax != SYN_DISPLAYSTR && !isSpecial(current)) {
            try {
                whole = KtValue::textToBytes(record.syntax, current);
            } catch (const KtException &) {
                whole.clear(); // parts are then written over zero bytes
            }
        }
    }

    for (const Binding &binding : m_bindings) {
        if (binding.item != item || binding.controls.isEmpty() || !binding.controls.first())
            continue;
        bound = true;
        const bool isWholeBinding = binding.isWhole(record.syntax);
        const KtOptionList *options = binding.optionList
                                          ? binding.optionList
                                          : (isWholeBinding ? record.optionList : nullptr);
        QWidget *first = binding.controls.first();
        const int type = binding.partType;
        QString text;

        switch (kindOf(first)) {
        case Kind::Label:
            text = static_cast<QLabel *>(first)->text();
            break;
        case Kind::Memo:
            text = static_cast<QPlainTextEdit *>(first)->toPlainText();
            break;
        case Kind::Combo: {
            auto *combo = static_cast<QComboBox *>(first);
            text = combo->currentIndex() >= 0 ? combo->currentText() : QString();
            if (binding.controls.size() > 1 && binding.controls.at(1)) {
                QWidget *second = binding.controls.at(1);
                QString rest;
                if (auto *edit = qobject_cast<QLineEdit *>(second))
                    rest = edit->text();
                else if (auto *label = qobject_cast<QLabel *>(second))
                    rest = label->text();
                else
                    fail(-521);
                if (type == SYN_OBJECTID && !rest.isEmpty())
                    text += QLatin1Char('.');
                text += rest;
            }
            break;
        }
        case Kind::Radio: {
            auto *group = static_cast<KtRadioGroup *>(first);
            text = group->items().value(group->itemIndex());
            break;
        }
        case Kind::Check:
            if (!binding.partList.isEmpty()) {
                // The boxes set or clear their own bits in the value and nothing else: two bit
                // lists sharing a byte, or a list covering only the first bytes of a longer
                // value, leave each other's bits and the other bytes as they were.
                for (int i = 0; i < binding.partList.size() && i < binding.controls.size();
                     ++i) {
                    const int bit = binding.partList.at(i);
                    if (bit < 0)
                        fail(-519);
                    const int at = binding.part + bit / 8;
                    while (whole.size() <= at)
                        whole.append('\0');
                    auto *box = qobject_cast<QCheckBox *>(binding.controls.at(i).data());
                    const auto mask = static_cast<quint8>(1u << (7 - bit % 8));
                    auto byte = static_cast<quint8>(whole.at(at));
                    if (box && box->isChecked())
                        byte |= mask;
                    else
                        byte &= static_cast<quint8>(~mask);
                    whole[at] = static_cast<char>(byte);
                }
                wholeText = false;
                continue;
            } else {
                const bool checked = static_cast<QCheckBox *>(first)->isChecked();
                if (options) {
                    if (options->Count() < 2)
                        fail(-518);
                    text = options->Label(checked ? 1 : 0);
                } else if (isBooleanType(type)) {
                    text = checked ? QStringLiteral("true") : QStringLiteral("false");
                } else {
                    fail(-517);
                }
            }
            break;
        case Kind::Edit: {
            const QList<QLineEdit *> edits = editsOf(binding);
            const int count = static_cast<int>(edits.size());
            if (count == 1) {
                text = edits.first()->text();
            } else if (isOctetType(type) || type == SYN_MACADDRESS) {
                if (type == SYN_MACADDRESS && count < 6)
                    fail(-522);
                const int used = type == SYN_MACADDRESS ? 6 : count;
                for (int i = 0; i < used; ++i)
                    text += hexOfEdit(edits.at(i));
            } else if (type == SYN_OBJECTID) {
                QStringList parts;
                for (const QLineEdit *edit : edits) {
                    if (!edit->text().trimmed().isEmpty())
                        parts.append(QString::number(decimalOfEdit(edit)));
                }
                text = parts.join(QLatin1Char('.'));
            } else if (type == SYN_IPADDRESS || type == SYN_NSAPADDR) {
                if (count < 4)
                    fail(-522);
                QStringList parts;
                for (int i = 0; i < 4; ++i)
                    parts.append(QString::number(decimalOfEdit(edits.at(i))));
                text = parts.join(QLatin1Char('.'));
            } else if (type == SYN_TIMETICKS) {
                if (count < 5)
                    fail(-522);
                const quint64 ticks = quint64(decimalOfEdit(edits.at(0))) * 8640000u
                                      + quint64(decimalOfEdit(edits.at(1))) * 360000u
                                      + quint64(decimalOfEdit(edits.at(2))) * 6000u
                                      + quint64(decimalOfEdit(edits.at(3))) * 100u
                                      + decimalOfEdit(edits.at(4));
                if (ticks > 0xFFFFFFFFull)
                    fail(-518);
                text = KtValue::ticksText(static_cast<quint32>(ticks));
            } else if (type == SYN_DATETIME) {
                if (count < 10)
                    fail(-522);
                QStringList fields;
                for (int i = 0; i < 10; ++i)
                    fields.append(edits.at(i)->text().trimmed());
                // The direction edit shows the byte ("43" for "+"); a typed sign counts too.
                QString direction = fields.at(7);
                if (direction != QStringLiteral("+") && direction != QStringLiteral("-"))
                    direction = QChar(static_cast<char16_t>(direction.toUInt()))
                                        == QLatin1Char('-')
                                    ? QStringLiteral("-")
                                    : QStringLiteral("+");
                text = QStringLiteral("%1-%2-%3,%4:%5:%6.%7,%8%9:%10")
                           .arg(fields.at(0).toInt())
                           .arg(fields.at(1).toInt())
                           .arg(fields.at(2).toInt())
                           .arg(fields.at(3).toInt())
                           .arg(fields.at(4).toInt())
                           .arg(fields.at(5).toInt())
                           .arg(fields.at(6).toInt())
                           .arg(direction)
                           .arg(fields.at(8).toInt())
                           .arg(fields.at(9).toInt());
                text = KtDateTime(text).ToText();
            } else if (type == SYN_BCDATETIME) {
                if (count < 7)
                    fail(-522);
                int fields[7];
                for (int i = 0; i < 7; ++i)
                    fields[i] = edits.at(i)->text().trimmed().toInt();
                const QDate date(fields[0], fields[1], fields[2]);
                const QTime time(fields[3], fields[4], fields[5], fields[6]);
                if (!date.isValid() || !time.isValid())
                    fail(-518);
                const double dayPart = static_cast<double>(dayZero().daysTo(date));
                const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
                const double days = dayPart < 0 ? dayPart - fraction : dayPart + fraction;
                text = KtValue::bcDateTimeText(days);
            } else {
                text = edits.first()->text();
            }
            break;
        }
        case Kind::Other:
            fail(-521);
        }

        if (options)
            text = options->ValueOf(text);
        if (isWholeBinding && isSpecial(text)) {
            // No value in the control: the item keeps the special text as it is.
            valueText = text;
            wholeText = true;
            continue;
        }
        const QByteArray partBytes = KtValue::textToBytes(type, text);
        wholeText = false;
        if (isWholeBinding) {
            // The control holds the whole value: nothing of the old value may survive behind
            // a shorter new one.
            whole = partBytes;
            continue;
        }
        while (whole.size() < binding.part)
            whole.append('\0');
        if (KtValue::partWidth(type) == 0) {
            // The part is the rest of the value.
            whole.truncate(binding.part);
            whole.append(partBytes);
        } else {
            while (whole.size() < binding.part + partBytes.size())
                whole.append('\0');
            whole.replace(binding.part, partBytes.size(), partBytes);
        }
    }
    if (!bound)
        return;
    QString result = wholeText ? valueText : KtValue::bytesToText(record.syntax, whole);
    if (record.optionList)
        result = record.optionList->LabelOf(result);
    record.value = result;
}
