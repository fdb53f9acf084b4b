// "Status \ Log \ Log Setting": which events the device logs (system, wireless, notice) and
// whether it also sends them to a remote log server. The log window builds this window when it
// opens and binds its controls to its own settings request; the window only applies it.
#pragma once

#include "tpagewindow.h"

#include <optional>

class KtSNMPRequest2Edits;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

class TLogSetForm : public TPageWindow
{
    Q_OBJECT

public:
    explicit TLogSetForm(QWidget *owner = nullptr);
    ~TLogSetForm() override;

    // Positions in RemoteStateComBox: the option list's order.
    enum RemoteState { Disable = 0, Enable = 1 };

    static QString invalidAddressMessage(); // "Please input valid IP Address."
    // What an empty server field is written as, with remote logging disabled.
    static QString noServerAddress() { return QStringLiteral("0.0.0.0"); }

    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *SysLevCeBox = nullptr;      // adSystemLevel
    QCheckBox *WirelessLevCeBox = nullptr; // adWirelessLevel
    QCheckBox *NoticeLevCeBox = nullptr;   // adNoticeLevel
    QGroupBox *GroupBox2 = nullptr;
    QLineEdit *LogServerEdit = nullptr;     // adLogServerIP
    QComboBox *RemoteStateComBox = nullptr; // hidden: adRemoteLogState
    QPushButton *Button2 = nullptr;         // "Apply"
    QPushButton *Button1 = nullptr;         // "Cancel"
    QStatusBar *StatusBar = nullptr;

    // The opener's settings request, bound to the controls above; not owned.
    KtSNMPRequest2Edits *request = nullptr;

    // The server field is empty or passes the main window's address check.
    std::optional<Refusal> checkLogServer() const;

public Q_SLOTS:
    void Button2Click();
    void Button1Click();

private:
    void buildWindow();
    // The state follows the field: an address enables remote logging; an empty field disables
    // it and is written as noServerAddress().
    void chooseRemoteState();
};

extern TLogSetForm *LogSetForm;
