// Message tables and the catalogue reader.
#include "ktmessages.h"
#include "testenv.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using KtMessages::Table;

namespace {

class MessageCatalogue : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KtMessages::resetToBuiltIn();
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { KtMessages::resetToBuiltIn(); }

    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("catalogue.err"));
        writeFile(path, content);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(MessageCatalogue, BuiltInTextsAtTheirPositions)
{
    EXPECT_EQ(KtMessages::text(Table::Snmp, 18),
              QStringLiteral("(SNMP) Cannot download the overdue firmware!"));
    EXPECT_EQ(KtMessages::text(Table::SnmpClass, 4),
              QStringLiteral("(SNMPClass) SNMP request timed out!"));
    EXPECT_EQ(KtMessages::text(Table::SnmpClass, 8),
              QStringLiteral("(SNMPClass)Unknown error code!"));
    EXPECT_EQ(KtMessages::text(Table::KtSnmp, 8),
              QStringLiteral("(KtSNMP++) Error when saving SNMP engine boots counter!"));
    EXPECT_EQ(KtMessages::text(Table::KtSnmp, 28),
              QStringLiteral("(KtSNMP++) Unknown error code!"));
    EXPECT_EQ(KtMessages::text(Table::SnmpMsg, 1),
              QStringLiteral("Set: [ERROR] Request:[VARLIST]. Receive at [TIME]."));
    EXPECT_EQ(KtMessages::text(Table::Common, 10),
              QStringLiteral("(KtCommon) Please enter a delimited number string with delimiter "
                             "'[DELIMITER]'.\nHere,the count of the number is equal to [COUNT]!"));
    EXPECT_EQ(KtMessages::text(Table::SnmpUsm, 13), QStringLiteral("(SNMPv3USM) Address error!"));
    EXPECT_EQ(KtMessages::text(Table::SnmpV3, 16), QStringLiteral("(SNMPv3) Report sent!"));
}

TEST_F(MessageCatalogue, TableSizesAndFileNames)
{
    const int sizes[] = {19, 17, 14, 23, 29, 2, 19};
    const char *names[] = {"snmp.err",   "snmpv3.err", "snmpusm.err", "snmpclass.err",
                           "ktsnmp.err", "snmp.msg",   "common.err"};
    int i = 0;
    for (Table table : KtMessages::kAllTables) {
        EXPECT_EQ(KtMessages::builtInCount(table), sizes[i]);
        EXPECT_EQ(KtMessages::fileName(table), QLatin1String(names[i]));
        EXPECT_FALSE(KtMessages::text(table, sizes[i] - 1).isEmpty());
        ++i;
    }
}

// A lookup outside a table must never read past it.
TEST_F(MessageCatalogue, PositionsOutsideTheTableGiveEmptyText)
{
    EXPECT_TRUE(KtMessages::text(Table::SnmpMsg, 2).isEmpty());
    EXPECT_TRUE(KtMessages::text(Table::Snmp, -1).isEmpty());
    EXPECT_TRUE(KtMessages::text(Table::Common, 1000).isEmpty());
    EXPECT_TRUE(KtMessages::text(static_cast<Table>(42), 0).isEmpty());
}

TEST_F(MessageCatalogue, BlankLinesAreSkippedAndDoNotCount)
{
    const QString path = write("first\n\n   \n\t\nsecond\r\n\r\nthird\n");
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::SnmpV3, path));
    EXPECT_EQ(KtMessages::text(Table::SnmpV3, 0), QStringLiteral("first"));
    EXPECT_EQ(KtMessages::text(Table::SnmpV3, 1), QStringLiteral("second"));
    EXPECT_EQ(KtMessages::text(Table::SnmpV3, 2), QStringLiteral("third"));
}

TEST_F(MessageCatalogue, LeadingAndTrailingSpacesAreKept)
{
    const QString path = write("  padded message  \r\n\tTabbed\t\nlast line without end  ");
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::Snmp, path));
    EXPECT_EQ(KtMessages::text(Table::Snmp, 0), QStringLiteral("  padded message  "));
    EXPECT_EQ(KtMessages::text(Table::Snmp, 1), QStringLiteral("\tTabbed\t"));
    EXPECT_EQ(KtMessages::text(Table::Snmp, 2), QStringLiteral("last line without end  "));
}

TEST_F(MessageCatalogue, PositionsTheCatalogueDoesNotCoverKeepTheBuiltInText)
{
    const QString path = write("Reworded too big\nReworded no such variable\n");
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::Snmp, path));
    EXPECT_EQ(KtMessages::text(Table::Snmp, 1), QStringLiteral("Reworded no such variable"));
    EXPECT_EQ(KtMessages::text(Table::Snmp, 2),
              QStringLiteral("(SNMP) Cannot modify variable: Bad Value!"));
    EXPECT_TRUE(KtMessages::text(Table::Snmp, 19).isEmpty());
}

TEST_F(MessageCatalogue, MoreMessagesThanBuiltInAreReachable)
{
    QByteArray content;
    for (int i = 0; i < 3; ++i)
        content += "status " + QByteArray::number(i) + "\n";
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::SnmpMsg, write(content)));
    EXPECT_EQ(KtMessages::text(Table::SnmpMsg, 2), QStringLiteral("status 2"));
    EXPECT_TRUE(KtMessages::text(Table::SnmpMsg, 3).isEmpty());
}

TEST_F(MessageCatalogue, OverLongLineBecomesSeveralMessagesOf1023)
{
    const QByteArray longLine = QByteArray(1023, 'a') + QByteArray(1023, 'b') + "tail";
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::Common, write(longLine + "\nnext\n")));
    EXPECT_EQ(KtMessages::text(Table::Common, 0), QString(1023, u'a'));
    EXPECT_EQ(KtMessages::text(Table::Common, 1), QString(1023, u'b'));
    EXPECT_EQ(KtMessages::text(Table::Common, 2), QStringLiteral("tail"));
    EXPECT_EQ(KtMessages::text(Table::Common, 3), QStringLiteral("next"));
}

// A line of exactly 1023 characters fills a piece; its line end alone must not become a message.
TEST_F(MessageCatalogue, LineOfExactly1023CharactersIsOneMessage)
{
    const QByteArray line(1023, 'x');
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::Common, write(line + "\r\nnext\n")));
    EXPECT_EQ(KtMessages::text(Table::Common, 0), QString(1023, u'x'));
    EXPECT_EQ(KtMessages::text(Table::Common, 1), QStringLiteral("next"));

    const QByteArray shorter(1022, 'y');
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::Common, write(shorter + "\r\nnext\n")));
    EXPECT_EQ(KtMessages::text(Table::Common, 0), QString(1022, u'y'));
    EXPECT_EQ(KtMessages::text(Table::Common, 1), QStringLiteral("next"));
}

TEST_F(MessageCatalogue, EmptyOrBlankFileLeavesTheTable)
{
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::KtSnmp, write("loaded before\n")));
    EXPECT_FALSE(KtMessages::LoadCatalogue(Table::KtSnmp, write("")));
    EXPECT_FALSE(KtMessages::LoadCatalogue(Table::KtSnmp, write("\n  \r\n\t\n")));
    EXPECT_EQ(KtMessages::text(Table::KtSnmp, 0), QStringLiteral("loaded before"));
}

TEST_F(MessageCatalogue, MissingFileLeavesTheTable)
{
    EXPECT_FALSE(
        KtMessages::LoadCatalogue(Table::KtSnmp, m_dir.filePath(QStringLiteral("none.err"))));
    EXPECT_FALSE(KtMessages::LoadCatalogue(Table::KtSnmp, m_dir.path())); // a folder
    EXPECT_EQ(KtMessages::text(Table::KtSnmp, 0), QStringLiteral("(KtSNMP++) Ok!"));
}

TEST_F(MessageCatalogue, LoadingTheSameFileTwiceGivesTheSameTable)
{
    const QString path = write("one\n\ntwo\n");
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::SnmpUsm, path));
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::SnmpUsm, path));
    EXPECT_EQ(KtMessages::text(Table::SnmpUsm, 0), QStringLiteral("one"));
    EXPECT_EQ(KtMessages::text(Table::SnmpUsm, 1), QStringLiteral("two"));
    EXPECT_EQ(KtMessages::text(Table::SnmpUsm, 2),
              QStringLiteral("(SNMPv3USM) Unsupported SecurityLevel!"));
}

TEST_F(MessageCatalogue, SingleByteTextKeepsEveryByte)
{
    ASSERT_TRUE(KtMessages::LoadCatalogue(Table::Snmp, write("Fehler \xe4\xf6\xfc!\n")));
    EXPECT_EQ(KtMessages::text(Table::Snmp, 0), QString::fromLatin1("Fehler \xe4\xf6\xfc!"));
}

// The shipped catalogues must give the built-in texts back, position for position. A catalogue
// line cannot hold a line break, so the two-line texts of the common table hold a blank instead.
TEST_F(MessageCatalogue, ShippedCataloguesMatchTheBuiltInTexts)
{
    const QString source = qEnvironmentVariable("QRN_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty());
    for (Table table : KtMessages::kAllTables) {
        KtMessages::resetToBuiltIn();
        QStringList builtIn;
        for (int p = 0; p < KtMessages::builtInCount(table); ++p)
            builtIn.append(KtMessages::text(table, p).replace(u'\n', u' '));
        const QString path = source + QStringLiteral("/errmsg/") + KtMessages::fileName(table);
        ASSERT_TRUE(KtMessages::LoadCatalogue(table, path)) << path.toStdString();
        for (int p = 0; p < builtIn.size(); ++p)
            EXPECT_EQ(KtMessages::text(table, p), builtIn.at(p)) << path.toStdString() << " " << p;
        EXPECT_TRUE(KtMessages::text(table, builtIn.size()).isEmpty()) << path.toStdString();
    }
}

} // namespace
