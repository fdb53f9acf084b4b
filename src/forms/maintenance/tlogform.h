// "Status \ Log": the access point's system log. "Get Log" has the device send its log by TFTP
// to the window's own server as "LogFile.RD" in the module's data folder; two timer ticks
// later the window shows it as a table (Time, Type, Message). "Clear" empties the device's
// log, "Log Settings" opens "Status \ Log \ Log Setting" (which events the device logs, and
// the remote log server).
//
// The window shows only a log that arrived whole for its own request: a file left from an
// earlier run, or sent by another device, is never taken for the answer. When the file is
// still on its way at the reading tick the window waits for it; when none comes, the table
// keeps what it showed and the status bar says so.
#pragma once

#include "ktdevicefiles.h"
#include "kttransfersupport.h"
#include "tpagewindow.h"

class KtSNMPRequest2Edits;
class KtTFTPServer;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class QTreeWidget;
class TLogSetForm;

class TLogForm : public TPageWindow
{
    Q_OBJECT

public:
    // Builds and reads the log, settings and clear requests, builds the settings window and
    // starts the TFTP server in the data folder. A server that cannot start is reported and
    // ends the application.
    explicit TLogForm(QWidget *owner = nullptr);
    ~TLogForm() override;

    static QString logFileName() { return QStringLiteral("LogFile.RD"); }
    // Positions in the hidden command boxes: the option lists' order.
    enum Command { Nothing = 0, Do = 1 };
    // The columns of LV_Log.
    enum Column { TimeColumn = 0, TypeColumn = 1, MessageColumn = 2 };

    QTreeWidget *LV_Log = nullptr;
    QPushButton *Clear_Btn = nullptr; // "Clear"
    QPushButton *SetBtn = nullptr;    // "Log Settings"
    QPushButton *GetBtn = nullptr;    // "Get Log"
    QPushButton *CloseBtn = nullptr;  // "Close"
    QStatusBar *StatusBar = nullptr;
    QLineEdit *ServerEdit = nullptr;   // hidden: adTFTPServerIP
    QLineEdit *FileNameEdit = nullptr; // hidden: adLogFileName
    QComboBox *GetCoBox = nullptr;     // hidden: adGetLog
    QComboBox *Bt_Clear = nullptr;     // hidden: adClearLocalLog
    QTimer *Timer1 = nullptr;          // 1000 ms after Get Log

    TLogSetForm *settingsForm() const { return m_settingsForm; }
    KtSNMPRequest2Edits *logRequest() const { return m_logRequest; }
    KtSNMPRequest2Edits *settingsRequest() const { return m_settingsRequest; }
    KtSNMPRequest2Edits *clearRequest() const { return m_clearRequest; }
    // Null when the server could not start (the module is ending) or once the window closed.
    KtTFTPServer *server() const { return m_server; }
    // The lines of the last log loaded, as the file held them (empty ones left out).
    const QStringList &logLines() const { return m_lines; }
    bool logRequested() const { return m_requested; }

    // Reads the log file at path (empty: none arrived) into the table: the lines of the file
    // when it could be loaded, else those of the last file loaded. Enables "Log Settings".
    // Returns whether the file was loaded.
    bool ParseLog(const QString &path);

public Q_SLOTS:
    void GetBtnClick();
    void Clear_BtnClick();
    void SetBtnClick();
    void CloseBtnClick();
    // One tick of Timer1: the second after Get Log reads the file (see the file's head).
    void Timer1Timer();

protected:
    // Stops and destroys the server.
    bool FormCloseQuery() override;

private:
    void buildWindow();
    void FormCreate();
    void buildRequests();
    // A read of the opening; an error goes to the status bar.
    void readRequest(KtSNMPRequest2Edits *request);
    // Writes the log request: the device then sends its log to the server.
    bool requestLog();
    void fillTable();

    TLogSetForm *m_settingsForm = nullptr;
    KtSNMPRequest2Edits *m_logRequest = nullptr;      // owned by the page window
    KtSNMPRequest2Edits *m_settingsRequest = nullptr; // owned by the page window
    KtSNMPRequest2Edits *m_clearRequest = nullptr;    // owned by the page window
    KtTFTPServer *m_server = nullptr;
    QStringList m_lines;   // the hidden line list
    QString m_logPath;     // the file to parse
    int m_countdown = 0;
    int m_overdueTicks = 0; // ticks since the reading tick while the file is still coming
    bool m_requested = false;
    bool m_fileAsked = false; // the device took the log request: a file may come
};

extern TLogForm *LogForm;
