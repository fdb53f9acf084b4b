// The machine-wide registry of the host platform, kept in an INI settings file. A registry key
// is a group of that file and its values are the group's keys:
//
//   [SOFTWARE/Norvane/Modules/HelpPath]
//   1.3.6.1.4.1.32473.11.37.21=/opt/qrn7300xb/bin/QRN7300X.HLP
//   [SOFTWARE/Norvane/Marlin5.1/ExePath]
//   Path=/opt/marlin/bin/
//   [SOFTWARE/Norvane/Marlin5.1/MibFile]
//   Path=/opt/marlin/Conf/MBF/
//
// A key exists when its section header is in the file (even with no value under it).
#pragma once

#include <QString>

class KtRegistry
{
public:
    explicit KtRegistry(const QString &settingsFile) : m_settingsFile(settingsFile) {}

    static QString helpPathKey();    // "SOFTWARE/Norvane/Modules/HelpPath"
    static QString helpPathValue();  // "1.3.6.1.4.1.32473.11.37.21"
    static QString exePathKey();     // "SOFTWARE/Norvane/Marlin5.1/ExePath"
    static QString mibFileKey();     // "SOFTWARE/Norvane/Marlin5.1/MibFile"

    bool keyExists(const QString &key) const;
    // A value of a key; empty when the key or the value is missing.
    QString readValue(const QString &key, const QString &name) const;
    // Adds the key, with no value, when it is missing. Fails quietly when the file cannot be
    // written (a machine-wide file needs the administrator).
    void createKey(const QString &key) const;

    // The help-path value (path of a file in the module's folder); creates the help-path key
    // when it is missing.
    QString ReadHelpPath() const;

    // The folder of the host installation's catalogues: the help path without its last 12
    // characters (the file name), or empty.
    static QString CatalogueFolder(const QString &helpPath);

    // The folder of the per-device parameter files: the host platform's program folder followed
    // by "../Conf/MBF/", replaced by the MibFile path when that key exists; empty when neither
    // key exists.
    QString ParameterFolder() const;

private:
    QString m_settingsFile;
};
