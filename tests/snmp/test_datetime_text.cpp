// The DateAndTime value: its three text forms, its text and its wire bytes.
#include "ktdatetime.h"
#include "testenv.h"

#include <QDate>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct ParseRow {
    const char *name;
    QString text;
    int year, month, day, hour, minutes, seconds, deci;
    char direction;
    int utcHours, utcMinutes;
    QString back;
};

class DateTimeText : public ::testing::TestWithParam<ParseRow> {};

TEST_P(DateTimeText, ParsesAndPrints)
{
    const ParseRow &row = GetParam();
    const KtDateTime dt(row.text);
    EXPECT_EQ(dt.year, row.year);
    EXPECT_EQ(dt.month, row.month);
    EXPECT_EQ(dt.day, row.day);
    EXPECT_EQ(dt.hour, row.hour);
    EXPECT_EQ(dt.minutes, row.minutes);
    EXPECT_EQ(dt.seconds, row.seconds);
    EXPECT_EQ(dt.deciSeconds, row.deci);
    EXPECT_EQ(dt.direction, row.direction);
    EXPECT_EQ(dt.utcHours, row.utcHours);
    EXPECT_EQ(dt.utcMinutes, row.utcMinutes);
    EXPECT_EQ(dt.ToText(), row.back);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateTimeText,
    ::testing::Values(
        ParseRow{"short", "2006-3-5,13:30:15.0", 2006, 3, 5, 13, 30, 15, 0, '+', 0, 0,
                 "2006-3-5,13:30:15.0"},
        ParseRow{"plusOffset", "2006-3-5,13:30:15.0,+8:0", 2006, 3, 5, 13, 30, 15, 0, '+', 8, 0,
                 "2006-3-5,13:30:15.0,+8:0"},
        ParseRow{"minusOffset", "2006-3-5,13:30:15.0,-5:0", 2006, 3, 5, 13, 30, 15, 0, '-', 5, 0,
                 "2006-3-5,13:30:15.0,-5:0"},
        ParseRow{"zeroOffsetPrintsShort", "2010-12-31,23:59:59.9,+0:0", 2010, 12, 31, 23, 59, 59,
                 9, '+', 0, 0, "2010-12-31,23:59:59.9"},
        ParseRow{"leadingZeros", "2006-03-05,01:02:03.4", 2006, 3, 5, 1, 2, 3, 4, '+', 0, 0,
                 "2006-3-5,1:2:3.4"},
        ParseRow{"partialKeepsZeros", "2006-3-5", 2006, 3, 5, 0, 0, 0, 0, '+', 0, 0,
                 "2006-3-5,0:0:0.0"},
        ParseRow{"garbage", "yesterday", 0, 0, 0, 0, 0, 0, 0, '+', 0, 0, "0-0-0,0:0:0.0"},
        ParseRow{"truncatedToWidth", "2006-300-5,13:30:15.0", 2006, 44, 5, 13, 30, 15, 0, '+', 0,
                 0, "2006-44-5,13:30:15.0"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(DateTime, MinusFiveHoursPrintsCommaMinusFiveColonZero)
{
    KtDateTime dt("2006-3-5,13:30:15.0");
    dt.direction = '-';
    dt.utcHours = 5;
    dt.utcMinutes = 0;
    EXPECT_TRUE(dt.ToText().endsWith(".0,-5:0"));
}

TEST(DateTime, DefaultIsNowWithoutOffset)
{
    const QDate before = QDate::currentDate();
    const KtDateTime dt;
    const QDate after = QDate::currentDate();
    const QDate date(dt.year, dt.month, dt.day);
    EXPECT_TRUE(date == before || date == after);
    EXPECT_EQ(dt.deciSeconds, 0);
    EXPECT_EQ(dt.direction, '+');
    EXPECT_EQ(dt.utcHours, 0);
    EXPECT_EQ(dt.utcMinutes, 0);
}

TEST(DateTime, WireBytesAndSwapYear)
{
    const KtDateTime dt("2006-3-5,13:30:15.0,-5:0");
    const QByteArray wire = dt.toWire();
    EXPECT_EQ(wire, QByteArray("\x07\xD6\x03\x05\x0D\x1E\x0F\x00-\x05\x00", 11));
    EXPECT_EQ(KtDateTime::fromWire(wire).ToText(), dt.ToText());
    KtDateTime swapped = dt;
    swapped.SwapYear();
    EXPECT_EQ(swapped.year, 0xD607);
    swapped.SwapYear();
    EXPECT_EQ(swapped.year, 2006);
}

} // namespace
