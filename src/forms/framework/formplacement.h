// Where a new configuration form opens: centred on the window it belongs to.
#pragma once

#include <QSize>

class QWidget;

namespace FormPlacement {

// The window a new form is centred on: the form's owner, else the module's main window (the
// visible top-level QMainWindow); null when there is neither.
QWidget *mainWindowFor(QWidget *form);

// Moves form so that a window of the given size is centred on mainWindowFor(form); leaves it
// where it is when there is no such window.
void centreOnMainWindow(QWidget *form, const QSize &size);

} // namespace FormPlacement
