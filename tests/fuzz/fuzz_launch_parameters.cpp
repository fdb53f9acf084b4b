// The launch parameters: any command line, with any parameter file beside it, applied to the
// session records as start-up applies them; the lock file named after the resulting caption
// always lies inside its folder.
// Links: qrn_startup
#include "fuzzing.h"
#include "ktinstanceguard.h"
#include "ktlaunchparameters.h"

#include <QStringList>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzing::Input input(data, size);
    // The parameter file comes first, ended by a NUL; the parameters follow, one per line. The
    // file is there both for an address and for no address yet.
    const QByteArray file = input.until('\0');
    fuzzing::scratchFile(QStringLiteral("10.1.1.5.cfg"), file);
    fuzzing::scratchFile(QStringLiteral(".cfg"), file);
    QStringList parameters;
    while (!input.atEnd())
        parameters.append(QString::fromUtf8(input.until('\n')));

    KtLaunchRecords records;
    try {
        KtLaunchParameters::Apply(parameters, fuzzing::scratchFolder(), records);
    } catch (const KtConvertError &) {
    }
    for (const QString &parameter : parameters) {
        try {
            KtLaunchParameters::StrToInt(parameter);
        } catch (const KtConvertError &) {
        }
    }

    const QString folder = fuzzing::scratchFolder() + QStringLiteral("run");
    const QString lock =
        KtInstanceGuard::lockFilePath(QStringLiteral("QRN-7300XB : ") + records.addressText, folder);
    if (!lock.startsWith(folder + QLatin1Char('/'))
        || lock.indexOf(QLatin1Char('/'), folder.size() + 1) >= 0)
        std::abort(); // a caption must never name a file outside the lock folder
    return 0;
}
