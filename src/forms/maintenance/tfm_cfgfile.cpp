#include "tfm_cfgfile.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "kttransfervariables.h"
#include "ktwaiting.h"

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

TFM_CfgFile::TFM_CfgFile(QWidget *owner) : TTransferWindow(owner)
{
    setObjectName(QStringLiteral("FM_CfgFile"));
    setWindowTitle(QStringLiteral("Tools \\ Configuration File"));
    buildWindow();
    FormCreate(kServerInterval, kServerRetries);
}

TFM_CfgFile::~TFM_CfgFile() = default;

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
    Bt_Browse = button("Bt_Browse", QStringLiteral("Browse..."));
    Bt_OK = button("Bt_OK", QStringLiteral("OK"));
    Ed_SaveFile = new QLineEdit(this);
    Ed_SaveFile->setObjectName(QStringLiteral("Ed_SaveFile"));
    Ed_SaveFile->setReadOnly(true);
    Ed_SaveFile->setMinimumWidth(300);
    Bt_SaveBrowse = button("Bt_SaveBrowse", QStringLiteral("Browse..."));
    Bt_SaveOK = button("Bt_SaveOK", QStringLiteral("OK"));

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

void TFM_CfgFile::buildRequests()
{
    buildTransferRequests();
    addressRequest()->mode = KtSNMPRequest2Controls::Synchronous;
    addressRequest()->SetStatusControl(StatusBar);
    // Only a failure is worth a line: the transfer's outcome follows at once.
    addressRequest()->request.statusCallback = [this](const KtSNMPError &status) {
        if (status.code != 0)
            addressRequest()->ReportSetResult(status);
    };
    transferRequest()->request.timeout = kTransferTimeout;
    transferRequest()->SetStatusControl(StatusBar);
    transferRequest()->request.statusCallback = [this](const KtSNMPError &status) {
        if (closed())
            return;
        transferRequest()->ReportSetResult(status);
        configurationHandler(status);
    };
    upgradeRequest()->mode = KtSNMPRequest2Controls::Synchronous;
    upgradeRequest()->request.timeout = kUpgradeTimeout;
    upgradeRequest()->SetStatusControl(StatusBar);
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

std::optional<TPageWindow::Refusal> TFM_CfgFile::checkSaveFile() const
{
    if (Ed_SaveFile->text().isEmpty())
        return Refusal{emptyFileMessage(), Bt_SaveBrowse};
    return std::nullopt;
}

void TFM_CfgFile::Bt_BrowseClick()
{
    const QString chosen = chooseFile(KtDialogs::FileMode::Open, Ed_UpgFile->text(), kFileFilter);
    if (chosen.isEmpty())
        return;
    Ed_UpgFile->setText(chosen);
    Ed_SaveFile->clear();
}

void TFM_CfgFile::Bt_SaveBrowseClick()
{
    const QString chosen = chooseFile(KtDialogs::FileMode::Save, Ed_SaveFile->text(), kFileFilter);
    Ed_SaveFile->clear();
    Ed_SaveFile->setText(chosen);
}

void TFM_CfgFile::Bt_OKClick()
{
    if (!readyForTransfer())
        return;
    if (refuse(checkUpdateFile(), warningCaption()))
        return;
    Ed_TfpSrv->clear();
    if (!ChoosePCAddress(this, Ed_TfpSrv))
        return;
    if (refuse(checkTransferPath(Ed_UpgFile, Ed_UpgFile), warningCaption()))
        return;
    m_saving = false;
    startTransfer(Ed_UpgFile->text(), KtTFTPServer::DeviceReads, Get);
}

void TFM_CfgFile::Bt_SaveOKClick()
{
    if (!readyForTransfer())
        return;
    if (refuse(checkSaveFile(), warningCaption()))
        return;
    Ed_TfpSrv->clear();
    if (!ChoosePCAddress(this, Ed_TfpSrv))
        return;
    if (refuse(checkTransferPath(Ed_SaveFile, Bt_SaveBrowse), warningCaption()))
        return;
    m_saving = true;
    if (startTransfer(Ed_SaveFile->text(), KtTFTPServer::DeviceWrites, Put)) {
        Ed_UpgFile->clear();
        Ed_SaveFile->clear();
    }
}

bool TFM_CfgFile::startTransfer(const QString &path, KtTFTPServer::Direction direction,
                                int command)
{
    bool sent = false;
    try {
        const TransferPath split = serveFile(path, direction);
        WorkingScope writing(this, Operation::Writing);
        // Without the address and the name the device would transfer with the previous ones.
        if (writeAddress(split.name)) {
            CB_TfpCom->setCurrentIndex(command);
            sent = transferRequest()->Set(true, true);
        }
    } catch (const KtTFTPException &e) {
        StatusBar->showMessage(e.text());
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    if (!sent)
        showFailure();
    return sent;
}

void TFM_CfgFile::showFailure()
{
    if (!closed())
        KtDialogs::message(this, m_saving ? saveFailedMessage() : updateFailedMessage(),
                           errorBoxCaption());
}

void TFM_CfgFile::configurationHandler(const KtSNMPError &status)
{
    if (m_saving) {
        // The device's word that it sent the file is taken only with the file in hand: a
        // transfer lost on the way is a failed save, not a saved file.
        bool saved = false;
        if (status.code == 0) {
            WorkingScope receiving(this, Operation::Working);
            saved = server() && WaitForExpectedUpload(*server(), kUploadGraceMs, kUploadMaxMs);
        }
        if (closed())
            return;
        KtDialogs::message(this, saved ? savedMessage() : saveFailedMessage(),
                           saved ? okBoxCaption() : errorBoxCaption());
        return;
    }
    if (status.code == 0 && applyRestoredFile())
        return;
    showFailure();
}

bool TFM_CfgFile::applyRestoredFile()
{
    CB_UpgCom->setCurrentIndex(Configsave);
    bool applied = false;
    try {
        WorkingScope writing(this, Operation::Writing);
        applied = upgradeRequest()->Set(true, true);
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
    if (!applied || closed())
        return applied;
    KtWaitingOptions rebooting;
    rebooting.sendRestartCommand = true;
    rebooting.commandDelay = kRebootDelay;
    rebooting.label3 = rebootText();
    KtWaiting::Show(this, rebooting);
    return true;
}
