// The security half of one band's page of "Home \ Wireless": the authentication of the primary
// SSID with its panels (Key Settings, Radius Server Settings, PassPhrase Settings), their
// requests, the checks Apply runs on them, their writes, and the rules that keep the primary
// SSID consistent with the band's secondary SSIDs (which share its WEP key slots and group key
// interval).
//
// TFM_Wirless owns one per band and calls it at the points below, always band a first. The
// three panels sit in area(), a place on the band's page between the AP mode and the peer
// groups; they share that place, and showPanel() shows at most one of them.
// What the window shares: the band's AP mode as laid out (pageMode), its multi-SSID state and
// the rows of the multi-SSID mirror (TFM_Wirless::mssidEnabled, TFM_Wirless::mssidRows),
// ifMultiSSID (TFM_Wirless::deviceHasMultiSsid), the status bar and the main window's address
// check.
//
// What goes out: keys always as hex digits, only the selected key, and only a key typed anew
// (the device shows a stored key as "*" characters); the passphrase, the RADIUS secret and the
// keys are shown masked and never put into a message or a status line. The RADIUS server, port
// and secret are one for both radios: typed on one band's page, they show on the other's too.
#pragma once

#include "tpagewindow.h"

#include <QPointer>
#include <QString>

#include <array>
#include <optional>

class KtSNMPRequest2Edits;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QWidget;
class TFM_Wirless;

// The AP mode a band's page is laid out for: the choice shown to the user (for a device with the
// seven-mode capability mask, its position in the list).
enum TWirlessPageMode : int {
    PageModeNone = -1, // nothing chosen (an empty capability list)
    PageAccessPoint = 0,
    PageWdsWithAp = 1, // "WDS with AP" (PtP Bridge, PtMP Bridge)
    PageWds = 2,       // "WDS" (PtP Without, P2MP Without)
    PageRepeater = 3,
    PageClient = 4,
};

// A refused Apply: the message with the control that takes the focus back (its tab page comes
// to front), and the caption of the message box ("Error" or "Warning", as each rule says).
struct TWirlessRefusal {
    TPageWindow::Refusal refusal;
    QString caption;
};

class TWirlessSecurity
{
public:
    // The panels of one band's security, one for each kind of authentication.
    enum Panel : int {
        KeySettings = 0, // GroupBox4 / Ecry_Group_g: WEP (Open System, Shared Key, both)
        RadiusServer,    // GroupBox5 / EAP_Group_g: the enterprise types
        PassPhrase,      // GroupBox6 / PSK_Group_g: the personal types
        PanelCount
    };

    // band: 0 for 802.11a, 1 for 802.11g (the window's band index).
    TWirlessSecurity(TFM_Wirless &window, int band, QWidget *area);
    ~TWirlessSecurity();
    TWirlessSecurity(const TWirlessSecurity &) = delete;
    TWirlessSecurity &operator=(const TWirlessSecurity &) = delete;

    int band() const { return m_band; }
    QWidget *area() const { return m_area; }
    QGroupBox *panel(Panel which) const { return m_panels[which]; }
    // Shows the one panel and hides the other two; nothing hides all three.
    void showPanel(std::optional<Panel> which);

    // ---- Creation and Refresh ----
    // Creation, right after the band's AP mode read: builds the panels and the security, RADIUS
    // and PSK requests, fills the key size and key type lists and the key limits, and reads the
    // three requests in that order.
    void create();
    // Creation and Refresh, once the multi-SSID state and mirror are read: remembers the valid
    // key and narrows the valid key list to "First", "Fourth" when a secondary SSID of the band
    // uses WPA.
    void narrowValidKeys();
    // Refresh, right after the band's AP mode read: the valid key list with all four keys again,
    // then the security, RADIUS and PSK reads.
    void refresh();
    // Refresh, at its end: key edit states, key types back to "HEX", key limits.
    void resetAfterRefresh();

    // ---- The page ----
    // The band's AP mode as laid out changed (also at creation, after Refresh and on a tab
    // change): the authentication list and PSK cipher list for the mode, the panel shown.
    void applyPanels(TWirlessPageMode mode);
    // The AP mode list could not be built (no capability mask): the first authentication entry
    // in both authentication combos.
    void selectFirstEntries();

    // ---- Apply, in the window's order ----
    // Step 1, for a band in a WDS mode: an enterprise authentication becomes "Open System".
    void resetAuthenticationForWds();
    // Step 8: the band's security settings; marks what the band's security writes send.
    std::optional<TWirlessRefusal> check();
    // Step 12, when the device has several SSIDs and the band's multi-SSID was on when Apply
    // started: downgrades the secondary SSIDs the new primary security leaves without a key
    // server, and warns about shared keys and group key intervals. false ends Apply ("Setting
    // error!" is the window's).
    bool runMultiSsidInterplay();
    // Step 13, after the band's AP mode and auto channel scan writes: the security request, then
    // the PSK or the RADIUS request. false stops the write sequence.
    bool write();
    // After a successful Apply: both key type combos back to "HEX".
    void afterSuccess();

    // ---- Rules that need no device (tests call them directly) ----
    // The authentication choices of a page mode: all nine for an access point, no enterprise
    // type for WDS and repeater, "Open System", "Shared Key", "WPA-Personal" for a client.
    static QStringList authenticationChoices(TWirlessPageMode mode);
    // The PSK cipher choices of a page mode; nothing for the modes that keep the list as it is
    // (repeater, client).
    static std::optional<QStringList> pskCipherChoices(TWirlessPageMode mode);

    // ---- The controls (the object names are band a's; band g's in brackets) ----
    static constexpr int KeyCount = 4;
    static constexpr int SecondaryCount = 7;  // MSSID 1 .. MSSID 7
    QComboBox *authenticationShown = nullptr; // Ed_SecAuthaTemp (Ed_SecAuthgTemp)
    QComboBox *authentication = nullptr;      // Ed_SecAutha (Ed_SecAuthg), hidden
    QComboBox *encryption = nullptr;          // Ed_SecEncypa (Ed_SecEncypg)
    QComboBox *keyType = nullptr;             // Ed_KeyType (Ed_KeyType_g)
    QComboBox *keySize = nullptr;             // Ed_KeySize (Ed_KeySize_g)
    QComboBox *validKey = nullptr;            // Ed_SecValKeya (Ed_SecValKeyg)
    std::array<QLineEdit *, KeyCount> keys{}; // Ed_Key1a .. Ed_Key4a (Ed_Key1g ..), masked
    QComboBox *radiusCipher = nullptr;        // CiphertypeComboBox (_g)
    QLineEdit *radiusGroupKey = nullptr;      // GroupKeyEdit (_g)
    QLineEdit *radiusServer = nullptr;        // RadiusServerEdit (_g)
    QLineEdit *radiusPort = nullptr;          // RadiusportEdit (_g)
    QLineEdit *radiusSecret = nullptr;        // RadiusSecretEdit (_g), masked
    QComboBox *pskCipherShown = nullptr;      // CipherforPSKTempBox (_g)
    QComboBox *pskCipher = nullptr;           // CipherforPSKBox (_g), hidden
    QLineEdit *pskGroupKey = nullptr;         // GroupKeyPSKEdit (_g)
    QLineEdit *passPhrase = nullptr;          // PassPhrasePSKEdit (_g), masked
    // Hidden: the encryption and authentication of the band's secondary SSIDs, written when
    // the primary's authentication leaves an enterprise secondary without its server.
    std::array<QComboBox *, SecondaryCount> secondaryEncryption{};     // CB_MultEncyt1 (_g) ..
    std::array<QComboBox *, SecondaryCount> secondaryAuthentication{}; // CB_MultiAuth1 (_g) ..

    // The key the valid key combo names (1 .. 4), 0 for none.
    int selectedKey() const;
    // The group key interval remembered from the opening, updated when Apply copies a changed
    // interval into the other panel.
    QString rememberedGroupKey() const { return m_rememberedGroupKey; }

private:
    // ---- Building ----
    void buildAuthentication();
    void buildKeySettings();
    void buildRadiusServer();
    void buildPassPhrase();
    void buildSecondaries();
    void createRequests();
    void connectHandlers();

    // ---- Rules ----
    // The panel of the chosen authentication, Shared Key's encryption, a client's cipher, and
    // the key edits.
    void applySecurityPanel();
    // Encryption on: key type, size and valid key enabled, only the selected key editable.
    void applyKeyEditStates();
    // Each key edit's limit from key type and size.
    void applyKeyLimits();
    void selectDeviceEntry(QComboBox *shown, const QComboBox *bound);
    void copyChoice(const QComboBox *shown, QComboBox *bound);
    void keysRead();
    void rebuildValidKeys(const QStringList &choices);
    // The one text shared by both bands (the device has one RADIUS server) typed into one band.
    void shareRadiusText(QLineEdit *TWirlessSecurity::*edit);

    // ---- Handlers ----
    void authenticationChosen();
    void encryptionChanged();
    void keyTypeChanged();
    void keySizeChanged();
    void validKeyChanged();
    void pskCipherChosen();

    // ---- Apply ----
    std::optional<TWirlessRefusal> checkKeyLength() const;
    std::optional<TWirlessRefusal> checkPersonal();
    std::optional<TWirlessRefusal> checkEnterprise();
    std::optional<TWirlessRefusal> checkWep();
    QString ieeeBand() const;
    QString dottedBand() const;

    TFM_Wirless &m_window;
    int m_band;
    QPointer<QWidget> m_area;
    std::array<QGroupBox *, PanelCount> m_panels{}; // children of the area
    TWirlessPageMode m_mode = PageModeNone;
    QComboBox *m_validKeyBound = nullptr; // hidden: adSecValidKey, all four keys
    QString m_validKeyText;               // as read, re-selected when the valid key list is rebuilt
    QString m_rememberedGroupKey;
    std::array<bool, KeyCount> m_keyTyped{}; // typed since the keys were read

    // The requests, owned by the window.
    KtSNMPRequest2Edits *m_security = nullptr;
    KtSNMPRequest2Edits *m_radius = nullptr;
    KtSNMPRequest2Edits *m_psk = nullptr;
    KtSNMPRequest2Edits *m_secondaryEncryption = nullptr;
    KtSNMPRequest2Edits *m_secondaryAuthentication = nullptr;
};
