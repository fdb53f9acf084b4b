// Reading the launch parameter file, and the path joining of the module's files.
#include "ktini.h"
#include "testenv.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    KtIni write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("10.1.1.5.cfg"));
        writeFile(path, content);
        return KtIni(path);
    }

    QTemporaryDir m_dir;
};

const QString kSection = QStringLiteral("Program Information");

TEST_F(IniFile, ValueLosesSurroundingWhiteSpace)
{
    KtIni ini = write("[Program Information]\nSecurityName =   admin user \t\r\n");
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("SecurityName"), QString()),
              QStringLiteral("admin user"));
}

TEST_F(IniFile, MissingFileSectionKeyOrEmptyValueGiveTheDefault)
{
    const QString def = QStringLiteral("dflt");
    EXPECT_EQ(KtIni(m_dir.filePath(QStringLiteral("none.cfg")))
                  .ReadString(kSection, QStringLiteral("Version"), def),
              def);
    KtIni ini = write("[Other]\nVersion=3\n[Program Information]\nAgentPort=\nContextName=   \n");
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("Version"), def), def);
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("AgentPort"), def), def);
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("ContextName"), def), def);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Missing"), QStringLiteral("Version"), def), def);
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("Version"), QString()), QString());
}

TEST_F(IniFile, NamesIgnoreCaseAndTheRightSectionCounts)
{
    KtIni ini = write("; parameters of one access point\n"
                      "[Defaults]\nVersion=1\n"
                      "[ program information ]\nversion=3\nVersion=0\n"
                      "[Later]\nVersion=2\n");
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("VERSION"), QString()), QStringLiteral("3"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("later"), QStringLiteral("Version"), QString()),
              QStringLiteral("2"));
}

// A second section of the same name is not searched: the key missing from the first one gives
// the default.
TEST_F(IniFile, OnlyTheFirstSectionOfANameCounts)
{
    KtIni ini = write("[Program Information]\nVersion=3\n[Other]\nAgentPort=1\n"
                      "[Program Information]\nVersion=1\nAgentPort=2\n");
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("Version"), QString()), QStringLiteral("3"));
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("AgentPort"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
}

TEST_F(IniFile, ValueKeepsEqualsSignsAndLosesMatchingQuotes)
{
    KtIni ini = write("[Program Information]\nAuthPassword=a=b;c\nPrivPassword=\" quoted \"\n"
                      "SecurityName='half\n");
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("AuthPassword"), QString()),
              QStringLiteral("a=b;c"));
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("PrivPassword"), QString()),
              QStringLiteral("quoted"));
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("SecurityName"), QString()),
              QStringLiteral("'half"));
}

TEST_F(IniFile, LongValueIsCutTo4095Characters)
{
    KtIni ini = write("[Program Information]\nContextName=" + QByteArray(5000, 'c') + "\n");
    EXPECT_EQ(ini.ReadString(kSection, QStringLiteral("ContextName"), QString()),
              QString(4095, u'c'));
}

struct JoinRow {
    const char *directory;
    const char *name;
    const char *joined;
};

class JoinPathRows : public ::testing::TestWithParam<JoinRow>
{
};

TEST_P(JoinPathRows, Joins)
{
    const JoinRow &row = GetParam();
    EXPECT_EQ(JoinPath(QString::fromLatin1(row.directory), QString::fromLatin1(row.name)),
              QString::fromLatin1(row.joined));
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, JoinPathRows,
    ::testing::Values(JoinRow{"", "ktsnmp.err", "ktsnmp.err"},
                      JoinRow{"/var/lib/qrn7300xb/", "KtSNMP_PP_BootCounter",
                              "/var/lib/qrn7300xb/KtSNMP_PP_BootCounter"},
                      JoinRow{"/var/lib/qrn7300xb", "KtSNMP_PP_BootCounter",
                              "/var/lib/qrn7300xb/KtSNMP_PP_BootCounter"},
                      JoinRow{"relative", "errmsg/snmp.err", "relative/errmsg/snmp.err"}));

} // namespace
