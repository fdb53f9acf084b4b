// qrn-walk-engine: walks the 1000-row client table of qrn-apsim with the request engine
// (synchronously and asynchronously) and with snmpwalk and snmpbulkwalk, over SNMPv2c and
// SNMPv3 authPriv, and prints rows per second, ratios and round trips (see bench/walk).
#include "ktexception.h"
#include "ktnetsnmpchannel.h"
#include "ktsnmprequest.h"
#include "ktsnmpsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kClients = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.2.1");
const int kRows = 1000;
// The bulk walk's repetitions, and snmpbulkwalk's beside it.
const int kBulk = 50;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

class Simulator
{
public:
    bool start(const QString &program)
    {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::LocalHost, 0))
            return false;
        m_port = probe.localPort();
        probe.close();
        m_process.start(program, {QStringLiteral("--listen"),
                                  QStringLiteral("127.0.0.1:%1").arg(m_port),
                                  QStringLiteral("--state-dir"), m_dir.path(),
                                  QStringLiteral("--profile"), QStringLiteral("clients1000")});
        QByteArray seen;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 15000 && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(50);
            seen += m_process.readAllStandardOutput();
            if (seen.contains("qrn-apsim ready"))
                return true;
        }
        std::fprintf(stderr, "qrn-walk-engine: qrn-apsim did not start: %s%s\n", seen.constData(),
                     m_process.readAllStandardError().constData());
        return false;
    }
    ~Simulator()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    quint16 port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

struct Security {
    const char *name;
    int version;
};

void aim(KtSNMPRequest &request, quint16 port, int version)
{
    request.address = QStringLiteral("127.0.0.1");
    request.port = port;
    request.version = static_cast<quint8>(version);
    request.timeout = 200;
    if (version == 3) {
        request.securityModel = 3;
        request.securityLevel = 3;
        request.securityName = QStringLiteral("authpriv");
        request.authProtocol = 2;
        request.authPassword = QStringLiteral("authpass1");
        request.privProtocol = 2;
        request.privPassword = QStringLiteral("privpass1");
    }
}

KtSNMPVarList clientList()
{
    KtSNMPVarList list;
    std::vector<KtSNMPVarItem> table;
    const int syntaxes[] = {SYN_INTEGER, SYN_MACADDRESS, SYN_INTEGER, SYN_INTEGER,
                            SYN_INTEGER, SYN_INTEGER,    SYN_DISPLAYSTR};
    for (int c = 1; c <= 7; ++c) {
        KtSNMPVarItem item;
        item.oid = kClients + QLatin1Char('.') + QString::number(c);
        item.syntax = syntaxes[c - 1];
        item.access = ACC_READONLY;
        table.push_back(item);
    }
    table.push_back(KtSNMPVarItem());
    return KtSNMPVarList(table.data(), MVT_UMV, 1);
}

struct WalkResult {
    int rows = 0;
    double seconds = 0;
    quint64 packets = 0;
    bool ok = false;
};

// bulk: the engine's getbulk repetitions (0: the get-next walk).
WalkResult engineWalkSync(quint16 port, int version, int bulk = 0)
{
    KtSNMPRequest request;
    aim(request, port, version);
    request.list = clientList();
    request.bulkRepetitions = bulk;
    WalkResult result;
    const quint64 before = KtNetSnmp::packetsSent();
    QElapsedTimer timer;
    timer.start();
    bool more = false;
    bool first = true;
    do {
        if (!request.ReadSync(first, &more))
            return result;
        first = false;
        if (more)
            ++result.rows;
    } while (more);
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.packets = KtNetSnmp::packetsSent() - before;
    result.ok = true;
    return result;
}

WalkResult engineWalkAsync(quint16 port, int version, int bulk = 0)
{
    KtSNMPRequest request;
    aim(request, port, version);
    request.list = clientList();
    request.bulkRepetitions = bulk;
    WalkResult result;
    bool finished = false;
    const quint64 before = KtNetSnmp::packetsSent();
    QElapsedTimer timer;
    timer.start();
    std::function<void(bool)> step = [&](bool first) {
        request.ReadAsync(
            [&](void *, const KtSNMPError &status, KtSNMPVarList &) {
                if (status.code != 0 || status.finished) {
                    result.ok = status.code == 0;
                    finished = true;
                    return;
                }
                ++result.rows;
                step(false);
            },
            nullptr, first);
    };
    step(true);
    QEventLoop loop;
    while (!finished)
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.packets = KtNetSnmp::packetsSent() - before;
    return result;
}

WalkResult toolWalk(const char *tool, quint16 port, int version, int repetitions = 0)
{
    QStringList args;
    if (repetitions > 0)
        args << QStringLiteral("-Cr%1").arg(repetitions);
    if (version == 3) {
        args << QStringLiteral("-v3") << QStringLiteral("-u") << QStringLiteral("authpriv")
             << QStringLiteral("-l") << QStringLiteral("authPriv") << QStringLiteral("-a")
             << QStringLiteral("MD5") << QStringLiteral("-A") << QStringLiteral("authpass1")
             << QStringLiteral("-x") << QStringLiteral("DES") << QStringLiteral("-X")
             << QStringLiteral("privpass1");
    } else {
        args << QStringLiteral("-v2c") << QStringLiteral("-c") << QStringLiteral("varnok");
    }
    args << QStringLiteral("-On") << QStringLiteral("-t") << QStringLiteral("2")
         << QStringLiteral("127.0.0.1:%1").arg(port) << kClients;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No MIB loading, as the engine loads none: numeric OIDs only.
    environment.insert(QStringLiteral("MIBS"), QStringLiteral(""));
    environment.insert(QStringLiteral("MIBDIRS"), QStringLiteral(""));
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(QString::fromLatin1(tool), args);
    process.waitForFinished(600000);
    WalkResult result;
    result.seconds = timer.nsecsElapsed() / 1e9;
    const QByteArray out = process.readAllStandardOutput();
    result.rows = out.count('\n') / 7; // one line per cell
    result.ok = process.exitCode() == 0 && result.rows == kRows;
    return result;
}

double singleGetMedianMs(quint16 port, int version)
{
    KtSNMPRequest request;
    aim(request, port, version);
    KtSNMPVarItem table[2];
    table[0].oid = QStringLiteral("1.3.6.1.2.1.1.5");
    table[0].syntax = SYN_DISPLAYSTR;
    table[0].access = ACC_READONLY;
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    if (!request.ReadSync(true)) // discovery and keys out of the way
        return -1;
    std::vector<double> times;
    for (int n = 0; n < 201; ++n) {
        QElapsedTimer timer;
        timer.start();
        if (!request.ReadSync(true))
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString apsim = qEnvironmentVariable("QRN_APSIM", QStringLiteral("qrn-apsim"));
    int rounds = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--apsim"))
            apsim = args.at(++i);
        else if (args.at(i) == QLatin1String("--rounds"))
            rounds = std::max(1, args.at(++i).toInt());
    }

    QTemporaryDir sessionDir;
    try {
        KtSNMPSession::OpenSession(sessionDir.path());
    } catch (const KtException &e) {
        std::fprintf(stderr, "qrn-walk-engine: %s\n", qPrintable(e.text()));
        return 1;
    }
    Simulator sim;
    if (!sim.start(apsim))
        return 1;

    // Profiling aid: only the engine's synchronous SNMPv2c walk, n times.
    if (const int repeat = qEnvironmentVariableIntValue("QRN_WALK_ENGINE_ONLY")) {
        const int version = qEnvironmentVariableIntValue("QRN_WALK_ENGINE_VERSION");
        const bool async = qEnvironmentVariableIsSet("QRN_WALK_ENGINE_ASYNC");
        QElapsedTimer timer;
        timer.start();
        for (int n = 0; n < repeat; ++n) {
            if (async)
                engineWalkAsync(sim.port(), version);
            else
                engineWalkSync(sim.port(), version);
        }
        std::printf("%.0f rows/s\n", repeat * kRows / (timer.nsecsElapsed() / 1e9));
        return 0;
    }
    const Security securities[] = {{"SNMPv2c", 1}, {"SNMPv3 authPriv MD5/DES", 3}};
    double worstSpeedup = 1e9;
    double worstRoundTrips = 0;
    double worstBulk = 1e9;
    bool allOk = true;
    std::printf("Walk of a %d-row, 7-column table on qrn-apsim (medians of %d rounds; ratios\n"
                "are the medians of each round's ratio)\n",
                kRows, rounds);
    for (const Security &security : securities) {
        // One unmeasured round first: engine discovery, keys, caches and the simulator warm.
        engineWalkSync(sim.port(), security.version);
        engineWalkAsync(sim.port(), security.version);
        toolWalk("snmpwalk", sim.port(), security.version);
        toolWalk("snmpbulkwalk", sim.port(), security.version);
        engineWalkSync(sim.port(), security.version, kBulk);
        toolWalk("snmpbulkwalk", sim.port(), security.version, kBulk);
        std::vector<double> sync, async, walk, bulk, syncTrips, asyncTrips;
        std::vector<double> syncRatio, asyncRatio, syncBulkRatio, asyncBulkRatio;
        std::vector<double> syncBulk, asyncBulk, bulk50, bulkTrips, bulkRatio;
        for (int round = 0; round < rounds; ++round) {
            // Each engine walk runs right next to the snmpwalk it is compared with, so that a
            // burst of load on this shared machine hits both sides of a ratio alike.
            const WalkResult s = engineWalkSync(sim.port(), security.version);
            const WalkResult w = toolWalk("snmpwalk", sim.port(), security.version);
            const WalkResult a = engineWalkAsync(sim.port(), security.version);
            const WalkResult b = toolWalk("snmpbulkwalk", sim.port(), security.version);
            // The bulk walk beside snmpbulkwalk with as many repetitions.
            const WalkResult sb = engineWalkSync(sim.port(), security.version, kBulk);
            const WalkResult b50 = toolWalk("snmpbulkwalk", sim.port(), security.version, kBulk);
            const WalkResult ab = engineWalkAsync(sim.port(), security.version, kBulk);
            if (!s.ok || !a.ok || !w.ok || !b.ok || s.rows != kRows || a.rows != kRows
                || !sb.ok || !ab.ok || !b50.ok || sb.rows != kRows || ab.rows != kRows) {
                std::printf("  %s round %d failed: engine %d/%d rows, snmpwalk %d, "
                            "snmpbulkwalk %d, bulk walk %d/%d, snmpbulkwalk -Cr%d %d\n",
                            security.name, round + 1, s.rows, a.rows, w.rows, b.rows, sb.rows,
                            ab.rows, kBulk, b50.rows);
                allOk = false;
                continue;
            }
            syncBulk.push_back(sb.rows / sb.seconds);
            asyncBulk.push_back(ab.rows / ab.seconds);
            bulk50.push_back(b50.rows / b50.seconds);
            bulkTrips.push_back(double(std::max(sb.packets, ab.packets)) / kRows);
            bulkRatio.push_back(std::min(syncBulk.back(), asyncBulk.back()) / bulk50.back());
            sync.push_back(s.rows / s.seconds);
            async.push_back(a.rows / a.seconds);
            walk.push_back(w.rows / w.seconds);
            bulk.push_back(b.rows / b.seconds);
            syncTrips.push_back(double(s.packets) / s.rows);
            asyncTrips.push_back(double(a.packets) / a.rows);
            syncRatio.push_back(sync.back() / walk.back());
            asyncRatio.push_back(async.back() / walk.back());
            syncBulkRatio.push_back(sync.back() / bulk.back());
            asyncBulkRatio.push_back(async.back() / bulk.back());
        }
        if (sync.empty())
            continue;
        const double rtt = singleGetMedianMs(sim.port(), security.version);
        std::printf("%s\n", security.name);
        std::printf("  engine, synchronous:   %9.0f rows/s  %.3f round trips per row\n",
                    median(sync), median(syncTrips));
        std::printf("  engine, asynchronous:  %9.0f rows/s  %.3f round trips per row\n",
                    median(async), median(asyncTrips));
        std::printf("  snmpwalk:              %9.0f rows/s  (7 round trips per row)\n",
                    median(walk));
        std::printf("  snmpbulkwalk:          %9.0f rows/s\n", median(bulk));
        std::printf("  engine / snmpwalk:     %.2f (synchronous), %.2f (asynchronous)\n",
                    median(syncRatio), median(asyncRatio));
        std::printf("  engine / snmpbulkwalk: %.2f (synchronous), %.2f (asynchronous)\n",
                    median(syncBulkRatio), median(asyncBulkRatio));
        std::printf("  bulk walk (%d repetitions), synchronous:  %9.0f rows/s\n", kBulk,
                    median(syncBulk));
        std::printf("  bulk walk (%d repetitions), asynchronous: %9.0f rows/s  %.3f round trips "
                    "per row\n",
                    kBulk, median(asyncBulk), median(bulkTrips));
        std::printf("  snmpbulkwalk -Cr%d:    %9.0f rows/s\n", kBulk, median(bulk50));
        std::printf("  bulk walk / snmpbulkwalk -Cr%d: %.2f (the slower of synchronous and "
                    "asynchronous)\n",
                    kBulk, median(bulkRatio));
        std::printf("  single get, median round trip: %.3f ms\n", rtt);
        worstBulk = std::min(worstBulk, median(bulkRatio));
        worstSpeedup = std::min(worstSpeedup, std::min(median(syncRatio), median(asyncRatio)));
        worstRoundTrips =
            std::max(worstRoundTrips, std::max(median(syncTrips), median(asyncTrips)));
    }
    KtSNMPSession::CloseSession();
    if (!allOk || worstSpeedup > 1e8 || worstBulk > 1e8) {
        std::printf("walk speedup over snmpwalk: failed, round trips per row: failed, bulk walk "
                    "over snmpbulkwalk -Cr%d: failed\n",
                    kBulk);
        return 1;
    }
    std::printf("walk speedup over snmpwalk: %.2f, round trips per row: %.3f, bulk walk over "
                "snmpbulkwalk -Cr%d: %.2f\n",
                worstSpeedup, worstRoundTrips, kBulk, worstBulk);
    return 0;
}
