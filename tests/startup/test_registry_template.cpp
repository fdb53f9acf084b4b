// The settings-file template the package installs as /etc/qrn7300xb/registry.ini: as shipped
// the module must read it exactly as it reads no file, and never write it (a changed conffile
// makes every upgrade ask the administrator); its commented examples, once uncommented, must
// give the folders its comments promise.
#include "ktregistry.h"
#include "testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray shippedTemplate()
{
    QFile file(qEnvironmentVariable("QRN_SOURCE_DIR")
               + QStringLiteral("/packaging/registry.ini.in"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll();
}

// The template with the commented lines that begin with one of the prefixes uncommented, as an
// administrator would (the examples are the comment lines without a blank after ";").
QByteArray uncommented(const QByteArray &text, const QList<QByteArray> &prefixes)
{
    QByteArray result;
    for (const QByteArray &line : text.split('\n')) {
        bool example = false;
        for (const QByteArray &prefix : prefixes)
            example = example || line.startsWith(';' + prefix);
        result += (example ? line.mid(1) : line) + '\n';
    }
    return result;
}

class RegistryTemplate : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString install(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("etc/qrn7300xb/registry.ini"));
        writeFile(path, content);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(RegistryTemplate, AsShippedReadsLikeNoFileAndIsNeverWritten)
{
    const QByteArray shipped = shippedTemplate();
    ASSERT_FALSE(shipped.isEmpty());
    const QString path = install(shipped);
    const KtRegistry withTemplate(path);
    const KtRegistry withoutFile(m_dir.filePath(QStringLiteral("none/registry.ini")));

    EXPECT_EQ(withTemplate.ReadHelpPath(), withoutFile.ReadHelpPath());
    EXPECT_EQ(withTemplate.ReadHelpPath(), QString());
    EXPECT_EQ(withTemplate.ParameterFolder(), withoutFile.ParameterFolder());
    EXPECT_EQ(withTemplate.ParameterFolder(), QString());
    // Neither platform key exists, not even without a value (that would move the folder).
    EXPECT_FALSE(withTemplate.keyExists(KtRegistry::exePathKey()));
    EXPECT_FALSE(withTemplate.keyExists(KtRegistry::mibFileKey()));

    // The help-path key is there already, so the module has nothing to add.
    EXPECT_TRUE(withTemplate.keyExists(KtRegistry::helpPathKey()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), shipped);
}

TEST_F(RegistryTemplate, UncommentedExamplesGiveTheFoldersTheCommentsName)
{
    const struct {
        const char *name;
        QList<QByteArray> prefixes;
        const char *catalogueFolder;
        const char *parameterFolder;
    } rows[] = {
        {"help path", {"1.3.6.1.4.1.32473.11.37.21="}, "/opt/marlin/modules/qrn7300xb/", ""},
        {"program folder",
         {"[SOFTWARE/Norvane/Marlin5.1/ExePath]", "Path=/opt/marlin/bin/"},
         "",
         "/opt/marlin/bin/../Conf/MBF/"},
        {"parameter folder replaces the program folder's", {"[", "Path="}, "",
         "/opt/marlin/Conf/MBF/"},
        // What the comments warn of: a section line without its value still moves the folder.
        {"program folder's section line alone", {"[SOFTWARE/Norvane/Marlin5.1/ExePath]"}, "",
         "../Conf/MBF/"},
    };
    const QByteArray shipped = shippedTemplate();
    for (const auto &row : rows) {
        const KtRegistry registry(install(uncommented(shipped, row.prefixes)));
        EXPECT_EQ(KtRegistry::CatalogueFolder(registry.ReadHelpPath()),
                  QString::fromUtf8(row.catalogueFolder))
            << row.name;
        EXPECT_EQ(registry.ParameterFolder(), QString::fromUtf8(row.parameterFolder)) << row.name;
    }
}

} // namespace
