// The one call through which every applying window shows the waiting window while the device
// restarts or works: KtWaiting::Show(owner, options) returns when the window has closed.
//
// Tests install a KtWaiting::Script: every call is recorded, and either returns at once or runs
// the real window with its ticks driven by the test instead of the 1200 ms timer.
#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class TFM_Waiting;

// What a caller may set between creating the waiting window and showing it. A default
// constructed record is the window as it is created.
struct KtWaitingOptions {
    QString caption = QStringLiteral("Please wait");
    QString label2 = QStringLiteral("Settings saved.");
    QString label3 = QStringLiteral("The device is restarting.");
    int countdown = 30;    // ticks of 1200 ms
    int commandDelay = 2;  // ticks before the restart command goes out
    bool sendRestartCommand = true;
};

namespace KtWaiting {

// Creates the waiting window, applies the options, shows it modally centred on the main window
// and destroys it after it has closed.
void Show(QWidget *owner, const KtWaitingOptions &options = KtWaitingOptions());

// Test script: while an instance lives, Show records its options and does not show anything.
// With a driver, Show builds the real window (its timer stopped) and hands it to the driver in
// place of the modal loop; the driver calls Timer1Timer() as often as it likes, typically until
// isClosed().
class Script
{
public:
    Script();
    ~Script();
    Script(const Script &) = delete;
    Script &operator=(const Script &) = delete;

    const QList<KtWaitingOptions> &shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

    std::function<void(TFM_Waiting &window)> driver;

private:
    friend void Show(QWidget *, const KtWaitingOptions &);
    QList<KtWaitingOptions> m_shown;
    Script *m_previous = nullptr;
};

} // namespace KtWaiting
