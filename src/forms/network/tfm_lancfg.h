// "Home \ LAN": how the access point gets its own address, a static address with mask and
// gateway, or one from a DHCP server on the network. Changing it restarts the device, so Apply
// guards it: a new static address must not fall into the device's own DHCP pools, must not
// answer a ping, and the switch to DHCP is confirmed first.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class KtSNMPRequest2Edits;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QWidget;
struct KtSNMPError;
struct KtWaitingOptions;

class TFM_LanCfg : public QDialog
{
    Q_OBJECT

public:
    // Builds the LAN, pool and static-table requests and reads them (synchronously); a read
    // error shows its text in StatusBar.
    explicit TFM_LanCfg(QWidget *parent = nullptr);
    ~TFM_LanCfg() override;

    enum IPFrom { StaticManual = 0, DynamicDHCP = 1 }; // positions in CB_IPFrom

    // A refused input: the message (caption "Warning") and the field it is about, cleared
    // when clearField is set, focused in any case.
    struct Refusal {
        QString text;
        QLineEdit *field = nullptr;
        bool clearField = true;
    };

    // ---- Rules of Apply, callable without a message box ----
    // Address, mask and gateway each pass the main window's checks.
    std::optional<Refusal> checkAddressFields() const;
    // The address lies in the device's dynamic DHCP pool (as read at opening).
    bool inDynamicPool() const;
    // The address differs from the one read at opening (as an address, not as a text).
    bool addressChanged() const;

    // What the window remembered at opening (and after each successful write).
    const QString &addressAtOpening() const { return m_addressAtOpening; }
    IPFrom modeAtOpening() const { return m_modeAtOpening; }
    // A ping test or a write is running: the window stays open and takes no second Apply.
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

    KtSNMPRequest2Edits *lanRequest() const { return m_lanRequest.get(); }
    KtSNMPRequest2Edits *poolRequest() const { return m_poolRequest.get(); }
    KtSNMPRequest2Edits *staticPoolRequest() const { return m_staticPoolRequest.get(); }

public Q_SLOTS:
    void Bt_ApplyClick();
    void CB_IPFromChange();
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void FormCreate();
    // Address, mask and gateway are shown unless DHCP is selected.
    void applyModeRules();
    // Closing waits while a ping test or a write runs.
    bool FormCloseQuery();

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
    void rereadLan();
    void refuse(const Refusal &refusal);
    void warn(const QString &text);
    void setBusy(bool busy);
    void showWaiting(const KtWaitingOptions &options);
    void showError(const QString &text);

    std::unique_ptr<KtSNMPRequest2Edits> m_lanRequest;
    std::unique_ptr<KtSNMPRequest2Edits> m_poolRequest;
    std::unique_ptr<KtSNMPRequest2Edits> m_staticPoolRequest;
    QString m_addressAtOpening;
    IPFrom m_modeAtOpening = StaticManual;
    QString m_lastSetError; // text of the LAN request's last failed write
    bool m_busy = false;
    QWidget *m_settings = nullptr; // the panel of visible controls
};

extern TFM_LanCfg *FM_LanCfg;
