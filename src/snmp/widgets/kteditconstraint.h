// Keeps line edits within their value format specifiers ("%u{n1x65535}", ...): filters what is
// typed, moves the focus on a skip character or a full edit, and checks the text when the edit
// is left, restoring the last accepted text after a refusal.
#pragma once

#include "ktformatspecifier.h"

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;

class KtEditConstraint : public QObject
{
    Q_OBJECT

public:
    // What the edit did before it was registered, called by the constraint at its place in
    // the change and exit rules. Setting the edit's "tag" property to -1 inside them stops the
    // auto-advance (change) or restores the last accepted text (exit).
    using Handler = std::function<void(QLineEdit *)>;

    // owner: the form that owns the message boxes and whose focus moves (may be null: the
    // edit's own window is used).
    explicit KtEditConstraint(QWidget *owner, QObject *parent = nullptr);
    ~KtEditConstraint() override;

    QWidget *owner() const { return m_owner; }
    void setOwner(QWidget *owner) { m_owner = owner; }

    // Whether an accepted text becomes the edit's last valid text.
    bool storeLastValid = true;

    // Parses the specifier (KtException -2 when bad; the edit is then left alone) and puts the
    // edit under it: width and typing limit (KtTypingLimit) from the options, typing filter,
    // exit check.
    void Register(const QString &specifier, QLineEdit *edit, Handler previousChange = {},
                  Handler previousExit = {});
    // The k-th specifier of the format goes to the k-th edit. The whole format is parsed first,
    // so a bad specifier registers none of the edits.
    void RegisterFormat(const QString &format, const QList<QLineEdit *> &edits);
    // Takes the constraint off the edit; its previous handlers are connected to it directly
    // again.
    void Remove(QLineEdit *edit);

    // Shows a text that was not typed (a device read fills the edit: FillControls calls it):
    // the text is shown and kept exactly as it is, with no character filtered, no beep, no skip
    // character taken out and no focus move; the edit's previous change handler still runs;
    // the text becomes the last accepted one, so a refused entry brings it back. Only what the
    // user types is filtered. Windows putting a value of their own into a constrained edit
    // (a stored hex key shown as text) use it too. Any edit may be given, constrained or not.
    void Fill(QLineEdit *edit, const QString &text);

    bool IsRegistered(QLineEdit *edit) const { return m_entries.contains(edit); }
    const KtFormatSpec *Spec(QLineEdit *edit) const;
    QString LastValid(QLineEdit *edit) const;
    void SetLastValid(QLineEdit *edit, const QString &text);
    void SetPreviousChangeHandler(QLineEdit *edit, Handler handler);
    void SetPreviousExitHandler(QLineEdit *edit, Handler handler);

    // The exit rule: the refusal message for text, or nothing when it is accepted.
    static std::optional<QString> Check(const KtFormatSpec &spec, const QString &text);
    // The typing rule: position of the first character that breaks it, or -1.
    static int FirstBadCharacter(const KtFormatSpec &spec, const QString &text);

    // Runs the exit rule now, as leaving the edit does (message box and restore included).
    // Returns whether the text was accepted.
    bool Validate(QLineEdit *edit);

    // The 1000 Hz, 200 ms beep of a refused character. Tests count it; an empty hook restores
    // the system beep.
    static void SetBeepHook(std::function<void()> hook);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        KtFormatSpec spec;
        QString lastValid;
        Handler previousChange;
        Handler previousExit;
        QList<QMetaObject::Connection> connections;
    };

    void onTextChanged(QLineEdit *edit);
    void focusNextControl(QLineEdit *edit);
    void validateLater(QLineEdit *edit);
    void forget(QLineEdit *edit);
    QWidget *ownerFor(QLineEdit *edit) const;

    QPointer<QWidget> m_owner;
    QHash<QLineEdit *, Entry> m_entries;
    QLineEdit *m_filling = nullptr; // the edit Fill is setting the text of
    bool m_focusMovePending = false;
    bool m_validating = false;
};
