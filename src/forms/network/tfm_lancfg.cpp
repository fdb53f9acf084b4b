#include "tfm_lancfg.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"
#include "networkchecks.h"
#include "tmainform.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>
#include <vector>

TFM_LanCfg *FM_LanCfg = nullptr;

namespace {

// ---- Device variables ----

const QString kLan = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2");
const QString kSysRestart = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.1");
const QString kDynamicPool = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.2");

const KtOptionList &getIPFromOptions()
{
    static const KtOption table[] = {
        {1, nullptr, "Static (Manual)"}, {2, nullptr, "Dynamic (DHCP)"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &restartOptions()
{
    static const KtOption table[] = {
        {0, nullptr, "nothing"}, {1, nullptr, "reboot"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

enum LanItem { hGetIPFrom, hIPAddress, hSubnetMask, hDefaultGateway, sysRestart };

std::vector<KtSNMPVarItem> lanTable()
{
    return {makeVarItem(kLan + QStringLiteral(".1"), QStringLiteral("hGetIPFrom"), SYN_INTEGER,
                        ACC_READWRITE, &getIPFromOptions()),
            makeVarItem(kLan + QStringLiteral(".2"), QStringLiteral("hIPAddress"),
                        SYN_IPADDRESS, ACC_READWRITE),
            makeVarItem(kLan + QStringLiteral(".3"), QStringLiteral("hSubnetMask"),
                        SYN_IPADDRESS, ACC_READWRITE),
            makeVarItem(kLan + QStringLiteral(".4"), QStringLiteral("hDefaultGateway"),
                        SYN_IPADDRESS, ACC_READWRITE),
            makeVarItem(kSysRestart, QStringLiteral("sysRestart"), SYN_INTEGER, ACC_READWRITE,
                        &restartOptions()),
            {}};
}

enum PoolItem { DynamicIPStart, DynamicRange };

// The DHCP window writes the pool; here it is only read.
std::vector<KtSNMPVarItem> poolTable()
{
    return {makeVarItem(kDynamicPool + QStringLiteral(".1"), QStringLiteral("Dynamic IP Start"),
                        SYN_IPADDRESS, ACC_READONLY),
            makeVarItem(kDynamicPool + QStringLiteral(".2"), QStringLiteral("Dynamic Range"),
                        SYN_INTEGER, ACC_READONLY),
            {}};
}

// 100 s in the engine's hundredths: the static pool is a walk of many slots.
constexpr int kStaticPoolTimeout = 10000;
constexpr int kAddressLength = 15;

// ---- Texts ----

const QString kCaption = QStringLiteral("Home \\ LAN");
const QString kBadAddress = QStringLiteral("Please input valid IP Address.");
const QString kBadMask = QStringLiteral("Please input valid Subnet Mask.");
const QString kBadGateway = QStringLiteral("Please input valid Gateway.");
const QString kInDynamicPool =
    QStringLiteral("Reject: The IP conflicts with Dynamic DHCP Server IP");
const QString kInUse = QStringLiteral("Reject: The IP already has been used.");
const QString kInStaticPool = QStringLiteral("Reject: The IP conflicts with Static DHCP Server IP");
const QString kDhcpQuestion = QStringLiteral("Device will reboot,continue?");
const QString kPleaseWait = QStringLiteral("Please wait...");
const QString kJudging = QStringLiteral("Judge the IP whether can be used.");
const QString kRestarting = QStringLiteral("The device is restarting.");
const QString kSystemIPWillBe = QStringLiteral("The system IP will be ");

// The waiting window after a static address was written; countdown 5 when the device keeps
// its mode, the full default (with its restart text) when it leaves DHCP.
constexpr int kStaticCountdown = 5;
constexpr int kJudgeCountdown = 12;

} // namespace

TFM_LanCfg::TFM_LanCfg(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_LanCfg"));
    setWindowTitle(kCaption);
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_LanCfg::~TFM_LanCfg() = default;

void TFM_LanCfg::buildWindow()
{
    const auto edit = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    const auto label = [this](const char *name, const char *text) {
        auto *l = new QLabel(QString::fromLatin1(text), this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };

    CB_IPFrom = new QComboBox(this);
    CB_IPFrom->setObjectName(QStringLiteral("CB_IPFrom"));
    La_IpAddr = label("La_IpAddr", "IP Address:");
    ED_IpAddr = edit("ED_IpAddr");
    La_SubMask = label("La_SubMask", "Subnet Mask:");
    ED_SubMask = edit("ED_SubMask");
    La_DefGw = label("La_DefGw", "Default Gateway:");
    ED_DefGw = edit("ED_DefGw");
    for (QLineEdit *e : {ED_IpAddr, ED_SubMask, ED_DefGw}) {
        // "255.255.255.255" fits whole.
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.2550")));
    }

    m_settings = new QGroupBox(QStringLiteral("LAN Settings"), this);
    auto *grid = new QGridLayout(m_settings);
    grid->addWidget(label("La_IPFrom", "Get IP From:"), 0, 0);
    grid->addWidget(CB_IPFrom, 0, 1);
    grid->addWidget(La_IpAddr, 1, 0);
    grid->addWidget(ED_IpAddr, 1, 1);
    grid->addWidget(La_SubMask, 2, 0);
    grid->addWidget(ED_SubMask, 2, 1);
    grid->addWidget(La_DefGw, 3, 0);
    grid->addWidget(ED_DefGw, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    // Raw device values behind the panel.
    ED_Restart = new QComboBox(this);
    ED_Restart->setObjectName(QStringLiteral("ED_Restart"));
    ED_Restart->hide();
    Ed_IPAF = edit("Ed_IPAF");
    Ed_IPAF->hide();
    Ed_PoolRan = edit("Ed_PoolRan");
    Ed_PoolRan->hide();
    LV_StaticPool = new QTreeWidget(this);
    LV_StaticPool->setObjectName(QStringLiteral("LV_StaticPool"));
    LV_StaticPool->hide();

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Apply->setDefault(true);
    Bt_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Bt_Cancel->setObjectName(QStringLiteral("Bt_Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Cancel);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_settings);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);
    // Room for a whole status line.
    StatusBar->setMinimumWidth(420);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_LanCfg::Bt_ApplyClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TFM_LanCfg::reject);
    connect(CB_IPFrom, &QComboBox::currentIndexChanged, this, &TFM_LanCfg::CB_IPFromChange);
}

void TFM_LanCfg::FormCreate()
{
    m_lanRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, lanTable().data(), SVT_SV));
    m_lanRequest->mode = KtSNMPRequest2Controls::Synchronous;
    m_lanRequest->BindComboBox(hGetIPFrom, CB_IPFrom);
    const QString addressFormat = QStringLiteral("%s{l%1}").arg(kAddressLength);
    m_lanRequest->BindEdit(hIPAddress, addressFormat, ED_IpAddr);
    m_lanRequest->BindEdit(hSubnetMask, addressFormat, ED_SubMask);
    m_lanRequest->BindEdit(hDefaultGateway, addressFormat, ED_DefGw);
    m_lanRequest->BindComboBox(sysRestart, ED_Restart);
    m_lanRequest->SetStatusControl(StatusBar);
    // Keep the text of a failed write for the status bar's "Set Error!".
    const auto report = m_lanRequest->request.statusCallback;
    m_lanRequest->request.statusCallback = [this, report](const KtSNMPError &status) {
        if (status.code != 0)
            m_lastSetError = status.text;
        if (report)
            report(status);
    };

    m_poolRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, poolTable().data(), SVT_SV));
    m_poolRequest->mode = KtSNMPRequest2Controls::Synchronous;
    m_poolRequest->BindEdit(DynamicIPStart, QStringLiteral("%s"), Ed_IPAF);
    m_poolRequest->BindEdit(DynamicRange, QStringLiteral("%u"), Ed_PoolRan);

    m_staticPoolRequest = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(
        this, NetworkChecks::StaticPoolTable().data(), MVT_FMV, 1));
    m_staticPoolRequest->mode = KtSNMPRequest2Controls::Synchronous;
    m_staticPoolRequest->request.timeout = kStaticPoolTimeout;
    m_staticPoolRequest->BindListView(LV_StaticPool);

    // The status bar shows the LAN read; the two other reads add their errors only, so that
    // an error is not covered by a later success line.
    for (KtSNMPRequest2Edits *quiet : {m_poolRequest, m_staticPoolRequest}) {
        quiet->SetStatusControl(StatusBar);
        quiet->request.statusCallback = [quiet](const KtSNMPError &status) {
            if (status.code != 0)
                quiet->ReportGetResult(status);
        };
    }

    for (KtSNMPRequest2Edits *request : {m_lanRequest, m_poolRequest, m_staticPoolRequest}) {
        try {
            if (request->Get() && request == m_lanRequest)
                rememberDeviceFacts();
        } catch (const KtException &e) {
            showStatusText(e.text());
        }
    }
    applyModeRules();
}

void TFM_LanCfg::rememberDeviceFacts()
{
    m_addressAtOpening = ED_IpAddr->text();
    m_modeAtOpening = CB_IPFrom->currentIndex() == DynamicDHCP ? DynamicDHCP : StaticManual;
}

// ---- Rules ----

void TFM_LanCfg::CB_IPFromChange() { applyModeRules(); }

void TFM_LanCfg::applyModeRules()
{
    const bool addressed = CB_IPFrom->currentIndex() != DynamicDHCP;
    const QList<QWidget *> addressFields{La_IpAddr,  ED_IpAddr, La_SubMask,
                                         ED_SubMask, La_DefGw,  ED_DefGw};
    for (QWidget *field : addressFields)
        field->setVisible(addressed);
}

std::optional<TPageWindow::Refusal> TFM_LanCfg::checkAddressFields() const
{
    if (!TMainForm::IsValidIPAddress(ED_IpAddr->text()))
        return Refusal{kBadAddress, ED_IpAddr, Refusal::ClearText};
    if (!TMainForm::IsValidMask(ED_SubMask->text()))
        return Refusal{kBadMask, ED_SubMask, Refusal::ClearText};
    if (!TMainForm::IsValidIPAddress(ED_DefGw->text()))
        return Refusal{kBadGateway, ED_DefGw, Refusal::ClearText};
    return std::nullopt;
}

bool TFM_LanCfg::inDynamicPool() const
{
    // Whether or not the DHCP server is on: it may be switched on later.
    return NetworkChecks::InDynamicPool(ED_IpAddr->text(), Ed_IPAF->text(), Ed_PoolRan->text());
}

bool TFM_LanCfg::addressChanged() const
{
    return !NetworkChecks::SameAddress(ED_IpAddr->text(), m_addressAtOpening);
}

// ---- Apply ----

void TFM_LanCfg::Bt_ApplyClick()
{
    if (m_busy || !m_lanRequest)
        return;
    try {
        if (CB_IPFrom->currentIndex() == DynamicDHCP)
            ApplyDynamic();
        else
            ApplyStatic();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TFM_LanCfg::ApplyStatic()
{
    if (refuse(checkAddressFields(), warningCaption()))
        return;
    // A pool the opening could not read is read now: unread, it would let any address pass.
    if (Ed_IPAF->text().isEmpty() && !read(m_poolRequest))
        return;
    if (inDynamicPool()) {
        warn(kInDynamicPool);
        read(m_lanRequest);
        return;
    }
    if (addressChanged()) {
        if (!passesPingTest())
            return;
        // A static pool that cannot be read cannot clear the address: Apply ends with the
        // read's error in the status bar.
        if (!read(m_staticPoolRequest))
            return;
        if (inStaticPool()) {
            warn(kInStaticPool);
            read(m_lanRequest);
            return;
        }
    }
    const IPFrom modeBefore = m_modeAtOpening;
    // Leaving DHCP: the device restarts with the address written in the same set.
    if (modeBefore == DynamicDHCP)
        ED_Restart->setCurrentIndex(restartOptions().IndexOfLabel(QStringLiteral("reboot")));
    const QString address = ED_IpAddr->text();
    if (!writeLan(true))
        return;

    KtWaitingOptions waiting;
    waiting.label3 = kSystemIPWillBe + address;
    if (modeBefore == DynamicDHCP)
        waiting.label2 = kRestarting;
    else
        waiting.countdown = kStaticCountdown;
    showWaiting(waiting);
}

void TFM_LanCfg::ApplyDynamic()
{
    if (!KtDialogs::message(this, kDhcpQuestion, warningCaption(), KtDialogs::Buttons::OkCancel))
        return;
    if (!writeLan(false))
        return;
    showWaiting(KtWaitingOptions());
}

bool TFM_LanCfg::passesPingTest()
{
    setBusy(true);
    const NetworkChecks::PingVerdict verdict =
        NetworkChecks::PingBeforeGivingOut(*this, ED_IpAddr->text());
    setBusy(false);

    switch (verdict) {
    case NetworkChecks::PingVerdict::Free:
    case NetworkChecks::PingVerdict::Untested:
        return true;
    case NetworkChecks::PingVerdict::InUse:
        warn(kInUse);
        read(m_lanRequest);
        ED_IpAddr->setFocus();
        return false;
    case NetworkChecks::PingVerdict::Declined:
        return false;
    }
    return false;
}

bool TFM_LanCfg::inStaticPool()
{
    KtWaitingOptions waiting;
    waiting.sendRestartCommand = false;
    waiting.countdown = kJudgeCountdown;
    waiting.label2 = kPleaseWait;
    waiting.label3 = kJudging;
    showWaiting(waiting);
    return NetworkChecks::StaticPoolHolds(*m_staticPoolRequest, ED_IpAddr->text());
}

bool TFM_LanCfg::writeLan(bool withAddresses)
{
    // DHCP: only the mode and the restart command go out.
    const int access = withAddresses ? ACC_READWRITE : ACC_INVALID;
    KtSNMPVarList &items = m_lanRequest->list();
    for (int i : {hIPAddress, hSubnetMask, hDefaultGateway})
        items.Item(i).access = access;
    m_lastSetError.clear();
    const bool written = writeInOrder({m_lanRequest});
    // Every later read fills all fields again.
    for (int i : {hIPAddress, hSubnetMask, hDefaultGateway})
        items.Item(i).access = ACC_READWRITE;

    if (!written) {
        // With the reason (the device's answer, or what kept the write from going out): an
        // administrator needs more than "it failed".
        if (withAddresses) {
            const QString reason =
                m_lastSetError.isEmpty() ? StatusBar->currentMessage() : m_lastSetError;
            showStatusText(ApplyTexts::setError() + QLatin1Char(' ') + reason);
        }
        return false;
    }
    showStatusText(ApplyTexts::setSuccess());
    // The device now holds what was written; a second Apply compares with it.
    rememberDeviceFacts();
    ED_Restart->setCurrentIndex(restartOptions().IndexOfLabel(QStringLiteral("nothing")));
    return true;
}

bool TFM_LanCfg::read(KtSNMPRequest2Edits *request)
{
    WorkingScope reading(this, Operation::Reading);
    return request->Get();
}

void TFM_LanCfg::warn(const QString &text) { KtDialogs::message(this, text, warningCaption()); }

void TFM_LanCfg::setBusy(bool busy)
{
    m_busy = busy;
    m_settings->setEnabled(!busy);
    Bt_Apply->setEnabled(!busy);
    Bt_Cancel->setEnabled(!busy);
}

void TFM_LanCfg::showWaiting(const KtWaitingOptions &options) { KtWaiting::Show(this, options); }
