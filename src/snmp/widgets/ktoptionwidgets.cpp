#include "ktoptionwidgets.h"

#include "ktoptionlist.h"
#include "ktradiogroup.h"

#include <QComboBox>

namespace KtOptionWidgets {

void FillComboBox(const KtOptionList &list, QComboBox *comboBox)
{
    comboBox->clear();
    for (int i = 0; i < list.Count(); ++i)
        comboBox->addItem(list.Label(i));
}

void FillRadioGroup(const KtOptionList &list, KtRadioGroup *radioGroup)
{
    QStringList labels;
    for (int i = 0; i < list.Count(); ++i)
        labels.append(list.Label(i));
    radioGroup->setItems(labels);
}

int PositionOf(const KtOptionList &list, const QString &text)
{
    const int byLabel = list.IndexOfLabel(text);
    return byLabel >= 0 ? byLabel : list.IndexOfValue(text);
}

int SelectInComboBox(const KtOptionList &list, QComboBox *comboBox, const QString &text)
{
    const int position = PositionOf(list, text);
    comboBox->setCurrentIndex(position < comboBox->count() ? position : -1);
    return comboBox->currentIndex();
}

int SelectInRadioGroup(const KtOptionList &list, KtRadioGroup *radioGroup, const QString &text)
{
    const int position = PositionOf(list, text);
    radioGroup->setItemIndex(position);
    return radioGroup->itemIndex();
}

} // namespace KtOptionWidgets
