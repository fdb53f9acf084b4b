#include "kttransfersupport.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktmodule.h"
#include "ktnetinterface.h"
#include "tmainform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>
#include <memory>

QString NoPCAddressMessage()
{
    return QStringLiteral("Invalid Server IP Address or SNMP timed out!");
}

bool ChoosePCAddress(QWidget *owner, QLineEdit *edit)
{
    // Without a main window nothing is known of the device: no interface can be on its network.
    return ChoosePCAddress(owner, edit, DeviceFacts::text(&TMainForm::IPAddressEdit),
                           DeviceFacts::text(&TMainForm::SubMaskEdit));
}

bool ChoosePCAddress(QWidget *owner, QLineEdit *edit, const QString &deviceAddress,
                     const QString &deviceMask)
{
    KtNetInterface records[KtMaxNetInterfaces];
    const int count = ListInterfaces(records);
    const QString chosen = LocalAddressOnNetwork(deviceAddress, deviceMask, records, count);
    if (chosen.isEmpty()) {
        KtDialogs::message(owner, NoPCAddressMessage(), KtModule::modelName());
        return false;
    }
    edit->setText(chosen);
    return true;
}

QString DeviceFilesFolder()
{
    const QString folder = KtModule::dataFolder();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString TFTPServiceInitErrorText(const KtTFTPException &error)
{
    return QStringLiteral("TFTP Service Init Error:") + error.text();
}

KtTFTPServer *StartTFTPServer(QWidget *owner, int timeout, int retries, const QString &folder)
{
    try {
        auto server = std::make_unique<KtTFTPServer>(owner);
        server->SetTimeout(timeout, retries);
        server->SetOnMessage([](KtTFTPMsg &, bool &) {});
        server->Listen(folder);
        server->ExpectNothing();
        return server.release();
    } catch (const KtTFTPException &e) {
        KtDialogs::message(owner, TFTPServiceInitErrorText(e), KtModule::modelName());
        return nullptr;
    }
}

void EndApplicationForServiceError(QDialog *window)
{
    QCoreApplication::exit(EXIT_FAILURE);
    // Also where no event loop runs yet (the window is being built), or none is left to end.
    QMetaObject::invokeMethod(window, &QDialog::reject, Qt::QueuedConnection);
}

std::optional<TransferPath> SplitTransferPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    TransferPath split{path.left(slash + 1), path.mid(slash + 1)};
    if (!KtTFTPServer::isServableName(split.name))
        return std::nullopt;
    return split;
}

QString FilePathErrorMessage() { return QStringLiteral("The file path is error."); }

bool WaitForExpectedUpload(KtTFTPServer &server, int graceMs, int maxMs)
{
    QElapsedTimer waited;
    waited.start();
    const auto decided = [&] {
        return !server.receivedFile().isEmpty() || waited.elapsed() >= maxMs
               || (waited.elapsed() >= graceMs && server.sessions().isEmpty());
    };
    if (!decided()) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (decided())
                loop.quit();
        });
        QObject::connect(&server, &KtTFTPServer::fileReceived, &loop, &QEventLoop::quit);
        poll.start(20);
        loop.exec();
    }
    return !server.receivedFile().isEmpty();
}

ExpectedUpload ExpectedUploadState(const KtTFTPServer &server, int overdueTicks)
{
    if (!server.receivedFile().isEmpty())
        return ExpectedUpload::Arrived;
    for (const _TFTPSession *session : server.sessions()) {
        if (session->state() == _TFTPSession::Active && session->msg().op == KtTFTPServer::DeviceWrites
            && session->msg().fileName == server.expectedFile())
            return ExpectedUpload::Coming;
    }
    return overdueTicks < KtUploadGraceTicks ? ExpectedUpload::Coming : ExpectedUpload::Missing;
}
