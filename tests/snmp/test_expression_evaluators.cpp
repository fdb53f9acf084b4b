// Arithmetic and logical expressions of item expressions and row filters.
#include "ktexception.h"
#include "ktexpression.h"
#include "testenv.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct ArithmeticRow {
    const char *name;
    QString text;
    double value;
};

class Arithmetic : public ::testing::TestWithParam<ArithmeticRow> {};

TEST_P(Arithmetic, Evaluates)
{
    EXPECT_DOUBLE_EQ(KtExpression::EvaluateArithmetic(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Arithmetic,
    ::testing::Values(
        ArithmeticRow{"number", "42", 42},
        ArithmeticRow{"real", " 2.5 ", 2.5},
        // The first "-" splits: 10-(2-3).
        ArithmeticRow{"minusSplitsAtFirst", "10-2-3", 11},
        ArithmeticRow{"plusBeforeTimes", "1+2*3", 7},
        ArithmeticRow{"timesSplitsAtFirst", "2*3*4", 24},
        ArithmeticRow{"divideSplitsAtFirst", "100/10/2", 20},
        ArithmeticRow{"divisionLeftOfTimes", "8/2*3", 12},
        ArithmeticRow{"leadingMinus", "-5", -5},
        ArithmeticRow{"parentheses", "(10-2)-3", 5},
        ArithmeticRow{"nestedParentheses", "((1+1)*(2+3))/4", 2.5},
        ArithmeticRow{"negativeResultInParentheses", "(1-3)*2", -4},
        // A negative result written back after "*" or "/" is a signed operand, not a split.
        ArithmeticRow{"timesNegativeParentheses", "2*(1-3)", -4},
        ArithmeticRow{"divideByNegativeParentheses", "10/(1-3)", -5},
        ArithmeticRow{"negativeProductThenMinus", "2*(0-3)-1", -7},
        ArithmeticRow{"negativeProductThenPlus", "2 * (0-3)+1", -5},
        ArithmeticRow{"minusOfNegativeParentheses", "10-(2-3)", 11},
        ArithmeticRow{"ticksToSeconds", "360000/100", 3600},
        ArithmeticRow{"unparsableOperandIsZero", "abc+1", 1},
        ArithmeticRow{"empty", "", 0}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(Arithmetic, NowIsTodaysDayCount)
{
    const double today = QDate(1899, 12, 30).daysTo(QDate::currentDate());
    const double now = KtExpression::EvaluateArithmetic("now");
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.0001);
    EXPECT_NEAR(KtExpression::EvaluateArithmetic("NOW-1"), now - 1, 0.001);
}

struct LogicalRow {
    const char *name;
    QString text;
    bool value;
};

class Logical : public ::testing::TestWithParam<LogicalRow> {};

TEST_P(Logical, Evaluates)
{
    EXPECT_EQ(KtExpression::EvaluateLogical(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Logical,
    ::testing::Values(
        LogicalRow{"trueAnyCase", " TRUE ", true},
        LogicalRow{"false", "false", false},
        // Byte-string order: "10" sorts before "9".
        LogicalRow{"greaterIsByteOrder", "10>9", false},
        LogicalRow{"lessIsByteOrder", "10<9", true},
        LogicalRow{"greaterOrEqual", "abc>=abc", true},
        LogicalRow{"lessOrEqual", "b<=a", false},
        LogicalRow{"equalTrimsAndStripsQuotes", " \"ap 1\" = ap 1", true},
        LogicalRow{"equalIsCaseSensitive", "AP=ap", false},
        LogicalRow{"notEqual", "1<>2", true},
        LogicalRow{"notEqualPreferredOverLess", "a<>a", false},
        LogicalRow{"or", "false|1=1", true},
        LogicalRow{"and", "1=1&2=3", false},
        LogicalRow{"orBeforeAnd", "1=1|1=2&1=2", true},
        LogicalRow{"not", "!1=2", true},
        LogicalRow{"parentheses", "(1=1|1=2)&1=2", false},
        LogicalRow{"notOfParentheses", "!(1=2|2=3)", true},
        LogicalRow{"quotedOperatorsHidden", "\"a|b&c\"=\"a|b&c\"", true},
        LogicalRow{"quotedParenthesisHidden", "\"(x\"=\"(x\"", true},
        LogicalRow{"quotedComparisonHidden", "\"1=2\"<>\"\"", true},
        LogicalRow{"emptyStringsEqual", "\"\"=\"\"", true}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(Logical, OrDoesNotEvaluateTheRightWhenTheLeftHolds)
{
    // The right part is a bad operand: evaluating it would throw.
    EXPECT_TRUE(KtExpression::EvaluateLogical("true|bogus"));
    EXPECT_FALSE(KtExpression::EvaluateLogical("false&bogus"));
}

TEST(Logical, NowComparesAgainstTheDayCountText)
{
    EXPECT_TRUE(KtExpression::EvaluateLogical("NOW>3"));
    EXPECT_TRUE(KtExpression::EvaluateLogical("NOW<>1"));
}

struct BadOperandRow {
    const char *name;
    QString text;
};

class BadOperand : public ::testing::TestWithParam<BadOperandRow> {};

TEST_P(BadOperand, RaisesCommonError1)
{
    try {
        KtExpression::EvaluateLogical(GetParam().text);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -1);
        EXPECT_EQ(e.text(), "(KtCommon) Bad logic operand!");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadOperand,
    ::testing::Values(BadOperandRow{"word", "yes"}, BadOperandRow{"empty", ""},
                      BadOperandRow{"number", "1"}, BadOperandRow{"andWithBadRight", "true&x"},
                      BadOperandRow{"textBeforeNot", "a!true"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
