// Where the single-instance lock files go when the session names no runtime folder: a folder
// of this user's own, never one another user made or left open (its owner could hold our locks
// or plant links that the lock open would follow).
#include "ktinstanceguard.h"
#include "ktmodule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

int modeOf(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

// The environment of a session without XDG_RUNTIME_DIR (root under sudo), with the temporary
// and data folders inside this test's folder.
class RuntimeFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (int i = 0; i < kNames; ++i)
            m_saved[i] = qgetenv(s_names[i]);
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("tmp"))));
        qputenv("TMPDIR", QFile::encodeName(path(QStringLiteral("tmp"))));
        qputenv("QRN_DATA_DIR", QFile::encodeName(path(QStringLiteral("data"))));
        qunsetenv("XDG_RUNTIME_DIR");
        qunsetenv("QRN_RUNTIME_DIR");
    }

    void TearDown() override
    {
        for (int i = 0; i < kNames; ++i) {
            if (m_saved[i].isEmpty())
                qunsetenv(s_names[i]);
            else
                qputenv(s_names[i], m_saved[i]);
        }
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString shared() const
    {
        return path(QStringLiteral("tmp/qrn7300xb-%1").arg(getuid()));
    }
    QString own() const { return path(QStringLiteral("data/run")); }

    static constexpr int kNames = 4;
    static constexpr const char *s_names[kNames] = {"TMPDIR", "XDG_RUNTIME_DIR",
                                                     "QRN_RUNTIME_DIR", "QRN_DATA_DIR"};
    QTemporaryDir m_dir;
    QByteArray m_saved[kNames];
};

TEST_F(RuntimeFolder, MissingSharedFolderIsMadePrivateAndUsed)
{
    ::umask(0); // the folder's mode must not depend on the caller's mask
    const QString folder = KtModule::runtimeFolder();
    ::umask(022);
    EXPECT_EQ(folder, shared());
    EXPECT_EQ(modeOf(folder), 0700);
}

TEST_F(RuntimeFolder, SharedFolderOpenToOthersIsNotUsed)
{
    ASSERT_EQ(::mkdir(QFile::encodeName(shared()).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(shared()).constData(), 0777), 0);
    EXPECT_EQ(KtModule::runtimeFolder(), own());
    EXPECT_EQ(modeOf(own()), 0700);
    EXPECT_EQ(modeOf(shared()), 0777); // left as it is: not ours to repair
}

TEST_F(RuntimeFolder, LinkInPlaceOfTheSharedFolderIsNotFollowed)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("elsewhere"))));
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("elsewhere"))).constData(), 0700), 0);
    ASSERT_TRUE(QFile::link(path(QStringLiteral("elsewhere")), shared()));
    EXPECT_EQ(KtModule::runtimeFolder(), own());
}

TEST_F(RuntimeFolder, AnotherUsersFolderIsNotUsed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a folder that belongs to another user";
    ASSERT_EQ(::mkdir(QFile::encodeName(shared()).constData(), 0700), 0);
    ASSERT_EQ(::chown(QFile::encodeName(shared()).constData(), 65534, 65534), 0);
    EXPECT_EQ(KtModule::runtimeFolder(), own());
}

TEST_F(RuntimeFolder, NoPrivateFolderAtAllGivesNone)
{
    ASSERT_EQ(::mkdir(QFile::encodeName(shared()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(shared()).constData(), 0777), 0);
    ASSERT_TRUE(QDir().mkpath(own()));
    ASSERT_EQ(::chmod(QFile::encodeName(own()).constData(), 0755), 0);
    EXPECT_TRUE(KtModule::runtimeFolder().isEmpty());
}

TEST_F(RuntimeFolder, SessionFolderIsUsedAsItIs)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("session"))));
    EXPECT_EQ(KtModule::runtimeFolder(), path(QStringLiteral("session/qrn7300xb")));
    EXPECT_FALSE(QFileInfo::exists(shared()));
}

// A link planted where the lock file belongs is not followed: the lock is refused and the
// link's target is neither created nor locked.
TEST(InstanceGuardLink, LinkWhereTheLockFileBelongsIsNotFollowed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = QStringLiteral("QRN-7300XB : 10.1.1.5");
    const QString target = dir.filePath(QStringLiteral("target"));
    ASSERT_TRUE(QFile::link(target, KtInstanceGuard::lockFilePath(name, dir.path())));
    KtInstanceGuard guard;
    EXPECT_FALSE(guard.acquire(name, dir.path()));
    EXPECT_FALSE(QFileInfo::exists(target));

    // A folder in the lock file's place is no lock either.
    const QString other = QStringLiteral("QRN-7300XB : 10.1.1.6");
    ASSERT_TRUE(QDir().mkpath(KtInstanceGuard::lockFilePath(other, dir.path())));
    EXPECT_FALSE(guard.acquire(other, dir.path()));
}

} // namespace
