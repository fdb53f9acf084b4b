// What the windows that move files through the module's TFTP server share: the firmware and
// configuration-file windows, the log window and the SNTP window. (The firmware and
// configuration-file windows, which write the device's remotesrvip/remotefilename/tftpcommand,
// build on TTransferWindow, ttransferwindow.h, which does the steps below for them.)
//
// A window that has the device fetch a file (firmware, configuration restore):
//
//     m_server = StartTFTPServer(this, 3000, 3);      // null: the message was shown
//     ...
//     Ed_TfpSrv->clear();
//     if (!ChoosePCAddress(this, Ed_TfpSrv))
//         return;                                      // nothing written to the device
//     m_server->Listen(folder);                        // the chosen file's folder
//     m_server->ExpectFile(bareName, KtTFTPServer::DeviceReads);
//     ... write Ed_TfpSrv and bareName (remotefilename), then the transfer command ...
//
// A window the device sends a file to (configuration save: DeviceWrites into the chosen
// folder; log and time-zone list: into DeviceFilesFolder()):
//
//     m_server = StartTFTPServer(this, 5000, 3, DeviceFilesFolder());
//     m_server->ExpectFile(QStringLiteral("LogFile.RD"), KtTFTPServer::DeviceWrites);
//     ... choose the address, write the request ...
//   and at the tick that reads the file:
//     const QString path = m_server->receivedFile();   // empty: not (yet) arrived whole
//
// The server listens on port 69 unless QRN_TFTP_PORT names another (tests, unprivileged runs;
// qrn-apsim's --tftp-port must name the same). The device is always told the bare name: check
// it with KtTFTPServer::isServableName before writing it.
//
// In a window's test against qrn-apsim: start the simulator with --tftp-port on a free port and
// set QRN_TFTP_PORT to it; move the simulated device onto loopback's network (control commands
// "set hIPAddress 127.0.0.50" and "set hSubnetMask 255.0.0.0") and list the PC's interfaces with
// a KtNetInterfaces::Script (ktnetinterface.h) holding 127.0.0.1/255.0.0.0, so that the address
// chosen is 127.0.0.1 and every transfer stays on loopback (see test_transfer_support.cpp).
#pragma once

#include "tftpserver.h"

#include <QString>

#include <optional>

class QDialog;
class QLineEdit;
class QWidget;

// Shown when no interface of the PC is on the device's network.
QString NoPCAddressMessage(); // "Invalid Server IP Address or SNMP timed out!"

// Puts the PC's own address on the device's network into edit: the first local interface (up,
// at most ten, in the system's order) whose network is the one of the device's address and mask
// as the main window holds them (its hidden fields IPAddressEdit and SubMaskEdit). When there is
// none, shows NoPCAddressMessage() and returns false with edit unchanged.
bool ChoosePCAddress(QWidget *owner, QLineEdit *edit);
// The same for the device address and mask given.
bool ChoosePCAddress(QWidget *owner, QLineEdit *edit, const QString &deviceAddress,
                     const QString &deviceMask);

// The folder the files the device sends to the module arrive in ("LogFile.RD", "SNTPFile.RD"):
// the module's writable data folder, ending in "/" (QRN_DATA_DIR, else
// $XDG_DATA_HOME/qrn7300xb).
QString DeviceFilesFolder();

// "TFTP Service Init Error:" followed by the server's text: what a window shows when its server
// cannot be created or cannot listen (the port is held by another program, or not ours to bind).
QString TFTPServiceInitErrorText(const KtTFTPException &error);

// Creates the window's server (owned by owner) with the interval (10 ms units) and retries,
// a handler that ignores every notification, listening in folder on the service port and
// serving nothing until the window names its file (ExpectFile). When
// that fails, shows TFTPServiceInitErrorText (captioned with the application title) and
// returns null; the window then ends the application.
KtTFTPServer *StartTFTPServer(QWidget *owner, int timeout, int retries,
                              const QString &folder = QString());

// A window whose server could not start ends the module, as the module cannot move a file
// without it: the application leaves its event loops (the window's own included) and the window
// closes.
void EndApplicationForServiceError(QDialog *window);

// A file field's text split at its last "/": the folder the server serves (ending in "/") and
// the bare name the device is given.
struct TransferPath {
    QString folder;
    QString name;
};
// Null when the text holds no "/" (not a path the server can serve from), or when the name
// cannot be given to the device as it is (KtTFTPServer::isServableName: empty, "." or "..",
// or a character that is not one byte on the way).
std::optional<TransferPath> SplitTransferPath(const QString &path);
// Shown for such a path: "The file path is error."
QString FilePathErrorMessage();

// After the device has answered that it sent the file the server expects (ExpectFile with
// DeviceWrites): whether that file has arrived whole. Waits, with the event loop running, while
// a transfer is still running, and for graceMs at least for one to begin; at most maxMs in all.
bool WaitForExpectedUpload(KtTFTPServer &server, int graceMs, int maxMs);

// At the timer tick that reads a file the device was asked to send (ExpectFile with
// DeviceWrites): the file has arrived whole since then, is still on its way (a transfer of it
// runs, or overdueTicks have not yet passed since the tick that was to read it), or is missing.
// A window reads only an arrived file (server.receivedFile()), never one left from an earlier
// run, and holds its tick while the file is coming; on the normal path the file is there at
// the first tick, so nothing changes for the user.
enum class ExpectedUpload { Arrived, Coming, Missing };
ExpectedUpload ExpectedUploadState(const KtTFTPServer &server, int overdueTicks);
// Ticks a window waits past its reading tick for a file whose transfer has not begun yet.
constexpr int KtUploadGraceTicks = 5;
