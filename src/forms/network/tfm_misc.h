// "Tools \ Misc.": the device's console. "Enabled " turns the console on or off, "Telnet" or
// "SSH" chooses its protocol and "Timeout" its idle timeout. The device runs at most one of the
// two: enabling one is written as both off first, then the chosen one on.
#pragma once

#include "tpagewindow.h"

class KtSNMPRequest2Edits;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QStatusBar;

class TFM_Misc : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the request (telnet, timeout, ssh), reads the device and applies both rules.
    explicit TFM_Misc(QWidget *owner = nullptr);
    ~TFM_Misc() override;

    // The boxes' positions: the option lists' order.
    enum Switch { Disable = 0, Enable = 1 };

    QGroupBox *GroupBox1 = nullptr; // " Console Settings  "
    QCheckBox *CB_Status = nullptr; // "Enabled "
    QComboBox *CB_Timeout = nullptr;
    QRadioButton *CB_Telnet = nullptr;
    QRadioButton *CB_SSH = nullptr;
    QComboBox *TelnetCoBox = nullptr; // hidden: telnet as the device holds it
    QComboBox *SHHCoBox = nullptr;    // hidden: ssh as the device holds it
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *request() const { return m_request; }

    // The state rule: a console that runs (telnet or ssh not "Disable") checks "Enabled " and
    // enables the timeout and the protocol; otherwise all three are off.
    void applyStateRule();
    // The protocol rule: "Telnet" when telnet is enabled, else "SSH" when ssh is, else
    // "Telnet".
    void applyProtocolRule();

public Q_SLOTS:
    void Bt_ApplyClick();
    void Bt_RefreshClick();
    void CB_StatusClick();

private:
    void buildWindow();
    void FormCreate();
    void readDevice();
    // The console controls follow "Enabled ".
    void enableConsoleChoices(bool enabled);
    // Writes the request; shows "Setting Error!" when it fails.
    bool write();

    KtSNMPRequest2Edits *m_request = nullptr; // owned by the page window
};

extern TFM_Misc *FM_Misc;
