// The waiting window: a modal countdown shown after an apply while the device restarts or
// works. It may send the restart command itself after a delay, and it closes once the count
// has run out and the main window's status poll finds the device answering again. A device
// that stays silent still releases it: at a count of 1, more than five silent ticks close it.
//
// Windows show it through KtWaiting::Show (ktwaiting.h).
#pragma once

#include "ktwaiting.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTimer;

class TFM_Waiting : public QDialog
{
    Q_OBJECT

public:
    // Reads the firmware version into Ed_FwVer (synchronously) and sets the countdown to 30.
    explicit TFM_Waiting(QWidget *owner = nullptr);
    ~TFM_Waiting() override;

    // Caption, texts, countdown, command delay and restart flag, as a caller sets them before
    // showing the window.
    void applyOptions(const KtWaitingOptions &options);

    void setCountdown(int ticks);
    void setCommandDelay(int ticks) { m_commandDelay = ticks; }
    void setSendRestartCommand(bool on) { m_sendRestartCommand = on; }

    int countdown() const { return m_countdown; }
    int commandDelay() const { return m_commandDelay; }
    bool sendRestartCommand() const { return m_sendRestartCommand; }
    bool commandPending() const { return m_commandPending; }
    int silentTicks() const { return m_silentTicks; }
    // The window has accepted a close (by its own tick or by the user).
    bool isClosed() const { return m_closed; }

    // The main window's status line reads "Ready. ": its last status read succeeded.
    static bool deviceAnswers();

    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *La_Time = nullptr;
    QLineEdit *Ed_Reboot = nullptr; // hidden: the restart command's text
    QLineEdit *Ed_FwVer = nullptr;  // hidden: the firmware version read at creation
    QTimer *Timer1 = nullptr;       // 1200 ms; started when the window is shown

public Q_SLOTS:
    // One tick of Timer1. Tests call it directly.
    void Timer1Timer();
    // Escape and the title bar's close button; refused like any close while counting.
    void reject() override;

    // The design width, or wider when the caption needs it (a window manager cuts a caption
    // that does not fit beside the title bar's buttons).
    int widthForCaption() const;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void readFirmwareVersion();
    void sendRestartCommandNow();
    // Whether the window may close now; a window stuck at 1 for more than two silent ticks
    // gives up its count so the user can close it.
    bool FormCloseQuery();
    void markClosed();

    int m_countdown = 30;
    int m_commandDelay = 2;
    bool m_sendRestartCommand = true;
    bool m_commandPending = true;
    int m_silentTicks = 0;
    bool m_closed = false;
};
