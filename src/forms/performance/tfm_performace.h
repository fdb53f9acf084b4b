// "Advanced \ Performance": the radio parameters of each band (super mode, channel, data rate,
// beacon interval, DTIM, fragmentation and RTS thresholds, transmit power, XR, automatic
// channel scan, WMM, antenna diversity; for 802.11g also preamble and B/G mode), one page per
// band with its own Apply and Refresh.
//
// What the page offers depends on device facts the main window keeps (DeviceFacts): the
// firmware's region code and the turbo capability of each band decide the super-mode choices
// (RadioFacts, shared with "Home \ Wireless"), a device with several SSIDs never shows the
// automatic channel scan, and a device that answers without XR or automatic channel scan
// keeps that row hidden (and out of Apply) for the life of the window. The channel list
// follows the super mode and, in the WDS modes of a device that reports them, the WDS channel
// lists, read in the background once the window is open.
//
// Apply writes in a fixed order: the multi-SSID state (super mode and several SSIDs exclude
// each other), the antennas (and on 802.11g the B/G mode) whatever comes after, then the radio
// parameters, stopping at the first that fails; the device restarts its radios afterwards, so
// the waiting window follows a successful Apply.
#pragma once

#include "tpagewindow.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

struct KtSNMPError;
class KtSNMPRequest2Edits;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

class TFM_Performace : public TPageWindow
{
    Q_OBJECT

public:
    enum Band : int { BandA = 0, BandG = 1 };
    static constexpr int BandCount = 2;

    // The controls of one band's page. Object names are the device page's, with the band's
    // letter: "CB_SupModea" / "CB_SupModeg", "Ed_BeInta" / "Ed_BeIntg", "DynamicEdit" /
    // "DynamicEdit_g", "StateaCoBox" / "StategCoBox", ...
    struct BandPage {
        QWidget *sheet = nullptr;       // "IEEE 802.11a" / "IEEE 802.11g"
        QGridLayout *rows = nullptr;    // one row per setting
        QComboBox *superMode = nullptr; // CB_SupModea: adSuperMode, all four values
        // CB_SupModeusa: the reduced choices shown in its place when the device's capabilities
        // restrict them (superModeReduced).
        QComboBox *superModeShown = nullptr;
        QLineEdit *frequency = nullptr;      // Ed_Freqa: adFrequency, shown before "GHz"
        QComboBox *channel = nullptr;        // CB_Chana: the channels of the chosen list
        QLineEdit *channelValue = nullptr;   // Ed_Chana (hidden): adChannel
        QLineEdit *channelList = nullptr;    // Ed_ChLista (hidden): adChannelList
        QLineEdit *dynamicList = nullptr;    // DynamicEdit (hidden): adDynamicChannelList
        QLineEdit *staticList = nullptr;     // StaticEdit (hidden): adStaticChannelList
        QComboBox *dataRate = nullptr;       // CB_DtRta: "Auto", "6 Mb", ...
        QLineEdit *dataRateValue = nullptr;  // Ed_DtRta (hidden): adDataRate
        QLineEdit *dataRateList = nullptr;   // Ed_DtLista (hidden): adDataRateList
        QLineEdit *beaconInterval = nullptr; // Ed_BeInta
        QLineEdit *dtim = nullptr;           // Ed_DTIMa
        QLineEdit *fragmentLength = nullptr; // Ed_FragLena
        QLineEdit *rtsLength = nullptr;      // Ed_RTSa
        QComboBox *transmitPower = nullptr;  // CB_TranPa
        QLabel *xrLabel = nullptr;           // "XR"
        QComboBox *xr = nullptr;             // CB_XRa
        QLabel *autoScanLabel = nullptr;     // "Auto Channel Scan"
        QComboBox *autoScan = nullptr;       // CB_AuSca
        QComboBox *wmm = nullptr;            // CB_WMMa
        QComboBox *antenna = nullptr;          // CB_Antennaa (hidden): adAntenna
        QComboBox *antennaDiversity = nullptr; // CB_AntennaTempa: "Enable" / "Disable"
        QComboBox *apMode = nullptr;           // CBXApmodea (hidden): adAPMode
        QComboBox *mssidState = nullptr;       // StateaCoBox (hidden): adMSSIDState
        QLineEdit *wdsSupport = nullptr;       // EdWDSChannelSup_a (hidden): wdschannellist
        QLineEdit *wdsChannelList = nullptr;   // EdWDSChannelList_a (hidden)
        QLineEdit *wdsDynamicList = nullptr;   // EdWDSDynamicList_a (hidden)
        QLineEdit *wdsStaticList = nullptr;    // EdWDSStaticList_a (hidden)
        QComboBox *preamble = nullptr;         // CB_Preambleg (802.11g only)
        QComboBox *bgMode = nullptr;           // CB_bgModeg (802.11g only)
        QLineEdit *bgModeRateList = nullptr;   // Ed_bgModeRateLst (hidden, 802.11g only)
        QPushButton *apply = nullptr;          // Bt_Applya: "Apply"
        QPushButton *refresh = nullptr;        // Bt_Refresha: "Refresh"
    };

    explicit TFM_Performace(QWidget *owner = nullptr);
    ~TFM_Performace() override;

    // ---- Rules that need no device (tests call them directly) ----
    // The 802.11a data-rate entries of an adDataRateList text: "Auto" as it is, every other
    // rate with " Mb".
    static QStringList dataRateEntries(const QString &rateList);
    // The 802.11g data-rate entries: the 802.11b rates for "11b only", else all.
    static QStringList bgDataRateEntries(bool elevenBOnly);
    // The device's value of a data-rate entry: "5.5 Mb" gives "5.5", "Auto" stays "Auto".
    static QString entryToValue(const QString &entry);

    // The channel the 802.11g radio last ran a turbo mode on, for the life of the process
    // ("6" until then): a page that opens on another channel does not show turbo.
    static QString rememberedTurboChannel();
    static void rememberTurboChannel(const QString &channel);

    // ---- Range rules of the number fields: the refusal of the field's text, or nothing ----
    std::optional<Refusal> checkBeaconInterval(int band) const;
    std::optional<Refusal> checkDtim(int band) const;
    std::optional<Refusal> checkFragmentLength(int band) const;
    std::optional<Refusal> checkRtsLength(int band) const;

    // ---- What the tests read ----
    BandPage &page(int band) { return m_pages[band]; }
    const BandPage &page(int band) const { return m_pages[band]; }
    // The device answered the first read of the band's XR / automatic channel scan: the row
    // is shown and Apply writes it.
    bool xrSupported(int band) const { return m_xrSupported[band]; }
    bool autoScanSupported(int band) const { return m_autoScanSupported[band]; }
    // The reduced super-mode box is shown in place of the full one.
    bool superModeReduced(int band) const { return m_superModeReduced[band]; }
    // The super-mode box the page shows.
    QComboBox *shownSuperMode(int band) const;
    // The device reported WDS channel lists for the band (since the last Refresh).
    bool wdsListsAvailable(int band) const { return m_wdsListsAvailable[band]; }

    QTabWidget *PageControl1 = nullptr;
    QStatusBar *StatusBar = nullptr;

public Q_SLOTS:
    void Bt_ApplyaClick();
    void Bt_ApplygClick();
    void Bt_RefreshaClick();
    void Bt_RefreshgClick();
    void PageControl1Change();
    // Leaving a number field: its range rule, with the caption "Warning".
    void numberFieldLeft(QLineEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct BandRequests;
    enum class ReadResult { Read, Failed, Silent };

    // ---- Building ----
    void buildWindow();
    void buildPage(int band);
    void connectPage(int band);
    void createRequests();
    void createBandRequests(int band);
    void FormCreate();
    void readBandAtCreation(int band);
    void readWdsSupport();

    // ---- Rules ----
    // The super-mode choices of the band from its turbo capability and the region code; shows
    // the reduced box in place of the full one where they are restricted and selects in it
    // what the device runs.
    void applySuperModeChoices(int band);
    // After a page change, a super-mode change and the WDS completions: the super mode shown
    // into the full box, the data-rate box, the channel list.
    void adjustBand(int band);
    void fillChannelBox(int band);
    void fillDataRateBox(int band);
    // The channel box is disabled while the automatic channel scan is on.
    void applyAutoScanRule(int band);
    // "11b only" turns super mode off and the preamble to long; then the super-mode rules.
    void applyBgModeRule(bool userChoice);
    // Both diversity boxes from the 802.11a antenna.
    void showAntennaDiversity();
    // A turbo mode on 802.11g is shown only on the channel it was last chosen on.
    void applyTurboChannelRule(bool remember);
    void selectSuperMode(int band, const QString &text);
    // The automatic channel scan row shown or hidden.
    void showAutoScanRow(int band, bool shown);

    // ---- Change handlers ----
    void superModeChosen(int band, bool userChoice);
    void channelChosen(int band);
    void dataRateChosen(int band);
    void autoScanChosen(int band);
    void antennaDiversityChosen(int band);

    // ---- Completions of the background reads ----
    void wdsSupportRead(const KtSNMPError &status);
    void wdsListsRead(const KtSNMPError &status);

    // ---- Reads and writes ----
    // A read of the current opening or Refresh. Once one timed out, the silent device is asked
    // nothing more until the next Refresh.
    ReadResult read(KtSNMPRequest2Edits *request);
    // One write of Apply, its result given back; boxes the device never filled (and the user
    // never chose) are left out, and a request left with nothing to write is not sent.
    bool write(KtSNMPRequest2Edits *request);
    void writeAntennas(int fromBand);
    void refreshBand(int band);

    std::array<BandPage, BandCount> m_pages;
    std::array<std::unique_ptr<BandRequests>, BandCount> m_requests;
    KtSNMPRequest2Edits *m_mssidState = nullptr; // asynchronous
    KtSNMPRequest2Edits *m_wdsSupport = nullptr; // asynchronous
    KtSNMPRequest2Edits *m_wdsLists = nullptr;   // asynchronous

    std::array<bool, BandCount> m_xrSupported{};
    std::array<bool, BandCount> m_autoScanSupported{};
    std::array<bool, BandCount> m_autoScanShown{};
    std::array<bool, BandCount> m_superModeReduced{};
    std::array<bool, BandCount> m_wdsListsAvailable{};
    // The band's radio parameters were read: only then has its Apply anything to write.
    std::array<bool, BandCount> m_radioRead{};
    bool m_deviceSilent = false;
    bool m_checkingField = false;
};

extern TFM_Performace *FM_Performace;
