// The settings file standing in for the platform's registry: whatever it holds, the help path,
// the catalogue folder and the parameter folder are read from it, and the help-path key is
// added when missing.
// Links: qrn_startup
#include "fuzzing.h"
#include "ktregistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzing::scratchFile(
        QStringLiteral("registry.ini"),
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const KtRegistry registry(path);
    registry.keyExists(KtRegistry::exePathKey());
    registry.readValue(KtRegistry::mibFileKey(), QStringLiteral("Path"));
    KtRegistry::CatalogueFolder(registry.ReadHelpPath());
    registry.ParameterFolder();
    // Once more after the key was added, as the next start of the module reads it.
    registry.ReadHelpPath();
    return 0;
}
