#include "ktdialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace KtDialogs {

namespace {
Script *g_script = nullptr;

// QRN_DIALOG_LOG=<file>: messages are appended to the file, one line each ("caption<TAB>text",
// line breaks as "\n") and answered with OK instead of being shown. Lets a test see what a
// module process it started would have shown, without a display.
bool logMessage(const QString &text, const QString &caption)
{
    const QString path = qEnvironmentVariable("QRN_DIALOG_LOG");
    if (path.isEmpty())
        return false;
    QFile log(path);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append)) {
        QString line = caption + u'\t' + text;
        line.replace(u'\n', QLatin1String("\\n"));
        log.write((line + u'\n').toUtf8());
    }
    return true;
}
} // namespace

Script::Script() : m_previous(g_script) { g_script = this; }

Script::~Script() { g_script = m_previous; }

QStringList Script::texts() const
{
    QStringList result;
    for (const Message &m : m_messages)
        result.append(m.text);
    return result;
}

bool message(QWidget *owner, const QString &text, const QString &caption, Buttons buttons)
{
    if (g_script) {
        Message shown{caption, text, buttons};
        g_script->m_messages.append(shown);
        if (g_script->onMessage)
            g_script->onMessage(shown);
        bool ok = g_script->m_answers.isEmpty() ? true : g_script->m_answers.takeFirst();
        return buttons == Buttons::Ok ? true : ok;
    }
    if (logMessage(text, caption))
        return true;
    QMessageBox box(QMessageBox::NoIcon, caption, text,
                    buttons == Buttons::Ok ? QMessageBox::Ok
                                           : QMessageBox::Ok | QMessageBox::Cancel,
                    owner);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QString programFileName()
{
    QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("qrn7300xb") : QFileInfo(path).fileName();
}

QString fileName(QWidget *owner, const FileRequest &request)
{
    if (g_script) {
        g_script->m_fileRequests.append(request);
        return g_script->m_files.isEmpty() ? QString() : g_script->m_files.takeFirst();
    }
    if (request.mode == FileMode::Open)
        return QFileDialog::getOpenFileName(owner, request.caption, request.directory,
                                            request.filter);
    return QFileDialog::getSaveFileName(owner, request.caption, request.directory, request.filter);
}

} // namespace KtDialogs
