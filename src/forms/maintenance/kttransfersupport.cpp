#include "kttransfersupport.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktmodule.h"
#include "ktnetinterface.h"
#include "tmainform.h"

#include <QLineEdit>

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
