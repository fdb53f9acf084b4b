// "Static Pool Settings": the editor of one slot of the DHCP server's static
// pool, opened by "Advanced \ DHCP Server" as "Static IP Pool Adding" (Add: the
// first free slot) or "Static IP Pool Setting" (Set: the chosen entry's slot).
// Its fields are bound to the DHCP window's slot request, which owns them:
// selecting a slot fills them, writing the request collects them. Apply checks
// the entry against the other slots, the dynamic pool and the device's own
// address, then has the DHCP window write it.
#pragma once

#include "networkchecks.h"
#include "tpagewindow.h"

#include <QString>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class TFM_DHCP;

// One static entry as the editor's fields hold it.
struct StaticEntry {
    QString ip;
    QString mac;
    QString mask;
    QString gateway;
    QString dns;
    QString wins;
    QString domain;
    int status = 0; // position in CB_Stat: 0 "OFF", 1 "ON"

    // What a free slot holds.
    static StaticEntry freeSlot();
    bool operator==(const StaticEntry &other) const;
};

class TFM_StaticIP : public TPageWindow
{
    Q_OBJECT

public:
    explicit TFM_StaticIP(TFM_DHCP *dhcp);
    ~TFM_StaticIP() override;

    enum StatusPosition { StatusOff = 0, StatusOn = 1 }; // positions in CB_Stat

    // Titles and the add marker before the editor is shown (on the slot selected
    // already).
    void prepareAdding();
    // Remembers the selected slot's values as the old ones.
    void prepareSetting();
    bool isAdding() const { return m_adding; }
    const StaticEntry &oldEntry() const { return m_old; }

    StaticEntry entry() const;
    void setEntry(const StaticEntry &entry);

    // ---- Rules of Apply, in their order; each returns the refusal and its
    // caption ---- Another slot holds the address.
    std::optional<NetworkChecks::Rejection> checkUniqueAddress() const;
    // Mask, gateway, WINS and DNS: valid, "0.0.0.0" or empty.
    std::optional<NetworkChecks::Rejection> checkOptions() const;
    std::optional<NetworkChecks::Rejection> checkAddress() const;
    std::optional<NetworkChecks::Rejection> checkMac() const;
    std::optional<NetworkChecks::Rejection> checkOutsideDynamicPool() const;
    std::optional<NetworkChecks::Rejection> checkNotSystemAddress() const;
    // Setting: the address kept, the MAC changed.
    std::optional<NetworkChecks::Rejection> checkSettingKeepsMac() const;
    // The address is tested with a ping unless a Set keeps it: the slot's own
    // client answers for it then.
    bool needsPingTest() const;

    QLabel *LA_Index = nullptr; // hidden: the row index of the slot being edited
    QLineEdit *Ed_AsgIP = nullptr;
    QLineEdit *Ed_AsgMac = nullptr;
    QLineEdit *Ed_SubMask = nullptr;
    QLineEdit *Ed_Gatway = nullptr;
    QLineEdit *Ed_DNS = nullptr;
    QLineEdit *Ed_Wins = nullptr;
    QLineEdit *Ed_DomNa = nullptr;
    QComboBox *CB_Stat = nullptr;
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Cancel = nullptr;
    QStatusBar *StatusBar = nullptr;

public Q_SLOTS:
    void Bt_ApplyClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();
    // false when Apply must end.
    bool passesPingTest();
    void setBusy(bool busy);

    TFM_DHCP *m_dhcp = nullptr;
    bool m_adding = true;
    bool m_busy = false;
    StaticEntry m_old;
};

extern TFM_StaticIP *FM_StaticIP;
