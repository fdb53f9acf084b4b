#include "ktmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
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
        if (runtime.isEmpty())
            return privateRuntimeFolder();
        folder = runtime + QStringLiteral("/qrn7300xb");
    }
    QDir().mkpath(folder);
    return folder;
}

QString KtModule::sharedRuntimeFolder()
{
    return QDir::tempPath() + QStringLiteral("/qrn7300xb-%1").arg(getuid());
}

QString KtModule::privateRuntimeFolder()
{
    const QString shared = sharedRuntimeFolder();
    if (privateFolder(shared))
        return shared;
    // Someone else holds that name: our own data folder is out of other users' reach.
    const QString own = dataFolder() + QStringLiteral("/run");
    if (privateFolder(own))
        return own;
    return QString();
}

bool KtModule::privateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) != 0) {
        if (errno != ENOENT)
            return false;
        if (::mkdir(name.constData(), 0700) != 0)
            return false; // another process may have made it meanwhile: not ours to trust
        // The mask of the process may have taken bits away; the folder is ours to set.
        if (::chmod(name.constData(), 0700) != 0 || ::lstat(name.constData(), &info) != 0)
            return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

void KtModule::provideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString folder = privateRuntimeFolder();
    if (!folder.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}
