// The per-address lock that keeps a second module for the same access point from starting.
#include "ktinstanceguard.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(InstanceGuard, SecondGuardForTheSameNameIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = QStringLiteral("QRN-7300XB : 10.1.1.5");
    {
        KtInstanceGuard first;
        ASSERT_TRUE(first.acquire(name, dir.path()));
        EXPECT_TRUE(KtInstanceGuard::isLocked(name, dir.path()));
        KtInstanceGuard second;
        EXPECT_FALSE(second.acquire(name, dir.path()));
        EXPECT_FALSE(second.isHeld());

        KtInstanceGuard other;
        EXPECT_TRUE(other.acquire(QStringLiteral("QRN-7300XB : 10.1.1.6"), dir.path()));
    }
    // The lock file stays behind; a stale file must not block the next start.
    EXPECT_TRUE(QFileInfo::exists(KtInstanceGuard::lockFilePath(name, dir.path())));
    EXPECT_FALSE(KtInstanceGuard::isLocked(name, dir.path()));
    KtInstanceGuard next;
    EXPECT_TRUE(next.acquire(name, dir.path()));
}

// An address text may hold a "/"; it must not turn into a folder of the lock path, nor may two
// different captions share a lock file.
TEST(InstanceGuard, LockFileNamesKeepCaptionsApart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString slash = QStringLiteral("QRN-7300XB : 10.1.1.5/24");
    const QString escaped = QStringLiteral("QRN-7300XB : 10.1.1.5%2F24");
    EXPECT_NE(KtInstanceGuard::lockFilePath(slash, dir.path()),
              KtInstanceGuard::lockFilePath(escaped, dir.path()));
    EXPECT_EQ(QFileInfo(KtInstanceGuard::lockFilePath(slash, dir.path())).path(), dir.path());
    KtInstanceGuard a;
    KtInstanceGuard b;
    EXPECT_TRUE(a.acquire(slash, dir.path()));
    EXPECT_TRUE(b.acquire(escaped, dir.path()));
}

// A DNS name may be up to 253 characters: its caption is too long for a file name as it is,
// and must still give a lock of its own rather than look like a running module.
TEST(InstanceGuard, LongCaptionsGetLocksOfTheirOwn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString label = QString(60, u'a') + u'.';
    const QString caption = QStringLiteral("QRN-7300XB : ") + label.repeated(4);
    const QString longName = caption + u'b';
    const QString otherName = caption + u'c';
    ASSERT_GT(longName.size(), 255);
    const QFileInfo lockFile(KtInstanceGuard::lockFilePath(longName, dir.path()));
    EXPECT_LE(lockFile.fileName().size(), 255);
    EXPECT_EQ(lockFile.path(), dir.path());

    KtInstanceGuard first;
    ASSERT_TRUE(first.acquire(longName, dir.path()));
    KtInstanceGuard second;
    EXPECT_FALSE(second.acquire(longName, dir.path()));
    KtInstanceGuard other;
    EXPECT_TRUE(other.acquire(otherName, dir.path()));
}

TEST(InstanceGuard, LockThatCannotBeCreatedIsRefused)
{
    KtInstanceGuard guard;
    EXPECT_FALSE(guard.acquire(QStringLiteral("QRN-7300XB : 1.2.3.4"),
                               QStringLiteral("/nonexistent/folder/for/locks")));
}

} // namespace
