#include "ktregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

namespace {

// Registry names ignore case; the file may spell a key with "\" or "/".
QString normalKey(QString key)
{
    key.replace(u'\\', u'/');
    while (key.startsWith(u'/'))
        key.remove(0, 1);
    while (key.endsWith(u'/'))
        key.chop(1);
    return key.toLower();
}

} // namespace

QString KtRegistry::helpPathKey() { return QStringLiteral("SOFTWARE/Norvane/Modules/HelpPath"); }
QString KtRegistry::helpPathValue() { return QStringLiteral("1.3.6.1.4.1.32473.11.37.21"); }
QString KtRegistry::exePathKey() { return QStringLiteral("SOFTWARE/Norvane/Marlin5.1/ExePath"); }
QString KtRegistry::mibFileKey() { return QStringLiteral("SOFTWARE/Norvane/Marlin5.1/MibFile"); }

bool KtRegistry::keyExists(const QString &key) const
{
    const QString wanted = normalKey(key);
    // A key with values can also be written by QSettings itself in its own layout
    // ("[SOFTWARE]" with "Norvane\...\Path=" under it).
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    for (const QString &name : keys) {
        if (normalKey(name).startsWith(wanted + u'/'))
            return true;
    }
    // An empty key is only a section header, which QSettings does not report.
    QFile file(m_settingsFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']') &&
            normalKey(line.mid(1, line.size() - 2).trimmed()) == wanted)
            return true;
    }
    return false;
}

QString KtRegistry::readValue(const QString &key, const QString &name) const
{
    const QString wanted = normalKey(key) + u'/' + name.toLower();
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    for (const QString &candidate : keys) {
        if (normalKey(candidate) != wanted)
            continue;
        // QSettings reads a value with commas as a list; a path may hold commas.
        const QVariant value = settings.value(candidate);
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(u',');
        return value.toString();
    }
    return {};
}

void KtRegistry::createKey(const QString &key) const
{
    if (keyExists(key))
        return;
    QDir().mkpath(QFileInfo(m_settingsFile).absolutePath());
    QFile file(m_settingsFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    // QSettings keeps no empty group, so the header is written as text.
    QByteArray header;
    if (file.size() > 0)
        header += '\n';
    header += '[' + key.toUtf8() + "]\n";
    file.write(header);
}

QString KtRegistry::ReadHelpPath() const
{
    createKey(helpPathKey());
    return readValue(helpPathKey(), helpPathValue());
}

QString KtRegistry::CatalogueFolder(const QString &helpPath)
{
    // The value names a file of 12 characters (8.3) in the module's folder.
    constexpr int kFileNameLength = 12;
    return helpPath.size() > kFileNameLength ? helpPath.left(helpPath.size() - kFileNameLength)
                                             : QString();
}

QString KtRegistry::ParameterFolder() const
{
    QString folder;
    if (keyExists(exePathKey()))
        folder = readValue(exePathKey(), QStringLiteral("Path")) + QStringLiteral("../Conf/MBF/");
    if (keyExists(mibFileKey()))
        folder = readValue(mibFileKey(), QStringLiteral("Path"));
    return folder;
}
