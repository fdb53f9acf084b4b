// What the fuzz targets share: a reader that takes typed pieces off the input, a scratch folder
// for the files a target has the code under test read, and the Qt application object the event
// loops need.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// Takes pieces off the front of the input; past its end every piece is zero or empty, so a
// target never needs to check the length itself.
class Input
{
public:
    Input(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data)), m_size(data ? size : 0)
    {
    }

    bool atEnd() const { return m_pos >= m_size; }
    size_t left() const { return m_size - m_pos; }

    quint8 byte() { return atEnd() ? 0 : static_cast<quint8>(m_data[m_pos++]); }
    quint16 word()
    {
        const quint8 high = byte(); // in this order, whatever the compiler's order of operands
        return static_cast<quint16>((high << 8) | byte());
    }
    bool flag() { return (byte() & 1) != 0; }
    // A number in [0, count), count > 0.
    int pick(int count) { return byte() % count; }

    QByteArray bytes(size_t count)
    {
        count = count < left() ? count : left();
        const QByteArray piece(m_data + m_pos, static_cast<qsizetype>(count));
        m_pos += count;
        return piece;
    }
    // The piece up to the next byte `end` (which is taken off too), or the rest.
    QByteArray until(char end)
    {
        size_t stop = m_pos;
        while (stop < m_size && m_data[stop] != end)
            ++stop;
        const QByteArray piece(m_data + m_pos, static_cast<qsizetype>(stop - m_pos));
        m_pos = stop < m_size ? stop + 1 : stop;
        return piece;
    }
    // A piece whose length is the next byte.
    QByteArray sized() { return bytes(byte()); }
    QByteArray rest() { return bytes(left()); }

private:
    const char *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// The whole input, as the text a file of those bytes would give: UTF-8 where it is UTF-8.
inline QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// A folder of the process's own, removed at exit.
inline const QString &scratchFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/qrn-fuzz-XXXXXX"));
    static const QString path = folder.path() + QLatin1Char('/');
    return path;
}

// Writes the bytes to the file of that name in the scratch folder; its path.
inline QString scratchFile(const QString &name, const QByteArray &content)
{
    const QString path = scratchFolder() + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    return path;
}

// The application object of the targets that run an event loop; made once, never destroyed.
inline void coreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "qrn-fuzz";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

} // namespace fuzzing
