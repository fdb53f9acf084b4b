#include "kteditconstraint.h"

#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktnumlist.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScopedValueRollback>
#include <cmath>

namespace {

std::function<void()> g_beepHook;

// Set while a refused edit takes the focus back. The edit it takes it from was only being moved
// to, never worked in, so losing the focus then is not leaving it (whichever constraint holds it).
bool g_takingFocusBack = false;

void beep()
{
    if (g_beepHook)
        g_beepHook();
    else
        QApplication::beep();
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
           || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

QString common(int position)
{
    return KtMessages::text(KtMessages::Table::Common, position);
}

// Bounds as the user reads them: whole numbers without a fraction or exponent.
QString boundText(double v)
{
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e18)
        return QString::number(static_cast<qint64>(v));
    return QString::number(v, 'g', 15);
}

quint32 unsignedBound(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 4294967295.0)
        return 0xFFFFFFFFu;
    return static_cast<quint32>(std::trunc(v));
}

bool isSpecialText(const QString &text)
{
    return text == KT_NULL_TEXT || text == KT_NOTDONE_TEXT;
}

int tagOf(const QLineEdit *edit)
{
    return edit->property("tag").toInt();
}

// Sets the text without moving the cursor away from where the user was typing.
void setTextAt(QLineEdit *edit, const QString &text, int cursor)
{
    edit->setText(text);
    edit->setCursorPosition(qBound(0, cursor, text.size()));
}

} // namespace

KtEditConstraint::KtEditConstraint(QWidget *owner, QObject *parent)
    : QObject(parent), m_owner(owner)
{
}

KtEditConstraint::~KtEditConstraint()
{
    const QList<QLineEdit *> edits = m_entries.keys();
    for (QLineEdit *edit : edits)
        forget(edit);
}

void KtEditConstraint::Register(const QString &specifier, QLineEdit *edit, Handler previousChange,
                                Handler previousExit)
{
    const KtFormatSpec spec = KtFormatSpec::Parse(specifier);
    if (!edit)
        return;
    if (m_entries.contains(edit))
        forget(edit);

    Entry entry;
    entry.spec = spec;
    entry.previousChange = std::move(previousChange);
    entry.previousExit = std::move(previousExit);
    if (spec.width > 0)
        edit->setFixedWidth(spec.width);
    // The length limits typing only, so a longer value read from the device is shown whole
    // (and the exit check reports it) instead of being cut and written back cut. For "n" the
    // length counts numbers, not characters, so it sets no limit on characters.
    // A limit the window set on the edit stays beside it (KtTypingLimit).
    if (spec.conversion != QLatin1Char('n') && spec.length > 0)
        KtTypingLimit::SetFormatLimit(edit, spec.length);
    entry.connections.append(connect(edit, &QLineEdit::textChanged, this,
                                     [this, edit](const QString &) { onTextChanged(edit); }));
    entry.connections.append(
        connect(edit, &QObject::destroyed, this, [this, edit]() { m_entries.remove(edit); }));
    edit->installEventFilter(this);
    m_entries.insert(edit, entry);
}

void KtEditConstraint::RegisterFormat(const QString &format, const QList<QLineEdit *> &edits)
{
    const QStringList specifiers = KtFormatSpec::Split(format);
    for (const QString &specifier : specifiers)
        KtFormatSpec::Parse(specifier);
    for (int k = 0; k < specifiers.size() && k < edits.size(); ++k)
        Register(specifiers.at(k), edits.at(k));
}

void KtEditConstraint::Remove(QLineEdit *edit)
{
    auto it = m_entries.find(edit);
    if (it == m_entries.end())
        return;
    const Handler change = it->previousChange;
    const Handler exit = it->previousExit;
    forget(edit);
    if (change)
        connect(edit, &QLineEdit::textChanged, edit, [edit, change]() { change(edit); });
    if (exit)
        connect(edit, &QLineEdit::editingFinished, edit, [edit, exit]() { exit(edit); });
}

void KtEditConstraint::forget(QLineEdit *edit)
{
    auto it = m_entries.find(edit);
    if (it == m_entries.end())
        return;
    for (const QMetaObject::Connection &c : std::as_const(it->connections))
        disconnect(c);
    edit->removeEventFilter(this);
    KtTypingLimit::SetFormatLimit(edit, 0);
    m_entries.erase(it);
}

const KtFormatSpec *KtEditConstraint::Spec(QLineEdit *edit) const
{
    auto it = m_entries.constFind(edit);
    return it == m_entries.constEnd() ? nullptr : &it->spec;
}

QString KtEditConstraint::LastValid(QLineEdit *edit) const
{
    return m_entries.value(edit).lastValid;
}

void KtEditConstraint::SetLastValid(QLineEdit *edit, const QString &text)
{
    auto it = m_entries.find(edit);
    if (it != m_entries.end())
        it->lastValid = text;
}

void KtEditConstraint::Fill(QLineEdit *edit, const QString &text)
{
    if (!edit)
        return;
    // The same text again (a poll that found nothing new) leaves the edit as it is: setText
    // would lay the text out anew, put the cursor at its end and forget the undo history.
    if (edit->text() != text) {
        const QScopedValueRollback<QLineEdit *> filling(m_filling, edit);
        edit->setText(text);
    }
    SetLastValid(edit, edit->text());
}

void KtEditConstraint::SetPreviousChangeHandler(QLineEdit *edit, Handler handler)
{
    auto it = m_entries.find(edit);
    if (it != m_entries.end())
        it->previousChange = std::move(handler);
}

void KtEditConstraint::SetPreviousExitHandler(QLineEdit *edit, Handler handler)
{
    auto it = m_entries.find(edit);
    if (it != m_entries.end())
        it->previousExit = std::move(handler);
}

void KtEditConstraint::SetBeepHook(std::function<void()> hook)
{
    g_beepHook = std::move(hook);
}

int KtEditConstraint::FirstBadCharacter(const KtFormatSpec &spec, const QString &text)
{
    const char16_t conversion = spec.conversion.unicode();
    bool seenPoint = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        bool good = false;
        switch (conversion) {
        case 'f':
            if (c == QLatin1Char('.')) {
                good = !seenPoint;
                seenPoint = true;
            } else {
                good = isDigit(c) || (i == 0 && c == QLatin1Char('-'));
            }
            break;
        case 'h':
            good = isHexDigit(c);
            break;
        case 'i':
            good = isDigit(c) || (i == 0 && c == QLatin1Char('-'));
            break;
        case 'u':
            good = isDigit(c);
            break;
        case 'n':
            if (c == spec.delimiter)
                good = i > 0 && text.at(i - 1) != spec.delimiter;
            else
                good = isDigit(c);
            break;
        default:
            good = true;
            break;
        }
        if (!good)
            return i;
    }
    return -1;
}

std::optional<QString> KtEditConstraint::Check(const KtFormatSpec &spec, const QString &text)
{
    if (isSpecialText(text))
        return std::nullopt;
    if (text.isEmpty()) {
        if (spec.flags & KtFormatSpec::NotEmpty)
            return common(3);
        return std::nullopt;
    }
    const char16_t conversion = spec.conversion.unicode();
    switch (conversion) {
    case 'f':
    case 'i':
    case 'u': {
        bool ok = false;
        const double value = QLocale::c().toDouble(text, &ok);
        if (!ok || value < spec.minimum || value > spec.maximum) {
            return common(8)
                .replace(QLatin1String("[MIN]"), boundText(spec.minimum))
                .replace(QLatin1String("[MAX]"), boundText(spec.maximum));
        }
        return std::nullopt;
    }
    case 's':
    case 'h': {
        if (spec.length <= 0)
            return std::nullopt;
        const bool hex = conversion == 'h';
        const QString length = QString::number(spec.length);
        if (spec.flags & KtFormatSpec::Fixed) {
            if (text.size() != spec.length)
                return common(hex ? 7 : 5).replace(QLatin1String("[LEN]"), length);
        } else if (text.size() > spec.length) {
            return common(hex ? 6 : 4).replace(QLatin1String("[MAXLEN]"), length);
        }
        return std::nullopt;
    }
    case 'n': {
        KtUNumList list(spec.delimiter);
        list.Parse(text);
        const QString delimiter(spec.delimiter);
        const QString length = QString::number(spec.length);
        if (spec.length > 0) {
            if (spec.flags & KtFormatSpec::Fixed) {
                if (list.Count() != spec.length)
                    return common(10)
                        .replace(QLatin1String("[DELIMITER]"), delimiter)
                        .replace(QLatin1String("[COUNT]"), length);
            } else if (list.Count() > spec.length) {
                return common(9)
                    .replace(QLatin1String("[DELIMITER]"), delimiter)
                    .replace(QLatin1String("[MAXCOUNT]"), length);
            }
        }
        const quint32 minimum = unsignedBound(spec.minimum);
        const quint32 maximum = unsignedBound(spec.maximum);
        if (!list.AllWithin(minimum, maximum)) {
            return common(11)
                .replace(QLatin1String("[DELIMITER]"), delimiter)
                .replace(QLatin1String("[MIN]"), QString::number(minimum))
                .replace(QLatin1String("[MAX]"), QString::number(maximum));
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

QWidget *KtEditConstraint::ownerFor(QLineEdit *edit) const
{
    return m_owner ? m_owner.data() : edit->window();
}

void KtEditConstraint::onTextChanged(QLineEdit *edit)
{
    auto it = m_entries.find(edit);
    if (it == m_entries.end())
        return;
    if (m_filling == edit) {
        // A text the program got from the device: no typing rule applies to it and nothing
        // moves the focus; the window still hears of the change.
        const Handler previous = it->previousChange;
        if (previous)
            previous(edit);
        return;
    }
    QString text = edit->text();
    if (text.isEmpty() || isSpecialText(text))
        return;
    const KtFormatSpec spec = it->spec;

    if (!spec.skipCharacter.isNull()) {
        const int at = text.indexOf(spec.skipCharacter);
        if (at >= 0) {
            text.remove(at, 1);
            setTextAt(edit, text, at);
            focusNextControl(edit);
            return;
        }
    }

    const int bad = FirstBadCharacter(spec, text);
    if (bad >= 0) {
        // Setting the shortened text runs this handler again, so a pasted text loses its bad
        // characters one by one.
        text.remove(bad, 1);
        setTextAt(edit, text, bad);
        beep();
        return;
    }

    const Handler previous = it->previousChange;
    if (previous) {
        QPointer<QLineEdit> guard(edit);
        previous(edit);
        if (!guard || !m_entries.contains(edit))
            return;
    }
    if (tagOf(edit) == -1)
        return;

    // A delimited list counts numbers, not characters: its edit has no character limit to
    // reach, so it never advances by itself.
    if ((spec.flags & KtFormatSpec::AutoAdvance) && spec.length > 0
        && spec.conversion != QLatin1Char('n') && edit->text().size() == spec.length)
        focusNextControl(edit);
}

void KtEditConstraint::focusNextControl(QLineEdit *edit)
{
    QWidget *window = edit->window();
    // A text set by the program into an edit the user is not in moves nothing.
    if (window->focusWidget() != edit || m_focusMovePending)
        return;
    m_focusMovePending = true;
    // Posted, like the dialog's next-control message: the change in progress completes first.
    QPointer<QWidget> guard(window);
    QMetaObject::invokeMethod(
        this,
        [this, guard]() {
            m_focusMovePending = false;
            if (!guard)
                return;
            QWidget *from = guard->focusWidget();
            if (!from)
                return;
            for (QWidget *next = from->nextInFocusChain(); next && next != from;
                 next = next->nextInFocusChain()) {
                if (next->window() == guard && next != guard
                    && (next->focusPolicy() & Qt::TabFocus) && next->isEnabled()
                    && next->isVisibleTo(guard) && !next->focusProxy()) {
                    next->setFocus(Qt::TabFocusReason);
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

bool KtEditConstraint::Validate(QLineEdit *edit)
{
    auto it = m_entries.find(edit);
    if (it == m_entries.end())
        return true;
    const QString text = edit->text();
    if (text.isEmpty() && !(it->spec.flags & KtFormatSpec::NotEmpty))
        return true; // an empty edit that may be empty: nothing else runs

    const std::optional<QString> refusal = Check(it->spec, text);
    if (refusal) {
        QPointer<QLineEdit> guard(edit);
        const QString lastValid = it->lastValid;
        KtDialogs::message(ownerFor(edit), *refusal, KtDialogs::programFileName());
        if (guard) {
            edit->setText(lastValid);
            const QScopedValueRollback<bool> takingBack(g_takingFocusBack, true);
            edit->setFocus(Qt::OtherFocusReason);
        }
        return false;
    }

    const Handler previous = it->previousExit;
    if (previous) {
        QPointer<QLineEdit> guard(edit);
        previous(edit);
        if (!guard)
            return true;
        it = m_entries.find(edit);
        if (it == m_entries.end())
            return true;
    }
    if (tagOf(edit) == -1)
        edit->setText(it->lastValid);
    else if (storeLastValid)
        it->lastValid = edit->text();
    return true;
}

void KtEditConstraint::validateLater(QLineEdit *edit)
{
    // A window closed by the click that took the focus is not checked.
    if (!edit || m_validating || !m_entries.contains(edit) || !edit->isVisible())
        return;
    m_validating = true;
    Validate(edit);
    m_validating = false;
}

bool KtEditConstraint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window becoming active (our own message box among them) is not leaving the
        // edit.
        if (edit && m_entries.contains(edit) && !g_takingFocusBack
            && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QPointer<QLineEdit> guard(edit);
            // Checked once the focus has settled on the next control, so the message box and
            // the focus coming back do not run inside the focus change.
            QMetaObject::invokeMethod(
                this, [this, guard]() { validateLater(guard.data()); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}
