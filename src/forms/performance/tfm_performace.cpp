#include "tfm_performace.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "ktwaiting.h"
#include "radiofacts.h"
#include "tmainform.h"
#include "unreadboxes.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>
#include <vector>

TFM_Performace *FM_Performace = nullptr;

namespace {

using BandPage = TFM_Performace::BandPage;
using RadioFacts::superModeLabel;

// ---- Device variables (below 1.3.6.1.4.1.32473.11.37; the last sub-identifier is the band,
// 1 = 802.11a, 2 = 802.11g) ----

const char *const kVendor = "1.3.6.1.4.1.32473.11.37";

QString vendorOid(const char *suffix)
{
    return QString::fromLatin1(kVendor) + QString::fromLatin1(suffix);
}

// The OID of a per-band variable: suffix, then the band component.
QString bandOid(const char *suffix, int band)
{
    return vendorOid(suffix) + QLatin1Char('.') + QString::number(band + 1);
}

const KtOptionList &enableOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

enum Antenna : int { AntennaAuto = 0, AntennaOne = 1, AntennaTwo = 2 };

const KtOptionList &antennaOptions()
{
    static const KtOption table[] = {{AntennaAuto, nullptr, "auto"},
                                     {AntennaOne, nullptr, "aut1"},
                                     {AntennaTwo, nullptr, "aut2"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &transmitPowerOptions()
{
    static const KtOption table[] = {{1, nullptr, "Full"},
                                     {2, nullptr, "Half(-3dB)"},
                                     {3, nullptr, "Quarter(-6dB)"},
                                     {4, nullptr, "Eighth(-9dB)"},
                                     {5, nullptr, "Min"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &preambleOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "Long Only"}, {1, nullptr, "Short and Long"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

enum BgMode : int { ElevenGOnly = 0, ElevenBOnly = 1, BgMixed = 2 };

const KtOptionList &bgModeOptions()
{
    static const KtOption table[] = {{ElevenGOnly, nullptr, "11g only"},
                                     {ElevenBOnly, nullptr, "11b only"},
                                     {BgMixed, nullptr, "Mixed"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem item(const QString &oid, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access, options);
}

// Multi-SSID state of both bands.
std::vector<KtSNMPVarItem> mssidStateTable()
{
    return {item(vendorOid(".4.2.9.3.1.1.1"), "adMSSIDState", SYN_INTEGER, ACC_READWRITE,
                 &enableOptions()),
            item(vendorOid(".4.2.9.3.1.1.2"), "adMSSIDState", SYN_INTEGER, ACC_READWRITE,
                 &enableOptions()),
            {}};
}

// The AP mode; the super mode beside it is neither read nor written here.
std::vector<KtSNMPVarItem> apModeTable(int band)
{
    return {item(bandOid(".4.2.1.1.1", band), "adAPMode", SYN_INTEGER, ACC_READWRITE,
                 &RadioFacts::apModeOptions()),
            item(bandOid(".4.2.3.1.11", band), "adSuperMode", SYN_INTEGER, ACC_INVALID,
                 &RadioFacts::superModeOptions()),
            {}};
}

// One switch of the band: XR, automatic channel scan, WMM, antenna, preamble.
std::vector<KtSNMPVarItem> switchTable(const char *suffix, const char *name, int band,
                                       const KtOptionList &options)
{
    return {item(bandOid(suffix, band), name, SYN_INTEGER, ACC_READWRITE, &options), {}};
}

// The radio parameters of a band, in this order.
enum RadioItem {
    SuperModeItem = 0,
    FrequencyItem,
    ChannelItem,
    ChannelListItem,
    DataRateItem,
    DataRateListItem,
    BeaconIntervalItem,
    DtimItem,
    FragmentLengthItem,
    RtsLengthItem,
    TransmitPowerItem,
    DynamicChannelListItem,
    StaticChannelListItem,
};

std::vector<KtSNMPVarItem> radioTable(int band)
{
    return {
        item(bandOid(".4.2.3.1.11", band), "adSuperMode", SYN_INTEGER, ACC_READWRITE,
             &RadioFacts::superModeOptions()),
        item(bandOid(".4.2.3.1.1", band), "adFrequency", SYN_DISPLAYSTR, ACC_READONLY),
        item(bandOid(".4.2.3.1.2", band), "adChannel", SYN_INTEGER, ACC_READWRITE),
        item(bandOid(".4.2.3.1.3", band), "adChannelList", SYN_DISPLAYSTR, ACC_READONLY),
        item(bandOid(".4.2.3.1.4", band), "adDataRate", SYN_DISPLAYSTR, ACC_READWRITE),
        item(bandOid(".4.2.3.1.5", band), "adDataRateList", SYN_DISPLAYSTR, ACC_READONLY),
        item(bandOid(".4.2.3.1.6", band), "adBeaconInterval", SYN_INTEGER, ACC_READWRITE),
        item(bandOid(".4.2.3.1.7", band), "adDTIM", SYN_INTEGER, ACC_READWRITE),
        item(bandOid(".4.2.3.1.8", band), "adFragmentLength", SYN_INTEGER, ACC_READWRITE),
        item(bandOid(".4.2.3.1.9", band), "adRTSLength", SYN_INTEGER, ACC_READWRITE),
        item(bandOid(".4.2.3.1.10", band), "adTransmitPower", SYN_INTEGER, ACC_READWRITE,
             &transmitPowerOptions()),
        item(bandOid(".4.2.3.1.15", band), "adDynamicChannelList", SYN_DISPLAYSTR, ACC_READONLY),
        item(bandOid(".4.2.3.1.16", band), "adStaticChannelList", SYN_DISPLAYSTR, ACC_READONLY),
        {}};
}

// 802.11g only: the B/G mode and the rates it allows.
std::vector<KtSNMPVarItem> bgModeTable()
{
    return {item(vendorOid(".4.2.3.1.24.2"), "adbgMode", SYN_INTEGER, ACC_READWRITE,
                 &bgModeOptions()),
            item(vendorOid(".4.2.3.1.25.2"), "adbgModeDataRateList", SYN_DISPLAYSTR,
                 ACC_READONLY),
            {}};
}

// Whether each band has WDS channel lists; invalid until the window makes them readable.
std::vector<KtSNMPVarItem> wdsSupportTable()
{
    return {item(vendorOid(".4.99.1.1.19.1"), "wdschannellist", SYN_INTEGER, ACC_INVALID),
            item(vendorOid(".4.99.1.1.19.2"), "wdschannellist", SYN_INTEGER, ACC_INVALID),
            {}};
}

// The WDS channel lists of both bands, three per band; each band's become readable once the
// device said it has them.
enum WdsListItem { WdsChannelItem = 0, WdsDynamicItem, WdsStaticItem, WdsItemsPerBand };

std::vector<KtSNMPVarItem> wdsListTable()
{
    std::vector<KtSNMPVarItem> table;
    for (int band = 0; band < TFM_Performace::BandCount; ++band) {
        table.push_back(
            item(bandOid(".4.1.1.1.8", band), "hwdsChannelList", SYN_DISPLAYSTR, ACC_INVALID));
        table.push_back(item(bandOid(".4.1.1.1.9", band), "hwdsDynamicChannelList",
                             SYN_DISPLAYSTR, ACC_INVALID));
        table.push_back(item(bandOid(".4.1.1.1.10", band), "hwdsStaticChannelList",
                             SYN_DISPLAYSTR, ACC_INVALID));
    }
    table.push_back({});
    return table;
}

// ---- Texts ----

const QString kCaption = QStringLiteral("Advanced \\ Performance");
const QString kEnable = QStringLiteral("Enable");
const QString kDisable = QStringLiteral("Disable");
const QString kAuto = QStringLiteral("Auto");
const QString kMb = QStringLiteral(" Mb");
const QString kElevenBOnly = QStringLiteral("11b only");
const QString kLongOnly = QStringLiteral("Long Only");
// Positions in the antenna-diversity boxes; the same positions in the antenna boxes are
// "auto" and "aut1".
enum Diversity : int { DiversityEnabled = 0, DiversityDisabled = 1 };

QString bandText(int band, const char *a, const char *g)
{
    return QString::fromLatin1(band == TFM_Performace::BandA ? a : g);
}

QString settingError(int band)
{
    return bandText(band, "IEEE802.11a Setting Error!", "IEEE802.11g Setting Error!");
}

QString mssidWarning(int band)
{
    return bandText(band, "If you enable \"Super Mode\", IEEE802.11a MSSID will be disabled!",
                    "If you enable \"Super Mode\", IEEE802.11g MSSID will be disabled!");
}

// The code of a request the device did not answer in time.
constexpr int kTimedOutCode = -405;

// A number field of a page: its edit, its range and the message of a text outside it.
struct NumberField {
    QLineEdit *BandPage::*edit;
    int minimum;
    int maximum;
    const char *message;
    int typingLimit;
};

const NumberField kBeaconInterval{&BandPage::beaconInterval, 20, 1000,
                                  "Please input a number between 20 and 1000.", 4};
const NumberField kDtim{&BandPage::dtim, 1, 255, "Please input a number between 1 and 255.", 3};
const NumberField kFragmentLength{&BandPage::fragmentLength, 256, 2346,
                                  "Please input a number between 256 and 2346.", 4};
const NumberField kRtsLength{&BandPage::rtsLength, 256, 2346,
                             "Please input a number between 256 and 2346.", 4};
const NumberField *const kNumberFields[] = {&kBeaconInterval, &kDtim, &kFragmentLength,
                                            &kRtsLength};

// An empty text, or one that is no decimal number, is outside every range.
std::optional<TPageWindow::Refusal> checkNumber(const BandPage &page, const NumberField &field)
{
    QLineEdit *edit = page.*field.edit;
    bool ok = false;
    const int value = edit->text().toInt(&ok, 10);
    if (ok && value >= field.minimum && value <= field.maximum)
        return std::nullopt;
    return TPageWindow::Refusal{QString::fromLatin1(field.message), edit,
                                TPageWindow::Refusal::ClearText};
}

// Selects the entry with the text; nothing when there is none.
void selectText(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text));
}

QStringList entriesOf(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// The main window's turbo capability of the band.
QString turboModes(int band)
{
    return DeviceFacts::text(band == TFM_Performace::BandA ? &TMainForm::ED_Turbomode
                                                           : &TMainForm::ED_Turbomode_g);
}

QString firmwareVersion()
{
    return DeviceFacts::text(&TMainForm::Ed_FwVer);
}

RadioFacts::Band radioBand(int band)
{
    return band == TFM_Performace::BandA ? RadioFacts::Band11a : RadioFacts::Band11g;
}

// The channel 802.11g last ran a turbo mode on.
QString &turboChannel()
{
    static QString channel = QStringLiteral("6");
    return channel;
}

} // namespace

struct TFM_Performace::BandRequests {
    KtSNMPRequest2Edits *apMode = nullptr;
    KtSNMPRequest2Edits *xr = nullptr;
    KtSNMPRequest2Edits *autoScan = nullptr;
    KtSNMPRequest2Edits *wmm = nullptr;
    KtSNMPRequest2Edits *antenna = nullptr;
    KtSNMPRequest2Edits *radio = nullptr;
    KtSNMPRequest2Edits *preamble = nullptr; // 802.11g only
    KtSNMPRequest2Edits *bgMode = nullptr;   // 802.11g only
};

TFM_Performace::TFM_Performace(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Performace"));
    setWindowTitle(kCaption);
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Performace::~TFM_Performace() = default;

// ---- Rules that need no device ----

QStringList TFM_Performace::dataRateEntries(const QString &rateList)
{
    QStringList entries;
    for (const QString &rate : rateList.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        entries << (rate == kAuto ? rate : rate + kMb);
    return entries;
}

QStringList TFM_Performace::bgDataRateEntries(bool elevenBOnly)
{
    if (elevenBOnly)
        return dataRateEntries(QStringLiteral("Auto 1 2 5.5 11"));
    return dataRateEntries(QStringLiteral("Auto 1 2 5.5 6 9 11 12 18 24 36 48 54"));
}

QString TFM_Performace::entryToValue(const QString &entry)
{
    if (entry.size() > 3 && entry.endsWith(QStringLiteral("Mb")))
        return entry.left(entry.size() - 3);
    return entry;
}

QString TFM_Performace::rememberedTurboChannel()
{
    return turboChannel();
}

void TFM_Performace::rememberTurboChannel(const QString &channel)
{
    turboChannel() = channel;
}

std::optional<TPageWindow::Refusal> TFM_Performace::checkBeaconInterval(int band) const
{
    return checkNumber(m_pages[band], kBeaconInterval);
}

std::optional<TPageWindow::Refusal> TFM_Performace::checkDtim(int band) const
{
    return checkNumber(m_pages[band], kDtim);
}

std::optional<TPageWindow::Refusal> TFM_Performace::checkFragmentLength(int band) const
{
    return checkNumber(m_pages[band], kFragmentLength);
}

std::optional<TPageWindow::Refusal> TFM_Performace::checkRtsLength(int band) const
{
    return checkNumber(m_pages[band], kRtsLength);
}

QComboBox *TFM_Performace::shownSuperMode(int band) const
{
    const BandPage &p = m_pages[band];
    return m_superModeReduced[band] ? p.superModeShown : p.superMode;
}

// ---- Building ----

void TFM_Performace::buildWindow()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (int band = 0; band < BandCount; ++band) {
        buildPage(band);
        PageControl1->addTab(m_pages[band].sheet,
                             bandText(band, "IEEE 802.11a", "IEEE 802.11g"));
    }
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addWidget(PageControl1);
    layout->addWidget(StatusBar);
    // The client area is 423 pixels wide; its height follows the rows shown.
    PageControl1->setMinimumWidth(423 - 12);

    for (int band = 0; band < BandCount; ++band)
        connectPage(band);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            &TFM_Performace::PageControl1Change);
}

void TFM_Performace::buildPage(int band)
{
    BandPage &p = m_pages[band];
    const auto name = [band](const char *a, const char *g) { return bandText(band, a, g); };
    p.sheet = new QWidget;
    p.sheet->setObjectName(name("TabSheet1", "TabSheet2"));
    QWidget *sheet = p.sheet;

    const auto combo = [sheet](const QString &objectName) {
        auto *box = new QComboBox(sheet);
        box->setObjectName(objectName);
        box->setMinimumWidth(200);
        return box;
    };
    const auto edit = [sheet](const QString &objectName) {
        auto *line = new QLineEdit(sheet);
        line->setObjectName(objectName);
        return line;
    };
    // Bound to the device, never shown.
    const auto hiddenEdit = [&edit](const QString &objectName) {
        QLineEdit *line = edit(objectName);
        line->hide();
        return line;
    };
    const auto hiddenCombo = [sheet](const QString &objectName) {
        auto *box = new QComboBox(sheet);
        box->setObjectName(objectName);
        box->hide();
        return box;
    };

    p.superMode = combo(name("CB_SupModea", "CB_SupModeg"));
    p.superModeShown = combo(name("CB_SupModeusa", "CB_SupModeusg"));
    p.superModeShown->hide();
    p.frequency = edit(name("Ed_Freqa", "Ed_Freqg"));
    p.frequency->setReadOnly(true);
    p.frequency->setMaximumWidth(60);
    p.channel = combo(name("CB_Chana", "CB_Chang"));
    p.channelValue = hiddenEdit(name("Ed_Chana", "Ed_Chang"));
    p.channelList = hiddenEdit(name("Ed_ChLista", "Ed_ChListg"));
    p.dynamicList = hiddenEdit(name("DynamicEdit", "DynamicEdit_g"));
    p.staticList = hiddenEdit(name("StaticEdit", "StaticEdit_g"));
    p.dataRate = combo(name("CB_DtRta", "CB_DtRtg"));
    p.dataRateValue = hiddenEdit(name("Ed_DtRta", "Ed_DtRtg"));
    p.dataRateList = hiddenEdit(name("Ed_DtLista", "Ed_DtListg"));
    p.beaconInterval = edit(name("Ed_BeInta", "Ed_BeIntg"));
    p.dtim = edit(name("Ed_DTIMa", "Ed_DTIMg"));
    p.fragmentLength = edit(name("Ed_FragLena", "Ed_FragLeng"));
    p.rtsLength = edit(name("Ed_RTSa", "Ed_RTSg"));
    p.transmitPower = combo(name("CB_TranPa", "CB_TranPg"));
    p.xr = combo(name("CB_XRa", "CB_XRg"));
    p.autoScan = combo(name("CB_AuSca", "CB_AuScg"));
    p.wmm = combo(name("CB_WMMa", "CB_WMMg"));
    p.antenna = hiddenCombo(name("CB_Antennaa", "CB_Antennag"));
    p.antennaDiversity = combo(name("CB_AntennaTempa", "CB_AntennaTempg"));
    p.antennaDiversity->addItems({kEnable, kDisable});
    p.antennaDiversity->setCurrentIndex(-1);
    p.apMode = hiddenCombo(name("CBXApmodea", "CBXApmodeg"));
    p.mssidState = hiddenCombo(name("StateaCoBox", "StategCoBox"));
    p.wdsSupport = hiddenEdit(name("EdWDSChannelSup_a", "EdWDSChannelSup_g"));
    p.wdsChannelList = hiddenEdit(name("EdWDSChannelList_a", "EdWDSChannelList_g"));
    p.wdsDynamicList = hiddenEdit(name("EdWDSDynamicList_a", "EdWDSDynamicList_g"));
    p.wdsStaticList = hiddenEdit(name("EdWDSStaticList_a", "EdWDSStaticList_g"));
    if (band == BandG) {
        p.preamble = combo(QStringLiteral("CB_Preambleg"));
        p.bgMode = combo(QStringLiteral("CB_bgModeg"));
        p.bgModeRateList = hiddenEdit(QStringLiteral("Ed_bgModeRateLst"));
    }
    p.apply = new QPushButton(QStringLiteral("Apply"), sheet);
    p.apply->setObjectName(name("Bt_Applya", "Bt_Applyg"));
    p.refresh = new QPushButton(QStringLiteral("Refresh"), sheet);
    p.refresh->setObjectName(name("Bt_Refresha", "Bt_Refreshg"));

    for (const NumberField *field : kNumberFields) {
        QLineEdit *number = p.*field->edit;
        KtTypingLimit::SetLimit(number, field->typingLimit);
        number->setMaximumWidth(80);
        number->installEventFilter(this);
    }

    p.rows = new QGridLayout;
    p.rows->setColumnStretch(2, 1);
    p.rows->setVerticalSpacing(8);
    int row = 0;
    const auto addRow = [&p, &row, sheet](const QString &label, QWidget *control) {
        auto *caption = new QLabel(label, sheet);
        p.rows->addWidget(caption, row, 0);
        p.rows->addWidget(control, row, 1, Qt::AlignLeft);
        ++row;
        return caption;
    };
    // Both super-mode boxes share the row; one of them is shown.
    addRow(QStringLiteral("Super Mode"), p.superMode);
    p.rows->addWidget(p.superModeShown, row - 1, 1, Qt::AlignLeft);
    if (band == BandG)
        addRow(QStringLiteral("B/G Mode"), p.bgMode);
    auto *frequency = new QWidget(sheet);
    auto *frequencyRow = new QHBoxLayout(frequency);
    frequencyRow->setContentsMargins(0, 0, 0, 0);
    frequencyRow->addWidget(p.frequency);
    frequencyRow->addWidget(new QLabel(QStringLiteral("GHz"), frequency));
    frequencyRow->addStretch(1);
    addRow(QStringLiteral("Frequency"), frequency);
    addRow(QStringLiteral("Channel"), p.channel);
    addRow(QStringLiteral("Data Rate"), p.dataRate);
    addRow(QStringLiteral("Beacon Interval (20 - 1000)"), p.beaconInterval);
    addRow(QStringLiteral("DTIM (1 - 255)"), p.dtim);
    addRow(QStringLiteral("Fragment Length (256 - 2346)"), p.fragmentLength);
    addRow(QStringLiteral("RTS Length (256 - 2346)"), p.rtsLength);
    addRow(QStringLiteral("Transmit Power"), p.transmitPower);
    if (band == BandG)
        addRow(QStringLiteral("Preamble"), p.preamble);
    p.xrLabel = addRow(QStringLiteral("XR"), p.xr);
    p.autoScanLabel = addRow(QStringLiteral("Auto Channel Scan"), p.autoScan);
    addRow(QStringLiteral("WMM"), p.wmm);
    addRow(QStringLiteral("Antenna Diversity"), p.antennaDiversity);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(p.apply);
    buttons->addWidget(p.refresh);

    auto *layout = new QVBoxLayout(sheet);
    layout->addLayout(p.rows);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->addStretch(1);
}

void TFM_Performace::connectPage(int band)
{
    BandPage &p = m_pages[band];
    // What the user chooses (a box the window fills itself reports nothing).
    for (QComboBox *box : {p.superMode, p.superModeShown}) {
        connect(box, &QComboBox::activated, this,
                [this, band] { superModeChosen(band, true); });
    }
    connect(p.channel, &QComboBox::activated, this, [this, band] { channelChosen(band); });
    connect(p.dataRate, &QComboBox::activated, this, [this, band] { dataRateChosen(band); });
    connect(p.autoScan, &QComboBox::activated, this, [this, band] { autoScanChosen(band); });
    connect(p.antennaDiversity, &QComboBox::activated, this,
            [this, band] { antennaDiversityChosen(band); });
    if (p.bgMode)
        connect(p.bgMode, &QComboBox::activated, this, [this] { applyBgModeRule(true); });
    connect(p.apply, &QPushButton::clicked, this,
            band == BandA ? &TFM_Performace::Bt_ApplyaClick : &TFM_Performace::Bt_ApplygClick);
    connect(p.refresh, &QPushButton::clicked, this,
            band == BandA ? &TFM_Performace::Bt_RefreshaClick
                          : &TFM_Performace::Bt_RefreshgClick);
}

void TFM_Performace::createRequests()
{
    const auto make = [this](const std::vector<KtSNMPVarItem> &table, quint8 mode) {
        auto *request = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(),
                                                                           MVT_SV));
        request->mode = mode;
        request->SetStatusControl(StatusBar);
        return request;
    };
    BandPage &a = m_pages[BandA];
    BandPage &g = m_pages[BandG];

    m_mssidState = make(mssidStateTable(), KtSNMPRequest2Controls::Asynchronous);
    m_mssidState->BindComboBox(0, a.mssidState);
    m_mssidState->BindComboBox(1, g.mssidState);

    for (int band = 0; band < BandCount; ++band) {
        m_requests[band] = std::make_unique<BandRequests>();
        BandRequests &r = *m_requests[band];
        BandPage &p = m_pages[band];
        const quint8 sync = KtSNMPRequest2Controls::Synchronous;
        r.apMode = make(apModeTable(band), sync);
        r.apMode->BindComboBox(0, p.apMode);
        r.xr = make(switchTable(".4.2.3.1.99", "adXR", band, enableOptions()), sync);
        r.xr->BindComboBox(0, p.xr);
        r.autoScan
            = make(switchTable(".4.2.3.1.14", "adAutoChannelScan", band, enableOptions()), sync);
        r.autoScan->BindComboBox(0, p.autoScan);
        r.wmm = make(switchTable(".4.2.3.1.17", "adWMM", band, enableOptions()), sync);
        r.wmm->BindComboBox(0, p.wmm);
        r.antenna = make(switchTable(".4.2.3.1.23", "adAntenna", band, antennaOptions()), sync);
        r.antenna->BindComboBox(0, p.antenna);

        r.radio = make(radioTable(band), sync);
        r.radio->BindComboBox(SuperModeItem, p.superMode);
        r.radio->BindEdit(FrequencyItem, QStringLiteral("%s"), p.frequency);
        r.radio->BindEdit(ChannelItem, QStringLiteral("%s"), p.channelValue);
        r.radio->BindEdit(ChannelListItem, QStringLiteral("%s"), p.channelList);
        r.radio->BindEdit(DataRateItem, QStringLiteral("%s"), p.dataRateValue);
        r.radio->BindEdit(DataRateListItem, QStringLiteral("%s"), p.dataRateList);
        r.radio->BindEdit(BeaconIntervalItem, QStringLiteral("%u"), p.beaconInterval);
        r.radio->BindEdit(DtimItem, QStringLiteral("%u"), p.dtim);
        r.radio->BindEdit(FragmentLengthItem, QStringLiteral("%u"), p.fragmentLength);
        r.radio->BindEdit(RtsLengthItem, QStringLiteral("%u"), p.rtsLength);
        r.radio->BindComboBox(TransmitPowerItem, p.transmitPower);
        r.radio->BindEdit(DynamicChannelListItem, QStringLiteral("%s"), p.dynamicList);
        r.radio->BindEdit(StaticChannelListItem, QStringLiteral("%s"), p.staticList);

        if (band == BandG) {
            r.preamble = make(switchTable(".4.2.3.1.19", "adPreamble", band, preambleOptions()),
                              sync);
            r.preamble->BindComboBox(0, p.preamble);
            r.bgMode = make(bgModeTable(), sync);
            r.bgMode->BindComboBox(0, p.bgMode);
            r.bgMode->BindEdit(1, QStringLiteral("%s"), p.bgModeRateList);
        }
    }

    // Read in the background; their outcome goes to their completions, not the status bar.
    m_wdsSupport = make(wdsSupportTable(), KtSNMPRequest2Controls::Asynchronous);
    m_wdsSupport->BindEdit(0, QStringLiteral("%s"), a.wdsSupport);
    m_wdsSupport->BindEdit(1, QStringLiteral("%s"), g.wdsSupport);
    m_wdsSupport->request.statusCallback = nullptr;
    m_wdsSupport->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        wdsSupportRead(status);
    };
    m_wdsLists = make(wdsListTable(), KtSNMPRequest2Controls::Asynchronous);
    for (int band = 0; band < BandCount; ++band) {
        BandPage &p = m_pages[band];
        const int first = band * WdsItemsPerBand;
        m_wdsLists->BindEdit(first + WdsChannelItem, QStringLiteral("%s"), p.wdsChannelList);
        m_wdsLists->BindEdit(first + WdsDynamicItem, QStringLiteral("%s"), p.wdsDynamicList);
        m_wdsLists->BindEdit(first + WdsStaticItem, QStringLiteral("%s"), p.wdsStaticList);
    }
    m_wdsLists->request.statusCallback = nullptr;
    m_wdsLists->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        wdsListsRead(status);
    };

    // Like list boxes, the boxes show nothing until the device has told its values: binding
    // fills them and would otherwise leave their first entry showing, which Apply would write.
    for (BandPage &p : m_pages) {
        for (QComboBox *box : {p.superMode, p.transmitPower, p.xr, p.autoScan, p.wmm, p.antenna,
                               p.apMode, p.mssidState, p.preamble, p.bgMode}) {
            if (box)
                box->setCurrentIndex(-1);
        }
    }
}

void TFM_Performace::FormCreate()
{
    try {
        createRequests();
    } catch (const KtException &e) {
        showStatusText(e.text());
        for (BandPage &p : m_pages) {
            p.apply->setEnabled(false);
            p.refresh->setEnabled(false);
        }
        return;
    }
    m_deviceSilent = false;
    {
        const WorkingScope working(this, Operation::Reading);
        try {
            m_mssidState->Get();
            readBandAtCreation(BandA);
            readBandAtCreation(BandG);
            readWdsSupport();
            showAntennaDiversity();
            applyBgModeRule(false);
        } catch (const KtException &e) {
            showStatusText(e.text());
        }
    }
    applyTurboChannelRule(true);
    adjustBand(BandA);
    for (int band = 0; band < BandCount; ++band)
        m_pages[band].apply->setEnabled(m_radioRead[band]);
}

void TFM_Performace::readBandAtCreation(int band)
{
    BandPage &p = m_pages[band];
    BandRequests &r = *m_requests[band];
    read(r.apMode);

    // Only a device that answers without XR has none; a silent one may have it.
    m_xrSupported[band] = read(r.xr) != ReadResult::Failed;
    p.xrLabel->setVisible(m_xrSupported[band]);
    p.xr->setVisible(m_xrSupported[band]);

    const ReadResult scan = read(r.autoScan);
    m_autoScanSupported[band] = scan != ReadResult::Failed;
    // A device with several SSIDs never shows the automatic channel scan.
    const bool shown = m_autoScanSupported[band] && !DeviceFacts::multiSsidSupported();
    // An access point offers the automatic channel scan on 802.11a. The row must be shown for
    // that: a hidden box would turn it on behind the user's back.
    if (scan == ReadResult::Read && shown && band == BandA
        && p.apMode->currentText() == RadioFacts::apModeLabel(RadioFacts::AccessPoint))
        selectText(p.autoScan, kEnable);
    showAutoScanRow(band, shown);
    applyAutoScanRule(band);

    read(r.wmm);
    if (band == BandG) {
        read(r.preamble);
        read(r.bgMode);
    }
    read(r.antenna);
    m_radioRead[band] = read(r.radio) == ReadResult::Read;
    fillChannelBox(band);
    fillDataRateBox(band);
    applySuperModeChoices(band);
    if (band == BandA)
        showAntennaDiversity();
}

void TFM_Performace::readWdsSupport()
{
    KtSNMPVarList &items = m_wdsSupport->list();
    for (int i = 0; i < items.Count(); ++i)
        items.Item(i).access = ACC_READONLY;
    if (!m_deviceSilent && m_wdsSupport->Get())
        return;
    // A read still on its way ends with its own completion.
    if (m_wdsSupport->IsBusy())
        return;
    KtSNMPError notRead;
    notRead.code = kTimedOutCode;
    wdsSupportRead(notRead);
}

void TFM_Performace::showAutoScanRow(int band, bool shown)
{
    BandPage &p = m_pages[band];
    m_autoScanShown[band] = shown;
    p.autoScanLabel->setVisible(shown);
    p.autoScan->setVisible(shown);
}

// ---- Rules ----

void TFM_Performace::applySuperModeChoices(int band)
{
    BandPage &p = m_pages[band];
    const QString turbo = turboModes(band);
    const QString firmware = firmwareVersion();
    QStringList choices;
    if (band == BandA && (RadioFacts::isRestrictedRegion(firmware) || turbo == QLatin1String("0")))
        choices = {kDisable, superModeLabel(RadioFacts::WithoutTurbo)};
    else if (turbo == QLatin1String("2"))
        choices = {superModeLabel(RadioFacts::WithoutTurbo),
                   superModeLabel(RadioFacts::DynamicTurbo), kDisable};
    const bool reduced = !choices.isEmpty();
    m_superModeReduced[band] = reduced;
    p.superModeShown->setVisible(reduced);
    p.superMode->setVisible(!reduced);
    if (!reduced)
        return;
    const QSignalBlocker quiet(p.superModeShown);
    // The entries stay as they are while the capabilities do.
    if (entriesOf(p.superModeShown) != choices) {
        p.superModeShown->clear();
        p.superModeShown->addItems(choices);
    }
    if (p.superMode->currentIndex() < 0) {
        p.superModeShown->setCurrentIndex(-1);
        return;
    }
    selectText(p.superModeShown,
               RadioFacts::effectiveSuperMode(radioBand(band), p.superMode->currentText(), turbo,
                                              firmware));
}

void TFM_Performace::adjustBand(int band)
{
    BandPage &p = m_pages[band];
    if (band == BandG && turboModes(BandG) == QLatin1String("0")) {
        // Without turbo on 802.11g only the data rate follows the super mode.
        if (shownSuperMode(BandG)->currentText() != kDisable) {
            if (p.dataRate->count() > 0)
                p.dataRate->setCurrentIndex(0);
            p.dataRate->setEnabled(false);
        } else {
            p.dataRate->setEnabled(true);
        }
        return;
    }
    if (m_superModeReduced[band] && p.superModeShown->currentIndex() >= 0)
        selectText(p.superMode, p.superModeShown->currentText());
    if (p.superMode->currentText() == kDisable) {
        p.dataRate->setEnabled(true);
        fillDataRateBox(band);
        if (band == BandG && p.dataRate->currentIndex() < 0 && p.dataRate->count() > 0)
            p.dataRate->setCurrentIndex(0);
    } else {
        // A super mode chooses its rates itself.
        if (p.dataRate->count() > 0)
            p.dataRate->setCurrentIndex(0);
        p.dataRate->setEnabled(false);
    }
    fillChannelBox(band);
}

void TFM_Performace::fillChannelBox(int band)
{
    BandPage &p = m_pages[band];
    RadioFacts::ChannelLists lists;
    lists.normal = p.channelList->text();
    lists.dynamicTurbo = p.dynamicList->text();
    lists.staticTurbo = p.staticList->text();
    lists.wds = p.wdsChannelList->text();
    lists.wdsDynamicTurbo = p.wdsDynamicList->text();
    lists.wdsStaticTurbo = p.wdsStaticList->text();
    const bool useWds = m_wdsListsAvailable[band] && RadioFacts::isWdsMode(p.apMode->currentText());
    RadioFacts::fillChannelBox(
        p.channel, RadioFacts::channelListFor(lists, p.superMode->currentText(), useWds),
        p.channelValue->text());
}

void TFM_Performace::fillDataRateBox(int band)
{
    BandPage &p = m_pages[band];
    const QStringList entries = band == BandA
                                    ? dataRateEntries(p.dataRateList->text())
                                    : bgDataRateEntries(p.bgMode->currentText() == kElevenBOnly);
    const QString rate = p.dataRateValue->text();
    const QSignalBlocker quiet(p.dataRate);
    p.dataRate->clear();
    p.dataRate->addItems(entries);
    p.dataRate->setCurrentIndex(entries.indexOf(rate == kAuto ? rate : rate + kMb));
}

void TFM_Performace::applyAutoScanRule(int band)
{
    BandPage &p = m_pages[band];
    p.channel->setEnabled(p.autoScan->currentText() != kEnable);
}

void TFM_Performace::applyBgModeRule(bool userChoice)
{
    BandPage &g = m_pages[BandG];
    QComboBox *superMode = shownSuperMode(BandG);
    if (g.bgMode->currentText() == kElevenBOnly) {
        // 802.11b knows no super mode and no short preamble.
        selectText(superMode, kDisable);
        superMode->setEnabled(false);
        selectText(g.preamble, kLongOnly);
        g.preamble->setEnabled(false);
        g.dataRate->setEnabled(true);
    } else {
        superMode->setEnabled(true);
        g.preamble->setEnabled(true);
        g.dataRate->setEnabled(superMode->currentText() == kDisable);
    }
    // The rates the mode allows.
    fillDataRateBox(BandG);
    if (g.dataRate->currentIndex() < 0 && g.dataRate->count() > 0)
        g.dataRate->setCurrentIndex(0);
    superModeChosen(BandG, userChoice);
}

void TFM_Performace::showAntennaDiversity()
{
    const QComboBox *antenna = m_pages[BandA].antenna;
    int diversity = -1;
    if (antenna->currentIndex() >= 0)
        diversity = antenna->currentText() == antennaOptions().Label(AntennaAuto)
                        ? DiversityEnabled
                        : DiversityDisabled;
    for (BandPage &p : m_pages)
        p.antennaDiversity->setCurrentIndex(diversity);
}

void TFM_Performace::applyTurboChannelRule(bool remember)
{
    BandPage &g = m_pages[BandG];
    if (g.superMode->currentIndex() < 0)
        return;
    const QString channel = g.channel->currentText();
    if (channel != turboChannel() && g.superMode->currentText() != kDisable) {
        selectSuperMode(BandG, superModeLabel(RadioFacts::WithoutTurbo));
        adjustBand(BandG);
    }
    if (remember
        && (g.superMode->currentText() == superModeLabel(RadioFacts::StaticTurbo)
            || g.superMode->currentText() == superModeLabel(RadioFacts::DynamicTurbo)))
        turboChannel() = channel;
}

void TFM_Performace::selectSuperMode(int band, const QString &text)
{
    BandPage &p = m_pages[band];
    selectText(p.superMode, text);
    if (m_superModeReduced[band])
        selectText(p.superModeShown, text);
}

// ---- Change handlers ----

void TFM_Performace::PageControl1Change()
{
    adjustBand(BandA);
    adjustBand(BandG);
}

void TFM_Performace::superModeChosen(int band, bool userChoice)
{
    BandPage &p = m_pages[band];
    channelChosen(band);
    adjustBand(band);
    if (userChoice && p.superMode->currentIndex() >= 0 && p.superMode->currentText() != kDisable
        && p.mssidState->currentText() == kEnable)
        KtDialogs::message(this, mssidWarning(band), warningCaption());
}

void TFM_Performace::channelChosen(int band)
{
    BandPage &p = m_pages[band];
    if (p.channel->currentIndex() >= 0)
        p.channelValue->setText(p.channel->currentText());
}

void TFM_Performace::dataRateChosen(int band)
{
    BandPage &p = m_pages[band];
    if (p.dataRate->currentIndex() >= 0)
        p.dataRateValue->setText(entryToValue(p.dataRate->currentText()));
}

void TFM_Performace::autoScanChosen(int band)
{
    applyAutoScanRule(band);
}

void TFM_Performace::antennaDiversityChosen(int band)
{
    const int diversity = m_pages[band].antennaDiversity->currentIndex();
    if (diversity < 0)
        return;
    // One antenna setting for both radios: "auto" with diversity, the first antenna without.
    const int antenna = diversity == DiversityEnabled ? AntennaAuto : AntennaOne;
    for (int other = 0; other < BandCount; ++other) {
        BandPage &p = m_pages[other];
        // Another radio's antenna only where the device told it.
        if (other == band || p.antenna->currentIndex() >= 0)
            selectText(p.antenna, antennaOptions().Label(antenna));
        p.antennaDiversity->setCurrentIndex(diversity);
    }
}

bool TFM_Performace::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // The user left the field (a message box or a focus the window gives back is not
        // leaving it).
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && !m_checkingField && reason != Qt::ActiveWindowFocusReason
            && reason != Qt::PopupFocusReason && reason != Qt::OtherFocusReason) {
            QPointer<QLineEdit> guard(edit);
            // Checked once the focus has settled, outside the focus change.
            QMetaObject::invokeMethod(
                this, [this, guard] { numberFieldLeft(guard.data()); }, Qt::QueuedConnection);
        }
    }
    return TPageWindow::eventFilter(watched, event);
}

void TFM_Performace::numberFieldLeft(QLineEdit *edit)
{
    // A field of a page no longer shown, or of a closing window, is not checked.
    if (!edit || m_checkingField || isClosing() || !edit->isVisible())
        return;
    for (const BandPage &p : m_pages) {
        for (const NumberField *field : kNumberFields) {
            if (p.*field->edit != edit)
                continue;
            std::optional<Refusal> refusal = checkNumber(p, *field);
            // Only the RTS field is emptied on leaving it.
            if (refusal && field != &kRtsLength)
                refusal->effect = Refusal::Focus;
            m_checkingField = true;
            refuse(refusal, warningCaption());
            m_checkingField = false;
            return;
        }
    }
}

// ---- Completions of the background reads ----

void TFM_Performace::wdsSupportRead(const KtSNMPError &status)
{
    bool anyLists = false;
    if (status.code == 0) {
        KtSNMPVarList &lists = m_wdsLists->list();
        for (int band = 0; band < BandCount; ++band) {
            bool ok = false;
            if (m_wdsSupport->list().Item(band).value.toInt(&ok) != 1 || !ok)
                continue;
            for (int i = 0; i < WdsItemsPerBand; ++i)
                lists.Item(band * WdsItemsPerBand + i).access = ACC_READONLY;
            m_wdsListsAvailable[band] = true;
            anyLists = true;
        }
    } else {
        m_wdsListsAvailable = {};
    }
    if (anyLists && (m_wdsLists->Get() || m_wdsLists->IsBusy()))
        return; // the lists' completion adjusts the pages
    adjustBand(BandA);
    adjustBand(BandG);
}

void TFM_Performace::wdsListsRead(const KtSNMPError &status)
{
    if (status.code != 0) {
        // The ordinary lists serve the WDS modes too.
        for (BandPage &p : m_pages) {
            p.wdsChannelList->setText(p.channelList->text());
            p.wdsDynamicList->setText(p.dynamicList->text());
            p.wdsStaticList->setText(p.staticList->text());
        }
    }
    adjustBand(BandA);
    adjustBand(BandG);
}

// ---- Reads and writes ----

TFM_Performace::ReadResult TFM_Performace::read(KtSNMPRequest2Edits *request)
{
    // A device that let one read of this pass time out would let the others time out too,
    // each after its full wait: the window goes on with what it has.
    if (m_deviceSilent)
        return ReadResult::Silent;
    if (!request || request->IsBusy())
        return ReadResult::Failed;
    const WorkingScope working(this, Operation::Reading);
    int failure = 0;
    const KtSNMPRequest::StatusCallback report = request->request.statusCallback;
    request->request.statusCallback = [&failure, report](const KtSNMPError &status) {
        failure = status.code;
        if (report)
            report(status);
    };
    const auto restore
        = qScopeGuard([request, report] { request->request.statusCallback = report; });
    if (request->Get())
        return ReadResult::Read;
    if (failure == kTimedOutCode) {
        m_deviceSilent = true;
        return ReadResult::Silent;
    }
    return ReadResult::Failed;
}

bool TFM_Performace::write(KtSNMPRequest2Edits *request)
{
    if (!request)
        return false;
    // A choice the device never told (its read failed) and the user never made is not written:
    // the box shows nothing, and the first entry of its list is no value of the device's.
    const UnreadBoxesLeftOut unread(*request);
    const bool anything = unread.anythingToWrite();
    // Nothing left to say to the device: nothing to fail either.
    if (!anything)
        return true;
    return writeInOrder({request});
}

void TFM_Performace::writeAntennas(int fromBand)
{
    const QComboBox *from = m_pages[fromBand].antenna;
    // An antenna the device never told decides nothing for the other radio.
    if (from->currentIndex() < 0)
        return;
    const int v = from->currentText() == antennaOptions().Label(AntennaAuto) ? DiversityEnabled
                                                                             : DiversityDisabled;
    for (int band = 0; band < BandCount; ++band) {
        BandPage &p = m_pages[band];
        // The other radio's antenna only where the device told it (a device without that
        // radio has none).
        if (band != fromBand && p.antenna->currentIndex() >= 0)
            p.antenna->setCurrentIndex(v);
        p.antennaDiversity->setCurrentIndex(v);
    }
    // Their outcome does not stop Apply.
    write(m_requests[BandA]->antenna);
    write(m_requests[BandG]->antenna);
}

// ---- Apply ----

void TFM_Performace::Bt_ApplyaClick()
{
    if (!m_radioRead[BandA])
        return;
    BandPage &a = m_pages[BandA];
    BandRequests &r = *m_requests[BandA];
    if (refuse(checkBeaconInterval(BandA)) || refuse(checkDtim(BandA))
        || refuse(checkFragmentLength(BandA)) || refuse(checkRtsLength(BandA)))
        return;
    channelChosen(BandA);
    dataRateChosen(BandA);

    // The super mode from the choices shown.
    const QString turbo = turboModes(BandA);
    if (a.superModeShown->currentIndex() >= 0) {
        if (RadioFacts::isRestrictedRegion(firmwareVersion()) || turbo == QLatin1String("0"))
            selectText(a.superMode, a.superModeShown->currentIndex() == 0
                                        ? kDisable
                                        : superModeLabel(RadioFacts::WithoutTurbo));
        else if (turbo == QLatin1String("2"))
            selectText(a.superMode, a.superModeShown->currentText());
    }
    // Super mode and several SSIDs exclude each other: the SSIDs go first.
    if (a.superMode->currentIndex() >= 0 && a.superMode->currentText() != kDisable) {
        selectText(a.mssidState, kDisable);
        write(m_mssidState);
    }
    writeAntennas(BandA);

    const bool written = write(r.radio) && write(r.wmm) && (!m_xrSupported[BandA] || write(r.xr))
                         && (!m_autoScanSupported[BandA] || write(r.autoScan));
    if (written)
        KtWaiting::Show(this);
    else
        showStatusText(settingError(BandA));
}

void TFM_Performace::Bt_ApplygClick()
{
    if (!m_radioRead[BandG])
        return;
    BandPage &g = m_pages[BandG];
    BandRequests &r = *m_requests[BandG];
    if (refuse(checkBeaconInterval(BandG)) || refuse(checkDtim(BandG))
        || refuse(checkFragmentLength(BandG)) || refuse(checkRtsLength(BandG)))
        return;
    if (g.bgMode->currentText() == kElevenBOnly)
        g.dataRate->setEnabled(true);
    if (g.superMode->currentIndex() >= 0 && g.superMode->currentText() != kDisable) {
        selectText(g.mssidState, kDisable);
        write(m_mssidState);
    }
    channelChosen(BandG);
    dataRateChosen(BandG);
    if (turboModes(BandG) == QLatin1String("2") && g.superModeShown->currentIndex() >= 0)
        selectText(g.superMode, g.superModeShown->currentText());
    // The B/G mode and the antennas go out whatever follows.
    write(r.bgMode);
    writeAntennas(BandG);

    const bool written = write(r.radio) && write(r.wmm) && write(r.preamble)
                         && (!m_xrSupported[BandG] || write(r.xr))
                         && (!m_autoScanSupported[BandG] || write(r.autoScan));
    if (written)
        KtWaiting::Show(this);
    else
        showStatusText(settingError(BandG));
}

// ---- Refresh ----

void TFM_Performace::Bt_RefreshaClick()
{
    refreshBand(BandA);
}

void TFM_Performace::Bt_RefreshgClick()
{
    refreshBand(BandG);
}

void TFM_Performace::refreshBand(int band)
{
    if (!m_requests[band])
        return;
    BandPage &p = m_pages[band];
    BandRequests &r = *m_requests[band];
    m_deviceSilent = false;
    m_wdsListsAvailable = {};
    {
        const WorkingScope working(this, Operation::Reading);
        try {
            if (read(r.radio) == ReadResult::Read)
                m_radioRead[band] = true;
            read(r.apMode);
            fillChannelBox(band);
            fillDataRateBox(band);
            applySuperModeChoices(band);
            readWdsSupport();
            if (m_autoScanSupported[band] && read(r.autoScan) == ReadResult::Read
                && band == BandA && m_autoScanShown[band]
                && p.apMode->currentText() == RadioFacts::apModeLabel(RadioFacts::AccessPoint))
                selectText(p.autoScan, kEnable);
            applyAutoScanRule(band);
            if (m_xrSupported[band])
                read(r.xr);
            read(r.wmm);
            if (band == BandA) {
                read(r.antenna);
                // "aut2" leaves the box as it was.
                const QString antenna = p.antenna->currentText();
                if (antenna == antennaOptions().Label(AntennaAuto))
                    p.antennaDiversity->setCurrentIndex(DiversityEnabled);
                else if (antenna == antennaOptions().Label(AntennaOne))
                    p.antennaDiversity->setCurrentIndex(DiversityDisabled);
            } else {
                read(r.preamble);
                read(r.bgMode);
                read(r.antenna);
                showAntennaDiversity();
                applyBgModeRule(false);
            }
        } catch (const KtException &e) {
            showStatusText(e.text());
        }
    }
    if (band == BandG)
        applyTurboChannelRule(false);
    else
        adjustBand(BandA);
    p.apply->setEnabled(m_radioRead[band]);
}
