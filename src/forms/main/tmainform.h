// The main window: the one window that lives for the whole process. Its construction runs the
// module's start-up (catalogues, session, registry, launch parameters, single-instance guard)
// and then hands over to the session start, which talks to the device.
#pragma once

#include "ktinstanceguard.h"

#include <QMainWindow>
#include <QStringList>

class QTimer;

class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    // parameters: the command line without the program name.
    explicit TMainForm(const QStringList &parameters, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Start-up ended the module (no parameters, or another module serves this address): the
    // program leaves without showing the window.
    bool isTerminated() const { return m_terminated; }

    // The device address text, as the command line gave it: shown in captions, read by other
    // windows.
    const QString &deviceAddress() const { return m_deviceAddress; }

    // The message shown when the module is started without parameters, and when a second
    // module is started for an address already served.
    static QString onlyHostMessage();
    static QString anotherModuleMessage();

    QTimer *Timer1 = nullptr; // status poll, 3000 ms
    QTimer *Timer2 = nullptr; // lamp blinking, 500 ms
    QTimer *Timer3 = nullptr; // lamp blinking, 100 ms
    QTimer *Timer4 = nullptr; // capability poll, 2000 ms; runs from creation

private Q_SLOTS:
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();

private:
    void buildWindow();
    // The creation handler: start-up, then the session start. An error stops it where it
    // happened and is shown; the window then stays, without a session.
    void FormCreate();
    void runStartUp();
    void applyWindowShape();
    void startSession();
    void terminate();

    QStringList m_parameters;
    QString m_deviceAddress;
    bool m_terminated = false;
    KtInstanceGuard m_instanceGuard;
};

extern TMainForm *MainForm;
