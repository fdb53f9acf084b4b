// A limit on how many characters the user may type into an edit that never cuts a longer value
// a read put there. QLineEdit's own maximum length cuts whatever text is set, so a device value
// longer than the limit would be shown cut and written back cut by the next Set.
//
// An edit has at most one limit object, its validator, holding two limits:
// - the format's: the length option of the edit's constraint ("%s{l32}"), set and taken away
//   with the constraint (KtEditConstraint);
// - the window's: set by the window with SetLimit, at any time, also after binding. The WEP key
//   edits change theirs with key type and size ("HEX" 64 bits: 10, "ASCII" 128 bits: 13 ...);
//   the SSID and MAC edits get theirs at creation.
// Typing stops at the smaller of the two; neither replaces the other, so a window's limit
// set and cleared again leaves the format's in force.
#pragma once

#include <QValidator>

class QLineEdit;

class KtTypingLimit : public QValidator
{
public:
    // For windows: the most characters the user may type into the edit, over whatever its
    // format allows; 0 takes the window's limit away. Works on any line edit, bound or not; a
    // text already longer stays as it is (the user may shorten it, not lengthen it). An edit
    // with a validator of another kind gets the limit in its place.
    static void SetLimit(QLineEdit *edit, int limit);
    // The limit typing meets in the edit now (the smaller of the window's and the format's), 0
    // for none.
    static int Limit(const QLineEdit *edit);

    // For the edit constraints: the length option of the edit's format; 0 takes it away.
    static void SetFormatLimit(QLineEdit *edit, int limit);

    // The edit's limit object, or null.
    static KtTypingLimit *Of(const QLineEdit *edit);

    // A limit object with the given window limit, not yet the edit's validator (install it
    // with setValidator). SetLimit does both.
    KtTypingLimit(QLineEdit *edit, int limit);

    // The limit in force: the smaller of the two that are set, 0 for none.
    int limit() const;
    int windowLimit() const { return m_windowLimit; }
    int formatLimit() const { return m_formatLimit; }

    // Deleting is always allowed; typing may not make a text longer than the limit and longer
    // than it was.
    State validate(QString &input, int &position) const override;

private:
    // Makes the edit's limit object when it has none; takes it away when neither limit is set.
    static KtTypingLimit *attach(QLineEdit *edit);
    static void detachWhenUnused(QLineEdit *edit);
    static void setOne(QLineEdit *edit, int KtTypingLimit::*which, int limit);

    QLineEdit *m_edit;
    int m_windowLimit = 0;
    int m_formatLimit = 0;
    int m_lastSize = 0;
};
