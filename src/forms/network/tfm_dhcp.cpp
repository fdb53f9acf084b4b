#include "tfm_dhcp.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "ktwaiting.h"
#include "macaddresses.h"
#include "new_req2edit.h"
#include "tfm_staticip.h"
#include "tmainform.h"
#include "unreadboxes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

TFM_DHCP *FM_DHCP = nullptr;

using NetworkChecks::Rejection;

namespace {

// ---- Device variables ----

const QString kDhcp = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7");
const QString kDynamicPool = kDhcp + QStringLiteral(".2");
const QString kDynamicLeases = kDhcp + QStringLiteral(".4.1.1");
const QString kStaticLeases = kDhcp + QStringLiteral(".4.2.1");
const QString kIPAddress = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.2");

const KtOptionList &functionOptions()
{
    static const KtOption table[] = {
        {0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem item(const QString &oid, const char *name, int syntax, int access = ACC_READWRITE,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access, options);
}

std::vector<KtSNMPVarItem> functionTable()
{
    return {item(kDhcp + QStringLiteral(".1"), "Dynamic IP Function", SYN_INTEGER, ACC_READWRITE,
                 &functionOptions()),
            {}};
}

enum PoolItem {
    DynamicIPStart,
    DynamicRange,
    DynamicMask,
    DynamicGateway,
    DynamicWins,
    DynamicDns,
    DynamicDomain,
    DynamicLease,
    DynamicStatus
};

std::vector<KtSNMPVarItem> poolTable()
{
    const auto pool = [](int sub) { return kDynamicPool + u'.' + QString::number(sub); };
    return {
        item(pool(1), "Dynamic IP Start", SYN_IPADDRESS),
        item(pool(2), "Dynamic Range", SYN_INTEGER),
        item(pool(3), "Dynamic Mask", SYN_IPADDRESS),
        item(pool(4), "Dynamic Gateway", SYN_IPADDRESS),
        item(pool(5), "Dynamic Wins", SYN_IPADDRESS),
        item(pool(6), "Dynamic Dns", SYN_IPADDRESS),
        item(pool(7), "Dynamic Domain", SYN_DISPLAYSTR),
        item(pool(8), "Dynamic Lease", SYN_INTEGER),
        item(pool(9), "Dynamic Status", SYN_INTEGER, ACC_READWRITE, &NetworkChecks::OnOffOptions()),
        {}};
}

// The device's own address; only read here.
std::vector<KtSNMPVarItem> addressTable()
{
    return {item(kIPAddress, "hIPAddress", SYN_IPADDRESS, ACC_READONLY), {}};
}

// The lease tables; the row index names the row and is shown as "No.".
std::vector<KtSNMPVarItem> dynamicLeaseTable()
{
    return {item(kDynamicLeases + QStringLiteral(".1"), "No.", SYN_INTEGER, ACC_NOTACCESS),
            item(kDynamicLeases + QStringLiteral(".1"), "Current Dynamic MAC", SYN_MACADDRESS,
                 ACC_READONLY),
            item(kDynamicLeases + QStringLiteral(".2"), "Current Dynamic Assigned IP",
                 SYN_IPADDRESS, ACC_READONLY),
            item(kDynamicLeases + QStringLiteral(".3"), "Current Dynamic Lease", SYN_INTEGER,
                 ACC_READONLY),
            {}};
}

std::vector<KtSNMPVarItem> staticLeaseTable()
{
    return {item(kStaticLeases + QStringLiteral(".1"), "No.", SYN_INTEGER, ACC_NOTACCESS),
            item(kStaticLeases + QStringLiteral(".1"), "Current Static MAC", SYN_MACADDRESS,
                 ACC_READONLY),
            item(kStaticLeases + QStringLiteral(".2"), "Current Static Assigned IP", SYN_IPADDRESS,
                 ACC_READONLY),
            {}};
}

// In the engine's hundredths of a second: a slot write or read step 10 s, a
// walk of the used entries 100 s.
constexpr int kSlotTimeout = 1000;
constexpr int kUsedTimeout = 10000;
constexpr int kAddressLength = 15;
constexpr int kRangeLength = 3;
constexpr int kLeaseLength = 8;
constexpr int kDomainLength = 63;
constexpr int kMacLength = 12;

constexpr qint64 kRangeMin = 1;
constexpr qint64 kRangeMax = 255;
constexpr qint64 kLeaseMin = 60;
constexpr qint64 kLeaseMax = 31536000;

// ---- Texts ----

const QString kCaption = QStringLiteral("Advanced \\ DHCP Server");
const QString kBadStart = QStringLiteral("Please input valid IP address");
const QString kBadRange = QStringLiteral("Please input a number between 1 and 255.");
const QString kBadLease = QStringLiteral("Please input a number between 60 and 31536000.");
const QString kCoversSystem =
    QStringLiteral("Reject: The DHCP dynamic IP pool will cover system IP.");
const QString kCoversStatic =
    QStringLiteral("Reject: The DHCP dynamic IP pool will cover Static IP.");
const QString kBadGateway = QStringLiteral("Please input valid Gateway.");
const QString kBadWins = QStringLiteral("Please input valid Wins.");
const QString kBadDns = QStringLiteral("Please input valid DNS.");
const QString kBadMask = QStringLiteral("Please input valid SubMask.");
const QString kStartIsSystem = QStringLiteral("Reject:DHCPS dynamic IP pool will cover system IP");
const QString kWaitingForList = QStringLiteral("Waiting for listing data...");
const QString kNotRestarting = QStringLiteral("But the device isn't restarting.");

// The waiting windows of the static page. Their command delay outlasts the
// countdown: the device keeps running after a slot write.
constexpr int kDelCountdown = 20;
constexpr int kEntryCountdown = 15;
constexpr int kNoCommandDelay = 22;

// A whole number, or none.
std::optional<qint64> number(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

bool noAddress(const QString &text) { return text == NetworkChecks::kFreeSlotIP; }

} // namespace

TFM_DHCP::TFM_DHCP(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_DHCP"));
    setWindowTitle(kCaption);
    buildWindow();
    setStatusBar(StatusBar1);
    FormCreate();
}

TFM_DHCP::~TFM_DHCP() = default;

// ---- Building ----

void TFM_DHCP::buildWindow()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildDynamicPage(), QStringLiteral("Dynamic Pool Settings"));
    PageControl1->addTab(buildStaticPage(), QStringLiteral("Static Pool Settings"));
    PageControl1->addTab(buildLeasePage(), QStringLiteral("Current IP Mapping List"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);

    // The working indication goes to the status bar of the page in front.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        QStatusBar *const bars[] = {StatusBar1, StatusBar2, StatusBar3};
        setStatusBar(bars[qBound(0, page, 2)]);
    });
}

namespace {

QStatusBar *pageStatusBar(QWidget *parent, const char *name)
{
    auto *bar = new QStatusBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setSizeGripEnabled(false);
    leaveRoomForStatusLine(bar);
    return bar;
}

QPushButton *button(QWidget *parent, const char *name, const char *text)
{
    auto *b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QComboBox *functionBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QHBoxLayout *applyCancelRow(QPushButton *apply, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(apply);
    row->addWidget(cancel);
    return row;
}

} // namespace

QWidget *TFM_DHCP::buildDynamicPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabDynamic"));
    const auto edit = [page](const char *name) {
        auto *e = new QLineEdit(page);
        e->setObjectName(QString::fromLatin1(name));
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.2550")));
        return e;
    };
    CB_Fuction1 = functionBox(page, "CB_Fuction1");
    Ed_IPAF = edit("Ed_IPAF");
    Ed_PoolRan = edit("Ed_PoolRan");
    Ed_SubMask = edit("Ed_SubMask");
    Ed_Gateway = edit("Ed_Gateway");
    Ed_Wins = edit("Ed_Wins");
    Ed_DNS = edit("Ed_DNS");
    Ed_DomNa = edit("Ed_DomNa");
    Ed_Lease = edit("Ed_Lease");
    CB_Status = new QComboBox(page);
    CB_Status->setObjectName(QStringLiteral("CB_Status"));
    Ed_ext = edit("Ed_ext");
    Ed_ext->hide();

    m_poolFields = new QGroupBox(QStringLiteral("Dynamic Pool"), page);
    auto *grid = new QGridLayout(m_poolFields);
    const std::pair<const char *, QWidget *> rows[] = {
        {"IP Assigned From:", Ed_IPAF},
        {"The Range of Pool (1-255):", Ed_PoolRan},
        {"SubMask:", Ed_SubMask},
        {"Gateway:", Ed_Gateway},
        {"Wins:", Ed_Wins},
        {"DNS:", Ed_DNS},
        {"Domain Name:", Ed_DomNa},
        {"Lease Time (60 - 31536000 sec.):", Ed_Lease},
        {"Status:", CB_Status}};
    int row = 0;
    for (const auto &[text, control] : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(text), m_poolFields), row, 0);
        grid->addWidget(control, row++, 1);
    }
    grid->setColumnStretch(1, 1);

    auto *function = new QHBoxLayout;
    function->addWidget(new QLabel(QStringLiteral("Function Enable/Disable:"), page));
    function->addWidget(CB_Fuction1, 1);

    Bt_Apply1 = button(page, "Bt_Apply1", "Apply");
    Bt_Cancel1 = button(page, "Bt_Cancel1", "Cancel");
    StatusBar1 = pageStatusBar(page, "StatusBar1");
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(function);
    layout->addWidget(m_poolFields);
    layout->addStretch();
    layout->addLayout(applyCancelRow(Bt_Apply1, Bt_Cancel1));
    layout->addWidget(StatusBar1);

    connect(Bt_Apply1, &QPushButton::clicked, this, &TFM_DHCP::Bt_Apply1Click);
    connect(Bt_Cancel1, &QPushButton::clicked, this, &TFM_DHCP::reject);
    connect(CB_Fuction1, &QComboBox::activated, this, &TFM_DHCP::functionChosen);
    return page;
}

QWidget *TFM_DHCP::buildStaticPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabStatic"));
    CB_Fuction2 = functionBox(page, "CB_Fuction2");
    // The function has one option list; the static page's box shows the same
    // choices.
    CB_Fuction2->addItems({QStringLiteral("Disable"), QStringLiteral("Enable")});

    auto *group = new QGroupBox(QStringLiteral("Assigned Static Pool"), page);
    User_ListView = new QTreeWidget(group);
    User_ListView->setObjectName(QStringLiteral("User_ListView"));
    User_ListView->setMinimumSize(560, 160);
    // Every slot, free ones included; the used list lies over it.
    LV_StaticPoolSet = new QTreeWidget(group);
    LV_StaticPoolSet->setObjectName(QStringLiteral("LV_StaticPoolSet"));
    LV_StaticPoolSet->hide();
    Bt_Add = button(group, "Bt_Add", "Add");
    Bt_Set = button(group, "Bt_Set", "Set");
    Bt_Del = button(group, "Bt_Del", "Del");
    Bt_Refresh = button(group, "Bt_Refresh", "Refresh");
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {Bt_Add, Bt_Set, Bt_Del, Bt_Refresh})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(User_ListView, 1);
    groupLayout->addWidget(LV_StaticPoolSet);
    groupLayout->addLayout(buttons);

    auto *function = new QHBoxLayout;
    function->addWidget(new QLabel(QStringLiteral("Function Enable/Disable:"), page));
    function->addWidget(CB_Fuction2, 1);

    Bt_Apply2 = button(page, "Bt_Apply2", "Apply");
    Bt_Cancel2 = button(page, "Bt_Cancel2", "Cancel");
    StatusBar2 = pageStatusBar(page, "StatusBar2");
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(function);
    layout->addWidget(group, 1);
    layout->addLayout(applyCancelRow(Bt_Apply2, Bt_Cancel2));
    layout->addWidget(StatusBar2);

    connect(Bt_Apply2, &QPushButton::clicked, this, &TFM_DHCP::Bt_Apply2Click);
    connect(Bt_Cancel2, &QPushButton::clicked, this, &TFM_DHCP::reject);
    connect(Bt_Add, &QPushButton::clicked, this, &TFM_DHCP::Bt_AddClick);
    connect(Bt_Set, &QPushButton::clicked, this, &TFM_DHCP::Bt_SetClick);
    connect(Bt_Del, &QPushButton::clicked, this, &TFM_DHCP::Bt_DelClick);
    connect(Bt_Refresh, &QPushButton::clicked, this, &TFM_DHCP::Bt_RefreshClick);
    connect(CB_Fuction2, &QComboBox::activated, this, &TFM_DHCP::functionChosen);
    connect(User_ListView, &QTreeWidget::itemSelectionChanged, this,
            [this] { applyEnablingRules(); });
    connect(User_ListView, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (Bt_Set->isEnabled())
            Bt_SetClick();
    });
    return page;
}

QWidget *TFM_DHCP::buildLeasePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabLeases"));
    const auto list = [page](const char *title, QTreeWidget *&view, const char *viewName,
                             QPushButton *&refresh, const char *refreshName, QStatusBar *&bar,
                             const char *barName) {
        auto *group = new QGroupBox(QString::fromLatin1(title), page);
        view = new QTreeWidget(group);
        view->setObjectName(QString::fromLatin1(viewName));
        view->setMinimumHeight(110);
        refresh = button(group, refreshName, "Refresh");
        bar = pageStatusBar(group, barName);
        auto *row = new QHBoxLayout;
        row->addWidget(bar, 1);
        row->addWidget(refresh);
        auto *layout = new QVBoxLayout(group);
        layout->addWidget(view, 1);
        layout->addLayout(row);
        return group;
    };
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(list("Dynamic Pool", LV_DynamicLease, "LV_DynamicLease", Bt_RefreshDynamic,
                           "Bt_RefreshDynamic", StatusBar3, "StatusBar3"));
    layout->addWidget(list("Static Pool", LV_StaticLease, "LV_StaticLease", Bt_RefreshStatic,
                           "Bt_RefreshStatic", StatusBar4, "StatusBar4"));
    connect(Bt_RefreshDynamic, &QPushButton::clicked, this, [this] {
        if (!m_dynamicLeases->IsBusy())
            m_dynamicLeases->Get();
    });
    connect(Bt_RefreshStatic, &QPushButton::clicked, this, [this] {
        if (!m_staticLeases->IsBusy())
            m_staticLeases->Get();
    });
    return page;
}

void TFM_DHCP::FormCreate()
{
    setStaticBusy(true);
    try {
        m_function = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, functionTable().data(), SVT_SV));
        m_function->mode = KtSNMPRequest2Controls::Synchronous;
        m_function->BindComboBox(0, CB_Fuction1);
        m_function->SetStatusControl(StatusBar1);

        m_pool =
            adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, poolTable().data(), SVT_SV));
        m_pool->mode = KtSNMPRequest2Controls::Synchronous;
        const QString address = QStringLiteral("%s{l%1}").arg(kAddressLength);
        m_pool->BindEdit(DynamicIPStart, address, Ed_IPAF);
        m_pool->BindEdit(DynamicRange, QStringLiteral("%u{l%1}").arg(kRangeLength), Ed_PoolRan);
        m_pool->BindEdit(DynamicMask, address, Ed_SubMask);
        m_pool->BindEdit(DynamicGateway, address, Ed_Gateway);
        m_pool->BindEdit(DynamicWins, address, Ed_Wins);
        m_pool->BindEdit(DynamicDns, address, Ed_DNS);
        m_pool->BindEdit(DynamicDomain, QStringLiteral("%s{l%1}").arg(kDomainLength), Ed_DomNa);
        m_pool->BindEdit(DynamicLease, QStringLiteral("%u{l%1}").arg(kLeaseLength), Ed_Lease);
        m_pool->BindComboBox(DynamicStatus, CB_Status);
        m_pool->SetStatusControl(StatusBar1);
        // The editor checks against the pool the device holds, not against what is
        // being typed on the dynamic page.
        const auto rememberPool = [this](KtSNMPRequest2Edits *request) {
            m_poolStart = request->list().Item(DynamicIPStart).value;
            m_poolRange = request->list().Item(DynamicRange).value;
        };
        m_pool->afterGetHook = rememberPool;
        m_pool->afterSetHook = rememberPool;

        m_address = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, addressTable().data(), SVT_SV));
        m_address->mode = KtSNMPRequest2Controls::Synchronous;
        m_address->BindEdit(0, QStringLiteral("%s"), Ed_ext);
        m_address->SetStatusControl(StatusBar1);

        const std::vector<KtSNMPVarItem> slotTable = NetworkChecks::StaticPoolTable();
        m_slots =
            adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, slotTable.data(), MVT_FMV, 1));
        m_slots->request.timeout = kSlotTimeout;
        m_slots->SetStatusControl(StatusBar2);
        m_slots->BindListView(LV_StaticPoolSet);
        m_slots->afterGetHook = [this](KtSNMPRequest2Edits *) { slotsRead(); };
        m_slots->afterSetHook = [this](KtSNMPRequest2Edits *) { slotWritten(); };
        m_slots->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
            // The read has ended only now (its after-get hook ran while it was still busy).
            m_slotsKnown = status.code == 0;
            if (status.code != 0)
                slotsReadFailed();
            else
                applyEnablingRules();
        };

        m_used = adoptRequest(std::make_unique<New_req2Edit>(this, slotTable.data(), MVT_FMV, 1));
        m_used->request.timeout = kUsedTimeout;
        m_used->skipText = NetworkChecks::kFreeSlotIP;
        m_used->keyItem = NetworkChecks::SP_IP;
        m_used->SetStatusControl(StatusBar2);
        m_used->BindListView(User_ListView, false);
        m_used->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &) {
            applyEnablingRules();
        };

        m_dynamicLeases = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, dynamicLeaseTable().data(), MVT_UMV, 1));
        m_dynamicLeases->SetStatusControl(StatusBar3);
        m_dynamicLeases->BindListView(LV_DynamicLease, false);
        m_staticLeases = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, staticLeaseTable().data(), MVT_UMV, 1));
        m_staticLeases->SetStatusControl(StatusBar4);
        m_staticLeases->BindListView(LV_StaticLease, false);

        createEditor();

        // Each read writes its line into the dynamic page's bar: the first error
        // stays in view, not the success of a later read.
        QString firstError;
        for (KtSNMPRequest2Edits *request : {m_function, m_pool, m_address}) {
            if (!request->Get() && firstError.isEmpty())
                firstError = StatusBar1->currentMessage();
        }
        if (!firstError.isEmpty())
            StatusBar1->showMessage(firstError);
        readStaticLists();
        m_dynamicLeases->Get();
        m_staticLeases->Get();
    } catch (const KtException &e) {
        for (QStatusBar *bar : {StatusBar1, StatusBar2, StatusBar3})
            bar->showMessage(e.text());
        setStaticBusy(false);
    }
    CB_Fuction2->setCurrentIndex(CB_Fuction1->currentIndex());
    applyEnablingRules();
}

void TFM_DHCP::createEditor()
{
    using namespace NetworkChecks;
    m_editor = new TFM_StaticIP(this);
    const QString address = QStringLiteral("%s{l%1}").arg(kAddressLength);
    m_slots->BindControl(SP_Index, m_editor->LA_Index);
    m_slots->BindEdit(SP_IP, address, m_editor->Ed_AsgIP);
    m_slots->BindEdit(SP_MAC, QStringLiteral("%h"), m_editor->Ed_AsgMac);
    KtTypingLimit::SetLimit(m_editor->Ed_AsgMac, kMacLength);
    m_slots->BindEdit(SP_Mask, address, m_editor->Ed_SubMask);
    m_slots->BindEdit(SP_Gateway, address, m_editor->Ed_Gatway);
    m_slots->BindEdit(SP_DNS, address, m_editor->Ed_DNS);
    m_slots->BindEdit(SP_Wins, address, m_editor->Ed_Wins);
    m_slots->BindEdit(SP_Domain, QStringLiteral("%s{l%1}").arg(kDomainLength), m_editor->Ed_DomNa);
    m_slots->BindComboBox(SP_Status, m_editor->CB_Stat);
    m_slots->SetConstraintOwner(m_editor);
}

QString TFM_DHCP::systemAddress() const { return Ed_ext->text(); }

// ---- Enabling rules ----

void TFM_DHCP::functionChosen(int position)
{
    // The two boxes show one variable.
    CB_Fuction1->setCurrentIndex(position);
    CB_Fuction2->setCurrentIndex(position);
    applyEnablingRules();
}

void TFM_DHCP::applyEnablingRules()
{
    if (CB_Fuction2->currentIndex() != CB_Fuction1->currentIndex())
        CB_Fuction2->setCurrentIndex(CB_Fuction1->currentIndex());
    m_poolFields->setEnabled(CB_Fuction1->currentIndex() == Enable);

    const bool on = CB_Fuction2->currentIndex() == Enable;
    const bool reading = staticReading();
    const bool idle = !m_busy && !reading;
    const bool chosen = !User_ListView->selectedItems().isEmpty();
    Bt_Refresh->setEnabled(on && !reading);
    Bt_Add->setEnabled(on && idle && m_slotsKnown);
    Bt_Set->setEnabled(on && idle && chosen && m_slotsKnown);
    Bt_Del->setEnabled(on && idle && chosen && m_slotsKnown);
    // Greyed while the server is off or the lists are rewritten.
    User_ListView->setEnabled(on && !m_busy);
    Bt_Apply1->setEnabled(!m_busy);
    Bt_Apply2->setEnabled(!m_busy);
}

// ---- The static lists ----

bool TFM_DHCP::staticReading() const
{
    return (m_slots && m_slots->IsBusy()) || (m_used && m_used->IsBusy());
}

void TFM_DHCP::setStaticBusy(bool busy)
{
    m_busy = busy;
    if (busy) {
        for (QPushButton *b : {Bt_Add, Bt_Set, Bt_Del, Bt_Apply1, Bt_Apply2})
            b->setEnabled(false);
        User_ListView->setEnabled(false);
    }
}

void TFM_DHCP::readStaticLists()
{
    setStaticBusy(true);
    Bt_Refresh->setEnabled(false);
    try {
        if (!m_slots->IsBusy())
            m_slots->Get();
        // A read under way keeps its numbering; a new one starts again at 1.
        if (!m_used->IsBusy()) {
            m_used->rowNumber = 1;
            m_used->skipText = NetworkChecks::kFreeSlotIP;
            m_used->Get();
        }
    } catch (const KtException &e) {
        StatusBar2->showMessage(e.text());
        slotsReadFailed();
    }
}

void TFM_DHCP::slotsRead()
{
    // Whether every slot came is told by the read's outcome (its completion, or Get's result).
    m_busy = false;
    User_ListView->setEnabled(true);
    CB_Fuction2->setCurrentIndex(CB_Fuction1->currentIndex());
    applyEnablingRules();
}

void TFM_DHCP::slotsReadFailed()
{
    // Refresh tries again; until then the editor has no slots to work on.
    m_busy = false;
    m_slotsKnown = false;
    applyEnablingRules();
}

void TFM_DHCP::slotWritten()
{
    if (!m_reloadAfterSet)
        return;
    User_ListView->clear();
    LV_StaticPoolSet->clear();
    // The write is still on the stack: the lists are read once it has returned.
    QTimer::singleShot(0, this, [this] { readStaticLists(); });
}

void TFM_DHCP::becomeIdle()
{
    m_busy = false;
    applyEnablingRules();
}

QTreeWidgetItem *TFM_DHCP::slotOfMac(const QString &mac) const
{
    for (int i = 0; i < LV_StaticPoolSet->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = LV_StaticPoolSet->topLevelItem(i);
        if (MacAddresses::SameMac(mac, m_slots->RowValue(row, NetworkChecks::SP_MAC)))
            return row;
    }
    return nullptr;
}

bool TFM_DHCP::takeChosenEntry()
{
    if (staticReading() || m_busy || !m_editor)
        return false;
    const QTreeWidgetItem *chosen = User_ListView->selectedItems().value(0, nullptr);
    const QString ip = m_used->RowValue(chosen, NetworkChecks::SP_IP);
    return !ip.isEmpty() && m_slots->SelectRow(NetworkChecks::SP_IP, ip);
}

bool TFM_DHCP::writeSlot(bool reloadAfter)
{
    m_reloadAfterSet = reloadAfter;
    const bool written = writeInOrder({m_slots}, false);
    m_reloadAfterSet = true;
    return written;
}

void TFM_DHCP::Bt_AddClick()
{
    if (staticReading() || m_busy || !m_editor)
        return;
    if (!m_slots->SelectRow(NetworkChecks::SP_IP, NetworkChecks::kFreeSlotIP)) {
        KtDialogs::message(this, poolFullText(), warningCaption());
        return;
    }
    m_editor->prepareAdding();
    if (m_editor->exec() != QDialog::Accepted)
        becomeIdle();
}

void TFM_DHCP::Bt_SetClick()
{
    if (!takeChosenEntry())
        return;
    m_editor->prepareSetting();
    if (m_editor->exec() != QDialog::Accepted)
        becomeIdle();
}

void TFM_DHCP::Bt_DelClick()
{
    if (!takeChosenEntry())
        return;
    m_editor->setEntry(StaticEntry::freeSlot());
    setStaticBusy(true);
    if (!writeSlot(true)) {
        // Nothing changed on the device: no list to wait for.
        becomeIdle();
        return;
    }
    KtWaitingOptions waiting;
    waiting.countdown = kDelCountdown;
    waiting.label3 = kWaitingForList;
    waiting.commandDelay = kNoCommandDelay;
    waiting.sendRestartCommand = false;
    showWaiting(waiting);
}

bool TFM_DHCP::writeStaticEntry()
{
    StaticEntry entered = m_editor->entry();
    for (QString *option : {&entered.mask, &entered.gateway, &entered.wins, &entered.dns}) {
        if (option->isEmpty())
            *option = NetworkChecks::kFreeSlotIP;
    }
    setStaticBusy(true);
    bool slotEmptied = false;
    // The editor keeps what the user typed and says why. Once a slot was emptied on the
    // device, the editor's slot is no longer what the lists show: it closes and both lists
    // are read again (the reason stays in the static page's status bar).
    const auto failed = [this, &entered, &slotEmptied] {
        m_editor->setEntry(entered);
        m_editor->showStatusText(StatusBar2->currentMessage());
        if (slotEmptied) {
            m_editor->reject();
            readStaticLists();
        } else {
            becomeIdle();
        }
        return false;
    };
    // The device keeps one slot per MAC: the slot that has it already is emptied
    // and takes the entry; otherwise the slot chosen by Add or Set does.
    if (QTreeWidgetItem *row = slotOfMac(entered.mac)) {
        m_slots->SelectRow(NetworkChecks::SP_Index,
                           m_slots->RowValue(row, NetworkChecks::SP_Index));
        m_editor->setEntry(StaticEntry::freeSlot());
        if (!writeSlot(false))
            return failed();
        slotEmptied = true;
    }
    m_editor->setEntry(entered);
    m_function->SetStatusControl(StatusBar2);
    m_reloadAfterSet = true;
    const bool written = m_editor->writeInOrder({m_function, m_slots}, false);
    m_function->SetStatusControl(StatusBar1);
    if (!written)
        return failed();

    m_editor->hide();
    KtWaitingOptions waiting;
    waiting.countdown = kEntryCountdown;
    waiting.label3 = kNotRestarting;
    waiting.commandDelay = kNoCommandDelay;
    waiting.sendRestartCommand = false;
    showWaiting(waiting);
    return true;
}

void TFM_DHCP::Bt_RefreshClick()
{
    if (staticReading())
        return;
    readNow(m_function);
    readStaticLists();
}

// ---- The dynamic page ----

std::optional<Rejection> TFM_DHCP::checkPoolPlacement() const
{
    const auto warning = [](const QString &text, QLineEdit *field,
                            Refusal::Effect effect = Refusal::Focus) {
        return Rejection{{text, field, effect}, warningCaption()};
    };
    const QString start = Ed_IPAF->text();
    const QString range = Ed_PoolRan->text();
    if (start.isEmpty())
        return warning(kBadStart, Ed_IPAF);
    if (range.isEmpty())
        return warning(kBadRange, Ed_PoolRan);
    if (NetworkChecks::InDynamicPool(Ed_ext->text(), start, range))
        return warning(kCoversSystem, Ed_IPAF);
    for (int i = 0; i < LV_StaticPoolSet->topLevelItemCount(); ++i) {
        const QString ip =
            m_slots->RowValue(LV_StaticPoolSet->topLevelItem(i), NetworkChecks::SP_IP);
        if (!noAddress(ip) && NetworkChecks::InDynamicPool(ip, start, range))
            return warning(kCoversStatic, Ed_IPAF);
    }
    const std::optional<qint64> count = number(range);
    if (!count || *count < kRangeMin || *count > kRangeMax)
        return Rejection{{kBadRange, Ed_PoolRan, Refusal::ClearText}, errorCaption()};
    if (Ed_Lease->text().isEmpty())
        return warning(kBadLease, Ed_Lease);
    const std::optional<qint64> lease = number(Ed_Lease->text());
    if (!lease || *lease < kLeaseMin || *lease > kLeaseMax)
        return Rejection{{kBadLease, Ed_Lease, Refusal::ClearText}, errorCaption()};
    return std::nullopt;
}

void TFM_DHCP::fillEmptyOptions()
{
    for (QLineEdit *option : {Ed_SubMask, Ed_Gateway, Ed_Wins, Ed_DNS}) {
        if (option->text().isEmpty())
            option->setText(NetworkChecks::kFreeSlotIP);
    }
}

std::optional<Rejection> TFM_DHCP::checkPoolOptions() const
{
    const auto waring = [](const QString &text, QLineEdit *field) {
        return Rejection{{text, field, Refusal::ClearText}, NetworkChecks::kWaringCaption};
    };
    if (!TMainForm::IsValidIPAddress(Ed_IPAF->text()))
        return waring(kBadStart, Ed_IPAF);
    const std::pair<QLineEdit *, const QString *> hosts[] = {
        {Ed_Gateway, &kBadGateway}, {Ed_Wins, &kBadWins}, {Ed_DNS, &kBadDns}};
    for (const auto &[field, text] : hosts) {
        if (!noAddress(field->text()) && !TMainForm::IsValidIPAddress(field->text()))
            return waring(*text, field);
    }
    if (!noAddress(Ed_SubMask->text()) && !TMainForm::IsValidMask(Ed_SubMask->text()))
        return waring(kBadMask, Ed_SubMask);
    if (Ed_IPAF->text().trimmed() == DeviceFacts::deviceAddress())
        return waring(kStartIsSystem, Ed_IPAF);
    return std::nullopt;
}

bool TFM_DHCP::readNow(KtSNMPRequest2Edits *request)
{
    WorkingScope reading(this, Operation::Reading);
    const quint8 mode = request->mode;
    request->mode = KtSNMPRequest2Controls::Synchronous;
    bool read = false;
    try {
        read = request->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    request->mode = mode;
    return read;
}

void TFM_DHCP::Bt_Apply1Click()
{
    if (m_busy || !m_function)
        return;
    // What the checks compare with must be known: a box, an address or a static
    // pool the opening could not read is read now, and Apply ends when it still
    // cannot be.
    if (CB_Fuction1->currentIndex() < 0
        && (!readNow(m_function) || CB_Fuction1->currentIndex() < 0))
        return;
    const bool enable = CB_Fuction1->currentIndex() == Enable;
    if (enable) {
        if (Ed_ext->text().isEmpty() && !readNow(m_address))
            return;
        if (!m_slotsKnown) {
            m_slotsKnown = readNow(m_slots);
            if (!m_slotsKnown)
                return;
        }
        if (NetworkChecks::Reject(*this, checkPoolPlacement()))
            return;
        fillEmptyOptions();
        if (NetworkChecks::Reject(*this, checkPoolOptions()))
            return;
    }
    bool written = false;
    {
        const UnreadBoxesLeftOut unread(*m_pool, {{DynamicStatus, CB_Status}});
        written = enable ? writeInOrder({m_function, m_pool}) : writeInOrder({m_function});
    }
    if (written)
        showWaiting(KtWaitingOptions());
}

void TFM_DHCP::Bt_Apply2Click()
{
    if (m_busy || !m_function)
        return;
    if (CB_Fuction1->currentIndex() < 0
        && (!readNow(m_function) || CB_Fuction1->currentIndex() < 0))
        return;
    m_function->SetStatusControl(StatusBar2);
    const bool written = writeInOrder({m_function});
    m_function->SetStatusControl(StatusBar1);
    if (written)
        showWaiting(KtWaitingOptions());
}

// ---- Closing ----

bool TFM_DHCP::FormCloseQuery() { return !(m_busy && DeviceFacts::deviceAnswers()); }

void TFM_DHCP::showWaiting(const KtWaitingOptions &options) { KtWaiting::Show(this, options); }
