// Status \ Log and Status \ Log \ Log Setting against qrn-apsim: the device sends its log to
// the window's own TFTP server (a real transfer by the simulator's TFTP client) and the table
// shows it; only a log sent for this request is shown; Clear, the levels and the remote server.
#include "ktsnmprequest2edits.h"
#include "tftpserver.h"
#include "tlogform.h"
#include "tlogsetform.h"
#include "transferwindowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

namespace {

// The table's rows as "type|message".
QStringList rows(const TLogForm &window)
{
    QStringList shown;
    for (int i = 0; i < window.LV_Log->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = window.LV_Log->topLevelItem(i);
        shown.append(row->text(TLogForm::TypeColumn) + u'|' + row->text(TLogForm::MessageColumn));
    }
    return shown;
}

class LogWindow : public TransferWindowTest
{
protected:
    // Presses Get Log and lets the window's timer read what arrives.
    void getLog(TLogForm &window)
    {
        window.GetBtn->click();
        ASSERT_TRUE(processUntil([&] { return !window.Timer1->isActive(); }, 30000));
    }

    // Presses Get Log and takes the timer's ticks at once, for a file that will not come.
    void getLogWithoutWaiting(TLogForm &window)
    {
        window.GetBtn->click();
        for (int tick = 0; tick < 20 && window.Timer1->isActive(); ++tick)
            window.Timer1Timer();
        ASSERT_FALSE(window.Timer1->isActive());
    }

    void waitForReads(TLogForm &window)
    {
        ASSERT_TRUE(processUntil([&] { return !window.isWorking(); }, 15000));
    }
};

TEST_F(LogWindow, GetLogShowsTheDevicesLinesWithTheirTypes)
{
    startTransferDevice();
    // Notices are not logged by the device while their level is 0.
    simCommand(QStringLiteral("set adNoticeLevel 0"));
    simCommand(QStringLiteral("event NOTICE not logged"));
    simCommand(QStringLiteral("event WIRELESS Channel 36 busy"));
    TLogForm window(m_form.get());
    waitForReads(window);
    EXPECT_FALSE(window.SetBtn->isEnabled());
    EXPECT_FALSE(window.settingsForm()->NoticeLevCeBox->isChecked());
    EXPECT_TRUE(window.settingsForm()->SysLevCeBox->isChecked());
    markLog();
    getLog(window);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(rows(window),
              (QStringList{QStringLiteral("SYS|System started"),
                           QStringLiteral("WIRELESS|802.11a radio started"),
                           QStringLiteral("WIRELESS|802.11g radio started"),
                           QStringLiteral("WIRELESS|Channel 36 busy")}));
    EXPECT_EQ(window.LV_Log->topLevelItem(0)->text(TLogForm::TimeColumn).left(6),
              QStringLiteral("Jan  1"));
    EXPECT_TRUE(window.SetBtn->isEnabled());
    EXPECT_EQ(shortWritesSinceMark(),
              QStringList{QStringLiteral("set 4.2.11.4.0=127.0.0.1 4.2.11.5.0=\"LogFile.RD\" "
                                         "4.2.11.6.0=1 -> noError")});
    EXPECT_TRUE(QFile::exists(DeviceFilesFolder() + QStringLiteral("LogFile.RD")));
}

// A file in the data folder that this request did not bring is never shown: the table keeps
// the last log that came, and the status bar says the log did not.
TEST_F(LogWindow, OnlyTheLogSentForThisRequestIsShown)
{
    startTransferDevice();
    TLogForm window(m_form.get());
    waitForReads(window);
    getLog(window);
    if (HasFatalFailure())
        return;
    const QStringList first = rows(window);
    ASSERT_FALSE(first.isEmpty());

    writeFile(DeviceFilesFolder() + QStringLiteral("LogFile.RD"),
              "Jan  9 09:09:09\t[SYS]left from another device\n");
    simCommand(QStringLiteral("lose-put on"));
    getLogWithoutWaiting(window);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(rows(window), first);
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("(KtTFTP) Timeout!"));

    // The next log that comes is shown again.
    simCommand(QStringLiteral("lose-put off"));
    simCommand(QStringLiteral("event SYS Back again"));
    getLog(window);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(rows(window).contains(QStringLiteral("SYS|Back again")));
}

TEST_F(LogWindow, ClearEmptiesTheDevicesLog)
{
    startTransferDevice();
    simCommand(QStringLiteral("set adNoticeLevel 0"));
    TLogForm window(m_form.get());
    waitForReads(window);
    getLog(window);
    if (HasFatalFailure())
        return;
    ASSERT_FALSE(rows(window).isEmpty());
    markLog();
    window.Clear_Btn->click();
    EXPECT_EQ(window.LV_Log->topLevelItemCount(), 0);
    EXPECT_EQ(shortWritesSinceMark(), QStringList{QStringLiteral("set 4.2.11.10.0=1 -> noError")});
    simCommand(QStringLiteral("event SYS After clear"));
    getLog(window);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(rows(window), QStringList{QStringLiteral("SYS|After clear")});
}

TEST_F(LogWindow, LogSettingsWriteLevelsAndRemoteServer)
{
    startTransferDevice();
    simCommand(QStringLiteral("set adRemoteLogState 1"));
    simCommand(QStringLiteral("set adLogServerIP 192.168.0.9"));
    TLogForm window(m_form.get());
    waitForReads(window);
    getLog(window);
    if (HasFatalFailure())
        return;
    TLogSetForm &settings = *window.settingsForm();
    EXPECT_EQ(settings.LogServerEdit->text(), QStringLiteral("192.168.0.9"));

    // A bad address: refused, the field emptied, nothing written.
    settings.LogServerEdit->setText(QStringLiteral("127.0.0.1"));
    markLog();
    settings.Button2->click();
    EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("Please input valid IP Address.")});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    EXPECT_TRUE(settings.LogServerEdit->text().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());

    // An empty field: remote logging off, written as 0.0.0.0.
    settings.WirelessLevCeBox->setChecked(false);
    markLog();
    settings.Button2->click();
    EXPECT_EQ(shortWritesSinceMark(),
              QStringList{QStringLiteral("set 4.2.11.1.0=1 4.2.11.2.0=0 4.2.11.3.0=1 4.2.11.8.0=0 "
                                         "4.2.11.9.0=0.0.0.0 -> noError")});
    EXPECT_EQ(settings.StatusBar->currentMessage(), QStringLiteral("Set Success!"));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);

    // Log Settings shows a disabled remote server as an empty field.
    bool emptied = false;
    QTimer::singleShot(0, &settings, [&] {
        emptied = settings.isVisible() && settings.LogServerEdit->text().isEmpty();
        settings.Button1->click();
    });
    window.SetBtn->click();
    EXPECT_TRUE(emptied);

    settings.LogServerEdit->setText(QStringLiteral("192.168.0.20"));
    markLog();
    settings.Button2->click();
    EXPECT_EQ(shortWritesSinceMark(),
              QStringList{QStringLiteral("set 4.2.11.1.0=1 4.2.11.2.0=0 4.2.11.3.0=1 4.2.11.8.0=1 "
                                         "4.2.11.9.0=192.168.0.20 -> noError")});
}

TEST_F(LogWindow, SilentDeviceLeavesTheWindowUsable)
{
    startTransferDevice();
    simCommand(QStringLiteral("silent 60"));
    TLogForm window(m_form.get());
    waitForReads(window);
    EXPECT_FALSE(window.StatusBar->currentMessage().isEmpty());
    getLogWithoutWaiting(window);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(window.StatusBar->currentMessage().contains(QStringLiteral("timed out")))
        << window.StatusBar->currentMessage().toStdString();
    EXPECT_EQ(window.LV_Log->topLevelItemCount(), 0);
    EXPECT_TRUE(window.SetBtn->isEnabled());
    window.show();
    window.CloseBtn->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.server(), nullptr);
}

} // namespace
