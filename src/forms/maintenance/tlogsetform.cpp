#include "tlogsetform.h"

#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "ktwaiting.h"
#include "tmainform.h"
#include "unreadboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TLogSetForm *LogSetForm = nullptr;

TLogSetForm::TLogSetForm(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("LogSetForm"));
    setWindowTitle(QStringLiteral("Status \\ Log \\ Log Setting"));
    buildWindow();
    setStatusBar(StatusBar);
}

TLogSetForm::~TLogSetForm() = default;

QString TLogSetForm::invalidAddressMessage()
{
    return QStringLiteral("Please input valid IP Address.");
}

void TLogSetForm::buildWindow()
{
    const auto box = [](const char *name, const QString &caption, QWidget *parent) {
        auto *created = new QCheckBox(caption, parent);
        created->setObjectName(QString::fromLatin1(name));
        return created;
    };
    GroupBox1 = new QGroupBox(QStringLiteral("Log Type"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    SysLevCeBox = box("SysLevCeBox", QStringLiteral("System Activity"), GroupBox1);
    WirelessLevCeBox = box("WirelessLevCeBox", QStringLiteral("Wireless Activity"), GroupBox1);
    NoticeLevCeBox = box("NoticeLevCeBox", QStringLiteral("Notice "), GroupBox1);
    auto *levels = new QVBoxLayout(GroupBox1);
    levels->addWidget(SysLevCeBox);
    levels->addWidget(WirelessLevCeBox);
    levels->addWidget(NoticeLevCeBox);

    GroupBox2 = new QGroupBox(QStringLiteral("Remote Log"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    LogServerEdit = new QLineEdit(GroupBox2);
    LogServerEdit->setObjectName(QStringLiteral("LogServerEdit"));
    LogServerEdit->setMinimumWidth(140);
    auto *server = new QGridLayout(GroupBox2);
    server->addWidget(new QLabel(QStringLiteral("Log Server IP"), GroupBox2), 0, 0);
    server->addWidget(LogServerEdit, 0, 1);
    RemoteStateComBox = new QComboBox(this);
    RemoteStateComBox->setObjectName(QStringLiteral("RemoteStateComBox"));
    RemoteStateComBox->hide();

    Button2 = new QPushButton(QStringLiteral("Apply"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);
    leaveRoomForStatusLine(StatusBar);

    connect(Button2, &QPushButton::clicked, this, &TLogSetForm::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TLogSetForm::Button1Click);
}

std::optional<TPageWindow::Refusal> TLogSetForm::checkLogServer() const
{
    const QString server = LogServerEdit->text();
    if (!server.isEmpty() && !TMainForm::IsValidIPAddress(server))
        return Refusal{invalidAddressMessage(), LogServerEdit, Refusal::ClearText};
    return std::nullopt;
}

void TLogSetForm::chooseRemoteState()
{
    if (LogServerEdit->text().isEmpty()) {
        RemoteStateComBox->setCurrentIndex(Disable);
        LogServerEdit->setText(noServerAddress());
    } else {
        RemoteStateComBox->setCurrentIndex(Enable);
    }
}

void TLogSetForm::Button2Click()
{
    if (!request)
        return;
    if (refuse(checkLogServer(), warningCaption()))
        return;
    chooseRemoteState();
    if (writeInOrder({request})) {
        showStatusText(ApplyTexts::setSuccess());
        KtWaiting::Show(this);
    } else {
        showStatusText(ApplyTexts::setError());
    }
}

void TLogSetForm::Button1Click() { close(); }
