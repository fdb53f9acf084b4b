// Tools \ SNTP against qrn-apsim: the device's zone and server, the daylight-saving box per the
// time-zone list the device sends to the window's own TFTP server (a real transfer), Apply, and
// a list that never comes.
#include "ktsnmprequest2edits.h"
#include "tftpserver.h"
#include "transferwindowtest.h"
#include "tsntpform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kEastern = QStringLiteral("(GMT-05:00) Eastern Time (US & Canada)");
const QString kIndiana = QStringLiteral("(GMT-05:00) Indiana (East)");

class SntpWindow : public TransferWindowTest
{
protected:
    // Waits until the settings are read and the list tick has run.
    void waitForList(TSNTPForm &window)
    {
        ASSERT_TRUE(processUntil(
            [&] { return window.Timer1->isActive() && !window.isWorking(); }, 20000));
        ASSERT_TRUE(processUntil([&] { return !window.Timer1->isActive(); }, 30000));
    }

    void chooseZone(TSNTPForm &window, int zone)
    {
        window.CB_WSNTPTimeZone->setCurrentIndex(zone - 1);
        Q_EMIT window.CB_WSNTPTimeZone->activated(zone - 1);
    }
};

TEST_F(SntpWindow, OpensWithTheDevicesZoneAndFollowsItsList)
{
    startTransferDevice();
    markLog();
    TSNTPForm window(m_form.get());
    EXPECT_EQ(window.Pn_Status->text(), QStringLiteral("Getting..."));
    EXPECT_EQ(window.CB_WSNTPTimeZone->count(), 75);
    waitForList(window);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(window.Pn_Status->text(), QStringLiteral("Get Complete."));
    EXPECT_TRUE(window.listRead());
    EXPECT_EQ(window.CB_WSNTPTimeZone->currentText(), kEastern);
    EXPECT_EQ(window.LabRSNTPTimeZone->text(), kEastern);
    EXPECT_EQ(window.LabRSNTPServ->text(), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(window.LabRLocalTime->text(), QStringLiteral("2006/01/20 09:30:00"));
    EXPECT_TRUE(window.CHB_DayLight->isChecked());
    EXPECT_TRUE(window.CHB_DayLight->isEnabled());
    EXPECT_EQ(shortWritesSinceMark(),
              QStringList{QStringLiteral("set 4.3.5.6.1.0=127.0.0.1 4.3.5.6.2.0=\"SNTPFile.RD\" "
                                         "4.3.5.6.3.0=1 -> noError")});

    // Zone 15 keeps no daylight saving, zone 14 does.
    chooseZone(window, 15);
    EXPECT_EQ(window.CB_WSNTPTimeZone->currentText(), kIndiana);
    EXPECT_FALSE(window.CHB_DayLight->isChecked());
    EXPECT_FALSE(window.CHB_DayLight->isEnabled());
    chooseZone(window, 14);
    EXPECT_TRUE(window.CHB_DayLight->isEnabled());
    EXPECT_FALSE(window.CHB_DayLight->isChecked());
}

TEST_F(SntpWindow, ApplyWritesServerZoneAndDaylightSaving)
{
    startTransferDevice();
    simCommand(QStringLiteral("set sntpServerIP 0.0.0.0"));
    TSNTPForm window(m_form.get());
    waitForList(window);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(window.Ed_WSNTPServ->text().isEmpty());
    EXPECT_TRUE(window.LabRSNTPServ->text().isEmpty());

    window.Ed_WSNTPServ->setText(QStringLiteral("300.1.2.3"));
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("Please input valid IP address")});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Waring"));
    EXPECT_TRUE(window.Ed_WSNTPServ->text().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());

    chooseZone(window, 15);
    window.Bt_Apply->click();
    ASSERT_TRUE(processUntil([&] { return !m_waiting.shown().isEmpty(); }, 30000));
    EXPECT_EQ(window.Pn_Status->text(), QStringLiteral("Setting Success"));
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
    EXPECT_TRUE(window.Ed_WSNTPServ->text().isEmpty());
    EXPECT_EQ(shortWritesSinceMark(),
              QStringList{QStringLiteral("set 4.3.5.1.0=0.0.0.0 4.3.5.2.0=15 4.3.5.4.0=0 "
                                         "-> noError")});

    window.Ed_WSNTPServ->setText(QStringLiteral("192.168.0.2"));
    simCommand(QStringLiteral("error sntpServerIP genErr"));
    markLog();
    window.Bt_Apply->click();
    ASSERT_TRUE(processUntil([&] { return !window.isWorking(); }, 30000));
    EXPECT_EQ(window.Pn_Status->text(), QStringLiteral("Setting Error"));
    EXPECT_EQ(m_waiting.shown().size(), 1);
}

// A list that never comes: a file in the data folder from another device does not decide, the
// status says so, and the box keeps the device's setting, so Apply does not turn it off.
TEST_F(SntpWindow, WithoutTheDevicesListTheDaylightSettingIsKept)
{
    startTransferDevice();
    writeFile(DeviceFilesFolder() + QStringLiteral("SNTPFile.RD"),
              QByteArray("0\n").repeated(75));
    simCommand(QStringLiteral("lose-put on"));
    TSNTPForm window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return window.Timer1->isActive() && !window.isWorking(); }));
    for (int tick = 0; tick < 20 && window.Timer1->isActive(); ++tick)
        window.Timer1Timer();
    EXPECT_FALSE(window.listRead());
    EXPECT_EQ(window.Pn_Status->text(), QStringLiteral("(KtTFTP) Timeout!"));
    EXPECT_TRUE(window.CHB_DayLight->isChecked());
    EXPECT_FALSE(window.CHB_DayLight->isEnabled());
    markLog();
    window.Bt_Apply->click();
    ASSERT_TRUE(processUntil([&] { return !m_waiting.shown().isEmpty(); }, 30000));
    EXPECT_EQ(shortWritesSinceMark(),
              QStringList{QStringLiteral("set 4.3.5.1.0=192.168.0.1 4.3.5.2.0=14 4.3.5.4.0=1 "
                                         "-> noError")});
}

TEST_F(SntpWindow, RefusingDeviceLeavesTheWindowUsable)
{
    startTransferDevice();
    simCommand(QStringLiteral("error 1.3.6.1.4.1.32473.11.37.4.3.5 genErr"));
    TSNTPForm window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return !window.isWorking(); }, 30000));
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_EQ(window.Pn_Status->text(),
              QStringLiteral("(SNMP) Cannot perform operation, General Error!"));
    EXPECT_FALSE(window.StatusBar->currentMessage().isEmpty());
    window.show();
    window.Bt_Cancel->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.server(), nullptr);
}

} // namespace

TEST_F(SntpWindow, SilentDeviceShowsTheTimeOut)
{
    startTransferDevice();
    simCommand(QStringLiteral("silent 120"));
    TSNTPForm window(m_form.get());
    window.show();
    ASSERT_TRUE(processUntil([&] { return !window.isWorking(); }, 60000));
    EXPECT_EQ(window.Pn_Status->text(), QStringLiteral("(SNMPClass) SNMP request timed out!"));
    EXPECT_FALSE(window.Timer1->isActive());
    window.Bt_Cancel->click();
    EXPECT_FALSE(window.isVisible());
}
