#include "ttransferwindow.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "kttransfervariables.h"
#include "tftpserver.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>

using namespace TransferVariables;

TTransferWindow::TTransferWindow(QWidget *owner) : TPageWindow(owner)
{
    const auto hidden = [this](QWidget *control, const char *name) {
        control->setObjectName(QString::fromLatin1(name));
        control->hide();
    };
    Ed_UpgFile = new QLineEdit(this);
    Ed_UpgFile->setObjectName(QStringLiteral("Ed_UpgFile"));
    Ed_UpgFile->setMinimumWidth(300);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    setStatusBar(StatusBar);
    Ed_TfpSrv = new QLineEdit(this);
    hidden(Ed_TfpSrv, "Ed_TfpSrv");
    CB_TfpCom = new QComboBox(this);
    hidden(CB_TfpCom, "CB_TfpCom");
    CB_UpgCom = new QComboBox(this);
    hidden(CB_UpgCom, "CB_UpgCom");
}

TTransferWindow::~TTransferWindow()
{
    if (m_server)
        m_server->Stop();
}

void TTransferWindow::buildTransferRequests()
{
    m_addressRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, AddressItems(), SVT_SV));
    m_addressRequest->BindEdit(RemoteServerItem, QStringLiteral("%s"), Ed_TfpSrv);
    m_addressRequest->BindEdit(RemoteFileNameItem, QStringLiteral("%s"), Ed_UpgFile);
    m_transferRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, TransferItems(), SVT_SV));
    m_transferRequest->BindComboBox(0, CB_TfpCom);
    m_upgradeRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, UpgradeItems(), SVT_SV));
    m_upgradeRequest->BindComboBox(0, CB_UpgCom);
}

void TTransferWindow::FormCreate(int serverInterval, int serverRetries)
{
    try {
        buildRequests();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    m_server = StartTFTPServer(this, serverInterval, serverRetries);
    if (!m_server)
        EndApplicationForServiceError(this);
}

bool TTransferWindow::readyForTransfer() const
{
    return m_server && m_addressRequest && m_transferRequest && m_upgradeRequest
           && !isWorking();
}

std::optional<TPageWindow::Refusal> TTransferWindow::checkTransferPath(QLineEdit *field,
                                                                       QWidget *focus) const
{
    if (!SplitTransferPath(field->text()))
        return Refusal{FilePathErrorMessage(), focus};
    return std::nullopt;
}

TransferPath TTransferWindow::serveFile(const QString &path, KtTFTPServer::Direction direction)
{
    const TransferPath split = SplitTransferPath(path).value_or(TransferPath{});
    m_server->Listen(split.folder);
    m_server->ExpectFile(split.name, direction);
    return split;
}

bool TTransferWindow::writeAddress(const QString &bareName)
{
    const QString shown = Ed_UpgFile->text();
    Ed_UpgFile->setText(bareName);
    bool sent = false;
    try {
        sent = m_addressRequest->Set(true, true);
    } catch (...) {
        Ed_UpgFile->setText(shown);
        throw;
    }
    Ed_UpgFile->setText(shown);
    return sent;
}

QString TTransferWindow::chooseFile(KtDialogs::FileMode mode, const QString &current,
                                    const QString &filter)
{
    KtDialogs::FileRequest request;
    request.mode = mode;
    request.caption = request.mode == KtDialogs::FileMode::Save ? QStringLiteral("Save As")
                                                                 : QStringLiteral("Open");
    request.directory = current.isEmpty() ? QString() : QFileInfo(current).path();
    request.filter = filter;
    return KtDialogs::fileName(this, request);
}

bool TTransferWindow::FormCloseQuery()
{
    m_closed = true;
    if (m_server) {
        m_server->Stop();
        delete m_server;
        m_server = nullptr;
    }
    return true;
}
