#include "kttypinglimit.h"

#include <QLineEdit>

#include <algorithm>

KtTypingLimit::KtTypingLimit(QLineEdit *edit, int limit)
    : QValidator(edit), m_edit(edit), m_windowLimit(std::max(limit, 0)),
      m_lastSize(edit->text().size())
{
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_lastSize = text.size(); });
}

KtTypingLimit *KtTypingLimit::Of(const QLineEdit *edit)
{
    if (!edit)
        return nullptr;
    return dynamic_cast<KtTypingLimit *>(const_cast<QValidator *>(edit->validator()));
}

KtTypingLimit *KtTypingLimit::attach(QLineEdit *edit)
{
    KtTypingLimit *limit = Of(edit);
    if (!limit) {
        limit = new KtTypingLimit(edit, 0);
        edit->setValidator(limit);
    }
    return limit;
}

void KtTypingLimit::detachWhenUnused(QLineEdit *edit)
{
    KtTypingLimit *limit = Of(edit);
    if (!limit || limit->m_windowLimit > 0 || limit->m_formatLimit > 0)
        return;
    edit->setValidator(nullptr);
    delete limit;
}

void KtTypingLimit::setOne(QLineEdit *edit, int KtTypingLimit::*which, int limit)
{
    if (!edit)
        return;
    if (limit > 0)
        attach(edit)->*which = limit;
    else if (KtTypingLimit *existing = Of(edit))
        existing->*which = 0;
    detachWhenUnused(edit);
}

void KtTypingLimit::SetLimit(QLineEdit *edit, int limit)
{
    setOne(edit, &KtTypingLimit::m_windowLimit, limit);
}

void KtTypingLimit::SetFormatLimit(QLineEdit *edit, int limit)
{
    setOne(edit, &KtTypingLimit::m_formatLimit, limit);
}

int KtTypingLimit::Limit(const QLineEdit *edit)
{
    const KtTypingLimit *limit = Of(edit);
    return limit ? limit->limit() : 0;
}

int KtTypingLimit::limit() const
{
    if (m_windowLimit > 0 && m_formatLimit > 0)
        return std::min(m_windowLimit, m_formatLimit);
    return std::max(m_windowLimit, m_formatLimit);
}

QValidator::State KtTypingLimit::validate(QString &input, int &) const
{
    // setText (a read filling the edit) clears the undo history before it validates; what the
    // user types is always undoable.
    const int most = limit();
    if (most > 0 && input.size() > most && input.size() > m_lastSize
        && m_edit->isUndoAvailable())
        return Invalid;
    return Acceptable;
}
