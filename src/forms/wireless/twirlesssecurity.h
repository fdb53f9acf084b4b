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
// This build has the three panels empty and hidden: every point keeps the device's security as
// it is.
#pragma once

#include "tpagewindow.h"

#include <QPointer>
#include <QString>

#include <array>
#include <optional>

class QGroupBox;
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

private:
    TFM_Wirless &m_window;
    int m_band;
    QPointer<QWidget> m_area;
    std::array<QGroupBox *, PanelCount> m_panels{}; // children of the area
};
