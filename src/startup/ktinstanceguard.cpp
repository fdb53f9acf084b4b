#include "ktinstanceguard.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openLockFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    // A link planted where the lock file belongs is never followed (it could make us create
    // or lock a file elsewhere); only a plain file serves as the lock.
    do {
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                    0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

KtInstanceGuard::~KtInstanceGuard()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString KtInstanceGuard::lockFilePath(const QString &name, const QString &folder)
{
    QString file = name;
    file.replace(u'%', QLatin1String("%25"));
    file.replace(u'/', QLatin1String("%2F"));
    // A file name holds at most 255 bytes. A caption with a long DNS name keeps its beginning
    // and gets the digest of the whole caption, so that it still has a lock of its own.
    constexpr qsizetype kMaxFileName = 255;
    const QString suffix = QStringLiteral(".lock");
    if (QFile::encodeName(file + suffix).size() > kMaxFileName) {
        const QString digest = QString::fromLatin1(
            QCryptographicHash::hash(file.toUtf8(), QCryptographicHash::Sha1).toHex());
        QString start = file;
        while (QFile::encodeName(start + u'~' + digest + suffix).size() > kMaxFileName)
            start.chop(1);
        file = start + u'~' + digest;
    }
    return folder + u'/' + file + suffix;
}

bool KtInstanceGuard::acquire(const QString &name, const QString &folder)
{
    if (m_fd >= 0)
        return true;
    const int fd = openLockFile(lockFilePath(name, folder));
    if (fd < 0)
        return false;
    // flock, not fcntl locks: it belongs to this open file, so it also guards against a second
    // guard within the same process, and it ends with the process.
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool KtInstanceGuard::isLocked(const QString &name, const QString &folder)
{
    const QString path = lockFilePath(name, folder);
    if (!QFile::exists(path))
        return false;
    KtInstanceGuard probe;
    return !probe.acquire(name, folder);
}
