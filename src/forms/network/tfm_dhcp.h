// "Advanced \ DHCP Server": the access point's DHCP server. The dynamic page
// sets the pool (start address and count, with the options handed out with it),
// the static page keeps fixed addresses per client MAC in 16 slots of the
// device, and the third page lists the current leases. Apply keeps the pools
// away from each other and from the device's own address; writing DHCP settings
// restarts the device, shown through the waiting window.
//
// The static pool is read twice: every slot into LV_StaticPoolSet (never shown;
// its selected slot is what the editor TFM_StaticIP edits and the slot request
// writes) and the used slots, numbered 1, 2, 3 ..., into User_ListView. After
// every write of a slot both are read again.
#pragma once

#include "networkchecks.h"
#include "tpagewindow.h"

#include <QString>

#include <optional>

class KtSNMPRequest2Edits;
class New_req2Edit;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TFM_StaticIP;
struct KtWaitingOptions;

class TFM_DHCP : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the requests and the editor and reads the device: the settings
    // synchronously, the static pool and the leases in the background.
    explicit TFM_DHCP(QWidget *owner = nullptr);
    ~TFM_DHCP() override;

    enum Function { Disable = 0, Enable = 1 }; // positions in CB_Fuction1 and CB_Fuction2
    enum Page { DynamicPage = 0, StaticPage = 1, LeasePage = 2 };

    // ---- Rules of the dynamic page's Apply, callable without a message box ----
    // Start and range given, the pool covering neither the device nor a static
    // entry, range and lease within their limits.
    std::optional<NetworkChecks::Rejection> checkPoolPlacement() const;
    // Empty mask, gateway, WINS and DNS become "0.0.0.0".
    void fillEmptyOptions();
    // Start, gateway, WINS, DNS and mask valid; the start not the device's
    // address.
    std::optional<NetworkChecks::Rejection> checkPoolOptions() const;

    // ---- What the static pool editor reads ----
    KtSNMPRequest2Edits *slotRequest() const { return m_slots; }
    New_req2Edit *usedRequest() const { return m_used; }
    // The dynamic pool as the device holds it (read, or last written).
    const QString &poolStart() const { return m_poolStart; }
    const QString &poolRange() const { return m_poolRange; }
    // The device's own address as read.
    QString systemAddress() const;
    // Writes the editor's entry (checked already) into its slot, as the device
    // expects: the slot already holding the entry's MAC is emptied first and
    // takes it; then the function and the slot are written and the waiting window
    // shows while both lists are read again. False when a write failed (the
    // reason is in the static page's status bar).
    bool writeStaticEntry();

    // The static lists are being rewritten or read: closing is refused meanwhile
    // while the device answers.
    bool busyFlag() const { return m_busy; }
    TFM_StaticIP *editor() const { return m_editor; }

    QTabWidget *PageControl1 = nullptr;
    // Dynamic page
    QComboBox *CB_Fuction1 = nullptr;
    QLineEdit *Ed_IPAF = nullptr;
    QLineEdit *Ed_PoolRan = nullptr;
    QLineEdit *Ed_SubMask = nullptr;
    QLineEdit *Ed_Gateway = nullptr;
    QLineEdit *Ed_Wins = nullptr;
    QLineEdit *Ed_DNS = nullptr;
    QLineEdit *Ed_DomNa = nullptr;
    QLineEdit *Ed_Lease = nullptr;
    QComboBox *CB_Status = nullptr;
    QLineEdit *Ed_ext = nullptr; // hidden: the device's own address
    QPushButton *Bt_Apply1 = nullptr;
    QPushButton *Bt_Cancel1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // Static page
    QComboBox *CB_Fuction2 = nullptr;
    QTreeWidget *User_ListView = nullptr;    // the used slots, numbered from 1
    QTreeWidget *LV_StaticPoolSet = nullptr; // every slot, never shown
    QPushButton *Bt_Add = nullptr;
    QPushButton *Bt_Set = nullptr;
    QPushButton *Bt_Del = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QPushButton *Bt_Apply2 = nullptr;
    QPushButton *Bt_Cancel2 = nullptr;
    QStatusBar *StatusBar2 = nullptr;
    // "Current IP Mapping List"
    QTreeWidget *LV_DynamicLease = nullptr;
    QPushButton *Bt_RefreshDynamic = nullptr;
    QStatusBar *StatusBar3 = nullptr;
    QTreeWidget *LV_StaticLease = nullptr;
    QPushButton *Bt_RefreshStatic = nullptr;
    QStatusBar *StatusBar4 = nullptr;

    // Shown when Add finds no free slot.
    static QString poolFullText() { return QStringLiteral("The static IP pool is full."); }

public Q_SLOTS:
    void Bt_Apply1Click();
    void Bt_Apply2Click();
    void Bt_AddClick();
    void Bt_SetClick();
    void Bt_DelClick();
    void Bt_RefreshClick();

protected:
    bool FormCloseQuery() override;

private:
    void buildWindow();
    QWidget *buildDynamicPage();
    QWidget *buildStaticPage();
    QWidget *buildLeasePage();
    void FormCreate();
    void createEditor();
    // Both combo boxes follow each other; pool fields, list buttons and lists
    // follow them.
    void applyEnablingRules();
    void functionChosen(int position);

    // Whether either static list is being read.
    bool staticReading() const;
    // Both static lists read again, the numbering from 1.
    void readStaticLists();
    void slotsRead();
    void slotsReadFailed();
    void slotWritten();
    // The static lists and their buttons back in use after an action wrote
    // nothing.
    void becomeIdle();
    void setStaticBusy(bool busy);
    // A synchronous read made by Apply, shown as working; false when it failed.
    bool readNow(KtSNMPRequest2Edits *request);
    // The slot whose MAC the device takes for mac (its comparison), or null.
    QTreeWidgetItem *slotOfMac(const QString &mac) const;
    // Set and Del: selects the slot of the entry chosen in the visible list;
    // false (nothing done) without an entry or while a list is read.
    bool takeChosenEntry();
    // Writes the slot request with the fields as they are; reloadAfter: the lists
    // are read again once it succeeded.
    bool writeSlot(bool reloadAfter);
    void showWaiting(const KtWaitingOptions &options);

    // Owned by the page window.
    KtSNMPRequest2Edits *m_function = nullptr;
    KtSNMPRequest2Edits *m_pool = nullptr;
    KtSNMPRequest2Edits *m_address = nullptr;
    KtSNMPRequest2Edits *m_slots = nullptr;
    New_req2Edit *m_used = nullptr;
    KtSNMPRequest2Edits *m_dynamicLeases = nullptr;
    KtSNMPRequest2Edits *m_staticLeases = nullptr;
    TFM_StaticIP *m_editor = nullptr; // a child of this window

    bool m_busy = true;        // set until the static pool was first read
    bool m_slotsKnown = false; // the last read of every slot succeeded
    bool m_reloadAfterSet = true;
    QString m_poolStart;
    QString m_poolRange;
    QWidget *m_poolFields = nullptr;
};

extern TFM_DHCP *FM_DHCP;
