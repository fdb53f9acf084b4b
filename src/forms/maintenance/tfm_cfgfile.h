// "Tools \ Configuration File": restores the device's configuration from a file on the PC
// ("Update Configuration File"), or saves the device's configuration to a file on the PC
// ("Load Settings to Local Hard Drive"). The device does the transfer, through the module's own
// TFTP server serving the chosen file's folder, which takes or gives that one file only.
//
// Update: the server address and bare file name, then "Get"; once the device has the file,
// "Configsave" makes it apply the file, and the waiting window restarts the device.
// Save: the server address and bare file name, then "Put"; the device sends its configuration,
// and the window tells whether it arrived.
#pragma once

#include "tpagewindow.h"

#include <optional>

struct KtSNMPError;
class KtSNMPRequest2Edits;
class KtTFTPServer;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

class TFM_CfgFile : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the three requests (an error goes to StatusBar and the window stays) and starts
    // the TFTP server, serving nothing yet. A server that cannot start is reported and ends the
    // application.
    explicit TFM_CfgFile(QWidget *owner = nullptr);
    ~TFM_CfgFile() override;

    static QString emptyFileMessage();   // "Empty file is not accepted."
    static QString fileFormatMessage();  // "File format error! Please try again!"
    static QString saveFailedMessage();  // "Fail to save the configuration file!"
    static QString savedMessage();       // "The configuration file saved successfully!"
    static QString updateFailedMessage(); // "The configuration file updated fail!"
    static QString rebootText();         // "Waiting for reboot..."
    static QString errorBoxCaption() { return QStringLiteral("ERROR"); }
    static QString okBoxCaption() { return QStringLiteral("OK"); }

    // Update: the field names an existing file, in a path the server can serve it from.
    std::optional<Refusal> checkUpdateFile() const;
    std::optional<Refusal> checkUpdatePath() const;
    // Save: a file was chosen, in a path the device can be told.
    std::optional<Refusal> checkSaveFile() const;
    std::optional<Refusal> checkSavePath() const;

    QLineEdit *Ed_UpgFile = nullptr; // update field; bound to remotefilename
    QPushButton *Bt_Browse = nullptr;
    QPushButton *Bt_OK = nullptr;
    QLineEdit *Ed_SaveFile = nullptr; // save field, filled only by the save dialog
    QPushButton *Bt_SaveBrowse = nullptr;
    QPushButton *Bt_SaveOK = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLineEdit *Ed_TfpSrv = nullptr; // hidden: remotesrvip
    QComboBox *CB_TfpCom = nullptr; // hidden: tftpcommand
    QComboBox *CB_UpgCom = nullptr; // hidden: upgradesettingcommand

    KtSNMPRequest2Edits *addressRequest() const { return m_addressRequest; }
    KtSNMPRequest2Edits *transferRequest() const { return m_transferRequest; }
    KtSNMPRequest2Edits *upgradeRequest() const { return m_upgradeRequest; }
    KtTFTPServer *server() const { return m_server; }
    bool saving() const { return m_saving; }

public Q_SLOTS:
    void Bt_OKClick();      // update
    void Bt_SaveOKClick();  // save
    void Bt_BrowseClick();
    void Bt_SaveBrowseClick();

protected:
    // Stops and destroys the TFTP server.
    bool FormCloseQuery() override;

private:
    void buildWindow();
    void FormCreate();
    void buildRequests();
    // Serves the file of path in the direction given, writes the address request with its bare
    // name, then the transfer command at position command. Returns whether the transfer
    // command went out.
    bool startTransfer(const QString &path, int direction, int command);
    // The transfer request's status callback (the address request's failure too).
    void configurationHandler(const KtSNMPError &status);
    bool applyRestoredFile();

    KtSNMPRequest2Edits *m_addressRequest = nullptr;
    KtSNMPRequest2Edits *m_transferRequest = nullptr;
    KtSNMPRequest2Edits *m_upgradeRequest = nullptr;
    KtTFTPServer *m_server = nullptr;
    bool m_saving = false;
    bool m_closed = false; // the close query ran: the outcomes still arriving change nothing
};

extern TFM_CfgFile *FM_CfgFile;
