#include "tfm_cfgfile.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "kttransfersupport.h"
#include "kttransfervariables.h"
#include "ktwaiting.h"
#include "tftpserver.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TFM_CfgFile *FM_CfgFile = nullptr;

using namespace TransferVariables;

namespace {

// The server's retransmission interval (10 ms units: 3 s) and transmissions per block.
constexpr int kServerInterval = 300;
constexpr int kServerRetries = 3;
// Request time-outs, hundredths of a second: the device answers the transfer command once the
// file has gone either way (100 s), the apply command once it has taken the file (300 s).
constexpr int kTransferTimeout = 10000;
constexpr int kUpgradeTimeout = 30000;
// The waiting window sends the restart command itself, after this many 1.2 s ticks.
constexpr int kRebootDelay = 5;
// How long a saved configuration may still be on its way once the device has reported it
// sent: one retransmission interval for a transfer to show up, a minute at most in all.
constexpr int kUploadGraceMs = kServerInterval * 10;
constexpr int kUploadMaxMs = 60000;

const QString kFileFilter = QStringLiteral("Configuration files (*.cfg);;All files (*)");

} // namespace

TFM_CfgFile::TFM_CfgFile(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_CfgFile"));
    setWindowTitle(QStringLiteral("Tools \\ Configuration File"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_CfgFile::~TFM_CfgFile()
{
    if (m_server)
        m_server->Stop();
}

QString TFM_CfgFile::emptyFileMessage() { return QStringLiteral("Empty file is not accepted."); }

QString TFM_CfgFile::fileFormatMessage()
{
    return QStringLiteral("File format error! Please try again!");
}

QString TFM_CfgFile::saveFailedMessage()
{
    return QStringLiteral("Fail to save the configuration file!");
}

QString TFM_CfgFile::savedMessage()
{
    return QStringLiteral("The configuration file saved successfully!");
}

QString TFM_CfgFile::updateFailedMessage()
{
    return QStringLiteral("The configuration file updated fail!");
}

QString TFM_CfgFile::rebootText() { return QStringLiteral("Waiting for reboot..."); }

void TFM_CfgFile::buildWindow()
{
    const auto button = [this](const char *name, const QString &caption) {
        auto *created = new QPushButton(caption, this);
        created->setObjectName(QString::fromLatin1(name));
        return created;
    };
    Ed_UpgFile = new QLineEdit(this);
    Ed_UpgFile->setObjectName(QStringLiteral("Ed_UpgFile"));
    Ed_UpgFile->setMinimumWidth(300);
    Bt_Browse = button("Bt_Browse", QStringLiteral("Browse..."));
    Bt_OK = button("Bt_OK", QStringLiteral("OK"));
    Ed_SaveFile = new QLineEdit(this);
    Ed_SaveFile->setObjectName(QStringLiteral("Ed_SaveFile"));
    Ed_SaveFile->setReadOnly(true);
    Ed_SaveFile->setMinimumWidth(300);
    Bt_SaveBrowse = button("Bt_SaveBrowse", QStringLiteral("Browse..."));
    Bt_SaveOK = button("Bt_SaveOK", QStringLiteral("OK"));
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    Ed_TfpSrv = new QLineEdit(this);
    Ed_TfpSrv->setObjectName(QStringLiteral("Ed_TfpSrv"));
    Ed_TfpSrv->hide();
    CB_TfpCom = new QComboBox(this);
    CB_TfpCom->setObjectName(QStringLiteral("CB_TfpCom"));
    CB_TfpCom->hide();
    CB_UpgCom = new QComboBox(this);
    CB_UpgCom->setObjectName(QStringLiteral("CB_UpgCom"));
    CB_UpgCom->hide();

    const auto group = [this](const QString &caption, QLineEdit *field, QPushButton *browse,
                              QPushButton *ok) {
        auto *box = new QGroupBox(caption, this);
        auto *grid = new QGridLayout(box);
        grid->addWidget(field, 0, 0);
        grid->addWidget(browse, 0, 1);
        grid->addWidget(ok, 1, 1);
        grid->setColumnStretch(0, 1);
        return box;
    };
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group(QStringLiteral("Update Configuration File"), Ed_UpgFile, Bt_Browse,
                            Bt_OK));
    layout->addWidget(group(QStringLiteral("Load Settings to Local Hard Drive"), Ed_SaveFile,
                            Bt_SaveBrowse, Bt_SaveOK));
    layout->addWidget(StatusBar);

    connect(Bt_OK, &QPushButton::clicked, this, &TFM_CfgFile::Bt_OKClick);
    connect(Bt_SaveOK, &QPushButton::clicked, this, &TFM_CfgFile::Bt_SaveOKClick);
    connect(Bt_Browse, &QPushButton::clicked, this, &TFM_CfgFile::Bt_BrowseClick);
    connect(Bt_SaveBrowse, &QPushButton::clicked, this, &TFM_CfgFile::Bt_SaveBrowseClick);
}

void TFM_CfgFile::FormCreate()
{
    try {
        buildRequests();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    m_server = StartTFTPServer(this, kServerInterval, kServerRetries);
    if (!m_server)
        EndApplicationForServiceError(this);
}

void TFM_CfgFile::buildRequests()
{
    m_addressRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, AddressItems(), SVT_SV));
    m_addressRequest->mode = KtSNMPRequest2Controls::Synchronous;
    m_addressRequest->BindEdit(RemoteServerItem, QStringLiteral("%s"), Ed_TfpSrv);
    m_addressRequest->BindEdit(RemoteFileNameItem, QStringLiteral("%s"), Ed_UpgFile);
    m_addressRequest->SetStatusControl(StatusBar);
    // Only a failure is worth a line: the transfer's outcome follows at once.
    m_addressRequest->request.statusCallback = [this](const KtSNMPError &status) {
        if (status.code != 0)
            m_addressRequest->ReportSetResult(status);
    };

    m_transferRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, TransferItems(), SVT_SV));
    m_transferRequest->request.timeout = kTransferTimeout;
    m_transferRequest->BindComboBox(0, CB_TfpCom);
    m_transferRequest->SetStatusControl(StatusBar);
    m_transferRequest->request.statusCallback = [this](const KtSNMPError &status) {
        if (m_closed)
            return;
        m_transferRequest->ReportSetResult(status);
        configurationHandler(status);
    };

    m_upgradeRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, UpgradeItems(), SVT_SV));
    m_upgradeRequest->mode = KtSNMPRequest2Controls::Synchronous;
    m_upgradeRequest->request.timeout = kUpgradeTimeout;
    m_upgradeRequest->BindComboBox(0, CB_UpgCom);
    m_upgradeRequest->SetStatusControl(StatusBar);
}

std::optional<TPageWindow::Refusal> TFM_CfgFile::checkUpdateFile() const
{
    const QString path = Ed_UpgFile->text();
    if (path.isEmpty())
        return Refusal{emptyFileMessage(), Ed_UpgFile};
    if (!QFileInfo(path).isFile())
        return Refusal{fileFormatMessage(), Ed_UpgFile};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_CfgFile::checkUpdatePath() const
{
    if (!SplitTransferPath(Ed_UpgFile->text()))
        return Refusal{FilePathErrorMessage(), Ed_UpgFile};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_CfgFile::checkSaveFile() const
{
    if (Ed_SaveFile->text().isEmpty())
        return Refusal{emptyFileMessage(), Bt_SaveBrowse};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_CfgFile::checkSavePath() const
{
    if (!SplitTransferPath(Ed_SaveFile->text()))
        return Refusal{FilePathErrorMessage(), Bt_SaveBrowse};
    return std::nullopt;
}

void TFM_CfgFile::Bt_BrowseClick()
{
    KtDialogs::FileRequest request;
    request.mode = KtDialogs::FileMode::Open;
    request.caption = QStringLiteral("Open");
    request.directory = QFileInfo(Ed_UpgFile->text()).path();
    request.filter = kFileFilter;
    const QString chosen = KtDialogs::fileName(this, request);
    if (chosen.isEmpty())
        return;
    Ed_UpgFile->setText(chosen);
    Ed_SaveFile->clear();
}

void TFM_CfgFile::Bt_SaveBrowseClick()
{
    KtDialogs::FileRequest request;
    request.mode = KtDialogs::FileMode::Save;
    request.caption = QStringLiteral("Save As");
    request.directory = QFileInfo(Ed_SaveFile->text()).path();
    request.filter = kFileFilter;
    const QString chosen = KtDialogs::fileName(this, request);
    Ed_SaveFile->clear();
    Ed_SaveFile->setText(chosen);
}

void TFM_CfgFile::Bt_OKClick()
{
    // One transfer at a time: the requests are still busy with the last one.
    if (!m_server || !m_addressRequest || isWorking())
        return;
    if (refuse(checkUpdateFile(), warningCaption()))
        return;
    Ed_TfpSrv->clear();
    if (!ChoosePCAddress(this, Ed_TfpSrv))
        return;
    if (refuse(checkUpdatePath(), warningCaption()))
        return;
    m_saving = false;
    startTransfer(Ed_UpgFile->text(), KtTFTPServer::DeviceReads, Get);
}

void TFM_CfgFile::Bt_SaveOKClick()
{
    if (!m_server || !m_addressRequest || isWorking())
        return;
    if (refuse(checkSaveFile(), warningCaption()))
        return;
    Ed_TfpSrv->clear();
    if (!ChoosePCAddress(this, Ed_TfpSrv))
        return;
    if (refuse(checkSavePath(), warningCaption()))
        return;
    m_saving = true;
    if (startTransfer(Ed_SaveFile->text(), KtTFTPServer::DeviceWrites, Put)) {
        Ed_UpgFile->clear();
        Ed_SaveFile->clear();
    }
}

bool TFM_CfgFile::startTransfer(const QString &path, int direction, int command)
{
    const TransferPath split = *SplitTransferPath(path);
    const QString shown = Ed_UpgFile->text();
    bool addressWritten = false;
    try {
        m_server->Listen(split.folder);
        m_server->ExpectFile(split.name, KtTFTPServer::Direction(direction));
        // The device is given the bare name; the field shows what it showed again.
        Ed_UpgFile->setText(split.name);
        WorkingScope writing(this, Operation::Writing);
        addressWritten = m_addressRequest->Set(true, true);
    } catch (const KtTFTPException &e) {
        StatusBar->showMessage(e.text());
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    Ed_UpgFile->setText(shown);
    if (!addressWritten) {
        // Without the address and the name the device would transfer with the previous ones.
        KtDialogs::message(this, m_saving ? saveFailedMessage() : updateFailedMessage(),
                           errorBoxCaption());
        return false;
    }
    CB_TfpCom->setCurrentIndex(command);
    try {
        if (m_transferRequest->Set(true, true))
            return true;
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    KtDialogs::message(this, m_saving ? saveFailedMessage() : updateFailedMessage(),
                       errorBoxCaption());
    return false;
}

void TFM_CfgFile::configurationHandler(const KtSNMPError &status)
{
    if (m_saving) {
        // The device's word that it sent the file is taken only with the file in hand: a
        // transfer lost on the way is a failed save, not a saved file.
        bool saved = false;
        if (status.code == 0) {
            WorkingScope receiving(this, Operation::Working);
            saved = WaitForExpectedUpload(*m_server, kUploadGraceMs, kUploadMaxMs);
        }
        if (m_closed)
            return;
        KtDialogs::message(this, saved ? savedMessage() : saveFailedMessage(),
                           saved ? okBoxCaption() : errorBoxCaption());
        return;
    }
    if (status.code == 0 && applyRestoredFile())
        return;
    if (!m_closed)
        KtDialogs::message(this, updateFailedMessage(), errorBoxCaption());
}

bool TFM_CfgFile::applyRestoredFile()
{
    CB_UpgCom->setCurrentIndex(Configsave);
    bool applied = false;
    try {
        WorkingScope writing(this, Operation::Writing);
        applied = m_upgradeRequest->Set(true, true);
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    if (!applied || m_closed)
        return applied;
    KtWaitingOptions rebooting;
    rebooting.sendRestartCommand = true;
    rebooting.commandDelay = kRebootDelay;
    rebooting.label3 = rebootText();
    KtWaiting::Show(this, rebooting);
    return true;
}

bool TFM_CfgFile::FormCloseQuery()
{
    m_closed = true;
    if (m_server) {
        m_server->Stop();
        delete m_server;
        m_server = nullptr;
    }
    return true;
}
