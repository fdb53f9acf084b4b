#include "ktsnmprequest2controls.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktmessages.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace {

const QString kErrorMark = QStringLiteral("[ERROR]");
const QString kListMark = QStringLiteral("[VARLIST]");
const QString kTimeMark = QStringLiteral("[TIME]");

[[noreturn]] void fail(int code)
{
    throw KtException(code, KtMessages::text(KtMessages::Table::KtSnmp, -code - 500));
}

// "hh:nn:ss ampm": the hour on the 12-hour clock in two digits, then the English time
// designator ("ampm" stands for the system's designators, not for lower-case letters).
QString clockText(const QTime &time)
{
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

} // namespace

class KtSNMPRequest2Controls::CallScope
{
public:
    explicit CallScope(KtSNMPRequest2Controls &request)
        : m_request(&request), m_living(request.m_living)
    {
        ++request.m_calls;
    }
    ~CallScope()
    {
        // A hook or completion may have destroyed the request meanwhile.
        if (!m_living.expired())
            --m_request->m_calls;
    }
    CallScope(const CallScope &) = delete;
    CallScope &operator=(const CallScope &) = delete;

private:
    KtSNMPRequest2Controls *m_request;
    std::weak_ptr<bool> m_living;
};

KtSNMPRequest2Controls::KtSNMPRequest2Controls(QWidget *ownerForm) : owner(ownerForm)
{
    installDefaultStatusCallback();
}

KtSNMPRequest2Controls::KtSNMPRequest2Controls(QWidget *ownerForm, const KtSNMPVarItem *table,
                                               int itemType, int keyCount)
    : owner(ownerForm)
{
    request.list = KtSNMPVarList(table, itemType, keyCount);
    installDefaultStatusCallback();
}

KtSNMPRequest2Controls::~KtSNMPRequest2Controls()
{
    // Nothing the engine still receives may reach this object any more; the engine's own
    // destructor then waits for the sends in flight.
    request.alive = 0;
    request.statusCallback = nullptr;
}

void KtSNMPRequest2Controls::SetList(const KtSNMPVarList &other)
{
    request.list = other;
    request.list.instance = other.instance;
}

void KtSNMPRequest2Controls::installDefaultStatusCallback()
{
    request.statusCallback = [this](const KtSNMPError &status) { defaultReport(status); };
}

void KtSNMPRequest2Controls::defaultReport(const KtSNMPError &status)
{
    if (!statusControl && status.code == 0)
        return;
    if (messageIndex == SetMessage)
        ReportSetResult(status);
    else
        ReportGetResult(status);
}

KtSNMPError KtSNMPRequest2Controls::SuccessStatus()
{
    KtSNMPError status;
    status.code = 0;
    status.text = KtMessages::text(KtMessages::Table::KtSnmp, 0);
    status.finished = 1;
    status.serial = KtSNMPError::NoSerial;
    return status;
}

KtSNMPError KtSNMPRequest2Controls::outcomeStatus() const
{
    // A read or write whose items were all left out sent nothing: it must not look like an
    // answer of the device.
    return request.sentNothing() ? KtSNMPRequest::NothingSentStatus(messageIndex == SetMessage)
                                 : SuccessStatus();
}

void KtSNMPRequest2Controls::reportSuccess()
{
    // A copy: the callback may replace itself.
    const KtSNMPRequest::StatusCallback callback = request.statusCallback;
    if (callback)
        callback(outcomeStatus());
}

void KtSNMPRequest2Controls::runCompletion(Completion completion, const KtSNMPError &status)
{
    // completion is a copy: the window may assign another one, or destroy this request,
    // while it runs. Nothing may leave it for the event loop, so an error it raises is shown.
    if (!completion)
        return;
    const std::weak_ptr<bool> living = m_living;
    try {
        completion(this, status);
    } catch (const KtException &e) {
        if (living.expired())
            KtDialogs::message(nullptr, e.text(), KtDialogs::programFileName());
        else
            ShowException(e.code(), e.text());
    }
}

bool KtSNMPRequest2Controls::IsBusy() const
{
    // Between two steps of an asynchronous operation a step is on its way, or its answer is
    // being handled. A request stopped meanwhile (alive cleared) drops its answers unheard:
    // once none is on its way, nothing will ever end its operation.
    return busy && (m_calls > 0 || request.outstanding > 0);
}

void KtSNMPRequest2Controls::endWithSuccess(Completion KtSNMPRequest2Controls::*completion)
{
    const std::weak_ptr<bool> living = m_living;
    const KtSNMPError success = outcomeStatus();
    reportSuccess();
    if (living.expired())
        return;
    runCompletion(this->*completion, success);
}

void KtSNMPRequest2Controls::endWithException(Completion KtSNMPRequest2Controls::*completion,
                                              const KtException &e)
{
    const std::weak_ptr<bool> living = m_living;
    ShowException(e.code(), e.text());
    if (living.expired())
        return;
    KtSNMPError failure;
    failure.code = e.code();
    failure.text = e.text();
    failure.finished = 1;
    runCompletion(this->*completion, failure);
}

// ---- Reading ----

bool KtSNMPRequest2Controls::Get()
{
    if (IsBusy())
        return false;
    const CallScope call(*this);
    // Busy from here: a hook that lets the window paint cannot start another read.
    busy = 1;
    messageIndex = GetMessage;
    try {
        BeforeGet();
        m_masterFilterText.clear();
        if (master && !masterFilter.isEmpty())
            m_masterFilterText =
                master->request.SubstituteValues(masterFilter, QStringLiteral("#"), true);
    } catch (...) {
        busy = 0;
        throw;
    }
    rowCount = 0;
    return mode == Synchronous ? getSync() : getAsync();
}

bool KtSNMPRequest2Controls::rowPassesFilters()
{
    return request.Condition(m_masterFilterText) && request.Condition(request.rowFilter);
}

bool KtSNMPRequest2Controls::getSync()
{
    bool ok = false;
    try {
        if (request.list.IsTable()) {
            bool more = false;
            ok = request.ReadSync(true, &more);
            while (ok && more) {
                if (rowPassesFilters()) {
                    OnRow();
                    ++rowCount;
                }
                ok = request.ReadSync(false, &more);
            }
        } else {
            // A failed read leaves the controls showing what they showed.
            ok = request.ReadSync(true);
            if (ok && rowPassesFilters()) {
                OnRow();
                ++rowCount;
            }
        }
        AfterGet();
    } catch (const KtException &e) {
        busy = 0;
        throw KtException(e.code(), e.text());
    }
    busy = 0;
    if (ok)
        reportSuccess();
    return ok;
}

bool KtSNMPRequest2Controls::getAsync()
{
    if (!request.alive) {
        busy = 0;
        return false;
    }
    try {
        request.ReadAsync(
            [](void *self, const KtSNMPError &status, KtSNMPVarList &) {
                static_cast<KtSNMPRequest2Controls *>(self)->onReadStep(status);
            },
            this, true);
    } catch (const KtException &e) {
        busy = 0;
        throw KtException(e.code(), e.text());
    }
    return true;
}

void KtSNMPRequest2Controls::onReadStep(const KtSNMPError &status)
{
    const CallScope call(*this);
    const std::weak_ptr<bool> living = m_living;
    if (status.code != 0) {
        busy = 0;
        messageIndex = GetMessage;
        runCompletion(OnGetComplete, status);
        return;
    }
    const bool table = request.list.IsTable();
    try {
        // A table step that finished delivered no row: every column had ended.
        if ((!table || status.finished == 0) && rowPassesFilters()) {
            OnRow();
            if (living.expired())
                return;
            ++rowCount;
        }
        if (table && status.finished == 0) {
            if (!request.alive) {
                busy = 0;
                return;
            }
            request.ReadAsync(
                [](void *self, const KtSNMPError &next, KtSNMPVarList &) {
                    static_cast<KtSNMPRequest2Controls *>(self)->onReadStep(next);
                },
                this, false);
            return;
        }
        AfterGet();
        if (living.expired())
            return;
    } catch (const KtException &e) {
        // The read ends here; the window still hears of it, so that it does not wait forever.
        if (!living.expired()) {
            busy = 0;
            endWithException(&KtSNMPRequest2Controls::OnGetComplete, e);
        }
        return;
    }
    busy = 0;
    endWithSuccess(&KtSNMPRequest2Controls::OnGetComplete);
}

// ---- Writing ----

bool KtSNMPRequest2Controls::Set(bool refreshAfter, bool collect, const QString &itemMap,
                                 const QStringList &values)
{
    if (IsBusy())
        return false;
    const CallScope call(*this);
    busy = 1;
    messageIndex = SetMessage;
    refreshAfterSet = refreshAfter ? 1 : 0;
    try {
        OnBeforeSet();
        if (collect)
            BeforeSet();
    } catch (...) {
        busy = 0;
        throw;
    }
    return mode == Synchronous ? setSync(itemMap, values) : setAsync(itemMap, values);
}

bool KtSNMPRequest2Controls::setSync(const QString &itemMap, const QStringList &values)
{
    const std::weak_ptr<bool> living = m_living;
    bool ok = false;
    try {
        ok = request.WriteSync(itemMap, values);
    } catch (const KtException &e) {
        busy = 0;
        throw KtException(e.code(), e.text());
    }
    // The write has ended: the after-set hook may read this request again. As in asynchronous
    // mode, the after-set work (and the read after it) follows a successful write only.
    busy = 0;
    if (!ok)
        return false;
    AfterSet();
    if (living.expired())
        return ok;
    reportSuccess();
    if (!living.expired() && request.list.IsTable() && refreshAfterSet)
        Get();
    return ok;
}

bool KtSNMPRequest2Controls::setAsync(const QString &itemMap, const QStringList &values)
{
    if (!request.alive) {
        busy = 0;
        return false;
    }
    try {
        request.WriteAsync(
            [](void *self, const KtSNMPError &status, KtSNMPVarList &) {
                static_cast<KtSNMPRequest2Controls *>(self)->onWriteDone(status);
            },
            this, itemMap, values);
    } catch (const KtException &e) {
        busy = 0;
        throw KtException(e.code(), e.text());
    }
    return true;
}

void KtSNMPRequest2Controls::onWriteDone(const KtSNMPError &status)
{
    const CallScope call(*this);
    const std::weak_ptr<bool> living = m_living;
    // The write has ended: the after-set hook may read this request again.
    busy = 0;
    if (status.code != 0) {
        runCompletion(OnSetComplete, status);
        return;
    }
    try {
        AfterSet();
    } catch (const KtException &e) {
        if (!living.expired())
            endWithException(&KtSNMPRequest2Controls::OnSetComplete, e);
        return;
    }
    if (living.expired())
        return;
    endWithSuccess(&KtSNMPRequest2Controls::OnSetComplete);
    if (living.expired() || !request.list.IsTable() || !refreshAfterSet)
        return;
    try {
        Get();
    } catch (const KtException &e) {
        ShowException(e.code(), e.text());
    }
}

// ---- Status ----

void KtSNMPRequest2Controls::SetStatusControl(QWidget *control)
{
    if (control && !qobject_cast<QPlainTextEdit *>(control)
        && !qobject_cast<QStatusBar *>(control) && !qobject_cast<QLabel *>(control))
        fail(-521);
    statusControl = control;
}

QString KtSNMPRequest2Controls::StatusLine(const QString &text, const QTime &time) const
{
    QString line = KtMessages::text(KtMessages::Table::SnmpMsg,
                                    messageIndex == SetMessage ? SetMessage : GetMessage);
    const QString &name = request.list.listName;
    if (name.isEmpty()) {
        // "Get: [ERROR] Request:[VARLIST]. ..." becomes "Get: [ERROR]. ...".
        const int error = line.indexOf(kErrorMark);
        const int list = line.indexOf(kListMark);
        if (error >= 0 && list > error) {
            const int from = error + kErrorMark.size();
            line.remove(from, list + kListMark.size() - from);
        }
    }
    // The texts go in one pass, so a list name or status text holding a marker stays as is.
    QString result;
    int position = 0;
    while (position < line.size()) {
        if (line.mid(position, kListMark.size()) == kListMark) {
            result += name;
            position += kListMark.size();
        } else if (line.mid(position, kErrorMark.size()) == kErrorMark) {
            result += text;
            position += kErrorMark.size();
        } else if (line.mid(position, kTimeMark.size()) == kTimeMark) {
            result += clockText(time);
            position += kTimeMark.size();
        } else {
            result += line.at(position++);
        }
    }
    return result;
}

void KtSNMPRequest2Controls::ShowStatus(const QString &text)
{
    if (!statusControl)
        return;
    const QString line = StatusLine(text, QTime::currentTime());
    if (auto *memo = qobject_cast<QPlainTextEdit *>(statusControl.data()))
        memo->appendPlainText(line);
    else if (auto *bar = qobject_cast<QStatusBar *>(statusControl.data()))
        bar->showMessage(line);
    else if (auto *panel = qobject_cast<QLabel *>(statusControl.data()))
        panel->setText(line);
}

void KtSNMPRequest2Controls::message(const QString &text)
{
    KtDialogs::message(owner, text, KtDialogs::programFileName());
}

void KtSNMPRequest2Controls::ReportGetResult(const KtSNMPError &status)
{
    messageIndex = GetMessage;
    if (statusControl)
        ShowStatus(status.text);
    else
        message(status.text);
}

void KtSNMPRequest2Controls::ReportSetResult(const KtSNMPError &status)
{
    messageIndex = SetMessage;
    if (statusControl)
        ShowStatus(status.text);
    else
        message(status.text);
}

void KtSNMPRequest2Controls::ShowException(int code, const QString &text)
{
    Q_UNUSED(code)
    if (statusControl)
        ShowStatus(text);
    else
        message(text);
}
