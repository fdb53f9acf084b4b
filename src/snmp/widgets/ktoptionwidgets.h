// Option lists shown in combo boxes and radio groups.
#pragma once

#include <QString>

class KtOptionList;
class KtRadioGroup;
class QComboBox;

namespace KtOptionWidgets {

// Clears the items and adds every label in order.
void FillComboBox(const KtOptionList &list, QComboBox *comboBox);
void FillRadioGroup(const KtOptionList &list, KtRadioGroup *radioGroup);

// Selects the position of text as a label, else as a value; nothing when it is neither.
// Returns the selected position (-1 for none).
int SelectInComboBox(const KtOptionList &list, QComboBox *comboBox, const QString &text);
int SelectInRadioGroup(const KtOptionList &list, KtRadioGroup *radioGroup, const QString &text);

// The position for text: as a label, else as a value, else -1.
int PositionOf(const KtOptionList &list, const QString &text);

} // namespace KtOptionWidgets
