// Expressions of the items' get and set expressions (arithmetic) and of row filters (logical).
#pragma once

#include <QString>

namespace KtExpression {
double EvaluateArithmetic(const QString &text);
bool EvaluateLogical(const QString &text); // throws KtException -1 for a bad operand
double NowAsDayCount();                    // the local date-time as days since 1899-12-30
} // namespace KtExpression
