#include "formdecoration.h"

#include <QDialog>
#include <QEvent>
#include <QLayout>

namespace FormDecoration {

namespace {

// Locks the dialog's size when it is shown: the Show event arrives after the window took its
// size (adjustSize for a window that never resized itself) and before it is mapped, so the
// window manager never sees a resizable window.
class SizeLock : public QObject
{
public:
    SizeLock(QDialog *dialog, Sizing sizing) : QObject(dialog), m_sizing(sizing) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            lock(static_cast<QWidget *>(watched));
        return false;
    }

private:
    void lock(QWidget *window) const
    {
        QLayout *layout = window->layout();
        if (m_sizing == Sizing::FitContent && layout) {
            // The layout keeps the window at its size hint from now on, also when controls
            // are shown or hidden later.
            layout->setSizeConstraint(QLayout::SetFixedSize);
            layout->activate();
            return;
        }
        window->setFixedSize(window->size());
    }

    Sizing m_sizing;
};

} // namespace

Qt::WindowFlags windowFlags()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
           | Qt::MSWindowsFixedSizeDialogHint;
}

void apply(QDialog *dialog, Sizing sizing)
{
    dialog->setWindowFlags(windowFlags());
    dialog->setSizeGripEnabled(false);
    dialog->installEventFilter(new SizeLock(dialog, sizing));
}

} // namespace FormDecoration
