// Small helpers every kind of test uses: waiting while the event loop runs, writing a file,
// reading the simulator's log once it has caught up, readable texts in failure messages.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

class ApSim;

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Runs the event loop until condition() holds; false if it still does not after timeoutMs.
// The bound only ends a hung test.
bool processUntil(const std::function<bool()> &condition, int timeoutMs = 20000);

// Writes content to filePath, creating its folder first; a file that cannot be written fails
// the test.
void writeFile(const QString &filePath, const QByteArray &content);

// The simulator writes its log line just after it has answered: its log once it holds at least
// `lines` lines, or whatever it holds after timeoutMs.
QStringList logOf(const ApSim &sim, int lines, int timeoutMs = 2000);
