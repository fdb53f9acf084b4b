// "Status \ Device Info": a read-only summary of the device. One page per radio with its
// current SSID, channel, super mode, data rate and security, the firmware version, the MAC
// addresses of the device and its two radios, and the Ethernet settings.
#pragma once

#include <QDialog>

#include <array>
#include <memory>

class KtSNMPRequest2Edits;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QWidget;

class TFM_DevInfo : public QDialog
{
    Q_OBJECT

public:
    // Builds the three requests and reads the device: band a and the device synchronously,
    // band g asynchronously. An error stops the set-up and shows its text in StatusBar.
    explicit TFM_DevInfo(QWidget *parent = nullptr);
    ~TFM_DevInfo() override;

    // The eight-address ranges of the two radios, from the device's MAC address text: all but
    // its last digit, then 0 ~ 7 (WLAN0) and 8 ~ F (WLAN1).
    static QString wlan0Range(const QString &mac);
    static QString wlan1Range(const QString &mac);
    // What the 802.11a page shows as super mode: a device without turbo modes ("0") shows
    // every mode but "Disable" as "Super Mode without Turbo".
    static QString superModeShown(const QString &superMode, const QString &turboModes);

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheetA = nullptr;
    QWidget *TabSheetG = nullptr;

    QLineEdit *Ed_SSIDa = nullptr;
    QLineEdit *Ed_Channela = nullptr;
    QLineEdit *Ed_SupModa = nullptr;   // hidden: the super mode as read
    QLineEdit *Ed_SupModusa = nullptr; // the super mode as shown
    QLineEdit *Ed_DatRata = nullptr;
    QLineEdit *Ed_SecLevAutha = nullptr;
    QLineEdit *Ed_SecLevPria = nullptr;
    QPushButton *Bt_Refa = nullptr;

    QLineEdit *Ed_SSIDg = nullptr;
    QLineEdit *Ed_Channelg = nullptr;
    QLineEdit *Ed_SupModg = nullptr;
    QLineEdit *Ed_DatRatg = nullptr;
    QLineEdit *Ed_SecLevAuthg = nullptr;
    QLineEdit *Ed_SecLevPrig = nullptr;
    QPushButton *Bt_Refg = nullptr;

    QGroupBox *GroupBoxDevice = nullptr; // "Device Info"
    QLineEdit *Ed_Firmware = nullptr;
    QLineEdit *Ed_Mac = nullptr;
    QLabel *Label20 = nullptr; // WLAN0 address range
    QLabel *Label22 = nullptr; // WLAN1 address range

    QGroupBox *GroupBoxEthernet = nullptr; // "Ethernet "
    QLineEdit *Ed_GetIP = nullptr;
    QLineEdit *Ed_IPaddr = nullptr;
    QLineEdit *Ed_SubMask = nullptr;
    QLineEdit *Ed_Gate = nullptr;

    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *bandARequest() const { return m_bandA.get(); }
    KtSNMPRequest2Edits *bandGRequest() const { return m_bandG.get(); }
    KtSNMPRequest2Edits *deviceRequest() const { return m_device.get(); }

public Q_SLOTS:
    void Bt_RefaClick();
    void Bt_RefgClick();

private:
    void buildWindow();
    // One radio's page: its six fields in item order and its refresh button. With
    // shownSuperMode the super-mode row shows that field and the bound one stays hidden.
    QWidget *buildBandPage(const std::array<QLineEdit **, 6> &fields, QPushButton *&refresh,
                           QLineEdit **shownSuperMode);
    void FormCreate();
    // The super-mode field of the 802.11a page, after each read of band a.
    void applySuperModeRule();
    void applyMacRanges();
    void showError(const QString &text);

    std::unique_ptr<KtSNMPRequest2Edits> m_bandA;
    std::unique_ptr<KtSNMPRequest2Edits> m_bandG;
    std::unique_ptr<KtSNMPRequest2Edits> m_device;
};

extern TFM_DevInfo *FM_DevInfo;
