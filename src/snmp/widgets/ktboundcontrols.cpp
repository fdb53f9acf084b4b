#include "ktboundcontrols.h"

#include "ktdatetime.h"
#include "kteditconstraint.h"
#include "ktexception.h"
#include "ktmessages.h"
#include "ktoptionlist.h"
#include "ktoptionwidgets.h"
#include "ktradiogroup.h"
#include "ktsnmpvalue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <functional>

namespace KtBoundControls {

namespace {

[[noreturn]] void fail(int code)
{
    throw KtException(code, KtMessages::text(KtMessages::Table::KtSnmp, -code - 500));
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

const QDate &dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
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

// The edits of an edit binding; a control of another kind is a bad binding.
QList<QLineEdit *> editsOf(const Binding &binding)
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

// The second control of a combo box with a prefix list: an edit or a label with the rest.
QWidget *secondControl(const Binding &binding)
{
    return binding.controls.size() > 1 ? binding.controls.at(1).data() : nullptr;
}

// ---- A value over several edits, by the part's type ----
// Each spreads the value over the edits; "(NULL)" leaves them as they were. Too few edits for
// the type's fields fail with -522 (an object identifier is then left unshown instead).

using Show = std::function<void(int edit, const QString &text)>;

void spreadOctets(const PartValue &value, int type, int count, const Show &show)
{
    if (value.noValue)
        return;
    const QByteArray bytes = value.bytes(type);
    if (count < bytes.size())
        fail(-522);
    for (int i = 0; i < count; ++i)
        show(i, i < bytes.size() ? twoHex(static_cast<quint8>(bytes.at(i))) : QString());
}

void spreadObjectId(const PartValue &value, int count, const Show &show)
{
    if (value.noValue)
        return;
    const QStringList parts = value.text.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (count < parts.size())
        return;
    for (int i = 0; i < count; ++i)
        show(i, parts.value(i));
}

void spreadIpAddress(const PartValue &value, const Show &show)
{
    bool ok = false;
    const QByteArray bytes = KtValue::parseIpAddress(value.text, &ok);
    if (!ok)
        fail(-518);
    for (int i = 0; i < 4; ++i)
        show(i, QString::number(static_cast<quint8>(bytes.at(i))));
}

// Days, hours, minutes, seconds and hundredths.
void spreadTicks(const PartValue &value, const Show &show)
{
    bool ok = false;
    quint32 ticks = KtValue::parseTicks(value.text, &ok);
    if (!ok)
        fail(-518);
    const quint32 days = ticks / 8640000u;
    ticks %= 8640000u;
    const quint32 hours = ticks / 360000u;
    ticks %= 360000u;
    const quint32 minutes = ticks / 6000u;
    ticks %= 6000u;
    const quint32 fields[] = {days, hours, minutes, ticks / 100u, ticks % 100u};
    for (int i = 0; i < 5; ++i)
        show(i, QString::number(fields[i]));
}

void spreadMacAddress(const PartValue &value, const Show &show)
{
    const QByteArray bytes = KtValue::parseHex(value.text);
    for (int i = 0; i < 6; ++i)
        show(i, i < bytes.size() ? twoHex(static_cast<quint8>(bytes.at(i))) : QString());
}

// Year, month, day, hour, minutes, seconds, deci-seconds and the three UTC-offset bytes.
void spreadDateTime(const PartValue &value, const Show &show)
{
    const KtDateTime dateTime(value.text);
    const int fields[] = {dateTime.year,      dateTime.month,     dateTime.day,
                          dateTime.hour,      dateTime.minutes,   dateTime.seconds,
                          dateTime.deciSeconds, dateTime.direction, dateTime.utcHours,
                          dateTime.utcMinutes};
    for (int i = 0; i < 10; ++i)
        show(i, QString::number(fields[i]));
}

// Year, month, day, hour, minute, second and millisecond.
void spreadBcDateTime(const PartValue &value, const Show &show)
{
    bool ok = false;
    const double days = KtValue::parseBcDateTime(value.text, &ok);
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
}

// The number of edits a type's fields need, 0 for types without fields.
int fieldCount(int type)
{
    switch (type) {
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        return 4;
    case SYN_TIMETICKS:
        return 5;
    case SYN_MACADDRESS:
        return 6;
    case SYN_DATETIME:
        return 10;
    case SYN_BCDATETIME:
        return 7;
    default:
        return 0;
    }
}

void spreadOverEdits(const PartValue &value, int type, int count, const Show &show)
{
    if (isOctetType(type)) {
        spreadOctets(value, type, count, show);
        return;
    }
    if (type == SYN_OBJECTID) {
        spreadObjectId(value, count, show);
        return;
    }
    const int fields = fieldCount(type);
    if (fields == 0) {
        show(0, value.shown); // other types: the text in the first edit
        return;
    }
    if (count < fields)
        fail(-522);
    if (value.noValue)
        return;
    switch (type) {
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        spreadIpAddress(value, show);
        break;
    case SYN_TIMETICKS:
        spreadTicks(value, show);
        break;
    case SYN_MACADDRESS:
        spreadMacAddress(value, show);
        break;
    case SYN_DATETIME:
        spreadDateTime(value, show);
        break;
    default:
        spreadBcDateTime(value, show);
        break;
    }
}

// ---- Several edits back into one text, by the part's type ----

QString gatherHex(const QList<QLineEdit *> &edits, int used)
{
    QString text;
    for (int i = 0; i < used; ++i)
        text += hexOfEdit(edits.at(i));
    return text;
}

QString gatherObjectId(const QList<QLineEdit *> &edits)
{
    QStringList parts;
    for (const QLineEdit *edit : edits) {
        if (!edit->text().trimmed().isEmpty())
            parts.append(QString::number(decimalOfEdit(edit)));
    }
    return parts.join(QLatin1Char('.'));
}

QString gatherIpAddress(const QList<QLineEdit *> &edits)
{
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts.append(QString::number(decimalOfEdit(edits.at(i))));
    return parts.join(QLatin1Char('.'));
}

QString gatherTicks(const QList<QLineEdit *> &edits)
{
    const quint64 ticks = quint64(decimalOfEdit(edits.at(0))) * 8640000u
                          + quint64(decimalOfEdit(edits.at(1))) * 360000u
                          + quint64(decimalOfEdit(edits.at(2))) * 6000u
                          + quint64(decimalOfEdit(edits.at(3))) * 100u
                          + decimalOfEdit(edits.at(4));
    if (ticks > 0xFFFFFFFFull)
        fail(-518);
    return KtValue::ticksText(static_cast<quint32>(ticks));
}

QString gatherDateTime(const QList<QLineEdit *> &edits)
{
    QStringList fields;
    for (int i = 0; i < 10; ++i)
        fields.append(edits.at(i)->text().trimmed());
    // The direction edit shows the byte ("43" for "+"); a typed sign counts too.
    QString direction = fields.at(7);
    if (direction != QStringLiteral("+") && direction != QStringLiteral("-"))
        direction = QChar(static_cast<char16_t>(direction.toUInt())) == QLatin1Char('-')
                        ? QStringLiteral("-")
                        : QStringLiteral("+");
    const QString text = QStringLiteral("%1-%2-%3,%4:%5:%6.%7,%8%9:%10")
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
    return KtDateTime(text).ToText();
}

QString gatherBcDateTime(const QList<QLineEdit *> &edits)
{
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
    return KtValue::bcDateTimeText(days);
}

QString gatherFromEdits(const QList<QLineEdit *> &edits, int type)
{
    const int count = static_cast<int>(edits.size());
    if (count == 1)
        return edits.first()->text();
    if (isOctetType(type))
        return gatherHex(edits, count);
    if (type == SYN_OBJECTID)
        return gatherObjectId(edits);
    const int fields = fieldCount(type);
    if (fields == 0)
        return edits.first()->text(); // other types: the first edit holds the text
    if (count < fields)
        fail(-522);
    switch (type) {
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        return gatherIpAddress(edits);
    case SYN_TIMETICKS:
        return gatherTicks(edits);
    case SYN_MACADDRESS:
        return gatherHex(edits, 6);
    case SYN_DATETIME:
        return gatherDateTime(edits);
    default:
        return gatherBcDateTime(edits);
    }
}

// ---- Reading single controls ----

QString comboBoxText(const Binding &binding)
{
    auto *combo = static_cast<QComboBox *>(binding.controls.first().data());
    QString text = combo->currentIndex() >= 0 ? combo->currentText() : QString();
    QWidget *second = secondControl(binding);
    if (!second)
        return text;
    QString rest;
    if (auto *edit = qobject_cast<QLineEdit *>(second))
        rest = edit->text();
    else if (auto *label = qobject_cast<QLabel *>(second))
        rest = label->text();
    else
        fail(-521);
    if (binding.partType == SYN_OBJECTID && !rest.isEmpty())
        text += QLatin1Char('.');
    return text + rest;
}

QString radioGroupText(const QWidget *control)
{
    const auto *group = static_cast<const KtRadioGroup *>(control);
    return group->items().value(group->itemIndex());
}

// A lone check box: with an option list the label at position 1 when checked and at 0 when
// not; without one "true" or "false" for boolean types.
QString checkBoxText(const QWidget *control, int type, const KtOptionList *options)
{
    const bool checked = static_cast<const QCheckBox *>(control)->isChecked();
    if (options) {
        if (options->Count() < 2)
            fail(-518);
        return options->Label(checked ? 1 : 0);
    }
    if (!isBooleanType(type))
        fail(-517);
    return checked ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

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

// ---- The part of a value ----

QByteArray PartValue::bytes(int partType) const
{
    return cut ? cutBytes : KtValue::textToBytes(partType, text);
}

PartValue PartToShow(const KtSNMPVarItem &item, const Binding &binding,
                     const KtOptionList *options)
{
    PartValue value;
    QString valueText = item.value;
    if (item.optionList)
        valueText = item.optionList->ValueOf(valueText);
    const bool special = isSpecial(valueText);
    if (special || binding.isWhole(item.syntax)) {
        value.text = valueText;
    } else {
        value.cut = true;
        const QByteArray bytes = KtValue::textToBytes(item.syntax, valueText);
        if (bytes.isEmpty()) {
            value.text = binding.partType == SYN_DISPLAYSTR ? QString() : KT_NULL_TEXT;
        } else {
            const int width = KtValue::partWidth(binding.partType);
            if (bytes.size() < binding.part + width || binding.part > bytes.size())
                fail(-519);
            value.cutBytes =
                width > 0 ? bytes.mid(binding.part, width) : bytes.mid(binding.part);
            value.text = KtValue::bytesToText(binding.partType, value.cutBytes);
        }
    }
    value.noValue = special || isSpecial(value.text);
    value.shown = options ? options->LabelOf(value.text) : value.text;
    return value;
}

CollectedValue::CollectedValue(const KtSNMPVarItem &item)
{
    // A display string is emptied before its first binding is applied.
    QString current = item.value;
    if (item.optionList)
        current = item.optionList->ValueOf(current);
    if (item.syntax == SYN_DISPLAYSTR || isSpecial(current))
        return;
    try {
        m_whole = KtValue::textToBytes(item.syntax, current);
    } catch (const KtException &) {
        m_whole.clear(); // parts are then written over zero bytes
    }
}

QByteArray &CollectedValue::bytes()
{
    m_special = false;
    return m_whole;
}

void CollectedValue::Put(const Binding &binding, bool whole, const KtOptionList *options,
                         const QString &controlText)
{
    const QString text = options ? options->ValueOf(controlText) : controlText;
    if (whole && isSpecial(text)) {
        // No value in the control: the item keeps the special text as it is.
        m_special = true;
        m_specialText = text;
        return;
    }
    const QByteArray partBytes = KtValue::textToBytes(binding.partType, text);
    m_special = false;
    if (whole) {
        // The control holds the whole value: nothing of the old value may survive behind a
        // shorter new one.
        m_whole = partBytes;
        return;
    }
    while (m_whole.size() < binding.part)
        m_whole.append('\0');
    if (KtValue::partWidth(binding.partType) == 0) {
        // The part is the rest of the value.
        m_whole.truncate(binding.part);
        m_whole.append(partBytes);
        return;
    }
    while (m_whole.size() < binding.part + partBytes.size())
        m_whole.append('\0');
    m_whole.replace(binding.part, partBytes.size(), partBytes);
}

QString CollectedValue::Result(const KtSNMPVarItem &item) const
{
    QString result = m_special ? m_specialText : KtValue::bytesToText(item.syntax, m_whole);
    if (item.optionList)
        result = item.optionList->LabelOf(result);
    return result;
}

// ---- Filling ----

void FillLabel(QWidget *label, const PartValue &value)
{
    static_cast<QLabel *>(label)->setText(value.shown);
}

void FillMemo(QWidget *memo, const PartValue &value)
{
    static_cast<QPlainTextEdit *>(memo)->setPlainText(value.shown);
}

void FillBits(const Binding &binding, const PartValue &value)
{
    if (value.noValue)
        return; // no value: the boxes keep what they showed
    const QByteArray bytes = value.bytes(binding.partType);
    for (int i = 0; i < binding.partList.size() && i < binding.controls.size(); ++i) {
        const int bit = binding.partList.at(i);
        if (bit < 0 || bit / 8 >= bytes.size())
            fail(-519);
        auto *box = qobject_cast<QCheckBox *>(binding.controls.at(i).data());
        if (!box)
            continue;
        const auto byte = static_cast<quint8>(bytes.at(bit / 8));
        box->setChecked((byte & (1u << (7 - bit % 8))) != 0);
    }
}

void FillCheckBox(QWidget *control, const Binding &binding, const KtOptionList *options,
                  const PartValue &value)
{
    // A value that is neither an option past the first nor "true" ("(NULL)" too) clears the
    // box.
    auto *box = static_cast<QCheckBox *>(control);
    if (options) {
        box->setChecked(KtOptionWidgets::PositionOf(*options, value.shown) > 0);
        return;
    }
    if (!isBooleanType(binding.partType))
        fail(-517);
    box->setChecked(value.shown == QStringLiteral("true"));
}

void FillComboBox(const Binding &binding, const KtOptionList *options, const PartValue &value)
{
    auto *combo = static_cast<QComboBox *>(binding.controls.first().data());
    if (!options)
        fail(-520);
    const QString &text = value.shown;
    const int position = KtOptionWidgets::SelectInComboBox(*options, combo, text);
    QWidget *second = secondControl(binding);
    if (!second)
        return;
    // A prefix list: the rest of the value after the selected label goes to the second control.
    QString rest = text;
    if (position >= 0 && position < options->Count() && text.startsWith(options->Label(position)))
        rest = text.mid(options->Label(position).size());
    if (binding.partType == SYN_OBJECTID && rest.startsWith(QLatin1Char('.')))
        rest.remove(0, 1);
    if (auto *edit = qobject_cast<QLineEdit *>(second))
        edit->setText(rest);
    else if (auto *label = qobject_cast<QLabel *>(second))
        label->setText(rest);
    else
        fail(-521);
}

void FillRadioGroup(QWidget *group, const KtOptionList *options, const PartValue &value)
{
    if (!options)
        fail(-520);
    KtOptionWidgets::SelectInRadioGroup(*options, static_cast<KtRadioGroup *>(group),
                                        value.shown);
}

void FillEdits(const Binding &binding, const PartValue &value, KtEditConstraint &constraints)
{
    const QList<QLineEdit *> edits = editsOf(binding);
    if (edits.size() == 1) {
        constraints.Fill(edits.first(), value.shown);
        return;
    }
    spreadOverEdits(value, binding.partType, static_cast<int>(edits.size()),
                    [&](int i, const QString &text) { constraints.Fill(edits.at(i), text); });
}

// ---- Collecting ----

QString CollectText(const Binding &binding, const KtOptionList *options)
{
    QWidget *first = binding.controls.first();
    switch (kindOf(first)) {
    case Kind::Label:
        return static_cast<QLabel *>(first)->text();
    case Kind::Memo:
        return static_cast<QPlainTextEdit *>(first)->toPlainText();
    case Kind::Combo:
        return comboBoxText(binding);
    case Kind::Radio:
        return radioGroupText(first);
    case Kind::Check:
        return checkBoxText(first, binding.partType, options);
    case Kind::Edit:
        return gatherFromEdits(editsOf(binding), binding.partType);
    case Kind::Other:
        break;
    }
    fail(-521);
}

void CollectBits(const Binding &binding, QByteArray &whole)
{
    // The boxes set or clear their own bits in the value and nothing else: two bit lists
    // sharing a byte, or a list covering only the first bytes of a longer value, leave each
    // other's bits and the other bytes as they were.
    for (int i = 0; i < binding.partList.size() && i < binding.controls.size(); ++i) {
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
}

} // namespace KtBoundControls
