// A scrolling grid with one row per item of a request's list: a check box choosing the row for
// the next write, the item's name and an editor bound to the item.
#pragma once

#include <QColor>
#include <QList>
#include <QVector>
#include <QWidget>

class KtSNMPRequest2Edits;
class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class TCtrlBtnPanel;

class TEditsPanel : public QWidget
{
    Q_OBJECT

public:
    // What a row edits: read-only or writable, with or without an option list.
    enum RowKind : int {
        ReadOnlyEdit = 1, // read-only item without option list: a read-only edit
        WritableEdit = 2, // writable item without option list: an edit
        WritableList = 3, // writable item with an option list: a drop-down list box
        ReadOnlyList = 4, // read-only item with an option list: a read-only edit with labels
    };

    struct Row {
        int kind = ReadOnlyEdit;
        QString format;            // value format of the edit
        QWidget *editor = nullptr; // QLineEdit, or QComboBox for WritableList
        QCheckBox *checkBox = nullptr;
        QLabel *label = nullptr;
        bool readOnly = true; // current state (a dependency may change it)
    };

    // A row that is read-only while a list box shows a given entry.
    struct Dependency {
        QComboBox *listBox = nullptr;
        int itemIndex = 0; // the list box's selected index that makes the row read-only
        int row = 0;
    };

    static constexpr int DefaultEditorWidth = 121;
    static constexpr int CheckBoxWidth = 20;
    static constexpr int WritableMaxLength = 42;

    // Builds the rows from the request's list and binds their editors to it. request may be
    // null (an empty grid); it is not owned.
    TEditsPanel(QWidget *parent, KtSNMPRequest2Edits *request);

    KtSNMPRequest2Edits *EditCtrl() const { return m_editCtrl; }
    // The request is going away before the grid: nothing touches it any more.
    void ForgetRequest() { m_editCtrl = nullptr; }

    int EditorWidth() const { return m_editorWidth; }
    // New value-editor width; with layout the rows are laid out again (with resizing).
    void SetEditorWidth(int width, bool layout = true);

    // Shows and hides the bar's buttons for this grid and lays the bar out again. Without a
    // request: KtException "TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!".
    void ArrangeCtrlBtn(TCtrlBtnPanel *bar);

    int CheckedCount() const; // visible check boxes that are checked
    int EnabledCount() const; // visible check boxes that are enabled
    // True when the row's editor text is empty (an editor of an unknown kind counts as empty).
    bool IsEmpty(int row) const;

    int RowCount() const { return m_rows.size(); }
    const Row &RowAt(int row) const { return m_rows.at(row); }

    // Appearance of every row, writable rows' check boxes checked per checkDefault.
    void ApplyAppearance(int checkDefault);
    // Appearance of one row as read-only or writable.
    void SetRowReadOnly(int row, bool readOnly, int checkDefault = 0);
    // Editors to the value-editor width, rows stacked from the top; with resizing the panel
    // takes the size of what it shows.
    void VerticalLayout(bool resizing);

    // Rows made read-only by list boxes; empty unless a window fills it.
    QList<Dependency> dependencies;

    // Colours of read-only editors.
    QColor readOnlyTextColor = Qt::black;
    QColor readOnlyBackgroundColor;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The row's check box was ticked or cleared, by the user or by the grid itself.
    void checkBoxChanged(int row);

private:
    void buildRows();
    void onListBoxChanged(QComboBox *listBox);
    bool itemHidden(int row) const;

    KtSNMPRequest2Edits *m_editCtrl = nullptr;
    QScrollArea *m_scrollBox = nullptr;
    QWidget *m_rowArea = nullptr;
    QVector<Row> m_rows;
    int m_editorWidth = DefaultEditorWidth;
    QSize m_extent;
};
