// The expression evaluators: the items' arithmetic get and set expressions and the logical row
// filters, whose operands are values the device sent.
// Links: qrn_snmp
#include "fuzzing.h"
#include "ktexception.h"
#include "ktexpression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzing::text(data, size);
    KtExpression::EvaluateArithmetic(text);
    try {
        KtExpression::EvaluateLogical(text);
    } catch (const KtException &) {
    }
    return 0;
}
