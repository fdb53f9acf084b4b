// The request engine's asynchronous sends, time-outs and SNMPv3 security outcomes against the
// simulated access point.
#include "ktexception.h"
#include "ktnetsnmp.h"
#include "ktnetsnmpchannel.h"
#include "ktsnmprequest.h"
#include "modulesupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kSys = QStringLiteral("1.3.6.1.2.1.1");
const QString kMssid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.9.2.1");

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

KtSNMPVarList systemList()
{
    const KtSNMPVarItem table[] = {
        varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READWRITE),
        varItem(kSys + QStringLiteral(".7"), SYN_INTEGER, ACC_READONLY),
        {}};
    return KtSNMPVarList(table, SVT_SV, 0);
}

KtSNMPVarList mssidList()
{
    const KtSNMPVarItem table[] = {
        varItem(kMssid + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS),
        varItem(kMssid + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS),
        varItem(kMssid + QStringLiteral(".2"), SYN_INTEGER, ACC_READONLY),
        varItem(kMssid + QStringLiteral(".3"), SYN_DISPLAYSTR, ACC_READONLY),
        {}};
    return KtSNMPVarList(table, MVT_UMV, 2);
}

// Reads asynchronously and runs the event loop until the completion (at most 5 s); false when
// it did not come. The completion's status goes to result.
bool readAsyncAndWait(KtSNMPRequest &request, KtSNMPError *result = nullptr)
{
    bool done = false;
    request.ReadAsync(
        [&](void *, const KtSNMPError &status, KtSNMPVarList &) {
            if (result)
                *result = status;
            done = true;
        },
        nullptr, true);
    return processUntil([&] { return done; }, 5000);
}

// An asynchronous walk driven from its completions, as the control-bound requests drive it.
struct AsyncWalk {
    explicit AsyncWalk(KtSNMPRequest &walked) : request(walked) {}
    KtSNMPRequest &request;
    QVector<QStringList> rows;
    QVector<KtSNMPError> statuses;
    bool finished = false;
    bool onGuiThread = true;

    void step(bool first)
    {
        request.ReadAsync(
            [this](void *owner, const KtSNMPError &status, KtSNMPVarList &list) {
                onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
                EXPECT_EQ(owner, this);
                statuses.append(status);
                if (status.code != 0 || status.finished) {
                    finished = true;
                    return;
                }
                QStringList row;
                for (int i = 0; i < list.Count(); ++i)
                    row << list.Item(i).value;
                rows.append(row);
                step(false);
            },
            this, first);
    }
};

class AsyncTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString(); }
    ApSim m_sim;
};

TEST_F(AsyncTest, AsynchronousWalkOverV2cAndV3DeliversEveryRowOnTheGuiThread)
{
    for (int version : {1, 3}) {
        KtSNMPRequest request;
        aim(request, m_sim.address(), m_sim.port(), version);
        request.list = mssidList();
        AsyncWalk walk(request);
        walk.step(true);
        EXPECT_EQ(request.outstanding, 1);
        ASSERT_TRUE(processUntil([&] { return walk.finished; }, 10000)) << "version " << version;
        EXPECT_TRUE(walk.onGuiThread);
        EXPECT_EQ(request.outstanding, 0);
        ASSERT_EQ(walk.rows.size(), 16) << "version " << version;
        EXPECT_EQ(walk.rows.at(10), (QStringList{"2", "3", "1", "Norvane-Voice"}));
        EXPECT_EQ(walk.statuses.last().code, 0);
        EXPECT_EQ(walk.statuses.last().finished, 1);
        EXPECT_EQ(walk.statuses.first().finished, 0);
        EXPECT_EQ(walk.statuses.first().agentPort, m_sim.port());
    }
}

TEST_F(AsyncTest, AsynchronousWriteWithItemMapRestoresTheListAtOnce)
{
    KtSNMPRequest request;
    aim(request, m_sim.address(), m_sim.port(), 3);
    request.list = systemList();
    request.list.Item(0).value = QStringLiteral("before");
    KtSNMPError result;
    bool done = false;
    request.WriteAsync(
        [&](void *, const KtSNMPError &status, KtSNMPVarList &) {
            result = status;
            done = true;
        },
        nullptr, QStringLiteral("0"), {QStringLiteral("renamed-ap")});
    EXPECT_EQ(request.list.Item(0).value, QStringLiteral("before"));
    EXPECT_EQ(request.list.Item(1).access, ACC_READONLY);
    ASSERT_TRUE(processUntil([&] { return done; }, 5000));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(m_sim.command(QStringLiteral("get ") + kSys + QStringLiteral(".5.0")),
              QStringLiteral("ok displaystr \"renamed-ap\""));
}

TEST_F(AsyncTest, SilentDeviceTimesOutAfterEveryRetry)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 30")).startsWith(QStringLiteral("ok")));
    for (int version : {1, 3}) {
        KtSNMPRequest request;
        aim(request, m_sim.address(), m_sim.port(), version, QStringLiteral("noauth"));
        request.securityLevel = 1;
        request.timeout = 30; // 0.3 s
        request.retries = 2;
        request.list = systemList();
        QVector<KtSNMPError> errors;
        request.statusCallback = [&](const KtSNMPError &status) { errors.append(status); };
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_FALSE(request.ReadSync(true));
        // Three sends of 0.3 s each before the library gives up (for SNMPv3 the engine
        // discovery is the exchange that goes unanswered).
        EXPECT_GE(elapsed.elapsed(), 850) << "version " << version;
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors.at(0).code, -405);
        EXPECT_EQ(errors.at(0).text, QStringLiteral("(SNMPClass) SNMP request timed out!"));

        KtSNMPError asyncResult;
        elapsed.restart();
        ASSERT_TRUE(readAsyncAndWait(request, &asyncResult));
        EXPECT_GE(elapsed.elapsed(), 850);
        EXPECT_EQ(asyncResult.code, -405);
        EXPECT_EQ(asyncResult.finished, 1);
        EXPECT_EQ(asyncResult.serial, 2u);
    }
}

// The idle module must not wake fifty times a second: the time-out timer rests while nothing is
// in flight, and the next asynchronous send wakes it, so that a silent device still times out.
TEST_F(AsyncTest, TimeoutTimerRestsWhileNothingIsInFlight)
{
    KtSNMPRequest request;
    aim(request, m_sim.address(), m_sim.port(), 1);
    request.list = systemList();
    KtSNMPError result;
    ASSERT_TRUE(readAsyncAndWait(request, &result));
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(processUntil([] { return !KtNetSnmp::eventProcessorRunning(); }, 5000));

    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 30")).startsWith(QStringLiteral("ok")));
    request.timeout = 30; // 0.3 s
    request.retries = 1;
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(readAsyncAndWait(request, &result));
    EXPECT_GE(elapsed.elapsed(), 550);
    EXPECT_EQ(result.code, -405);
    EXPECT_TRUE(processUntil([] { return !KtNetSnmp::eventProcessorRunning(); }, 5000));
}

TEST_F(AsyncTest, WaitingForASilentDeviceDoesNotFreezeTheEventLoop)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 30")).startsWith(QStringLiteral("ok")));
    KtSNMPRequest request;
    aim(request, m_sim.address(), m_sim.port(), 3);
    request.timeout = 100;
    request.list = systemList();
    bool done = false;
    request.ReadAsync([&](void *, const KtSNMPError &, KtSNMPVarList &) { done = true; }, nullptr,
                      true);
    // The SNMPv3 engine discovery runs in the background: timers keep ticking meanwhile.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    ASSERT_TRUE(processUntil([&] { return done; }, 6000));
    EXPECT_GE(ticks, 20);
}

TEST_F(AsyncTest, DestroyingARequestWithAnUnansweredSendReturnsWithinSixSeconds)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 30")).startsWith(QStringLiteral("ok")));
    bool called = false;
    auto request = std::make_unique<KtSNMPRequest>();
    aim(*request, m_sim.address(), m_sim.port(), 1);
    request->timeout = 2000; // 20 s: longer than the wait on destruction
    request->list = systemList();
    request->ReadAsync([&](void *, const KtSNMPError &, KtSNMPVarList &) { called = true; },
                       nullptr, true);
    ASSERT_EQ(request->outstanding, 1);
    QElapsedTimer elapsed;
    elapsed.start();
    request.reset();
    EXPECT_LT(elapsed.elapsed(), 6500);
    EXPECT_GE(elapsed.elapsed(), 5900);
    // Nothing of the destroyed request runs afterwards.
    processUntil([] { return false; }, 200);
    EXPECT_FALSE(called);
}

TEST_F(AsyncTest, DestroyingARequestWaitsForItsAnswer)
{
    // The device answers 0.5 s after the question: a destructor that did not wait for the
    // answer would return at once.
    constexpr int kDelayMs = 500;
    ASSERT_TRUE(m_sim.command(QStringLiteral("delay %1").arg(kDelayMs)).startsWith(u"ok"));
    auto request = std::make_unique<KtSNMPRequest>();
    aim(*request, m_sim.address(), m_sim.port(), 1);
    request->timeout = 300; // 3 s: the answer comes well inside it
    request->list = systemList();
    m_sim.clearLog();
    bool completed = false;
    request->ReadAsync([&](void *, const KtSNMPError &, KtSNMPVarList &) { completed = true; },
                       nullptr, true);
    ASSERT_EQ(request->outstanding, 1);
    QElapsedTimer elapsed;
    elapsed.start();
    request.reset();
    const qint64 waited = elapsed.elapsed();

    // It waited for the answer (not for the time-out, not for the 6 s bound) and handed it to
    // nobody: the owner of a request being destroyed is going away.
    EXPECT_GE(waited, kDelayMs - 50);
    EXPECT_LT(waited, 3000);
    EXPECT_FALSE(completed);
    const QStringList log = logOf(m_sim, 1);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.first().startsWith(QStringLiteral("v2c get "))) << log.first().toStdString();
}

TEST_F(AsyncTest, NothingIsSentOnceDestructionBegan)
{
    KtSNMPRequest request;
    aim(request, m_sim.address(), m_sim.port(), 1);
    request.list = systemList();
    request.alive = 0;
    m_sim.clearLog();
    request.ReadAsync([](void *, const KtSNMPError &, KtSNMPVarList &) {}, nullptr, true);
    EXPECT_EQ(request.outstanding, 0);
    processUntil([] { return false; }, 100);
    EXPECT_TRUE(m_sim.log().isEmpty());
}

// ---- SNMPv3 security outcomes ----------------------------------------------------------------

struct SecurityRow {
    const char *name;
    const char *user;
    const char *authPassword;
    const char *privPassword;
    int code;
    const char *text;
};

class SecurityTest : public ::testing::TestWithParam<SecurityRow>
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString(); }
    ApSim m_sim;
};

TEST_P(SecurityTest, GivesTheUsmCodeAndText)
{
    const SecurityRow &row = GetParam();
    for (bool asynchronous : {false, true}) {
        KtSNMPRequest request;
        aim(request, m_sim.address(), m_sim.port(), 3, QString::fromLatin1(row.user));
        request.authPassword = QString::fromLatin1(row.authPassword);
        request.privPassword = QString::fromLatin1(row.privPassword);
        request.timeout = 50;
        request.list = systemList();
        QVector<KtSNMPError> errors;
        request.statusCallback = [&](const KtSNMPError &status) { errors.append(status); };
        if (asynchronous) {
            ASSERT_TRUE(readAsyncAndWait(request));
        } else {
            EXPECT_FALSE(request.ReadSync(true));
        }
        ASSERT_EQ(errors.size(), 1) << (asynchronous ? "async" : "sync");
        EXPECT_EQ(errors.at(0).code, row.code) << (asynchronous ? "async" : "sync");
        EXPECT_EQ(errors.at(0).text, QString::fromLatin1(row.text));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Users, SecurityTest,
    ::testing::Values(
        SecurityRow{"wrongAuthPassword", "authpriv", "authpass2", "privpass1", -308,
                    "(SNMPv3USM) Authentication failure!"},
        SecurityRow{"unknownUser", "nobody", "authpass1", "privpass1", -304,
                    "(SNMPv3USM) Unknown SecurityName!"},
        // The device drops a message it cannot decrypt without a report: only the time-out
        // tells.
        SecurityRow{"wrongPrivPassword", "authpriv", "authpass1", "privpass9", -405,
                    "(SNMPClass) SNMP request timed out!"}),
    [](const ::testing::TestParamInfo<SecurityRow> &row) { return std::string(row.param.name); });

TEST(SecurityPasswords, RightPasswordAfterAWrongOneWorks)
{
    ApSim sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    KtSNMPRequest wrong;
    aim(wrong, sim.address(), sim.port(), 3);
    wrong.authPassword = QStringLiteral("authpass2");
    wrong.list = systemList();
    EXPECT_FALSE(wrong.ReadSync(true));

    // The user table of the library must not keep the keys of the wrong password.
    KtSNMPRequest right;
    aim(right, sim.address(), sim.port(), 3);
    right.list = systemList();
    EXPECT_TRUE(right.ReadSync(true));
    EXPECT_EQ(right.list.Item(0).value, QStringLiteral("ap-bldg2-3f"));
}

// ---- Device restart --------------------------------------------------------------------------

// qrn-apsim on a fixed port, so that a second start is the same device after a restart (with a
// new SNMPv3 engine ID, as the simulator makes one at every start).
class FixedSim
{
public:
    explicit FixedSim(quint16 port) : m_port(port) {}
    ~FixedSim() { stop(); }
    bool start()
    {
        m_process.start(ApSim::executable(),
                        {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(m_port),
                         QStringLiteral("--state-dir"), m_state.path()});
        QElapsedTimer waited;
        waited.start();
        QByteArray seen;
        while (waited.elapsed() < 10000 && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(50);
            seen += m_process.readAllStandardOutput();
            if (seen.contains("qrn-apsim ready"))
                return true;
        }
        return false;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

private:
    quint16 m_port;
    QTemporaryDir m_state;
    QProcess m_process;
};

// A device that restarted keeps its engine ID but counts one boot more and starts its clock
// again: its first answer is a report that our message is not in its time window. net-snmp
// takes the device's clock from it and sends again; the request succeeds.
TEST(DeviceRestart, TimeWindowReportAfterARestartIsNotAnError)
{
    ApSim sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    for (bool asynchronous : {false, true}) {
        KtSNMPRequest request;
        aim(request, sim.address(), sim.port(), 3);
        request.list = systemList();
        ASSERT_TRUE(request.ReadSync(true));
        ASSERT_TRUE(KtNetSnmp::shiftEngineClock(sim.address(), sim.port(), -1, 5000));
        QVector<KtSNMPError> errors;
        request.statusCallback = [&](const KtSNMPError &status) { errors.append(status); };
        request.list.Item(0).value.clear();
        const quint64 sentBefore = KtNetSnmp::packetsSent();
        if (asynchronous) {
            ASSERT_TRUE(readAsyncAndWait(request));
        } else {
            EXPECT_TRUE(request.ReadSync(true));
        }
        EXPECT_TRUE(errors.isEmpty()) << errors.value(0).code;
        EXPECT_EQ(request.list.Item(0).value, QStringLiteral("ap-bldg2-3f"));
        EXPECT_EQ(KtNetSnmp::packetsSent() - sentBefore, 2u); // the request, sent again once
    }
}

// The device answers a message for its old engine ID with a report net-snmp cannot match to
// the request: the engine is discovered again and the request sent once more, at once.
TEST(DeviceRestart, FirstV3RequestsAfterARestartWithANewEngineSucceed)
{
    const quint16 port = ApSim::freeUdpPort();
    KtSNMPRequest syncRequest;
    aim(syncRequest, QStringLiteral("127.0.0.1"), port, 3);
    syncRequest.list = systemList();
    KtSNMPRequest asyncRequest;
    aim(asyncRequest, QStringLiteral("127.0.0.1"), port, 3);
    asyncRequest.list = systemList();
    {
        FixedSim sim(port);
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(syncRequest.ReadSync(true));
        ASSERT_TRUE(asyncRequest.ReadSync(true));
    }
    FixedSim again(port);
    ASSERT_TRUE(again.start());

    QVector<KtSNMPError> errors;
    syncRequest.statusCallback = [&](const KtSNMPError &status) { errors.append(status); };
    syncRequest.list.Item(0).value.clear();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(syncRequest.ReadSync(true));
    EXPECT_LT(elapsed.elapsed(), 900); // well before the 1 s time-out
    EXPECT_TRUE(errors.isEmpty()) << errors.value(0).code;
    EXPECT_EQ(syncRequest.list.Item(0).value, QStringLiteral("ap-bldg2-3f"));

    // A request whose session still holds the old engine, answered asynchronously.
    again.stop();
    FixedSim third(port);
    ASSERT_TRUE(third.start());
    KtSNMPError result;
    ASSERT_TRUE(readAsyncAndWait(asyncRequest, &result));
    EXPECT_EQ(result.code, 0);
}

} // namespace
