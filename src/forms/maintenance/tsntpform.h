// "Tools \ SNTP": the time server the device synchronises with, its time zone, whether
// daylight saving time applies, and the device's local time. Which zones keep daylight saving
// is the device's knowledge: on opening the window has the device send its time-zone list
// ("SNTPFile.RD") by TFTP to the window's own server in the module's data folder, and three
// ticks after the device took the command it enables the daylight-saving box only for zones
// whose line says so.
//
// Only a list that arrived whole for this window's request is read: a file left from an
// earlier run or another device never decides. A list that is still on its way at the reading
// tick is waited for; when none comes the status panel says so, and the box keeps the
// device's setting (disabled) instead of being cleared, so that Apply does not turn the
// device's daylight saving off for want of a list.
#pragma once

#include "ktdevicefiles.h"
#include "kttransfersupport.h"
#include "tpagewindow.h"

#include <optional>

struct KtSNMPError;
class KtSNMPRequest2Edits;
class KtTFTPServer;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimer;

class TSNTPForm : public TPageWindow
{
    Q_OBJECT

public:
    // Reads the settings, starts the TFTP server in the data folder and asks the device for its
    // time-zone list. A server that cannot start is reported and ends the application.
    explicit TSNTPForm(QWidget *owner = nullptr);
    ~TSNTPForm() override;

    static QString listFileName() { return QStringLiteral("SNTPFile.RD"); }
    static QString gettingText();        // "Getting..."
    static QString getCompleteText();    // "Get Complete."
    static QString settingText();        // "Set..."
    static QString settingSuccessText(); // "Setting Success"
    static QString settingErrorText();   // "Setting Error"
    static QString getIpErrorMessage();  // "Get IP Error!"
    static QString invalidAddressMessage(); // "Please input valid IP address"
    static QString waringCaption() { return QStringLiteral("Waring"); }
    // The zone labels, in list order (value = position + 1).
    static QStringList timeZoneLabels();

    enum Command { Nothing = 0, Get = 1 }; // positions in CB_Get

    QGroupBox *GroupBox1 = nullptr;       // the settings
    QLineEdit *Ed_WSNTPServ = nullptr;    // sntpServerIP
    QComboBox *CB_WSNTPTimeZone = nullptr; // sntpTZoneIdx
    QCheckBox *CHB_DayLight = nullptr;    // dayLightSaving: " Enabled"
    QGroupBox *GroupBox2 = nullptr;       // the information group
    QLabel *LabRSNTPServ = nullptr;
    QLabel *LabRSNTPTimeZone = nullptr;
    QLineEdit *LabRLocalTime = nullptr;   // timeOfDay, read-only
    QLabel *Pn_Status = nullptr;          // the status panel
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Cancel = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLineEdit *Ed_TFTPServ = nullptr;     // hidden: sntpTFTPServerIP
    QLineEdit *Ed_FileName = nullptr;     // hidden: sntpListFileName
    QComboBox *CB_Get = nullptr;          // hidden: sntpGetList
    QTimer *Timer1 = nullptr;             // 1000 ms, started when the device took the command

    KtSNMPRequest2Edits *settingsRequest() const { return m_settingsRequest; }
    KtSNMPRequest2Edits *listRequest() const { return m_listRequest; }
    KtTFTPServer *server() const { return m_server; }
    const KtDaylightSavingTable &daylightSaving() const { return m_daylightSaving; }
    // The device's list has been read.
    bool listRead() const { return m_listRead; }

    // The server field is empty or passes the main window's address check.
    std::optional<Refusal> checkServer() const;
    // The time-zone rule: a zone that keeps daylight saving enables the box; any other
    // unchecks and disables it (without the device's list: disables it only). Nothing without
    // a zone selected.
    void applyTimeZoneRule();

public Q_SLOTS:
    void Bt_ApplyClick();
    void Bt_CancelClick();
    // One tick of Timer1: the third after the device took the command reads the list.
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;
    // Stops and destroys the server.
    bool FormCloseQuery() override;

private:
    void buildWindow();
    void FormCreate();
    void buildRequests();
    void requestList();
    void settingsRead(const KtSNMPError &status);
    void settingsWritten(const KtSNMPError &status);
    void listCommanded(const KtSNMPError &status);
    void readList();
    void showStatusPanel(const QString &text);
    // A server field reading "0.0.0.0" shows as empty.
    void hideNoServer();

    KtSNMPRequest2Edits *m_settingsRequest = nullptr; // owned by the page window
    KtSNMPRequest2Edits *m_listRequest = nullptr;     // owned by the page window
    KtTFTPServer *m_server = nullptr;
    KtDaylightSavingTable m_daylightSaving{};
    QString m_listPath;
    int m_countdown = 0;
    int m_overdueTicks = 0;
    bool m_listRead = false;
};

extern TSNTPForm *SNTPForm;
