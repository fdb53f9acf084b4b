#include "ktradiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

KtRadioGroup::KtRadioGroup(QWidget *parent) : KtRadioGroup(QString(), parent) {}

KtRadioGroup::KtRadioGroup(const QString &title, QWidget *parent)
    : QGroupBox(title, parent),
      m_layout(new QGridLayout(this)),
      m_group(new QButtonGroup(this))
{
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Q_EMIT itemIndexChanged(id);
    });
}

void KtRadioGroup::setItems(const QStringList &items)
{
    m_items = items;
    rebuild();
}

void KtRadioGroup::addItem(const QString &item)
{
    m_items.append(item);
    rebuild();
}

int KtRadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void KtRadioGroup::setItemIndex(int index)
{
    const int before = itemIndex();
    if (index >= 0 && index < m_buttons.size()) {
        m_buttons.at(index)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button.
    m_group->setExclusive(false);
    for (QRadioButton *button : std::as_const(m_buttons))
        button->setChecked(false);
    m_group->setExclusive(true);
    if (before != -1)
        Q_EMIT itemIndexChanged(-1);
}

void KtRadioGroup::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    rebuild();
}

QRadioButton *KtRadioGroup::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void KtRadioGroup::rebuild()
{
    const bool hadSelection = itemIndex() != -1;
    qDeleteAll(m_buttons);
    m_buttons.clear();
    // Buttons fill the columns top to bottom, as many rows as needed.
    const int rows = (m_items.size() + m_columns - 1) / m_columns;
    for (int i = 0; i < m_items.size(); ++i) {
        auto *button = new QRadioButton(m_items.at(i), this);
        button->setObjectName(QStringLiteral("item%1").arg(i));
        m_group->addButton(button, i);
        m_layout->addWidget(button, rows ? i % rows : 0, rows ? i / rows : 0);
        m_buttons.append(button);
    }
    if (hadSelection)
        Q_EMIT itemIndexChanged(-1);
}
