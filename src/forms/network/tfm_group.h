// "Advanced \ Grouping": load balancing between the device's radios and the user limit that
// goes with it. The link-integrity switch and the Ethernet link status are read and written
// with the page but not shown.
#pragma once

#include "tpagewindow.h"

#include <optional>

class KtSNMPRequest2Edits;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

class TFM_Group : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the request, reads the device and applies the load-balance rule.
    explicit TFM_Group(QWidget *owner = nullptr);
    ~TFM_Group() override;

    enum Switch { Disable = 0, Enable = 1 }; // positions of CB_LoadB

    static QString userLimitMessage();

    // The user limit is a number from 0 to 64; otherwise refused and cleared.
    std::optional<Refusal> checkUserLimit() const;
    // With load balancing the user limit can be edited (window colour), without it it is
    // read-only (button-face colour).
    void applyLoadBalanceRule();

    QComboBox *CB_LoadB = nullptr;  // "Load Balance"
    QLineEdit *Ed_UsrL = nullptr;   // "User Limit (0-64)"
    QLabel *La_LinkInt = nullptr;   // hidden: the link-integrity label
    QComboBox *CB_LinkInt = nullptr; // hidden: LinkIntegrate
    QLineEdit *Ed_EthLink = nullptr; // hidden: EthernetLinkStatus
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QPushButton *Bt_Cancel = nullptr;
    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *request() const { return m_request; }

public Q_SLOTS:
    void Bt_ApplyClick();
    void Bt_RefreshClick();
    void Bt_CancelClick();

private:
    void buildWindow();
    void FormCreate();
    void readDevice();

    KtSNMPRequest2Edits *m_request = nullptr; // owned by the page window
};

extern TFM_Group *FM_Group;
