#include "tconfigform.h"

#include "formplacement.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "tsnmpeditorpanel.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

constexpr int kDesignWidth = 159;
constexpr int kDesignHeight = 105;

} // namespace

TConfigForm::TConfigForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ConfigForm"));
    setWindowTitle(QStringLiteral("ConfigForm"));
    resize(kDesignWidth, kDesignHeight);
    FormPlacement::centreOnMainWindow(this, QSize(kDesignWidth, kDesignHeight));
    // Handled once the window's event loop runs: the form reads again when it opens, after
    // whatever its creator did before showing it.
    QCoreApplication::postEvent(this, new QEvent(RefreshEventType));
}

TConfigForm::~TConfigForm()
{
    releaseRequests();
}

TSNMPEditorPanel *TConfigForm::AddEditor(KtSNMPRequest2Edits *request)
{
    if (m_formType != EmptyForm)
        throw KtException(-1, changeTypeMessage());
    m_formType = EditorForm;
    m_requests.emplace_back(request);
    m_editor = new TSNMPEditorPanel(this, request);
    m_editor->AttachTo(this);
    return m_editor;
}

bool TConfigForm::event(QEvent *event)
{
    if (event->type() == RefreshEventType) {
        Refresh();
        return true;
    }
    return QDialog::event(event);
}

void TConfigForm::Refresh()
{
    if (m_closing || m_formType == EmptyForm || m_requests.empty())
        return;
    KtSNMPRequest2Edits *chosen = m_requests.front().get();
    // An editor whose panel could not be built (no request handed over) has nothing to read.
    if (!chosen)
        return;
    if (m_current)
        m_current->request.alive = 0;
    m_current = chosen;
    m_current->request.alive = 1;
    try {
        m_current->Get();
    } catch (const KtException &e) {
        m_current->ShowStatus(e.text());
    }
}

void TConfigForm::done(int result)
{
    // The wait below runs the event loop: a second close meanwhile must not start another.
    if (m_closing)
        return;
    releaseRequests();
    QDialog::done(result);
}

void TConfigForm::releaseRequests()
{
    if (m_closing || m_requests.empty())
        return;
    m_closing = true;
    // Nothing more may be clicked while the answers are awaited.
    setEnabled(false);
    if (m_editor)
        m_editor->ForgetRequest();
    QTimer tick;
    tick.start(20);
    for (auto &request : m_requests) {
        if (!request)
            continue;
        request->request.alive = 0;
        // A stopped request hears no more of its answers, so its busy flag may stay set: the
        // wait ends when nothing of it is on its way any more (answered or timed out).
        while (request->busy && request->request.outstanding > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        request.reset();
    }
    m_requests.clear();
    m_current = nullptr;
    setEnabled(true);
    m_closing = false;
}
