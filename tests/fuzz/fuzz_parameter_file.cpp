// The per-device parameter file: whatever it holds, its keys are read into the session records
// (or the conversion error is raised), and any key of any section reads without harm.
// Links: qrn_startup
#include "fuzzing.h"
#include "ktini.h"
#include "ktlaunchparameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzing::Input input(data, size);
    // The section and key a reader asks for, then the file.
    const QString section = QString::fromUtf8(input.until('\n'));
    const QString key = QString::fromUtf8(input.until('\n'));
    const QString path = fuzzing::scratchFile(QStringLiteral("10.1.1.5.cfg"), input.rest());

    KtLaunchRecords records;
    try {
        KtLaunchParameters::ReadParameterFile(path, records);
    } catch (const KtConvertError &) {
    }
    const KtIni ini(path);
    ini.ReadString(section, key, QStringLiteral("default"));
    ini.ReadString(KtLaunchParameters::section(), key, QString());
    return 0;
}
