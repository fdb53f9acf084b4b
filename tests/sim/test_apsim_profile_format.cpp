// A profile with a mistake stops the simulator with a message naming the file and the line,
// instead of serving a device that is not what the profile says.
#include "apsim.h"
#include "snmptools.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct BadProfile
{
    const char *name;
    const char *text;
    const char *message;  // part of the error the simulator prints
    int line = 3;         // the line it names
};

class ApSimBadProfile : public ::testing::TestWithParam<BadProfile>
{
};

TEST_P(ApSimBadProfile, RefusedWithFileAndLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.profile"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# a device\n1.3.6.1.2.1.1.5.0 displaystr rw \"ap\"\n");
    file.write(GetParam().text);
    file.close();
    ApSim sim({QStringLiteral("--profile"), path});
    EXPECT_FALSE(sim.start(5000));
    EXPECT_TRUE(sim.error().contains(path + QStringLiteral(":%1: ").arg(GetParam().line)))
        << qPrintable(sim.error());
    EXPECT_TRUE(sim.error().contains(QLatin1String(GetParam().message)))
        << qPrintable(sim.error());
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, ApSimBadProfile,
    ::testing::Values(
        BadProfile{"UnknownSyntax", "1.3.6.1.2.1.1.6.0 string rw \"x\"\n", "unknown syntax"},
        BadProfile{"UnknownAccess", "1.3.6.1.2.1.1.6.0 displaystr readwrite \"x\"\n",
                   "unknown access"},
        BadProfile{"UnquotedText", "1.3.6.1.2.1.1.6.0 displaystr rw x\n", "bad displaystr"},
        BadProfile{"OddHex", "1.3.6.1.4.1.32473.11.37.1.0 octetstr ro 0A0\n", "bad octetstr"},
        BadProfile{"BadAddress", "1.3.6.1.4.1.32473.11.37.1.0 ipaddress ro 10.0.0.256\n",
                   "bad ipaddress"},
        BadProfile{"IntegerTooBig", "1.3.6.1.4.1.32473.11.37.1.0 integer ro 4294967296\n",
                   "bad integer"},
        BadProfile{"BadOid", "1.3.6..1.0 integer ro 1\n", "bad OID"},
        BadProfile{"UnknownAttribute", "1.3.6.1.4.1.32473.11.37.1.0 integer rw 1 colour=red\n",
                   "unknown attribute"},
        BadProfile{"BadRange", "1.3.6.1.4.1.32473.11.37.1.0 integer rw 1 range=5..1\n",
                   "bad range"},
        BadProfile{"UnterminatedString", "1.3.6.1.2.1.1.6.0 displaystr rw \"x\n",
                   "unterminated string"},
        BadProfile{"RowOutsideTable", "row 1 1 2\n", "row outside a table"},
        BadProfile{"ShortRow",
                   "table 1.3.6.1.4.1.32473.11.37.9.1 t\ncolumn 1 integer ro\n"
                   "column 2 integer ro\nrow 1 1\nend\n",
                   "has 1 values for 2 columns", 6},
        BadProfile{"MissingEnd", "table 1.3.6.1.4.1.32473.11.37.9.1 t\ncolumn 1 integer ro\n",
                   "has no end", 4},
        BadProfile{"MissingInclude", "include nowhere\n", "cannot read profile"}),
    [](const ::testing::TestParamInfo<BadProfile> &row) { return row.param.name; });

TEST(ApSimProfileFormat, SameMustNameAVariableOfTheSameSyntax)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mirror.profile"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1.3.6.1.4.1.32473.11.37.1.0 integer rw 1\n"
               "1.3.6.1.4.1.32473.11.37.2.0 displaystr ro \"x\" "
               "same=1.3.6.1.4.1.32473.11.37.1.0\n");
    file.close();
    ApSim sim({QStringLiteral("--profile"), path});
    EXPECT_FALSE(sim.start(5000));
    EXPECT_TRUE(sim.error().contains(QStringLiteral("same="))) << qPrintable(sim.error());
}

// Later lines override earlier ones, an included profile comes first, and a table given again
// replaces the whole table.
TEST(ApSimProfileFormat, IncludesAndOverrides)
{
    QTemporaryDir dir;
    auto write = [&dir](const char *name, const char *text) {
        QFile file(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("base.profile",
          "1.3.6.1.4.1.32473.11.37.1.0 integer ro 1\n"
          "1.3.6.1.4.1.32473.11.37.2.0 integer ro 2\n"
          "table 1.3.6.1.4.1.32473.11.37.3.1 t\ncolumn 1 integer na\ncolumn 2 displaystr ro\n"
          "row 1 1 \"one\"\nrow 2 2 \"two\"\nend\n");
    write("variant.profile",
          "include base\n"
          "1.3.6.1.4.1.32473.11.37.1.0 integer ro 0x0103\n"
          "1.3.6.1.4.1.32473.11.37.2.0 integer na 2\n"
          "table 1.3.6.1.4.1.32473.11.37.3.1 t\ncolumn 1 integer na\ncolumn 2 displaystr ro\n"
          "row 7 7 \"seven \\\"7\\\"\"\nend\n");
    ApSim sim({QStringLiteral("--profile"), dir.filePath(QStringLiteral("variant.profile"))});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    SnmpResult walk = runSnmpTool(QStringLiteral("snmpwalk"),
                                  v2c() + QStringList{target(sim.port()), QLatin1String(kVendor)});
    ASSERT_TRUE(walk.ok()) << qPrintable(walk.err);
    QStringList lines = walk.lines();
    lines.removeIf([](const QString &line) { return line.contains(QStringLiteral("No more")); });
    EXPECT_EQ(lines, (QStringList{QStringLiteral(".1.3.6.1.4.1.32473.11.37.1.0 = INTEGER: 259"),
                                  QStringLiteral(".1.3.6.1.4.1.32473.11.37.3.1.2.7 = STRING: "
                                                 "\"seven \\\"7\\\"\"")}));
}

} // namespace
