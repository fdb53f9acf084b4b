// An empty window that becomes an SNMP editor for any variable list: the caller hands it a
// request bound to controls and shows it modally. The form owns the requests, reads once more
// by itself when its event loop starts, and waits for their outstanding answers when it closes
// (a page window: TPageWindow).
#pragma once

#include "tpagewindow.h"

#include <QEvent>

class KtSNMPRequest2Edits;
class TSNMPEditorPanel;

class TConfigForm : public TPageWindow
{
    Q_OBJECT

public:
    enum FormType : quint8 { EmptyForm = 0, EditorForm = 1 };

    // Posted to the form at construction; the form refreshes when it arrives.
    static constexpr QEvent::Type RefreshEventType =
        static_cast<QEvent::Type>(QEvent::User + 1234);

    explicit TConfigForm(QWidget *owner = nullptr);
    ~TConfigForm() override;

    // Takes the request over and makes the form its editor. A form has one type: a second call
    // throws KtException "Can not change Type of a Config Form!". Any exception leaves the
    // request with the caller, who still owns it and deletes it: a panel that cannot be built
    // (-522 for a writable item with a prefix option list, whose rest has no edit in the grid)
    // leaves no part of itself behind, the form empty (it may take another editor) and the
    // request without the bindings and the status control the panel gave it.
    TSNMPEditorPanel *AddEditor(KtSNMPRequest2Edits *request);

    // Reads the request of the form's type (the first one for an editor). While that request
    // is still busy with a read (the creator's, sent just before the form opened) the refresh
    // waits for it to end, then reads.
    void Refresh();

    quint8 formType() const { return m_formType; }
    TSNMPEditorPanel *editorPanel() const { return m_editor; }
    KtSNMPRequest2Edits *currentRequest() const { return m_current; }

    static QString changeTypeMessage()
    {
        return QStringLiteral("Can not change Type of a Config Form!");
    }

protected:
    bool event(QEvent *event) override;
    // The panel lets go of the request before the form releases it.
    bool FormCloseQuery() override;

private:
    quint8 m_formType = EmptyForm;
    KtSNMPRequest2Edits *m_current = nullptr;
    TSNMPEditorPanel *m_editor = nullptr;
};
