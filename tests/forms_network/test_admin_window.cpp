// "Tools \ Admin" against the simulated access point: OK checks the old password, the name's
// and the new password's length and the confirmation in that order, each refusal writing
// nothing; a rename without a new password keeps the device's password; the password read
// from the device is never shown.
#include "ktsnmprequest2edits.h"
#include "tfm_admin.h"
#include "windowtest.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kUserNameOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.1.1.0");
const QString kPasswordOid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.1.2.0");
const QString kDevicePassword = QStringLiteral("n0rvane"); // the default profile's

QString assignment(const QString &oid, const QString &text)
{
    return oid + QStringLiteral("=\"") + text + QLatin1Char('"');
}

class AdminWindow : public PageWindowTest
{
protected:
    void SetUp() override { startDevice(); }

    // What the device holds now, as the control channel reads it.
    QString deviceText(const char *name)
    {
        return sim().command(QStringLiteral("get ") + QLatin1String(name));
    }
};

TEST_F(AdminWindow, OpensWithTheDeviceNameAndThePasswordOnlyInTheHiddenField)
{
    TFM_Admin window(m_form.get());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tools \\ Admin"));
    EXPECT_EQ(window.Ed_Usr->text(), QStringLiteral("admin"));
    EXPECT_EQ(window.Ed_Pwd->text(), kDevicePassword);
    window.show();
    EXPECT_FALSE(window.Ed_Pwd->isVisible());
    EXPECT_EQ(window.Ed_Pwd->echoMode(), QLineEdit::Password);
    for (QLineEdit *edit : {window.Ed_OldPwd, window.Ed_NewPwd, window.Ed_CfmPwd}) {
        EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    }
    EXPECT_FALSE(window.StatusBar->currentMessage().contains(kDevicePassword));
}

// One refusal of OK: the fields as typed, the message expected, and whether the refused field
// is emptied.
struct Refused {
    const char *name;
    std::function<void(TFM_Admin &)> type;
    QString message;
    QLineEdit *TFM_Admin::*field;
    bool cleared;
};

TEST_F(AdminWindow, EachCheckRefusesInItsOrderAndWritesNothing)
{
    const QString name41(41, QLatin1Char('u'));
    const QString password13(13, QLatin1Char('p'));
    const Refused cases[] = {
        // The old password is checked before anything else is looked at.
        {"wrong old password, long name too",
         [&](TFM_Admin &w) {
             w.Ed_OldPwd->setText(QStringLiteral("guess"));
             w.Ed_Usr->setText(name41);
         },
         TFM_Admin::oldPasswordMessage(), &TFM_Admin::Ed_OldPwd, false},
        {"empty old password",
         [](TFM_Admin &) {}, TFM_Admin::oldPasswordMessage(), &TFM_Admin::Ed_OldPwd, false},
        {"name of 41 characters, long password too",
         [&](TFM_Admin &w) {
             w.Ed_OldPwd->setText(kDevicePassword);
             w.Ed_Usr->setText(name41);
             w.Ed_NewPwd->setText(password13);
         },
         TFM_Admin::userNameMessage(), &TFM_Admin::Ed_Usr, true},
        {"new password of 13 characters",
         [&](TFM_Admin &w) {
             w.Ed_OldPwd->setText(kDevicePassword);
             w.Ed_NewPwd->setText(password13);
             w.Ed_CfmPwd->setText(password13);
         },
         TFM_Admin::passwordMessage(), &TFM_Admin::Ed_NewPwd, true},
        {"confirmation differs",
         [&](TFM_Admin &w) {
             w.Ed_OldPwd->setText(kDevicePassword);
             w.Ed_NewPwd->setText(QStringLiteral("s3cret"));
             w.Ed_CfmPwd->setText(QStringLiteral("s3cre"));
         },
         TFM_Admin::confirmationMessage(), &TFM_Admin::Ed_CfmPwd, false},
        {"confirmation without a new password",
         [&](TFM_Admin &w) {
             w.Ed_OldPwd->setText(kDevicePassword);
             w.Ed_CfmPwd->setText(QStringLiteral("s3cret"));
         },
         TFM_Admin::confirmationMessage(), &TFM_Admin::Ed_CfmPwd, false},
    };
    for (const Refused &refused : cases) {
        SCOPED_TRACE(refused.name);
        TFM_Admin window(m_form.get());
        refused.type(window);
        const QString typed = (window.*refused.field)->text();
        m_dialogs.clear();
        markLog();
        window.Bt_OK->click();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_EQ(m_dialogs.messages().at(0).text, refused.message);
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
        EXPECT_EQ((window.*refused.field)->text(), refused.cleared ? QString() : typed);
        EXPECT_TRUE(nothingWrittenSinceMark());
        EXPECT_TRUE(m_waiting.shown().isEmpty());
    }
}

TEST_F(AdminWindow, RenameWithoutNewPasswordKeepsTheDevicePassword)
{
    // Both password fields left empty mean "no new password": written as an empty password,
    // a rename would silently remove the device's login protection.
    TFM_Admin window(m_form.get());
    window.Ed_Usr->setText(QStringLiteral("operator"));
    window.Ed_OldPwd->setText(kDevicePassword);
    markLog();
    window.Bt_OK->click();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes.at(0).contains(assignment(kUserNameOid, QStringLiteral("operator"))))
        << writes.at(0).toStdString();
    EXPECT_TRUE(writes.at(0).contains(assignment(kPasswordOid, kDevicePassword)))
        << writes.at(0).toStdString();
    EXPECT_EQ(deviceText("Password"), QStringLiteral("ok displaystr \"n0rvane\""));
    EXPECT_EQ(deviceText("UserName"), QStringLiteral("ok displaystr \"operator\""));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
}

TEST_F(AdminWindow, NewPasswordIsWrittenAndBecomesTheOneToProve)
{
    TFM_Admin window(m_form.get());
    window.Ed_OldPwd->setText(kDevicePassword);
    window.Ed_NewPwd->setText(QStringLiteral("twelve-chars"));
    window.Ed_CfmPwd->setText(QStringLiteral("twelve-chars"));
    window.Bt_OK->click();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(deviceText("Password"), QStringLiteral("ok displaystr \"twelve-chars\""));
    EXPECT_EQ(deviceText("UserName"), QStringLiteral("ok displaystr \"admin\""));
    EXPECT_EQ(m_waiting.shown().size(), 1);
    // The typed passwords are gone; the old one no longer passes.
    EXPECT_TRUE(window.Ed_OldPwd->text().isEmpty());
    EXPECT_TRUE(window.Ed_NewPwd->text().isEmpty());
    window.Ed_OldPwd->setText(kDevicePassword);
    markLog();
    window.Bt_OK->click();
    EXPECT_EQ(m_dialogs.texts(), QStringList{TFM_Admin::oldPasswordMessage()});
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(AdminWindow, FailedWriteShowsSettingErrorAndKeepsTheDevicePasswordToProve)
{
    TFM_Admin window(m_form.get());
    simCommand(QStringLiteral("error ") + kPasswordOid + QStringLiteral(" genErr"));
    window.Ed_OldPwd->setText(kDevicePassword);
    window.Ed_NewPwd->setText(QStringLiteral("s3cret"));
    window.Ed_CfmPwd->setText(QStringLiteral("s3cret"));
    window.Bt_OK->click();
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("Setting Error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_EQ(deviceText("Password"), QStringLiteral("ok displaystr \"n0rvane\""));

    // The device still holds its password, and the window still checks against it.
    simCommand(QStringLiteral("error clear"));
    window.Bt_OK->click();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(deviceText("Password"), QStringLiteral("ok displaystr \"s3cret\""));
}

TEST_F(AdminWindow, UnreadPasswordRefusesEveryOldPassword)
{
    // Nothing to compare with: an empty old password must not pass as "equal".
    simCommand(QStringLiteral("error ") + kPasswordOid + QStringLiteral(" genErr"));
    TFM_Admin window(m_form.get());
    simCommand(QStringLiteral("error clear"));
    EXPECT_TRUE(window.Ed_Pwd->text().isEmpty());
    markLog();
    window.Bt_OK->click();
    EXPECT_EQ(m_dialogs.texts(), QStringList{TFM_Admin::oldPasswordMessage()});
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(AdminWindow, LongDeviceNameIsShownWholeAndTypingStopsAtTwelve)
{
    simCommand(QStringLiteral("set UserName \"administrator-of-floor-3\""));
    TFM_Admin window(m_form.get());
    EXPECT_EQ(window.Ed_Usr->text(), QStringLiteral("administrator-of-floor-3"));
    window.Ed_Usr->clear();
    window.show();
    window.Ed_Usr->setFocus();
    for (QChar c : QStringLiteral("abcdefghijklmnop")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(window.Ed_Usr, &press);
    }
    EXPECT_EQ(window.Ed_Usr->text(), QStringLiteral("abcdefghijkl"));
}

} // namespace
