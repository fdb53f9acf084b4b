// What page windows read from the main window (MainForm): its hidden capability fields, its
// status line and the device address text. Every call is safe without a main window (a window
// built on its own in a test): the texts are then empty and the device does not answer.
//
//     if (DeviceFacts::text(&TMainForm::ED_Turbomode) == QStringLiteral("0")) ...
//     if (!DeviceFacts::deviceAnswers()) ...   // closing rules of DHCP, clients, MAC list
#pragma once

#include <QString>

class QLineEdit;
class TMainForm;

namespace DeviceFacts {

// The main window's status line reads "Ready. ": its last status poll was answered.
bool deviceAnswers();
// The status line itself, and the copy its timers remember (the Status menu and the wireless
// window's AP-mode list decide on the remembered one).
QString statusText();
QString rememberedStatus();
// The device address as the command line gave it.
QString deviceAddress();

// The text of one hidden capability field, e.g. text(&TMainForm::APModeSupport11g). Until the
// device first answered a field holds its design-time text (mostly its own name); a failed
// read leaves the previous text.
QString text(QLineEdit *TMainForm::*field);
// ifMultiSSID_Edit reads "1".
bool multiSsidSupported();
// Whether the device carries the band's radio (1 = 802.11a, 2 = 802.11g). A one-radio model
// reports the AP-mode capability mask of its missing band as 0 and serves none of that band's
// variables; until the device has answered (or with no main window) both radios are taken as
// present.
bool radioPresent(int band);

} // namespace DeviceFacts
