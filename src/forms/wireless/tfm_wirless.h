// "Home \ Wireless": for each radio the SSID, SSID broadcast, channel, automatic channel scan,
// radio on/off and the AP mode with the peers it needs (the remote access points of a WDS link,
// the root access point of a repeater, the network a client joins), and a site survey that
// lists the neighbours able to take part in WDS. Apply checks the page, writes it in a fixed
// order and shows the waiting window while the device restarts its radios.
//
// The AP mode list of each band comes from the main window's capability masks (APModeSupport,
// APModeSupport11g); the channel list from the super mode and, in the WDS modes, the device's
// WDS channel lists (RadioFacts, shared with the performance window).
//
// Where the repeater's peers go on the device:
// - the root AP MAC address (AP Repeater) is adAPRRootAPMACAddress of the band
//   (.4.2.1.1.3.b); Apply writes it just before the band's AP mode, so a device without the
//   variable refuses it before the radio changes mode;
// - the SSID of an AP Client is the SSID the radio uses (hSSID of the band): the repeater SSID
//   edit shows it, is the one the user edits in client mode, and Apply writes it in place of
//   the hidden primary SSID.
//
// The security half of each page is TWirlessSecurity (one per band), called at fixed points.
#pragma once

#include "tpagewindow.h"
#include "twirlesssecurity.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <memory>
#include <optional>

struct KtSNMPError;
class KtSNMPRequest2Controls;
class KtSNMPRequest2Edits;
class New_req2Edit;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

class TFM_Wirless : public TPageWindow
{
    Q_OBJECT

public:
    enum Band : int { BandA = 0, BandG = 1 };
    static constexpr int BandCount = 2;
    static constexpr int RemoteMacCount = 8;

    // The controls of one band's page (the Part's names are the object names: "Ed_SSIDa" and
    // "Ed_SSIDg", "GroupBox1" and "MACGroup_g", ...).
    struct BandPage {
        QWidget *sheet = nullptr;       // TS_11a / TS_11g
        QFormLayout *fields = nullptr;  // the rows from the frequency to the AP mode
        QLineEdit *frequency = nullptr; // Ed_RaFreqa: hRadioFrequency, read only
        QLabel *ssidLabel = nullptr;
        QLineEdit *ssid = nullptr;            // Ed_SSIDa: hSSID
        QComboBox *ssidBroadcast = nullptr;   // CB_SSIDBcasta
        QComboBox *channel = nullptr;         // CB_Chana: the channels of the chosen list
        QLineEdit *channelValue = nullptr;    // Ed_Chana (hidden): hChannel
        QComboBox *autoChannelScan = nullptr; // CB_AuSc / CB_AuScg
        QComboBox *radioWave = nullptr;       // CB_RadWava
        QLabel *apModeLabel = nullptr;
        QComboBox *apModeShown = nullptr; // ED_APModeTempComboBox: built from the capability mask
        QComboBox *apMode = nullptr;      // ED_APModeComboBox (hidden): adAPMode
        QComboBox *superMode = nullptr;   // AD_SuperMode (hidden): adSuperMode, read only here
        QLineEdit *channelList = nullptr; // Ed_ChanLista (hidden)
        QLineEdit *dynamicList = nullptr; // DyChListEdita (hidden)
        QLineEdit *staticList = nullptr;  // StChListEdita (hidden)
        QLineEdit *wdsChannelList = nullptr;    // EdWDSChannelList_a (hidden)
        QLineEdit *wdsDynamicList = nullptr;    // EdWDSDynamicList_a (hidden)
        QLineEdit *wdsStaticList = nullptr;     // EdWDSStaticList_a (hidden)
        QLineEdit *wdsChannelSupport = nullptr; // EdWDSChannelSup_a (hidden): "1" = WDS lists
        QLineEdit *wdsSiteSurvey = nullptr;     // EdWDSSite_a (hidden)
        QWidget *securityArea = nullptr;        // where TWirlessSecurity puts its panels
        QGroupBox *wdsGroup = nullptr;          // GroupBox1 / MACGroup_g: " WDS with AP "
        std::array<QLineEdit *, RemoteMacCount> remoteMacs{}; // Ed_ReMAddra0 ... Ed_ReMAddra7
        QGroupBox *repeaterGroup = nullptr;                   // GroupBox2 / Repea_Client_Group_g
        QLineEdit *rootMac = nullptr;       // Ed_RoMAddra0: the root AP (AP Repeater)
        QLineEdit *repeaterSsid = nullptr;  // Ed_SSID / Ed_SSID_11g: the SSID (AP Client)
        QLineEdit *clientRootMac = nullptr; // Ed_CRoMAddra0 (hidden), always read only
        QGroupBox *siteGroup = nullptr;     // GroupBox3 / SiteGroupBoxg: " Site Survey "
        QTreeWidget *siteList = nullptr;    // SiteServeyListView
        QPushButton *siteScan = nullptr;    // SiteScan: "Scan"
        QComboBox *siteStart = nullptr;     // SiteScanComboBox (hidden): adRefresh
        QComboBox *mssidState = nullptr;    // MSSIDaCoBox (hidden): adMSSIDState
    };

    // One row of the multi-SSID mirror (the device's multi-SSID table).
    struct MssidRow {
        int band = 0;  // 1 = 802.11a, 2 = 802.11g
        int index = 0; // 1 = primary SSID, 2 .. 8 = MSSID 1 .. MSSID 7
        QString state; // "Enable" / "Disable"
        QString ssid;
        QString authentication; // "Open System", "Shared Key", "Both", "WPA-Personal", ...
        QString encryption;     // "Enable" / "Disable"
        QString keyIndex;       // "First" ... "Fourth"
    };

    explicit TFM_Wirless(QWidget *owner = nullptr);
    ~TFM_Wirless() override;

    // ---- Rules that need no device (tests call them directly) ----
    // The names of the AP mode list for a capability mask (decimal text): 31 gives "Access
    // Point", "PtP Bridge", "PtMP Bridge", "AP Repeater", "AP Client"; 127 gives "Access
    // Point", "WDS with AP", "WDS", "AP Repeater", "AP Client"; a mask whose highest bit is not
    // 4 or 6 gives none.
    static QStringList apModeChoices(const QString &maskText);
    // The entry of the list that shows the device's mode (a label of adAPMode); empty when none.
    static QString shownModeFor(const QStringList &choices, const QString &deviceMode);
    // The device's mode for a shown entry: "WDS with AP" is "PtMP Bridge", "WDS" is "P2MP
    // Without", every other name is a mode of its own.
    static QString deviceModeFor(const QString &shownMode);
    // The page layout for a shown entry.
    static TWirlessPageMode pageModeFor(const QString &shownMode);

    // ---- What the security half and the tests read ----
    BandPage &page(int band) { return m_pages[band]; }
    const BandPage &page(int band) const { return m_pages[band]; }
    TWirlessSecurity &security(int band) { return *m_security[band]; }
    // The band's AP mode as the page is laid out: the shown entry, or the device's mode when
    // the list is empty.
    TWirlessPageMode pageMode(int band) const;
    bool mssidEnabled(int band) const;
    // The mirror rows of a band (1 = 802.11a, 2 = 802.11g), primary first.
    QVector<MssidRow> mssidRows(int deviceBand) const;
    // The main window's ifMultiSSID_Edit is "1".
    bool deviceHasMultiSsid() const;
    // Whether a site survey runs on the band: from Scan until its list is read or its start
    // failed.
    bool surveyRunning(int band) const { return m_surveyRunning[band]; }

    // ---- Reads and writes of the window's requests (the security half's too) ----
    // A read whose failure shows its status in the status bar; false when it failed. Once a
    // read of the opening or of Refresh timed out, the reads after it are not sent.
    bool read(KtSNMPRequest2Edits *request);
    // A write of the items marked readwrite; a choice the device never told is not written,
    // and a request with nothing left to write is not sent (true).
    bool write(KtSNMPRequest2Edits *request);
    // The request's failures go to the status bar, its successes do not.
    static void reportErrorsOnly(KtSNMPRequest2Edits *request);

    // ---- Controls shared by both bands ----
    QTabWidget *PC_Wirless = nullptr;
    QWidget *TS_11a = nullptr;
    QWidget *TS_11g = nullptr;
    QTreeWidget *MultiListView = nullptr; // hidden: the multi-SSID mirror
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QPushButton *Bt_Close = nullptr;
    QStatusBar *StatusBar = nullptr;

public Q_SLOTS:
    void Bt_RefreshClick();
    void Bt_ApplyClick();
    void Bt_CloseClick();
    void PC_WirlessChange(int index);
    void ED_APModeTempComboBoxtestChange();
    void ED_APModeTempComboBoxgChange();
    void ED_APModeComboBoxChange();
    void CB_AuScChange();
    void CB_AuScgChange();
    void CB_RadWavaChange();
    void CB_RadWavgChange();
    void SiteScanClick();
    void SiteScangClick();
    void SiteServeyListViewClick(QTreeWidgetItem *row);
    void SiteServeyListViewgClick(QTreeWidgetItem *row);

protected:
    // Refuses closing while a site survey runs.
    bool FormCloseQuery() override;

private:
    struct BandRequests;

    // ---- Building ----
    void buildWindow();
    void buildBandPage(int band);
    void FormCreate();
    void createBandRequests(int band);
    void createSharedRequests();
    void readAtCreation();

    // ---- Rules ----
    // The AP mode lists of both bands from the capability masks. Without masks (the device did
    // not answer yet) the lists stay as they are, and the error path runs when asked to report.
    void buildApModeLists(bool reportMissingMasks = true);
    // Layout, channel rules, channel list, security panels of a band for its AP mode.
    void applyModeRules(int band);
    void layOutForMode(int band);
    void applyChannelRules(int band);
    void applyMacFieldStates(int band);
    void fillChannelBox(int band);
    void apModeChosen(int band);
    void radioWaveChanged(int band);
    void setEditable(QLineEdit *edit, bool editable);
    // The window takes the size of the page shown at once.
    void fitToContent();

    // ---- Reads ----
    void readWdsChannelSupport();
    void wdsChannelSupportRead(const KtSNMPError &status);
    void wdsChannelListsRead(int band, const KtSNMPError &status);
    void copyNormalListsToWds(int band);
    void rootApRead(int band);

    // ---- Apply ----
    std::optional<TWirlessRefusal> checkSsidLengths() const;
    std::optional<TWirlessRefusal> checkSsidBlanks() const;
    std::optional<TWirlessRefusal> checkSsidsPresent() const;
    std::optional<TWirlessRefusal> checkPrimaryAgainstSecondaries() const;
    std::optional<TWirlessRefusal> checkDuplicateMacs() const;
    // Also chooses what the band's writes send (SSID, remote MACs, root AP MAC).
    std::optional<TWirlessRefusal> checkMacsForMode(int band);
    // Shows the refusal, if any; true when there was one.
    bool refuseApply(const std::optional<TWirlessRefusal> &refusal);
    bool writeSequence();

    // ---- Site survey ----
    void startSurvey(int band);
    void surveyStarted(int band, const KtSNMPError &status);
    void surveyListRead(int band, const KtSNMPError &status);
    void surveyRowClicked(int band, QTreeWidgetItem *row);

    std::array<BandPage, BandCount> m_pages;
    std::array<std::unique_ptr<TWirlessSecurity>, BandCount> m_security;
    std::array<bool, BandCount> m_surveyRunning{};
    // Whether the device answered the band's first auto channel scan read: a device without
    // the variable keeps the row hidden and Apply does not write it.
    std::array<bool, BandCount> m_autoScanSupported{};
    // A read of the current creation or Refresh timed out: the reads after it are not sent.
    bool m_deviceSilent = false;

    // The requests, owned by the page window (adoptRequest).
    KtSNMPRequest2Edits *m_basic = nullptr;
    KtSNMPRequest2Edits *m_superMode = nullptr;
    KtSNMPRequest2Edits *m_turboLists = nullptr;
    KtSNMPRequest2Edits *m_wdsSupport = nullptr;
    KtSNMPRequest2Edits *m_wdsSiteSupport = nullptr;
    KtSNMPRequest2Edits *m_mssidState = nullptr;
    KtSNMPRequest2Edits *m_mirror = nullptr;
    std::array<std::unique_ptr<BandRequests>, BandCount> m_bandRequests;
};

extern TFM_Wirless *FM_Wirless;
