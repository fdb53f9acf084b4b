// qrn-resources: the meter of bench/resources. Runs the module (qrn-resources-module: the
// module's own program entry with a probe) against qrn-apsim side by side with a bare Qt
// Widgets window of the same size (qrn-bare-window), and prints
//   - the time from start to the first answered status poll on screen (module) and to first
//     shown (bare window), the median of several alternating starts;
//   - resident memory after the idle time, and the share of one core each used over it, both
//     running at once, the lamps blinking (the simulator's default profile blinks three);
//   - the heap in use over window cycles: every window the menus open, opened and closed again
//     and again (offscreen, with the allocator's caches off), after the first ten cycles and
//     after the last;
// and last: "resources vs bare Qt window: start X, memory Y, idle cpu Z%".
//
// Usage: qrn-resources --bin DIR [--idle SECONDS] [--starts N] [--cycles N] [--module PROGRAM]
// (--module: another build of qrn-resources-module in DIR, e.g. one kept from before a change)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "qrn-resources: %s\n", qPrintable(why));
    std::exit(1);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// CPU time (user and system, every thread) of a process in seconds.
double cpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = file.readAll();
    // The fields after the command name, which may hold blanks, start after its ")".
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble(); // utime, stime
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double residentMb(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Waits for a line starting with `word` on the process's output; the line, or empty when the
// process ended or the time ran out first.
QByteArray waitForLine(QProcess &process, const QByteArray &word, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith(word))
                return line;
        }
        if (process.state() == QProcess::NotRunning)
            return {};
        process.waitForReadyRead(20);
    }
    return {};
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

class Bench
{
public:
    Bench(const QString &bin, const QString &module)
        : m_bin(bin + QLatin1Char('/')), m_module(module)
    {
    }
    ~Bench() { stop(m_sim); }

    void startSimulator()
    {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::LocalHost, 0))
            fail(QStringLiteral("no free loopback port"));
        m_port = probe.localPort();
        probe.close();
        const QString work = m_dir.path();
        QDir().mkpath(work + QStringLiteral("/state"));
        QDir().mkpath(work + QStringLiteral("/mbf"));
        QDir().mkpath(work + QStringLiteral("/data"));
        QDir().mkpath(work + QStringLiteral("/run"));
        // Qt wants a runtime folder of the user's own.
        QDir().mkpath(work + QStringLiteral("/xdg"));
        QFile::setPermissions(work + QStringLiteral("/xdg"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ExeOwner);
        writeFile(work + QStringLiteral("/registry.ini"),
                  QStringLiteral("[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath=%1/mbf/\n").arg(work));
        writeFile(work + QStringLiteral("/mbf/127.0.0.1.cfg"),
                  QStringLiteral("[Program Information]\nAgentPort=%1\nVersion=1\n"
                                 "SecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\n"
                                 "PrivProtocol=0\n")
                      .arg(m_port));
        m_sim.setProcessChannelMode(QProcess::SeparateChannels);
        m_sim.start(m_bin + QStringLiteral("qrn-apsim"),
                    {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(m_port),
                     QStringLiteral("--state-dir"), work + QStringLiteral("/state")});
        if (waitForLine(m_sim, "qrn-apsim ready", 20000).isEmpty())
            fail(QStringLiteral("qrn-apsim did not start: ")
                 + QString::fromLocal8Bit(m_sim.readAllStandardError()));
    }

    // The module with its own settings, data and lock folders; every message it would show is
    // logged and answered, so that nothing can hold it.
    void startModule(QProcess &process, int cycles = 0)
    {
        const QString work = m_dir.path();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QRN_SETTINGS"), work + QStringLiteral("/registry.ini"));
        env.insert(QStringLiteral("QRN_DATA_DIR"), work + QStringLiteral("/data"));
        env.insert(QStringLiteral("QRN_RUNTIME_DIR"), work + QStringLiteral("/run"));
        env.insert(QStringLiteral("QRN_DIALOG_LOG"), work + QStringLiteral("/dialogs.log"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), work + QStringLiteral("/xdg"));
        if (cycles > 0) {
            env.insert(QStringLiteral("QRN_RESOURCES_CYCLES"), QString::number(cycles));
            // The heap in use as allocated: without the allocator's per-thread and fast caches,
            // which count freed blocks as in use and would hide or fake a growth of some KB.
            env.insert(QStringLiteral("GLIBC_TUNABLES"),
                       QStringLiteral("glibc.malloc.tcache_count=0:glibc.malloc.mxfast=0"));
            // Without a display server: libX11 keeps a record of every request it sends until
            // it reads a reply, about a hundred bytes per window opened, which is its own.
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        process.setProcessEnvironment(env);
        // The offscreen platform of the cycles warns about every window it cannot size: kept
        // back, and shown only when the cycles fail.
        process.setProcessChannelMode(cycles > 0 ? QProcess::SeparateChannels
                                                 : QProcess::ForwardedErrorChannel);
        process.start(m_bin + m_module,
                      {QStringLiteral("/I127.0.0.1"), QStringLiteral("/Rvarnok"),
                       QStringLiteral("/Wtesmira")});
    }

    void startBare(QProcess &process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path() + QStringLiteral("/xdg"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(m_bin + QStringLiteral("qrn-bare-window"),
                      {QString::number(m_width), QString::number(m_height)});
    }

    // Milliseconds from the start to the module's first answered status poll on screen.
    double moduleStart()
    {
        const QByteArray ready = timeTo([this](QProcess &p) { startModule(p); }, "ready",
                                        QStringLiteral("the module did not report its first "
                                                       "answered status poll"));
        const QList<QByteArray> words = ready.split(' ');
        m_width = words.value(1).toInt();
        m_height = words.value(2).toInt();
        return m_lastMs;
    }

    double bareStart()
    {
        timeTo([this](QProcess &p) { startBare(p); }, "shown",
               QStringLiteral("the bare window was not shown"));
        return m_lastMs;
    }

    struct Idle {
        double moduleMb = 0, bareMb = 0, moduleCpu = 0, bareCpu = 0;
    };

    Idle idle(int seconds)
    {
        QProcess module, bare;
        startModule(module);
        startBare(bare);
        if (waitForLine(module, "ready", 30000).isEmpty()
            || waitForLine(bare, "shown", 30000).isEmpty())
            fail(QStringLiteral("the module or the bare window did not start"));
        // The start is over: its own work is not idle time.
        QThread::msleep(2000);
        const double module0 = cpuSeconds(module.processId());
        const double bare0 = cpuSeconds(bare.processId());
        QElapsedTimer clock;
        clock.start();
        QThread::msleep(static_cast<unsigned long>(seconds) * 1000);
        const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        Idle result;
        result.moduleCpu = (cpuSeconds(module.processId()) - module0) / wall * 100.0;
        result.bareCpu = (cpuSeconds(bare.processId()) - bare0) / wall * 100.0;
        result.moduleMb = residentMb(module.processId());
        result.bareMb = residentMb(bare.processId());
        if (module.state() != QProcess::Running || bare.state() != QProcess::Running)
            fail(QStringLiteral("the module or the bare window ended while idle"));
        stop(module);
        stop(bare);
        return result;
    }

    // The probe's report of the window cycles.
    QList<QByteArray> cycles(int count)
    {
        QProcess module;
        startModule(module, count);
        const auto failed = [&module](const QString &why) {
            fail(why + QStringLiteral("\n") + QString::fromLocal8Bit(module.readAllStandardError()));
        };
        if (waitForLine(module, "ready", 30000).isEmpty())
            failed(QStringLiteral("the module did not start for the window cycles"));
        m_paints = waitForLine(module, "paints", 60000);
        const QByteArray summary = waitForLine(module, "cycles", count * 60000);
        if (summary.isEmpty())
            failed(QStringLiteral("the window cycles did not end"));
        QList<QByteArray> lines{summary};
        module.waitForFinished(30000);
        while (module.canReadLine())
            lines.append(module.readLine().trimmed());
        stop(module);
        return lines;
    }

    // "paints SECONDS TOTAL LAMPS": the main window's widgets painted while it idled.
    QByteArray paints() const { return m_paints; }

private:
    // Starts a process, waits for its line starting with word and ends it again; the line, and
    // the milliseconds it took in m_lastMs.
    template <typename Start>
    QByteArray timeTo(Start start, const QByteArray &word, const QString &failure)
    {
        QProcess process;
        QElapsedTimer clock;
        clock.start();
        start(process);
        const QByteArray line = waitForLine(process, word, 30000);
        m_lastMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        stop(process);
        if (line.isEmpty())
            fail(failure);
        return line;
    }

    static void writeFile(const QString &path, const QString &text)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            fail(QStringLiteral("cannot write ") + path);
    }

    QString m_bin;
    QString m_module;
    QTemporaryDir m_dir;
    QProcess m_sim;
    quint16 m_port = 0;
    int m_width = 0;
    int m_height = 0;
    QByteArray m_paints;
    double m_lastMs = 0;
};

QString option(const QStringList &args, const QString &name, const QString &fallback)
{
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString bin = option(args, QStringLiteral("--bin"), QString());
    const int idleSeconds = option(args, QStringLiteral("--idle"), QStringLiteral("60")).toInt();
    const int starts = option(args, QStringLiteral("--starts"), QStringLiteral("5")).toInt();
    const int cycleCount = option(args, QStringLiteral("--cycles"), QStringLiteral("100")).toInt();
    if (bin.isEmpty() || idleSeconds <= 0 || starts <= 0 || cycleCount <= 10)
        fail(QStringLiteral("usage: qrn-resources --bin DIR [--idle SECONDS] [--starts N] "
                            "[--cycles N (more than 10)]"));

    Bench bench(bin, option(args, QStringLiteral("--module"),
                            QStringLiteral("qrn-resources-module")));
    bench.startSimulator();

    // Alternating, so that a busy moment of the machine falls on both alike.
    bench.moduleStart(); // warm-up: libraries and fonts into the file cache, the window size
    bench.bareStart();
    std::vector<double> moduleMs, bareMs;
    for (int i = 0; i < starts; ++i) {
        moduleMs.push_back(bench.moduleStart());
        bareMs.push_back(bench.bareStart());
    }
    const double moduleStart = median(moduleMs);
    const double bareStart = median(bareMs);
    std::printf("start (median of %d): module %.0f ms to the first answered status poll on "
                "screen, bare window %.0f ms to first shown\n",
                starts, moduleStart, bareStart);
    std::fflush(stdout);

    const Bench::Idle idle = bench.idle(idleSeconds);
    std::printf("resident memory after %d s idle: module %.1f MB, bare window %.1f MB\n",
                idleSeconds, idle.moduleMb, idle.bareMb);
    std::printf("cpu over %d s idle, lamps blinking: module %.2f%% of one core, bare window "
                "%.2f%%\n",
                idleSeconds, idle.moduleCpu, idle.bareCpu);
    std::fflush(stdout);

    // "cycles N windows M (names) heap A B resident C D", then "window NAME heap +X".
    const QList<QByteArray> report = bench.cycles(cycleCount);
    const QByteArray &summary = report.first();
    const int open = summary.indexOf('(');
    const int close = summary.lastIndexOf(')');
    const QList<QByteArray> before = summary.left(open).split(' ');
    const QList<QByteArray> after = summary.mid(close + 2).split(' ');
    const double heapGrowthKb = (after.value(2).toDouble() - after.value(1).toDouble()) / 1024.0;
    const double residentGrowthKb = after.value(5).toDouble() - after.value(4).toDouble();
    std::printf("window cycles: %s of each of %s windows (%s): heap in use %+.1f KB, resident "
                "%+.0f KB from cycle 10 to cycle %s\n",
                before.value(1).constData(), before.value(3).constData(),
                summary.mid(open + 1, close - open - 1).constData(), heapGrowthKb,
                residentGrowthKb, before.value(1).constData());
    const QList<QByteArray> paints = bench.paints().split(' ');
    std::printf("widgets painted in %s s idle, lamps blinking: %s, of them lamps %s\n",
                paints.value(1).constData(), paints.value(2).constData(),
                paints.value(3).constData());
    for (int i = 1; i < report.size(); ++i) {
        if (report.at(i).startsWith("window "))
            std::printf("  %s bytes\n", report.at(i).constData());
    }

    std::printf("resources vs bare Qt window: start %.2f, memory %.2f, idle cpu %.2f%%\n",
                moduleStart / bareStart, idle.moduleMb / idle.bareMb, idle.moduleCpu);
    return 0;
}
