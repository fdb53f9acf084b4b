#include "ktdevicefiles.h"

#include <QFile>

#include <vector>

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The position after the line end at pos (CR LF counts as one).
qsizetype afterLineEnd(const char *data, qsizetype size, qsizetype pos)
{
    if (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n')
        return pos + 2;
    return pos + 1;
}

QString displayLine(const char *data, qsizetype length)
{
    // Decoding is bounded too: no character takes more than four bytes.
    const qsizetype decoded = qMin<qsizetype>(length, qsizetype(KtLogFile::MaxLineChars) * 4);
    QString line = QString::fromUtf8(data, decoded);
    if (line.size() > KtLogFile::MaxLineChars || decoded < length) {
        line.truncate(KtLogFile::MaxLineChars);
        line.append(QChar(0x2026)); // the rest of the line is left out
    }
    for (QChar &c : line) {
        const char16_t unit = c.unicode();
        if ((unit < 0x20 && unit != u'\t') || unit == 0x7f)
            c = QChar::ReplacementCharacter;
    }
    return line;
}

// Reads the time-zone list a piece at a time: only the first character of each line counts.
class DaylightSavingReader
{
public:
    explicit DaylightSavingReader(KtDaylightSavingTable &table) : m_table(table)
    {
        m_table.fill(false);
    }

    bool done() const { return m_zone >= KtTimeZoneCount; }

    // Returns whether more of the file is needed.
    bool feed(const char *data, qint64 size)
    {
        for (qint64 i = 0; i < size && !done(); ++i) {
            const char c = data[i];
            if (m_skipLineFeed) {
                m_skipLineFeed = false;
                if (c == '\n')
                    continue;
            }
            if (isLineEnd(c)) {
                m_skipLineFeed = c == '\r';
                m_atLineStart = true;
                ++m_zone;
                continue;
            }
            if (m_atLineStart) {
                m_table[std::size_t(m_zone)] = c >= '1' && c <= '9';
                m_atLineStart = false;
            }
        }
        return !done();
    }

private:
    KtDaylightSavingTable &m_table;
    int m_zone = 0;
    bool m_atLineStart = true;
    bool m_skipLineFeed = false; // a CR ended the last line: an LF right after it is its end too
};

} // namespace

KtLogLine ParseLogLine(const QString &line)
{
    KtLogLine parsed;
    const qsizetype tab = line.indexOf(u'\t');
    const qsizetype afterTab = tab < 0 ? 0 : tab + 1;
    if (tab >= 0)
        parsed.time = line.left(tab).trimmed();
    const qsizetype open = line.indexOf(u'[', afterTab);
    const qsizetype close = open < 0 ? -1 : line.indexOf(u']', open + 1);
    if (close < 0) {
        parsed.message = line.mid(afterTab);
        return parsed;
    }
    parsed.type = line.mid(open + 1, close - open - 1);
    parsed.message = line.mid(close + 1);
    return parsed;
}

QStringList LogLinesOf(const QByteArray &content)
{
    const char *data = content.constData();
    const qsizetype size = content.size();
    // The last MaxLines lines that are not empty, as (start, length) in a ring.
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    std::vector<Span> ring;
    qsizetype next = 0; // where the next span goes once the ring is full
    qsizetype pos = 0;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && !isLineEnd(data[end]))
            ++end;
        if (end > pos) {
            const Span span{pos, end - pos};
            if (ring.size() < std::size_t(KtLogFile::MaxLines)) {
                ring.push_back(span);
            } else {
                ring[std::size_t(next)] = span;
                next = (next + 1) % KtLogFile::MaxLines;
            }
        }
        pos = end < size ? afterLineEnd(data, size, end) : end;
    }
    QStringList lines;
    lines.reserve(qsizetype(ring.size()));
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Span &span = ring[(std::size_t(next) + i) % ring.size()];
        lines.append(displayLine(data + span.start, span.length));
    }
    return lines;
}

bool LoadLogLines(const QString &path, QStringList *lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    const bool tailOnly = size > KtLogFile::MaxBytes;
    if (tailOnly && !file.seek(size - KtLogFile::MaxBytes))
        return false;
    QByteArray content = file.read(KtLogFile::MaxBytes);
    if (file.error() != QFileDevice::NoError)
        return false;
    if (tailOnly) {
        // The newest lines: the one cut at the front is left out.
        qsizetype first = 0;
        while (first < content.size() && !isLineEnd(content.at(first)))
            ++first;
        if (first < content.size())
            content.remove(0, first + 1);
    }
    *lines = LogLinesOf(content);
    return true;
}

KtDaylightSavingTable DaylightSavingOf(const char *data, qint64 size)
{
    KtDaylightSavingTable table;
    DaylightSavingReader reader(table);
    if (data && size > 0)
        reader.feed(data, size);
    return table;
}

bool LoadDaylightSavingList(const QString &path, KtDaylightSavingTable *table)
{
    table->fill(false);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    KtDaylightSavingTable read;
    DaylightSavingReader reader(read);
    char buffer[16384];
    for (;;) {
        const qint64 count = file.read(buffer, sizeof buffer);
        if (count < 0)
            return false;
        if (count == 0 || !reader.feed(buffer, count))
            break;
    }
    *table = read;
    return true;
}
