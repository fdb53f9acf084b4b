// The time-zone list as the device sends it ("SNTPFile.RD"): any bytes, read into the 75
// daylight-saving flags of Tools \ SNTP. The reader (which takes the file a piece at a time,
// stopping after the last zone) must agree with a plain reading of the whole text, line by line,
// also when the file is read from disk in pieces.
// Links: qrn_forms_maintenance
// Fuzz options: -max_len=40000
#include "fuzzing.h"
#include "ktdevicefiles.h"

#include <cstdlib>

namespace {

// One line per zone (ends LF, CR LF or CR); a zone keeps daylight saving when its line begins
// with 1..9.
KtDaylightSavingTable plainReading(const QByteArray &content)
{
    KtDaylightSavingTable table;
    table.fill(false);
    qsizetype pos = 0;
    for (int zone = 0; zone < KtTimeZoneCount && pos < content.size(); ++zone) {
        const char first = content.at(pos);
        table[std::size_t(zone)] = first >= '1' && first <= '9';
        while (pos < content.size() && content.at(pos) != '\n' && content.at(pos) != '\r')
            ++pos;
        if (pos < content.size() && content.at(pos) == '\r' && pos + 1 < content.size()
            && content.at(pos + 1) == '\n')
            ++pos;
        ++pos;
    }
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const KtDaylightSavingTable read = DaylightSavingOf(content.constData(), content.size());
    if (read != plainReading(content))
        std::abort();
    // From a file: the same flags, whatever the pieces it is read in.
    KtDaylightSavingTable loaded;
    if (!LoadDaylightSavingList(fuzzing::scratchFile(QStringLiteral("SNTPFile.RD"), content),
                                &loaded)
        || loaded != read)
        std::abort();
    return 0;
}
