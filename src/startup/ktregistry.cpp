#include "ktregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QStringList>

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

// What the settings file holds: every section header, and every value with the full key path
// of its name (section, "/", name), both normalised.
struct SettingsText {
    QStringList sections;
    QList<QPair<QString, QString>> values;
};

// The file is read as it is written: a value is the text after the first "=", without
// surrounding blanks and without enclosing double quotes. Nothing else in it has a meaning of
// its own, so a path may hold ";", "#", "," or "\" (a QSettings reader would take ";" for the
// start of a comment and "\" for an escape). A value written by QSettings in its own layout
// ("[SOFTWARE]" with "Norvane\...\Path=") is found through its full key path.
SettingsText readSettings(const QString &settingsFile)
{
    SettingsText text;
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return text;
    QString section;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = normalKey(line.mid(1, line.size() - 2).trimmed());
            // QSettings keeps the values outside any group in "[General]".
            if (section == QLatin1String("general"))
                section.clear();
            text.sections.append(section);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString name = normalKey(line.left(equals).trimmed());
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        text.values.append({section.isEmpty() ? name : section + u'/' + name, value});
    }
    return text;
}

} // namespace

QString KtRegistry::helpPathKey() { return QStringLiteral("SOFTWARE/Norvane/Modules/HelpPath"); }
QString KtRegistry::helpPathValue() { return QStringLiteral("1.3.6.1.4.1.32473.11.37.21"); }
QString KtRegistry::exePathKey() { return QStringLiteral("SOFTWARE/Norvane/Marlin5.1/ExePath"); }
QString KtRegistry::mibFileKey() { return QStringLiteral("SOFTWARE/Norvane/Marlin5.1/MibFile"); }

bool KtRegistry::keyExists(const QString &key) const
{
    const QString wanted = normalKey(key);
    const SettingsText text = readSettings(m_settingsFile);
    // A key exists when its section header is there (even with no value under it), or when a
    // value lies below it.
    if (text.sections.contains(wanted))
        return true;
    for (const auto &value : text.values) {
        if (value.first.startsWith(wanted + u'/'))
            return true;
    }
    return false;
}

QString KtRegistry::readValue(const QString &key, const QString &name) const
{
    const QString wanted = normalKey(key) + u'/' + name.toLower();
    const SettingsText text = readSettings(m_settingsFile);
    for (const auto &value : text.values) {
        if (value.first == wanted)
            return value.second;
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
