// The built module started as a process, the way the host platform starts it. What it would
// have shown goes to a dialog log file (QRN_DIALOG_LOG).
#include "ktinstanceguard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace {

const char *const kOnlyHost = "QRN-7300XB\tThis module is only used in the Marlin or HP-Openview.";
const char *const kAnother = "Warning\tAnother QRN7300XB module is running!";

class ModuleProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_executable = qEnvironmentVariable("QRN_BIN_DIR") + QStringLiteral("/qrn7300xb");
        ASSERT_TRUE(QFile::exists(m_executable)) << m_executable.toStdString();
        QDir(m_dir.path()).mkpath(QStringLiteral("run"));
        QDir(m_dir.path()).mkpath(QStringLiteral("cwd"));
    }

    void TearDown() override
    {
        for (auto &process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    // Starts the module; its messages go to the log named logName.
    QProcess *start(const QStringList &arguments, const QString &logName,
                    const QString &dataDir = QString())
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QRN_DIALOG_LOG"), logPath(logName));
        env.insert(QStringLiteral("QRN_SETTINGS"), m_dir.filePath(QStringLiteral("registry.ini")));
        env.insert(QStringLiteral("QRN_DATA_DIR"),
                   dataDir.isEmpty() ? m_dir.filePath(QStringLiteral("data")) : dataDir);
        env.insert(QStringLiteral("QRN_RUNTIME_DIR"), runtimeDir());
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(m_dir.filePath(QStringLiteral("cwd")));
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(m_executable, arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    QString logPath(const QString &logName) const { return m_dir.filePath(logName + ".log"); }
    QString runtimeDir() const { return m_dir.filePath(QStringLiteral("run")); }

    QStringList log(const QString &logName) const
    {
        QFile file(logPath(logName));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // Waits, while the process runs, until condition holds; false when the process ended or
    // the generous deadline passed first.
    template <typename Condition>
    static bool waitFor(QProcess *process, Condition condition)
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            if (condition())
                return true;
            if (process->state() == QProcess::NotRunning)
                return condition();
            process->waitForFinished(50);
        }
        return false;
    }

    bool waitForLock(QProcess *process, const QString &address)
    {
        const QString caption = QStringLiteral("QRN-7300XB : ") + address;
        return waitFor(process, [&] { return KtInstanceGuard::isLocked(caption, runtimeDir()); });
    }

    QTemporaryDir m_dir;
    QString m_executable;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(ModuleProcess, WithoutParametersShowsWhoStartsItAndEnds)
{
    QProcess *module = start({}, QStringLiteral("module"));
    ASSERT_TRUE(module->waitForFinished(30000));
    EXPECT_EQ(module->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(module->exitCode(), 0);
    EXPECT_EQ(log(QStringLiteral("module")), QStringList{QString::fromUtf8(kOnlyHost)});
    // The start created the help-path key in the settings file.
    QFile settings(m_dir.filePath(QStringLiteral("registry.ini")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("[SOFTWARE/Norvane/Modules/HelpPath]"));
}

TEST_F(ModuleProcess, BadNumberShowsTheConversionErrorAndDoesNotCrash)
{
    QProcess *module = start({QStringLiteral("/I10.1.1.5"), QStringLiteral("/v3"),
                              QStringLiteral("/t16x1")},
                             QStringLiteral("module"));
    ASSERT_TRUE(waitFor(module, [&] { return !log(QStringLiteral("module")).isEmpty(); }));
    EXPECT_EQ(log(QStringLiteral("module")),
              QStringList{QStringLiteral("QRN-7300XB\t'16x1' is not a valid integer value")});
    // The rest of the start-up is not carried out: no lock for the address; the window stays.
    module->waitForFinished(500);
    EXPECT_EQ(module->state(), QProcess::Running);
    EXPECT_FALSE(KtInstanceGuard::isLocked(QStringLiteral("QRN-7300XB : 10.1.1.5"), runtimeDir()));
}

TEST_F(ModuleProcess, SecondModuleForTheSameAddressWarnsAndEnds)
{
    QProcess *first = start({QStringLiteral("/I127.0.0.1"), QStringLiteral("/v1")},
                            QStringLiteral("first"));
    ASSERT_TRUE(waitForLock(first, QStringLiteral("127.0.0.1")));

    QProcess *second = start({QStringLiteral("/I127.0.0.1"), QStringLiteral("/Rother")},
                             QStringLiteral("second"));
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(log(QStringLiteral("second")), QStringList{QString::fromUtf8(kAnother)});

    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_TRUE(log(QStringLiteral("first")).isEmpty());
}

TEST_F(ModuleProcess, ModulesForTwoAddressesBothRun)
{
    QProcess *first = start({QStringLiteral("/I127.0.0.1")}, QStringLiteral("first"));
    QProcess *second = start({QStringLiteral("/I127.0.0.2")}, QStringLiteral("second"));
    ASSERT_TRUE(waitForLock(first, QStringLiteral("127.0.0.1")));
    ASSERT_TRUE(waitForLock(second, QStringLiteral("127.0.0.2")));
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(second->state(), QProcess::Running);
    EXPECT_TRUE(log(QStringLiteral("first")).isEmpty());
    EXPECT_TRUE(log(QStringLiteral("second")).isEmpty());
}

// A module that is killed leaves its lock file behind; that must not block the address.
TEST_F(ModuleProcess, KilledModuleFreesItsAddress)
{
    QProcess *first = start({QStringLiteral("/I127.0.0.1")}, QStringLiteral("first"));
    ASSERT_TRUE(waitForLock(first, QStringLiteral("127.0.0.1")));
    first->kill();
    ASSERT_TRUE(first->waitForFinished(10000));

    QProcess *next = start({QStringLiteral("/I127.0.0.1")}, QStringLiteral("next"));
    ASSERT_TRUE(waitForLock(next, QStringLiteral("127.0.0.1")));
    EXPECT_TRUE(log(QStringLiteral("next")).isEmpty());
}

// The boot counter cannot be saved: the session error is shown and nothing after it runs.
TEST_F(ModuleProcess, UnwritableDataFolderStopsTheStartWithTheSessionError)
{
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QProcess *module = start({QStringLiteral("/I127.0.0.1")}, QStringLiteral("module"),
                             m_dir.filePath(QStringLiteral("blocker/data")));
    ASSERT_TRUE(waitFor(module, [&] { return !log(QStringLiteral("module")).isEmpty(); }));
    EXPECT_EQ(log(QStringLiteral("module")),
              QStringList{QStringLiteral(
                  "QRN-7300XB\t(KtSNMP++) Error when saving SNMP engine boots counter!")});
    EXPECT_EQ(module->state(), QProcess::Running);
    EXPECT_FALSE(
        KtInstanceGuard::isLocked(QStringLiteral("QRN-7300XB : 127.0.0.1"), runtimeDir()));
}

// The catalogues beside the executable are loaded before the session opens, so even its errors
// speak their words.
TEST_F(ModuleProcess, CataloguesBesideTheExecutableWordTheSessionError)
{
    const QString program = m_dir.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/errmsg")));
    ASSERT_TRUE(QFile::copy(m_executable, program + QStringLiteral("/qrn7300xb")));
    QFile catalogue(program + QStringLiteral("/errmsg/ktsnmp.err"));
    ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
    for (int i = 0; i < 8; ++i)
        catalogue.write("message " + QByteArray::number(i) + "\n");
    catalogue.write("Boot counter not saved.\n");
    catalogue.close();
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    m_executable = program + QStringLiteral("/qrn7300xb");
    QProcess *module = start({QStringLiteral("/I127.0.0.1")}, QStringLiteral("module"),
                             m_dir.filePath(QStringLiteral("blocker/data")));
    ASSERT_TRUE(waitFor(module, [&] { return !log(QStringLiteral("module")).isEmpty(); }));
    EXPECT_EQ(log(QStringLiteral("module")),
              QStringList{QStringLiteral("QRN-7300XB\tBoot counter not saved.")});
}

// Started where the session names no runtime folder (root under sudo): the module gives
// itself a private one, takes its lock there and says nothing about it on the terminal (the
// toolkit once warned "XDG_RUNTIME_DIR not set" at every start).
TEST_F(ModuleProcess, WithoutASessionRuntimeFolderStartsQuietlyInAPrivateOne)
{
    const QString tmp = m_dir.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(tmp));
    QProcess module;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.remove(QStringLiteral("QRN_RUNTIME_DIR"));
    env.insert(QStringLiteral("TMPDIR"), tmp);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QRN_DIALOG_LOG"), logPath(QStringLiteral("module")));
    env.insert(QStringLiteral("QRN_SETTINGS"), m_dir.filePath(QStringLiteral("registry.ini")));
    env.insert(QStringLiteral("QRN_DATA_DIR"), m_dir.filePath(QStringLiteral("data")));
    module.setProcessEnvironment(env);
    module.setWorkingDirectory(m_dir.filePath(QStringLiteral("cwd")));
    // No device behind the address: only the start matters here.
    module.start(m_executable, {QStringLiteral("/I127.0.0.9"), QStringLiteral("/Rx")});
    ASSERT_TRUE(module.waitForStarted(10000));

    const QString lockFolder =
        tmp + QStringLiteral("/qrn7300xb-%1/qrn7300xb").arg(getuid());
    const bool locked = waitFor(&module, [&] {
        return KtInstanceGuard::isLocked(QStringLiteral("QRN-7300XB : 127.0.0.9"), lockFolder);
    });
    module.kill();
    module.waitForFinished(10000);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(log(QStringLiteral("module")).isEmpty());
    const QString errors = QString::fromLocal8Bit(module.readAllStandardError());
    EXPECT_FALSE(errors.contains(QStringLiteral("XDG_RUNTIME_DIR"))) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("QStandardPaths"))) << errors.toStdString();
}

} // namespace
