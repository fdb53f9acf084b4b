// Tools \ Firmware against qrn-apsim: the device fetches the image from the window's own TFTP
// server (a real transfer by the simulator's TFTP client), installs it and is told to restart;
// every refusal of the file field writes nothing.
#include "tfm_firmware.h"
#include "tfm_waiting.h"
#include "tftpserver.h"
#include "transferwindowtest.h"

#include "ktsnmprequest2edits.h"

#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QUdpSocket>

namespace {

const QString kTimedOut = QStringLiteral("(SNMPClass) SNMP request timed out!");

// A firmware image naming its version, with more than one block of data after it.
QByteArray image(const char *version)
{
    QByteArray content = QByteArray("QRN-7300XB firmware image\nversion=") + version + "\n";
    for (int i = 0; i < 1500; ++i)
        content.append(char(i % 256));
    return content;
}

class FirmwareWindow : public TransferWindowTest
{
protected:
    // The window with the file field filled, OK pressed, and the upgrade's writes ended.
    void upgradeWith(TFM_Firmware &window, const QString &path)
    {
        window.Ed_UpgFile->setText(path);
        markLog();
        window.Bt_OK->click();
        ASSERT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
        ASSERT_TRUE(processUntil(
            [&] {
                return !window.addressRequest()->busy && !window.transferRequest()->busy
                       && !window.upgradeRequest()->busy && !window.upgradePending();
            },
            60000));
    }
};

TEST_F(FirmwareWindow, NewerImageIsFetchedInstalledAndTheDeviceRestartsIntoIt)
{
    startTransferDevice({QStringLiteral("--restart-seconds"), QStringLiteral("6")});
    const QString path = file(QStringLiteral("fw-v2.10.tfp"));
    writeFile(path, image("v2.10"));
    TFM_Firmware window(m_form.get());
    // The device's answers arrive while the real waiting window is up: the upgrade's, then the
    // first Reboot's.
    bool answeredWhileWaiting = false;
    m_waiting.driver = [&](TFM_Waiting &waiting) {
        if (waiting.Label3->text() == TFM_Firmware::updatingText())
            answeredWhileWaiting = processUntil([&] { return window.rebootWrites() > 0; });
    };
    upgradeWith(window, path);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(answeredWhileWaiting);
    // Reboot is answered, then the device goes down: the next Reboot times out.
    ASSERT_TRUE(processUntil([&] { return window.StatusBar2->currentMessage() == kTimedOut; }));
    EXPECT_EQ(window.rebootWrites(), 2);
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("(KtSNMP++) Ok!!"));
    EXPECT_EQ(window.Ed_UpgFile->text(), path);

    ASSERT_EQ(m_waiting.shown().size(), 2);
    EXPECT_EQ(m_waiting.shown().at(0).countdown, 5);
    EXPECT_EQ(m_waiting.shown().at(0).label3, QStringLiteral("Loading firmware file..."));
    EXPECT_FALSE(m_waiting.shown().at(0).sendRestartCommand);
    EXPECT_EQ(m_waiting.shown().at(1).countdown, 40);
    EXPECT_EQ(m_waiting.shown().at(1).label3, QStringLiteral("Updating firmware file..."));
    EXPECT_FALSE(m_waiting.shown().at(1).sendRestartCommand);

    ASSERT_TRUE(processUntil(deviceAnswers, 30000));
    EXPECT_EQ(shortWritesSinceMark(),
              (QStringList{QStringLiteral("set 4.3.3.1.0=127.0.0.1 4.3.3.2.0=\"fw-v2.10.tfp\" "
                                          "-> noError"),
                           QStringLiteral("set 4.3.3.4.0=2 -> noError"),
                           QStringLiteral("set 4.3.3.5.0=1 -> noError"),
                           QStringLiteral("set 4.3.3.5.0=4 -> noError")}));
    EXPECT_EQ(simValue(QStringLiteral("stFirmwareVersion")), QStringLiteral("displaystr \"v2.10\""));
    // The main window's next capability read shows the new version too.
    EXPECT_TRUE(processUntil([&] { return m_form->Ed_FwVer->text() == QStringLiteral("v2.10"); }));
}

TEST_F(FirmwareWindow, OlderImageShowsTheDevicesRefusalAndNothingMore)
{
    startTransferDevice();
    const QString path = file(QStringLiteral("old.tfp"));
    writeFile(path, image("v1.90"));
    TFM_Firmware window(m_form.get());
    upgradeWith(window, path);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(window.StatusBar2->currentMessage(),
              QStringLiteral("(SNMP) Cannot download the overdue firmware!"));
    EXPECT_EQ(window.rebootWrites(), 0);
    EXPECT_EQ(shortWritesSinceMark(),
              (QStringList{QStringLiteral("set 4.3.3.1.0=127.0.0.1 4.3.3.2.0=\"old.tfp\" "
                                          "-> noError"),
                           QStringLiteral("set 4.3.3.4.0=2 -> noError"),
                           QStringLiteral("set 4.3.3.5.0=1 -> status19(1)")}));
    EXPECT_EQ(simValue(QStringLiteral("stFirmwareVersion")), QStringLiteral("displaystr \"v2.00\""));
}

// A device that answers every Reboot without going down is sent only a few.
TEST_F(FirmwareWindow, DeviceThatNeverGoesDownGetsOnlyAFewReboots)
{
    startTransferDevice({QStringLiteral("--restart-seconds"), QStringLiteral("0")});
    const QString path = file(QStringLiteral("fw.tfp"));
    writeFile(path, image("v2.10"));
    TFM_Firmware window(m_form.get());
    QList<int> timeouts; // of each upgrade-request write
    window.upgradeRequest()->beforeSetHook = [&timeouts](KtSNMPRequest2Edits *request) {
        timeouts.append(request->request.timeout);
    };
    upgradeWith(window, path);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(window.rebootWrites(), TFM_Firmware::MaxRebootWrites);
    EXPECT_EQ(window.StatusBar2->currentMessage(), QStringLiteral("(KtSNMP++) Ok!!"));
    ASSERT_TRUE(processUntil(deviceAnswers, 10000));
    const QStringList writes = shortWritesSinceMark();
    EXPECT_EQ(writes.filter(QStringLiteral("set 4.3.3.5.0=4 -> noError")).size(),
              TFM_Firmware::MaxRebootWrites)
        << writes.join(u'\n').toStdString();

    // A second upgrade from the same window: the install has its full time-out again, and
    // the Reboots their short one.
    upgradeWith(window, path);
    if (HasFatalFailure())
        return;
    const QList<int> oneUpgrade{30000, 200, 200, 200};
    EXPECT_EQ(timeouts, oneUpgrade + oneUpgrade);
}

// The transfer command is sent only once the device holds the address and the name: with the
// previous ones it could fetch another file.
TEST_F(FirmwareWindow, FailedAddressWriteSendsNoTransferCommand)
{
    startTransferDevice();
    simCommand(QStringLiteral("error 1.3.6.1.4.1.32473.11.37.4.3.3.2.0 genErr"));
    const QString path = file(QStringLiteral("fw.tfp"));
    writeFile(path, image("v2.10"));
    TFM_Firmware window(m_form.get());
    window.Ed_UpgFile->setText(path);
    markLog();
    window.Bt_OK->click();
    ASSERT_TRUE(processUntil([&] { return !m_dialogs.messages().isEmpty(); }));
    EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("Cant Perform Operation,Please try "
                                                            "again!")});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    EXPECT_TRUE(window.StatusBar->currentMessage().startsWith(QStringLiteral("(SNMP) ")))
        << window.StatusBar->currentMessage().toStdString();
    const QStringList writes = shortWritesSinceMark();
    ASSERT_EQ(writes.size(), 1) << writes.join(u'\n').toStdString();
    EXPECT_TRUE(writes.at(0).endsWith(QStringLiteral("-> genErr(2)"))) << writes.at(0).toStdString();
    EXPECT_TRUE(m_waiting.shown().isEmpty());
}

// The device cannot fetch the image (the file went away after OK was checked): the transfer
// fails and nothing is installed.
TEST_F(FirmwareWindow, ImageTheDeviceCannotFetchIsReportedAndNotInstalled)
{
    startTransferDevice();
    const QString path = file(QStringLiteral("fw.tfp"));
    writeFile(path, image("v2.10"));
    TFM_Firmware window(m_form.get());
    window.Ed_UpgFile->setText(path);
    // Removed once the window has checked it, before the device asks for it.
    window.addressRequest()->beforeSetHook = [&](KtSNMPRequest2Edits *) { QFile::remove(path); };
    markLog();
    window.Bt_OK->click();
    ASSERT_TRUE(processUntil([&] { return !m_dialogs.messages().isEmpty(); }, 60000));
    EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("Cant Perform Operation,Please try "
                                                            "again!")});
    EXPECT_FALSE(window.upgradePending());
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    const QStringList writes = shortWritesSinceMark();
    EXPECT_TRUE(writes.filter(QStringLiteral("4.3.3.5.0=")).isEmpty())
        << writes.join(u'\n').toStdString();
    EXPECT_EQ(simValue(QStringLiteral("stFirmwareVersion")), QStringLiteral("displaystr \"v2.00\""));
}

// Every refusal of the file field: its message (caption "Warning"), and nothing written.
TEST_F(FirmwareWindow, RefusedFileFieldsWriteNothing)
{
    startTransferDevice();
    const QString noFile = QStringLiteral("Please put in the firmware file & path.");
    const QString invalid = QStringLiteral("Please put in valid firmware file & path.");
    const QString badPath = QStringLiteral("The file path is error.");
    writeFile(file(QStringLiteral("fw.bin")), image("v2.10"));
    writeFile(file(QStringLiteral("relative.tfp")), image("v2.10"));
    writeFile(file(QStringLiteral("r\u00e9seau-\u20ac.tfp")), image("v2.10"));
    ASSERT_TRUE(QDir(m_files.path()).mkdir(QStringLiteral("folder.tfp")));
    const struct {
        const char *what;
        QString field;
        QString message;
    } rows[] = {
        {"empty", QString(), noFile},
        {"a folder path", m_files.path() + u'/', noFile},
        {"a file without .tfp", file(QStringLiteral("fw.bin")), invalid},
        {"no such file", file(QStringLiteral("missing.tfp")), invalid},
        {"a folder named .tfp", file(QStringLiteral("folder.tfp")), invalid},
        // Found from the current folder, but no folder to serve it from.
        {"no folder in the path", QStringLiteral("relative.tfp"), badPath},
        // A name the device cannot be given as it is (not one byte per character).
        {"a name beyond one byte per character", file(QStringLiteral("r\u00e9seau-\u20ac.tfp")),
         badPath},
    };
    const QString current = QDir::currentPath();
    QDir::setCurrent(m_files.path());
    TFM_Firmware window(m_form.get());
    markLog();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        m_dialogs.clear();
        window.Ed_UpgFile->setText(row.field);
        window.Bt_OK->click();
        EXPECT_EQ(m_dialogs.texts(), QStringList{row.message});
        if (!m_dialogs.messages().isEmpty()) {
            EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
        }
        EXPECT_EQ(window.Ed_UpgFile->text(), row.field);
    }
    QDir::setCurrent(current);
    EXPECT_TRUE(nothingWrittenSinceMark());
    // The image test looks for the text anywhere in the path.
    window.Ed_UpgFile->setText(file(QStringLiteral("fw.tfp.bak")));
    writeFile(window.Ed_UpgFile->text(), image("v2.10"));
    EXPECT_FALSE(window.checkFirmwareFile().has_value());
}

TEST_F(FirmwareWindow, NoInterfaceOnTheDevicesNetworkWritesNothing)
{
    startTransferDevice();
    scriptInterfaces({KtNetInterfaces::Script::up("192.168.1.20", "255.255.255.0")});
    const QString path = file(QStringLiteral("fw.tfp"));
    writeFile(path, image("v2.10"));
    TFM_Firmware window(m_form.get());
    window.Ed_UpgFile->setText(path);
    markLog();
    window.Bt_OK->click();
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{QStringLiteral("Invalid Server IP Address or SNMP timed out!")});
    EXPECT_TRUE(window.Ed_TfpSrv->text().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());
}

// The window's server holds the port only while the window is open.
TEST_F(FirmwareWindow, ClosingStopsTheServerAndFreesItsPort)
{
    startTransferDevice();
    TFM_Firmware window(m_form.get());
    window.show();
    ASSERT_NE(window.server(), nullptr);
    QUdpSocket before;
    EXPECT_FALSE(before.bind(QHostAddress::AnyIPv4, m_tftpPort, QUdpSocket::DontShareAddress));
    window.close();
    ASSERT_TRUE(processUntil([&] { return !window.isVisible(); }));
    EXPECT_EQ(window.server(), nullptr);
    QUdpSocket after;
    EXPECT_TRUE(after.bind(QHostAddress::AnyIPv4, m_tftpPort, QUdpSocket::DontShareAddress));
}

TEST_F(FirmwareWindow, BrowseFillsTheFileFieldAndCancelKeepsIt)
{
    startTransferDevice();
    TFM_Firmware window(m_form.get());
    window.Ed_UpgFile->setText(file(QStringLiteral("before.tfp")));
    m_dialogs.chooseFile(file(QStringLiteral("chosen.tfp")));
    window.Bt_Browse->click();
    EXPECT_EQ(window.Ed_UpgFile->text(), file(QStringLiteral("chosen.tfp")));
    ASSERT_EQ(m_dialogs.fileRequests().size(), 1);
    EXPECT_EQ(m_dialogs.fileRequests().at(0).mode, KtDialogs::FileMode::Open);
    EXPECT_EQ(m_dialogs.fileRequests().at(0).directory, m_files.path());
    window.Bt_Browse->click(); // cancelled
    EXPECT_EQ(window.Ed_UpgFile->text(), file(QStringLiteral("chosen.tfp")));
}

} // namespace
