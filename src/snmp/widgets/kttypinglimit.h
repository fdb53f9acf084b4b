// A limit on how many characters the user may type into an edit that never cuts a longer value
// a read put there. QLineEdit's own maximum length cuts whatever text is set, so a device value
// longer than the limit would be shown cut and written back cut by the next Set.
#pragma once

#include <QValidator>

class QLineEdit;

class KtTypingLimit : public QValidator
{
public:
    KtTypingLimit(QLineEdit *edit, int limit);

    int limit() const { return m_limit; }

    // Deleting is always allowed; typing may not make a text longer than the limit and longer
    // than it was.
    State validate(QString &input, int &position) const override;

private:
    QLineEdit *m_edit;
    int m_limit;
    int m_lastSize = 0;
};
