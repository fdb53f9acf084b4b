// TTransferWindow: what Tools \ Firmware and Tools \ Configuration File share. Both have the
// device move a file through the window's own TFTP server with the device's file-transfer
// commands: the server address and the bare file name (address request), the transfer command
// (transfer request) and the command that acts on the file (upgrade request), each bound to
// hidden controls. They differ in the requests' modes, time-outs and completions, which each
// window sets in its buildRequests after buildTransferRequests, and in what they do with the
// outcome.
//
// A transfer, from a button:
//     Ed_TfpSrv->clear();
//     if (!ChoosePCAddress(this, Ed_TfpSrv) || refuse(checkTransferPath(field, field), ...))
//         return;                                    // nothing written
//     const TransferPath split = serveFile(path, KtTFTPServer::DeviceReads);
//     writeAddress(split.name);                      // Ed_UpgFile shows what it showed again
//     CB_TfpCom->setCurrentIndex(TransferVariables::Get); transferRequest()->Set(true, true);
#pragma once

#include "ktdialogs.h"
#include "kttransfersupport.h"
#include "tpagewindow.h"

#include <optional>

class KtSNMPRequest2Edits;
class QComboBox;
class QLineEdit;
class QStatusBar;

class TTransferWindow : public TPageWindow
{
    Q_OBJECT

public:
    // Stops the server if the window was never closed.
    ~TTransferWindow() override;

    // The file field bound to remotefilename: it holds the bare name only while the address
    // request collects it.
    QLineEdit *Ed_UpgFile = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLineEdit *Ed_TfpSrv = nullptr; // hidden: remotesrvip
    QComboBox *CB_TfpCom = nullptr; // hidden: tftpcommand
    QComboBox *CB_UpgCom = nullptr; // hidden: upgradesettingcommand

    KtSNMPRequest2Edits *addressRequest() const { return m_addressRequest; }
    KtSNMPRequest2Edits *transferRequest() const { return m_transferRequest; }
    KtSNMPRequest2Edits *upgradeRequest() const { return m_upgradeRequest; }
    // Null when the server could not start (the module is ending) or once the window closed.
    KtTFTPServer *server() const { return m_server; }

protected:
    // Creates the file field, the status bar and the hidden bound controls; the window lays
    // out the visible ones.
    explicit TTransferWindow(QWidget *owner);

    // The creation handler, run by the window's constructor once its controls exist: the
    // requests (buildRequests; an error goes to StatusBar and the window stays), then the
    // window's server with its interval (10 ms units) and retries, serving nothing yet. A
    // server that cannot start is reported and ends the application.
    void FormCreate(int serverInterval, int serverRetries);
    // The window's requests: buildTransferRequests, then their modes, time-outs and
    // completions.
    virtual void buildRequests() = 0;
    // The three requests, adopted and bound to the hidden controls and the file field.
    void buildTransferRequests();
    // Whether a button may start a transfer: the window has its server and requests, and none
    // is still busy with the last transfer.
    bool readyForTransfer() const;

    // The field's path names a folder to serve and a name the device can be given.
    std::optional<Refusal> checkTransferPath(QLineEdit *field, QWidget *focus) const;
    // Serves the file of path (checked by checkTransferPath), in that direction only.
    TransferPath serveFile(const QString &path, KtTFTPServer::Direction direction);
    // Writes the address request with the bare name in the file field, then shows the field's
    // text again. Raises what the request raises.
    bool writeAddress(const QString &bareName);

    // A path from the file dialog, starting in the folder of the current text; empty when
    // cancelled.
    QString chooseFile(KtDialogs::FileMode mode, const QString &current, const QString &filter);

    // Stops and destroys the server; the outcomes still arriving change nothing (closed()).
    bool FormCloseQuery() override;
    bool closed() const { return m_closed; }

private:
    KtSNMPRequest2Edits *m_addressRequest = nullptr;
    KtSNMPRequest2Edits *m_transferRequest = nullptr;
    KtSNMPRequest2Edits *m_upgradeRequest = nullptr;
    KtTFTPServer *m_server = nullptr;
    bool m_closed = false;
};
