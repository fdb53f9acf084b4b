#include "ktexpression.h"

#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmpvalue.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QVector>

namespace {

// Position of the ")" that closes the "(" at open, skipping hidden positions; -1 when none.
int matchingParen(const QString &text, int open, const QVector<bool> &hidden)
{
    int depth = 0;
    for (int i = open; i < text.size(); ++i) {
        if (!hidden.isEmpty() && hidden.at(i))
            continue;
        if (text.at(i) == QLatin1Char('('))
            ++depth;
        else if (text.at(i) == QLatin1Char(')') && --depth == 0)
            return i;
    }
    return -1;
}

double arithmeticOperand(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("NOW"), Qt::CaseInsensitive) == 0)
        return KtExpression::NowAsDayCount();
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    return ok ? v : 0.0;
}

// The first "-" that subtracts. A "-" right after "*" or "/" is the sign of the operand that
// follows: a negative result written back in place of its parentheses ("2*(1-3)" becomes "2*-2")
// must still multiply as a negative number instead of splitting the text there.
int binaryMinus(const QString &text)
{
    for (int at = text.indexOf(QLatin1Char('-')); at >= 0;
         at = text.indexOf(QLatin1Char('-'), at + 1)) {
        int before = at - 1;
        while (before >= 0 && text.at(before).isSpace())
            --before;
        if (before < 0 || (text.at(before) != QLatin1Char('*')
                           && text.at(before) != QLatin1Char('/')))
            return at;
    }
    return -1;
}

// Characters inside double quotes are hidden from the operator search, the quotes included.
QVector<bool> quotedRegions(const QString &text)
{
    QVector<bool> hidden(text.size(), false);
    int open = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('"'))
            continue;
        if (open < 0) {
            open = i;
        } else {
            for (int k = open; k <= i; ++k)
                hidden[k] = true;
            open = -1;
        }
    }
    return hidden;
}

int findOutside(const QString &text, const QString &op, const QVector<bool> &hidden)
{
    for (int i = text.indexOf(op); i >= 0; i = text.indexOf(op, i + 1)) {
        bool visible = true;
        for (int k = i; k < i + op.size(); ++k)
            visible = visible && !hidden.at(k);
        if (visible)
            return i;
    }
    return -1;
}

[[noreturn]] void throwBadOperand()
{
    throw KtException(-1, KtMessages::text(KtMessages::Table::Common, 1));
}

QString comparisonSide(const QString &text)
{
    QString t = text.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"')))
        t = t.mid(1, t.size() - 2);
    if (t.compare(QLatin1String("NOW"), Qt::CaseInsensitive) == 0)
        t = QString::number(KtExpression::NowAsDayCount(), 'g', 15);
    return t;
}

} // namespace

namespace KtExpression {

double NowAsDayCount()
{
    static const QDate zero(1899, 12, 30);
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<double>(zero.daysTo(now.date()))
           + now.time().msecsSinceStartOfDay() / 86400000.0;
}

// Operators are found by their first occurrence, so a-b-c is a-(b-c): the items' expressions
// were written against that rule.
double EvaluateArithmetic(const QString &text)
{
    const int open = text.indexOf(QLatin1Char('('));
    if (open >= 0) {
        // An unclosed "(" runs to the end of the text.
        const int close = matchingParen(text, open, {});
        const QString inside =
            close < 0 ? text.mid(open + 1) : text.mid(open + 1, close - open - 1);
        const QString after = close < 0 ? QString() : text.mid(close + 1);
        return EvaluateArithmetic(text.left(open) + KtValue::realText(EvaluateArithmetic(inside))
                                  + after);
    }
    int at = text.indexOf(QLatin1Char('+'));
    if (at >= 0)
        return EvaluateArithmetic(text.left(at)) + EvaluateArithmetic(text.mid(at + 1));
    at = binaryMinus(text);
    if (at >= 0) {
        const QString left = text.left(at);
        const double l = left.trimmed().isEmpty() ? 0.0 : EvaluateArithmetic(left);
        return l - EvaluateArithmetic(text.mid(at + 1));
    }
    // The part left of the first "*" can still hold a "/" (8/2*3): it is evaluated, not read
    // as a plain number, which would make it 0.
    at = text.indexOf(QLatin1Char('*'));
    if (at >= 0)
        return EvaluateArithmetic(text.left(at)) * EvaluateArithmetic(text.mid(at + 1));
    at = text.indexOf(QLatin1Char('/'));
    if (at >= 0)
        return arithmeticOperand(text.left(at)) / EvaluateArithmetic(text.mid(at + 1));
    return arithmeticOperand(text);
}

bool EvaluateLogical(const QString &text)
{
    const QVector<bool> hidden = quotedRegions(text);

    const int open = findOutside(text, QStringLiteral("("), hidden);
    if (open >= 0) {
        const int close = matchingParen(text, open, hidden);
        if (close >= 0) {
            const bool inner = EvaluateLogical(text.mid(open + 1, close - open - 1));
            return EvaluateLogical(text.left(open)
                                   + (inner ? QStringLiteral("true") : QStringLiteral("false"))
                                   + text.mid(close + 1));
        }
    }
    int at = findOutside(text, QStringLiteral("|"), hidden);
    if (at >= 0)
        return EvaluateLogical(text.left(at)) || EvaluateLogical(text.mid(at + 1));
    at = findOutside(text, QStringLiteral("&"), hidden);
    if (at >= 0)
        return EvaluateLogical(text.left(at)) && EvaluateLogical(text.mid(at + 1));
    at = findOutside(text, QStringLiteral("!"), hidden);
    if (at >= 0) {
        if (!text.left(at).trimmed().isEmpty())
            throwBadOperand();
        return !EvaluateLogical(text.mid(at + 1));
    }

    static const char *const operators[] = {"<>", ">=", "<=", ">", "<", "="};
    for (const char *op : operators) {
        const QString opText = QString::fromLatin1(op);
        at = findOutside(text, opText, hidden);
        if (at < 0)
            continue;
        const QString left = comparisonSide(text.left(at));
        const QString right = comparisonSide(text.mid(at + opText.size()));
        if (opText == QLatin1String("<>"))
            return left != right;
        if (opText == QLatin1String("="))
            return left == right;
        // Byte-string order: the text 10 sorts before the text 9.
        const QByteArray l = left.toUtf8();
        const QByteArray r = right.toUtf8();
        if (opText == QLatin1String(">="))
            return l >= r;
        if (opText == QLatin1String("<="))
            return l <= r;
        if (opText == QLatin1String(">"))
            return l > r;
        return l < r;
    }

    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    throwBadOperand();
}

} // namespace KtExpression
