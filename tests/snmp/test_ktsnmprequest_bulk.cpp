// Bulk walks: a table walked with getbulk delivers what the get-next walk delivers (rows, keys,
// holes, "(NOTDONE)", endOfMibView, errors), in fewer round trips, on the simulated access point,
// on net-snmp's own agent and on a scripted device that misbehaves; with the option off, or over
// SNMPv1, the walk is the get-next walk on the wire.
#include "ktnetsnmpchannel.h"
#include "ktsnmprequest.h"
#include "modulesupport.h"
#include "snmpdagent.h"
#include "snmpresponder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

using namespace SnmpResponder;

// Everything a walk showed: each delivered row, the values the walk ended with, the errors.
struct Walk {
    QVector<QStringList> rows;
    QStringList last;
    QStringList errors;
    bool ok = true;
    quint64 packets = 0;
    bool operator==(const Walk &o) const
    {
        return rows == o.rows && last == o.last && errors == o.errors && ok == o.ok;
    }
};

void PrintTo(const Walk &walk, std::ostream *os)
{
    *os << walk.rows.size() << " rows, last " << walk.last.join(QLatin1Char('|')).toStdString()
        << ", errors " << walk.errors.join(QLatin1Char('|')).toStdString() << ", ok " << walk.ok;
}

QStringList values(const KtSNMPVarList &list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Item(i).value;
    return out;
}

// Walks request's table to its end, synchronously or asynchronously.
Walk walk(KtSNMPRequest &request, bool async)
{
    Walk out;
    request.statusCallback = [&out](const KtSNMPError &status) {
        out.errors << QStringLiteral("%1 %2").arg(status.code).arg(status.text);
    };
    const quint64 before = KtNetSnmp::packetsSent();
    if (!async) {
        bool more = false;
        bool first = true;
        do {
            out.ok = request.ReadSync(first, &more);
            first = false;
            if (out.ok && more)
                out.rows << values(request.list);
        } while (out.ok && more && out.rows.size() < 3000);
    } else {
        bool done = false;
        std::function<void(bool)> step = [&](bool first) {
            request.ReadAsync(
                [&](void *, const KtSNMPError &status, KtSNMPVarList &list) {
                    if (status.code != 0 || status.finished || out.rows.size() >= 3000) {
                        out.ok = status.code == 0;
                        done = true;
                        return;
                    }
                    out.rows << values(list);
                    step(false);
                },
                nullptr, first);
        };
        step(true);
        EXPECT_TRUE(processUntil([&] { return done; }, 60000));
    }
    out.last = values(request.list);
    out.packets = KtNetSnmp::packetsSent() - before;
    return out;
}

using Aim = std::function<void(KtSNMPRequest &)>;

Walk walkWith(const Aim &aimAt, const KtSNMPVarList &list, int repetitions, bool async)
{
    KtSNMPRequest request;
    aimAt(request);
    request.list = list;
    request.bulkRepetitions = repetitions;
    return walk(request, async);
}

// The get-next walk, then bulk walks of several sizes in both modes: each must show the same.
void expectBulkLikeGetNext(const Aim &aimAt, const KtSNMPVarList &list, const std::string &what)
{
    const Walk reference = walkWith(aimAt, list, 0, false);
    for (const auto &[repetitions, async] :
         std::vector<std::pair<int, bool>>{{1, true}, {3, false}, {1000, true}}) {
        const Walk bulk = walkWith(aimAt, list, repetitions, async);
        EXPECT_EQ(bulk, reference) << what << ", " << repetitions << " repetitions"
                                   << (async ? ", asynchronous" : "");
        if (reference.rows.size() > 3 && repetitions >= 3) {
            EXPECT_LT(bulk.packets, reference.packets) << what << ", " << repetitions;
        }
    }
}

KtSNMPVarList tableList(const QString &entry, const QList<QPair<int, int>> &columns, int keys)
{
    std::vector<KtSNMPVarItem> items;
    // Keys read from the row index, as the windows declare them.
    for (int k = 0; k < keys; ++k)
        items.push_back(varItem(entry + QStringLiteral(".%1").arg(columns.value(0).first),
                                SYN_INTEGER, ACC_NOTACCESS));
    for (const auto &[column, syntax] : columns)
        items.push_back(varItem(entry + QStringLiteral(".%1").arg(column), syntax, ACC_READONLY));
    items.push_back(KtSNMPVarItem());
    return KtSNMPVarList(items.data(), keys ? MVT_FMV : MVT_UMV, keys);
}

// Every table of a simulator profile as a window would read it: its columns with their
// syntaxes, one key per sub-identifier of its row index.
std::vector<std::pair<QString, KtSNMPVarList>> profileTables(const QString &profile)
{
    static const std::map<QString, int> syntaxes = {
        {"integer", SYN_INTEGER},     {"octetstr", SYN_OCTETSTR},   {"displaystr", SYN_DISPLAYSTR},
        {"ipaddress", SYN_IPADDRESS}, {"counter", SYN_COUNTER},     {"gauge", SYN_GUAGE},
        {"timeticks", SYN_TIMETICKS}, {"objectid", SYN_OBJECTID}, {"uinteger", SYN_UINTEGER}};
    QFile file(qEnvironmentVariable("QRN_SOURCE_DIR") + QStringLiteral("/sim/profiles/")
               + profile + QStringLiteral(".profile"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << profile.toStdString();
    std::vector<std::pair<QString, KtSNMPVarList>> tables;
    QString entry, name;
    QList<QPair<int, int>> columns;
    int keys = 0;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() >= 3 && words.at(0) == QLatin1String("table")) {
            entry = words.at(1);
            name = words.at(2);
            columns.clear();
            keys = 0;
        } else if (words.size() >= 3 && words.at(0) == QLatin1String("column")) {
            columns << qMakePair(words.at(1).toInt(), syntaxes.count(words.at(2))
                                                          ? syntaxes.at(words.at(2))
                                                          : SYN_OCTETSTR);
        } else if (words.size() >= 2 && words.at(0) == QLatin1String("row") && !keys) {
            keys = static_cast<int>(words.at(1).count(QLatin1Char('.'))) + 1;
        } else if (words.value(0) == QLatin1String("end") && !entry.isEmpty()) {
            tables.emplace_back(name, tableList(entry, columns, keys));
            entry.clear();
        }
    }
    return tables;
}

// Every table of the profiles the windows meet, over SNMPv2c and SNMPv3.
TEST(BulkWalk, SimulatorTablesAsTheGetNextWalk)
{
    for (const char *profile : {"default", "wds", "dhcpfull"}) {
        ApSim sim({QStringLiteral("--profile"), QString::fromLatin1(profile)});
        ASSERT_TRUE(sim.start()) << sim.error().toStdString();
        const auto tables = profileTables(QString::fromLatin1(profile));
        ASSERT_FALSE(tables.empty());
        for (int version : {1, 3}) {
            const Aim aimAt = [&](KtSNMPRequest &r) { aim(r, sim, version); };
            for (const auto &[name, list] : tables) {
                expectBulkLikeGetNext(aimAt, list, std::string(profile) + " "
                                                       + name.toStdString() + " v"
                                                       + std::to_string(version));
            }
        }
    }
}

// Off (the default), and over SNMPv1 even when on, a walk is the get-next walk on the wire:
// one get-next per row and one that ends it. On, the same table goes in getbulks.
TEST(BulkWalk, OffOrOverSnmpV1TheWireCarriesTheGetNextWalk)
{
    ApSim sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    const KtSNMPVarList list =
        tableList(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.3.1"),
                  {{1, SYN_IPADDRESS}, {2, SYN_OCTETSTR}, {7, SYN_DISPLAYSTR}}, 1);
    struct Case {
        int version;
        int repetitions;
        const char *sent;
    };
    for (const Case &c : {Case{1, -1, "v2c getnext "}, Case{0, -1, "v1 getnext "},
                          Case{0, 10, "v1 getnext "}, Case{1, 10, "v2c getbulk "}}) {
        KtSNMPRequest request; // the session's records: bulk walks off
        aim(request, sim, c.version);
        request.list = list;
        if (c.repetitions >= 0)
            request.bulkRepetitions = c.repetitions;
        sim.clearLog();
        const Walk out = walk(request, false);
        ASSERT_TRUE(out.ok);
        ASSERT_EQ(out.rows.size(), 16);
        const QStringList log = logOf(sim, 1);
        const int expected = c.repetitions > 0 && c.version ? 2 : 17;
        ASSERT_EQ(log.size(), expected) << c.sent << log.join(QLatin1Char('\n')).toStdString();
        for (const QString &line : log)
            EXPECT_TRUE(line.startsWith(QLatin1String(c.sent))) << line.toStdString();
    }
}

// net-snmp's own agent: its object resources and its interfaces' fixed columns, over SNMPv2c
// and SNMPv3 with SHA-256 and AES.
TEST(BulkWalk, NetSnmpAgentTablesAsTheGetNextWalk)
{
    SnmpdAgent agent({QStringLiteral("rocommunity varnok 127.0.0.1"),
                      QStringLiteral("createUser sha256aes SHA-256 authpass1 AES privpass1"),
                      QStringLiteral("rouser sha256aes priv")});
    ASSERT_TRUE(agent.start()) << agent.error().toStdString();
    const KtSNMPVarList objects = tableList(QStringLiteral("1.3.6.1.2.1.1.9.1"),
                                            {{2, SYN_OBJECTID}, {3, SYN_DISPLAYSTR}}, 1);
    const KtSNMPVarList interfaces = tableList(
        QStringLiteral("1.3.6.1.2.1.2.2.1"),
        {{1, SYN_INTEGER}, {2, SYN_DISPLAYSTR}, {3, SYN_INTEGER}, {4, SYN_INTEGER}}, 1);
    for (int version : {1, 3}) {
        const Aim aimAt = [&](KtSNMPRequest &r) {
            aim(r, agent.address(), agent.port(), version, QStringLiteral("sha256aes"));
            r.authProtocol = 5; // HMAC-SHA-256
            r.privProtocol = 3; // AES-128
        };
        expectBulkLikeGetNext(aimAt, objects, "sysORTable v" + std::to_string(version));
        expectBulkLikeGetNext(aimAt, interfaces, "ifTable v" + std::to_string(version));
    }
}

const QString kTable = QStringLiteral("1.3.6.1.4.1.99.1.1");

// A get-next script from the cells a device holds: the first cell after each OID asked.
Responder::Script cellsScript(std::map<Oid, qint64> cells, int failAtRow = 0)
{
    return [cells, failAtRow](int, const std::vector<Oid> &asked) {
        Answer a;
        for (const Oid &from : asked) {
            const auto next = cells.upper_bound(from);
            if (next == cells.end()) {
                a.bindings.push_back(endOfMibViewAt(from));
                continue;
            }
            if (failAtRow && next->first.back() == quint32(failAtRow)) {
                a.errorStatus = 5; // genErr
                a.errorIndex = 1;
            }
            a.bindings.push_back({next->first, 0x02, integerContent(next->second)});
        }
        return a;
    };
}

std::map<Oid, qint64> cellsOf(const std::map<int, std::vector<int>> &columnRows,
                              bool followed = true)
{
    std::map<Oid, qint64> cells;
    for (const auto &[column, rows] : columnRows)
        for (int row : rows)
            cells[oidOf(kTable + QStringLiteral(".%1.%2").arg(column).arg(row))] =
                column * 10 + row;
    if (followed)
        cells[oidOf(QStringLiteral("1.3.6.1.4.1.99.2.0"))] = 99; // what follows the table
    return cells;
}

// getbulk answers that are not the rows that follow: the walk goes on with get-next.
Responder::BulkScript brokenBulk(int kind)
{
    return [kind](int repetitions, const std::vector<Oid> &asked) {
        Answer a;
        const Oid &from = asked.at(0);
        Oid row = from;
        row.resize(oidOf(kTable).size() + 1);
        switch (kind) {
        case 0: // an error status
            a.errorStatus = 5;
            a.errorIndex = 1;
            break;
        case 1: // v1's noSuchName from a device that knows no getbulk
            a.errorStatus = 2;
            a.errorIndex = 1;
            break;
        case 2: // fewer bindings than columns
            break;
        case 3: // more repetitions than asked
            for (int r = 0; r <= repetitions; ++r)
                for (const Oid &oid : asked)
                    a.bindings.push_back({oid, 0x02, integerContent(r)});
            break;
        case 4: // the same OID again and again
            for (const Oid &oid : asked) {
                Oid next = oid;
                next.push_back(1);
                a.bindings.push_back({next, 0x02, integerContent(1)});
                a.bindings.push_back({next, 0x02, integerContent(1)});
            }
            break;
        case 5: // noSuchInstance, which no walk answer may carry
            for (const Oid &oid : asked)
                a.bindings.push_back({oid, 0x81, {}});
            break;
        case 6: // a value after endOfMibView
            for (const Oid &oid : asked)
                a.bindings.push_back(endOfMibViewAt(oid));
            for (const Oid &oid : asked) {
                Oid next = oid;
                next.push_back(7);
                a.bindings.push_back({next, 0x02, integerContent(7)});
            }
            break;
        }
        return a;
    };
}

// The scripted device: holes, a column ending in endOfMibView, a walk that goes back, an error
// in the middle, and getbulk answers of every broken kind.
TEST(BulkWalk, ScriptedDeviceAsTheGetNextWalk)
{
    const Oid first = oidOf(kTable + QStringLiteral(".1"));
    // Column 1 ends in endOfMibView after row 1, column 2 goes on to row 3.
    const Responder::Script endInOneColumn = [first](int, const std::vector<Oid> &asked) {
        Answer a;
        for (const Oid &from : asked) {
            Oid next(from.begin(), from.begin() + static_cast<long>(first.size()));
            const bool inFirst = next == first;
            const quint32 row = from.size() > next.size() ? from.back() : 0;
            if ((inFirst && row >= 1) || (!inFirst && row >= 3)) {
                a.bindings.push_back(endOfMibViewAt(from));
                continue;
            }
            next.push_back(row + 1);
            a.bindings.push_back({next, 0x02, integerContent((inFirst ? 10 : 20) + row + 1)});
        }
        return a;
    };
    // Rows 1 and 2 of column 1, then row 1 again.
    const Responder::Script goesBack = [first](int, const std::vector<Oid> &asked) {
        Answer a;
        for (const Oid &from : asked) {
            Oid next = first;
            next.push_back(from.size() > first.size() && from.back() == 1 ? 2 : 1);
            a.bindings.push_back({next, 0x02, integerContent(next.back())});
        }
        return a;
    };
    const auto holes = cellsOf({{1, {1, 3, 4}}, {2, {1, 2, 3}}, {3, {2, 4, 5}}});
    const auto full = cellsOf({{1, {1, 2, 3, 4, 5, 6}}, {2, {1, 2, 3, 4, 5, 6}}});
    struct Case {
        const char *name;
        Responder::Script script;
        Responder::BulkScript bulk;
        int bulks; // getbulks sent: 0 every request, -1 not counted
    };
    std::vector<Case> cases = {
        {"holes", cellsScript(holes), nullptr, 0},
        {"endOfMibView in one column", endInOneColumn, nullptr, 0},
        {"walk that goes back", goesBack, nullptr, 1},
        {"error in the middle", cellsScript(full, 4), nullptr, -1},
        {"table at the end of the MIB", cellsScript(cellsOf({{1, {1, 2}}, {2, {1, 2}}}, false)),
         nullptr, 0},
    };
    const char *const broken[] = {"getbulk refused",    "getbulk unknown", "too few bindings",
                                  "too many bindings",  "not increasing",  "noSuchInstance",
                                  "value after the end"};
    for (int kind = 0; kind < 7; ++kind)
        cases.push_back({broken[kind], cellsScript(holes), brokenBulk(kind), 1});

    for (const Case &c : cases) {
        Responder device(c.script, c.bulk);
        const Aim aimAt = [&](KtSNMPRequest &r) {
            aim(r, QStringLiteral("127.0.0.1"), device.port(), 1);
            r.timeout = 500;
            r.retries = 0;
        };
        for (int keys : {0, 1}) {
            const KtSNMPVarList list = tableList(
                kTable, {{1, SYN_INTEGER}, {2, SYN_INTEGER}, {3, SYN_INTEGER}}, keys);
            const Walk reference = walkWith(aimAt, list, 0, false);
            for (bool async : {false, true}) {
                device.clear();
                const Walk bulk = walkWith(aimAt, list, 2, async);
                EXPECT_EQ(bulk, reference) << c.name << (async ? ", asynchronous" : "");
                // A device that cannot walk with getbulk is asked once, then with get-next.
                const std::vector<int> commands = device.commands();
                const auto bulks = std::count(commands.begin(), commands.end(), int(GetBulk));
                if (c.bulks > 0) {
                    EXPECT_EQ(bulks, c.bulks) << c.name;
                } else if (c.bulks == 0) {
                    EXPECT_EQ(bulks, static_cast<long>(commands.size())) << c.name;
                }
            }
        }
    }
}

} // namespace
