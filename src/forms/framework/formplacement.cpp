#include "formplacement.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

namespace FormPlacement {

QWidget *mainWindowFor(QWidget *form)
{
    if (QWidget *owner = form->parentWidget())
        return owner->window();
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<QMainWindow *>(window) && !window->isHidden())
            return window;
    }
    return nullptr;
}

void centreOnMainWindow(QWidget *form, const QSize &size)
{
    if (QWidget *main = mainWindowFor(form))
        form->move(main->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace FormPlacement
