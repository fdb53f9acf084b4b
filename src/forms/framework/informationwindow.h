// "Home \ Information": the configuration form over the device's MIB-II system group, opened
// from the main window's Home menu.
#pragma once

#include "ktsnmpvaritem.h"
#include "tconfigform.h"

class QWidget;

namespace InformationWindow {

// The system group as the window lists it; ends with a record without OID.
extern const KtSNMPVarItem Items[];

constexpr int RequestTimeout = 3000; // hundredths of a second
constexpr int EditorWidth = 180;

// The form ready to be shown: captioned, its request read once (asynchronously).
TConfigForm *Create(QWidget *owner);

// The Home menu's "Information": create, show modally, destroy.
void Open(QWidget *owner);

} // namespace InformationWindow
