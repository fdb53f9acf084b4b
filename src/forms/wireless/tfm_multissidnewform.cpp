#include "tfm_multissidnewform.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "kteditconstraint.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktradiogroup.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "ktwaiting.h"
#include "radiofacts.h"
#include "tmainform.h"
#include "unreadboxes.h"
#include "wirelesssecurityrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <iterator>
#include <numeric>
#include <vector>

TFM_MultiSSIDNewForm *FM_MultiSSIDNewForm = nullptr;

namespace {

using SecurityRules::Kind;

// ---- Device variables (below 1.3.6.1.4.1.32473.11.37; b is the band, 1 = 802.11a) ----

QString vendorOid(const QString &suffix)
{
    return QStringLiteral("1.3.6.1.4.1.32473.11.37") + suffix;
}

KtSNMPVarItem item(const QString &suffix, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(vendorOid(suffix), QString::fromLatin1(name), syntax, access, options);
}

const KtOptionList &enableOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

// The multi-SSID table: the two keys (band, SSID index), then the columns in the order the
// window lists them (TFM_MultiSSIDNewForm::TableItem).
std::vector<KtSNMPVarItem> tableItems()
{
    const auto column = [](int c) { return QStringLiteral(".4.2.9.2.1.") + QString::number(c); };
    return {item(column(1), "Band", SYN_INTEGER, ACC_NOTACCESS),
            item(column(1), "adMSSIDIndex", SYN_INTEGER, ACC_NOTACCESS),
            item(column(2), "adMSSIDIdvState", SYN_INTEGER, ACC_READWRITE, &enableOptions()),
            item(column(3), "adMSSIDSSID", SYN_DISPLAYSTR, ACC_READWRITE),
            item(column(4), "adMSSIDAuth", SYN_INTEGER, ACC_READWRITE,
                 &SecurityRules::mssidAuthenticationOptions()),
            item(column(5), "adMSSIDEncryption", SYN_INTEGER, ACC_READWRITE, &enableOptions()),
            item(column(6), "adMSSIDKeyIndex", SYN_INTEGER, ACC_READWRITE,
                 &SecurityRules::keyIndexOptions()),
            item(column(7), "adMSSIDKey", SYN_DISPLAYSTR, ACC_READWRITE),
            item(column(10), "adMSSIDEthPort", SYN_INTEGER, ACC_READWRITE,
                 &SecurityRules::mssidEthernetOptions()),
            item(column(8), "adMSSIDVlanTagID", SYN_INTEGER, ACC_READWRITE),
            item(column(11), "adMSSIDCipherType", SYN_INTEGER, ACC_READWRITE,
                 &SecurityRules::mssidCipherOptions()),
            item(column(12), "adMSSIDPassPhrase", SYN_DISPLAYSTR, ACC_READWRITE),
            item(column(13), "adMSSIDKeyType", SYN_INTEGER, ACC_READWRITE,
                 &SecurityRules::mssidKeyTypeOptions()),
            item(column(14), "adMSSIDSuppress", SYN_INTEGER, ACC_READWRITE, &enableOptions()),
            {}};
}

// AP mode and super mode of one band: Apply turns the radio into an access point without
// super mode before multi-SSID goes on.
std::vector<KtSNMPVarItem> apModeItems(int band)
{
    const QString b = QString::number(band);
    return {item(QStringLiteral(".4.2.1.1.1.") + b, "adAPMode", SYN_INTEGER, ACC_READWRITE,
                 &RadioFacts::apModeOptions()),
            item(QStringLiteral(".4.2.3.1.11.") + b, "adSuperMode", SYN_INTEGER, ACC_READWRITE,
                 &RadioFacts::superModeOptions()),
            {}};
}

std::vector<KtSNMPVarItem> perBandItems(const char *prefix, const char *name,
                                        const KtOptionList *options = nullptr)
{
    const QString p = QString::fromLatin1(prefix);
    return {item(p + QStringLiteral("1"), name, SYN_INTEGER, ACC_READWRITE, options),
            item(p + QStringLiteral("2"), name, SYN_INTEGER, ACC_READWRITE, options),
            {}};
}

std::vector<KtSNMPVarItem> radiusItems()
{
    return {item(QStringLiteral(".4.2.5.2.3"), "adSecRADIUSServer", SYN_DISPLAYSTR, ACC_READWRITE),
            item(QStringLiteral(".4.2.5.2.4"), "adSecRADIUSPort", SYN_INTEGER, ACC_READWRITE),
            item(QStringLiteral(".4.2.5.2.5"), "adSecRADIUSSecret", SYN_DISPLAYSTR, ACC_READWRITE),
            {}};
}

// ---- Texts ----

const QString kCaption = QStringLiteral("Advanced \\ Multi-SSID");
const QString kEnable = QStringLiteral("Enable");
const QString kDisable = QStringLiteral("Disable");
const QString kNone = QStringLiteral("None");
const QString kOff = QStringLiteral("OFF");
const QString kLan1 = QStringLiteral("LAN1");
const QString kPrimary = QStringLiteral("Primary");
const QString kAccessPoint = QStringLiteral("Access Point");
const QString kPassPhraseTitle = QStringLiteral("PassPhrase Settings");
const QString kRadiusTitle = QStringLiteral("Radius Server Settings");
const QString kKeyTypeNull = QStringLiteral("Key type is NULL!");
const QString kSelectKeySize = QStringLiteral("Please select key size!");
const QString kSelectKeyType = QStringLiteral("Please select key type!");
const QString kVlanIdMissing = QStringLiteral("Please input VLAN ID!");
const QString kVlanClash = QStringLiteral(
    "The VLAN Tag of SECONDARY_PORT can't be the same as The VLAN of PRIMARY_PORT!");
const QString kSsidMissing = QStringLiteral("Please input SSID!");
const QString kSsidBlank = QStringLiteral("The first character can't be blank!");
const QString kSsidTooLong = QStringLiteral("The Max Length of SSID is 32!");
// The device page names the 802.11g band in this message whichever band is saved.
const QString kPassPhraseLength = SecurityRules::passPhraseLengthMessage(QStringLiteral("802.11g"));
const QString kSaving = QStringLiteral("Save Multi-SSID...!");
const QString kSaved = QStringLiteral("Save Multi-SSID complete!");
const QString kDeleting = QStringLiteral("Deleting...");
const QString kGetOk = QStringLiteral("Get OK!");
const QString kApplying = QStringLiteral("Apply the settings...");
const QString kApplied = QStringLiteral("Setting success!");
const QString kApplyFailed = QStringLiteral("Set error!");
const QString kApModeWarning = QStringLiteral("If you enable Multi-SSID,AP Mode will be Access Point!");
const QString kSuperModeWarning
    = QStringLiteral("If you enable Multi-SSID,Super Mode will be Disabled!");

const QStringList kShortSecurity = {kNone,
                                    QStringLiteral("Open System"),
                                    QStringLiteral("Shared Key"),
                                    QStringLiteral("WPA-Personal"),
                                    QStringLiteral("WPA2-Personal"),
                                    QStringLiteral("WPA-Auto-Personal")};
const QStringList kEnterpriseSecurity = {QStringLiteral("WPA-Enterprise"),
                                         QStringLiteral("WPA2-Enterprise"),
                                         QStringLiteral("WPA-Auto-Enterprise")};

// Columns of MulSSIDListView.
enum ListColumn {
    ListIndex = 0,
    ListSsid,
    ListEncryption,
    ListEthernet,
    ListVlan,
    ListMssidIndex,
    ListBand,
    ListColumnCount
};

// The code of a request the device did not answer in time.
constexpr int kTimedOutCode = -405;

void selectText(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text));
}

QComboBox *hiddenBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->hide();
    return box;
}

QString bandText(int band)
{
    return band == 1 ? QStringLiteral("11a") : QStringLiteral("11g");
}

// A request whose successful reads say nothing: the status bar keeps what matters.
void reportErrorsOnly(KtSNMPRequest2Edits *request)
{
    request->request.statusCallback = [request](const KtSNMPError &status) {
        if (status.code == 0)
            return;
        if (request->messageIndex == KtSNMPRequest2Controls::SetMessage)
            request->ReportSetResult(status);
        else
            request->ReportGetResult(status);
    };
}

} // namespace

TFM_MultiSSIDNewForm::TFM_MultiSSIDNewForm(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_MultiSSIDNewForm"));
    setWindowTitle(kCaption);
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_MultiSSIDNewForm::~TFM_MultiSSIDNewForm() = default;

// ---- Building ----

void TFM_MultiSSIDNewForm::buildWindow()
{
    const auto button = [this](const char *name, const char *text) {
        auto *b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    const auto edit = [this](const char *name, bool masked = false) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        if (masked)
            e->setEchoMode(QLineEdit::Password);
        return e;
    };
    const auto combo = [this](const char *name, const QStringList &entries = {}) {
        auto *box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems(entries);
        return box;
    };

    // ---- The switches ----
    IfEnabMuSSID = new QCheckBox(QStringLiteral("Enable Multi-SSID "), this);
    IfEnabMuSSID->setObjectName(QStringLiteral("IfEnabMuSSID"));
    RadioGroup1 = new KtRadioGroup(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setColumns(3);
    RadioGroup1->setItems({QStringLiteral("Both"), QStringLiteral("11a"), QStringLiteral("11g")});
    RadioGroup1->setItemIndex(BothBands);
    CB_VLanState = new QCheckBox(QStringLiteral("Enable VLAN State"), this);
    CB_VLanState->setObjectName(QStringLiteral("CB_VLanState"));
    BandComboBox = combo("BandComboBox", {QStringLiteral("IEEE 802.11a"),
                                          QStringLiteral("IEEE 802.11g")});

    // ---- One entry ----
    QStringList entries = {QStringLiteral("Primary SSID")};
    for (int n = 1; n <= 7; ++n)
        entries << QStringLiteral("MSSID ") + QString::number(n);
    MSSIDIdxCombo = combo("MSSIDIdxCombo", entries);
    SSIDEdit = edit("SSIDEdit");
    CB_Broadcast = combo("CB_Broadcast");
    SecurityComboTmp = combo("SecurityComboTmp", kShortSecurity);
    SecurityCombo = combo("SecurityCombo", kShortSecurity + kEnterpriseSecurity);
    SecurityCombo->hide();
    VLANIDEdit = edit("VLANIDEdit");
    EthernetRadGp = new KtRadioGroup(this);
    EthernetRadGp->setObjectName(QStringLiteral("EthernetRadGp"));
    EthernetRadGp->setColumns(2);
    SaveButton = button("SaveButton", "Save");

    GP_Settings = new QGroupBox(QStringLiteral("  Multi-SSID Settings  "), this);
    GP_Settings->setObjectName(QStringLiteral("GP_Settings"));
    auto *security = new QHBoxLayout;
    security->setContentsMargins(0, 0, 0, 0);
    security->addWidget(SecurityComboTmp);
    security->addWidget(SecurityCombo);
    auto *settings = new QFormLayout;
    settings->addRow(QStringLiteral("MSSID Index"), MSSIDIdxCombo);
    settings->addRow(QStringLiteral("SSID"), SSIDEdit);
    settings->addRow(QStringLiteral("SSID Broadcast"), CB_Broadcast);
    settings->addRow(QStringLiteral("Security"), security);
    settings->addRow(QStringLiteral("VLAN ID"), VLANIDEdit);
    settings->addRow(QStringLiteral("Ethernet"), EthernetRadGp);
    auto *save = new QHBoxLayout;
    save->addStretch();
    save->addWidget(SaveButton);
    auto *settingsBox = new QVBoxLayout(GP_Settings);
    settingsBox->addLayout(settings);
    settingsBox->addLayout(save);

    // ---- WEP ----
    CB_KeyType = combo("CB_KeyType");
    CB_KeySize = combo("CB_KeySize", SecurityRules::keySizeLabels());
    Ed_KeyValue = edit("Ed_KeyValue", true);
    CB_IdxTmp = combo("CB_IdxTmp");
    GP_Key = new QGroupBox(QStringLiteral("Key Settings"), this);
    GP_Key->setObjectName(QStringLiteral("GP_Key"));
    auto *key = new QFormLayout(GP_Key);
    key->addRow(QStringLiteral("Key Type"), CB_KeyType);
    key->addRow(QStringLiteral("Key Size"), CB_KeySize);
    key->addRow(QStringLiteral("Key Value"), Ed_KeyValue);
    key->addRow(QStringLiteral("Key Index"), CB_IdxTmp);

    // ---- WPA ----
    CB_CipherType = combo("CB_CipherType");
    Ed_GrpKey_a = edit("Ed_GrpKey_a");
    Ed_GrpKey_g = edit("Ed_GrpKey_g");
    Ed_PassPhrase = edit("Ed_PassPhrase", true);
    Ed_RiduisServ = edit("Ed_RiduisServ");
    Ed_RadiusPort = edit("Ed_RadiusPort");
    Ed_RadiusSec = edit("Ed_RadiusSec", true);
    GP_PSK = new QGroupBox(kPassPhraseTitle, this);
    GP_PSK->setObjectName(QStringLiteral("GP_PSK"));
    auto *groupKeys = new QHBoxLayout;
    groupKeys->setContentsMargins(0, 0, 0, 0);
    groupKeys->addWidget(Ed_GrpKey_a);
    groupKeys->addWidget(Ed_GrpKey_g);
    m_pskFields = new QFormLayout(GP_PSK);
    m_pskFields->addRow(QStringLiteral("Cipher Type"), CB_CipherType);
    m_pskFields->addRow(QStringLiteral("Group Key Update Interval   "), groupKeys);
    m_pskFields->addRow(QStringLiteral("PassPhrase"), Ed_PassPhrase);
    m_pskFields->addRow(QStringLiteral("Radius Server"), Ed_RiduisServ);
    m_pskFields->addRow(QStringLiteral("Radius Port"), Ed_RadiusPort);
    m_pskFields->addRow(QStringLiteral("Radius Secret"), Ed_RadiusSec);
    GP_PSK->hide();
    Ed_GrpKey_g->hide();

    // ---- The SSIDs in use ----
    MulSSIDListView = new QTreeWidget(this);
    MulSSIDListView->setObjectName(QStringLiteral("MulSSIDListView"));
    MulSSIDListView->setHeaderLabels({QStringLiteral("Index"), QStringLiteral("SSID"),
                                      QStringLiteral("Encryption"), QStringLiteral("Ethernet "),
                                      QStringLiteral("VLAN ID "), QStringLiteral("MSSID Index "),
                                      QStringLiteral("Band")});
    MulSSIDListView->setRootIsDecorated(false);
    MulSSIDListView->setAllColumnsShowFocus(true);
    MulSSIDListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    MulSSIDListView->setSelectionMode(QAbstractItemView::SingleSelection);
    MulSSIDListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MulSSIDListView->header()->setStretchLastSection(false);
    // Index is a column of zero width: the list's own key to the table row.
    static const int widths[ListColumnCount] = {0, 170, 140, 70, 70, 90, 50};
    MulSSIDListView->header()->setMinimumSectionSize(0);
    for (int c = ListIndex; c < ListColumnCount; ++c)
        MulSSIDListView->setColumnWidth(c, widths[c]);
    MulSSIDListView->header()->setSectionResizeMode(ListIndex, QHeaderView::Fixed);
    // Both bands' eight SSIDs fit without scrolling.
    MulSSIDListView->setMinimumSize(std::accumulate(std::begin(widths), std::end(widths), 8),
                                    MulSSIDListView->fontMetrics().height() * 19);
    DelButton = button("DelButton", "Delete");
    GP_List = new QGroupBox(QStringLiteral("Multi-SSID"), this);
    GP_List->setObjectName(QStringLiteral("GP_List"));
    auto *list = new QVBoxLayout(GP_List);
    list->addWidget(MulSSIDListView);
    auto *del = new QHBoxLayout;
    del->addStretch();
    del->addWidget(DelButton);
    list->addLayout(del);

    ApplyBtn = button("ApplyBtn", "Apply");
    RefreshBtn = button("RefreshBtn", "Refresh");
    CancelBtn = button("CancelBtn", "Cancel");
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    leaveRoomForStatusLine(StatusBar);

    // ---- Hidden: the device's values ----
    IndexLab = new QLabel(this);
    IndexLab->setObjectName(QStringLiteral("IndexLab"));
    IndexLab->hide();
    Test11a = new QLabel(this);
    Test11a->setObjectName(QStringLiteral("Test11a"));
    Test11a->hide();
    CB_IdvState = hiddenBox(this, "CB_IdvState");
    CB_Security = hiddenBox(this, "CB_Security");
    EncryBox = hiddenBox(this, "EncryBox");
    CB_KeyIndex = hiddenBox(this, "CB_KeyIndex");
    Band11aCoBox = hiddenBox(this, "Band11aCoBox");
    Band11gCoBox = hiddenBox(this, "Band11gCoBox");
    CB_VLanStatea = hiddenBox(this, "CB_VLanStatea");
    CB_VLanStateg = hiddenBox(this, "CB_VLanStateg");
    CB_ApMode = hiddenBox(this, "CB_ApMode");
    CB_SuperMode = hiddenBox(this, "CB_SuperMode");
    CB_ApMode_g = hiddenBox(this, "CB_ApMode_g");
    CB_SuperMode_g = hiddenBox(this, "CB_SuperMode_g");
    GetMultiListView = new QTreeWidget(this);
    GetMultiListView->setObjectName(QStringLiteral("GetMultiListView"));
    GetMultiListView->hide();

    // ---- Layout ----
    auto *switches = new QHBoxLayout;
    switches->addWidget(IfEnabMuSSID);
    switches->addWidget(RadioGroup1);
    switches->addWidget(CB_VLanState);
    switches->addStretch();
    switches->addWidget(new QLabel(QStringLiteral("Band"), this));
    switches->addWidget(BandComboBox);
    auto *security2 = new QVBoxLayout;
    security2->addWidget(GP_Key);
    security2->addWidget(GP_PSK);
    security2->addStretch();
    auto *editor = new QHBoxLayout;
    editor->addWidget(GP_Settings, 1);
    editor->addLayout(security2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ApplyBtn);
    buttons->addWidget(RefreshBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(switches);
    layout->addLayout(editor);
    layout->addWidget(GP_List);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    // ---- What the user does ----
    connect(IfEnabMuSSID, &QCheckBox::clicked, this, &TFM_MultiSSIDNewForm::IfEnabMuSSIDClick);
    connect(RadioGroup1, &KtRadioGroup::itemIndexChanged, this, [this](int) {
        if (!m_building)
            RadioGroup1Click();
    });
    connect(CB_VLanState, &QCheckBox::clicked, this, &TFM_MultiSSIDNewForm::CB_VLanStateClick);
    connect(BandComboBox, &QComboBox::activated, this,
            &TFM_MultiSSIDNewForm::BandComboBoxChange);
    connect(MSSIDIdxCombo, &QComboBox::activated, this,
            &TFM_MultiSSIDNewForm::MSSIDIdxComboChange);
    connect(MulSSIDListView, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *row) { MulSSIDListViewClick(row); });
    connect(MulSSIDListView, &QTreeWidget::itemSelectionChanged, this,
            &TFM_MultiSSIDNewForm::applyControlRules);
    connect(SecurityComboTmp, &QComboBox::activated, this,
            &TFM_MultiSSIDNewForm::SecurityComboTmpChange);
    connect(SecurityCombo, &QComboBox::activated, this,
            &TFM_MultiSSIDNewForm::SecurityComboChange);
    connect(CB_KeyType, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_KeyTypeChange);
    connect(CB_KeySize, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_KeySizeChange);
    connect(CB_IdxTmp, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_KeyIndexChange);
    connect(Ed_KeyValue, &QLineEdit::textEdited, this, [this] { m_keyEdited = true; });
    connect(SaveButton, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::SaveButtonClick);
    connect(DelButton, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::DelButtonClick);
    connect(ApplyBtn, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::ApplyBtnClick);
    connect(RefreshBtn, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::RefreshBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::CancelBtnClick);
}

void TFM_MultiSSIDNewForm::FormCreate()
{
    try {
        createRequests();
    } catch (const KtException &e) {
        showStatusText(e.text());
        applyControlRules();
        return;
    }
    readDevice();
}

void TFM_MultiSSIDNewForm::createRequests()
{
    const auto make = [this](const std::vector<KtSNMPVarItem> &table, int type, int keys = 0) {
        KtSNMPRequest2Edits *request
            = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), type, keys));
        request->mode = KtSNMPRequest2Controls::Synchronous;
        request->SetStatusControl(StatusBar);
        reportErrorsOnly(request);
        return request;
    };

    m_apModeA = make(apModeItems(1), MVT_SV);
    m_apModeA->BindComboBox(0, CB_ApMode);
    m_apModeA->BindComboBox(1, CB_SuperMode);
    m_apModeG = make(apModeItems(2), MVT_SV);
    m_apModeG->BindComboBox(0, CB_ApMode_g);
    m_apModeG->BindComboBox(1, CB_SuperMode_g);

    m_groupKeys = make(perBandItems(".4.2.5.1.1.6.", "adSecGroupKeyUpdateInterval"), MVT_SV);
    m_groupKeys->BindEdit(0, QStringLiteral("%u{n300x9999999}"), Ed_GrpKey_a);
    m_groupKeys->BindEdit(1, QStringLiteral("%u{n300x9999999}"), Ed_GrpKey_g);
    KtTypingLimit::SetLimit(Ed_GrpKey_a, 7);
    KtTypingLimit::SetLimit(Ed_GrpKey_g, 7);

    m_radius = make(radiusItems(), SVT_SV);
    m_radius->BindEdit(0, QStringLiteral("%s"), Ed_RiduisServ);
    m_radius->BindEdit(1, QStringLiteral("%u{n1x65535}"), Ed_RadiusPort);
    m_radius->BindEdit(2, QStringLiteral("%s"), Ed_RadiusSec);
    KtTypingLimit::SetLimit(Ed_RiduisServ, 15);
    KtTypingLimit::SetLimit(Ed_RadiusPort, 5);
    KtTypingLimit::SetLimit(Ed_RadiusSec, 32);

    m_mssidState = make(perBandItems(".4.2.9.3.1.1.", "adMSSIDState", &enableOptions()), MVT_SV);
    m_mssidState->BindComboBox(0, Band11aCoBox);
    m_mssidState->BindComboBox(1, Band11gCoBox);
    m_vlanState = make(perBandItems(".4.2.9.1.1.1.", "adVlanState", &enableOptions()), MVT_SV);
    m_vlanState->BindComboBox(0, CB_VLanStatea);
    m_vlanState->BindComboBox(1, CB_VLanStateg);

    m_table = make(tableItems(), MVT_UMV, 2);
    m_table->BindListView(GetMultiListView, false);
    m_table->BindControl(KeyBand, IndexLab);
    m_table->BindControl(KeyIndex, Test11a);
    m_table->BindComboBox(StateItem, CB_IdvState);
    m_table->BindEdit(SsidItem, QStringLiteral("%s"), SSIDEdit);
    m_table->BindComboBox(AuthItem, CB_Security);
    m_table->BindComboBox(EncryptionItem, EncryBox);
    m_table->BindComboBox(KeyIndexItem, CB_KeyIndex);
    m_table->BindEdit(KeyItem, QStringLiteral("%s"), Ed_KeyValue);
    m_table->BindRadioGroup(EthPortItem, EthernetRadGp);
    m_table->BindEdit(VlanTagItem, QStringLiteral("%u{n1x4094}"), VLANIDEdit);
    KtTypingLimit::SetLimit(VLANIDEdit, 4);
    m_table->BindComboBox(CipherItem, CB_CipherType);
    m_table->BindEdit(PassPhraseItem, QStringLiteral("%s"), Ed_PassPhrase);
    m_table->BindComboBox(KeyTypeItem, CB_KeyType);
    m_table->BindComboBox(SuppressItem, CB_Broadcast);
    // The read after a Save or Delete reports itself (tableRead); other outcomes as usual.
    m_table->request.statusCallback = [this](const KtSNMPError &status) {
        if (m_tableWork)
            return;
        if (m_table->messageIndex == KtSNMPRequest2Controls::SetMessage)
            m_table->ReportSetResult(status);
        else
            m_table->ReportGetResult(status);
    };
    m_table->OnSetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        tableWritten(status);
    };
    m_table->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        tableRead(status);
    };

    // A one-radio model serves none of the other band's variables: they are neither read nor
    // written, so that the band it has is.
    for (int band = 1; band <= 2; ++band) {
        if (DeviceFacts::radioPresent(band))
            continue;
        KtSNMPVarList &apMode = (band == 1 ? m_apModeA : m_apModeG)->list();
        for (int i = 0; i < apMode.Count(); ++i)
            apMode.Item(i).access = ACC_INVALID;
        for (KtSNMPRequest2Edits *request : {m_groupKeys, m_mssidState, m_vlanState})
            request->list().Item(band - 1).access = ACC_INVALID;
    }

    // Boxes the device has not filled show nothing, so that they are not written by mistake.
    for (QComboBox *box : {Band11aCoBox, Band11gCoBox, CB_VLanStatea, CB_VLanStateg, CB_ApMode,
                           CB_SuperMode, CB_ApMode_g, CB_SuperMode_g})
        box->setCurrentIndex(-1);
}

void TFM_MultiSSIDNewForm::readDevice()
{
    m_deviceSilent = false;
    const WorkingScope working(this, Operation::Reading);
    for (KtSNMPRequest2Edits *request : {m_apModeA, m_apModeG, m_groupKeys, m_radius})
        read(request);
    m_rememberedGroupKey[0] = Ed_GrpKey_a->text();
    m_rememberedGroupKey[1] = Ed_GrpKey_g->text();
    if (read(m_mssidState))
        multiSsidStateRead();
    if (read(m_vlanState))
        vlanStateRead();
    read(m_table);
    rebuildList();
    selectEntry();
}

bool TFM_MultiSSIDNewForm::read(KtSNMPRequest2Edits *request)
{
    // A device that let one read time out would let the others time out too, each after its
    // full wait: the window shows what it has instead.
    if (!request || request->IsBusy() || m_deviceSilent)
        return false;
    const KtSNMPRequest::StatusCallback report = request->request.statusCallback;
    int failure = 0;
    request->request.statusCallback = [&failure, report](const KtSNMPError &status) {
        failure = status.code;
        if (report)
            report(status);
    };
    bool read = false;
    try {
        request->mode = KtSNMPRequest2Controls::Synchronous;
        read = request->Get();
    } catch (const KtException &e) {
        request->busy = 0;
        showStatusText(e.text());
    }
    request->request.statusCallback = report;
    m_deviceSilent = failure == kTimedOutCode;
    return read && failure == 0;
}

// ---- The states ----

void TFM_MultiSSIDNewForm::multiSsidStateRead()
{
    const bool a = Band11aCoBox->currentText() == kEnable;
    const bool g = Band11gCoBox->currentText() == kEnable;
    m_building = true;
    IfEnabMuSSID->setChecked(a || g);
    RadioGroup1->setItemIndex(a && g ? BothBands : a ? BandA : g ? BandG : BothBands);
    m_building = false;
    if (a || g)
        setBandChoice(g && !a ? ChoiceG : ChoiceA);
    m_warningsDue = true;
    applyControlRules();
}

void TFM_MultiSSIDNewForm::vlanStateRead()
{
    CB_VLanState->setChecked(CB_VLanStatea->currentText() == kEnable
                             || CB_VLanStateg->currentText() == kEnable);
    applyControlRules();
}

void TFM_MultiSSIDNewForm::IfEnabMuSSIDClick()
{
    if (IfEnabMuSSID->isChecked()) {
        applyBandChoice(m_warningsDue);
        m_warningsDue = false;
        return;
    }
    selectText(Band11aCoBox, kDisable);
    selectText(Band11gCoBox, kDisable);
    m_building = true;
    RadioGroup1->setItemIndex(BothBands);
    m_building = false;
    MulSSIDListView->clear();
    m_warningsDue = true;
    applyControlRules();
}

void TFM_MultiSSIDNewForm::RadioGroup1Click()
{
    if (IfEnabMuSSID->isChecked())
        applyBandChoice(true);
}

void TFM_MultiSSIDNewForm::applyBandChoice(bool warn)
{
    const int choice = RadioGroup1->itemIndex();
    selectText(Band11aCoBox, choice == BandG ? kDisable : kEnable);
    selectText(Band11gCoBox, choice == BandA ? kDisable : kEnable);
    if (choice == BandA)
        setBandChoice(ChoiceA);
    else if (choice == BandG)
        setBandChoice(ChoiceG);
    rebuildList();
    applyControlRules();
    if (warn)
        showEnableWarnings();
}

void TFM_MultiSSIDNewForm::showEnableWarnings()
{
    const int choice = RadioGroup1->itemIndex();
    const bool a = choice != BandG;
    const bool g = choice != BandA;
    const bool apModes = (a && CB_ApMode->currentText() != kAccessPoint)
                         || (g && CB_ApMode_g->currentText() != kAccessPoint);
    const bool superModes = (a && CB_SuperMode->currentText() != kDisable)
                            || (g && CB_SuperMode_g->currentText() != kDisable);
    if (apModes)
        KtDialogs::message(this, kApModeWarning, warningCaption());
    if (superModes)
        KtDialogs::message(this, kSuperModeWarning, warningCaption());
}

void TFM_MultiSSIDNewForm::CB_VLanStateClick()
{
    const bool on = CB_VLanState->isChecked();
    selectText(CB_VLanStatea, on ? kEnable : kDisable);
    selectText(CB_VLanStateg, on ? kEnable : kDisable);
    // VLAN tagging needs several SSIDs.
    if (on)
        IfEnabMuSSID->setChecked(true);
    IfEnabMuSSIDClick();
    // The VLAN column follows the switch.
    rebuildList();
    applyControlRules();
}

void TFM_MultiSSIDNewForm::setBandChoice(int choice)
{
    if (BandComboBox->currentIndex() == choice)
        return;
    BandComboBox->setCurrentIndex(choice);
    BandComboBoxChange();
}

// ---- The list ----

QTreeWidgetItem *TFM_MultiSSIDNewForm::tableRow(int band, int index) const
{
    if (!m_table)
        return nullptr;
    const QString b = QString::number(band);
    const QString i = QString::number(index);
    for (int n = 0; n < GetMultiListView->topLevelItemCount(); ++n) {
        QTreeWidgetItem *row = GetMultiListView->topLevelItem(n);
        if (rowValue(row, KeyBand) == b && rowValue(row, KeyIndex) == i)
            return row;
    }
    return nullptr;
}

QString TFM_MultiSSIDNewForm::rowValue(const QTreeWidgetItem *row, int item) const
{
    return m_table ? m_table->RowValue(row, item) : QString();
}

void TFM_MultiSSIDNewForm::rebuildList()
{
    MulSSIDListView->clear();
    const int choice = RadioGroup1->itemIndex();
    const bool vlan = CB_VLanState->isChecked();
    for (int n = 0; n < GetMultiListView->topLevelItemCount(); ++n) {
        const QTreeWidgetItem *row = GetMultiListView->topLevelItem(n);
        const int band = rowValue(row, KeyBand).toInt();
        if (rowValue(row, StateItem) == kDisable || (choice == BandA && band != 1)
            || (choice == BandG && band != 2))
            continue;
        const int index = rowValue(row, KeyIndex).toInt();
        QStringList cells(ListColumnCount);
        cells[ListIndex] = QString::number(index);
        cells[ListSsid] = rowValue(row, SsidItem);
        cells[ListEncryption]
            = rowValue(row, EncryptionItem) == kDisable ? kOff : rowValue(row, AuthItem);
        cells[ListEthernet] = rowValue(row, EthPortItem);
        cells[ListVlan] = vlan ? rowValue(row, VlanTagItem) : kOff;
        cells[ListMssidIndex]
            = index == 1 ? kPrimary : QStringLiteral("MSSID ") + QString::number(index - 1);
        cells[ListBand] = bandText(band);
        MulSSIDListView->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    applyControlRules();
}

void TFM_MultiSSIDNewForm::MulSSIDListViewClick(QTreeWidgetItem *row)
{
    if (!row)
        return;
    if (row->text(ListIndex) == QStringLiteral("1")) {
        // The primary SSID is no entry of the list to delete.
        MulSSIDListView->clearSelection();
        applyControlRules();
        return;
    }
    row->setSelected(true);
    setBandChoice(row->text(ListBand) == bandText(1) ? ChoiceA : ChoiceG);
    MSSIDIdxCombo->setCurrentIndex(row->text(ListIndex).toInt() - 1);
    MSSIDIdxComboChange();
}

// ---- One entry ----

int TFM_MultiSSIDNewForm::editedBand() const
{
    return BandComboBox->currentIndex() == ChoiceG ? 2 : 1;
}

int TFM_MultiSSIDNewForm::editedIndex() const
{
    return qMax(0, MSSIDIdxCombo->currentIndex()) + 1;
}

void TFM_MultiSSIDNewForm::BandComboBoxChange()
{
    Ed_GrpKey_a->setVisible(editedBand() == 1);
    Ed_GrpKey_g->setVisible(editedBand() == 2);
    selectEntry();
    if (EthernetRadGp->itemIndex() != 1)
        EthernetRadGp->setItemIndex(0);
    // A tag of -1 is the device's "none".
    if (VLANIDEdit->text() == QStringLiteral("-1"))
        VLANIDEdit->clear();
}

void TFM_MultiSSIDNewForm::MSSIDIdxComboChange()
{
    selectEntry();
}

void TFM_MultiSSIDNewForm::selectEntry()
{
    QTreeWidgetItem *row = tableRow(editedBand(), editedIndex());
    m_rowShown = row != nullptr;
    if (row) {
        // Chosen again, the row still fills the controls: they drop what was typed.
        if (GetMultiListView->currentItem() == row)
            m_table->ListViewSelectItem(row, true);
        else
            GetMultiListView->setCurrentItem(row);
    }
    m_keyEdited = false;
    pickSecurityList();
    selectSecurityEntry();
    applySecurityGroup();
    const int keyLength = Ed_KeyValue->text().size();
    CB_KeySize->setCurrentIndex(SecurityRules::keySizeForLength(keyLength).value_or(
        SecurityRules::Bits64));
    applyKeyLimit(QString(), QString());
    rebuildKeyIndexList();
    if (CB_KeyType->currentText() == SecurityRules::keyTypeLabels().at(SecurityRules::Ascii)) {
        const QString hex = Ed_KeyValue->text();
        // A masked key stays masked, one "*" per character of the key it stands for.
        const QString text = SecurityRules::isUnchangedKey(hex)
                                 ? QString(hex.size() / 2, QLatin1Char('*'))
                                 : SecurityRules::hexToAscii(hex);
        m_table->Constraints().Fill(Ed_KeyValue, text);
    }
    applyControlRules();
}

bool TFM_MultiSSIDNewForm::primaryUsesEnterprise(int band) const
{
    return SecurityRules::isEnterprise(rowValue(tableRow(band, 1), AuthItem));
}

QComboBox *TFM_MultiSSIDNewForm::shownSecurityList() const
{
    return SecurityCombo->isHidden() ? SecurityComboTmp : SecurityCombo;
}

QString TFM_MultiSSIDNewForm::shownSecurity() const
{
    const QComboBox *list = shownSecurityList();
    return list->currentIndex() >= 0 ? list->currentText() : list->placeholderText();
}

void TFM_MultiSSIDNewForm::pickSecurityList()
{
    // Only a radio whose primary SSID has a RADIUS server offers the enterprise types.
    const bool enterprise = primaryUsesEnterprise(editedBand());
    SecurityCombo->setVisible(enterprise);
    SecurityComboTmp->setVisible(!enterprise);
}

void TFM_MultiSSIDNewForm::selectSecurityEntry()
{
    const QString entry = EncryBox->currentText() == kDisable ? kNone : CB_Security->currentText();
    // A security the list has no entry for ("Both") is shown as text.
    for (QComboBox *list : {SecurityComboTmp, SecurityCombo}) {
        list->setPlaceholderText(entry);
        list->setCurrentIndex(list->findText(entry));
    }
}

void TFM_MultiSSIDNewForm::securityChosen(QComboBox *list)
{
    const QString security = list->currentText();
    if (security != kNone)
        selectText(CB_Security, security);
    applySecurityGroup();
    applyControlRules();
}

void TFM_MultiSSIDNewForm::SecurityComboTmpChange()
{
    securityChosen(SecurityComboTmp);
}

void TFM_MultiSSIDNewForm::SecurityComboChange()
{
    securityChosen(SecurityCombo);
}

QLineEdit *TFM_MultiSSIDNewForm::groupKeyEdit(int band) const
{
    return band == 2 ? Ed_GrpKey_g : Ed_GrpKey_a;
}

void TFM_MultiSSIDNewForm::applySecurityGroup()
{
    const Kind kind = SecurityRules::kindOf(shownSecurity());
    const bool wpa = kind == Kind::Personal || kind == Kind::Enterprise;
    GP_Key->setVisible(!wpa);
    GP_PSK->setVisible(wpa);
    GP_PSK->setTitle(kind == Kind::Enterprise ? kRadiusTitle : kPassPhraseTitle);
    m_pskFields->setRowVisible(Ed_PassPhrase, kind == Kind::Personal);
    for (QLineEdit *radius : {Ed_RiduisServ, Ed_RadiusPort, Ed_RadiusSec})
        m_pskFields->setRowVisible(radius, kind == Kind::Enterprise);
    Ed_GrpKey_a->setVisible(editedBand() == 1);
    Ed_GrpKey_g->setVisible(editedBand() == 2);
    // The radio's RADIUS server is reached through LAN1.
    if (kind == Kind::Enterprise)
        EthernetRadGp->setItemIndex(0);
}

void TFM_MultiSSIDNewForm::rebuildKeyIndexList()
{
    bool wpaOnRadio = false;
    for (const QTreeWidgetItem *row : otherRowsInUse(editedBand())) {
        wpaOnRadio = wpaOnRadio
                     || SecurityRules::usesWpaKeySlots({rowValue(row, StateItem),
                                                        rowValue(row, AuthItem),
                                                        rowValue(row, EncryptionItem),
                                                        rowValue(row, KeyIndexItem)});
    }
    CB_IdxTmp->clear();
    CB_IdxTmp->addItems(SecurityRules::keyChoices(wpaOnRadio));
    const int at = CB_IdxTmp->findText(CB_KeyIndex->currentText());
    CB_IdxTmp->setCurrentIndex(at >= 0 ? at : 0);
}

void TFM_MultiSSIDNewForm::applyKeyLimit(const QString &noTypeText, const QString &noSizeText)
{
    const int type = SecurityRules::keyTypeLabels().indexOf(CB_KeyType->currentText());
    const int size = CB_KeySize->currentIndex();
    if (type < 0 || size < 0) {
        const QString text = type < 0 ? noTypeText : noSizeText;
        if (!text.isEmpty())
            KtDialogs::message(this, text, QString());
        return;
    }
    KtTypingLimit::SetLimit(Ed_KeyValue,
                            SecurityRules::keyLength(static_cast<SecurityRules::KeyType>(type),
                                                     static_cast<SecurityRules::KeySize>(size)));
}

void TFM_MultiSSIDNewForm::CB_KeyTypeChange()
{
    applyKeyLimit(kKeyTypeNull, kSelectKeySize);
}

void TFM_MultiSSIDNewForm::CB_KeySizeChange()
{
    applyKeyLimit(kKeyTypeNull, kSelectKeySize);
}

void TFM_MultiSSIDNewForm::CB_KeyIndexChange()
{
    applyKeyLimit(kSelectKeyType, kKeyTypeNull);
}

QList<QTreeWidgetItem *> TFM_MultiSSIDNewForm::otherRowsInUse(int band) const
{
    QList<QTreeWidgetItem *> rows;
    const QString b = QString::number(band);
    const QString edited = QString::number(editedIndex());
    for (int n = 0; n < GetMultiListView->topLevelItemCount(); ++n) {
        QTreeWidgetItem *row = GetMultiListView->topLevelItem(n);
        if (rowValue(row, KeyBand) == b && rowValue(row, KeyIndex) != edited
            && rowValue(row, StateItem) == kEnable)
            rows.append(row);
    }
    return rows;
}

void TFM_MultiSSIDNewForm::applyControlRules()
{
    const bool on = IfEnabMuSSID->isChecked();
    const bool vlan = CB_VLanState->isChecked();
    const int choice = RadioGroup1->itemIndex();
    IfEnabMuSSID->setEnabled(!vlan);
    RadioGroup1->setEnabled(on && !vlan);
    BandComboBox->setEnabled(on && (choice == BothBands || vlan));
    MSSIDIdxCombo->setEnabled(on);

    const bool editable = on && m_rowShown;
    const bool secondary = editable && editedIndex() != 1;
    const Kind kind = SecurityRules::kindOf(shownSecurity());
    for (QWidget *control : {static_cast<QWidget *>(SSIDEdit), static_cast<QWidget *>(CB_Broadcast),
                             static_cast<QWidget *>(SecurityComboTmp),
                             static_cast<QWidget *>(SecurityCombo)})
        control->setEnabled(secondary);
    EthernetRadGp->setEnabled(secondary && kind != Kind::Enterprise);
    VLANIDEdit->setEnabled(editable && vlan);
    for (QWidget *control : {static_cast<QWidget *>(CB_KeyType), static_cast<QWidget *>(CB_KeySize),
                             static_cast<QWidget *>(Ed_KeyValue), static_cast<QWidget *>(CB_IdxTmp)})
        control->setEnabled(secondary && kind == Kind::Wep);
    CB_CipherType->setEnabled(secondary && kind != Kind::Wep && kind != Kind::Unknown);
    Ed_PassPhrase->setEnabled(secondary && kind == Kind::Personal);
    Ed_GrpKey_a->setEnabled(secondary && kind == Kind::Personal);
    Ed_GrpKey_g->setEnabled(secondary && kind == Kind::Personal);
    for (QLineEdit *radius : {Ed_RiduisServ, Ed_RadiusPort, Ed_RadiusSec})
        radius->setEnabled(false);
    SaveButton->setEnabled(editable && !m_tableWork);

    MulSSIDListView->setEnabled(on);
    const QTreeWidgetItem *selected = MulSSIDListView->selectedItems().value(0, nullptr);
    DelButton->setEnabled(on && !m_tableWork && selected
                          && selected->text(ListIndex) != QStringLiteral("1"));
}

// ---- Save ----

std::optional<TPageWindow::Refusal> TFM_MultiSSIDNewForm::checkVlanId() const
{
    // -1 is the device's "no tag": with tagging on, every SSID needs one.
    const QString tag = VLANIDEdit->text();
    if (!CB_VLanState->isChecked() || (!tag.isEmpty() && tag != QStringLiteral("-1")))
        return std::nullopt;
    return Refusal{kVlanIdMissing, VLANIDEdit};
}

std::optional<TPageWindow::Refusal> TFM_MultiSSIDNewForm::checkVlanClash() const
{
    if (!CB_VLanState->isChecked())
        return std::nullopt;
    // SSIDs on LAN1 and on LAN2 never share a tag. The edited entry's own row does not count:
    // it may move to the other port with its tag.
    const QString band = bandText(editedBand());
    const QString port = EthernetRadGp->items().value(EthernetRadGp->itemIndex());
    const QString tag = VLANIDEdit->text();
    for (int n = 0; n < MulSSIDListView->topLevelItemCount(); ++n) {
        const QTreeWidgetItem *listed = MulSSIDListView->topLevelItem(n);
        const int index = listed->text(ListIndex).toInt();
        if (listed->text(ListBand) != band || index == editedIndex())
            continue;
        const QTreeWidgetItem *row = tableRow(editedBand(), index);
        if (rowValue(row, EthPortItem) != port && rowValue(row, VlanTagItem) == tag)
            return Refusal{kVlanClash, VLANIDEdit, Refusal::SelectText};
    }
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_MultiSSIDNewForm::checkSsid() const
{
    const QString ssid = SSIDEdit->text();
    if (ssid.isEmpty())
        return Refusal{kSsidMissing, SSIDEdit};
    if (ssid.startsWith(QLatin1Char(' ')))
        return Refusal{kSsidBlank, SSIDEdit};
    if (ssid.size() > 32)
        return Refusal{kSsidTooLong, SSIDEdit, Refusal::SelectText};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal>
TFM_MultiSSIDNewForm::checkSecuritySettings(QString *caption) const
{
    const Kind kind = SecurityRules::kindOf(shownSecurity());
    *caption = warningCaption();
    if (kind != Kind::Personal && kind != Kind::Enterprise)
        return std::nullopt;
    for (QLineEdit *interval : {Ed_GrpKey_a, Ed_GrpKey_g}) {
        if (!SecurityRules::isGroupKeyInterval(interval->text()))
            return Refusal{SecurityRules::groupKeyRangeMessage(), interval, Refusal::SelectText};
    }
    *caption = errorCaption();
    if (kind == Kind::Personal) {
        if (!SecurityRules::isPassPhrase(Ed_PassPhrase->text()))
            return Refusal{kPassPhraseLength, Ed_PassPhrase, Refusal::SelectText};
        return std::nullopt;
    }
    if (!TMainForm::IsValidIPAddress(Ed_RiduisServ->text()))
        return Refusal{SecurityRules::radiusServerMessage(), Ed_RiduisServ};
    if (Ed_RadiusPort->text().isEmpty())
        return Refusal{SecurityRules::radiusPortMessage(), Ed_RadiusPort};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_MultiSSIDNewForm::checkSsidClash() const
{
    const QString ssid = SSIDEdit->text();
    for (const QTreeWidgetItem *row : otherRowsInUse(editedBand())) {
        if (rowValue(row, SsidItem) != ssid)
            continue;
        const int other = rowValue(row, KeyIndex).toInt();
        const QString text = QStringLiteral("The ") + bandText(editedBand())
                             + QStringLiteral(" Multi-SSID ") + QString::number(editedIndex() - 1)
                             + (other == 1 ? QStringLiteral("'s SSID is same as Primary SSID")
                                           : QStringLiteral("'s SSID is same as Multi-SSID ")
                                                 + QString::number(other - 1));
        return Refusal{text, SSIDEdit, Refusal::SelectText};
    }
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_MultiSSIDNewForm::checkKeyLength() const
{
    const int limit = KtTypingLimit::Limit(Ed_KeyValue);
    if (limit == 0 || Ed_KeyValue->text().size() == limit)
        return std::nullopt;
    return Refusal{SecurityRules::keyValueLengthMessage(limit), Ed_KeyValue, Refusal::SelectText};
}

void TFM_MultiSSIDNewForm::SaveButtonClick()
{
    if (!m_table || m_tableWork || !m_rowShown)
        return;
    if (refuse(checkVlanId(), warningCaption()) || refuse(checkVlanClash(), warningCaption()))
        return;
    KtSNMPVarList &items = m_table->list();
    if (editedIndex() == 1) {
        // The primary SSID's settings belong to Home \ Wireless: only its tag is written here.
        if (!writeStates())
            return;
        for (int i = StateItem; i < TableItemCount; ++i)
            items.Item(i).access = ACC_INVALID;
        if (!VLANIDEdit->text().isEmpty())
            items.Item(VlanTagItem).access = ACC_READWRITE;
        m_table->CollectControls(VlanTagItem);
        startTableWrite(kSaving, kSaved);
        return;
    }

    const Kind kind = SecurityRules::kindOf(shownSecurity());
    selectText(EncryBox, shownSecurity() == kNone ? kDisable : kEnable);
    selectText(CB_IdvState, kEnable);
    if (GP_Key->isVisibleTo(this))
        selectText(CB_KeyIndex, CB_IdxTmp->currentText());
    if (IfEnabMuSSID->isChecked() && refuse(checkSsid(), warningCaption()))
        return;
    QString caption;
    const std::optional<Refusal> settings = checkSecuritySettings(&caption);
    if (refuse(settings, caption) || refuse(checkSsidClash(), warningCaption()))
        return;
    std::optional<QString> key;
    if (!chooseRowItems(&key))
        return;
    if (!writeStates())
        return;

    const QString band = bandText(editedBand());
    QList<const QTreeWidgetItem *> listedOthers;
    for (int n = 0; n < MulSSIDListView->topLevelItemCount(); ++n) {
        const QTreeWidgetItem *listed = MulSSIDListView->topLevelItem(n);
        if (listed->text(ListBand) == band && listed->text(ListIndex).toInt() != editedIndex())
            listedOthers.append(listed);
    }
    if (kind == Kind::Wep) {
        for (const QTreeWidgetItem *listed : listedOthers) {
            const QTreeWidgetItem *row = tableRow(editedBand(), listed->text(ListIndex).toInt());
            if (SecurityRules::isWep(listed->text(ListEncryption))
                && rowValue(row, KeyIndexItem) == CB_IdxTmp->currentText()) {
                KtDialogs::message(this, SecurityRules::keySharedWarning(), warningCaption());
                break;
            }
        }
    }
    if (kind == Kind::Personal || kind == Kind::Enterprise) {
        if (!writeInOrder({m_groupKeys}))
            return;
        const int b = editedBand() - 1;
        const QString interval = groupKeyEdit(editedBand())->text();
        if (kind == Kind::Personal && interval != m_rememberedGroupKey[b]) {
            for (const QTreeWidgetItem *listed : listedOthers) {
                const QString security = listed->text(ListEncryption);
                if (security != kOff && !SecurityRules::isWep(security)) {
                    KtDialogs::message(this, SecurityRules::groupKeySharedWarning(),
                                       warningCaption());
                    m_rememberedGroupKey[b] = interval;
                    break;
                }
            }
        }
        if (kind == Kind::Enterprise && !writeInOrder({m_radius}))
            return;
        for (const QTreeWidgetItem *row : otherRowsInUse(editedBand())) {
            const QString keyIndex = rowValue(row, KeyIndexItem);
            if (rowValue(row, EncryptionItem) == kEnable
                && SecurityRules::isWep(rowValue(row, AuthItem))
                && (keyIndex == QStringLiteral("Second") || keyIndex == QStringLiteral("Third"))) {
                KtDialogs::message(this, SecurityRules::keySlotWarning(), warningCaption());
                break;
            }
        }
    }
    m_table->CollectControls();
    if (key)
        items.Item(KeyItem).value = *key;
    startTableWrite(kSaving, kSaved);
}

bool TFM_MultiSSIDNewForm::chooseRowItems(std::optional<QString> *key)
{
    KtSNMPVarList &items = m_table->list();
    for (int i = StateItem; i < TableItemCount; ++i)
        items.Item(i).access = ACC_INVALID;
    const auto write = [&items](std::initializer_list<int> which) {
        for (int i : which)
            items.Item(i).access = ACC_READWRITE;
    };
    if (!IfEnabMuSSID->isChecked())
        return true;
    write({StateItem});
    if (CB_IdvState->currentText() != kEnable)
        return true;
    const Kind kind = SecurityRules::kindOf(shownSecurity());
    const bool encrypted = EncryBox->currentText() == kEnable;
    if (encrypted && kind == Kind::Wep && Ed_KeyValue->isEnabled()) {
        if (refuse(checkKeyLength(), warningCaption())) {
            restoreAccess();
            return false;
        }
        QString text = Ed_KeyValue->text();
        const bool ascii
            = CB_KeyType->currentText() == SecurityRules::keyTypeLabels().at(SecurityRules::Ascii);
        if (ascii && m_keyEdited)
            text = SecurityRules::asciiToHex(text);
        if (SecurityRules::isUnchangedKey(text)) {
            write({KeyIndexItem});
        } else if (!SecurityRules::isHexKey(text)) {
            refuse(Refusal{SecurityRules::hexDigitsMessage(), Ed_KeyValue, Refusal::ClearText},
                   warningCaption());
            restoreAccess();
            return false;
        } else {
            write({KeyItem, KeyTypeItem, KeyIndexItem});
            *key = text;
        }
    }
    if (encrypted && (kind == Kind::Personal || kind == Kind::Enterprise)) {
        write({CipherItem});
        if (kind == Kind::Personal)
            write({PassPhraseItem});
    }
    write({SsidItem, AuthItem, EncryptionItem, EthPortItem, SuppressItem});
    // A tag the device never had ("-1" emptied) is left as the device keeps it.
    if (!VLANIDEdit->text().isEmpty())
        write({VlanTagItem});
    return true;
}

void TFM_MultiSSIDNewForm::restoreAccess()
{
    for (int i = StateItem; i < TableItemCount; ++i)
        m_table->list().Item(i).access = ACC_READWRITE;
}

bool TFM_MultiSSIDNewForm::writeStates()
{
    const UnreadBoxesLeftOut mssid(*m_mssidState, {{0, Band11aCoBox}, {1, Band11gCoBox}});
    const UnreadBoxesLeftOut vlan(*m_vlanState, {{0, CB_VLanStatea}, {1, CB_VLanStateg}});
    if (writeInOrder({m_mssidState, m_vlanState}))
        return true;
    restoreAccess();
    return false;
}

void TFM_MultiSSIDNewForm::startTableWrite(const QString &statusText, const QString &doneText)
{
    showStatusText(statusText);
    m_doneText = doneText;
    m_tableWork = true;
    m_table->mode = KtSNMPRequest2Controls::Asynchronous;
    bool sent = false;
    try {
        sent = m_table->Set(false, false);
    } catch (const KtException &e) {
        m_table->busy = 0;
        showStatusText(e.text());
    }
    restoreAccess();
    if (!sent) {
        m_tableWork = false;
        m_table->mode = KtSNMPRequest2Controls::Synchronous;
    }
    applyControlRules();
}

void TFM_MultiSSIDNewForm::tableWritten(const KtSNMPError &status)
{
    if (status.code != 0) {
        m_tableWork = false;
        m_table->mode = KtSNMPRequest2Controls::Synchronous;
        m_table->ReportSetResult(status);
        applyControlRules();
        return;
    }
    if (!m_doneText.isEmpty())
        showStatusText(m_doneText);
    // The device's table as it now is.
    if (!m_table->Get())
        tableRead(status);
}

void TFM_MultiSSIDNewForm::tableRead(const KtSNMPError &status)
{
    m_tableWork = false;
    m_table->mode = KtSNMPRequest2Controls::Synchronous;
    if (status.code == 0)
        showStatusText(kGetOk);
    else
        m_table->ReportGetResult(status);
    rebuildList();
    selectEntry();
}

// ---- Delete ----

void TFM_MultiSSIDNewForm::DelButtonClick()
{
    const QTreeWidgetItem *listed = MulSSIDListView->selectedItems().value(0, nullptr);
    if (!m_table || m_tableWork || !listed || listed->text(ListIndex) == QStringLiteral("1"))
        return;
    const int band = listed->text(ListBand) == bandText(1) ? 1 : 2;
    QTreeWidgetItem *row = tableRow(band, listed->text(ListIndex).toInt());
    if (!row)
        return;
    m_table->TakeRowIntoItems(row);
    KtSNMPVarList &items = m_table->list();
    for (int i = StateItem; i < TableItemCount; ++i)
        items.Item(i).access = i == StateItem ? ACC_READWRITE : ACC_INVALID;
    items.Item(StateItem).value = kDisable;
    startTableWrite(kDeleting, QString());
}

// ---- Apply ----

void TFM_MultiSSIDNewForm::ApplyBtnClick()
{
    if (!m_table)
        return;
    showStatusText(kApplying);
    if (IfEnabMuSSID->isChecked()) {
        for (QComboBox *mode : {CB_ApMode, CB_ApMode_g})
            selectText(mode, kAccessPoint);
        for (QComboBox *mode : {CB_SuperMode, CB_SuperMode_g})
            selectText(mode, kDisable);
        const int choice = RadioGroup1->itemIndex();
        if (choice != BothBands && choice != BandA && choice != BandG) {
            showStatusText(ApplyTexts::setError());
            return;
        }
        // Both radios for "Both", else the chosen one; a radio the model lacks is not written.
        bool written = true;
        for (int band = 1; band <= 2 && written; ++band) {
            if ((band == 1 ? choice != BandG : choice != BandA) && DeviceFacts::radioPresent(band))
                written = writeInOrder({band == 1 ? m_apModeA : m_apModeG});
        }
        if (!written) {
            showStatusText(kApplyFailed);
            return;
        }
    } else {
        // A state the device never told stays out of the write (UnreadBoxesLeftOut).
        for (QComboBox *state : {Band11aCoBox, Band11gCoBox}) {
            if (state->currentIndex() >= 0)
                selectText(state, kDisable);
        }
    }
    if (!CB_VLanState->isChecked()) {
        for (QComboBox *state : {CB_VLanStatea, CB_VLanStateg}) {
            if (state->currentIndex() >= 0)
                selectText(state, kDisable);
        }
    }
    if (!writeStates()) {
        showStatusText(kApplyFailed);
        return;
    }
    showStatusText(kApplied);
    KtWaiting::Show(this);
}

// ---- Refresh and closing ----

void TFM_MultiSSIDNewForm::RefreshBtnClick()
{
    if (!m_table || m_tableWork)
        return;
    try {
        readDevice();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TFM_MultiSSIDNewForm::CancelBtnClick()
{
    close();
}

bool TFM_MultiSSIDNewForm::FormCloseQuery()
{
    return !m_tableWork;
}
