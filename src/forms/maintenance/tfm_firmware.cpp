#include "tfm_firmware.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktmodule.h"
#include "ktsnmprequest2edits.h"
#include "kttransfervariables.h"
#include "ktwaiting.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TFM_Firmware *FM_Firmware = nullptr;

using namespace TransferVariables;

namespace {

// The server's retransmission interval (10 ms units: 30 s) and transmissions per block.
constexpr int kServerInterval = 3000;
constexpr int kServerRetries = 3;
// Request time-outs, hundredths of a second: the device answers the transfer command once it
// has the image (150 s), the upgrade command once the image is installed (300 s).
constexpr int kTransferTimeout = 15000;
constexpr int kUpgradeTimeout = 30000;
// Waiting-window counts (1.2 s ticks) while the device loads and while it installs the image.
constexpr int kLoadingTicks = 5;
constexpr int kUpdatingTicks = 40;

const QString kImageMark = QStringLiteral(".tfp");

} // namespace

TFM_Firmware::TFM_Firmware(QWidget *owner) : TTransferWindow(owner)
{
    setObjectName(QStringLiteral("FM_Firmware"));
    setWindowTitle(QStringLiteral("Tools \\ Firmware"));
    buildWindow();
    FormCreate(kServerInterval, kServerRetries);
}

TFM_Firmware::~TFM_Firmware() = default;

QString TFM_Firmware::noFileMessage()
{
    return QStringLiteral("Please put in the firmware file & path.");
}

QString TFM_Firmware::invalidFileMessage()
{
    return QStringLiteral("Please put in valid firmware file & path.");
}

QString TFM_Firmware::cantPerformMessage()
{
    return QStringLiteral("Cant Perform Operation,Please try again!");
}

QString TFM_Firmware::setErrorMessage() { return QStringLiteral("Set error!"); }
QString TFM_Firmware::loadingText() { return QStringLiteral("Loading firmware file..."); }
QString TFM_Firmware::updatingText() { return QStringLiteral("Updating firmware file..."); }

void TFM_Firmware::buildWindow()
{
    Bt_Browse = new QPushButton(QStringLiteral("Browse..."), this);
    Bt_Browse->setObjectName(QStringLiteral("Bt_Browse"));
    Bt_OK = new QPushButton(QStringLiteral("OK"), this);
    Bt_OK->setObjectName(QStringLiteral("Bt_OK"));
    Bt_OK->setDefault(true);
    StatusBar2 = new QStatusBar(this);
    StatusBar2->setObjectName(QStringLiteral("StatusBar2"));
    StatusBar2->setSizeGripEnabled(false);

    auto *box = new QGroupBox(QStringLiteral("Firmware Upgrade"), this);
    auto *fileLabel = new QLabel(QStringLiteral("Firmware File:"), box);
    fileLabel->setBuddy(Ed_UpgFile);
    auto *grid = new QGridLayout(box);
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(Ed_UpgFile, 0, 1);
    grid->addWidget(Bt_Browse, 0, 2);
    grid->addWidget(Bt_OK, 1, 2);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(StatusBar);
    layout->addWidget(StatusBar2);

    connect(Bt_OK, &QPushButton::clicked, this, &TFM_Firmware::Bt_OKClick);
    connect(Bt_Browse, &QPushButton::clicked, this, &TFM_Firmware::Bt_BrowseClick);
}

void TFM_Firmware::buildRequests()
{
    buildTransferRequests();
    addressRequest()->request.statusCallback = [this](const KtSNMPError &status) {
        addressWritten(status);
    };
    transferRequest()->request.timeout = kTransferTimeout;
    transferRequest()->SetStatusControl(StatusBar);
    transferRequest()->request.statusCallback = [this](const KtSNMPError &status) {
        firmwareTransferHandler(status);
    };
    upgradeRequest()->request.timeout = kUpgradeTimeout;
    upgradeRequest()->SetStatusControl(StatusBar2);
    upgradeRequest()->request.statusCallback = [this](const KtSNMPError &status) {
        firmwareUpgradeHandler(status);
    };
}

std::optional<TPageWindow::Refusal> TFM_Firmware::checkFirmwareFile() const
{
    const QString path = Ed_UpgFile->text();
    if (path.isEmpty() || path.endsWith(u'/'))
        return Refusal{noFileMessage(), Ed_UpgFile};
    // The image is known by its ".tfp" anywhere in the path, as the device's own page does.
    if (!path.contains(kImageMark) || !QFileInfo(path).isFile())
        return Refusal{invalidFileMessage(), Ed_UpgFile};
    return std::nullopt;
}

void TFM_Firmware::Bt_BrowseClick()
{
    const QString chosen = chooseFile(KtDialogs::FileMode::Open, Ed_UpgFile->text(),
                                      QStringLiteral("Firmware files (*.tfp);;All files (*)"));
    if (!chosen.isEmpty())
        Ed_UpgFile->setText(chosen);
}

void TFM_Firmware::Bt_OKClick()
{
    if (!readyForTransfer())
        return;
    if (refuse(checkFirmwareFile(), warningCaption()))
        return;
    Ed_TfpSrv->clear();
    if (!ChoosePCAddress(this, Ed_TfpSrv))
        return;
    if (refuse(checkTransferPath(Ed_UpgFile, Ed_UpgFile), warningCaption()))
        return;
    try {
        const TransferPath split = serveFile(Ed_UpgFile->text(), KtTFTPServer::DeviceReads);
        m_upgradePending = true;
        // The transfer command follows once the device has taken the address and the name
        // (addressWritten): sent before, it could fetch with the previous ones.
        writeAddress(split.name);
    } catch (const KtTFTPException &e) {
        StatusBar->showMessage(e.text());
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

void TFM_Firmware::addressWritten(const KtSNMPError &status)
{
    if (closed())
        return;
    if (status.code != 0) {
        firmwareTransferHandler(status);
        return;
    }
    writeTransferCommand();
}

void TFM_Firmware::writeTransferCommand()
{
    CB_TfpCom->setCurrentIndex(Get);
    try {
        if (!transferRequest()->Set(true, true))
            StatusBar->showMessage(setErrorMessage());
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

void TFM_Firmware::firmwareTransferHandler(const KtSNMPError &status)
{
    if (closed())
        return;
    if (status.code != 0) {
        m_upgradePending = false;
        KtDialogs::message(this, cantPerformMessage(), warningCaption());
        StatusBar->showMessage(status.text);
        return;
    }
    StatusBar->showMessage(status.text + u'!');
    if (m_upgradePending)
        upgradeSequence();
}

void TFM_Firmware::upgradeSequence()
{
    m_upgradePending = false;
    m_rebootWrites = 0;

    KtWaitingOptions loading;
    loading.countdown = kLoadingTicks;
    loading.sendRestartCommand = false;
    loading.label3 = loadingText();
    KtWaiting::Show(this, loading);
    if (closed())
        return;

    upgradeRequest()->request.timeout = kUpgradeTimeout;
    if (!writeUpgradeCommand(Firmwareupdate))
        return;

    KtWaitingOptions updating = loading;
    updating.countdown = kUpdatingTicks;
    updating.label3 = updatingText();
    KtWaiting::Show(this, updating);
    if (closed())
        return;
    upgradeRequest()->request.timeout = RebootTimeout;
}

void TFM_Firmware::firmwareUpgradeHandler(const KtSNMPError &status)
{
    if (closed())
        return;
    if (status.code != 0) {
        StatusBar2->showMessage(status.text);
        return;
    }
    StatusBar2->showMessage(status.text + u'!');
    // Reboot follows every answered write (the upgrade's and each Reboot's) until one goes
    // unanswered: the device has gone down to restart. A device that keeps answering is left
    // alone after a few.
    if (m_rebootWrites >= MaxRebootWrites)
        return;
    ++m_rebootWrites;
    upgradeRequest()->request.timeout = RebootTimeout;
    writeUpgradeCommand(Reboot);
}

bool TFM_Firmware::writeUpgradeCommand(int position)
{
    CB_UpgCom->setCurrentIndex(position);
    try {
        if (upgradeRequest()->Set(true, true))
            return true;
    } catch (const KtException &) {
        // Not issued either.
    }
    KtDialogs::message(this, setErrorMessage(), KtModule::modelName());
    return false;
}
