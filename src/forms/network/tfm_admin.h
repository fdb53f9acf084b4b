// "Tools \ Admin": the device's login name and password. The password the device holds is read
// into a hidden field and never shown; the administrator proves it by typing it as the old
// password before anything is written.
#pragma once

#include "tpagewindow.h"

#include <optional>

class KtSNMPRequest2Edits;
class QLineEdit;
class QPushButton;
class QStatusBar;

class TFM_Admin : public TPageWindow
{
    Q_OBJECT

public:
    // Builds the request (UserName, Password) and reads the device.
    explicit TFM_Admin(QWidget *owner = nullptr);
    ~TFM_Admin() override;

    // The refusals of OK, in the order OK checks them.
    static QString oldPasswordMessage();
    static QString userNameMessage();
    static QString passwordMessage();
    static QString confirmationMessage();

    // ---- The rules of OK, in their order ----
    // "Old Password" equals the password the device holds (a device that never told it
    // refuses every old password).
    std::optional<Refusal> checkOldPassword() const;
    // At most 40 characters: a longer name is refused and cleared.
    std::optional<Refusal> checkUserName() const;
    // At most 12 characters: a longer new password is refused and cleared.
    std::optional<Refusal> checkNewPassword() const;
    // The confirmation repeats the new password.
    std::optional<Refusal> checkConfirmation() const;
    // The password written: the new one, or the one the device holds when "New Password" and
    // its confirmation are both left empty (a rename keeps the password).
    QString passwordToWrite() const;

    QLineEdit *Ed_Usr = nullptr;    // "User Name"
    QLineEdit *Ed_OldPwd = nullptr; // "Old Password"
    QLineEdit *Ed_NewPwd = nullptr; // "New Password"
    QLineEdit *Ed_CfmPwd = nullptr; // "Confirm New Password"
    QLineEdit *Ed_Pwd = nullptr;    // hidden: the password the device holds
    QPushButton *Bt_OK = nullptr;
    QPushButton *Bt_Cancel = nullptr;
    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *request() const { return m_request; }

public Q_SLOTS:
    void Bt_OKClick();
    void Bt_CancelClick();

private:
    void buildWindow();
    void FormCreate();

    KtSNMPRequest2Edits *m_request = nullptr; // owned by the page window
    // The device told its password: only then can the old password be checked.
    bool m_passwordRead = false;
};

extern TFM_Admin *FM_Admin;
