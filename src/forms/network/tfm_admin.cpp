#include "tfm_admin.h"

#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "ktwaiting.h"
#include "unreadboxes.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TFM_Admin *FM_Admin = nullptr;

namespace {

// ---- Items ----
KtSNMPVarItem adminItem(const char *suffix, const char *name)
{
    return makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.1.") + QLatin1String(suffix),
                       QString::fromLatin1(name), SYN_DISPLAYSTR, ACC_READWRITE);
}
enum Item { UserNameItem = 0, PasswordItem = 1 };

// What the device takes, and what the fields let the administrator type.
constexpr int kMaxUserName = 40;
constexpr int kMaxPassword = 12;
constexpr int kTypingLimit = 12;

QLineEdit *passwordEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(QLineEdit::Password);
    KtTypingLimit::SetLimit(edit, kTypingLimit);
    return edit;
}

} // namespace

TFM_Admin::TFM_Admin(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Admin"));
    setWindowTitle(QStringLiteral("Tools \\ Admin"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Admin::~TFM_Admin() = default;

QString TFM_Admin::oldPasswordMessage()
{
    return QStringLiteral("Please input the current password correctly!");
}

QString TFM_Admin::userNameMessage()
{
    return QStringLiteral("Please limit user name to 40 characters!");
}

QString TFM_Admin::passwordMessage()
{
    return QStringLiteral("Please limit password to 12 characters!");
}

QString TFM_Admin::confirmationMessage()
{
    return QStringLiteral("Please input the confirm new password correctly!");
}

void TFM_Admin::buildWindow()
{
    Ed_Usr = new QLineEdit(this);
    Ed_Usr->setObjectName(QStringLiteral("Ed_Usr"));
    Ed_OldPwd = passwordEdit(this, "Ed_OldPwd");
    Ed_NewPwd = passwordEdit(this, "Ed_NewPwd");
    Ed_CfmPwd = passwordEdit(this, "Ed_CfmPwd");
    // Holds the device's password: never shown, and masked should it ever be.
    Ed_Pwd = new QLineEdit(this);
    Ed_Pwd->setObjectName(QStringLiteral("Ed_Pwd"));
    Ed_Pwd->setEchoMode(QLineEdit::Password);
    Ed_Pwd->hide();

    Bt_OK = new QPushButton(QStringLiteral("OK"), this);
    Bt_OK->setObjectName(QStringLiteral("Bt_OK"));
    Bt_OK->setAutoDefault(false);
    Bt_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Bt_Cancel->setObjectName(QStringLiteral("Bt_Cancel"));
    Bt_Cancel->setAutoDefault(false);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    leaveRoomForStatusLine(StatusBar);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("User Name"), Ed_Usr);
    form->addRow(QStringLiteral("Old Password"), Ed_OldPwd);
    form->addRow(QStringLiteral("New Password"), Ed_NewPwd);
    form->addRow(QStringLiteral("Confirm New Password"), Ed_CfmPwd);
    // A name of twelve characters fits whole.
    Ed_Usr->setMinimumWidth(Ed_Usr->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_OK);
    buttons->addWidget(Bt_Cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    connect(Bt_OK, &QPushButton::clicked, this, &TFM_Admin::Bt_OKClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TFM_Admin::Bt_CancelClick);
}

void TFM_Admin::FormCreate()
{
    try {
        const KtSNMPVarItem items[] = {adminItem("1", "UserName"), adminItem("2", "Password"),
                                       {}};
        m_request = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, items, SVT_SV));
        m_request->mode = KtSNMPRequest2Controls::Synchronous;
        m_request->BindEdit(UserNameItem, QStringLiteral("%s"), Ed_Usr);
        m_request->BindEdit(PasswordItem, QStringLiteral("%s"), Ed_Pwd);
        // Typing stops at twelve characters; a longer name the device holds is shown whole.
        KtTypingLimit::SetLimit(Ed_Usr, kTypingLimit);
        m_request->SetStatusControl(StatusBar);
        m_passwordRead = m_request->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

std::optional<TPageWindow::Refusal> TFM_Admin::checkOldPassword() const
{
    if (m_passwordRead && Ed_OldPwd->text() == Ed_Pwd->text())
        return std::nullopt;
    return Refusal{oldPasswordMessage(), Ed_OldPwd, Refusal::SelectText};
}

std::optional<TPageWindow::Refusal> TFM_Admin::checkUserName() const
{
    if (Ed_Usr->text().size() <= kMaxUserName)
        return std::nullopt;
    return Refusal{userNameMessage(), Ed_Usr, Refusal::ClearText};
}

std::optional<TPageWindow::Refusal> TFM_Admin::checkNewPassword() const
{
    if (Ed_NewPwd->text().size() <= kMaxPassword)
        return std::nullopt;
    return Refusal{passwordMessage(), Ed_NewPwd, Refusal::ClearText};
}

std::optional<TPageWindow::Refusal> TFM_Admin::checkConfirmation() const
{
    if (Ed_CfmPwd->text() == Ed_NewPwd->text())
        return std::nullopt;
    return Refusal{confirmationMessage(), Ed_CfmPwd, Refusal::SelectText};
}

QString TFM_Admin::passwordToWrite() const
{
    // Both fields empty means "no new password", not "no password": an administrator who only
    // renames the user must not silently remove the device's password.
    if (Ed_NewPwd->text().isEmpty() && Ed_CfmPwd->text().isEmpty())
        return Ed_Pwd->text();
    return Ed_NewPwd->text();
}

void TFM_Admin::Bt_OKClick()
{
    const QString caption = warningCaption();
    if (refuse(checkOldPassword(), caption) || refuse(checkUserName(), caption)
        || refuse(checkNewPassword(), caption) || refuse(checkConfirmation(), caption))
        return;
    if (!m_request)
        return;
    const QString held = Ed_Pwd->text();
    Ed_Pwd->setText(passwordToWrite());
    if (!writeInOrder({m_request})) {
        // The device still holds its old password: the next try is checked against it.
        Ed_Pwd->setText(held);
        showStatusText(ApplyTexts::settingErrorCapital());
        return;
    }
    // Typed passwords do not stay in the window once the device has taken them.
    Ed_OldPwd->clear();
    Ed_NewPwd->clear();
    Ed_CfmPwd->clear();
    KtWaiting::Show(this);
}

void TFM_Admin::Bt_CancelClick() { close(); }
