#include "tfm_rogueform.h"

#include "devicefacts.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktradiogroup.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>
#include <vector>

TFM_RogueForm *FM_RogueForm = nullptr;

namespace {

// ---- Option lists ----
const KtOption RadioWaveTable[] = {{0, nullptr, "Off"}, {1, nullptr, "On"}, {0, nullptr, nullptr}};
const KtOptionList RadioWaveOptions(RadioWaveTable, KtOptionList::Numeric);

const KtOption BssTypeTable[] = {{TFM_RogueForm::ApBss, nullptr, "AP BSS"},
                                 {TFM_RogueForm::AdHoc, nullptr, "Ad Hoc"},
                                 {TFM_RogueForm::Both, nullptr, "Both"},
                                 {0, nullptr, nullptr}};
const KtOptionList BssTypeOptions(BssTypeTable, KtOptionList::Numeric);

const KtOption DetectTable[] = {{0, nullptr, "nothing"}, {1, nullptr, "detect"},
                                {0, nullptr, nullptr}};
const KtOptionList DetectOptions(DetectTable, KtOptionList::Numeric);

const KtOption SecurityTable[] = {{0, nullptr, "OFF"},
                                  {1, nullptr, "WEP"},
                                  {2, nullptr, "WPA-Enterprise"},
                                  {3, nullptr, "WPA-Personal"},
                                  {4, nullptr, "WPA2-Enterprise"},
                                  {5, nullptr, "WPA2-Personal"},
                                  {6, nullptr, "WPA-Auto-Enterprise"},
                                  {7, nullptr, "WPA-Auto-Personal"},
                                  {0, nullptr, nullptr}};
const KtOptionList SecurityOptions(SecurityTable, KtOptionList::Numeric);

const KtOption ModeTable[] = {
    {0, nullptr, "a"}, {2, nullptr, "b"}, {3, nullptr, "g"}, {0, nullptr, nullptr}};
const KtOptionList ModeOptions(ModeTable, KtOptionList::Numeric);

// ---- Items ----
const QString kRogue = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.10.");

KtSNMPVarItem item(const QString &oid, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access, options);
}

// hRadioWave of one band (read here, never written).
const KtSNMPVarItem RadioItemsA[] = {
    item(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.3.1.12.1"), "hRadioWave", SYN_INTEGER,
         ACC_READWRITE, &RadioWaveOptions),
    {}};
const KtSNMPVarItem RadioItemsG[] = {
    item(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.3.1.12.2"), "hRadioWave", SYN_INTEGER,
         ACC_READWRITE, &RadioWaveOptions),
    {}};

const KtSNMPVarItem FilterItems[] = {
    item(kRogue + QStringLiteral("1"), "bssTypeDetected", SYN_INTEGER, ACC_READWRITE,
         &BssTypeOptions),
    item(kRogue + QStringLiteral("2"), "bandTypeDetected", SYN_INTEGER, ACC_READWRITE),
    item(kRogue + QStringLiteral("3"), "securityTypeDetected", SYN_INTEGER, ACC_READWRITE),
    {}};
enum FilterItem { BssTypeItem = 0, BandItem = 1, SecurityItem = 2 };

const KtSNMPVarItem DetectItems[] = {
    item(kRogue + QStringLiteral("4.1.1"), "rogueAPDetect", SYN_INTEGER, ACC_READWRITE,
         &DetectOptions),
    {}};
const KtSNMPVarItem AddItems[] = {
    item(kRogue + QStringLiteral("4.1.2"), "addRogueAPtoAPList", SYN_INTEGER, ACC_READWRITE),
    {}};
const KtSNMPVarItem DelFoundItems[] = {
    item(kRogue + QStringLiteral("4.1.3"), "deleteRogueAPFromResult", SYN_INTEGER,
         ACC_READWRITE),
    {}};
const KtSNMPVarItem DelKnownItems[] = {
    item(kRogue + QStringLiteral("4.2.1"), "deleteRogueAPfromAPList", SYN_INTEGER,
         ACC_READWRITE),
    {}};

// The found list and the AP list share their columns: the index and RSSI stay out of sight.
std::vector<KtSNMPVarItem> listItems(const QString &entry)
{
    const auto column = [&entry](int c) { return entry + QString::number(c); };
    return {item(column(1), "Index", SYN_INTEGER, ACC_READONLY | ACC_HIDDEN),
            item(column(2), "Type", SYN_DISPLAYSTR, ACC_READONLY),
            item(column(3), "CH", SYN_INTEGER, ACC_READONLY),
            item(column(4), "RSSI", SYN_INTEGER, ACC_READONLY | ACC_HIDDEN),
            item(column(5), "BSSID", SYN_MACADDRESS, ACC_READONLY),
            item(column(9), "Security", SYN_INTEGER, ACC_READONLY, &SecurityOptions),
            item(column(7), "Mode", SYN_INTEGER, ACC_READONLY, &ModeOptions),
            item(column(8), "SSID", SYN_DISPLAYSTR, ACC_READONLY),
            {}};
}
const std::vector<KtSNMPVarItem> FoundItems = listItems(kRogue + QStringLiteral("4.1.4.1."));
const std::vector<KtSNMPVarItem> KnownItems = listItems(kRogue + QStringLiteral("4.2.2.1."));
enum ListItem { IndexItem = 0 };

// Time-outs in hundredths of a second: a scan may take minutes.
constexpr int kFilterTimeout = 500;
constexpr int kDetectTimeout = 50000;
constexpr int kListTimeout = 1000;

// Band mask bits of the three band boxes, security mask bits of the eight security boxes.
constexpr int kBit11a = 1 << 0;
constexpr int kBit11b = 1 << 2;
constexpr int kBit11g = 1 << 3;
// "OFF" and "WEP" are bits 0 and 1; the six WPA kinds 2 to 7.
constexpr int kWpaBits = 0xFC;

QCheckBox *newCheckBox(const char *caption, const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit *newHiddenEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->hide();
    return edit;
}

QComboBox *newHiddenBox(const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->hide();
    return box;
}

QPushButton *newButton(const char *caption, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QTreeWidget *newListView(const char *name, QWidget *parent)
{
    auto *view = new QTreeWidget(parent);
    view->setObjectName(QString::fromLatin1(name));
    // Room for the six columns and eight rows; the window keeps its size.
    view->setMinimumWidth(460);
    view->setFixedHeight(view->fontMetrics().height() * 10);
    return view;
}

} // namespace

TFM_RogueForm::TFM_RogueForm(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_RogueForm"));
    setWindowTitle(QStringLiteral("Advanced \\ Rogue AP"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_RogueForm::~TFM_RogueForm() = default;

void TFM_RogueForm::buildWindow()
{
    BSSTypRadGrp = new KtRadioGroup(QStringLiteral(" BSS Type "), this);
    BSSTypRadGrp->setObjectName(QStringLiteral("BSSTypRadGrp"));
    BSSTypRadGrp->setColumns(3);

    auto *bands = new QGroupBox(QStringLiteral("Band"), this);
    CheckBox_11a = newCheckBox("11a", "CheckBox_11a", bands);
    CheckBox_11b = newCheckBox("11b", "CheckBox_11b", bands);
    CheckBox_11g = newCheckBox("11g", "CheckBox_11g", bands);
    auto *bandRow = new QHBoxLayout(bands);
    for (QCheckBox *box : {CheckBox_11a, CheckBox_11b, CheckBox_11g}) {
        bandRow->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this] { updateBandMask(); });
    }

    auto *security = new QGroupBox(QStringLiteral("Security"), this);
    ChcBxo_off = newCheckBox("OFF", "ChcBxo_off", security);
    ChcBxo_wep = newCheckBox("WEP", "ChcBxo_wep", security);
    ChcBxo_eap = newCheckBox("WPA-Enterprise", "ChcBxo_eap", security);
    ChcBxo_psk = newCheckBox("WPA-Personal  ", "ChcBxo_psk", security);
    WPA2EAPCkBox = newCheckBox("WPA2-Enterprise", "WPA2EAPCkBox", security);
    WPA2PSKCkBox = newCheckBox("WPA2-Personal ", "WPA2PSKCkBox", security);
    WPA2AUTECkBox = newCheckBox("WPA-Enterprise-AUTO ", "WPA2AUTECkBox", security);
    WPA2AUTPCkBox = newCheckBox("WPA-Personal-AUTO", "WPA2AUTPCkBox", security);
    auto *securityGrid = new QGridLayout(security);
    const SecurityBoxes boxes = securityBoxes();
    for (int bit = 0; bit < 8; ++bit) {
        QCheckBox *box = boxes[static_cast<size_t>(bit)];
        securityGrid->addWidget(box, bit / 4, bit % 4);
        connect(box, &QCheckBox::clicked, this, [this] { updateSecurityMask(); });
    }

    auto *found = new QGroupBox(QStringLiteral("Rogue AP List"), this);
    RogueListView = newListView("RogueListView", found);
    Bt_Detect = newButton("Detect", "Bt_Detect", found);
    Bt_Add = newButton("Add", "Bt_Add", found);
    Bt_DelRogue = newButton("Del", "Bt_DelRogue", found);
    auto *foundButtons = new QVBoxLayout;
    for (QPushButton *button : {Bt_Detect, Bt_Add, Bt_DelRogue})
        foundButtons->addWidget(button);
    foundButtons->addStretch();
    auto *foundLayout = new QHBoxLayout(found);
    foundLayout->addWidget(RogueListView, 1);
    foundLayout->addLayout(foundButtons);

    auto *known = new QGroupBox(QStringLiteral("AP List"), this);
    APListView = newListView("APListView", known);
    Bt_DelAP = newButton("Del", "Bt_DelAP", known);
    auto *knownButtons = new QVBoxLayout;
    knownButtons->addWidget(Bt_DelAP);
    knownButtons->addStretch();
    auto *knownLayout = new QHBoxLayout(known);
    knownLayout->addWidget(APListView, 1);
    knownLayout->addLayout(knownButtons);

    Bt_Apply = newButton("Apply", "Bt_Apply", this);
    Bt_Cancel = newButton("Cancel", "Bt_Cancel", this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Cancel);

    CB_RadioConBand_a = newHiddenBox("CB_RadioConBand_a", this);
    CB_RadioConBand_g = newHiddenBox("CB_RadioConBand_g", this);
    BandEdit = newHiddenEdit("BandEdit", this);
    SecEdit = newHiddenEdit("SecEdit", this);
    DetectRogueCoBox = newHiddenBox("DetectRogueCoBox", this);
    AddCoBox = newHiddenEdit("AddCoBox", this);
    DelDetcetEdit = newHiddenEdit("DelDetcetEdit", this);
    DelCoBox = newHiddenEdit("DelCoBox", this);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *filters = new QHBoxLayout;
    filters->addWidget(BSSTypRadGrp);
    filters->addWidget(bands);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(security);
    layout->addWidget(found);
    layout->addWidget(known);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    connect(Bt_Detect, &QPushButton::clicked, this, &TFM_RogueForm::Bt_DetectClick);
    connect(Bt_Add, &QPushButton::clicked, this, &TFM_RogueForm::Bt_AddClick);
    connect(Bt_DelRogue, &QPushButton::clicked, this, &TFM_RogueForm::Bt_DelRogueClick);
    connect(Bt_DelAP, &QPushButton::clicked, this, &TFM_RogueForm::Bt_DelAPClick);
    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_RogueForm::Bt_ApplyClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TFM_RogueForm::close);
}

void TFM_RogueForm::FormCreate()
{
    try {
        // 1. The radios, each on its own: a band the device does not have is not asked for.
        const KtSNMPVarItem *radioItems[] = {RadioItemsA, RadioItemsG};
        QComboBox *radioBoxes[] = {CB_RadioConBand_a, CB_RadioConBand_g};
        for (Band band : {BandA, BandG}) {
            auto *radio = adoptRequest(
                std::make_unique<KtSNMPRequest2Edits>(this, radioItems[band - 1], MVT_SV));
            radio->mode = KtSNMPRequest2Controls::Synchronous;
            radio->SetStatusControl(StatusBar);
            radio->BindComboBox(0, radioBoxes[band - 1]);
            radioBoxes[band - 1]->setCurrentIndex(-1);
            m_radio[band - 1] = radio;
            if (DeviceFacts::radioPresent(band))
                radio->Get();
        }

        // 2. The filters.
        m_filter = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, FilterItems, SVT_SV));
        m_filter->mode = KtSNMPRequest2Controls::Synchronous;
        m_filter->request.timeout = kFilterTimeout;
        m_filter->SetStatusControl(StatusBar);
        m_filter->BindRadioGroup(BssTypeItem, BSSTypRadGrp);
        m_filter->BindEdit(BandItem, QStringLiteral("%u"), BandEdit);
        m_filter->BindEdit(SecurityItem, QStringLiteral("%u"), SecEdit);
        // The user's choice of BSS type only: a read fills the group without changing the mask.
        for (int i = 0; i < BSSTypRadGrp->items().size(); ++i) {
            connect(BSSTypRadGrp->button(i), &QRadioButton::clicked, this, [this] {
                applyBssTypeRule();
                updateSecurityMask();
            });
        }
        if (m_filter->Get())
            showMasks();

        // 3., 4.
        createCommandRequests();
        createListRequests();
        readList(m_known);

        // 5.
        if (BSSTypRadGrp->itemIndex() < 0)
            BSSTypRadGrp->setItemIndex(0);
        applyRadioRules();
        applyBssTypeRule();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

void TFM_RogueForm::createCommandRequests()
{
    const auto command = [this](const KtSNMPVarItem *items) {
        auto *request = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, items, SVT_SV));
        request->SetStatusControl(StatusBar);
        request->OnSetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
            // A refused or unanswered command changes nothing: the buttons come back.
            if (status.code != 0)
                commandEnded();
        };
        return request;
    };
    m_detect = command(DetectItems);
    m_detect->request.timeout = kDetectTimeout;
    // Sent once: a repeated command would start the scan again.
    m_detect->request.retries = 0;
    m_detect->BindComboBox(0, DetectRogueCoBox);
    m_add = command(AddItems);
    m_add->BindEdit(0, QStringLiteral("%u"), AddCoBox);
    m_delFound = command(DelFoundItems);
    m_delFound->BindEdit(0, QStringLiteral("%u"), DelDetcetEdit);
    m_delKnown = command(DelKnownItems);
    m_delKnown->BindEdit(0, QStringLiteral("%u"), DelCoBox);

    m_detect->afterSetHook = [this](KtSNMPRequest2Edits *) { readList(m_found); };
    m_delFound->afterSetHook = [this](KtSNMPRequest2Edits *) { readList(m_found); };
    for (KtSNMPRequest2Edits *moves : {m_add, m_delKnown}) {
        moves->afterSetHook = [this](KtSNMPRequest2Edits *) {
            readList(m_found);
            readList(m_known);
        };
    }
}

void TFM_RogueForm::createListRequests()
{
    const auto list = [this](const std::vector<KtSNMPVarItem> &items, QTreeWidget *view,
                             bool *again) {
        auto *request = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, items.data(), MVT_FMV));
        request->request.timeout = kListTimeout;
        request->SetStatusControl(StatusBar);
        request->BindListView(view);
        request->OnGetComplete = [this, request, again](KtSNMPRequest2Controls *,
                                                        const KtSNMPError &status) {
            if (status.code != 0 && request == m_found)
                commandEnded();
            if (status.code != 0 && request == m_known) {
                for (QPushButton *button : {Bt_DelAP, Bt_Cancel, Bt_Apply})
                    button->setEnabled(true);
            }
            // A change made while this read was under way is read now.
            if (*again) {
                *again = false;
                readList(request);
            }
        };
        return request;
    };
    m_found = list(FoundItems, RogueListView, &m_foundAgain);
    m_known = list(KnownItems, APListView, &m_knownAgain);
    m_found->afterGetHook = [this](KtSNMPRequest2Edits *) { commandEnded(); };
    m_known->afterGetHook = [this](KtSNMPRequest2Edits *) {
        for (QPushButton *button : {Bt_DelAP, Bt_Cancel, Bt_Apply})
            button->setEnabled(true);
    };
}

void TFM_RogueForm::readList(KtSNMPRequest2Edits *list)
{
    if (!list)
        return;
    if (list->IsBusy()) {
        (list == m_found ? m_foundAgain : m_knownAgain) = true;
        return;
    }
    try {
        list->Get();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

bool TFM_RogueForm::radioOn(Band band) const
{
    const QComboBox *box = band == BandA ? CB_RadioConBand_a : CB_RadioConBand_g;
    return box->currentText() == QStringLiteral("On");
}

void TFM_RogueForm::showMasks()
{
    const int bands = BandEdit->text().toInt();
    CheckBox_11a->setChecked(bands & kBit11a);
    CheckBox_11b->setChecked(bands & kBit11b);
    CheckBox_11g->setChecked(bands & kBit11g);
    const int kinds = SecEdit->text().toInt();
    const SecurityBoxes boxes = securityBoxes();
    for (int bit = 0; bit < 8; ++bit)
        boxes[static_cast<size_t>(bit)]->setChecked(kinds & (1 << bit));
}

void TFM_RogueForm::applyRadioRules()
{
    // A radio that reads neither "On" nor "Off" (a band the device lacks, or a failed read)
    // counts as off: it cannot scan.
    const bool a = radioOn(BandA);
    const bool g = radioOn(BandG);
    CheckBox_11a->setEnabled(a);
    if (!a)
        CheckBox_11a->setChecked(false);
    for (QCheckBox *box : {CheckBox_11b, CheckBox_11g}) {
        box->setEnabled(g);
        if (!g)
            box->setChecked(false);
    }
    m_detectAllowed = a || g;
    Bt_Detect->setEnabled(m_detectAllowed);
}

void TFM_RogueForm::applyBssTypeRule()
{
    const bool wpa = BSSTypRadGrp->itemIndex() != AdHoc - 1;
    for (QCheckBox *box :
         {ChcBxo_eap, ChcBxo_psk, WPA2EAPCkBox, WPA2PSKCkBox, WPA2AUTECkBox, WPA2AUTPCkBox})
        box->setEnabled(wpa);
}

int TFM_RogueForm::bandMaskShown() const
{
    return (CheckBox_11a->isChecked() ? kBit11a : 0) + (CheckBox_11b->isChecked() ? kBit11b : 0)
           + (CheckBox_11g->isChecked() ? kBit11g : 0);
}

int TFM_RogueForm::securityMaskShown() const
{
    const SecurityBoxes boxes = securityBoxes();
    int mask = 0;
    for (int bit = 0; bit < 8; ++bit)
        mask |= boxes[static_cast<size_t>(bit)]->isChecked() ? 1 << bit : 0;
    // An ad hoc network has no WPA: those kinds are no part of its filter.
    if (BSSTypRadGrp->itemIndex() == AdHoc - 1)
        mask &= ~kWpaBits;
    return mask;
}

TFM_RogueForm::SecurityBoxes TFM_RogueForm::securityBoxes() const
{
    return {ChcBxo_off,   ChcBxo_wep,   ChcBxo_eap,    ChcBxo_psk,
            WPA2EAPCkBox, WPA2PSKCkBox, WPA2AUTECkBox, WPA2AUTPCkBox};
}

void TFM_RogueForm::updateBandMask() { BandEdit->setText(QString::number(bandMaskShown())); }

void TFM_RogueForm::updateSecurityMask()
{
    SecEdit->setText(QString::number(securityMaskShown()));
}

void TFM_RogueForm::enableCommands(bool enabled)
{
    for (QPushButton *button : {Bt_Add, Bt_DelRogue, Bt_DelAP, Bt_Apply, Bt_Cancel})
        button->setEnabled(enabled);
    Bt_Detect->setEnabled(enabled && m_detectAllowed);
}

void TFM_RogueForm::commandEnded()
{
    enableCommands(true);
    m_idle = true;
}

void TFM_RogueForm::Bt_DetectClick()
{
    if (!m_idle || !m_detect)
        return;
    enableCommands(false);
    DetectRogueCoBox->setCurrentIndex(DetectOptions.IndexOfLabel(QStringLiteral("detect")));
    m_idle = false;
    try {
        // The found list is read by the command's after-set hook.
        if (writeFilters() && m_detect->Set(true, true))
            return;
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    commandEnded();
}

void TFM_RogueForm::writeRowCommand(KtSNMPRequest2Edits *list, QLineEdit *field,
                                    KtSNMPRequest2Edits *command)
{
    const QTreeWidgetItem *row =
        list && list->listView ? list->listView->selectedItems().value(0, nullptr) : nullptr;
    if (!row || !command)
        return;
    enableCommands(false);
    field->setText(list->RowValue(row, IndexItem));
    try {
        if (command->Set(true, true))
            return;
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    commandEnded();
}

void TFM_RogueForm::Bt_AddClick() { writeRowCommand(m_found, AddCoBox, m_add); }

void TFM_RogueForm::Bt_DelRogueClick()
{
    writeRowCommand(m_found, DelDetcetEdit, m_delFound);
}

void TFM_RogueForm::Bt_DelAPClick() { writeRowCommand(m_known, DelCoBox, m_delKnown); }

bool TFM_RogueForm::writeFilters()
{
    // A mask the device never told (its read failed) is left out: written empty it would
    // filter every access point away.
    KtSNMPVarList &items = m_filter->list();
    std::vector<int> unknown;
    for (const auto &[item, edit] : {std::pair{BandItem, BandEdit}, {SecurityItem, SecEdit}}) {
        if (edit->text().isEmpty()) {
            items.Item(item).access = ACC_INVALID;
            unknown.push_back(item);
        }
    }
    const bool written = writeInOrder({m_filter});
    for (int item : unknown)
        items.Item(item).access = ACC_READWRITE;
    return written;
}

void TFM_RogueForm::Bt_ApplyClick()
{
    if (writeFilters()) {
        showStatusText(ApplyTexts::setSuccess());
        KtWaiting::Show(this);
    } else {
        showStatusText(ApplyTexts::setError());
    }
}

bool TFM_RogueForm::FormCloseQuery() { return m_idle; }
