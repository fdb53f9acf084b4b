// A request whose values travel through a window's controls: Get reads the device and hands each
// delivered row to OnRow, Set writes the list, and every outcome ends up in a status line or a
// message box. KtSNMPRequest2Edits adds the control bindings themselves.
#pragma once

#include "ktsnmperror.h"
#include "ktsnmprequest.h"
#include "ktsnmpvaritem.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QWidget>

#include <functional>
#include <memory>

class KtException;

class KtSNMPRequest2Controls
{
public:
    // Completion of an asynchronous read or write: (this request, status). It may destroy the
    // request; nothing of the request is touched after it returns in that case.
    using Completion =
        std::function<void(KtSNMPRequest2Controls *request, const KtSNMPError &status)>;

    enum Mode : quint8 { Synchronous = 0, Asynchronous = 1 };
    enum MessageIndex : qint32 { GetMessage = 0, SetMessage = 1 };

    // owner: the form that owns message boxes (may be null). The engine copies the session
    // records here, so construct requests only after the launch parameters are applied.
    // The list is empty: give it one with SetList, or use the second form.
    explicit KtSNMPRequest2Controls(QWidget *owner = nullptr);
    // Same, with the list built from a static item table (ended by a record without OID).
    KtSNMPRequest2Controls(QWidget *owner, const KtSNMPVarItem *table, int itemType,
                           int keyCount = 0);
    // Stops the engine from delivering anything more, then lets it wait (at most 6 s) for the
    // asynchronous sends still in flight.
    virtual ~KtSNMPRequest2Controls();
    KtSNMPRequest2Controls(const KtSNMPRequest2Controls &) = delete;
    KtSNMPRequest2Controls &operator=(const KtSNMPRequest2Controls &) = delete;

    // The request's variable list (request.list).
    KtSNMPVarList &list() { return request.list; }
    const KtSNMPVarList &list() const { return request.list; }
    // Deep copy of another list (items, type, key count, name; the instance too).
    void SetList(const KtSNMPVarList &other);

    // Reads the list. Synchronous: returns whether the read succeeded; every delivered row
    // that passes the master filter and the row filter went to OnRow, then AfterGet ran.
    // Asynchronous: returns whether the first step was sent; the steps follow from the event
    // loop and OnGetComplete ends the read (also when it failed). KtException from the engine
    // or from OnRow is raised again (busy cleared) in synchronous mode; in asynchronous mode it
    // is shown (status control or message box), ends the read and reaches OnGetComplete with
    // its code and text.
    //
    // A busy request (IsBusy) refuses: Get returns false at once and does nothing else. No
    // hook runs, the list view and the controls keep what they show, nothing is sent or
    // reported, and no completion follows for the refused call (the running read or write
    // still ends with its own). This holds for a read or write in flight in asynchronous mode
    // and for a call made from inside a synchronous one: a timer that fires while a
    // synchronous walk lets the window paint (OnRow), or while its message box is up.
    // Refused rather than queued: the walk position and the item values belong to the running
    // operation, a periodic refresh (the client list every second) would otherwise pile its
    // reads up behind a walk that takes longer than its period, and its next tick reads anyway.
    // A window that must not lose a read the user asked for checks IsBusy first (and keeps its
    // Refresh button disabled meanwhile), or reads again from OnGetComplete or afterGetHook.
    bool Get();
    // Writes every writable item (or those of itemMap, taking values in order, see
    // KtSNMPRequest::WriteSync). refreshAfter: read a table list again after a successful
    // write. collect: take the bound controls into the items first (BeforeSet). Synchronous:
    // returns whether the write succeeded; on success AfterSet, the status, then the read.
    // Asynchronous: returns whether it was sent; on success AfterSet, the status,
    // OnSetComplete, then the read. A failed write reaches only the status callback (and
    // OnSetComplete).
    //
    // Refused like Get while the request is busy (nothing collected, nothing sent, false).
    // The write has ended when AfterSet runs: an after-set hook may read the request again
    // (then the read refreshAfter asks for is refused as busy, so the table is not read twice
    // at once).
    bool Set(bool refreshAfter = true, bool collect = true, const QString &itemMap = QString(),
             const QStringList &values = QStringList());

    // Whether a read or write of this request is under way, so that Get and Set would refuse.
    // Windows ask it before a refresh or an action that needs the request (a 1-second timer
    // skips its tick, a Set button stays disabled, a close waits). True from the start of Get
    // or Set (before BeforeGet or the collecting) until the read has delivered its last row
    // and AfterGet has run, or until the write's answer is in (before AfterSet). A request
    // stopped by clearing request.alive hears no more of what it sent: it stops being busy
    // once nothing of it is on its way any more (answered or timed out), even though its busy
    // field may still read 1; set alive again, it reads and writes as before.
    bool IsBusy() const;

    // Where status lines go: a QPlainTextEdit (memo, a line appended), a QStatusBar (its
    // message) or a QLabel (status panel, its text); null for message boxes.
    void SetStatusControl(QWidget *control);
    // Writes one status line built from the "snmp.msg" template of messageIndex into the
    // status control: "Get: <text> Request:<list name>. Receive at 07:05:09 pm." (the
    // " Request:<name>" piece is left out for a list without a name). Nothing without a status
    // control.
    void ShowStatus(const QString &text);
    // The status line ShowStatus would write at the given time (tests, windows' own bars).
    QString StatusLine(const QString &text, const QTime &time) const;

    // ---- The record ----
    // The engine. Windows set request.timeout, request.retries, request.rowFilter and switch
    // item access in request.list. request.statusCallback is set by the constructor to the
    // default report (below); a window may replace it or clear it.
    //
    // Default report: with a status control every status (errors and the success of a
    // completed read or write) goes to ReportGetResult or ReportSetResult, chosen by
    // messageIndex; without a status control only errors do, as a message box captioned with
    // the program's file name (a success box after every read would stop the user at each
    // poll). Requests polled by a timer without a status control should clear or replace it.
    KtSNMPRequest request;
    Completion OnGetComplete; // after an asynchronous read completes or fails
    Completion OnSetComplete; // after an asynchronous write completes or fails
    quint8 mode = Asynchronous; // 0 synchronous, 1 asynchronous; windows mostly set 0
    quint8 busy = 0;            // 1 from Get/Set until the read or write has ended; see IsBusy
    QPointer<QWidget> owner;    // parent of message boxes
    qint32 rowCount = 0;        // rows the last read delivered (and passed the filters)
    QPointer<QWidget> statusControl;
    qint32 messageIndex = GetMessage; // 0 read, 1 write: selects the status template
    quint8 refreshAfterSet = 1;       // read a table list again after a successful write
    KtSNMPRequest2Controls *master = nullptr; // the request masterFilter refers to (not owned)
    // Condition on the master's values: "#N" stands for the master's item N (strings quoted).
    // Rows are delivered only while it holds. Empty: always.
    QString masterFilter;

    // ---- Virtual operations, in slot order ----
    virtual void BeforeGet() {}   // start of Get
    virtual void OnBeforeSet() {} // start of Set
    virtual void OnRow() = 0;     // one delivered row (or the scalars) passed the filters
    virtual void BeforeSet() {}   // Set with collect: take the controls into the items
    // Show one status: the status control when there is one, else a message box (OK).
    virtual void ReportGetResult(const KtSNMPError &status);
    virtual void ReportSetResult(const KtSNMPError &status);
    virtual void AfterGet() {} // a read has delivered its last row (or failed synchronously)
    virtual void AfterSet() {} // a write has succeeded

protected:
    // Shows an exception raised inside an asynchronous read or write: the status control, or
    // a message box captioned with the program's file name.
    void ShowException(int code, const QString &text);
    // The success status record of a completed read or write (code 0, serial all ones).
    static KtSNMPError SuccessStatus();
    // SuccessStatus(), or the engine's nothing-sent status when the read or write had no item.
    KtSNMPError outcomeStatus() const;

private:
    void installDefaultStatusCallback();
    void defaultReport(const KtSNMPError &status);
    bool getSync();
    bool getAsync();
    bool setSync(const QString &itemMap, const QStringList &values);
    bool setAsync(const QString &itemMap, const QStringList &values);
    void onReadStep(const KtSNMPError &status);
    void onWriteDone(const KtSNMPError &status);
    bool rowPassesFilters();
    void reportSuccess();
    void runCompletion(Completion completion, const KtSNMPError &status);
    // Ends an asynchronous read or write (the caller has cleared busy): the status callback
    // (success) or the error shown, then the completion named by the member pointer (read from
    // the member only then, as the window may have replaced it). Returns early if this request
    // is destroyed.
    void endWithSuccess(Completion KtSNMPRequest2Controls::*completion);
    void endWithException(Completion KtSNMPRequest2Controls::*completion, const KtException &e);
    void message(const QString &text);

    // Counts this request's calls on the stack (Get, Set, the handling of an answer): while
    // one runs, its operation is under way even with nothing on its way to the device.
    class CallScope;
    int m_calls = 0;
    QString m_masterFilterText; // masterFilter with the master's values, fixed at Get
    // Cleared by the destructor: a completion that destroyed this request is noticed.
    std::shared_ptr<bool> m_living = std::make_shared<bool>(true);
};
