#include "tconfigform.h"

#include "formplacement.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "tsnmpeditorpanel.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {

constexpr int kDesignWidth = 159;
constexpr int kDesignHeight = 105;
constexpr int kBusyRetryMs = 20;

} // namespace

TConfigForm::TConfigForm(QWidget *owner) : TPageWindow(owner, Sizing::AsSized)
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
    // The base releases the requests after this: the panel must not reach them meanwhile.
    if (m_editor)
        m_editor->ForgetRequest();
}

TSNMPEditorPanel *TConfigForm::AddEditor(KtSNMPRequest2Edits *request)
{
    if (m_formType != EmptyForm)
        throw KtException(-1, changeTypeMessage());
    // The panel first: when it cannot be built the form stays empty and the request goes back
    // to the caller as it was handed over, without the bindings and the status control the
    // panel gave it.
    const int bindings = request ? static_cast<int>(request->Bindings().size()) : 0;
    const QPointer<QWidget> statusControl = request ? request->statusControl : nullptr;
    TSNMPEditorPanel *panel = nullptr;
    try {
        panel = new TSNMPEditorPanel(this, request);
    } catch (...) {
        if (request) {
            request->UnbindFrom(bindings);
            request->statusControl = statusControl;
        }
        throw;
    }
    m_formType = EditorForm;
    adoptRequest(std::unique_ptr<KtSNMPRequest2Edits>(request));
    m_editor = panel;
    m_editor->AttachTo(this);
    return m_editor;
}

bool TConfigForm::event(QEvent *event)
{
    if (event->type() == RefreshEventType) {
        Refresh();
        return true;
    }
    return TPageWindow::event(event);
}

void TConfigForm::Refresh()
{
    if (isClosing() || m_formType == EmptyForm || requestCount() == 0)
        return;
    KtSNMPRequest2Edits *chosen = requestAt(0);
    // An editor whose panel could not be built (no request handed over) has nothing to read.
    if (!chosen)
        return;
    if (chosen->IsBusy()) {
        // The creator's read is still on its way, and a busy request refuses another: read
        // again once it has ended, so that both land in the controls in the order asked for.
        // Its answer arrives through the 20 ms event timer; look again at that pace.
        QTimer::singleShot(kBusyRetryMs, this, [this] { Refresh(); });
        return;
    }
    if (m_current)
        m_current->request.alive = 0;
    m_current = chosen;
    m_current->request.alive = 1;
    // The editor's own refresh also shows that the read is under way.
    if (m_editor && m_editor->Request() == m_current) {
        m_editor->Refresh();
        return;
    }
    try {
        m_current->Get();
    } catch (const KtException &e) {
        m_current->ShowStatus(e.text());
    }
}

bool TConfigForm::FormCloseQuery()
{
    if (m_editor)
        m_editor->ForgetRequest();
    m_current = nullptr;
    return true;
}
