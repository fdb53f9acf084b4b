// The one seam through which the module shows message boxes and file dialogs. Tests install a
// script that records what would have been shown and answers for the user.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace KtDialogs {

enum class Buttons { Ok, OkCancel };

struct Message {
    QString caption;
    QString text;
    Buttons buttons = Buttons::Ok;
};

// Shows a modal message box owned by owner (may be null). Returns true when the user chose OK.
bool message(QWidget *owner, const QString &text, const QString &caption,
             Buttons buttons = Buttons::Ok);

// The caption of constraint messages and of request errors shown without a status control:
// the program's file name ("qrn7300xb").
QString programFileName();

enum class FileMode { Open, Save };

struct FileRequest {
    FileMode mode = FileMode::Open;
    QString caption;
    QString directory;
    QString filter;
};

// A file dialog; returns the chosen path, or an empty text when the user cancelled.
QString fileName(QWidget *owner, const FileRequest &request);

// Test script: while an instance lives, nothing is shown. Every message is recorded and answered
// from the queued answers (OK when the queue is empty); file dialogs take the queued paths
// (cancel when empty).
class Script
{
public:
    Script();
    ~Script();
    Script(const Script &) = delete;
    Script &operator=(const Script &) = delete;

    void answerNext(bool ok) { m_answers.append(ok); }
    void chooseFile(const QString &path) { m_files.append(path); }

    const QList<Message> &messages() const { return m_messages; }
    const QList<FileRequest> &fileRequests() const { return m_fileRequests; }
    QStringList texts() const;
    void clear() { m_messages.clear(); m_fileRequests.clear(); }

    // Called with each message as it is shown (after recording), e.g. to act while it is "open".
    std::function<void(const Message &)> onMessage;

private:
    friend bool message(QWidget *, const QString &, const QString &, Buttons);
    friend QString fileName(QWidget *, const FileRequest &);
    QList<Message> m_messages;
    QList<FileRequest> m_fileRequests;
    QList<bool> m_answers;
    QStringList m_files;
    Script *m_previous = nullptr;
};

} // namespace KtDialogs
