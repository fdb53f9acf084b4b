// The settings file that stands in for the host platform's registry keys.
#include "ktregistry.h"
#include "testenv.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RegistrySettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("etc/registry.ini"));
    }

    void write(const QByteArray &content)
    {
        writeFile(m_path, content);
    }

    QByteArray content() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(RegistrySettings, MissingFileGetsTheHelpPathKeyCreated)
{
    const KtRegistry registry(m_path);
    EXPECT_EQ(registry.ReadHelpPath(), QString());
    EXPECT_TRUE(registry.keyExists(KtRegistry::helpPathKey()));
    EXPECT_EQ(content(), QByteArray("[SOFTWARE/Norvane/Modules/HelpPath]\n"));
    // Only that key: the platform's keys are never created.
    EXPECT_FALSE(registry.keyExists(KtRegistry::exePathKey()));
    EXPECT_EQ(registry.ParameterFolder(), QString());

    // A second start finds the key and writes nothing.
    EXPECT_EQ(registry.ReadHelpPath(), QString());
    EXPECT_EQ(content(), QByteArray("[SOFTWARE/Norvane/Modules/HelpPath]\n"));
}

TEST_F(RegistrySettings, CreatingTheKeyKeepsWhatTheFileHeld)
{
    write("[SOFTWARE/Norvane/Marlin5.1/ExePath]\nPath=/opt/marlin/bin/");
    const KtRegistry registry(m_path);
    registry.ReadHelpPath();
    EXPECT_TRUE(registry.keyExists(KtRegistry::helpPathKey()));
    EXPECT_EQ(registry.ParameterFolder(), QStringLiteral("/opt/marlin/bin/../Conf/MBF/"));
}

// Without the administrator's rights the machine-wide file cannot be created; start-up goes on.
TEST_F(RegistrySettings, UnwritableFileFailsQuietly)
{
    write("blocker");
    const KtRegistry registry(m_path + QStringLiteral("/registry.ini")); // below a file
    EXPECT_EQ(registry.ReadHelpPath(), QString());
    EXPECT_FALSE(registry.keyExists(KtRegistry::helpPathKey()));
}

TEST_F(RegistrySettings, HelpPathValueAndCatalogueFolder)
{
    write("[SOFTWARE/Norvane/Modules/HelpPath]\n"
          "1.3.6.1.4.1.32473.11.37.21=/opt/qrn7300xb/bin/QRN7300X.HLP\n");
    const KtRegistry registry(m_path);
    const QString helpPath = registry.ReadHelpPath();
    EXPECT_EQ(helpPath, QStringLiteral("/opt/qrn7300xb/bin/QRN7300X.HLP"));
    EXPECT_EQ(KtRegistry::CatalogueFolder(helpPath), QStringLiteral("/opt/qrn7300xb/bin/"));
}

TEST(RegistryCatalogueFolder, RemovesTwelveCharactersOrGivesEmpty)
{
    EXPECT_EQ(KtRegistry::CatalogueFolder(QString()), QString());
    EXPECT_EQ(KtRegistry::CatalogueFolder(QStringLiteral("QRN7300X.HLP")), QString());
    EXPECT_EQ(KtRegistry::CatalogueFolder(QStringLiteral("short")), QString());
    EXPECT_EQ(KtRegistry::CatalogueFolder(QStringLiteral("/QRN7300X.HLP")), QStringLiteral("/"));
}

TEST_F(RegistrySettings, MibFileReplacesTheFolderFromExePath)
{
    write("[SOFTWARE/Norvane/Marlin5.1/ExePath]\nPath=/opt/marlin/bin/\n"
          "[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath=/srv/mbf/\n");
    EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QStringLiteral("/srv/mbf/"));
}

// A key without a value exists: its missing value reads as empty.
TEST_F(RegistrySettings, EmptyKeyExistsWithEmptyValue)
{
    write("[SOFTWARE/Norvane/Marlin5.1/ExePath]\nPath=/opt/marlin/bin/\n"
          "[SOFTWARE/Norvane/Marlin5.1/MibFile]\n");
    EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QString());
    write("[SOFTWARE/Norvane/Marlin5.1/ExePath]\n");
    EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QStringLiteral("../Conf/MBF/"));
}

// Registry names ignore case, and the file may be written by QSettings in its own layout or
// with the registry's backslashes.
TEST_F(RegistrySettings, KeySpellingsAndQSettingsLayout)
{
    {
        QSettings settings(m_path, QSettings::IniFormat);
        settings.setValue(QStringLiteral("SOFTWARE/Norvane/Marlin5.1/ExePath/Path"),
                          QStringLiteral("/opt/m/"));
    }
    EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QStringLiteral("/opt/m/../Conf/MBF/"));
    {
        // QSettings puts a value with "," or ";" in quotes.
        QSettings settings(m_path, QSettings::IniFormat);
        settings.setValue(QStringLiteral("SOFTWARE/Norvane/Marlin5.1/MibFile/Path"),
                          QStringLiteral("/srv/a,b;c d/"));
    }
    EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QStringLiteral("/srv/a,b;c d/"));

    write("[software\\norvane\\marlin5.1\\mibfile]\npath=/srv/lower/\n");
    EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QStringLiteral("/srv/lower/"));
}

// A value is the text after "=" as written: no character of a path is taken for a comment, a
// list separator or an escape; only surrounding blanks and enclosing double quotes go.
TEST_F(RegistrySettings, PathsAreReadAsWritten)
{
    const struct {
        const char *line;
        const char *folder;
    } rows[] = {
        {"Path=/srv/Marlin 5.1/a,b/", "/srv/Marlin 5.1/a,b/"},
        {"Path=/srv/a;b/", "/srv/a;b/"},
        {"Path=/srv/x#1/", "/srv/x#1/"},
        {"Path=/srv/back\\slash/", "/srv/back\\slash/"},
        {"Path =  \"/srv/quoted dir/\"  ", "/srv/quoted dir/"},
        {"Path=/srv/half\"quote/", "/srv/half\"quote/"},
        {"Path=/srv/a=b/", "/srv/a=b/"},
    };
    for (const auto &row : rows) {
        write(QByteArray("[SOFTWARE/Norvane/Marlin5.1/MibFile]\n") + row.line + "\n");
        EXPECT_EQ(KtRegistry(m_path).ParameterFolder(), QString::fromUtf8(row.folder)) << row.line;
    }
}

// A help path whose value holds a semicolon still leads to the catalogue folder.
TEST_F(RegistrySettings, HelpPathWithSemicolonKeepsItsFolder)
{
    write("[SOFTWARE/Norvane/Modules/HelpPath]\n"
          "1.3.6.1.4.1.32473.11.37.21=/opt/qrn;7300/bin/QRN7300X.HLP\n");
    EXPECT_EQ(KtRegistry::CatalogueFolder(KtRegistry(m_path).ReadHelpPath()),
              QStringLiteral("/opt/qrn;7300/bin/"));
}

} // namespace
