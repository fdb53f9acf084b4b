// A walk of the vendor subtree returns every variable the profile serves, in lexicographic
// order, and ends cleanly in every SNMP version.
#include "apsim.h"
#include "snmptools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Oid = QVector<quint32>;

Oid toOid(const QString &text)
{
    Oid oid;
    for (const QString &part : text.split(QLatin1Char('.'), Qt::SkipEmptyParts))
        oid.append(part.toUInt());
    return oid;
}

QString oidText(const Oid &oid)
{
    QStringList parts;
    for (quint32 sub : oid)
        parts.append(QString::number(sub));
    return parts.join(QLatin1Char('.'));
}

// What a profile serves: its own small reading of the format (OIDs only), so the test does
// not trust the simulator's parser. Value true = served, false = hidden (access na).
void readProfile(const QString &path, QMap<Oid, bool> *served)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << qPrintable(path);
    Oid entry;
    QList<QPair<quint32, bool>> columns;
    // A quoted string never holds a blank that matters here: only the first words are used.
    const QRegularExpression blanks(QStringLiteral("\\s+"));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList w = line.split(blanks);
        if (w[0] == QLatin1String("include")) {
            readProfile(QFileInfo(path).absolutePath() + QLatin1Char('/') + w[1] +
                            QStringLiteral(".profile"),
                        served);
        } else if (w[0] == QLatin1String("table")) {
            entry = toOid(w[1]);
            columns.clear();
            for (auto it = served->begin(); it != served->end();)
                it = std::equal(entry.begin(), entry.end(), it.key().begin()) &&
                             it.key().size() > entry.size()
                         ? served->erase(it)
                         : std::next(it);
        } else if (w[0] == QLatin1String("column")) {
            columns.append({w[1].toUInt(), w[3] != QLatin1String("na")});
        } else if (w[0] == QLatin1String("row")) {
            for (const auto &column : columns)
                served->insert(entry + Oid{column.first} + toOid(w[1]), column.second);
        } else if (w[0] == QLatin1String("end")) {
            entry.clear();
        } else {
            served->insert(toOid(w[0]), w[2] != QLatin1String("na"));
        }
    }
}

QStringList expectedWalk(const QString &profile, const QString &root)
{
    QMap<Oid, bool> served;
    readProfile(qEnvironmentVariable("QRN_SOURCE_DIR") + QStringLiteral("/sim/profiles/") +
                    profile + QStringLiteral(".profile"),
                &served);
    const Oid prefix = toOid(root);
    QStringList oids;
    for (auto it = served.cbegin(); it != served.cend(); ++it)
        if (it.value() && std::equal(prefix.begin(), prefix.end(), it.key().begin()))
            oids.append(oidText(it.key()));
    return oids;
}

QStringList walkedOids(const SnmpResult &result)
{
    QStringList oids;
    // A walk that reaches the end of the agent's whole view is told so (endOfMibView); that
    // line names the last OID again and is not a variable.
    for (const QString &line : result.lines())
        if (line.startsWith(QLatin1Char('.')) && line.contains(QStringLiteral(" = ")) &&
            !line.contains(QStringLiteral("No more variables left")))
            oids.append(line.mid(1, line.indexOf(QStringLiteral(" = ")) - 1));
    return oids;
}

bool inOrder(const QStringList &oids)
{
    for (int i = 1; i < oids.size(); ++i)
        if (!(toOid(oids[i - 1]) < toOid(oids[i])))
            return false;
    return true;
}

class ApSimWalk : public ::testing::TestWithParam<QStringList>
{
};

TEST_P(ApSimWalk, VendorSubtreeWalkReturnsTheWholeProfileInOrder)
{
    ApSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QStringList expected = expectedWalk(QStringLiteral("default"), QLatin1String(kVendor));
    ASSERT_GT(expected.size(), 100);

    const QStringList args = GetParam();
    const QString tool = args.contains(QStringLiteral("-v1")) ? QStringLiteral("snmpwalk")
                                                              : QStringLiteral("snmpbulkwalk");
    SnmpResult walk = runSnmpTool(tool, args + QStringList{target(sim.port()),
                                                           QLatin1String(kVendor)});
    ASSERT_TRUE(walk.ok()) << qPrintable(walk.err);
    EXPECT_TRUE(walk.err.isEmpty()) << qPrintable(walk.err);
    const QStringList oids = walkedOids(walk);
    EXPECT_TRUE(inOrder(oids));
    EXPECT_EQ(oids, expected);
}

INSTANTIATE_TEST_SUITE_P(Versions, ApSimWalk,
                         ::testing::Values(v1(), v2c(), v3AuthPriv()));

TEST(ApSimWalkSystem, SystemGroupWalkEndsWithTheGroup)
{
    ApSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    SnmpResult walk = runSnmpTool(QStringLiteral("snmpwalk"),
                                  v1() + QStringList{target(sim.port()),
                                                     QStringLiteral("1.3.6.1.2.1.1")});
    ASSERT_TRUE(walk.ok()) << qPrintable(walk.err);
    EXPECT_EQ(walkedOids(walk), expectedWalk(QStringLiteral("default"),
                                             QStringLiteral("1.3.6.1.2.1.1")));
}

TEST(ApSimWalkTable, ColumnParallelGetNextDeliversOneRowPerStep)
{
    ApSim sim({QStringLiteral("--profile"), QStringLiteral("clients1000")});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QString column2 = vendorOid("4.4.5.2.1.2");
    const QString column7 = vendorOid("4.4.5.2.1.7");
    SnmpResult step = runSnmpTool(QStringLiteral("snmpgetnext"),
                                  v2c() + QStringList{target(sim.port()), column2 + ".41",
                                                      column7 + ".41"});
    ASSERT_TRUE(step.ok()) << qPrintable(step.err);
    EXPECT_EQ(walkedOids(step), (QStringList{column2 + ".42", column7 + ".42"}));
    // The last row steps out of its column into the next one.
    step = runSnmpTool(QStringLiteral("snmpgetnext"),
                       v2c() + QStringList{target(sim.port()), column2 + ".1000"});
    EXPECT_EQ(walkedOids(step), QStringList{vendorOid("4.4.5.2.1.3.1")});
    EXPECT_TRUE(sim.log().last().startsWith(QStringLiteral("v2c getnext ") + column2 +
                                            QStringLiteral(".1000 -> noError")));
}

TEST(ApSimWalkTable, ThousandRowTableWalksCompletely)
{
    ApSim sim({QStringLiteral("--profile"), QStringLiteral("clients1000")});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    SnmpResult walk = runSnmpTool(QStringLiteral("snmpbulkwalk"),
                                  v2c() + QStringList{target(sim.port()),
                                                      vendorOid("4.4.5.2")});
    ASSERT_TRUE(walk.ok()) << qPrintable(walk.err);
    const QStringList oids = walkedOids(walk);
    EXPECT_EQ(oids.size(), 7000);
    EXPECT_TRUE(inOrder(oids));
    EXPECT_EQ(oids.last(), vendorOid("4.4.5.2.1.7.1000"));
}

// Every profile shipped with the simulator loads, and a walk serves exactly what it says.
TEST(ApSimProfiles, EveryProfileLoadsAndWalksCompletely)
{
    const QDir dir(qEnvironmentVariable("QRN_SOURCE_DIR") + QStringLiteral("/sim/profiles"));
    const QStringList files = dir.entryList({QStringLiteral("*.profile")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        const QString name = QFileInfo(file).completeBaseName();
        SCOPED_TRACE(name.toStdString());
        ApSim sim({QStringLiteral("--profile"), name});
        ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
        SnmpResult walk = runSnmpTool(QStringLiteral("snmpbulkwalk"),
                                      v2c() + QStringList{target(sim.port()),
                                                          QLatin1String(kVendor)});
        ASSERT_TRUE(walk.ok()) << qPrintable(walk.err);
        EXPECT_EQ(walkedOids(walk), expectedWalk(name, QLatin1String(kVendor)));
    }
}

} // namespace
