// An empty window that becomes an SNMP editor for any variable list: the caller hands it a
// request bound to controls and shows it modally. The form owns the requests, reads once more
// by itself when its event loop starts, and waits for their outstanding answers when it closes.
#pragma once

#include <QDialog>
#include <QEvent>

#include <memory>
#include <vector>

class KtSNMPRequest2Edits;
class TSNMPEditorPanel;

class TConfigForm : public QDialog
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
    // throws KtException "Can not change Type of a Config Form!" and leaves the request with
    // the caller.
    TSNMPEditorPanel *AddEditor(KtSNMPRequest2Edits *request);

    // Reads the request of the form's type (the first one for an editor).
    void Refresh();

    quint8 formType() const { return m_formType; }
    TSNMPEditorPanel *editorPanel() const { return m_editor; }
    KtSNMPRequest2Edits *currentRequest() const { return m_current; }
    int requestCount() const { return static_cast<int>(m_requests.size()); }
    // True while the form waits for its requests' answers on closing.
    bool isClosing() const { return m_closing; }

    void done(int result) override;

    static QString changeTypeMessage()
    {
        return QStringLiteral("Can not change Type of a Config Form!");
    }

protected:
    bool event(QEvent *event) override;

private:
    // Stops every request, waits while it is busy with an answer still on its way, destroys it.
    void releaseRequests();

    quint8 m_formType = EmptyForm;
    std::vector<std::unique_ptr<KtSNMPRequest2Edits>> m_requests;
    KtSNMPRequest2Edits *m_current = nullptr;
    TSNMPEditorPanel *m_editor = nullptr;
    bool m_closing = false;
};
