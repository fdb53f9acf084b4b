#include "tpagewindow.h"

#include "formplacement.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// How often the working indication looks at the requests: fast enough that a read of a
// tenth of a second shows no flicker of a stale state, slow enough to cost nothing.
constexpr int kWorkingPollMs = 100;
// The seconds waited are shown once the device has kept the window waiting this long.
constexpr int kShowSecondsAfterMs = 1000;

} // namespace

TPageWindow::TPageWindow(QWidget *owner, Sizing sizing) : QDialog(owner)
{
    setModal(true);
    FormDecoration::apply(this, sizing);
    // The derived constructor reads the device, often synchronously: until the event loop runs
    // again (the window is shown) the module shows that it is busy.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_constructionCursor = true;
    QTimer::singleShot(0, this, [this] { releaseConstructionCursor(); });

    m_workingTimer = new QTimer(this);
    m_workingTimer->setInterval(kWorkingPollMs);
    connect(m_workingTimer, &QTimer::timeout, this, [this] { updateWorkingDisplay(); });
}

TPageWindow::~TPageWindow()
{
    releaseConstructionCursor();
    if (!m_requests.empty()) {
        // Destroyed without being closed (a test, or an exception in the derived
        // constructor). The derived part is gone already while its controls still live: none
        // of its timers may fire and no control may call its slots (a focus change on hiding)
        // while the answers are awaited.
        stopOwnTimers();
        blockSignals(true);
        const QList<QObject *> children = findChildren<QObject *>();
        for (QObject *child : children)
            child->blockSignals(true);
        hide();
        releaseRequests();
    }
}

void TPageWindow::releaseConstructionCursor()
{
    if (!m_constructionCursor)
        return;
    m_constructionCursor = false;
    QApplication::restoreOverrideCursor();
}

// ---- Closing ----

bool TPageWindow::requestWorks(const KtSNMPRequest2Controls &request)
{
    // A stopped request hears nothing more, so its busy flag may stay set for good: it does
    // not work. (A window does not make synchronous calls on a request it stopped.)
    if (!request.busy || !request.request.alive)
        return false;
    // An asynchronous read or write has a send on its way until its answer or its time-out
    // arrives; a synchronous one is under way exactly while its busy flag is set.
    return request.request.outstanding > 0 || request.mode == KtSNMPRequest2Controls::Synchronous;
}

const KtSNMPRequest2Edits *TPageWindow::workingRequest() const
{
    for (const auto &request : m_requests) {
        if (request && requestWorks(*request))
            return request.get();
    }
    return nullptr;
}

bool TPageWindow::isWorking() const
{
    return m_scopeDepth > 0 || workingRequest() != nullptr;
}

bool TPageWindow::synchronousCallUnderWay() const
{
    if (m_scopeDepth > 0)
        return true;
    for (const auto &request : m_requests) {
        if (request && request->mode == KtSNMPRequest2Controls::Synchronous
            && requestWorks(*request))
            return true;
    }
    return false;
}

void TPageWindow::done(int result)
{
    // The wait for the answers runs the event loop, and so may the window's own rule: a second
    // close meanwhile changes nothing.
    if (m_closing || m_askingToClose)
        return;
    // The call that works is further down this stack: its request must outlive it.
    if (synchronousCallUnderWay()) {
        refusedWhileWorking();
        return;
    }
    // The window's own rule, which holds only while something is really on its way.
    bool allowed = false;
    {
        m_askingToClose = true;
        const auto asked = qScopeGuard([this] { m_askingToClose = false; });
        allowed = FormCloseQuery();
    }
    if (!allowed && isWorking()) {
        refusedWhileWorking();
        return;
    }
    m_closing = true;
    stopOwnTimers();
    m_workingTimer->stop();
    unsetCursor();
    // Hidden at once: the user sees the close answered even while a silent device keeps the
    // requests waiting for their time-outs. exec() returns once this call has returned.
    QDialog::done(result);
    releaseRequests();
    m_closing = false;
}

void TPageWindow::refusedWhileWorking()
{
    QApplication::beep();
    updateWorkingDisplay();
}

void TPageWindow::stopOwnTimers()
{
    // Only the window's own timers: a child component (a TFTP server) runs its timers until it
    // is stopped itself.
    const QList<QTimer *> timers = findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    for (QTimer *timer : timers)
        timer->stop();
}

void TPageWindow::releaseRequests()
{
    if (m_requests.empty())
        return;
    // Taken out first: nothing the event loop runs below finds a request being destroyed.
    std::vector<std::unique_ptr<KtSNMPRequest2Edits>> released;
    released.swap(m_requests);
    // Stopped all at once, so that none sends its next step while another is waited for.
    for (auto &request : released)
        request->request.alive = 0;
    QTimer tick; // wakes the wait even when no other event arrives
    tick.start(20);
    for (auto &request : released) {
        // A stopped request hears no more of its answers (its busy flag may stay set): the
        // wait ends when nothing of it is on its way any more, answered or timed out.
        while (request->request.outstanding > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        request.reset();
    }
}

// ---- Showing ----

void TPageWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    releaseConstructionCursor();
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormPlacement::centreOnMainWindow(this, size());
        if (!m_statusBar) {
            if (auto *bar = findChild<QStatusBar *>())
                setStatusBar(bar);
        }
    }
    if (!m_closing)
        m_workingTimer->start();
    updateWorkingDisplay();
}

void TPageWindow::setStatusBar(QStatusBar *bar)
{
    if (bar == m_statusBar)
        return;
    delete m_workingLabel;
    m_workingLabel = nullptr;
    m_statusBar = bar;
    if (!bar)
        return;
    m_workingLabel = new QLabel(bar);
    m_workingLabel->setObjectName(QStringLiteral("PageWorkingLabel"));
    bar->addPermanentWidget(m_workingLabel);
    m_workingLabel->hide();
    updateWorkingDisplay();
}

void TPageWindow::showStatusText(const QString &text)
{
    if (m_statusBar)
        m_statusBar->showMessage(text);
}

TPageWindow::Operation TPageWindow::currentOperation() const
{
    if (m_scopeDepth > 0)
        return m_scopeOperation;
    if (const KtSNMPRequest2Edits *request = workingRequest())
        return request->messageIndex == KtSNMPRequest2Controls::SetMessage ? Operation::Writing
                                                                          : Operation::Reading;
    return isWorking() ? Operation::Working : Operation::Idle;
}

QString TPageWindow::operationText(Operation operation)
{
    switch (operation) {
    case Operation::Reading:
        return QStringLiteral("Reading...");
    case Operation::Writing:
        return QStringLiteral("Writing...");
    case Operation::Working:
        return QStringLiteral("Working...");
    case Operation::Idle:
        break;
    }
    return QString();
}

void TPageWindow::updateWorkingDisplay()
{
    const Operation operation = m_closing ? Operation::Idle : currentOperation();
    if (operation == Operation::Idle) {
        if (m_shownOperation != Operation::Idle) {
            unsetCursor();
            if (m_workingLabel)
                m_workingLabel->hide();
        }
        m_shownOperation = Operation::Idle;
        m_workingSince.invalidate();
        return;
    }
    if (m_shownOperation == Operation::Idle) {
        m_workingSince.start();
        setCursor(Qt::BusyCursor);
    }
    m_shownOperation = operation;
    if (!m_workingLabel)
        return;
    QString text = operationText(operation);
    const qint64 waited = m_workingSince.elapsed();
    if (waited >= kShowSecondsAfterMs)
        text += QStringLiteral(" %1 s").arg(waited / 1000);
    m_workingLabel->setText(text);
    if (const KtSNMPRequest2Edits *request = workingRequest()) {
        const int seconds = request->request.timeout * (request->request.retries + 1) / 100;
        m_workingLabel->setToolTip(
            QStringLiteral("The device is given %1 s to answer each request.").arg(seconds));
    } else {
        m_workingLabel->setToolTip(QString());
    }
    m_workingLabel->show();
}

TPageWindow::WorkingScope::WorkingScope(TPageWindow *window, Operation operation)
    : m_window(window), m_previous(window ? window->m_scopeOperation : Operation::Idle)
{
    if (!window)
        return;
    m_active = true;
    ++window->m_scopeDepth;
    window->m_scopeOperation = operation;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window->updateWorkingDisplay();
    // The event loop will not run before the call returns: paint the indication now.
    if (window->m_workingLabel && window->isVisible())
        window->m_workingLabel->repaint();
}

TPageWindow::WorkingScope::~WorkingScope()
{
    if (!m_active)
        return;
    QApplication::restoreOverrideCursor();
    // The window may have gone meanwhile (a completion destroyed it).
    TPageWindow *window = m_window.data();
    if (!window)
        return;
    --window->m_scopeDepth;
    window->m_scopeOperation = m_previous;
    window->updateWorkingDisplay();
}

// ---- Refusing input ----

bool TPageWindow::refuse(const std::optional<Refusal> &refusal, const QString &caption)
{
    return showRefusal(this, refusal, caption);
}

bool TPageWindow::showRefusal(QWidget *owner, const std::optional<Refusal> &refusal,
                              const QString &caption)
{
    if (!refusal)
        return false;
    KtDialogs::message(owner, refusal->message, caption);
    QWidget *control = refusal->control;
    if (!control)
        return true;
    // The page (tab) holding the control comes to the front, outermost first. A tab widget
    // is told itself, so that its tab bar follows.
    QList<QPair<QStackedWidget *, QWidget *>> pages;
    for (QWidget *child = control; child && child != owner; child = child->parentWidget()) {
        if (auto *stack = qobject_cast<QStackedWidget *>(child->parentWidget()))
            pages.prepend({stack, child});
    }
    for (const auto &page : pages) {
        if (auto *tabs = qobject_cast<QTabWidget *>(page.first->parentWidget()))
            tabs->setCurrentWidget(page.second);
        else
            page.first->setCurrentWidget(page.second);
    }
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        if (refusal->effect == Refusal::ClearText)
            edit->clear();
        else if (refusal->effect == Refusal::SelectText)
            edit->selectAll();
    }
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

// ---- Apply ----

bool TPageWindow::writeInOrder(std::initializer_list<KtSNMPRequest2Edits *> requests,
                               bool refreshAfter, bool collect)
{
    const WorkingScope working(this, Operation::Writing);
    for (KtSNMPRequest2Edits *request : requests) {
        if (!request)
            return false;
        const quint8 mode = request->mode;
        request->mode = KtSNMPRequest2Controls::Synchronous;
        bool ok = false;
        try {
            ok = request->Set(refreshAfter, collect);
        } catch (const KtException &e) {
            if (request->statusControl)
                request->ShowStatus(e.text());
            else
                KtDialogs::message(this, e.text(), KtDialogs::programFileName());
        }
        request->mode = mode;
        if (!ok)
            return false;
    }
    return true;
}
