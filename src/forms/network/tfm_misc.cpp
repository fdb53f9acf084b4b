#include "tfm_misc.h"

#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"
#include "unreadboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

TFM_Misc *FM_Misc = nullptr;

namespace {

// ---- Items ----
const KtOption SwitchOptions[] = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {}};
const KtOption TimeoutOptions[] = {{0, nullptr, "Never"},   {1, nullptr, "1 Min"},
                                   {2, nullptr, "3 Mins"},  {3, nullptr, "5 Mins"},
                                   {4, nullptr, "10 Mins"}, {5, nullptr, "15 Mins"},
                                   {}};

const KtOptionList &switchOptions()
{
    static const KtOptionList list(SwitchOptions, KtOptionList::Numeric);
    return list;
}

const KtOptionList &timeoutOptions()
{
    static const KtOptionList list(TimeoutOptions, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem consoleItem(const char *suffix, const char *name, const KtOptionList &options)
{
    return makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.4.") + QLatin1String(suffix),
                       QString::fromLatin1(name), SYN_INTEGER, ACC_READWRITE, &options);
}

enum Item { TelnetItem = 0, TimeoutItem = 1, SshItem = 2 };

} // namespace

TFM_Misc::TFM_Misc(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Misc"));
    setWindowTitle(QStringLiteral("Tools \\ Misc."));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Misc::~TFM_Misc() = default;

void TFM_Misc::buildWindow()
{
    GroupBox1 = new QGroupBox(QStringLiteral(" Console Settings  "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    CB_Status = new QCheckBox(QStringLiteral("Enabled "), GroupBox1);
    CB_Status->setObjectName(QStringLiteral("CB_Status"));
    CB_Timeout = new QComboBox(GroupBox1);
    CB_Timeout->setObjectName(QStringLiteral("CB_Timeout"));
    CB_Telnet = new QRadioButton(QStringLiteral("Telnet"), GroupBox1);
    CB_Telnet->setObjectName(QStringLiteral("CB_Telnet"));
    CB_SSH = new QRadioButton(QStringLiteral("SSH"), GroupBox1);
    CB_SSH->setObjectName(QStringLiteral("CB_SSH"));
    TelnetCoBox = new QComboBox(this);
    TelnetCoBox->setObjectName(QStringLiteral("TelnetCoBox"));
    TelnetCoBox->hide();
    SHHCoBox = new QComboBox(this);
    SHHCoBox->setObjectName(QStringLiteral("SHHCoBox"));
    SHHCoBox->hide();

    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(CB_Status, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Timeout"), GroupBox1), 1, 0);
    grid->addWidget(CB_Timeout, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Console Protocol"), GroupBox1), 2, 0);
    grid->addWidget(CB_Telnet, 2, 1);
    grid->addWidget(CB_SSH, 2, 2);

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Apply->setAutoDefault(false);
    Bt_Refresh = new QPushButton(QStringLiteral("Refresh"), this);
    Bt_Refresh->setObjectName(QStringLiteral("Bt_Refresh"));
    Bt_Refresh->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Refresh);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);
    leaveRoomForStatusLine(StatusBar);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_Misc::Bt_ApplyClick);
    connect(Bt_Refresh, &QPushButton::clicked, this, &TFM_Misc::Bt_RefreshClick);
    connect(CB_Status, &QCheckBox::clicked, this, &TFM_Misc::CB_StatusClick);
}

void TFM_Misc::FormCreate()
{
    const KtSNMPVarItem items[] = {consoleItem("1", "telnet", switchOptions()),
                                   consoleItem("2", "timeout", timeoutOptions()),
                                   consoleItem("3", "ssh", switchOptions()),
                                   {}};
    try {
        m_request = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, items, SVT_SV));
        m_request->mode = KtSNMPRequest2Controls::Synchronous;
        m_request->BindComboBox(TelnetItem, TelnetCoBox);
        m_request->BindComboBox(TimeoutItem, CB_Timeout);
        m_request->BindComboBox(SshItem, SHHCoBox);
        // The boxes show nothing until the device has told its values.
        TelnetCoBox->setCurrentIndex(-1);
        CB_Timeout->setCurrentIndex(-1);
        SHHCoBox->setCurrentIndex(-1);
        m_request->SetStatusControl(StatusBar);
    } catch (const KtException &e) {
        showStatusText(e.text());
        return;
    }
    readDevice();
}

void TFM_Misc::readDevice()
{
    if (!m_request)
        return;
    try {
        const WorkingScope working(this, Operation::Reading);
        m_request->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    applyStateRule();
    applyProtocolRule();
}

void TFM_Misc::applyStateRule()
{
    const bool running =
        TelnetCoBox->currentIndex() == Enable || SHHCoBox->currentIndex() == Enable;
    CB_Status->setChecked(running);
    enableConsoleChoices(running);
}

void TFM_Misc::applyProtocolRule()
{
    if (TelnetCoBox->currentIndex() != Enable && SHHCoBox->currentIndex() == Enable)
        CB_SSH->setChecked(true);
    else
        CB_Telnet->setChecked(true);
}

void TFM_Misc::enableConsoleChoices(bool enabled)
{
    CB_Timeout->setEnabled(enabled);
    CB_Telnet->setEnabled(enabled);
    CB_SSH->setEnabled(enabled);
}

void TFM_Misc::CB_StatusClick() { enableConsoleChoices(CB_Status->isChecked()); }

bool TFM_Misc::write()
{
    if (writeInOrder({m_request}))
        return true;
    showStatusText(ApplyTexts::settingErrorCapital());
    return false;
}

void TFM_Misc::Bt_ApplyClick()
{
    if (!m_request)
        return;
    bool written = false;
    {
        const UnreadBoxesLeftOut unread(*m_request, {{TimeoutItem, CB_Timeout}});
        // Both consoles go off first; with "Enabled " a second write turns the chosen one on.
        TelnetCoBox->setCurrentIndex(Disable);
        SHHCoBox->setCurrentIndex(Disable);
        written = write();
        if (written && CB_Status->isChecked()) {
            const bool ssh = CB_SSH->isChecked();
            TelnetCoBox->setCurrentIndex(ssh ? Disable : Enable);
            SHHCoBox->setCurrentIndex(ssh ? Enable : Disable);
            written = write();
        }
    }
    if (written)
        KtWaiting::Show(this);
}

void TFM_Misc::Bt_RefreshClick() { readDevice(); }
