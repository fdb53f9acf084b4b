#include "ktmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString fromEnvironment(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

} // namespace

QString KtModule::modelName() { return QStringLiteral("QRN-7300XB"); }

QString KtModule::programFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty())
        folder = QDir::currentPath();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString KtModule::settingsFile()
{
    return fromEnvironment("QRN_SETTINGS", QStringLiteral("/etc/qrn7300xb/registry.ini"));
}

QString KtModule::dataFolder()
{
    QString folder = qEnvironmentVariable("QRN_DATA_DIR");
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (folder.isEmpty())
            folder = QDir::homePath() + QStringLiteral("/.local/share");
        folder += QStringLiteral("/qrn7300xb");
    }
    QDir().mkpath(folder);
    return folder;
}

QString KtModule::runtimeFolder()
{
    QString folder = qEnvironmentVariable("QRN_RUNTIME_DIR");
    if (folder.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) {
            // A folder in /tmp shared by nobody else: other users must not hold our locks.
            folder = QStringLiteral("/tmp/qrn7300xb-%1").arg(getuid());
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
            return folder;
        }
        folder = runtime + QStringLiteral("/qrn7300xb");
    }
    QDir().mkpath(folder);
    return folder;
}
