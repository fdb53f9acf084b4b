#include "tfm_filter.h"

#include "devicefacts.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"
#include "tfm_filtermac.h"
#include "unreadboxes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

TFM_Filter *FM_Filter = nullptr;

namespace {

// ---- Option lists ----
const KtOption AccessControlTable[] = {{TFM_Filter::Accept, nullptr, "Accept"},
                                       {TFM_Filter::Reject, nullptr, "Reject"},
                                       {TFM_Filter::Disable, nullptr, "Disable"},
                                       {0, nullptr, nullptr}};
const KtOptionList AccessControlOptions(AccessControlTable, KtOptionList::Numeric);

// "Enable" comes first in the boxes.
const KtOption EnableTable[] = {
    {1, nullptr, "Enable"}, {0, nullptr, "Disable"}, {0, nullptr, nullptr}};
const KtOptionList EnableOptions(EnableTable, KtOptionList::Numeric);

// ---- Items: four variables, each for band a then band g ----
// Every item starts invalid; binding a band's box makes its item readwrite, so only the bands
// the device has are read and written.
const QString kFilters = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.4.");

const KtSNMPVarItem FilterItems[] = {
    {kFilters + QStringLiteral("1.1.1.1"), QStringLiteral("adAccSettingWirelessAccessControl"),
     SYN_INTEGER, ACC_INVALID, &AccessControlOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("1.1.1.2"), QStringLiteral("adAccSettingWirelessAccessControl"),
     SYN_INTEGER, ACC_INVALID, &AccessControlOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("3.1.1.1"), QStringLiteral("adInternalStationConnection"),
     SYN_INTEGER, ACC_INVALID, &EnableOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("3.1.1.2"), QStringLiteral("adInternalStationConnection"),
     SYN_INTEGER, ACC_INVALID, &EnableOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("3.1.2.1"), QStringLiteral("adEthernet2WLANAccess"), SYN_INTEGER,
     ACC_INVALID, &EnableOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("3.1.2.2"), QStringLiteral("adEthernet2WLANAccess"), SYN_INTEGER,
     ACC_INVALID, &EnableOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("3.1.3.1"), QStringLiteral("adInternaStationConnectionBetweenag"),
     SYN_INTEGER, ACC_INVALID, &EnableOptions, {}, {}, {}, {}, {}},
    {kFilters + QStringLiteral("3.1.3.2"), QStringLiteral("adInternaStationConnectionBetweenag"),
     SYN_INTEGER, ACC_INVALID, &EnableOptions, {}, {}, {}, {}, {}},
    {}};

enum Variable { AccessControlItem = 0, InternalItem = 2, EthernetItem = 4, BetweenItem = 6 };

int itemOf(Variable variable, TFM_Filter::Band band)
{
    return variable + (band == TFM_Filter::BandA ? 0 : 1);
}

QComboBox *newBox(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

QString bandLetter(TFM_Filter::Band band)
{
    return band == TFM_Filter::BandA ? QStringLiteral("a") : QStringLiteral("g");
}

} // namespace

TFM_Filter::TFM_Filter(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Filter"));
    setWindowTitle(QStringLiteral("Advanced \\ Filters"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Filter::~TFM_Filter() = default;

QString TFM_Filter::listCaption(Band band)
{
    return band == BandA ? QStringLiteral("IEEE802.11a MAC Address Table")
                         : QStringLiteral("IEEE802.11g MAC Address Table");
}

QWidget *TFM_Filter::buildBandPage(Band band, BandControls &c)
{
    const QString letter = bandLetter(band);
    auto *page = new QWidget;
    page->setObjectName(band == BandA ? QStringLiteral("TabSheetA")
                                      : QStringLiteral("TabSheetG"));
    c.page = page;
    c.accessControl = newBox(QStringLiteral("CB_AC") + letter, page);
    c.list = new QPushButton(QStringLiteral("Access Control List"), page);
    c.list->setObjectName(QStringLiteral("Bt_ACL") + letter);
    c.list->setAutoDefault(false);
    c.internal = newBox(QStringLiteral("CB_InSC") + letter, page);
    c.ethernet = newBox(QStringLiteral("CB_E2WA") + letter, page);
    c.between = newBox(QStringLiteral("CB_InSCB") + letter, page);
    c.betweenLabel = new QLabel(
        QStringLiteral("Internal Station Connection Between \n802.11a and 802.11g"), page);
    c.betweenLabel->setObjectName(QStringLiteral("La_InSCB") + letter);
    // Shown on the first tab once the device turns out to have both radios.
    c.between->hide();
    c.betweenLabel->hide();

    auto *access = new QHBoxLayout;
    access->addWidget(new QLabel(QStringLiteral("Access Control"), page));
    access->addWidget(c.accessControl, 1);
    access->addWidget(c.list);

    auto *partition = new QGroupBox(QStringLiteral("WLAN Partition"), page);
    auto *grid = new QGridLayout(partition);
    grid->addWidget(new QLabel(QStringLiteral("Internal Station Connection "), partition), 0, 0);
    grid->addWidget(c.internal, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ethernet to WLAN Access"), partition), 1, 0);
    grid->addWidget(c.ethernet, 1, 1);
    grid->addWidget(c.betweenLabel, 2, 0);
    grid->addWidget(c.between, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(access);
    layout->addWidget(partition);
    layout->addStretch();
    return page;
}

void TFM_Filter::buildWindow()
{
    BandControls a;
    BandControls g;
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildBandPage(BandA, a), QString());
    PageControl1->addTab(buildBandPage(BandG, g), QString());
    TabSheetA = a.page;
    TabSheetG = g.page;
    CB_ACa = a.accessControl;
    CB_ACg = g.accessControl;
    Bt_ACLa = a.list;
    Bt_ACLg = g.list;
    CB_InSCa = a.internal;
    CB_InSCg = g.internal;
    CB_E2WAa = a.ethernet;
    CB_E2WAg = g.ethernet;
    CB_InSCBa = a.between;
    CB_InSCBg = g.between;
    La_InSCBa = a.betweenLabel;
    La_InSCBg = g.betweenLabel;

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Refresh = new QPushButton(QStringLiteral("Refresh"), this);
    Bt_Refresh->setObjectName(QStringLiteral("Bt_Refresh"));
    Bt_Close = new QPushButton(QStringLiteral("Close"), this);
    Bt_Close->setObjectName(QStringLiteral("Bt_Close"));
    for (QPushButton *button : {Bt_Apply, Bt_Refresh, Bt_Close})
        button->setAutoDefault(false);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    // Room for a whole status line (the window fits its content).
    StatusBar->setMinimumWidth(420);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Refresh);
    buttons->addWidget(Bt_Close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_Filter::Bt_ApplyClick);
    connect(Bt_Refresh, &QPushButton::clicked, this, &TFM_Filter::Bt_RefreshClick);
    connect(Bt_Close, &QPushButton::clicked, this, &TFM_Filter::close);
    connect(Bt_ACLa, &QPushButton::clicked, this, &TFM_Filter::Bt_ACLaClick);
    connect(Bt_ACLg, &QPushButton::clicked, this, &TFM_Filter::Bt_ACLgClick);
    for (QComboBox *box : {CB_ACa, CB_ACg})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { applyListButtonRule(); });
    // The user's choice only: each box is filled from its own variable.
    for (QComboBox *box : {CB_InSCBa, CB_InSCBg})
        connect(box, &QComboBox::activated, this,
                [this](int position) { followBetweenBands(position); });
}

TFM_Filter::BandControls TFM_Filter::controlsOf(Band band) const
{
    BandControls c;
    const bool a = band == BandA;
    c.page = a ? TabSheetA : TabSheetG;
    c.accessControl = a ? CB_ACa : CB_ACg;
    c.list = a ? Bt_ACLa : Bt_ACLg;
    c.internal = a ? CB_InSCa : CB_InSCg;
    c.ethernet = a ? CB_E2WAa : CB_E2WAg;
    c.between = a ? CB_InSCBa : CB_InSCBg;
    c.betweenLabel = a ? La_InSCBa : La_InSCBg;
    return c;
}

void TFM_Filter::FormCreate()
{
    try {
        m_request = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, FilterItems, MVT_SV));
        m_request->mode = KtSNMPRequest2Controls::Synchronous;
        m_request->SetStatusControl(StatusBar);
        const bool present[] = {DeviceFacts::radioPresent(BandA),
                                DeviceFacts::radioPresent(BandG)};
        m_bothRadios = present[0] && present[1];
        for (Band band : {BandA, BandG}) {
            const int tab = PageControl1->indexOf(controlsOf(band).page);
            PageControl1->setTabText(tab, band == BandA ? QStringLiteral("IEEE 802.11a")
                                                        : QStringLiteral("IEEE 802.11g"));
            if (present[band - 1])
                bindBand(band);
            else
                PageControl1->setTabVisible(tab, false);
        }
        if (m_bothRadios) {
            for (Band band : {BandA, BandG}) {
                const int item = itemOf(BetweenItem, band);
                m_request->list().Item(item).access = ACC_READWRITE;
                m_request->BindComboBox(item, controlsOf(band).between);
                controlsOf(band).between->setCurrentIndex(-1);
            }
            CB_InSCBa->show();
            La_InSCBa->show();
        }
        if (read())
            applyListButtonRule();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

void TFM_Filter::bindBand(Band band)
{
    const BandControls c = controlsOf(band);
    const std::pair<Variable, QComboBox *> boxes[] = {
        {AccessControlItem, c.accessControl}, {InternalItem, c.internal},
        {EthernetItem, c.ethernet}};
    for (const auto &[variable, box] : boxes) {
        const int item = itemOf(variable, band);
        m_request->list().Item(item).access = ACC_READWRITE;
        m_request->BindComboBox(item, box);
        // Nothing shows until the device has told its value.
        box->setCurrentIndex(-1);
    }
}

bool TFM_Filter::read()
{
    const WorkingScope working(this, Operation::Reading);
    try {
        return m_request->Get();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    return false;
}

void TFM_Filter::applyListButtonRule()
{
    for (Band band : {BandA, BandG}) {
        const BandControls c = controlsOf(band);
        c.list->setEnabled(c.accessControl->currentText() != QStringLiteral("Disable"));
    }
}

void TFM_Filter::followBetweenBands(int position)
{
    CB_InSCBa->setCurrentIndex(position);
    CB_InSCBg->setCurrentIndex(position);
}

void TFM_Filter::Bt_ApplyClick()
{
    if (!m_request)
        return;
    // A box the device never filled is left out of the write; it is bound again afterwards.
    bool written = false;
    {
        const UnreadBoxesLeftOut unread(*m_request);
        if (static_cast<std::size_t>(unread.leftOut()) < m_request->Bindings().size())
            written = writeInOrder({m_request});
    }
    if (written)
        KtWaiting::Show(this);
    else
        showStatusText(ApplyTexts::settingErrorCapital());
}

void TFM_Filter::Bt_RefreshClick()
{
    if (read())
        applyListButtonRule();
}

void TFM_Filter::Bt_ACLaClick() { openMacList(BandA); }

void TFM_Filter::Bt_ACLgClick() { openMacList(BandG); }

void TFM_Filter::openMacList(Band band)
{
    m_openBand = band;
    TFM_FilterMAC window(this, band);
    window.setWindowTitle(listCaption(band));
    FM_FilterMAC = &window;
    window.exec();
    FM_FilterMAC = nullptr;
}
