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

#include "ttransferwindow.h"

#include <optional>

struct KtSNMPError;
class QPushButton;

class TFM_CfgFile : public TTransferWindow
{
    Q_OBJECT

public:
    // Builds the three requests (an error goes to StatusBar and the window stays) and starts
    // the TFTP server, serving nothing yet. A server that cannot start is reported and ends the
    // application.
    explicit TFM_CfgFile(QWidget *owner = nullptr);
    ~TFM_CfgFile() override;

    static QString emptyFileMessage();    // "Empty file is not accepted."
    static QString fileFormatMessage();   // "File format error! Please try again!"
    static QString saveFailedMessage();   // "Fail to save the configuration file!"
    static QString savedMessage();        // "The configuration file saved successfully!"
    static QString updateFailedMessage(); // "The configuration file updated fail!"
    static QString rebootText();          // "Waiting for reboot..."
    static QString errorBoxCaption() { return QStringLiteral("ERROR"); }
    static QString okBoxCaption() { return QStringLiteral("OK"); }

    // Update: the field names an existing file.
    std::optional<Refusal> checkUpdateFile() const;
    // Save: a file was chosen.
    std::optional<Refusal> checkSaveFile() const;

    // Ed_UpgFile is the update field; with StatusBar and the hidden controls see
    // TTransferWindow.
    QPushButton *Bt_Browse = nullptr;
    QPushButton *Bt_OK = nullptr;
    QLineEdit *Ed_SaveFile = nullptr; // save field, filled only by the save dialog
    QPushButton *Bt_SaveBrowse = nullptr;
    QPushButton *Bt_SaveOK = nullptr;

    bool saving() const { return m_saving; }

public Q_SLOTS:
    void Bt_OKClick();     // update
    void Bt_SaveOKClick(); // save
    void Bt_BrowseClick();
    void Bt_SaveBrowseClick();

private:
    void buildWindow();
    void buildRequests() override;
    // Serves the file of path in the direction given, writes the address request with its bare
    // name, then the transfer command at position command. Returns whether the transfer
    // command went out; when it did not, the failure has been shown.
    bool startTransfer(const QString &path, KtTFTPServer::Direction direction, int command);
    // The transfer request's status callback.
    void configurationHandler(const KtSNMPError &status);
    bool applyRestoredFile();
    void showFailure();

    bool m_saving = false;
};

extern TFM_CfgFile *FM_CfgFile;
