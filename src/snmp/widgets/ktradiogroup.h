// A group box of radio buttons chosen by position, like the option groups of the device pages.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

class KtRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit KtRadioGroup(QWidget *parent = nullptr);
    explicit KtRadioGroup(const QString &title, QWidget *parent = nullptr);

    QStringList items() const { return m_items; }
    // Replaces the buttons; nothing is selected afterwards.
    void setItems(const QStringList &items);
    void clearItems() { setItems({}); }
    void addItem(const QString &item);

    // Position of the checked button, -1 when none is.
    int itemIndex() const;
    // -1 (or any position outside the items) unchecks every button.
    void setItemIndex(int index);

    int columns() const { return m_columns; }
    void setColumns(int columns);

    QRadioButton *button(int index) const;

Q_SIGNALS:
    // The user or the program checked another button (index -1: none).
    void itemIndexChanged(int index);

private:
    void rebuild();

    QStringList m_items;
    int m_columns = 1;
    QGridLayout *m_layout = nullptr;
    QButtonGroup *m_group = nullptr;
    QList<QRadioButton *> m_buttons;
};
