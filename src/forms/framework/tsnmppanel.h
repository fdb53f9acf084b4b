// A request bound to controls joined with a button bar and a message area. The work area shows
// one content control; the panel sizes itself to it and fills the form it is attached to.
#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class KtSNMPRequest2Edits;
class QSplitter;
class TCtrlBtnPanel;
class TMsgPanel;

class TSNMPPanel : public QWidget
{
    Q_OBJECT

public:
    // The largest client area AttachTo gives a form; a larger panel scrolls inside it.
    static constexpr int MaxFormWidth = 800;
    static constexpr int MaxFormHeight = 550;

    // request is not owned (the form that hosts the panel owns it); its status lines go to
    // the message panel.
    TSNMPPanel(QWidget *parent, KtSNMPRequest2Edits *request);

    KtSNMPRequest2Edits *Request() const { return m_request; }
    TCtrlBtnPanel *CtrlBtn() const { return m_bar; }
    TMsgPanel *MsgPanel() const { return m_msgPanel; }
    QWidget *WorkArea() const { return m_workArea; }
    QWidget *Content() const { return m_content; }
    QWidget *HostForm() const { return m_hostForm; }

    // Shows control in the work area (the previous content is hidden) and sizes the panel to
    // it.
    void SetContent(QWidget *control);
    // Centres the form on the main window, grows its client area to the panel (at most
    // MaxFormWidth by MaxFormHeight) and lets the panel fill it.
    void AttachTo(QWidget *form);

    // "Refresh": reads the request. An asynchronous read still unanswered after
    // ReadingLineAfterMs puts a line in the message area saying how long the device may take
    // (the page window shows the busy cursor while it is under way).
    virtual void Refresh();
    static constexpr int ReadingLineAfterMs = 1000;
    // The text of that line for a read that may take the given number of seconds.
    static QString readingText(int seconds);
    // "Close": closes the host form.
    virtual void Close();

    // The host form destroys the request before the panel: nothing touches it afterwards.
    virtual void ForgetRequest();

    QSize sizeHint() const override;

protected:
    KtSNMPRequest2Edits *m_request = nullptr;

private:
    TCtrlBtnPanel *m_bar = nullptr;
    QSplitter *m_splitter = nullptr;       // between work area and bar
    QSplitter *m_bottomSplitter = nullptr; // between content and message panel
    QWidget *m_workArea = nullptr;
    QWidget *m_contentArea = nullptr;
    TMsgPanel *m_msgPanel = nullptr;
    QPointer<QWidget> m_content;
    QPointer<QWidget> m_hostForm;
    QSize m_size{0, 0};
    quint64 m_reads = 0; // reads Refresh sent, so that a late check knows its own
};
