// One module per access point: a lock file named after the main window's caption, held for the
// life of the process. The system releases the lock when the process ends, however it ends.
#pragma once

#include <QString>

class KtInstanceGuard
{
public:
    KtInstanceGuard() = default;
    ~KtInstanceGuard();
    KtInstanceGuard(const KtInstanceGuard &) = delete;
    KtInstanceGuard &operator=(const KtInstanceGuard &) = delete;

    // Takes the lock called name in folder. False when another process holds it, or when the
    // lock file cannot be created.
    bool acquire(const QString &name, const QString &folder);

    bool isHeld() const { return m_fd >= 0; }

    // The lock file of a name: the name with "/" and "%" escaped, and ".lock". A name too long
    // for a file name keeps its beginning and ends in the digest of the whole name.
    static QString lockFilePath(const QString &name, const QString &folder);

    // Whether some process holds the lock called name (tests, and diagnostics).
    static bool isLocked(const QString &name, const QString &folder);

private:
    int m_fd = -1;
};
