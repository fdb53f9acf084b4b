// Value format specifiers and their bounds: any format text, split and parsed, and any typed
// text checked against what parsed, both while typing and on leaving the edit.
// Links: qrn_snmp_widgets
#include "fuzzing.h"
#include "kteditconstraint.h"
#include "ktexception.h"
#include "ktformatspecifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzing::Input input(data, size);
    const QString format = QString::fromUtf8(input.until('\n'));
    const QString typed = QString::fromUtf8(input.rest());
    for (const QString &specifier : KtFormatSpec::Split(format)) {
        KtFormatSpec spec;
        try {
            spec = KtFormatSpec::Parse(specifier);
        } catch (const KtException &) {
            continue;
        }
        spec.isNumeric();
        KtEditConstraint::FirstBadCharacter(spec, typed);
        KtEditConstraint::Check(spec, typed);
    }
    return 0;
}
