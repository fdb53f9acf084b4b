// TPageWindow: the base of every page window, the modal window a menu item of the main window
// opens (Home \ Wireless, Tools \ Admin, Status \ Client Info, ...) and of the dialogs those
// windows open in turn (log settings, static pool, MAC address list and MAC dialog). It gives
// them one life and one look.
//
// A page window, in short:
//
//     class TFM_Misc : public TPageWindow
//     {
//         Q_OBJECT
//     public:
//         explicit TFM_Misc(QWidget *owner = nullptr);
//         QStatusBar *StatusBar = nullptr;
//         std::optional<Refusal> checkIdleTimeout() const;   // one rule, one method
//     public Q_SLOTS:
//         void Bt_ApplyClick();
//     private:
//         KtSNMPRequest2Edits *m_request = nullptr;           // owned by the base
//     };
//
//     TFM_Misc::TFM_Misc(QWidget *owner) : TPageWindow(owner)
//     {
//         setObjectName(QStringLiteral("FM_Misc"));
//         setWindowTitle(QStringLiteral("Tools \\ Misc."));
//         buildWindow();                       // controls, layouts, StatusBar
//         setStatusBar(StatusBar);
//         m_request = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, Items, SVT_SV));
//         m_request->mode = KtSNMPRequest2Controls::Synchronous;
//         m_request->SetStatusControl(StatusBar);
//         ... Bind...; m_request->Get(); applyConsoleRules();
//     }
//
//     void TFM_Misc::Bt_ApplyClick()
//     {
//         if (refuse(checkIdleTimeout()))      // "Error" box, focus back on the field
//             return;
//         if (writeInOrder({m_request})) {
//             KtWaiting::Show(this);           // ktwaiting.h (forms/main)
//         } else {
//             showStatusText(ApplyTexts::settingErrorCapital());
//         }
//     }
//
// The menu opens it through one line in src/forms/pagewindows.cpp:
//     main.connectWindow(main.Miscellaneous1, FM_Misc);
// which creates the window when the item is chosen (new TFM_Misc(&main)), shows it modally,
// destroys it when it closes and clears FM_Misc.
//
// 1. Construction. The derived constructor builds the controls, builds and binds its
//    requests and reads the device, as its creation handler does. From the base constructor
//    until the event loop next runs (normally: until the window is shown) the application
//    shows the wait cursor, since a creation that reads synchronously blocks the module.
//    The window is modal, framed by FormDecoration (title, system menu, minimise; no maximise,
//    not resizable) and centred on the main window when it is first shown. Sizing::FitContent
//    (the default) keeps the window at the size its layout asks for, also when controls are
//    shown or hidden later; Sizing::AsSized keeps the size the window gave itself with
//    resize(). Put minimum sizes on controls, not on the window.
//
// 2. Requests. Hand every request the window creates to adoptRequest(); the window owns it
//    from then on and returns a plain pointer for the window's own use. Never delete an adopted
//    request and never keep one in a member unique_ptr: the base decides when it goes (item 3).
//    Requests made for one call only (a local KtSNMPRequest2Edits in a handler) need not be
//    adopted. A dialog whose controls are bound to its opener's request (log settings) adopts
//    nothing: the opener owns the request (SetConstraintOwner gives the dialog its messages).
//
// 3. Closing. The close button, Escape (reject), accept(), close() and done() all end in
//    done(), which decides in this order:
//    - while a synchronous read or write of the window is under way (a walk that lets the
//      window process its events between rows, or a WorkingScope below), the close is refused:
//      that call is further down the stack and its request cannot go away under it;
//    - otherwise FormCloseQuery() runs (the window's one close hook; the default allows). A
//      refusal holds only while isWorking(): once none of the window's requests has a read or
//      write on its way (answered, failed or timed out), the window closes even if
//      FormCloseQuery still says no. So a window that refuses "while busy" never becomes a
//      window that cannot be closed, whatever flag it forgot to clear after a failure;
//    - closing: the window's own timers (QTimer children of the window itself) stop, the
//      window hides at once (the modal loop ends), every adopted request is stopped, the event
//      loop runs until their outstanding answers have arrived or timed out, and the requests
//      are destroyed. Nothing of a request is delivered to the window after it was stopped.
//      While the hidden window waits, the main window answers the user again.
//    A window that closes itself from code running inside its own synchronous call (a hook
//    of a synchronous read) is refused like the user: post the close instead,
//    QTimer::singleShot(0, this, [this] { close(); }), from a hook that runs after the walk.
//    Do not override done(), reject(), accept() or closeEvent(): override FormCloseQuery().
//    What the window does on closing (stop its TFTP server, stop its timers) goes into
//    FormCloseQuery when it returns true, or into the destructor.
//
// 4. Showing that it works. While one of the window's requests reads or writes (isWorking()),
//    the window shows the busy cursor and its status bar shows "Reading..." or "Writing..."
//    with the seconds waited so far (the tooltip tells how long the device is given), so a slow
//    device never makes the window look dead. Asynchronous requests are noticed by themselves;
//    a synchronous call blocks the event loop, so wrap a sequence of synchronous reads or
//    writes started from a button in a WorkingScope (writeInOrder does it for its writes). The
//    status bar is the one given to setStatusBar(), else the window's first QStatusBar.
//
// 5. Refusing input. A rule of the window returns std::optional<Refusal>: nothing when the
//    input passes, else the message and the control to give the focus back to (and whether to
//    select or empty its text). refuse(rule(), caption) shows it through KtDialogs with the
//    caption (errorCaption() "Error" on Apply, warningCaption() "Warning" while typing or on
//    leaving a field; some windows use their own, e.g. "Waring"), brings the control's tab
//    page to the front and gives it the focus; it returns true when the input was refused:
//        if (refuse(checkBeacon()) || refuse(checkDtim()))
//            return;
//    Tests call the rule itself and look at the optional, without any message box.
//
// 6. Apply. writeInOrder({a, b, c}) writes the requests synchronously in that order and stops
//    at the first that fails; the window then shows its outcome. The texts differ from window
//    to window (they are the device pages' own, character for character); ApplyTexts names the
//    ones several windows share. The waiting window (KtWaiting::Show, forms/main/ktwaiting.h)
//    and the main window's capability fields (DeviceFacts, forms/main/devicefacts.h) live
//    above this framework, in the main window's room, which every page-window room links.
#pragma once

#include "formdecoration.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QStatusBar>
#include <QString>

#include <initializer_list>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

class KtSNMPRequest2Controls;
class KtSNMPRequest2Edits;
class QLabel;
class QTimer;

// Status-bar texts of the Apply buttons that several windows share. The device pages word
// them differently (case included): each window uses exactly its own, as listed here, and keeps
// any other wording ("Setting success!", "IEEE802.11a Setting Error!") as its own constant.
namespace ApplyTexts {
// Home \ Wireless, its security settings included.
inline QString settingSuccess() { return QStringLiteral("Setting Success!"); }
inline QString settingError() { return QStringLiteral("Setting error!"); }
// Tools \ Admin, Tools \ Misc., Advanced \ Grouping, Advanced \ Filters.
inline QString settingErrorCapital() { return QStringLiteral("Setting Error!"); }
// Status \ Log \ Log Setting, Home \ LAN, Advanced \ Rogue AP (and "Set Error!" of
// Advanced \ Multi-SSID).
inline QString setSuccess() { return QStringLiteral("Set Success!"); }
inline QString setError() { return QStringLiteral("Set Error!"); }
} // namespace ApplyTexts

class TPageWindow : public QDialog
{
    Q_OBJECT

public:
    using Sizing = FormDecoration::Sizing;

    // owner: the main window (or the page window that opens this one); null in tests.
    explicit TPageWindow(QWidget *owner = nullptr, Sizing sizing = Sizing::FitContent);
    // Releases the requests still adopted (item 3) if the window was never closed.
    ~TPageWindow() override;

    // ---- Requests (item 2) ----
    // Takes the request over; returns it for the window's own use (it stays valid until the
    // window closes).
    template <class Request>
    Request *adoptRequest(std::unique_ptr<Request> request)
    {
        static_assert(std::is_base_of_v<KtSNMPRequest2Edits, Request>,
                      "a page window owns control-bound requests");
        Request *raw = request.get();
        if (raw)
            m_requests.emplace_back(std::move(request));
        return raw;
    }
    int requestCount() const { return static_cast<int>(m_requests.size()); }
    KtSNMPRequest2Edits *requestAt(int index) const { return m_requests.at(index).get(); }

    // ---- Closing (item 3) ----
    // Every close ends here; windows override FormCloseQuery instead.
    void done(int result) final;
    // True while a close waits for the requests' answers.
    bool isClosing() const { return m_closing; }
    // Whether the window has work on its way: by default, whether any adopted request reads or
    // writes (requestWorks). A window with other work that ends by itself (a TFTP transfer
    // with its own time-out) may add it; never a flag that only the window clears.
    virtual bool isWorking() const;
    // A read or write of the request is on its way: an asynchronous one whose answer (or
    // time-out) has not arrived, or a synchronous call that has not returned. A request that
    // was stopped, or whose operation ended without clearing its busy flag, does not work.
    static bool requestWorks(const KtSNMPRequest2Controls &request);
    // A synchronous call of the window is under way further down the stack: one of its
    // requests is inside Get or Set in synchronous mode, or a WorkingScope is open.
    bool synchronousCallUnderWay() const;

    // ---- Status (item 4) ----
    // The status bar for showStatusText and the working indication.
    void setStatusBar(QStatusBar *bar);
    QStatusBar *statusBar() const { return m_statusBar; }
    // A result text in the status bar ("Setting Success!"); kept until the next text.
    void showStatusText(const QString &text);
    // The working indication inside the status bar (shown while working; tests read it).
    QLabel *workingLabel() const { return m_workingLabel; }

    enum class Operation { Idle, Reading, Writing, Working };
    // What the window shows it is doing now.
    Operation currentOperation() const;
    static QString operationText(Operation operation); // "Reading...", "Writing...", ...

    // Shows Reading or Writing from its construction to its destruction, with the wait cursor,
    // painted at once: for synchronous calls, which keep the event loop from running. Closing
    // is refused while one is open.
    class WorkingScope
    {
    public:
        WorkingScope(TPageWindow *window, Operation operation);
        ~WorkingScope();
        WorkingScope(const WorkingScope &) = delete;
        WorkingScope &operator=(const WorkingScope &) = delete;

    private:
        QPointer<TPageWindow> m_window;
        Operation m_previous;
        bool m_active = false;
    };

    // ---- Refusing input (item 5) ----
    struct Refusal {
        enum Effect { Focus, SelectText, ClearText };
        QString message;
        QWidget *control = nullptr; // gets the focus back; may be null
        Effect effect = Focus;      // what happens to the control's text (line edits)
    };
    static QString errorCaption() { return QStringLiteral("Error"); }     // on Apply
    static QString warningCaption() { return QStringLiteral("Warning"); } // while typing
    // Shows the refusal, if any, and returns whether there was one.
    bool refuse(const std::optional<Refusal> &refusal, const QString &caption = errorCaption());
    // The same for a dialog that is not a page window.
    static bool showRefusal(QWidget *owner, const std::optional<Refusal> &refusal,
                            const QString &caption);

    // ---- Apply (item 6) ----
    // Set on each request in order, synchronously (each request's mode is restored after its
    // write), with refreshAfter and collect as given; stops at the first that fails or raises.
    // A raised error is shown like the requests show their own (status control, else a
    // message box). Returns whether every write succeeded.
    bool writeInOrder(std::initializer_list<KtSNMPRequest2Edits *> requests,
                      bool refreshAfter = true, bool collect = true);

protected:
    // The close hook (item 3): return false to refuse closing. It runs once per close attempt
    // that reaches it; a refusal is overruled once nothing works any more.
    virtual bool FormCloseQuery() { return true; }

    void showEvent(QShowEvent *event) override;

    // Stops every adopted request, runs the event loop until their outstanding answers have
    // arrived or timed out, and destroys them. Called by the close; a window need not call it.
    void releaseRequests();

private:
    void releaseConstructionCursor();
    void stopOwnTimers();
    void updateWorkingDisplay();
    void refusedWhileWorking();
    // The first adopted request that works, or null.
    const KtSNMPRequest2Edits *workingRequest() const;

    std::vector<std::unique_ptr<KtSNMPRequest2Edits>> m_requests;
    bool m_closing = false;
    bool m_askingToClose = false; // FormCloseQuery runs (it may show a message box)
    bool m_constructionCursor = false;
    bool m_shownOnce = false;
    int m_scopeDepth = 0;
    Operation m_scopeOperation = Operation::Idle;
    QPointer<QStatusBar> m_statusBar;
    QLabel *m_workingLabel = nullptr;
    QTimer *m_workingTimer = nullptr;
    QElapsedTimer m_workingSince;
    Operation m_shownOperation = Operation::Idle;
};
