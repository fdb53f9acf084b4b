#include "ktini.h"

#include <QFile>

namespace {

// The reader returns a value through a 4096-byte buffer: one byte goes to the terminating zero.
constexpr int kValueBufferLength = 4096;

QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// The raw value of the key, or a null text when the file, section or key is missing.
QString findValue(const QString &fileName, const QString &section, const QString &key)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            // Only the first section of that name is searched: a key it lacks is missing, even
            // when a later section of the same name has it.
            if (inSection)
                return {};
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QString name = (equals < 0 ? line : line.left(equals)).trimmed();
        if (name.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = equals < 0 ? QString() : unquoted(line.mid(equals + 1).trimmed());
        return value.isNull() ? QStringLiteral("") : value;
    }
    return {};
}

} // namespace

QString KtIni::ReadString(const QString &section, const QString &key, const QString &def) const
{
    QString value = findValue(m_fileName, section, key);
    if (value.isNull())
        value = def;
    value.truncate(kValueBufferLength - 1);
    if (value.isEmpty())
        return def;
    return value.trimmed();
}

QString JoinPath(const QString &directory, const QString &name)
{
    if (directory.isEmpty())
        return name;
    if (directory.endsWith(u'/'))
        return directory + name;
    return directory + u'/' + name;
}
