// Tools \ Configuration File against qrn-apsim: the device sends its configuration to the
// window's own TFTP server (a real transfer by the simulator's TFTP client) and takes it back,
// all or nothing; the server takes and gives only the file chosen; every refusal writes nothing.
#include "ktsnmprequest2edits.h"
#include "tfm_cfgfile.h"
#include "tftpserver.h"
#include "transferwindowtest.h"

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QStatusBar>
#include <QUdpSocket>

namespace {

const QString kSaved = QStringLiteral("The configuration file saved successfully!");
const QString kSaveFailed = QStringLiteral("Fail to save the configuration file!");
const QString kUpdateFailed = QStringLiteral("The configuration file updated fail!");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ConfigurationFileWindow : public TransferWindowTest
{
protected:
    // Chooses path in the save dialog, presses the save OK and waits for the window's verdict.
    void saveTo(TFM_CfgFile &window, const QString &path)
    {
        m_dialogs.chooseFile(path);
        window.Bt_SaveBrowse->click();
        ASSERT_EQ(window.Ed_SaveFile->text(), path);
        m_dialogs.clear();
        window.Bt_SaveOK->click();
        ASSERT_TRUE(processUntil([&] { return !m_dialogs.messages().isEmpty(); }, 60000));
    }

    // Chooses path in the open dialog, presses the update OK and waits until the device's
    // answers are in (the waiting window shown, or a message).
    void restoreFrom(TFM_CfgFile &window, const QString &path)
    {
        m_dialogs.chooseFile(path);
        window.Bt_Browse->click();
        ASSERT_EQ(window.Ed_UpgFile->text(), path);
        m_dialogs.clear();
        m_waiting.clear();
        window.Bt_OK->click();
        ASSERT_TRUE(processUntil(
            [&] { return !m_dialogs.messages().isEmpty() || !m_waiting.shown().isEmpty(); },
            60000));
    }

    // What a client at another port receives for one request at the window's server.
    QByteArray answerTo(const QByteArray &request)
    {
        QUdpSocket stranger;
        if (!stranger.bind(QHostAddress::LocalHost, 0))
            return "cannot bind";
        stranger.writeDatagram(request, QHostAddress::LocalHost, m_tftpPort);
        if (!processUntil([&] { return stranger.hasPendingDatagrams(); }, 5000))
            return "no answer";
        return stranger.receiveDatagram().data();
    }
};

TEST_F(ConfigurationFileWindow, SaveWritesWhatTheDeviceSentAndTheServerTakesNothingElse)
{
    startTransferDevice();
    const QString saved = file(QStringLiteral("saved.cfg"));
    const QString other = file(QStringLiteral("other.cfg"));
    writeFile(other, "not the device's\n");
    TFM_CfgFile window(m_form.get());
    window.Ed_UpgFile->setText(file(QStringLiteral("some.cfg")));
    markLog();
    saveTo(window, saved);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(m_dialogs.texts(), QStringList{kSaved});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("OK"));
    EXPECT_TRUE(window.Ed_UpgFile->text().isEmpty());
    EXPECT_TRUE(window.Ed_SaveFile->text().isEmpty());

    const QByteArray content = contentOf(saved);
    EXPECT_TRUE(content.startsWith("# QRN-7300XB configuration\n")) << content.left(60).data();
    EXPECT_EQ(content, contentOf(QDir(sim().workDir()).filePath(QStringLiteral("tftp-put.cfg"))));
    EXPECT_EQ(shortWritesSinceMark(),
              (QStringList{QStringLiteral("set 4.3.3.1.0=127.0.0.1 4.3.3.2.0=\"saved.cfg\" "
                                          "-> noError"),
                           QStringLiteral("set 4.3.3.4.0=3 -> noError")}));

    // The folder is the user's: another name is not taken, the saved file is not given out.
    const QByteArray accessViolation("\0\5\0\2\0", 5);
    const QByteArray fileNotFound("\0\5\0\1\0", 5);
    EXPECT_EQ(answerTo(QByteArray("\0\2other.cfg\0octet\0", 17)), accessViolation);
    EXPECT_EQ(answerTo(QByteArray("\0\2../escape.cfg\0octet\0", 22)), accessViolation);
    EXPECT_EQ(answerTo(QByteArray("\0\1saved.cfg\0octet\0", 17)), fileNotFound);
    EXPECT_EQ(contentOf(other), QByteArray("not the device's\n"));
    EXPECT_FALSE(QFile::exists(QDir(m_files.path()).filePath(QStringLiteral("../escape.cfg"))));
}

TEST_F(ConfigurationFileWindow, SavedConfigurationRestoresTheDeviceThenItRestarts)
{
    startTransferDevice();
    const QString saved = file(QStringLiteral("saved.cfg"));
    TFM_CfgFile window(m_form.get());
    saveTo(window, saved);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(m_dialogs.texts(), QStringList{kSaved});

    simCommand(QStringLiteral("set hSSID.1 Changed-11a"));
    simCommand(QStringLiteral("set hSSID.2 Changed-11g"));
    markLog();
    restoreFrom(window, saved);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(simValue(QStringLiteral("hSSID.1")), QStringLiteral("displaystr \"Norvane-11a\""));
    EXPECT_EQ(simValue(QStringLiteral("hSSID.2")), QStringLiteral("displaystr \"Norvane-11g\""));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
    EXPECT_EQ(m_waiting.shown().at(0).commandDelay, 5);
    EXPECT_EQ(m_waiting.shown().at(0).label3, QStringLiteral("Waiting for reboot..."));
    EXPECT_EQ(window.Ed_UpgFile->text(), saved);
    EXPECT_EQ(shortWritesSinceMark(),
              (QStringList{QStringLiteral("set 4.3.3.1.0=127.0.0.1 4.3.3.2.0=\"saved.cfg\" "
                                          "-> noError"),
                           QStringLiteral("set 4.3.3.4.0=2 -> noError"),
                           QStringLiteral("set 4.3.3.5.0=3 -> noError")}));
}

// One bad line in a restored file: the device keeps every value, good lines included.
TEST_F(ConfigurationFileWindow, RestoreIsAllOrNothing)
{
    startTransferDevice();
    const QString saved = file(QStringLiteral("saved.cfg"));
    TFM_CfgFile window(m_form.get());
    saveTo(window, saved);
    if (HasFatalFailure())
        return;
    QByteArray edited = contentOf(saved);
    ASSERT_TRUE(edited.contains("\"Norvane-11g\""));
    edited.replace("\"Norvane-11g\"", "\"Edited-11g\"");
    edited.append("1.3.6.1.4.1.32473.11.37.99.1.0 1\n");
    writeFile(saved, edited);

    markLog();
    restoreFrom(window, saved);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(m_dialogs.texts(), QStringList{kUpdateFailed});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("ERROR"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_EQ(simValue(QStringLiteral("hSSID.2")), QStringLiteral("displaystr \"Norvane-11g\""));
    const QStringList writes = shortWritesSinceMark();
    ASSERT_EQ(writes.size(), 3) << writes.join(u'\n').toStdString();
    EXPECT_EQ(writes.at(2), QStringLiteral("set 4.3.3.5.0=3 -> genErr(1)"));
}

// The device says it sent its configuration, but nothing arrived: no "saved successfully".
TEST_F(ConfigurationFileWindow, SaveTheDeviceReportsButNeverSendsIsAFailure)
{
    startTransferDevice();
    simCommand(QStringLiteral("lose-put on"));
    const QString saved = file(QStringLiteral("saved.cfg"));
    TFM_CfgFile window(m_form.get());
    saveTo(window, saved);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(m_dialogs.texts(), QStringList{kSaveFailed});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("ERROR"));
    EXPECT_FALSE(QFile::exists(saved));
}

// A folder gone since it was chosen: the server refuses the upload, the device's Put fails.
TEST_F(ConfigurationFileWindow, SaveIntoAMissingFolderFails)
{
    startTransferDevice();
    const QString saved = file(QStringLiteral("gone/saved.cfg"));
    TFM_CfgFile window(m_form.get());
    markLog();
    saveTo(window, saved);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(m_dialogs.texts(), QStringList{kSaveFailed});
    EXPECT_FALSE(QFile::exists(saved));
    const QStringList writes = shortWritesSinceMark();
    ASSERT_EQ(writes.size(), 2) << writes.join(u'\n').toStdString();
    EXPECT_EQ(writes.at(1), QStringLiteral("set 4.3.3.4.0=3 -> genErr(1)"));
}

// Every refusal of a file field: its message (caption "Warning"), and nothing written.
TEST_F(ConfigurationFileWindow, RefusedFileFieldsWriteNothing)
{
    startTransferDevice();
    const QString empty = QStringLiteral("Empty file is not accepted.");
    const QString format = QStringLiteral("File format error! Please try again!");
    const QString badPath = QStringLiteral("The file path is error.");
    const QString unservable = file(QStringLiteral("r\u00e9seau-\u20ac.cfg"));
    writeFile(file(QStringLiteral("relative.cfg")), "# QRN-7300XB configuration\n");
    writeFile(unservable, "# QRN-7300XB configuration\n");
    const struct {
        const char *what;
        bool save;
        QString field;
        QString message;
    } rows[] = {
        {"update: empty", false, QString(), empty},
        {"update: no such file", false, file(QStringLiteral("missing.cfg")), format},
        {"update: a folder", false, m_files.path(), format},
        {"update: no folder in the path", false, QStringLiteral("relative.cfg"), badPath},
        {"update: a name beyond one byte per character", false, unservable, badPath},
        {"save: nothing chosen", true, QString(), empty},
        {"save: no folder in the path", true, QStringLiteral("relative.cfg"), badPath},
        {"save: a name beyond one byte per character", true, unservable, badPath},
    };
    const QString current = QDir::currentPath();
    QDir::setCurrent(m_files.path());
    TFM_CfgFile window(m_form.get());
    markLog();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        m_dialogs.clear();
        (row.save ? window.Ed_SaveFile : window.Ed_UpgFile)->setText(row.field);
        (row.save ? window.Bt_SaveOK : window.Bt_OK)->click();
        EXPECT_EQ(m_dialogs.texts(), QStringList{row.message});
        if (!m_dialogs.messages().isEmpty()) {
            EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
        }
    }
    QDir::setCurrent(current);
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(ConfigurationFileWindow, NoInterfaceOnTheDevicesNetworkWritesNothing)
{
    startTransferDevice();
    scriptInterfaces({KtNetInterfaces::Script::up("192.168.1.20", "255.255.255.0")});
    const QString path = file(QStringLiteral("restore.cfg"));
    writeFile(path, "# QRN-7300XB configuration\n");
    TFM_CfgFile window(m_form.get());
    window.Ed_UpgFile->setText(path);
    window.Ed_SaveFile->setText(file(QStringLiteral("save.cfg")));
    markLog();
    window.Bt_OK->click();
    window.Bt_SaveOK->click();
    const QString none = QStringLiteral("Invalid Server IP Address or SNMP timed out!");
    EXPECT_EQ(m_dialogs.texts(), (QStringList{none, none}));
    EXPECT_TRUE(nothingWrittenSinceMark());
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("save.cfg"))));
}

TEST_F(ConfigurationFileWindow, BrowseButtonsFillTheirFields)
{
    startTransferDevice();
    TFM_CfgFile window(m_form.get());
    EXPECT_TRUE(window.Ed_SaveFile->isReadOnly());
    window.Ed_SaveFile->setText(file(QStringLiteral("earlier.cfg")));
    m_dialogs.chooseFile(file(QStringLiteral("restore.cfg")));
    window.Bt_Browse->click();
    EXPECT_EQ(window.Ed_UpgFile->text(), file(QStringLiteral("restore.cfg")));
    EXPECT_TRUE(window.Ed_SaveFile->text().isEmpty());

    m_dialogs.chooseFile(file(QStringLiteral("save.cfg")));
    window.Bt_SaveBrowse->click();
    EXPECT_EQ(window.Ed_SaveFile->text(), file(QStringLiteral("save.cfg")));
    window.Bt_SaveBrowse->click(); // cancelled: the field is emptied
    EXPECT_TRUE(window.Ed_SaveFile->text().isEmpty());
    ASSERT_EQ(m_dialogs.fileRequests().size(), 3);
    EXPECT_EQ(m_dialogs.fileRequests().at(0).mode, KtDialogs::FileMode::Open);
    EXPECT_EQ(m_dialogs.fileRequests().at(1).mode, KtDialogs::FileMode::Save);
}

} // namespace
