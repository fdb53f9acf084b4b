// The vertical button bar of the SNMP editor panels: a sample counter, its label and eight
// buttons, stacked top to bottom; hidden controls take no room.
#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;

class TCtrlBtnPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int LeftMargin = 10;
    static constexpr int TopMargin = 10;
    static constexpr int ControlWidth = 96;
    static constexpr int Spacing = 5;

    // Builds the controls, takes glyphs from the current folder, hides "Add" and "Delete" and
    // lays the bar out.
    explicit TCtrlBtnPanel(QWidget *parent = nullptr);

    // Stacks the visible controls of the layout list from the top margin down.
    void Layout();
    // Bottom of the lowest visible control plus the top margin: the height the bar needs.
    int contentHeight() const;

    QLabel *counter() const { return m_counter; }
    QLabel *samplesLabel() const { return m_samples; }
    QPushButton *refreshButton() const { return m_refresh; }
    QPushButton *editButton() const { return m_edit; }
    QPushButton *setCheckedButton() const { return m_setChecked; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *checkAllButton() const { return m_checkAll; }
    QPushButton *clearChecksButton() const { return m_clearChecks; }
    QPushButton *closeButton() const { return m_close; }

    // The controls in the order they are stacked.
    const QList<QWidget *> &layoutList() const { return m_layoutList; }

    QSize sizeHint() const override;

private:
    QPushButton *addButton(const QString &caption, const char *objectName);
    void loadGlyphs();

    QLabel *m_counter = nullptr;
    QLabel *m_samples = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_setChecked = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_checkAll = nullptr;
    QPushButton *m_clearChecks = nullptr;
    QPushButton *m_close = nullptr;
    QList<QWidget *> m_layoutList;
};
