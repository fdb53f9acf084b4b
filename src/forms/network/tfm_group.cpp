#include "tfm_group.h"

#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"
#include "unreadboxes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>


TFM_Group *FM_Group = nullptr;

namespace {

// ---- Items ----
const KtOption SwitchOptions[] = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {}};

const KtOptionList &switchOptions()
{
    static const KtOptionList list(SwitchOptions, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem groupingItem(const char *suffix, const char *name, int syntax, int access,
                           const KtOptionList *options = nullptr)
{
    return makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.6.") + QLatin1String(suffix),
                       QString::fromLatin1(name), syntax, access, options);
}

enum Item { LoadBalanceItem = 0, UserLimitItem, LinkIntegrateItem, EthernetLinkStatusItem };

constexpr int kMaxUserLimit = 64;

} // namespace

TFM_Group::TFM_Group(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Group"));
    setWindowTitle(QStringLiteral("Advanced \\ Grouping"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Group::~TFM_Group() = default;

QString TFM_Group::userLimitMessage()
{
    return QStringLiteral("Please input a number between 0 and 64.");
}

void TFM_Group::buildWindow()
{
    CB_LoadB = new QComboBox(this);
    CB_LoadB->setObjectName(QStringLiteral("CB_LoadB"));
    Ed_UsrL = new QLineEdit(this);
    Ed_UsrL->setObjectName(QStringLiteral("Ed_UsrL"));
    Ed_UsrL->setMaximumWidth(Ed_UsrL->fontMetrics().horizontalAdvance(QStringLiteral("0000"))
                             + 16);
    // The link-integrity row is not shown: the buttons sit right under the user limit.
    La_LinkInt = new QLabel(QStringLiteral("Link Integrate"), this);
    La_LinkInt->setObjectName(QStringLiteral("La_LinkInt"));
    La_LinkInt->hide();
    CB_LinkInt = new QComboBox(this);
    CB_LinkInt->setObjectName(QStringLiteral("CB_LinkInt"));
    CB_LinkInt->hide();
    Ed_EthLink = new QLineEdit(this);
    Ed_EthLink->setObjectName(QStringLiteral("Ed_EthLink"));
    Ed_EthLink->setReadOnly(true);
    Ed_EthLink->hide();

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Apply->setAutoDefault(false);
    Bt_Refresh = new QPushButton(QStringLiteral("Refresh"), this);
    Bt_Refresh->setObjectName(QStringLiteral("Bt_Refresh"));
    Bt_Refresh->setAutoDefault(false);
    Bt_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Bt_Cancel->setObjectName(QStringLiteral("Bt_Cancel"));
    Bt_Cancel->setAutoDefault(false);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Load Balance"), CB_LoadB);
    form->addRow(QStringLiteral("User Limit (0-64)"), Ed_UsrL);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Refresh);
    buttons->addWidget(Bt_Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);
    leaveRoomForStatusLine(StatusBar);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_Group::Bt_ApplyClick);
    connect(Bt_Refresh, &QPushButton::clicked, this, &TFM_Group::Bt_RefreshClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TFM_Group::Bt_CancelClick);
    connect(CB_LoadB, &QComboBox::currentIndexChanged, this,
            [this](int) { applyLoadBalanceRule(); });
}

void TFM_Group::FormCreate()
{
    const KtSNMPVarItem items[] = {
        groupingItem("1", "LoadBalance", SYN_INTEGER, ACC_READWRITE, &switchOptions()),
        groupingItem("2", "UserLimit(0-64)", SYN_INTEGER, ACC_READWRITE),
        groupingItem("4", "LinkIntegrate", SYN_INTEGER, ACC_READWRITE, &switchOptions()),
        groupingItem("5", "EthernetLinkStatus", SYN_DISPLAYSTR, ACC_READONLY),
        {}};
    try {
        m_request = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, items, SVT_SV));
        m_request->mode = KtSNMPRequest2Controls::Synchronous;
        m_request->BindComboBox(LoadBalanceItem, CB_LoadB);
        m_request->BindEdit(UserLimitItem, QStringLiteral("%u{l2}"), Ed_UsrL);
        m_request->BindComboBox(LinkIntegrateItem, CB_LinkInt);
        m_request->BindEdit(EthernetLinkStatusItem, QStringLiteral("%s"), Ed_EthLink);
        // The boxes show nothing until the device has told its values.
        CB_LoadB->setCurrentIndex(-1);
        CB_LinkInt->setCurrentIndex(-1);
        m_request->SetStatusControl(StatusBar);
    } catch (const KtException &e) {
        showStatusText(e.text());
        return;
    }
    readDevice();
}

void TFM_Group::readDevice()
{
    if (!m_request)
        return;
    try {
        const WorkingScope working(this, Operation::Reading);
        m_request->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    applyLoadBalanceRule();
}

void TFM_Group::applyLoadBalanceRule()
{
    const bool editable = CB_LoadB->currentIndex() == Enable;
    Ed_UsrL->setReadOnly(!editable);
    QPalette palette = Ed_UsrL->palette();
    palette.setColor(QPalette::Base, QWidget::palette().color(editable ? QPalette::Base
                                                                       : QPalette::Button));
    Ed_UsrL->setPalette(palette);
}

std::optional<TPageWindow::Refusal> TFM_Group::checkUserLimit() const
{
    // A text that is no number at all gets the same message: the field takes only digits, so
    // only a value the device sent can be one.
    bool number = false;
    const int limit = Ed_UsrL->text().toInt(&number);
    if (number && limit >= 0 && limit <= kMaxUserLimit)
        return std::nullopt;
    return Refusal{userLimitMessage(), Ed_UsrL, Refusal::ClearText};
}

void TFM_Group::Bt_ApplyClick()
{
    if (!m_request || refuse(checkUserLimit(), errorCaption()))
        return;
    bool written = false;
    {
        const UnreadBoxesLeftOut unread(*m_request, {{LoadBalanceItem, CB_LoadB},
                                                     {LinkIntegrateItem, CB_LinkInt}});
        written = writeInOrder({m_request});
    }
    if (!written) {
        showStatusText(ApplyTexts::settingErrorCapital());
        return;
    }
    KtWaitingOptions options;
    options.commandDelay = 5;
    KtWaiting::Show(this, options);
}

void TFM_Group::Bt_RefreshClick() { readDevice(); }

void TFM_Group::Bt_CancelClick() { close(); }
