// The message catalogues: whatever a catalogue file holds, loading it and taking any text of any
// table, the status line templates and the input-check messages filled from it included.
// Links: qrn_startup
#include "fuzzing.h"
#include "kteditconstraint.h"
#include "ktcatalogues.h"
#include "ktexception.h"
#include "ktformatspecifier.h"
#include "ktmessages.h"
#include "ktsnmprequest.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace KtMessages;
    fuzzing::Input input(data, size);
    // One table from the input, or every table from the same file.
    const int which = input.pick(8);
    const QByteArray content = input.rest();
    const QString folder = fuzzing::scratchFolder() + QStringLiteral("errmsg/");
    QDir().mkpath(folder);
    if (which < 7) {
        const Table table = kAllTables[which];
        LoadCatalogue(table, fuzzing::scratchFile(QStringLiteral("errmsg/") + fileName(table),
                                                  content));
    } else {
        for (Table table : kAllTables)
            fuzzing::scratchFile(QStringLiteral("errmsg/") + fileName(table), content);
        KtCatalogues::LoadFromHostFolder(fuzzing::scratchFolder());
    }

    for (Table table : kAllTables) {
        for (int position = -1; position <= builtInCount(table) + 1; ++position)
            text(table, position);
    }
    // The texts with placeholders, as the code that shows them fills them in.
    for (int code : {0, -101, -119, -201, -217, -301, -314, -401, -423, -500, -528, 7, -1000})
        KtSNMPRequest::MapError(code);
    for (const char *specifier : {"%u{n1x65535}", "%s{l8fn}", "%h{l10f}", "%i{n-5x5}"}) {
        const KtFormatSpec spec = KtFormatSpec::Parse(QString::fromLatin1(specifier));
        for (const char *typed : {"", "70000", "abc", "-9"})
            KtEditConstraint::Check(spec, QString::fromLatin1(typed));
    }
    resetToBuiltIn();
    return 0;
}
