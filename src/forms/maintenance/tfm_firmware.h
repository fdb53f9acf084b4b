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

#include "ttransferwindow.h"

#include <optional>

struct KtSNMPError;
class QPushButton;

class TFM_Firmware : public TTransferWindow
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

    // Ed_UpgFile (the file field), StatusBar (the transfer's outcome) and the hidden controls:
    // see TTransferWindow.
    QPushButton *Bt_Browse = nullptr;
    QPushButton *Bt_OK = nullptr;
    QStatusBar *StatusBar2 = nullptr; // the upgrade's outcome

    bool upgradePending() const { return m_upgradePending; }
    int rebootWrites() const { return m_rebootWrites; }

public Q_SLOTS:
    void Bt_OKClick();
    void Bt_BrowseClick();

private:
    void buildWindow();
    void buildRequests() override;
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

    bool m_upgradePending = false;
    int m_rebootWrites = 0;
};

extern TFM_Firmware *FM_Firmware;
