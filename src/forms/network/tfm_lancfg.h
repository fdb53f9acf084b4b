// "Home \ LAN": how the access point gets its own address, a static address with mask and
// gateway, or one from a DHCP server on the network. Changing it restarts the device, so Apply
// guards it: a new static address must not fall into the device's own DHCP pools, must not
// answer a ping, and the switch to DHCP is confirmed first.
#pragma once

#include "tpagewindow.h"

#include <QString>

#include <optional>

class KtSNMPRequest2Edits;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QWidget;
struct KtWaitingOptions;

class TFM_LanCfg : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the LAN, pool and static-table requests and reads them (synchronously); a read
    // error shows its text in StatusBar.
    explicit TFM_LanCfg(QWidget *owner = nullptr);
    ~TFM_LanCfg() override;

    enum IPFrom { StaticManual = 0, DynamicDHCP = 1 }; // positions in CB_IPFrom

    // ---- Rules of Apply, callable without a message box ----
    // Address, mask and gateway each pass the main window's checks; a refused field is
    // cleared.
    std::optional<Refusal> checkAddressFields() const;
    // The address lies in the device's dynamic DHCP pool (as read at opening).
    bool inDynamicPool() const;
    // The address differs from the one read at opening (as an address, not as a text).
    bool addressChanged() const;

    // What the window remembered at opening (and after each successful write).
    const QString &addressAtOpening() const { return m_addressAtOpening; }
    IPFrom modeAtOpening() const { return m_modeAtOpening; }
    // The ping test runs (the event loop with it): the window stays open and takes no second
    // Apply.
    bool isBusy() const { return m_busy; }

    QComboBox *CB_IPFrom = nullptr;
    QLabel *La_IpAddr = nullptr;
    QLineEdit *ED_IpAddr = nullptr;
    QLabel *La_SubMask = nullptr;
    QLineEdit *ED_SubMask = nullptr;
    QLabel *La_DefGw = nullptr;
    QLineEdit *ED_DefGw = nullptr;
    QComboBox *ED_Restart = nullptr;  // hidden: sysRestart
    QLineEdit *Ed_IPAF = nullptr;     // hidden: first address of the dynamic pool
    QLineEdit *Ed_PoolRan = nullptr;  // hidden: addresses in the dynamic pool
    QTreeWidget *LV_StaticPool = nullptr; // hidden: the static pool, only its IP column is used
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Cancel = nullptr;
    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *lanRequest() const { return m_lanRequest; }
    KtSNMPRequest2Edits *poolRequest() const { return m_poolRequest; }
    KtSNMPRequest2Edits *staticPoolRequest() const { return m_staticPoolRequest; }

public Q_SLOTS:
    void Bt_ApplyClick();
    void CB_IPFromChange();

private:
    void buildWindow();
    void FormCreate();
    // Address, mask and gateway are shown unless DHCP is selected.
    void applyModeRules();

    void ApplyStatic();
    void ApplyDynamic();
    // The ping test of a changed address; false when Apply must end (in use, or the test could
    // not be made and the user did not want the address set untested).
    bool passesPingTest();
    // Shows the judgement in the waiting window, then whether a slot of the static pool (just
    // read again) holds the address.
    bool inStaticPool();
    // Writes the LAN request; the status bar says how it went.
    bool writeLan(bool withAddresses);
    void rememberDeviceFacts();
    // A synchronous read started by Apply, shown as working; false when it failed (its error
    // is in the status bar).
    bool read(KtSNMPRequest2Edits *request);
    void warn(const QString &text);
    void setBusy(bool busy);
    void showWaiting(const KtWaitingOptions &options);

    // Owned by the page window.
    KtSNMPRequest2Edits *m_lanRequest = nullptr;
    KtSNMPRequest2Edits *m_poolRequest = nullptr;
    KtSNMPRequest2Edits *m_staticPoolRequest = nullptr;
    QString m_addressAtOpening;
    IPFrom m_modeAtOpening = StaticManual;
    QString m_lastSetError; // text of the LAN request's last failed write
    bool m_busy = false;
    QWidget *m_settings = nullptr; // the panel of visible controls
};

extern TFM_LanCfg *FM_LanCfg;
