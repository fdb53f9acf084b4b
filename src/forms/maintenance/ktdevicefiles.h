// The two text files the device sends to the module's TFTP server on request: its system log
// ("LogFile.RD", shown by Status \ Log) and its time-zone list ("SNTPFile.RD", read by
// Tools \ SNTP). Both come from the network, so the readers take any bytes of any length:
// a file never crashes a window, never holds it up and never makes it build more rows than
// a person can read.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// ---- System log ----
// One line of the log: "Jan  1 00:00:05<TAB>[SYS]System started".
struct KtLogLine {
    QString time;    // up to the first TAB, without surrounding blanks
    QString type;    // between the first "[" after it and the next "]"
    QString message; // everything after that "]"
};

// Splits one line: the time up to the first TAB (empty without one); then anything up to and
// including the first "["; the type up to the next "]"; the message after it. A line without
// that "[...]" gives an empty type and what follows the TAB as the message, so a line with no
// TAB, "[" or "]" is all message.
KtLogLine ParseLogLine(const QString &line);

namespace KtLogFile {
// What a log file gives at most: its last MaxBytes, of those the last MaxLines lines that are
// not empty, each cut to MaxLineChars characters. A device keeps a few hundred lines; only a
// misbehaving one comes near these.
constexpr qint64 MaxBytes = 8 * 1024 * 1024;
constexpr int MaxLines = 10000;
constexpr int MaxLineChars = 2048;
} // namespace KtLogFile

// The lines of a log file's bytes that are not empty, in order (within the limits above). Line
// ends are LF, CR LF or CR; text is UTF-8 (a byte that is not becomes U+FFFD), and control
// characters other than TAB show as U+FFFD.
QStringList LogLinesOf(const QByteArray &content);
// The same for the file at path; false (lines unchanged) when it cannot be read.
bool LoadLogLines(const QString &path, QStringList *lines);

// ---- Time-zone list ----
// The zones of the time-zone list, numbered 1 to KtTimeZoneCount.
constexpr int KtTimeZoneCount = 75;
// Whether each zone (index zone - 1) keeps daylight saving time.
using KtDaylightSavingTable = std::array<bool, KtTimeZoneCount>;

// One line per zone in the list's order: a zone keeps daylight saving when its line begins
// with a digit other than 0. Lines past the last zone are not read; missing ones are false.
KtDaylightSavingTable DaylightSavingOf(const char *data, qint64 size);
// The same for the file at path, read no further than its last zone's first character; false
// (table all false) when it cannot be read.
bool LoadDaylightSavingList(const QString &path, KtDaylightSavingTable *table);
