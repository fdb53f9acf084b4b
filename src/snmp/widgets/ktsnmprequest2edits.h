// Items (or parts of octet-string items) bound to a window's controls: a read fills them, a
// write collects them, bound edits stay under their format constraints, and a table can be
// shown in a list view whose selected row the controls then edit.
//
// Control kinds: edit = QLineEdit (QPlainTextEdit also takes a whole text), combo box and list
// box = QComboBox, check box = QCheckBox, radio group = KtRadioGroup, label and static text =
// QLabel, list view = QTreeWidget. How each kind shows and gives back a value: ktboundcontrols.h.
//
// What a window relies on:
// - A read fills the controls with what the device sent, as it is: an edit's typing filter is
//   for the user's keys only, so a VLAN ID of "-1" is shown as "-1" and written back as "-1"
//   unless the user changes it (the window decides what to do with such a value).
// - Typing limits the window changes after binding (the WEP key edits follow key type and
//   size): KtTypingLimit::SetLimit; the format's own length stays in force beside it.
// - A list view's columns hold the items they were built for (see BindListView); the rows can
//   be searched by an item's value (FindRow, SelectRow).
// - Get and Set refuse while the request is busy (KtSNMPRequest2Controls::IsBusy).
#pragma once

#include "ktsnmprequest2controls.h"

#include <QList>
#include <QPointer>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class KtEditConstraint;
class KtOptionList;
class QComboBox;
class QCheckBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class KtRadioGroup;

class KtSNMPRequest2Edits : public KtSNMPRequest2Controls
{
public:
    // A user hook: before-get, before-set, after-get, after-set.
    using Hook = std::function<void(KtSNMPRequest2Edits *request)>;
    // The list view's select-item handler: (row, selected). selected is false when the
    // selection went away.
    using SelectHandler = std::function<void(QTreeWidgetItem *item, bool selected)>;

    // One binding of an item (or a part of it) to its controls.
    struct Binding {
        qint32 item = 0;     // index of the item in the list
        qint32 part = 0;     // byte offset of the part inside the octet-string value; 0: whole
        qint32 partType = 0; // syntax of the part; the item's syntax for a whole value
        const KtOptionList *optionList = nullptr; // the binding's own list, or null (not owned)
        qint32 controlCount = 0;
        QVector<int> partList; // bit numbers shown by check boxes, or a number list; may be empty
        QList<QPointer<QWidget>> controls;

        bool isWhole(int itemSyntax) const { return part == 0 && partType == itemSyntax; }
    };

    explicit KtSNMPRequest2Edits(QWidget *owner = nullptr);
    KtSNMPRequest2Edits(QWidget *owner, const KtSNMPVarItem *table, int itemType,
                        int keyCount = 0);
    ~KtSNMPRequest2Edits() override;

    // ---- Binding (each returns the binding's position in Bindings()) ----
    // format: one specifier per edit ("%u{n1x65535}", or several: "%u%u%u%u" for an address
    // over four edits); each "%" followed by one of "shiufn" takes the next edit. The format
    // goes to the constraints. Fewer edits than specifiers: KtException -522. An empty format
    // binds the first edit without a constraint. A typing limit the window sets or changes
    // later (KtTypingLimit::SetLimit) joins the format's length, it does not replace it.
    int BindEdit(int item, const QString &format, const QList<QLineEdit *> &edits);
    int BindEdit(int item, const QString &format, QLineEdit *edit);
    template <typename... More>
    int BindEdit(int item, const QString &format, QLineEdit *edit, QLineEdit *second,
                 More *...more)
    {
        return BindEdit(item, format, QList<QLineEdit *>{edit, second, more...});
    }
    // numberText: comma-separated numbers kept as the part list; as many controls are taken as
    // there are numbers. Check boxes then show the listed bits (bit 0 = most significant bit of
    // the first byte).
    int BindEditList(int item, const QString &numberText, const QList<QWidget *> &controls);
    // Makes the combo box a drop-down list, then binds the whole value through the item's
    // option list (KtException -520 without one).
    int BindComboBox(int item, QComboBox *comboBox);
    int BindCheckBox(int item, QCheckBox *checkBox);
    int BindRadioGroup(int item, KtRadioGroup *radioGroup);
    // Whole value to any control kind above.
    int BindControl(int item, QWidget *control);
    // The general form. part: byte offset in the octet-string value (0 with partType equal to
    // the item's syntax: the whole value); partType: syntax of the part (193..198 for the small
    // parts). A combo box or radio group is filled with the option list's labels (the
    // binding's own, else for a whole value the item's; none: -520). A prefix option list on a
    // combo box needs secondControl, an edit receiving the rest of the value (none: -522).
    int BindPart(int item, int part, int partType, const KtOptionList *optionList,
                 QWidget *control, QWidget *secondControl = nullptr);
    // Drops every binding of the item and takes the constraints off its edits.
    void Unbind(int item);
    // Drops the bindings from position on (Bindings().size() taken before a panel bound its
    // controls) and takes the constraints off their edits; those made before stay. A panel
    // whose building failed gives the request back as it found it (TConfigForm::AddEditor).
    void UnbindFrom(int position);
    // Shows the table in the view: read-only, whole rows selected, report style; one hidden
    // column per zero-width item, then one column per visible item, captioned with the item
    // name (a view that already has as many columns keeps its own captions). Which item each
    // column holds is fixed then (ColumnItems): a window may switch items between readwrite,
    // readonly and invalid afterwards (the multi-SSID window does before its Save) and every
    // read still puts each value under its own header, and a selected row still goes back
    // into its own items. A column whose item is invalid when a row arrives stays empty in
    // that row (the item was not read). Only a list that gains or loses column items (an item
    // of access 0 made readable) is laid out again, at the next read.
    // Selecting a row runs previousSelectHandler, enables the controls when enableOnSelect is
    // set, takes the row into the items and fills the controls. (Qt slots the window
    // connected to the view before this call run before that, later ones after.)
    void BindListView(QTreeWidget *view, bool enableOnSelectRows = true);
    // The form that owns constraint message boxes and takes their focus moves, when the bound
    // edits sit on another form than the request's owner.
    void SetConstraintOwner(QWidget *form);

    // ---- Controls ----
    // Item values into the controls of the item's bindings (-1: all). Invalid items are left
    // alone; "(NULL)" leaves multi-edit controls and bit check boxes as they were. Edits show
    // the value exactly as the device sent it: their typing filter is for the user's keys only
    // (KtEditConstraint::Fill), so a VLAN ID of "-1" is shown, kept and written back as "-1"
    // unless the user changes it. A filled edit under a constraint takes the text as its last
    // accepted one, so a refused entry brings back the device's value. KtException -517 ..
    // -522 on bad bindings or values.
    void FillControls(int item = -1);
    // Controls into the values of writable items (-1: all), in list order. Items without
    // bindings keep their value. A whole-value binding replaces the whole value; a part is
    // written over the value's bytes at its offset (zeros appended as needed); bit check boxes
    // set or clear only their own bits.
    void CollectControls(int item = -1);
    // Enabled state of every bound control.
    void EnableControls(bool enabled);
    // Copies the row's texts into the items, in column order. A caption cell that shows
    // something else than its value (a row number) gives back the value it replaced.
    void TakeRowIntoItems(QTreeWidgetItem *row);

    // ---- Rows of the bound list view ----
    // For windows that pick a row by what it holds rather than by a click: the DHCP window
    // selects the static-pool slot whose IP equals the chosen used entry's, the MAC-filter
    // window the slot whose MAC equals the chosen row's. Values are compared as the rows
    // show them (the value texts of the read: dotted quads, upper-case hex for MAC addresses);
    // a numbered caption (New_req2Edit) counts with the value it replaced, not the number.
    //
    // Item indexes in column order, as fixed when the columns were made (empty without a
    // list view): zero-width items first, then the visible ones.
    const QVector<int> &ColumnItems() const { return m_columnItems; }
    // The view column that holds the item, or -1 (no list view, or the item has no column).
    int ColumnOf(int item) const;
    // The item's value in the row; empty for a null row or an item without a column.
    QString RowValue(const QTreeWidgetItem *row, int item) const;
    // The first row (top to bottom) whose item holds text, or null.
    QTreeWidgetItem *FindRow(int item, const QString &text,
                             Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    // Selects FindRow's row as a click would and scrolls it into view: previousSelectHandler
    // runs, the controls are enabled (enableOnSelect), the row goes into the items and the
    // controls are filled from it, also when the row was selected already (so they drop what
    // the user typed since). Returns the row, or null when no row holds text: then nothing
    // changes (the selection, the items and the controls stay as they were).
    QTreeWidgetItem *SelectRow(int item, const QString &text,
                               Qt::CaseSensitivity cs = Qt::CaseSensitive);

    // ---- The record ----
    Hook beforeGetHook; // start of every Get, after the view was cleared
    Hook beforeSetHook; // start of every Set
    Hook afterGetHook;  // end of every read that delivered its rows
    Hook afterSetHook;  // after every successful write
    // Called first by the view's select handler; BindListView keeps it.
    SelectHandler previousSelectHandler;
    QPointer<QTreeWidget> listView;
    // After a read of an MVT_FMV table into the view the controls stay disabled until a row
    // is selected.
    quint8 enableOnSelect = 1;

    const std::vector<Binding> &Bindings() const { return m_bindings; }
    KtEditConstraint &Constraints() { return *m_constraints; }

    // ---- Virtual operations ----
    void BeforeGet() override;
    void OnBeforeSet() override;
    void OnRow() override;
    void BeforeSet() override;
    void AfterGet() override;
    void AfterSet() override;
    // The view's selection changed: row is the selected row, or null.
    virtual void ListViewSelectItem(QTreeWidgetItem *row, bool selected);

protected:
    // Makes the view's columns when it has fewer than there are column items (see
    // BindListView for when the item of each column is chosen).
    void BuildColumns();
    // Appends a row of the items' values; caption replaces the text of the first cell when
    // given (the row keeps the value for TakeRowIntoItems).
    QTreeWidgetItem *AppendRow(const QString *caption = nullptr);
    // Lets the window paint while a long table arrives.
    static void ProcessPendingMessages();

private:
    int addBinding(Binding binding);
    void dropBinding(std::vector<Binding>::iterator binding);
    // The binding's own option list, else for a whole value the item's.
    const KtOptionList *optionsOf(const Binding &binding) const;
    void fillBinding(const Binding &binding);
    void collectItem(int item);
    void onSelectionChanged();
    // Column items as the access flags give them now.
    QVector<int> columnItemsByAccess() const;
    // What a new row shows for the item.
    QString cellText(int item) const;
    // The value a row holds in a column (a numbered caption gives back the value it replaced).
    static QString cellValue(const QTreeWidgetItem *row, int column);

    std::vector<Binding> m_bindings;
    QVector<int> m_columnItems;
    std::unique_ptr<KtEditConstraint> m_constraints;
    QList<QMetaObject::Connection> m_viewConnections;
};
