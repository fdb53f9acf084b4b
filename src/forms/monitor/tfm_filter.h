// "Advanced \ Filters": per band, whether wireless access goes by the band's MAC address list
// (accept or reject the listed stations, or no list), and the WLAN partition switches: stations
// of a band talking to each other, Ethernet hosts reaching the wireless stations, and stations
// of the two bands talking to each other (only on a device with both radios). "Access Control
// List" opens the band's MAC address list (TFM_FilterMAC).
//
// Only the variables of the bands the device has are read and written; a box the device never
// filled shows nothing and is not written, so a failed read cannot become "Accept" (which would
// shut out every station not on the list) on Apply.
#pragma once

#include "tpagewindow.h"

#include <optional>

class KtSNMPRequest2Edits;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QWidget;

class TFM_Filter : public TPageWindow
{
    Q_OBJECT

public:
    enum Band { BandA = 1, BandG = 2 };
    // adAccSettingWirelessAccessControl, in the order the box lists them.
    enum AccessControl { Accept = 1, Reject = 2, Disable = 3 };

    // Builds the request over the bands the device has, binds it and reads it.
    explicit TFM_Filter(QWidget *owner = nullptr);
    ~TFM_Filter() override;

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheetA = nullptr;
    QWidget *TabSheetG = nullptr;
    QComboBox *CB_ACa = nullptr;    // "Access Control"
    QComboBox *CB_ACg = nullptr;
    QPushButton *Bt_ACLa = nullptr; // "Access Control List"
    QPushButton *Bt_ACLg = nullptr;
    QComboBox *CB_InSCa = nullptr;  // "Internal Station Connection "
    QComboBox *CB_InSCg = nullptr;
    QComboBox *CB_E2WAa = nullptr;  // "Ethernet to WLAN Access"
    QComboBox *CB_E2WAg = nullptr;
    QComboBox *CB_InSCBa = nullptr; // between 802.11a and 802.11g (the first tab shows it)
    QComboBox *CB_InSCBg = nullptr; // always shows what CB_InSCBa shows; never visible
    QLabel *La_InSCBa = nullptr;
    QLabel *La_InSCBg = nullptr;
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QPushButton *Bt_Close = nullptr;
    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *request() const { return m_request; }
    // The band whose MAC address list is open (or was opened last); nothing before.
    std::optional<Band> openBand() const { return m_openBand; }

    static QString listCaption(Band band); // "IEEE802.11a MAC Address Table", ...

public Q_SLOTS:
    void Bt_ApplyClick();
    void Bt_RefreshClick();
    void Bt_ACLaClick();
    void Bt_ACLgClick();

private:
    struct BandControls {
        QWidget *page = nullptr;
        QComboBox *accessControl = nullptr;
        QPushButton *list = nullptr;
        QComboBox *internal = nullptr;
        QComboBox *ethernet = nullptr;
        QComboBox *between = nullptr;
        QLabel *betweenLabel = nullptr;
    };

    QWidget *buildBandPage(Band band, BandControls &controls);
    void buildWindow();
    void FormCreate();
    BandControls controlsOf(Band band) const;
    void bindBand(Band band);
    // Reads the request inside a working indication; returns whether it succeeded.
    bool read();
    // A band's "Access Control List" button is disabled while its access control shows
    // "Disable".
    void applyListButtonRule();
    // Both between-bands boxes show the position the user chose in one of them.
    void followBetweenBands(int position);
    void openMacList(Band band);

    KtSNMPRequest2Edits *m_request = nullptr; // owned by the page window
    bool m_bothRadios = true;
    std::optional<Band> m_openBand;
};

extern TFM_Filter *FM_Filter;
