// How each kind of control shows a bound value and gives it back, for KtSNMPRequest2Edits.
//
// Filling: the item's value is turned once into the text (and bytes) of the binding's part
// (PartToShow), then the control kind shows it. Collecting: each kind reads its controls back
// into a text in the same form, and CollectedValue puts the part into the item's value. The
// part and syntax conversions sit in those two places only; the kinds know nothing of parts.
#pragma once

#include "ktsnmprequest2edits.h"

#include <QByteArray>
#include <QList>
#include <QString>

class KtEditConstraint;
class KtOptionList;
class QWidget;

namespace KtBoundControls {

using Binding = KtSNMPRequest2Edits::Binding;

enum class Kind { Label, Edit, Memo, Combo, Check, Radio, Other };
// The kind of a control; null and unknown classes are Other.
Kind kindOf(const QWidget *control);

// The part of an item's value a binding shows.
struct PartValue {
    QString text;      // the part's value text, before any option list
    QString shown;     // the text through the option list: what a single control shows
    bool noValue = false; // "(NULL)" or "(NOTDONE)": nothing to spread over several controls
    bool cut = false;  // the part was cut out of the value: bytes holds it
    QByteArray cutBytes;

    // The part's bytes: those cut out, else the text's bytes by the part's type.
    QByteArray bytes(int partType) const;
};

// The item's value as the binding shows it (options: the binding's own list, else for a
// whole value the item's). A part is cut from the value's bytes at its offset, its width by
// the part's type (-519 when the value is shorter).
PartValue PartToShow(const KtSNMPVarItem &item, const Binding &binding,
                     const KtOptionList *options);

// The value an item is collected into, starting from its current value: the bytes every part
// is written over, or a special text ("(NULL)") that a whole-value control holds.
class CollectedValue
{
public:
    explicit CollectedValue(const KtSNMPVarItem &item);

    // The whole value's bytes, for bit check boxes that set or clear their own bits.
    QByteArray &bytes();
    // A control's text for the binding: through the option list, to bytes by the part's type,
    // then over the whole value (a whole-value binding replaces it) or at the part's offset
    // (zeros appended as needed; a part of no fixed width is the rest of the value).
    void Put(const Binding &binding, bool whole, const KtOptionList *options,
             const QString &text);
    // The item's new value text, through the item's option list.
    QString Result(const KtSNMPVarItem &item) const;

private:
    QByteArray m_whole;
    bool m_special = false; // the last whole-value control held a special text
    QString m_specialText;
};

// ---- The kinds ----
// Filling. Each shows value in its controls; see KtSNMPRequest2Edits::FillControls.
void FillLabel(QWidget *label, const PartValue &value);
void FillMemo(QWidget *memo, const PartValue &value);
// Check boxes of a bit list: box i shows bit (7 - b mod 8) of byte b div 8 of the part.
void FillBits(const Binding &binding, const PartValue &value);
void FillCheckBox(QWidget *box, const Binding &binding, const KtOptionList *options,
                  const PartValue &value);
void FillComboBox(const Binding &binding, const KtOptionList *options, const PartValue &value);
void FillRadioGroup(QWidget *group, const KtOptionList *options, const PartValue &value);
// One edit shows the text; several share the value by the part's type (address bytes, MAC
// bytes, time-ticks fields ...). Texts go in through the constraints' Fill: never filtered.
void FillEdits(const Binding &binding, const PartValue &value, KtEditConstraint &constraints);

// Collecting. Each reads its controls into a text of the part's form (before any option list).
QString CollectText(const Binding &binding, const KtOptionList *options);
// Check boxes of a bit list set or clear only their own bits of the whole value.
void CollectBits(const Binding &binding, QByteArray &whole);

} // namespace KtBoundControls
