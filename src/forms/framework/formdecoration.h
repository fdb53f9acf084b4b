// How the module's dialogs are framed: a title bar with the system menu (and its close button)
// and a minimise button; no maximise button and no resizing. The client size is either the one
// the window gave itself or the size its content needs.
//
// Every dialog goes through FormDecoration::apply, called once in its constructor (before it
// is first shown): the page windows through TPageWindow, the others (About, waiting window,
// system and device information windows, configuration form) directly.
#pragma once

#include <Qt>

class QDialog;

namespace FormDecoration {

enum class Sizing {
    // The size the content asks for (the layout's size hint), kept whenever the content
    // changes (controls shown or hidden): the window always fits its content. Minimum sizes
    // belong on the controls, not on the window: the layout decides the window's size.
    FitContent,
    // The size the window has when it is shown: the one it gave itself with resize(), or for a
    // window that never resized itself, its layout's size hint then.
    AsSized,
};

// Title, system menu, close and minimise; no maximise button and no context help button.
Qt::WindowFlags windowFlags();

// Sets the frame and locks the size as sizing says each time the dialog is shown.
void apply(QDialog *dialog, Sizing sizing = Sizing::FitContent);

} // namespace FormDecoration
