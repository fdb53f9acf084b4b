// The readers of the files the device sends: log lines split into time, type and message, the
// time-zone list's daylight-saving flags, and both bounded whatever the bytes (binary, no line
// end, lines and files of many megabytes).
#include "ktdevicefiles.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct LogLineRow {
    const char *what;
    QString line;
    QString time, type, message;
};

TEST(LogLine, SplitsTimeTypeAndMessage)
{
    const LogLineRow rows[] = {
        {"blank before the TAB", QStringLiteral("Jan  1 00:00:05 \tx[SYS]Started"),
         QStringLiteral("Jan  1 00:00:05"), QStringLiteral("SYS"), QStringLiteral("Started")},
        {"no TAB, [ or ]", QStringLiteral("just text"), {}, {}, QStringLiteral("just text")},
        {"no TAB", QStringLiteral("[NOTICE]Changed"), {}, QStringLiteral("NOTICE"),
         QStringLiteral("Changed")},
        {"[ without ]", QStringLiteral("t\t[SYS no end"), QStringLiteral("t"), {},
         QStringLiteral("[SYS no end")},
        {"] before [", QStringLiteral("t\tx]y[W]m]n"), QStringLiteral("t"), QStringLiteral("W"),
         QStringLiteral("m]n")},
        {"second TAB in the message", QStringLiteral("t\t[S]a\tb"), QStringLiteral("t"),
         QStringLiteral("S"), QStringLiteral("a\tb")},
        {"empty type", QStringLiteral("t\t[]m"), QStringLiteral("t"), {}, QStringLiteral("m")},
    };
    for (const LogLineRow &row : rows) {
        const KtLogLine parsed = ParseLogLine(row.line);
        EXPECT_EQ(parsed.time, row.time) << row.what;
        EXPECT_EQ(parsed.type, row.type) << row.what;
        EXPECT_EQ(parsed.message, row.message) << row.what;
    }
}

TEST(LogFile, LinesOfAnyEndsAndBytes)
{
    EXPECT_EQ(LogLinesOf("a\r\nb\rc\n\n\r\nd"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d")}));
    EXPECT_TRUE(LogLinesOf(QByteArray()).isEmpty());
    // Binary bytes and invalid UTF-8 show as replacement characters; TAB stays for the split.
    const QStringList binary = LogLinesOf(QByteArray("t\t[S]\x01\x00\xff" "end", 11));
    ASSERT_EQ(binary.size(), 1);
    EXPECT_EQ(binary.at(0), QStringLiteral("t\t[S]\uFFFD\uFFFD\uFFFDend"));
    EXPECT_EQ(LogLinesOf("caf\xc3\xa9\n"), QStringList{QStringLiteral("caf\u00e9")});
}

TEST(LogFile, HugeInputsAreBounded)
{
    // One line of 20 MB without a line end: cut to its first MaxLineChars characters.
    const QByteArray huge(20 * 1024 * 1024, 'x');
    const QStringList one = LogLinesOf(huge);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one.at(0).size(), KtLogFile::MaxLineChars + 1);
    EXPECT_TRUE(one.at(0).endsWith(QChar(0x2026)));

    // More lines than a table takes: the newest MaxLines.
    QByteArray many;
    for (int i = 0; i < KtLogFile::MaxLines + 500; ++i)
        many += "t\t[SYS]line " + QByteArray::number(i) + '\n';
    const QStringList kept = LogLinesOf(many);
    ASSERT_EQ(kept.size(), KtLogFile::MaxLines);
    EXPECT_EQ(kept.first(), QStringLiteral("t\t[SYS]line 500"));
    EXPECT_EQ(kept.last(), QStringLiteral("t\t[SYS]line %1").arg(KtLogFile::MaxLines + 499));

    // A file larger than MaxBytes: its newest lines, the one cut at the front left out.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LogFile.RD"));
    QByteArray file(KtLogFile::MaxBytes + 100, 'y');
    file += "\nt\t[SYS]last\n";
    writeFile(path, file);
    QStringList lines{QStringLiteral("before")};
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(LoadLogLines(path, &lines));
    EXPECT_EQ(lines, QStringList{QStringLiteral("t\t[SYS]last")});
    EXPECT_LT(took.elapsed(), 5000);

    QStringList kept2{QStringLiteral("kept")};
    EXPECT_FALSE(LoadLogLines(dir.filePath(QStringLiteral("missing")), &kept2));
    EXPECT_EQ(kept2, QStringList{QStringLiteral("kept")});
}

TEST(DaylightSavingList, FirstCharacterOfEachZonesLine)
{
    QByteArray list;
    for (int zone = 1; zone <= 13; ++zone)
        list += "0\n";
    list += "1\r\n"; // zone 14: Eastern Time
    list += "0\r";   // zone 15: Indiana (East)
    list += "x1\n";  // 16: not a digit
    list += "\n";    // 17: empty
    list += "9 with text\n"; // 18
    const KtDaylightSavingTable table = DaylightSavingOf(list.constData(), list.size());
    for (int zone = 1; zone <= KtTimeZoneCount; ++zone)
        EXPECT_EQ(table[std::size_t(zone - 1)], zone == 14 || zone == 18) << "zone " << zone;

    // Lines past the last zone are not used.
    const QByteArray longer = QByteArray("0\n").repeated(KtTimeZoneCount) + "1\n1\n";
    const KtDaylightSavingTable none = DaylightSavingOf(longer.constData(), longer.size());
    EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
    const QByteArray last = QByteArray("0\n").repeated(KtTimeZoneCount - 1) + "7";
    EXPECT_TRUE(DaylightSavingOf(last.constData(), last.size()).back());
}

TEST(DaylightSavingList, FilesOfAnySize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SNTPFile.RD"));
    // One line of 30 MB: zone 1 only, read no further than needed.
    writeFile(path, "5" + QByteArray(30 * 1024 * 1024, '\0'));
    KtDaylightSavingTable table;
    table.fill(true);
    ASSERT_TRUE(LoadDaylightSavingList(path, &table));
    EXPECT_TRUE(table[0]);
    EXPECT_EQ(std::count(table.begin(), table.end(), true), 1);
    // A CR LF split across two of the reader's pieces ends one line, not two.
    writeFile(path, "1" + QByteArray(16382, 'x') + "\r\n0\n3\n");
    ASSERT_TRUE(LoadDaylightSavingList(path, &table));
    EXPECT_TRUE(table[0]);
    EXPECT_FALSE(table[1]);
    EXPECT_TRUE(table[2]);
    // A missing file: every zone without daylight saving.
    table.fill(true);
    EXPECT_FALSE(LoadDaylightSavingList(dir.filePath(QStringLiteral("none")), &table));
    EXPECT_EQ(std::count(table.begin(), table.end(), true), 0);
}

} // namespace
