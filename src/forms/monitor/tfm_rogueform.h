// "Advanced \ Rogue AP": the access point scans for other access points ("Detect") through the
// filters chosen here (BSS type, bands, security kinds, written to the device as two bit masks)
// and lists what it found ("Rogue AP List"); the user moves found entries into the device's list
// of known access points ("AP List") or deletes entries from either list. Every change is one
// write of a command variable holding the row's index: the device does the work, the window
// reads the lists again.
//
// Detection runs asynchronously: the device may scan for minutes, and the window shows that it
// waits instead of freezing. Closing is refused until the found list has been read after the
// scan, or until the device has failed to answer within its time-out.
#pragma once

#include "tpagewindow.h"

#include <array>

class KtRadioGroup;
class KtSNMPRequest2Edits;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;

class TFM_RogueForm : public TPageWindow
{
    Q_OBJECT

public:
    enum Band { BandA = 1, BandG = 2 };
    // bssTypeDetected, and its position in BSSTypRadGrp (value - 1).
    enum BssType { ApBss = 1, AdHoc = 2, Both = 3 };

    explicit TFM_RogueForm(QWidget *owner = nullptr);
    ~TFM_RogueForm() override;

    // The filters' bit masks from the check boxes as they are now.
    int bandMaskShown() const;
    int securityMaskShown() const;

    // Idle: no detection under way (closing is refused while it is not).
    bool isIdle() const { return m_idle; }

    KtRadioGroup *BSSTypRadGrp = nullptr; // " BSS Type "
    QCheckBox *CheckBox_11a = nullptr;    // band bit 0
    QCheckBox *CheckBox_11b = nullptr;    // band bit 2
    QCheckBox *CheckBox_11g = nullptr;    // band bit 3
    QCheckBox *ChcBxo_off = nullptr;      // security bits 0 ... 7
    QCheckBox *ChcBxo_wep = nullptr;
    QCheckBox *ChcBxo_eap = nullptr;
    QCheckBox *ChcBxo_psk = nullptr;
    QCheckBox *WPA2EAPCkBox = nullptr;
    QCheckBox *WPA2PSKCkBox = nullptr;
    QCheckBox *WPA2AUTECkBox = nullptr;
    QCheckBox *WPA2AUTPCkBox = nullptr;
    QTreeWidget *RogueListView = nullptr; // "Rogue AP List"
    QTreeWidget *APListView = nullptr;    // "AP List"
    QPushButton *Bt_Detect = nullptr;
    QPushButton *Bt_Add = nullptr;        // found entry to the AP list
    QPushButton *Bt_DelRogue = nullptr;   // deletes a found entry
    QPushButton *Bt_DelAP = nullptr;      // deletes a known access point
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Cancel = nullptr;
    QStatusBar *StatusBar = nullptr;
    // Hidden fields the requests are bound to.
    QComboBox *CB_RadioConBand_a = nullptr;
    QComboBox *CB_RadioConBand_g = nullptr;
    QLineEdit *BandEdit = nullptr;
    QLineEdit *SecEdit = nullptr;
    QComboBox *DetectRogueCoBox = nullptr;
    QLineEdit *AddCoBox = nullptr;
    QLineEdit *DelDetcetEdit = nullptr;
    QLineEdit *DelCoBox = nullptr;

    KtSNMPRequest2Edits *filterRequest() const { return m_filter; }
    KtSNMPRequest2Edits *detectRequest() const { return m_detect; }
    KtSNMPRequest2Edits *foundRequest() const { return m_found; }
    KtSNMPRequest2Edits *knownRequest() const { return m_known; }

public Q_SLOTS:
    void Bt_DetectClick();
    void Bt_AddClick();
    void Bt_DelRogueClick();
    void Bt_DelAPClick();
    void Bt_ApplyClick();

protected:
    bool FormCloseQuery() override;

private:
    // The security boxes in bit order (bit 0 "OFF" ... bit 7 "WPA-Personal-AUTO").
    using SecurityBoxes = std::array<QCheckBox *, 8>;
    SecurityBoxes securityBoxes() const;
    void buildWindow();
    void FormCreate();
    void createListRequests();
    void createCommandRequests();
    // The band's radio reads "On" (a band the device does not have reads nothing).
    bool radioOn(Band band) const;
    // The boxes from the masks the device holds.
    void showMasks();
    // At opening: a band whose radio is off cannot be scanned; Detect needs one radio on.
    void applyRadioRules();
    // "Ad Hoc" takes the WPA kinds out of the filter.
    void applyBssTypeRule();
    // BandEdit and SecEdit from the boxes, after a click.
    void updateBandMask();
    void updateSecurityMask();
    // The six buttons: off while a command is on its way; on again when the found list has
    // been read (Detect only with a radio on).
    void enableCommands(bool enabled);
    // A command (or the read after it) has ended, well or not: the window is idle again.
    void commandEnded();
    // Writes the filter request (what the device never told is left out); whether it worked.
    bool writeFilters();
    // Reads a list again, or once more after the read under way when it is busy.
    void readList(KtSNMPRequest2Edits *list);
    // Writes one command whose value is the index of the row chosen in the list's view.
    void writeRowCommand(KtSNMPRequest2Edits *list, QLineEdit *field,
                         KtSNMPRequest2Edits *command);

    std::array<KtSNMPRequest2Edits *, 2> m_radio{}; // owned by the page window
    KtSNMPRequest2Edits *m_filter = nullptr;
    KtSNMPRequest2Edits *m_detect = nullptr;
    KtSNMPRequest2Edits *m_add = nullptr;
    KtSNMPRequest2Edits *m_delFound = nullptr;
    KtSNMPRequest2Edits *m_delKnown = nullptr;
    KtSNMPRequest2Edits *m_found = nullptr;
    KtSNMPRequest2Edits *m_known = nullptr;
    bool m_idle = true;
    bool m_detectAllowed = true;
    bool m_foundAgain = false; // read the found list once more when its read has ended
    bool m_knownAgain = false;
};

extern TFM_RogueForm *FM_RogueForm;
