// "Tools \ Firmware": the device fetches a firmware image from the PC through the module's own
// TFTP server, installs it and restarts into it.
//
// OK checks the file field, chooses the PC's address on the device's network, lets the server
// serve that one image from its folder and writes the server address and the bare file name
// (address request), then the "Get" command (transfer request). Once the device has fetched
// the image, the window waits while the device loads it, writes "Firmwareupdate" (upgrade
// request) and waits again while the device installs it. When the device reports the image
// installed, "Reboot" is written until the device no longer answers (it restarts), at most
// MaxRebootWrites times: a device that answers without going down is not sent reboots forever.
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

class TFM_Firmware : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the three requests (an error goes to StatusBar and the window stays) and starts
    // the TFTP server, serving nothing yet. A server that cannot start is reported and ends the
    // application.
    explicit TFM_Firmware(QWidget *owner = nullptr);
    ~TFM_Firmware() override;

    static QString noFileMessage();      // "Please put in the firmware file & path."
    static QString invalidFileMessage(); // "Please put in valid firmware file & path."
    static QString cantPerformMessage(); // "Cant Perform Operation,Please try again!"
    static QString setErrorMessage();    // "Set error!"
    static QString loadingText();        // "Loading firmware file..."
    static QString updatingText();       // "Updating firmware file..."

    // "Reboot" writes after one upgrade, at most. The device normally stops answering after
    // the first or second.
    static constexpr int MaxRebootWrites = 3;
    // The upgrade request's time-out for "Reboot" (hundredths of a second): a device going
    // down to restart is noticed quickly.
    static constexpr int RebootTimeout = 200;

    // The file field names a firmware image (a ".tfp" text in it) that exists.
    std::optional<Refusal> checkFirmwareFile() const;
    // The file field is a path whose bare name can be given to the device.
    std::optional<Refusal> checkFilePath() const;

    QLineEdit *Ed_UpgFile = nullptr; // the file field; bound to remotefilename
    QPushButton *Bt_Browse = nullptr;
    QPushButton *Bt_OK = nullptr;
    QStatusBar *StatusBar = nullptr;  // the transfer's outcome
    QStatusBar *StatusBar2 = nullptr; // the upgrade's outcome
    QLineEdit *Ed_TfpSrv = nullptr;   // hidden: remotesrvip
    QComboBox *CB_TfpCom = nullptr;   // hidden: tftpcommand
    QComboBox *CB_UpgCom = nullptr;   // hidden: upgradesettingcommand

    KtSNMPRequest2Edits *addressRequest() const { return m_addressRequest; }
    KtSNMPRequest2Edits *transferRequest() const { return m_transferRequest; }
    KtSNMPRequest2Edits *upgradeRequest() const { return m_upgradeRequest; }
    KtTFTPServer *server() const { return m_server; }
    bool upgradePending() const { return m_upgradePending; }
    int rebootWrites() const { return m_rebootWrites; }

public Q_SLOTS:
    void Bt_OKClick();
    void Bt_BrowseClick();

protected:
    // Stops and destroys the TFTP server.
    bool FormCloseQuery() override;

private:
    void buildWindow();
    void FormCreate();
    void buildRequests();
    // The address request's outcome: the transfer command goes out only once the device holds
    // the server address and the file name.
    void addressWritten(const KtSNMPError &status);
    void writeTransferCommand();
    // The transfer request's status callback.
    void firmwareTransferHandler(const KtSNMPError &status);
    void upgradeSequence();
    // The upgrade request's status callback.
    void firmwareUpgradeHandler(const KtSNMPError &status);
    bool writeUpgradeCommand(int position);

    KtSNMPRequest2Edits *m_addressRequest = nullptr;
    KtSNMPRequest2Edits *m_transferRequest = nullptr;
    KtSNMPRequest2Edits *m_upgradeRequest = nullptr;
    KtTFTPServer *m_server = nullptr;
    bool m_upgradePending = false;
    int m_rebootWrites = 0;
    bool m_closed = false; // the close query ran: the outcomes still arriving change nothing
};

extern TFM_Firmware *FM_Firmware;
