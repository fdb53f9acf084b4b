#include "tfm_staticip.h"

#include "ktsnmprequest2edits.h"
#include "macaddresses.h"
#include "tfm_dhcp.h"
#include "tmainform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

TFM_StaticIP *FM_StaticIP = nullptr;

using NetworkChecks::Rejection;

namespace {

constexpr int kMacLength = 12;

// ---- Texts ----

const QString kCaption = QStringLiteral("Static Pool Settings");
const QString kAddingTitle = QStringLiteral("Static IP Pool Adding");
const QString kSettingTitle = QStringLiteral("Static IP Pool Setting");
const QString kAddressExists = QStringLiteral("Reject: The IP has already existed. ");
const QString kBadMask = QStringLiteral("Please input valid SubMask.");
const QString kBadGateway = QStringLiteral("Please input valid Gateway.");
const QString kBadWins = QStringLiteral("Please input valid Wins.");
const QString kBadDns = QStringLiteral("Please input valid DNS.");
const QString kBadAddress = QStringLiteral("Please input valid IP address");
const QString kInUse = QStringLiteral("Reject: The IP already has been used.");
const QString kBadMac = QStringLiteral("Please input valid MAC.");
const QString kInDynamicPool =
    QStringLiteral("Reject: The IP has already existed in IP Dynamic pool.");
const QString kSystemAddress = QStringLiteral("Reject: The IP is the system IP.");
const QString kMacChanged =
    QStringLiteral("Reject: DHCPS static IP already exists in static DHCP server!");

bool noAddress(const QString &text) { return text.isEmpty() || text == NetworkChecks::kFreeSlotIP; }

} // namespace

// ---- StaticEntry ----

StaticEntry StaticEntry::freeSlot()
{
    const QString none = NetworkChecks::kFreeSlotIP;
    return {none,      NetworkChecks::kFreeSlotMAC, none, none, none, none,
            QString(), TFM_StaticIP::StatusOff};
}

bool StaticEntry::operator==(const StaticEntry &o) const
{
    return ip == o.ip && mac == o.mac && mask == o.mask && gateway == o.gateway && dns == o.dns
           && wins == o.wins && domain == o.domain && status == o.status;
}

// ---- The editor ----

TFM_StaticIP::TFM_StaticIP(TFM_DHCP *dhcp) : TPageWindow(dhcp), m_dhcp(dhcp)
{
    setObjectName(QStringLiteral("FM_StaticIP"));
    setWindowTitle(kCaption);
    buildWindow();
    setStatusBar(StatusBar);
}

TFM_StaticIP::~TFM_StaticIP() = default;

void TFM_StaticIP::buildWindow()
{
    const auto edit = [this](const char *name, const char *widest) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)) + 16);
        return e;
    };
    LA_Index = new QLabel(this);
    LA_Index->setObjectName(QStringLiteral("LA_Index"));
    LA_Index->hide();
    Ed_AsgIP = edit("Ed_AsgIP", "255.255.255.255");
    Ed_AsgMac = edit("Ed_AsgMac", "DDDDDDDDDDDD");
    Ed_SubMask = edit("Ed_SubMask", "255.255.255.255");
    Ed_Gatway = edit("Ed_Gatway", "255.255.255.255");
    Ed_DNS = edit("Ed_DNS", "255.255.255.255");
    Ed_Wins = edit("Ed_Wins", "255.255.255.255");
    Ed_DomNa = edit("Ed_DomNa", "255.255.255.255");
    CB_Stat = new QComboBox(this);
    CB_Stat->setObjectName(QStringLiteral("CB_Stat"));

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Assigned IP:"), Ed_AsgIP);
    fields->addRow(QStringLiteral("Assigned MAC:"), Ed_AsgMac);
    fields->addRow(QStringLiteral("SubMask:"), Ed_SubMask);
    fields->addRow(QStringLiteral("Gateway:"), Ed_Gatway);
    fields->addRow(QStringLiteral("DNS:"), Ed_DNS);
    fields->addRow(QStringLiteral("Wins:"), Ed_Wins);
    fields->addRow(QStringLiteral("Domain Name:"), Ed_DomNa);
    fields->addRow(QStringLiteral("Status:"), CB_Stat);

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Apply->setDefault(true);
    Bt_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Bt_Cancel->setObjectName(QStringLiteral("Bt_Cancel"));
    Bt_Cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Cancel);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(LA_Index);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_StaticIP::Bt_ApplyClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TFM_StaticIP::reject);
}

void TFM_StaticIP::showEvent(QShowEvent *event)
{
    TPageWindow::showEvent(event);
    StatusBar->clearMessage();
    Ed_AsgIP->setFocus(Qt::OtherFocusReason);
    Ed_AsgIP->selectAll();
}

void TFM_StaticIP::prepareAdding()
{
    setWindowTitle(kAddingTitle);
    m_adding = true;
    m_old = StaticEntry();
}

void TFM_StaticIP::prepareSetting()
{
    setWindowTitle(kSettingTitle);
    m_adding = false;
    m_old = entry();
}

StaticEntry TFM_StaticIP::entry() const
{
    return {Ed_AsgIP->text(), Ed_AsgMac->text(), Ed_SubMask->text(), Ed_Gatway->text(),
            Ed_DNS->text(),   Ed_Wins->text(),   Ed_DomNa->text(),   CB_Stat->currentIndex()};
}

void TFM_StaticIP::setEntry(const StaticEntry &e)
{
    Ed_AsgIP->setText(e.ip);
    Ed_AsgMac->setText(e.mac);
    Ed_SubMask->setText(e.mask);
    Ed_Gatway->setText(e.gateway);
    Ed_DNS->setText(e.dns);
    Ed_Wins->setText(e.wins);
    Ed_DomNa->setText(e.domain);
    CB_Stat->setCurrentIndex(e.status);
}

// ---- Rules ----

std::optional<Rejection> TFM_StaticIP::checkUniqueAddress() const
{
    const QString address = Ed_AsgIP->text();
    const KtSNMPRequest2Edits *slots = m_dhcp->slotRequest();
    const QTreeWidget *view = slots ? slots->listView.data() : nullptr;
    if (!view || address == NetworkChecks::kFreeSlotIP)
        return std::nullopt;
    // Every slot but the one being edited; compared as addresses ("192.168.0.020"
    // is .20).
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = view->topLevelItem(i);
        if (slots->RowValue(row, NetworkChecks::SP_Index) == LA_Index->text())
            continue;
        if (NetworkChecks::SameAddress(slots->RowValue(row, NetworkChecks::SP_IP), address))
            return Rejection{{kAddressExists, Ed_AsgIP, Refusal::SelectText}, warningCaption()};
    }
    return std::nullopt;
}

std::optional<Rejection> TFM_StaticIP::checkOptions() const
{
    const auto field = [](QLineEdit *edit, bool (*valid)(const QString &),
                          const QString &text) -> std::optional<Rejection> {
        if (noAddress(edit->text()) || valid(edit->text()))
            return std::nullopt;
        return Rejection{{text, edit, Refusal::ClearText}, NetworkChecks::kWaringCaption};
    };
    for (const auto &check : {field(Ed_SubMask, &TMainForm::IsValidMask, kBadMask),
                              field(Ed_Gatway, &TMainForm::IsValidIPAddress, kBadGateway),
                              field(Ed_Wins, &TMainForm::IsValidIPAddress, kBadWins),
                              field(Ed_DNS, &TMainForm::IsValidIPAddress, kBadDns)}) {
        if (check)
            return check;
    }
    return std::nullopt;
}

std::optional<Rejection> TFM_StaticIP::checkAddress() const
{
    if (TMainForm::IsValidIPAddress(Ed_AsgIP->text()))
        return std::nullopt;
    return Rejection{{kBadAddress, Ed_AsgIP, Refusal::SelectText}, NetworkChecks::kWaringCaption};
}

std::optional<Rejection> TFM_StaticIP::checkMac() const
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    const QString mac = Ed_AsgMac->text();
    if (mac.size() >= kMacLength && hex.match(mac).hasMatch() && mac != NetworkChecks::kFreeSlotMAC)
        return std::nullopt;
    return Rejection{{kBadMac, Ed_AsgMac, Refusal::SelectText}, warningCaption()};
}

std::optional<Rejection> TFM_StaticIP::checkOutsideDynamicPool() const
{
    if (!NetworkChecks::InDynamicPool(Ed_AsgIP->text(), m_dhcp->poolStart(), m_dhcp->poolRange()))
        return std::nullopt;
    return Rejection{{kInDynamicPool, Ed_AsgIP, Refusal::SelectText}, warningCaption()};
}

std::optional<Rejection> TFM_StaticIP::checkNotSystemAddress() const
{
    if (!NetworkChecks::SameAddress(Ed_AsgIP->text(), m_dhcp->systemAddress()))
        return std::nullopt;
    return Rejection{{kSystemAddress, Ed_AsgIP, Refusal::SelectText}, warningCaption()};
}

std::optional<Rejection> TFM_StaticIP::checkSettingKeepsMac() const
{
    if (m_adding || !NetworkChecks::SameAddress(Ed_AsgIP->text(), m_old.ip)
        || MacAddresses::SameMac(Ed_AsgMac->text(), m_old.mac))
        return std::nullopt;
    return Rejection{{kMacChanged, Ed_AsgMac, Refusal::Focus}, warningCaption()};
}

bool TFM_StaticIP::needsPingTest() const
{
    return m_adding || !NetworkChecks::SameAddress(Ed_AsgIP->text(), m_old.ip);
}

// ---- Apply ----

void TFM_StaticIP::Bt_ApplyClick()
{
    if (m_busy)
        return;
    if (NetworkChecks::Reject(*this, checkUniqueAddress())
        || NetworkChecks::Reject(*this, checkOptions())
        || NetworkChecks::Reject(*this, checkAddress()))
        return;
    if (needsPingTest() && !passesPingTest())
        return;
    if (NetworkChecks::Reject(*this, checkMac())
        || NetworkChecks::Reject(*this, checkOutsideDynamicPool())
        || NetworkChecks::Reject(*this, checkNotSystemAddress()))
        return;
    if (const std::optional<Rejection> changed = checkSettingKeepsMac()) {
        setEntry(m_old);
        NetworkChecks::Reject(*this, changed);
        return;
    }
    setBusy(true);
    const bool written = m_dhcp->writeStaticEntry();
    setBusy(false);
    if (written)
        accept();
}

bool TFM_StaticIP::passesPingTest()
{
    setBusy(true);
    const NetworkChecks::PingVerdict verdict =
        NetworkChecks::PingBeforeGivingOut(*this, Ed_AsgIP->text());
    setBusy(false);
    switch (verdict) {
    case NetworkChecks::PingVerdict::Free:
    case NetworkChecks::PingVerdict::Untested:
        return true;
    case NetworkChecks::PingVerdict::InUse:
        refuse(Refusal{kInUse, Ed_AsgIP, Refusal::SelectText}, warningCaption());
        return false;
    case NetworkChecks::PingVerdict::Declined:
        return false;
    }
    return false;
}

void TFM_StaticIP::setBusy(bool busy)
{
    m_busy = busy;
    Bt_Apply->setEnabled(!busy);
    Bt_Cancel->setEnabled(!busy);
}
