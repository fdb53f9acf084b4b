// The MAC address list of one band ("MAC Address Table", opened from "Advanced \ Filters"): the
// device keeps 32 slots per band, a free slot holding "000000000000". The window shows the used
// slots numbered 1, 2, 3 ... (User_ListView) and keeps every slot in a list behind it
// (Slot_ListView), whose selected slot the MAC dialog (TFM_MACAddr) edits and the slot request
// writes. Add fills the first free slot, Set changes the chosen entry's slot, Del writes the
// filler into it; after every write both lists are read again.
#pragma once

#include "tpagewindow.h"

class KtSNMPRequest2Edits;
class New_req2Edit;
class QGroupBox;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;
class TFM_MACAddr;

class TFM_FilterMAC : public TPageWindow
{
    Q_OBJECT

public:
    // band: 1 (802.11a) or 2 (802.11g). Builds both requests and the MAC dialog, and starts
    // reading both lists.
    TFM_FilterMAC(QWidget *owner, int band);
    ~TFM_FilterMAC() override;

    // The filler of a free slot.
    static QString freeSlot() { return QStringLiteral("000000000000"); }
    // Shown when Add finds no free slot.
    static QString tableFullText() { return QStringLiteral("The MAC address table is full."); }

    QGroupBox *GroupBox1 = nullptr;        // "Access Control List"
    QTreeWidget *User_ListView = nullptr;  // the used slots, numbered from 1
    QTreeWidget *Slot_ListView = nullptr;  // every slot, never shown
    QPushButton *Bt_Add = nullptr;
    QPushButton *Bt_Set = nullptr;
    QPushButton *Bt_Del = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QStatusBar *StatusBar = nullptr;

    int band() const { return m_band; }
    // A write or a read the window waits for: closing is refused meanwhile while the device
    // answers.
    bool busyFlag() const { return m_busy; }
    KtSNMPRequest2Edits *slotRequest() const { return m_slots; }
    New_req2Edit *usedRequest() const { return m_used; }
    TFM_MACAddr *macDialog() const { return m_dialog; }

public Q_SLOTS:
    void Bt_AddClick();
    void Bt_SetClick();
    void Bt_DelClick();
    void Bt_RefreshClick();

protected:
    bool FormCloseQuery() override;

private:
    void buildWindow();
    void FormCreate();
    // Whether either list is being read.
    bool reading() const;
    // Both lists read again from the first row number; the four buttons wait for the slots.
    void readBoth();
    // Selects the first slot (in slot order) whose MAC is mac; false when none holds it.
    bool selectSlot(const QString &mac);
    // The MAC of the entry chosen in the visible list; empty without one.
    QString chosenMac() const;
    // Set and Del: selects the slot of the entry chosen in the visible list and marks the
    // window busy; false (nothing done) without an entry or while a list is read.
    bool takeChosenEntry();
    // Opens the MAC dialog on the selected slot.
    void editSlot(const QString &title);
    // Set and Del follow the visible list's selection.
    void applySelectionRule();
    // The dialog closed without writing, or a write failed: nothing is on its way any more.
    void becomeIdle();
    void slotsRead();
    void slotsWritten();

    int m_band = 1;
    bool m_busy = false;
    KtSNMPRequest2Edits *m_slots = nullptr; // owned by the page window
    New_req2Edit *m_used = nullptr;         // owned by the page window
    TFM_MACAddr *m_dialog = nullptr;        // a child of this window
};

extern TFM_FilterMAC *FM_FilterMAC;
