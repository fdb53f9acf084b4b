// The system log as the device sends it ("LogFile.RD"): any bytes, split into lines and each
// line into time, type and message as Status \ Log shows them. Whatever the input, the lines
// kept stay within the table's bounds, hold no control character but TAB, and every line splits.
// Links: qrn_forms_maintenance
#include "fuzzing.h"
#include "ktdevicefiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList lines = LogLinesOf(content);
    if (lines.size() > KtLogFile::MaxLines)
        std::abort();
    for (const QString &line : lines) {
        if (line.isEmpty() || line.size() > KtLogFile::MaxLineChars + 1)
            std::abort();
        for (const QChar c : line) {
            if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7f)
                std::abort();
        }
        const KtLogLine parsed = ParseLogLine(line);
        // The pieces come out of the line: never longer than it together.
        if (parsed.time.size() + parsed.type.size() + parsed.message.size() > line.size())
            std::abort();
    }
    return 0;
}
