#include "tfm_wirless.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "ktwaiting.h"
#include "new_req2edit.h"
#include "radiofacts.h"
#include "tmainform.h"
#include "unreadboxes.h"
#include "wirelesssecurityrules.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

TFM_Wirless *FM_Wirless = nullptr;

namespace {

using RadioFacts::ApMode;

// ---- Device variables (below 1.3.6.1.4.1.32473.11.37; b is the band, 1 = 802.11a) ----

const char *const kVendor = "1.3.6.1.4.1.32473.11.37";

QString vendorOid(const char *suffix)
{
    return QString::fromLatin1(kVendor) + QString::fromLatin1(suffix);
}

// The band component of a band index.
QString bandComponent(int band)
{
    return QString::number(band + 1);
}

const KtOptionList &enableOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &radioWaveOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "Off"}, {1, nullptr, "On"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &surveyStartOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "nothing"}, {1, nullptr, "refresh"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem item(const QString &oid, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access, options);
}

// Basic: the same six variables of band a, then of band g.
enum BasicItem {
    SsidItem = 0,
    BroadcastItem,
    ChannelItem,
    ChannelListItem,
    FrequencyItem,
    RadioWaveItem,
    BasicItemsPerBand
};

std::vector<KtSNMPVarItem> basicTable()
{
    std::vector<KtSNMPVarItem> table;
    for (int band = 0; band < TFM_Wirless::BandCount; ++band) {
        const QString b = QLatin1Char('.') + bandComponent(band);
        table.push_back(item(vendorOid(".4.1.1.1.1") + b, "hSSID", SYN_DISPLAYSTR, ACC_READWRITE));
        table.push_back(item(vendorOid(".4.1.1.1.2") + b, "hSSIDBroadcast", SYN_INTEGER,
                             ACC_READWRITE, &enableOptions()));
        table.push_back(item(vendorOid(".4.1.1.1.3") + b, "hChannel", SYN_INTEGER, ACC_READWRITE));
        table.push_back(
            item(vendorOid(".4.1.1.1.4") + b, "hChannelList", SYN_DISPLAYSTR, ACC_READONLY));
        table.push_back(
            item(vendorOid(".4.1.1.1.5") + b, "hRadioFrequency", SYN_DISPLAYSTR, ACC_READONLY));
        table.push_back(item(vendorOid(".4.2.3.1.12") + b, "hRadioWave", SYN_INTEGER, ACC_READWRITE,
                             &radioWaveOptions()));
    }
    table.push_back({});
    return table;
}

std::vector<KtSNMPVarItem> superModeTable()
{
    return {item(vendorOid(".4.2.3.1.11.1"), "adSuperMode", SYN_INTEGER, ACC_READONLY,
                 &RadioFacts::superModeOptions()),
            item(vendorOid(".4.2.3.1.11.2"), "adSuperMode", SYN_INTEGER, ACC_READONLY,
                 &RadioFacts::superModeOptions()),
            {}};
}

std::vector<KtSNMPVarItem> turboListTable()
{
    return {item(vendorOid(".4.1.1.1.6.1"), "hDynamicChannelList", SYN_DISPLAYSTR, ACC_READONLY),
            item(vendorOid(".4.1.1.1.7.1"), "hStaticChannelList", SYN_DISPLAYSTR, ACC_READONLY),
            item(vendorOid(".4.1.1.1.6.2"), "hDynamicChannelList", SYN_DISPLAYSTR, ACC_READONLY),
            item(vendorOid(".4.1.1.1.7.2"), "hStaticChannelList", SYN_DISPLAYSTR, ACC_READONLY),
            {}};
}

std::vector<KtSNMPVarItem> wdsSupportTable()
{
    return {item(vendorOid(".4.99.1.1.19.1"), "wdschannellist", SYN_INTEGER, ACC_READONLY),
            item(vendorOid(".4.99.1.1.19.2"), "wdschannellist", SYN_INTEGER, ACC_READONLY),
            {}};
}

std::vector<KtSNMPVarItem> wdsListTable(int band)
{
    const QString b = QLatin1Char('.') + bandComponent(band);
    return {
        item(vendorOid(".4.1.1.1.8") + b, "hwdsChannelList", SYN_DISPLAYSTR, ACC_READONLY),
        item(vendorOid(".4.1.1.1.9") + b, "hwdsDynamicChannelList", SYN_DISPLAYSTR, ACC_READONLY),
        item(vendorOid(".4.1.1.1.10") + b, "hwdsStaticChannelList", SYN_DISPLAYSTR, ACC_READONLY),
        {}};
}

std::vector<KtSNMPVarItem> wdsSiteSupportTable()
{
    return {item(vendorOid(".4.99.1.1.24.1"), "wdssitesurvey", SYN_INTEGER, ACC_READONLY),
            item(vendorOid(".4.99.1.1.24.2"), "wdssitesurvey", SYN_INTEGER, ACC_READONLY),
            {}};
}

std::vector<KtSNMPVarItem> autoScanTable(int band)
{
    return {item(vendorOid(".4.2.3.1.14.") + bandComponent(band), "adAutoChannelScan", SYN_INTEGER,
                 ACC_READWRITE, &enableOptions()),
            {}};
}

// AP mode: the mode, then remote AP 1 .. 8 of a WDS link.
enum ApModeItem { ApModeItemMode = 0, ApModeItemFirstMac = 1 };

std::vector<KtSNMPVarItem> apModeTable(int band)
{
    const QString b = bandComponent(band);
    std::vector<KtSNMPVarItem> table = {item(vendorOid(".4.2.1.1.1.") + b, "adAPMode", SYN_INTEGER,
                                             ACC_READWRITE, &RadioFacts::apModeOptions())};
    for (int n = 1; n <= TFM_Wirless::RemoteMacCount; ++n)
        table.push_back(item(vendorOid(".4.2.2.1.2.") + b + QLatin1Char('.') + QString::number(n),
                             "adPtPRemoteAPMACAddress", SYN_MACADDRESS, ACC_READWRITE));
    table.push_back({});
    return table;
}

// The root access point a repeater repeats.
std::vector<KtSNMPVarItem> rootApTable(int band)
{
    return {item(vendorOid(".4.2.1.1.3.") + bandComponent(band), "adAPRRootAPMACAddress",
                 SYN_MACADDRESS, ACC_READWRITE),
            {}};
}

std::vector<KtSNMPVarItem> surveyStartTable(int band)
{
    return {item(vendorOid(".4.2.8.1.1.1.") + bandComponent(band), "adRefresh", SYN_INTEGER,
                 ACC_READWRITE, &surveyStartOptions()),
            {}};
}

// The neighbours a band's radio hears (instance: the band; rows: the neighbour number).
enum SurveyItem {
    SurveyIndex = 0,
    SurveyType,
    SurveyChannel,
    SurveySignal,
    SurveyBssid,
    SurveySecurity,
    SurveySsid,
    SurveySupportWds
};

std::vector<KtSNMPVarItem> surveyListTable()
{
    const auto column = [](int c) { return vendorOid(".4.2.8.2.1.") + QString::number(c); };
    return {item(column(1), "Index", SYN_INTEGER, ACC_NOTACCESS),
            item(column(2), " Type", SYN_DISPLAYSTR, ACC_READONLY),
            item(column(3), " Channel", SYN_INTEGER, ACC_READONLY),
            item(column(4), " Signal (%)", SYN_INTEGER, ACC_READONLY),
            item(column(5), " BSSID", SYN_MACADDRESS, ACC_READONLY),
            item(column(6), " Security ", SYN_DISPLAYSTR, ACC_READONLY),
            item(column(7), " SSID", SYN_DISPLAYSTR, ACC_READONLY),
            item(column(9), " Support WDS", SYN_INTEGER, ACC_READONLY),
            {}};
}

std::vector<KtSNMPVarItem> mssidStateTable()
{
    return {item(vendorOid(".4.2.9.3.1.1.1"), "adMSSIDState", SYN_INTEGER, ACC_READWRITE,
                 &enableOptions()),
            item(vendorOid(".4.2.9.3.1.1.2"), "adMSSIDState", SYN_INTEGER, ACC_READWRITE,
                 &enableOptions()),
            {}};
}

// The multi-SSID table as the window mirrors it: the two keys (band, SSID index), then the
// columns in the order the multi-SSID window lists them. The WEP key and the passphrase of the
// secondary SSIDs are no concern of this window and are not read.
enum MirrorItem {
    MirrorBand = 0,
    MirrorIndex,
    MirrorState,
    MirrorSsid,
    MirrorAuth,
    MirrorEncryption,
    MirrorKeyIndex
};

std::vector<KtSNMPVarItem> mirrorTable()
{
    const auto column = [](int c) { return vendorOid(".4.2.9.2.1.") + QString::number(c); };
    return {item(column(1), "Band", SYN_INTEGER, ACC_NOTACCESS),
            item(column(1), "adMSSIDIndex", SYN_INTEGER, ACC_NOTACCESS),
            item(column(2), "adMSSIDIdvState", SYN_INTEGER, ACC_READONLY, &enableOptions()),
            item(column(3), "adMSSIDSSID", SYN_DISPLAYSTR, ACC_READONLY),
            item(column(4), "adMSSIDAuth", SYN_INTEGER, ACC_READONLY,
                 &SecurityRules::mssidAuthenticationOptions()),
            item(column(5), "adMSSIDEncryption", SYN_INTEGER, ACC_READONLY, &enableOptions()),
            item(column(6), "adMSSIDKeyIndex", SYN_INTEGER, ACC_READONLY,
                 &SecurityRules::keyIndexOptions()),
            item(column(10), "adMSSIDEthPort", SYN_INTEGER, ACC_READONLY,
                 &SecurityRules::mssidEthernetOptions()),
            item(column(8), "adMSSIDVlanTagID", SYN_INTEGER, ACC_READONLY),
            item(column(11), "adMSSIDCipherType", SYN_INTEGER, ACC_READONLY,
                 &SecurityRules::mssidCipherOptions()),
            item(column(13), "adMSSIDKeyType", SYN_INTEGER, ACC_READONLY,
                 &SecurityRules::mssidKeyTypeOptions()),
            item(column(14), "adMSSIDSuppress", SYN_INTEGER, ACC_READONLY, &enableOptions()),
            {}};
}

// ---- Texts ----

const QString kCaption = QStringLiteral("Home \\ Wireless");
const QString kWarning = QStringLiteral("Warning");
const QString kError = QStringLiteral("Error");
const QString kTimedOut = QStringLiteral("SNMP request timed out!");
// The code of a request the device did not answer in time.
constexpr int kTimedOutCode = -405;
const QString kNoMac = QStringLiteral("000000000000");
const QString kEnable = QStringLiteral("Enable");
const QString kDisable = QStringLiteral("Disable");

// The names of the AP mode list: five-mode devices, seven-mode devices.
const QStringList kFiveModeNames
    = {QStringLiteral("Access Point"), QStringLiteral("PtP Bridge"), QStringLiteral("PtMP Bridge"),
       QStringLiteral("AP Repeater"), QStringLiteral("AP Client")};
const QString kWdsWithAp = QStringLiteral("WDS with AP");
const QString kWds = QStringLiteral("WDS");
const QStringList kSevenModeNames = {QStringLiteral("Access Point"), kWdsWithAp, kWds,
                                     QStringLiteral("AP Repeater"), QStringLiteral("AP Client")};

// "11a", "IEEE802.11a", "802.11a" and their band g forms.
QString shortBand(int band)
{
    return band == TFM_Wirless::BandA ? QStringLiteral("11a") : QStringLiteral("11g");
}

QString ieeeBand(int band)
{
    return QStringLiteral("IEEE802.") + shortBand(band);
}

QString dottedBand(int band)
{
    return QStringLiteral("802.") + shortBand(band);
}

QString apModeText(ApMode value)
{
    return RadioFacts::apModeLabel(value);
}

// ---- What the main window knows of the device ----

QString apModeMask(int band)
{
    return DeviceFacts::text(band == TFM_Wirless::BandA ? &TMainForm::APModeSupport
                                                        : &TMainForm::APModeSupport11g);
}

QString turboModes(int band)
{
    return DeviceFacts::text(band == TFM_Wirless::BandA ? &TMainForm::ED_Turbomode
                                                        : &TMainForm::ED_Turbomode_g);
}

// ---- Small control helpers ----

QLineEdit *lineEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QComboBox *comboBox(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QLineEdit *hiddenEdit(QWidget *parent, const QString &name)
{
    QLineEdit *edit = lineEdit(parent, name);
    edit->hide();
    return edit;
}

QComboBox *hiddenCombo(QWidget *parent, const QString &name)
{
    QComboBox *box = comboBox(parent, name);
    box->hide();
    return box;
}

// Typing stops at the limit; a longer value the device sent is shown whole (and Apply reports it).
void limitTyping(QLineEdit *edit, int limit)
{
    edit->setValidator(new KtTypingLimit(edit, limit));
}

// Binding fills a box with its option labels, which selects the first: until the device has
// told its value the box shows nothing instead.
void showNothingUntilRead(std::initializer_list<QComboBox *> boxes)
{
    for (QComboBox *box : boxes)
        box->setCurrentIndex(-1);
}

TWirlessRefusal refusalOf(const QString &text, const QString &caption, QWidget *control)
{
    TWirlessRefusal refusal;
    refusal.refusal.message = text;
    refusal.refusal.control = control;
    refusal.caption = caption;
    return refusal;
}

bool isEmptyMac(const QString &text)
{
    return text.isEmpty() || text == kNoMac;
}

} // namespace

// A failed read or write shows its status line; a success shows nothing (the status bar keeps
// the line that matters: the basic read's, or what Apply says).
void TFM_Wirless::reportErrorsOnly(KtSNMPRequest2Edits *request)
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

// ---- The requests of one band ----

// Owned by the page window, like every request of the window.
struct TFM_Wirless::BandRequests {
    KtSNMPRequest2Edits *autoScan = nullptr;
    KtSNMPRequest2Edits *apMode = nullptr;
    KtSNMPRequest2Edits *rootAp = nullptr;
    KtSNMPRequest2Edits *wdsLists = nullptr;
    KtSNMPRequest2Edits *surveyStart = nullptr;
    New_req2Edit *surveyList = nullptr;
};

// ---- Construction ----

TFM_Wirless::TFM_Wirless(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Wirless"));
    setWindowTitle(kCaption);
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Wirless::~TFM_Wirless() = default;

void TFM_Wirless::buildWindow()
{
    PC_Wirless = new QTabWidget(this);
    PC_Wirless->setObjectName(QStringLiteral("PC_Wirless"));
    for (int band = 0; band < BandCount; ++band)
        buildBandPage(band);
    TS_11a = m_pages[BandA].sheet;
    TS_11g = m_pages[BandG].sheet;

    MultiListView = new QTreeWidget(this);
    MultiListView->setObjectName(QStringLiteral("MultiListView"));
    MultiListView->hide();

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Refresh = new QPushButton(QStringLiteral("Refresh"), this);
    Bt_Refresh->setObjectName(QStringLiteral("Bt_Refresh"));
    Bt_Close = new QPushButton(QStringLiteral("Close"), this);
    Bt_Close->setObjectName(QStringLiteral("Bt_Close"));
    Bt_Apply->setAutoDefault(false);
    Bt_Refresh->setAutoDefault(false);
    Bt_Close->setAutoDefault(false);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Refresh);
    buttons->addWidget(Bt_Close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PC_Wirless);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_Wirless::Bt_ApplyClick);
    connect(Bt_Refresh, &QPushButton::clicked, this, &TFM_Wirless::Bt_RefreshClick);
    connect(Bt_Close, &QPushButton::clicked, this, &TFM_Wirless::Bt_CloseClick);
    connect(PC_Wirless, &QTabWidget::currentChanged, this, &TFM_Wirless::PC_WirlessChange);

    BandPage &a = m_pages[BandA];
    BandPage &g = m_pages[BandG];
    connect(a.apModeShown, &QComboBox::activated, this,
            &TFM_Wirless::ED_APModeTempComboBoxtestChange);
    connect(g.apModeShown, &QComboBox::activated, this, &TFM_Wirless::ED_APModeTempComboBoxgChange);
    connect(a.apMode, &QComboBox::activated, this, &TFM_Wirless::ED_APModeComboBoxChange);
    connect(a.autoChannelScan, &QComboBox::activated, this, &TFM_Wirless::CB_AuScChange);
    connect(g.autoChannelScan, &QComboBox::activated, this, &TFM_Wirless::CB_AuScgChange);
    connect(a.radioWave, &QComboBox::activated, this, &TFM_Wirless::CB_RadWavaChange);
    connect(g.radioWave, &QComboBox::activated, this, &TFM_Wirless::CB_RadWavgChange);
    connect(a.siteScan, &QPushButton::clicked, this, &TFM_Wirless::SiteScanClick);
    connect(g.siteScan, &QPushButton::clicked, this, &TFM_Wirless::SiteScangClick);
    connect(a.siteList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *row) { SiteServeyListViewClick(row); });
    connect(g.siteList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *row) { SiteServeyListViewgClick(row); });
    PC_WirlessChange(PC_Wirless->currentIndex());
}

void TFM_Wirless::buildBandPage(int band)
{
    const bool a = band == BandA;
    // Object names: the band a name and the band g name of each control.
    const auto name = [a](const char *nameA, const char *nameG) {
        return QString::fromLatin1(a ? nameA : nameG);
    };
    BandPage &p = m_pages[band];
    p.sheet = new QWidget;
    p.sheet->setObjectName(name("TS_11a", "TS_11g"));
    PC_Wirless->addTab(p.sheet,
                       a ? QStringLiteral("IEEE 802.11a") : QStringLiteral("IEEE 802.11g"));

    p.frequency = lineEdit(p.sheet, name("Ed_RaFreqa", "Ed_RaFreqg"));
    setEditable(p.frequency, false);
    p.frequency->setFixedWidth(48);
    p.ssid = lineEdit(p.sheet, name("Ed_SSIDa", "Ed_SSIDg"));
    p.ssid->setMinimumWidth(220);
    p.ssidBroadcast = comboBox(p.sheet, name("CB_SSIDBcasta", "CB_SSIDBcastg"));
    p.channel = comboBox(p.sheet, name("CB_Chana", "CB_Chang"));
    p.channel->setMinimumWidth(80);
    p.autoChannelScan = comboBox(p.sheet, name("CB_AuSc", "CB_AuScg"));
    p.radioWave = comboBox(p.sheet, name("CB_RadWava", "CB_RadWavg"));
    p.apModeShown = comboBox(p.sheet, name("ED_APModeTempComboBox", "ED_APModeTempComboBoxg"));
    p.apModeShown->setMinimumWidth(140);

    auto *frequencyRow = new QHBoxLayout;
    frequencyRow->addWidget(p.frequency);
    frequencyRow->addWidget(new QLabel(QStringLiteral("GHz"), p.sheet));
    frequencyRow->addStretch(1);
    p.ssidLabel = new QLabel(QStringLiteral("SSID"), p.sheet);
    p.apModeLabel = new QLabel(QStringLiteral("AP Mode"), p.sheet);
    p.fields = new QFormLayout;
    p.fields->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    p.fields->addRow(QStringLiteral("Radio Frequency"), frequencyRow);
    p.fields->addRow(p.ssidLabel, p.ssid);
    p.fields->addRow(QStringLiteral("SSID Broadcast"), p.ssidBroadcast);
    p.fields->addRow(QStringLiteral("Channel"), p.channel);
    p.fields->addRow(QStringLiteral("Auto Channel Scan"), p.autoChannelScan);
    p.fields->addRow(QStringLiteral("Radio Wave"), p.radioWave);
    p.fields->addRow(p.apModeLabel, p.apModeShown);

    p.securityArea = new QWidget(p.sheet);
    p.securityArea->setObjectName(name("SecurityArea_a", "SecurityArea_g"));
    auto *securityLayout = new QVBoxLayout(p.securityArea);
    securityLayout->setContentsMargins(0, 0, 0, 0);

    // AP Repeater / AP Client: the root access point and the SSID.
    p.repeaterGroup = new QGroupBox(QStringLiteral(" AP Repeater  "), p.sheet);
    p.repeaterGroup->setObjectName(name("GroupBox2", "Repea_Client_Group_g"));
    p.rootMac = lineEdit(p.repeaterGroup, name("Ed_RoMAddra0", "Ed_RoMAddrg0"));
    p.repeaterSsid = lineEdit(p.repeaterGroup, name("Ed_SSID", "Ed_SSID_11g"));
    p.repeaterSsid->setMinimumWidth(220);
    p.clientRootMac = hiddenEdit(p.repeaterGroup, name("Ed_CRoMAddra0", "Ed_CRoMAddrg0"));
    auto *repeaterLayout = new QFormLayout(p.repeaterGroup);
    repeaterLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    repeaterLayout->addRow(QStringLiteral("Root AP MAC Address  "), p.rootMac);
    repeaterLayout->addRow(QStringLiteral("SSID"), p.repeaterSsid);

    // WDS: the remote access points, two columns of four.
    p.wdsGroup = new QGroupBox(QStringLiteral(" WDS with AP "), p.sheet);
    p.wdsGroup->setObjectName(name("GroupBox1", "MACGroup_g"));
    auto *wdsLayout = new QGridLayout(p.wdsGroup);
    wdsLayout->addWidget(new QLabel(QStringLiteral("Remote AP MAC Address"), p.wdsGroup), 0, 0, 1,
                         4);
    for (int n = 0; n < RemoteMacCount; ++n) {
        const QString macName = (a ? QStringLiteral("Ed_ReMAddra") : QStringLiteral("Ed_ReMAddrg"))
                                + QString::number(n);
        p.remoteMacs[n] = lineEdit(p.wdsGroup, macName);
        const int row = 1 + n % 4;
        const int column = n < 4 ? 0 : 2;
        wdsLayout->addWidget(new QLabel(QString::number(n + 1), p.wdsGroup), row, column);
        wdsLayout->addWidget(p.remoteMacs[n], row, column + 1);
    }

    // Site survey.
    p.siteGroup = new QGroupBox(QStringLiteral(" Site Survey "), p.sheet);
    p.siteGroup->setObjectName(name("GroupBox3", "SiteGroupBoxg"));
    p.siteList = new QTreeWidget(p.siteGroup);
    p.siteList->setObjectName(name("SiteServeyListView", "SiteServeyListViewg"));
    // Room for six neighbours; more scroll.
    p.siteList->setMinimumWidth(440);
    p.siteList->setFixedHeight(130);
    p.siteScan = new QPushButton(QStringLiteral("Scan"), p.siteGroup);
    p.siteScan->setObjectName(name("SiteScan", "SiteScang"));
    p.siteScan->setAutoDefault(false);
    auto *siteLayout = new QVBoxLayout(p.siteGroup);
    siteLayout->addWidget(p.siteList);
    auto *scanRow = new QHBoxLayout;
    scanRow->addStretch(1);
    scanRow->addWidget(p.siteScan);
    siteLayout->addLayout(scanRow);

    auto *layout = new QVBoxLayout(p.sheet);
    layout->addLayout(p.fields);
    layout->addWidget(p.securityArea);
    layout->addWidget(p.repeaterGroup);
    layout->addWidget(p.wdsGroup);
    layout->addWidget(p.siteGroup);
    layout->addStretch(1);

    // Device values the user does not edit here.
    p.channelValue = hiddenEdit(p.sheet, name("Ed_Chana", "Ed_Chang"));
    p.apMode = hiddenCombo(p.sheet, name("ED_APModeComboBox", "ED_APModeComboBoxg"));
    p.superMode = hiddenCombo(p.sheet, name("AD_SuperMode", "AD_SuperModeg"));
    p.channelList = hiddenEdit(p.sheet, name("Ed_ChanLista", "Ed_ChanListg"));
    p.dynamicList = hiddenEdit(p.sheet, name("DyChListEdita", "DyChListEditg"));
    p.staticList = hiddenEdit(p.sheet, name("StChListEdita", "StChListEditg"));
    p.wdsChannelList = hiddenEdit(p.sheet, name("EdWDSChannelList_a", "EdWDSChannelList_g"));
    p.wdsDynamicList = hiddenEdit(p.sheet, name("EdWDSDynamicList_a", "EdWDSDynamicList_g"));
    p.wdsStaticList = hiddenEdit(p.sheet, name("EdWDSStaticList_a", "EdWDSStaticList_g"));
    p.wdsChannelSupport = hiddenEdit(p.sheet, name("EdWDSChannelSup_a", "EdWDSChannelSup_g"));
    p.wdsSiteSurvey = hiddenEdit(p.sheet, name("EdWDSSite_a", "EdWDSSite_g"));
    p.siteStart = hiddenCombo(p.siteGroup, name("SiteScanComboBox", "SiteScanComboBoxg"));
    p.mssidState = hiddenCombo(p.sheet, name("MSSIDaCoBox", "MSSIDgCoBox"));

    // Edit length limits.
    limitTyping(p.ssid, 32);
    limitTyping(p.repeaterSsid, 32);
    for (QLineEdit *mac : p.remoteMacs)
        limitTyping(mac, 12);
    limitTyping(p.rootMac, 12);
    setEditable(p.clientRootMac, false);

    m_security[band] = std::make_unique<TWirlessSecurity>(*this, band, p.securityArea);
}

// ---- Creation ----

void TFM_Wirless::FormCreate()
{
    try {
        for (int band = 0; band < BandCount; ++band)
            createBandRequests(band);
        createSharedRequests();
        readAtCreation();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TFM_Wirless::createBandRequests(int band)
{
    BandPage &p = m_pages[band];
    auto requests = std::make_unique<BandRequests>();

    std::vector<KtSNMPVarItem> table = autoScanTable(band);
    requests->autoScan
        = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), MVT_SV));
    requests->autoScan->mode = KtSNMPRequest2Controls::Synchronous;
    requests->autoScan->BindComboBox(0, p.autoChannelScan);

    table = apModeTable(band);
    requests->apMode
        = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), MVT_SV));
    requests->apMode->mode = KtSNMPRequest2Controls::Synchronous;
    requests->apMode->BindComboBox(ApModeItemMode, p.apMode);
    for (int n = 0; n < RemoteMacCount; ++n)
        requests->apMode->BindEdit(ApModeItemFirstMac + n, QStringLiteral("%h"), p.remoteMacs[n]);

    table = rootApTable(band);
    requests->rootAp
        = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), MVT_SV));
    requests->rootAp->mode = KtSNMPRequest2Controls::Synchronous;
    requests->rootAp->BindEdit(0, QStringLiteral("%h"), p.rootMac);
    requests->rootAp->afterGetHook = [this, band](KtSNMPRequest2Edits *) { rootApRead(band); };

    table = wdsListTable(band);
    requests->wdsLists
        = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), MVT_SV));
    requests->wdsLists->BindEdit(0, QStringLiteral("%s"), p.wdsChannelList);
    requests->wdsLists->BindEdit(1, QStringLiteral("%s"), p.wdsDynamicList);
    requests->wdsLists->BindEdit(2, QStringLiteral("%s"), p.wdsStaticList);
    requests->wdsLists->request.statusCallback = nullptr;
    requests->wdsLists->OnGetComplete
        = [this, band](KtSNMPRequest2Controls *, const KtSNMPError &status) {
              wdsChannelListsRead(band, status);
          };

    // The scan itself runs while the write waits for its answer: band a's radio takes longer.
    table = surveyStartTable(band);
    requests->surveyStart
        = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), MVT_SV));
    requests->surveyStart->request.timeout = band == BandA ? 5000 : 1000;
    requests->surveyStart->BindComboBox(0, p.siteStart);
    requests->surveyStart->request.statusCallback = nullptr;
    requests->surveyStart->OnSetComplete
        = [this, band](KtSNMPRequest2Controls *, const KtSNMPError &status) {
              surveyStarted(band, status);
          };

    table = surveyListTable();
    requests->surveyList
        = adoptRequest(std::make_unique<New_req2Edit>(this, table.data(), MVT_UMV, 1));
    requests->surveyList->list().instance = bandComponent(band);
    requests->surveyList->request.timeout = 1000;
    requests->surveyList->keyItem = SurveySupportWds;
    requests->surveyList->skipText = QStringLiteral("0");
    requests->surveyList->SetStatusControl(StatusBar);
    requests->surveyList->BindListView(p.siteList, false);
    // The neighbour number and the WDS flag are kept, not shown.
    p.siteList->setColumnHidden(requests->surveyList->ColumnOf(SurveyIndex), true);
    p.siteList->setColumnHidden(requests->surveyList->ColumnOf(SurveySupportWds), true);
    requests->surveyList->request.statusCallback = nullptr;
    requests->surveyList->OnGetComplete
        = [this, band](KtSNMPRequest2Controls *, const KtSNMPError &status) {
              surveyListRead(band, status);
          };

    for (KtSNMPRequest2Edits *request :
         {requests->autoScan, requests->apMode, requests->surveyStart})
        request->SetStatusControl(StatusBar);
    reportErrorsOnly(requests->autoScan);
    reportErrorsOnly(requests->apMode);
    // A device without a root AP for this band is no news at opening: Apply tells when it
    // matters.
    requests->rootAp->SetStatusControl(StatusBar);
    requests->rootAp->request.statusCallback = nullptr;
    m_bandRequests[band] = std::move(requests);
    showNothingUntilRead({p.autoChannelScan, p.apMode, p.siteStart});
}

void TFM_Wirless::createSharedRequests()
{
    const auto make = [this](const std::vector<KtSNMPVarItem> &table, int type, int keys = 0) {
        KtSNMPRequest2Edits *request
            = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), type, keys));
        request->mode = KtSNMPRequest2Controls::Synchronous;
        request->SetStatusControl(StatusBar);
        reportErrorsOnly(request);
        return request;
    };
    BandPage &a = m_pages[BandA];
    BandPage &g = m_pages[BandG];

    m_mssidState = make(mssidStateTable(), MVT_SV);
    m_mssidState->BindComboBox(0, a.mssidState);
    m_mssidState->BindComboBox(1, g.mssidState);

    m_mirror = make(mirrorTable(), MVT_UMV, 2);
    m_mirror->BindListView(MultiListView, false);

    m_basic = make(basicTable(), MVT_SV);
    // The basic read's outcome is what the status bar shows after opening.
    m_basic->request.statusCallback = [request = m_basic](const KtSNMPError &status) {
        if (request->messageIndex == KtSNMPRequest2Controls::GetMessage)
            request->ReportGetResult(status);
        else if (status.code != 0)
            request->ReportSetResult(status);
    };
    for (int band = 0; band < BandCount; ++band) {
        BandPage &p = m_pages[band];
        const int first = band * BasicItemsPerBand;
        m_basic->BindEdit(first + SsidItem, QStringLiteral("%s"), p.ssid);
        m_basic->BindComboBox(first + BroadcastItem, p.ssidBroadcast);
        m_basic->BindEdit(first + ChannelItem, QStringLiteral("%s"), p.channelValue);
        m_basic->BindEdit(first + ChannelListItem, QStringLiteral("%s"), p.channelList);
        m_basic->BindEdit(first + FrequencyItem, QStringLiteral("%s"), p.frequency);
        m_basic->BindComboBox(first + RadioWaveItem, p.radioWave);
    }
    // In client mode the repeater SSID is the band's SSID.
    m_basic->afterGetHook = [this](KtSNMPRequest2Edits *) {
        for (BandPage &p : m_pages)
            p.repeaterSsid->setText(p.ssid->text());
    };

    m_superMode = make(superModeTable(), MVT_SV);
    m_superMode->BindComboBox(0, a.superMode);
    m_superMode->BindComboBox(1, g.superMode);

    m_turboLists = make(turboListTable(), MVT_SV);
    m_turboLists->BindEdit(0, QStringLiteral("%s"), a.dynamicList);
    m_turboLists->BindEdit(1, QStringLiteral("%s"), a.staticList);
    m_turboLists->BindEdit(2, QStringLiteral("%s"), g.dynamicList);
    m_turboLists->BindEdit(3, QStringLiteral("%s"), g.staticList);

    m_wdsSupport = make(wdsSupportTable(), MVT_SV);
    m_wdsSupport->mode = KtSNMPRequest2Controls::Asynchronous;
    m_wdsSupport->BindEdit(0, QStringLiteral("%s"), a.wdsChannelSupport);
    m_wdsSupport->BindEdit(1, QStringLiteral("%s"), g.wdsChannelSupport);
    m_wdsSupport->request.statusCallback = nullptr;
    m_wdsSupport->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        wdsChannelSupportRead(status);
    };

    for (BandPage &p : m_pages)
        showNothingUntilRead({p.mssidState, p.ssidBroadcast, p.radioWave, p.superMode});

    m_wdsSiteSupport = make(wdsSiteSupportTable(), MVT_SV);
    m_wdsSiteSupport->BindEdit(0, QStringLiteral("%s"), a.wdsSiteSurvey);
    m_wdsSiteSupport->BindEdit(1, QStringLiteral("%s"), g.wdsSiteSurvey);
}

void TFM_Wirless::readAtCreation()
{
    m_deviceSilent = false;
    for (int band = 0; band < BandCount; ++band) {
        BandRequests &r = *m_bandRequests[band];
        // Only a device that answers without the variable has no automatic channel scan.
        m_autoScanSupported[band] = read(r.autoScan) || m_deviceSilent;
        read(r.apMode);
        read(r.rootAp);
        m_security[band]->create();
        if (band == BandA) {
            read(m_mssidState);
            read(m_mirror);
        }
    }
    for (int band = 0; band < BandCount; ++band)
        m_security[band]->narrowValidKeys();

    buildApModeLists();
    for (int band = 0; band < BandCount; ++band) {
        applyMacFieldStates(band);
        applyModeRules(band);
    }

    read(m_superMode);
    read(m_turboLists);
    read(m_basic);
    for (int band = 0; band < BandCount; ++band)
        fillChannelBox(band);
    readWdsChannelSupport();
    read(m_wdsSiteSupport);
}

bool TFM_Wirless::read(KtSNMPRequest2Edits *request)
{
    // A request still busy with a read keeps its walk position: no second read. A device that
    // let one read of this pass time out would let the others time out too, each after its
    // full wait: the window opens (or refreshes) with what it has instead.
    if (!request || request->IsBusy() || m_deviceSilent)
        return false;
    const WorkingScope working(this, Operation::Reading);
    const bool synchronous = request->mode == KtSNMPRequest2Controls::Synchronous;
    const KtSNMPRequest::StatusCallback report = request->request.statusCallback;
    int failure = 0;
    if (synchronous) {
        request->request.statusCallback = [&failure, report](const KtSNMPError &status) {
            failure = status.code;
            if (report)
                report(status);
        };
    }
    bool read = false;
    try {
        read = request->Get();
    } catch (const KtException &e) {
        request->busy = 0;
        showStatusText(e.text());
    }
    if (synchronous) {
        request->request.statusCallback = report;
        m_deviceSilent = failure == kTimedOutCode;
    }
    return read;
}

void TFM_Wirless::rootApRead(int band)
{
    BandPage &p = m_pages[band];
    const QString value = m_bandRequests[band]->rootAp->list().Item(0).value;
    const QString shown = value == KT_NULL_TEXT ? QString() : value;
    p.rootMac->setText(shown);
    p.clientRootMac->setText(shown);
}

// ---- AP mode lists ----

QStringList TFM_Wirless::apModeChoices(const QString &maskText)
{
    bool ok = false;
    quint64 rest = maskText.trimmed().toULongLong(&ok);
    if (!ok)
        return {};
    // The bits, least significant first, until what is left is 1 or less; a last 1 is the
    // highest bit.
    QVector<bool> bits;
    while (rest > 1) {
        bits.append((rest & 1) != 0);
        rest >>= 1;
    }
    if (rest == 1)
        bits.append(true);
    const int highest = static_cast<int>(bits.size()) - 1;
    const QStringList *names = highest == 4   ? &kFiveModeNames
                               : highest == 6 ? &kSevenModeNames
                                              : nullptr;
    if (!names)
        return {};
    // Names go by a running counter, not by the bit's position.
    QStringList choices;
    for (int bit = highest; bit >= 0; --bit) {
        if (!bits.at(bit))
            continue;
        if (highest == 6 && (bit == 2 || bit == 4))
            continue;
        if (choices.size() < names->size())
            choices.append(names->at(choices.size()));
    }
    return choices;
}

QString TFM_Wirless::shownModeFor(const QStringList &choices, const QString &deviceMode)
{
    // A five-mode list names the bridges as the device does.
    if (choices.contains(deviceMode))
        return deviceMode;
    QString shown;
    if (deviceMode == apModeText(RadioFacts::PtPBridge)
        || deviceMode == apModeText(RadioFacts::PtMPBridge))
        shown = kWdsWithAp;
    else if (deviceMode == apModeText(RadioFacts::PtPWithout)
             || deviceMode == apModeText(RadioFacts::P2MPWithout))
        shown = kWds;
    return choices.contains(shown) ? shown : QString();
}

QString TFM_Wirless::deviceModeFor(const QString &shownMode)
{
    if (shownMode == kWdsWithAp)
        return apModeText(RadioFacts::PtMPBridge);
    if (shownMode == kWds)
        return apModeText(RadioFacts::P2MPWithout);
    return shownMode;
}

TWirlessPageMode TFM_Wirless::pageModeFor(const QString &shownMode)
{
    if (shownMode == apModeText(RadioFacts::AccessPoint))
        return PageAccessPoint;
    if (shownMode == kWdsWithAp || shownMode == apModeText(RadioFacts::PtPBridge)
        || shownMode == apModeText(RadioFacts::PtMPBridge))
        return PageWdsWithAp;
    if (shownMode == kWds || shownMode == apModeText(RadioFacts::PtPWithout)
        || shownMode == apModeText(RadioFacts::P2MPWithout))
        return PageWds;
    if (shownMode == apModeText(RadioFacts::ApRepeater))
        return PageRepeater;
    if (shownMode == apModeText(RadioFacts::ApClient))
        return PageClient;
    return PageModeNone;
}

TWirlessPageMode TFM_Wirless::pageMode(int band) const
{
    const BandPage &p = m_pages[band];
    const TWirlessPageMode shown = pageModeFor(p.apModeShown->currentText());
    return shown != PageModeNone ? shown : pageModeFor(p.apMode->currentText());
}

void TFM_Wirless::buildApModeLists(bool reportMissingMasks)
{
    const QString status = DeviceFacts::rememberedStatus();
    if (status == kTimedOut || apModeMask(BandA).isEmpty() || apModeMask(BandG).isEmpty()) {
        if (!reportMissingMasks)
            return;
        KtDialogs::message(this, status, kError);
        // The device's own mode stays in the hidden combos: nothing is chosen for the user.
        for (int band = 0; band < BandCount; ++band) {
            m_pages[band].apModeShown->setCurrentIndex(m_pages[band].apModeShown->count() > 0 ? 0
                                                                                              : -1);
            m_security[band]->selectFirstEntries();
        }
        return;
    }
    for (int band = 0; band < BandCount; ++band) {
        BandPage &p = m_pages[band];
        const QStringList choices = apModeChoices(apModeMask(band));
        const QSignalBlocker quiet(p.apModeShown);
        p.apModeShown->clear();
        p.apModeShown->addItems(choices);
        p.apModeShown->setCurrentIndex(
            choices.indexOf(shownModeFor(choices, p.apMode->currentText())));
    }
}

// ---- Rules per band ----

void TFM_Wirless::applyModeRules(int band)
{
    layOutForMode(band);
    applyChannelRules(band);
    m_security[band]->applyPanels(pageMode(band));
    fillChannelBox(band);
}

void TFM_Wirless::layOutForMode(int band)
{
    BandPage &p = m_pages[band];
    const TWirlessPageMode current = pageMode(band);
    const bool wds = current == PageWdsWithAp || current == PageWds;
    const bool repeater = current == PageRepeater || current == PageClient;

    // Repeater and client: the AP mode takes the place of the primary SSID.
    int ssidRow = -1;
    int apRow = -1;
    QFormLayout::ItemRole role;
    p.fields->getWidgetPosition(p.ssid, &ssidRow, &role);
    p.fields->getWidgetPosition(p.apModeShown, &apRow, &role);
    const int wantedApRow = repeater ? ssidRow + 1 : p.fields->rowCount() - 1;
    if (apRow != wantedApRow) {
        const QFormLayout::TakeRowResult taken = p.fields->takeRow(apRow);
        delete taken.labelItem;
        delete taken.fieldItem;
        p.fields->insertRow(repeater ? ssidRow + 1 : p.fields->rowCount(), p.apModeLabel,
                            p.apModeShown);
    }
    p.fields->setRowVisible(p.ssid, !repeater);

    p.wdsGroup->setVisible(wds);
    p.wdsGroup->setTitle(current == PageWds ? QStringLiteral(" WDS without AP ")
                                            : QStringLiteral(" WDS with AP "));
    p.repeaterGroup->setVisible(repeater);
    p.repeaterGroup->setTitle(current == PageClient ? QStringLiteral(" AP Client ")
                                                    : QStringLiteral(" AP Repeater "));
    p.siteGroup->setVisible(wds || repeater);
    p.ssidBroadcast->setEnabled(current != PageClient);
}

void TFM_Wirless::applyChannelRules(int band)
{
    BandPage &p = m_pages[band];
    const TWirlessPageMode current = pageMode(band);
    const int enable = enableOptions().IndexOfLabel(kEnable);
    const int disable = enableOptions().IndexOfLabel(kDisable);
    p.fields->setRowVisible(p.autoChannelScan, m_autoScanSupported[band]);
    switch (current) {
    case PageWdsWithAp:
    case PageWds:
    case PageRepeater:
        p.autoChannelScan->setCurrentIndex(disable);
        p.autoChannelScan->setEnabled(false);
        break;
    case PageClient:
        p.autoChannelScan->setCurrentIndex(disable);
        p.autoChannelScan->setEnabled(false);
        break;
    case PageAccessPoint:
    case PageModeNone:
        // The regulations of this country leave the channel to the device.
        if (DeviceFacts::text(&TMainForm::Ed_Countrycode) == QStringLiteral("GB")) {
            p.autoChannelScan->setCurrentIndex(enable);
            p.autoChannelScan->setEnabled(false);
        } else {
            p.autoChannelScan->setEnabled(true);
        }
        break;
    }
    p.channel->setEnabled(current != PageClient && p.autoChannelScan->currentIndex() != enable);
}

void TFM_Wirless::applyMacFieldStates(int band)
{
    BandPage &p = m_pages[band];
    for (QLineEdit *mac : p.remoteMacs) {
        if (mac->text() == kNoMac)
            mac->clear();
    }
    for (QLineEdit *mac : {p.rootMac, p.clientRootMac}) {
        if (mac->text() == kNoMac)
            mac->clear();
    }
    const QString device = p.apMode->currentText();
    const bool multipoint = device == apModeText(RadioFacts::PtMPBridge)
                            || device == apModeText(RadioFacts::P2MPWithout);
    const bool pointToPoint = device == apModeText(RadioFacts::PtPBridge)
                              || device == apModeText(RadioFacts::PtPWithout);
    for (int n = 0; n < RemoteMacCount; ++n)
        setEditable(p.remoteMacs[n], multipoint || (pointToPoint && n == 0));
    setEditable(p.rootMac, device == apModeText(RadioFacts::ApRepeater));
    setEditable(p.repeaterSsid, device == apModeText(RadioFacts::ApClient));
    setEditable(p.clientRootMac, false);
}

void TFM_Wirless::setEditable(QLineEdit *edit, bool editable)
{
    edit->setReadOnly(!editable);
    // Read-only fields in the button face colour, editable ones in the window colour.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base,
                     QWidget::palette().color(editable ? QPalette::Base : QPalette::Button));
    edit->setPalette(palette);
}

void TFM_Wirless::fillChannelBox(int band)
{
    BandPage &p = m_pages[band];
    RadioFacts::ChannelLists lists;
    lists.normal = p.channelList->text();
    lists.dynamicTurbo = p.dynamicList->text();
    lists.staticTurbo = p.staticList->text();
    lists.wds = p.wdsChannelList->text();
    lists.wdsDynamicTurbo = p.wdsDynamicList->text();
    lists.wdsStaticTurbo = p.wdsStaticList->text();
    const QString superMode = RadioFacts::effectiveSuperMode(
        band == BandA ? RadioFacts::Band11a : RadioFacts::Band11g, p.superMode->currentText(),
        turboModes(band), DeviceFacts::text(&TMainForm::Ed_FwVer));
    const TWirlessPageMode current = pageMode(band);
    const bool useWdsLists = (current == PageWdsWithAp || current == PageWds)
                             && p.wdsChannelSupport->text() == QStringLiteral("1");
    RadioFacts::fillChannelBox(p.channel, RadioFacts::channelListFor(lists, superMode, useWdsLists),
                               p.channelValue->text());
}

void TFM_Wirless::fitToContent()
{
    // The layout fixes the window's size when it is activated; that would otherwise wait for
    // the event loop, and the window would show the old size meanwhile.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (layout())
        layout()->activate();
}

// ---- Change handlers ----

void TFM_Wirless::PC_WirlessChange(int index)
{
    // The window fits the page shown: the hidden page does not count.
    for (int i = 0; i < PC_Wirless->count(); ++i)
        PC_Wirless->widget(i)->setSizePolicy(
            i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored,
            i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    if (index < 0 || index >= BandCount || !m_basic)
        return;
    applyMacFieldStates(index);
    buildApModeLists(false);
    m_security[index]->applyPanels(pageMode(index));
    fitToContent();
}

void TFM_Wirless::ED_APModeTempComboBoxtestChange()
{
    apModeChosen(BandA);
}

void TFM_Wirless::ED_APModeTempComboBoxgChange()
{
    apModeChosen(BandG);
}

void TFM_Wirless::ED_APModeComboBoxChange() {}

void TFM_Wirless::apModeChosen(int band)
{
    BandPage &p = m_pages[band];
    p.apMode->setCurrentIndex(
        RadioFacts::apModeOptions().IndexOfLabel(deviceModeFor(p.apModeShown->currentText())));
    applyMacFieldStates(band);
    applyModeRules(band);
    fitToContent();

    const TWirlessPageMode chosen = pageMode(band);
    if (!mssidEnabled(band))
        return;
    if (chosen == PageWdsWithAp)
        KtDialogs::message(this,
                           QStringLiteral("If you select \"WDS with AP\" mode,") + ieeeBand(band)
                               + QStringLiteral(" MSSID will be disabled!"),
                           kWarning);
    else if (chosen == PageWds)
        KtDialogs::message(this,
                           QStringLiteral("If you select \"WDS\" mode,") + ieeeBand(band)
                               + QStringLiteral(" MSSID will be disabled!"),
                           kWarning);
}

void TFM_Wirless::CB_AuScChange()
{
    applyChannelRules(BandA);
}

void TFM_Wirless::CB_AuScgChange()
{
    applyChannelRules(BandG);
}

void TFM_Wirless::CB_RadWavaChange()
{
    radioWaveChanged(BandA);
}

void TFM_Wirless::CB_RadWavgChange()
{
    radioWaveChanged(BandG);
}

void TFM_Wirless::radioWaveChanged(int band)
{
    QComboBox *radio = m_pages[band].radioWave;
    if (radio->currentIndex() != radioWaveOptions().IndexOfLabel(QStringLiteral("Off")))
        return;
    KtDialogs::message(this,
                       QStringLiteral("The ") + shortBand(band)
                           + QStringLiteral(" Radio has been turned off.The Rogue AP Detection "
                                            "will be invalid!"),
                       kWarning);
    radio->setFocus();
}

bool TFM_Wirless::mssidEnabled(int band) const
{
    return m_pages[band].mssidState->currentText() == kEnable;
}

bool TFM_Wirless::deviceHasMultiSsid() const
{
    return DeviceFacts::multiSsidSupported();
}

QVector<TFM_Wirless::MssidRow> TFM_Wirless::mssidRows(int deviceBand) const
{
    QVector<MssidRow> rows;
    if (!m_mirror)
        return rows;
    for (int i = 0; i < MultiListView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = MultiListView->topLevelItem(i);
        const auto value = [this, row](int item) { return m_mirror->RowValue(row, item); };
        MssidRow entry;
        entry.band = value(MirrorBand).toInt();
        if (entry.band != deviceBand)
            continue;
        entry.index = value(MirrorIndex).toInt();
        entry.state = value(MirrorState);
        entry.ssid = value(MirrorSsid);
        entry.authentication = value(MirrorAuth);
        entry.encryption = value(MirrorEncryption);
        entry.keyIndex = value(MirrorKeyIndex);
        rows.append(entry);
    }
    return rows;
}

// ---- Refresh ----

void TFM_Wirless::Bt_RefreshClick()
{
    m_deviceSilent = false;
    try {
        for (BandPage &p : m_pages)
            p.wdsChannelSupport->clear();
        read(m_basic);
        for (int band = 0; band < BandCount; ++band) {
            BandRequests &r = *m_bandRequests[band];
            if (m_autoScanSupported[band])
                read(r.autoScan);
            read(r.apMode);
            read(r.rootAp);
            m_security[band]->refresh();
            if (band == BandA) {
                read(m_mirror);
                read(m_mssidState);
            }
            m_security[band]->narrowValidKeys();
            const QString device = m_pages[band].apMode->currentText();
            if (device == apModeText(RadioFacts::ApRepeater)
                || device == apModeText(RadioFacts::ApClient)) {
                r.surveyList->rowNumber = 1;
                read(r.surveyList);
            }
        }
        for (int band = 0; band < BandCount; ++band) {
            applyMacFieldStates(band);
            m_security[band]->resetAfterRefresh();
        }
        buildApModeLists();
        for (int band = 0; band < BandCount; ++band)
            applyModeRules(band);
        fitToContent();
        readWdsChannelSupport();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

// ---- WDS channel lists ----

void TFM_Wirless::readWdsChannelSupport()
{
    if (!m_wdsSupport || m_wdsSupport->IsBusy())
        return;
    if (m_deviceSilent) {
        KtSNMPError silent;
        silent.code = kTimedOutCode;
        wdsChannelSupportRead(silent);
        return;
    }
    try {
        if (!m_wdsSupport->Get())
            wdsChannelSupportRead(KtSNMPError{});
    } catch (const KtException &e) {
        m_wdsSupport->busy = 0;
        KtSNMPError failure;
        failure.code = e.code();
        failure.text = e.text();
        wdsChannelSupportRead(failure);
    }
}

void TFM_Wirless::wdsChannelSupportRead(const KtSNMPError &status)
{
    for (int band = 0; band < BandCount; ++band) {
        BandPage &p = m_pages[band];
        KtSNMPRequest2Edits *lists = m_bandRequests[band]->wdsLists;
        if (status.code != 0) {
            copyNormalListsToWds(band);
        } else if (p.wdsChannelSupport->text() == QStringLiteral("1") && !lists->IsBusy()) {
            bool sent = false;
            try {
                sent = lists->Get();
            } catch (const KtException &) {
                lists->busy = 0;
            }
            if (sent)
                continue; // the box is filled when the lists are in
            copyNormalListsToWds(band);
        }
        fillChannelBox(band);
    }
}

void TFM_Wirless::wdsChannelListsRead(int band, const KtSNMPError &status)
{
    if (status.code != 0)
        copyNormalListsToWds(band);
    fillChannelBox(band);
}

void TFM_Wirless::copyNormalListsToWds(int band)
{
    BandPage &p = m_pages[band];
    p.wdsChannelList->setText(p.channelList->text());
    p.wdsDynamicList->setText(p.dynamicList->text());
    p.wdsStaticList->setText(p.staticList->text());
}

// ---- Apply ----

std::optional<TWirlessRefusal> TFM_Wirless::checkSsidLengths() const
{
    for (int band = 0; band < BandCount; ++band) {
        if (m_pages[band].ssid->text().size() > 32)
            return refusalOf(QStringLiteral("The Max Length of SSID is 32 in ") + shortBand(band)
                                 + QLatin1Char('!'),
                             kError, m_pages[band].ssid);
    }
    return std::nullopt;
}

std::optional<TWirlessRefusal> TFM_Wirless::checkSsidBlanks() const
{
    for (int band = 0; band < BandCount; ++band) {
        if (m_pages[band].ssid->text().startsWith(QLatin1Char(' ')))
            return refusalOf(QStringLiteral("The first character can't be blank."), kError,
                             m_pages[band].ssid);
    }
    return std::nullopt;
}

std::optional<TWirlessRefusal> TFM_Wirless::checkSsidsPresent() const
{
    for (int band = 0; band < BandCount; ++band) {
        if (m_pages[band].ssid->text().isEmpty())
            return refusalOf(QStringLiteral("Please Input SSID in ") + shortBand(band), kWarning,
                             m_pages[band].ssid);
    }
    return std::nullopt;
}

std::optional<TWirlessRefusal> TFM_Wirless::checkPrimaryAgainstSecondaries() const
{
    for (int band = 0; band < BandCount; ++band) {
        if (!mssidEnabled(band))
            continue;
        const QString primary = m_pages[band].ssid->text();
        for (const MssidRow &row : mssidRows(band + 1)) {
            if (row.index < 2 || row.state != kEnable || row.ssid != primary)
                continue;
            return refusalOf(QStringLiteral("The ") + shortBand(band)
                                 + QStringLiteral(" Primary SSID's SSID is same as "
                                                  "Multi-SSID ")
                                 + QString::number(row.index - 1),
                             kWarning, m_pages[band].ssid);
        }
    }
    return std::nullopt;
}

std::optional<TWirlessRefusal> TFM_Wirless::checkDuplicateMacs() const
{
    for (int band = 0; band < BandCount; ++band) {
        const auto &macs = m_pages[band].remoteMacs;
        for (int i = 0; i < RemoteMacCount; ++i) {
            const QString text = macs[i]->text();
            if (isEmptyMac(text))
                continue;
            for (int j = i + 1; j < RemoteMacCount; ++j) {
                // The same address typed in small letters is still the same address.
                if (text.compare(macs[j]->text(), Qt::CaseInsensitive) == 0)
                    return refusalOf(QStringLiteral("Exist same MAC address in ") + dottedBand(band)
                                         + QLatin1Char('.'),
                                     kWarning, macs[j]);
            }
        }
    }
    return std::nullopt;
}

std::optional<TWirlessRefusal> TFM_Wirless::checkMacsForMode(int band)
{
    BandPage &p = m_pages[band];
    BandRequests &r = *m_bandRequests[band];
    KtSNMPVarList &apItems = r.apMode->list();
    KtSNMPVarItem &ssidItem = m_basic->list().Item(band * BasicItemsPerBand + SsidItem);
    KtSNMPVarItem &rootItem = r.rootAp->list().Item(0);
    for (int n = 0; n < RemoteMacCount; ++n)
        apItems.Item(ApModeItemFirstMac + n).access = ACC_INVALID;
    ssidItem.access = ACC_INVALID;
    rootItem.access = ACC_INVALID;

    const QString device = p.apMode->currentText();
    const QString firstBlank = QStringLiteral("Please input MAC address in first blank space!");
    const QString rootLength = QStringLiteral("The length is 12 in ") + ieeeBand(band)
                               + QStringLiteral(" Root AP MAC Address.");
    if (device == apModeText(RadioFacts::AccessPoint)) {
        ssidItem.access = ACC_READWRITE;
    } else if (device == apModeText(RadioFacts::PtMPBridge)
               || device == apModeText(RadioFacts::P2MPWithout)) {
        if (p.remoteMacs[0]->text().isEmpty())
            return refusalOf(firstBlank, kWarning, p.remoteMacs[0]);
        // The device takes eight addresses; a free slot is all zeros.
        for (int n = 1; n < RemoteMacCount; ++n) {
            if (p.remoteMacs[n]->text().isEmpty())
                p.remoteMacs[n]->setText(kNoMac);
        }
        for (QLineEdit *mac : p.remoteMacs) {
            if (mac->text().size() != 12)
                return refusalOf(QStringLiteral("The length is 12 in ") + ieeeBand(band)
                                     + QStringLiteral(" MAC address."),
                                 kError, mac);
        }
        for (int n = 0; n < RemoteMacCount; ++n)
            apItems.Item(ApModeItemFirstMac + n).access = ACC_READWRITE;
        ssidItem.access = ACC_READWRITE;
    } else if (device == apModeText(RadioFacts::PtPBridge)
               || device == apModeText(RadioFacts::PtPWithout)) {
        if (p.remoteMacs[0]->text().isEmpty())
            return refusalOf(firstBlank, kWarning, p.remoteMacs[0]);
        if (p.remoteMacs[0]->text().size() != 12)
            return refusalOf(rootLength, kError, p.remoteMacs[0]);
        apItems.Item(ApModeItemFirstMac).access = ACC_READWRITE;
        ssidItem.access = ACC_READWRITE;
    } else if (device == apModeText(RadioFacts::ApRepeater)) {
        if (p.rootMac->text().isEmpty())
            return refusalOf(QStringLiteral("Please input MAC address in blank space!"), kError,
                             p.rootMac);
        if (p.rootMac->text().size() != 12)
            return refusalOf(rootLength, kError, p.rootMac);
        rootItem.access = ACC_READWRITE;
    } else if (device == apModeText(RadioFacts::ApClient)) {
        if (p.repeaterSsid->text().isEmpty())
            return refusalOf(QStringLiteral("Please input the SSID."), kWarning, p.repeaterSsid);
        if (p.repeaterSsid->text().startsWith(QLatin1Char(' ')))
            return refusalOf(QStringLiteral("The first character can't be blank."), kError,
                             p.repeaterSsid);
        // The SSID a client joins is the band's SSID: written from the repeater SSID edit.
        ssidItem.access = ACC_READWRITE;
    }
    return std::nullopt;
}

bool TFM_Wirless::refuseApply(const std::optional<TWirlessRefusal> &refusal)
{
    return refusal && TPageWindow::refuse(refusal->refusal, refusal->caption);
}

void TFM_Wirless::Bt_ApplyClick()
{
    if (!m_basic)
        return;
    std::array<bool, BandCount> mssidWasEnabled{};
    for (int band = 0; band < BandCount; ++band) {
        mssidWasEnabled[band] = mssidEnabled(band);
        if (RadioFacts::isWdsMode(m_pages[band].apMode->currentText()))
            m_security[band]->resetAuthenticationForWds();
    }

    if (refuseApply(checkSsidLengths()) || refuseApply(checkSsidBlanks())
        || refuseApply(checkSsidsPresent()) || refuseApply(checkPrimaryAgainstSecondaries())
        || refuseApply(checkDuplicateMacs()))
        return;
    for (int band = 0; band < BandCount; ++band) {
        if (refuseApply(checkMacsForMode(band))) {
            applyMacFieldStates(band);
            return;
        }
    }
    for (int band = 0; band < BandCount; ++band) {
        if (refuseApply(m_security[band]->check()))
            return;
    }

    for (int band = 0; band < BandCount; ++band) {
        BandPage &p = m_pages[band];
        // Multi-SSID runs only on an access point. A radio whose mode the device never told
        // keeps its state: that mode is not written either.
        const TWirlessPageMode chosen = pageMode(band);
        if (chosen != PageAccessPoint && chosen != PageModeNone)
            p.mssidState->setCurrentIndex(enableOptions().IndexOfLabel(kDisable));
        if (p.channel->count() > 0)
            p.channelValue->setText(p.channel->currentText());
    }
    if (!write(m_mssidState)) {
        showStatusText(ApplyTexts::settingError());
        return;
    }
    if (deviceHasMultiSsid()) {
        for (int band = 0; band < BandCount; ++band) {
            if (mssidWasEnabled[band] && !m_security[band]->runMultiSsidInterplay()) {
                showStatusText(ApplyTexts::settingError());
                return;
            }
        }
    }
    if (!writeSequence()) {
        showStatusText(ApplyTexts::settingError());
        return;
    }

    KtWaitingOptions waiting;
    for (int band = 0; band < BandCount; ++band) {
        const TWirlessPageMode chosen = pageMode(band);
        // A WDS link takes longer to come up.
        if (chosen == PageWdsWithAp || chosen == PageWds)
            waiting.countdown = 50;
    }
    KtWaiting::Show(this, waiting);
    showStatusText(ApplyTexts::settingSuccess());
    for (auto &security : m_security)
        security->afterSuccess();
}

bool TFM_Wirless::writeSequence()
{
    // In client mode the SSID the radio joins goes out as the band's SSID.
    for (BandPage &p : m_pages) {
        if (p.apMode->currentText() == apModeText(RadioFacts::ApClient))
            p.ssid->setText(p.repeaterSsid->text());
    }
    if (!write(m_basic))
        return false;
    for (int band = 0; band < BandCount; ++band) {
        BandRequests &r = *m_bandRequests[band];
        // The root AP before the mode: a device without it refuses before the radio changes.
        if (r.rootAp->list().IsWritable(0) && !write(r.rootAp))
            return false;
        if (!write(r.apMode))
            return false;
        if (m_autoScanSupported[band] && !write(r.autoScan))
            return false;
        if (!m_security[band]->write())
            return false;
    }
    return true;
}

bool TFM_Wirless::write(KtSNMPRequest2Edits *request)
{
    if (!request || request->IsBusy())
        return false;
    // A choice the device never told (its read failed) and the user never made is not written:
    // the box shows nothing, and the first entry of its list is no value of the device's.
    const UnreadBoxesLeftOut unread(*request);
    const bool anything = unread.anythingToWrite();
    // Nothing left to say to the device: nothing to fail either.
    bool written = !anything;
    const WorkingScope working(this, Operation::Writing);
    try {
        if (anything)
            written = request->Set(true, true);
    } catch (const KtException &e) {
        request->busy = 0;
        showStatusText(e.text());
    }
    return written;
}

// ---- Site survey ----

void TFM_Wirless::SiteScanClick()
{
    startSurvey(BandA);
}

void TFM_Wirless::SiteScangClick()
{
    startSurvey(BandG);
}

void TFM_Wirless::startSurvey(int band)
{
    BandPage &p = m_pages[band];
    BandRequests &r = *m_bandRequests[band];
    if (m_surveyRunning[band] || r.surveyStart->IsBusy() || r.surveyList->IsBusy())
        return;
    p.siteStart->setCurrentIndex(surveyStartOptions().IndexOfLabel(QStringLiteral("refresh")));
    p.siteScan->setEnabled(false);
    p.siteList->clear();
    showStatusText(QStringLiteral("Scan..."));
    m_surveyRunning[band] = true;
    try {
        if (!r.surveyStart->Set(false, true)) {
            KtSNMPError failure;
            failure.code = -1;
            surveyStarted(band, failure);
        }
    } catch (const KtException &e) {
        r.surveyStart->busy = 0;
        KtSNMPError failure;
        failure.code = e.code();
        failure.text = e.text();
        surveyStarted(band, failure);
    }
}

void TFM_Wirless::surveyStarted(int band, const KtSNMPError &status)
{
    BandPage &p = m_pages[band];
    if (status.code != 0) {
        p.siteScan->setEnabled(true);
        m_surveyRunning[band] = false;
        showStatusText(QStringLiteral("Site survey : ") + status.text);
        return;
    }
    showStatusText(QStringLiteral("Site survey success,please wait ..."));
    New_req2Edit *list = m_bandRequests[band]->surveyList;
    list->rowNumber = 1;
    bool sent = false;
    KtSNMPError failure;
    failure.code = -1;
    try {
        sent = list->Get();
    } catch (const KtException &e) {
        list->busy = 0;
        failure.code = e.code();
        failure.text = e.text();
    }
    if (!sent)
        surveyListRead(band, failure);
}

void TFM_Wirless::surveyListRead(int band, const KtSNMPError &status)
{
    m_pages[band].siteScan->setEnabled(true);
    m_surveyRunning[band] = false;
    if (status.code == 0)
        showStatusText(QStringLiteral("Get complete."));
    else
        m_bandRequests[band]->surveyList->ReportGetResult(status);
}

void TFM_Wirless::SiteServeyListViewClick(QTreeWidgetItem *row)
{
    surveyRowClicked(BandA, row);
}

void TFM_Wirless::SiteServeyListViewgClick(QTreeWidgetItem *row)
{
    surveyRowClicked(BandG, row);
}

void TFM_Wirless::surveyRowClicked(int band, QTreeWidgetItem *row)
{
    if (!row)
        return;
    BandPage &p = m_pages[band];
    const New_req2Edit *survey = m_bandRequests[band]->surveyList;
    const QString bssid = survey->RowValue(row, SurveyBssid).toUpper();
    const QString device = p.apMode->currentText();
    // A repeater takes the neighbour as its root AP, a client joins its network.
    if (device == apModeText(RadioFacts::ApRepeater)) {
        p.rootMac->setText(bssid);
        return;
    }
    if (device == apModeText(RadioFacts::ApClient)) {
        p.repeaterSsid->setText(survey->RowValue(row, SurveySsid));
        return;
    }
    for (QLineEdit *mac : p.remoteMacs) {
        if (mac->text().compare(bssid, Qt::CaseInsensitive) == 0) {
            KtDialogs::message(this, QStringLiteral("The same MAC address has been added!"),
                               kWarning);
            return;
        }
    }
    // Only an address Apply writes: a read-only slot is not sent in this mode.
    for (QLineEdit *mac : p.remoteMacs) {
        if (mac->text().isEmpty() && !mac->isReadOnly()) {
            mac->setText(bssid);
            return;
        }
    }
}

// ---- Closing ----

bool TFM_Wirless::FormCloseQuery()
{
    return !m_surveyRunning[BandA] && !m_surveyRunning[BandG];
}

void TFM_Wirless::Bt_CloseClick()
{
    close();
}
