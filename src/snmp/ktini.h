// Values of INI files (the per-device launch parameter file), read the way the host platform's
// profile-string reader reads them, and the path joining used for the module's files.
#pragma once

#include <QString>

class KtIni
{
public:
    explicit KtIni(const QString &fileName) : m_fileName(fileName) {}

    const QString &fileName() const { return m_fileName; }

    // The value of key in section, without surrounding white space. A missing file, section or
    // key, or an empty value, gives def. Section and key names are compared without regard to
    // case; the first matching key of the first matching section counts. A value enclosed in
    // matching quotes loses them. At most 4095 characters of a value are read.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;

private:
    QString m_fileName;
};

// directory and name with one "/" between them: an empty directory gives name, a directory
// already ending in "/" gets no second one.
QString JoinPath(const QString &directory, const QString &name);
