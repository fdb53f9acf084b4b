// "Advanced \ Multi-SSID": up to seven secondary SSIDs beside the primary SSID of each radio,
// each with its own security, Ethernet port and VLAN tag, and the multi-SSID and VLAN switches
// of both bands.
//
// Everything is the device's multi-SSID table (band, index; index 1 is the primary SSID, 2 to 8
// are "MSSID 1" to "MSSID 7") and a few scalars. The whole table sits in the hidden list view
// GetMultiListView; choosing a band and an entry selects its row there, which fills the editor.
// The visible list MulSSIDListView shows the rows in use. Save writes one row (the primary
// SSID only its VLAN tag), Delete takes one secondary SSID out of use, Apply switches the
// features on or off and lets the device restart.
//
// The secondary SSIDs share the radio's WEP key slots and group key interval with the primary
// SSID (Home \ Wireless keeps the primary's side): WPA on any SSID of a band takes key slots 2
// and 3, and a WPA-Enterprise SSID needs the RADIUS server and Ethernet port LAN1.
#pragma once

#include "tpagewindow.h"

#include <QString>
#include <QStringList>

#include <optional>

struct KtSNMPError;
class KtRadioGroup;
class KtSNMPRequest2Edits;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

class TFM_MultiSSIDNewForm : public TPageWindow
{
    Q_OBJECT

public:
    explicit TFM_MultiSSIDNewForm(QWidget *owner = nullptr);
    ~TFM_MultiSSIDNewForm() override;

    // Positions of RadioGroup1 and BandComboBox.
    enum Bands { BothBands = 0, BandA = 1, BandG = 2 };
    enum BandChoice { ChoiceA = 0, ChoiceG = 1 };
    // Items of the multi-SSID table request, in list order.
    enum TableItem {
        KeyBand = 0,
        KeyIndex,
        StateItem,
        SsidItem,
        AuthItem,
        EncryptionItem,
        KeyIndexItem,
        KeyItem,
        EthPortItem,
        VlanTagItem,
        CipherItem,
        PassPhraseItem,
        KeyTypeItem,
        SuppressItem,
        TableItemCount
    };
    // ---- Rules of Save, in the order Save runs them ----
    std::optional<Refusal> checkVlanId() const;
    std::optional<Refusal> checkVlanClash() const;
    std::optional<Refusal> checkSsid() const;
    std::optional<Refusal> checkSecuritySettings(QString *caption) const;
    std::optional<Refusal> checkSsidClash() const;
    std::optional<Refusal> checkKeyLength() const;

    // The band being edited (1 = 802.11a, 2 = 802.11g) and the entry's table index (1 = the
    // primary SSID).
    int editedBand() const;
    int editedIndex() const;
    // The visible security choice (the list shown), or the text shown in its place.
    QString shownSecurity() const;
    // A Save or Delete write, or the table read after it, is under way.
    bool tableBusy() const { return m_tableWork; }

    // ---- Controls (the object names are these names) ----
    QCheckBox *IfEnabMuSSID = nullptr;   // "Enable Multi-SSID "
    KtRadioGroup *RadioGroup1 = nullptr; // "Both", "11a", "11g"
    QCheckBox *CB_VLanState = nullptr;   // "Enable VLAN State"
    QComboBox *BandComboBox = nullptr;   // "IEEE 802.11a", "IEEE 802.11g"
    QGroupBox *GP_Settings = nullptr;    // "  Multi-SSID Settings  "
    QComboBox *MSSIDIdxCombo = nullptr;  // "Primary SSID", "MSSID 1" ... "MSSID 7"
    QLineEdit *SSIDEdit = nullptr;
    QComboBox *CB_Broadcast = nullptr;     // adMSSIDSuppress
    QComboBox *SecurityComboTmp = nullptr; // without the enterprise types
    QComboBox *SecurityCombo = nullptr;    // with them
    QLineEdit *VLANIDEdit = nullptr;
    KtRadioGroup *EthernetRadGp = nullptr; // "LAN1", "LAN2"
    QPushButton *SaveButton = nullptr;
    QGroupBox *GP_Key = nullptr; // "Key Settings"
    QComboBox *CB_KeyType = nullptr;
    QComboBox *CB_KeySize = nullptr;
    QLineEdit *Ed_KeyValue = nullptr;
    QComboBox *CB_IdxTmp = nullptr; // the key index shown
    QGroupBox *GP_PSK = nullptr;    // "PassPhrase Settings" / "Radius Server Settings"
    QComboBox *CB_CipherType = nullptr;
    QLineEdit *Ed_GrpKey_a = nullptr;
    QLineEdit *Ed_GrpKey_g = nullptr;
    QLineEdit *Ed_PassPhrase = nullptr;
    QLineEdit *Ed_RiduisServ = nullptr;
    QLineEdit *Ed_RadiusPort = nullptr;
    QLineEdit *Ed_RadiusSec = nullptr;
    QGroupBox *GP_List = nullptr; // "Multi-SSID"
    QTreeWidget *MulSSIDListView = nullptr;
    QPushButton *DelButton = nullptr;
    QPushButton *ApplyBtn = nullptr;
    QPushButton *RefreshBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QStatusBar *StatusBar = nullptr;

    // Hidden: the device's values as the requests read and write them.
    QLabel *IndexLab = nullptr;          // the row's band
    QLabel *Test11a = nullptr;           // the row's index
    QComboBox *CB_IdvState = nullptr;    // adMSSIDIdvState
    QComboBox *CB_Security = nullptr;    // adMSSIDAuth
    QComboBox *EncryBox = nullptr;       // adMSSIDEncryption
    QComboBox *CB_KeyIndex = nullptr;    // adMSSIDKeyIndex
    QComboBox *Band11aCoBox = nullptr;   // adMSSIDState.1
    QComboBox *Band11gCoBox = nullptr;   // adMSSIDState.2
    QComboBox *CB_VLanStatea = nullptr;  // adVlanState.1
    QComboBox *CB_VLanStateg = nullptr;  // adVlanState.2
    QComboBox *CB_ApMode = nullptr;      // adAPMode.1
    QComboBox *CB_SuperMode = nullptr;   // adSuperMode.1
    QComboBox *CB_ApMode_g = nullptr;    // adAPMode.2
    QComboBox *CB_SuperMode_g = nullptr; // adSuperMode.2
    QTreeWidget *GetMultiListView = nullptr; // the whole table

    KtSNMPRequest2Edits *tableRequest() const { return m_table; }

public Q_SLOTS:
    void IfEnabMuSSIDClick();
    void RadioGroup1Click();
    void CB_VLanStateClick();
    void BandComboBoxChange();
    void MSSIDIdxComboChange();
    void MulSSIDListViewClick(QTreeWidgetItem *row);
    void SecurityComboTmpChange();
    void SecurityComboChange();
    void CB_KeyTypeChange();
    void CB_KeySizeChange();
    void CB_KeyIndexChange();
    void SaveButtonClick();
    void DelButtonClick();
    void ApplyBtnClick();
    void RefreshBtnClick();
    void CancelBtnClick();

protected:
    // Refuses closing while a Save or Delete write, or the table read after it, runs.
    bool FormCloseQuery() override;

private:
    void buildWindow();
    void FormCreate();
    void createRequests();
    void readDevice();
    bool read(KtSNMPRequest2Edits *request);

    // ---- Rules ----
    void multiSsidStateRead();
    void vlanStateRead();
    // The bands the radio group names get multi-SSID (ticked box); warnings when due.
    void applyBandChoice(bool warn);
    void showEnableWarnings();
    void rebuildList();
    void selectEntry();
    void pickSecurityList();
    void selectSecurityEntry();
    void applySecurityGroup();
    void rebuildKeyIndexList();
    // The typing limit of the key value for key type and size; the message when one of them
    // is not chosen (the texts differ between the handlers that ask).
    void applyKeyLimit(const QString &noTypeText, const QString &noSizeText);
    void applyControlRules();
    void securityChosen(QComboBox *list);
    void setBandChoice(int choice);

    // ---- The table ----
    // The row of the hidden table view, or null.
    QTreeWidgetItem *tableRow(int band, int index) const;
    QString rowValue(const QTreeWidgetItem *row, int item) const;
    bool primaryUsesEnterprise(int band) const;
    // Rows of the band in use (state "Enable") other than the edited entry.
    QList<QTreeWidgetItem *> otherRowsInUse(int band) const;
    QComboBox *shownSecurityList() const;
    QLineEdit *groupKeyEdit(int band) const;
    // Marks which items of the row Save writes and gives the key to write (hex digits), if
    // any; false when Save stops.
    bool chooseRowItems(std::optional<QString> *key);
    // Every item of the row writable again.
    void restoreAccess();
    // The multi-SSID state, then the VLAN state; false when a write failed.
    bool writeStates();
    // Writes the row's writable items; once written, doneText (if any) and the table is read
    // again.
    void startTableWrite(const QString &statusText, const QString &doneText);
    void tableWritten(const KtSNMPError &status);
    void tableRead(const KtSNMPError &status);

    KtSNMPRequest2Edits *m_apModeA = nullptr;
    KtSNMPRequest2Edits *m_apModeG = nullptr;
    KtSNMPRequest2Edits *m_groupKeys = nullptr;
    KtSNMPRequest2Edits *m_radius = nullptr;
    KtSNMPRequest2Edits *m_mssidState = nullptr;
    KtSNMPRequest2Edits *m_vlanState = nullptr;
    KtSNMPRequest2Edits *m_table = nullptr;
    QFormLayout *m_pskFields = nullptr; // the rows of GP_PSK
    QString m_doneText;                 // shown once the table write has succeeded

    QString m_rememberedGroupKey[2]; // per band, as read or last saved
    bool m_warningsDue = true;       // the next tick of "Enable Multi-SSID " warns
    bool m_keyEdited = false;        // the key value was typed since the row was shown
    bool m_tableWork = false;        // a Save or Delete write or the read after it runs
    bool m_rowShown = false;         // the edited entry has a row in the table
    bool m_deviceSilent = false;     // a read of this pass timed out
    bool m_building = false;         // controls are being set by the window, not the user
};

extern TFM_MultiSSIDNewForm *FM_MultiSSIDNewForm;
