#include "kttypinglimit.h"

#include <QLineEdit>

KtTypingLimit::KtTypingLimit(QLineEdit *edit, int limit)
    : QValidator(edit), m_edit(edit), m_limit(limit), m_lastSize(edit->text().size())
{
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_lastSize = text.size(); });
}

QValidator::State KtTypingLimit::validate(QString &input, int &) const
{
    // setText (a read filling the edit) clears the undo history before it validates; what the
    // user types is always undoable.
    if (input.size() > m_limit && input.size() > m_lastSize && m_edit->isUndoAvailable())
        return Invalid;
    return Acceptable;
}
