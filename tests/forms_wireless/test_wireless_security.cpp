// The security half of "Home \ Wireless" against the simulated access point: the panel each
// authentication shows, WEP keys (only the selected one, only typed anew, always as hex digits),
// the passphrase and RADIUS checks of Apply, the valid keys the secondary SSIDs leave, the
// downgrade of enterprise secondary SSIDs, and secrets that never leave their masked edits.
#include "wirelesstest.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>

#include <functional>

using namespace wirelesstest;

namespace {

constexpr int A = TFM_Wirless::BandA;
constexpr int G = TFM_Wirless::BandG;

class WirelessSecurity : public WirelessTest
{
};

// The user types text into the edit, at its end.
void type(QLineEdit *edit, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
    }
}

// The user empties the edit and types text.
void retype(QLineEdit *edit, const QString &text)
{
    edit->clear();
    type(edit, text);
}

struct KeyCase {
    const char *name;
    std::function<void(TWirlessSecurity &)> typeIn;
    const char *message;  // nothing: Apply goes through
    const char *firstKey; // the device's first key afterwards
};

TEST_F(WirelessSecurity, OnlyTheSelectedKeyTypedAnewIsWrittenAsHexDigits)
{
    // Band a on Open System with encryption on; its first key 0123456789 shows as ten "*".
    startWireless();
    simCommand(QStringLiteral("set adSecAuthentication.1 1"));
    const KeyCase rows[] = {
        {"ten stars are the stored key", [](TWirlessSecurity &) {}, nullptr, "0123456789"},
        {"five ASCII characters",
         [](TWirlessSecurity &s) {
             choose(s.keyType, QStringLiteral("ASCII"));
             type(s.keys[0], QStringLiteral("abcde"));
         },
         nullptr, "6162636465"},
        {"a 25-digit third key at 128 bits; the wrong first key is not looked at",
         [](TWirlessSecurity &s) {
             choose(s.validKey, QStringLiteral("Third"));
             choose(s.keySize, QStringLiteral("128 Bits"));
             retype(s.keys[2], QString(25, u'a'));
         },
         "The Length of the 3rd key in IEEE802.11a must be 26!", "0123456789"},
        {"ASCII at 152 bits",
         [](TWirlessSecurity &s) {
             choose(s.keyType, QStringLiteral("ASCII"));
             choose(s.keySize, QStringLiteral("152 Bits"));
             type(s.keys[0], QStringLiteral("abc"));
         },
         "The Lengh of the 1st key in IEEE802.11a must be 16!", "0123456789"},
        {"not hex", [](TWirlessSecurity &s) { retype(s.keys[0], QStringLiteral("01234567zz")); },
         "Please input  Hexadecimal digits!", "0123456789"},
    };
    for (const KeyCase &row : rows) {
        simCommand(QStringLiteral("set adSecKey-80211a-1 0123456789"));
        TFM_Wirless &w = open();
        TWirlessSecurity &s = w.security(A);
        ASSERT_EQ(s.keys[0]->text(), QString(10, u'*')) << row.name;
        ASSERT_EQ(s.keySize->currentText(), QStringLiteral("64 Bits")) << row.name;
        row.typeIn(s);
        const QStringList written = apply(w);
        if (row.message) {
            EXPECT_EQ(m_dialogs.texts(), QStringList{row.message}) << row.name;
            EXPECT_TRUE(written.isEmpty()) << row.name;
        } else {
            EXPECT_TRUE(m_dialogs.messages().isEmpty()) << row.name;
            const int security = lineOf(written, oid(".4.2.5.1.1.1.1=1 "));
            ASSERT_GE(security, 0) << row.name;
            // Only the first key, and only when it was typed.
            EXPECT_EQ(written.at(security).contains(oid(".4.2.5.3.1.1.1.1=")),
                      QByteArray(row.firstKey) != "0123456789")
                << written.at(security).toStdString();
            EXPECT_FALSE(written.at(security).contains(oid(".4.2.5.3.1.1.1.2=")));
            EXPECT_EQ(s.keyType->currentText(), QStringLiteral("HEX")) << row.name;
        }
        EXPECT_EQ(deviceValue(QStringLiteral("adSecKey-80211a-1")),
                  QLatin1Char('"') + QLatin1String(row.firstKey) + QLatin1Char('"'))
            << row.name;
    }
    // The refused hex key was emptied for the user to type again.
    EXPECT_TRUE(m_window->security(A).keys[0]->text().isEmpty());
}

struct WpaCase {
    const char *name;
    const char *authentication;
    std::function<void(TWirlessSecurity &)> typeIn;
    const char *message; // nothing: Apply writes the panel's settings
    const char *written; // a piece of the panel's write, "@" for the vendor prefix
};

TEST_F(WirelessSecurity, PassPhraseGroupKeyAndRadiusChecks)
{
    startWireless();
    const auto passPhrase = [](int length) {
        return [length](TWirlessSecurity &s) { s.passPhrase->setText(QString(length, u'p')); };
    };
    const auto groupKey = [](const char *text) {
        return [text](TWirlessSecurity &s) { s.pskGroupKey->setText(QLatin1String(text)); };
    };
    const auto radius = [](const char *server, const char *port, const char *interval) {
        return [=](TWirlessSecurity &s) {
            s.radiusServer->setText(QLatin1String(server));
            s.radiusPort->setText(QLatin1String(port));
            s.radiusGroupKey->setText(QLatin1String(interval));
        };
    };
    const char *personal = "WPA2-Personal";
    const char *enterprise = "WPA-Enterprise";
    const char *range = "Please input a number between 300 and 9999999.";
    const WpaCase rows[] = {
        {"7-character passphrase", personal, passPhrase(7),
         "The length of 802.11a PassPhrase is between 8 and 63.", nullptr},
        {"8-character passphrase", personal, passPhrase(8), nullptr, "=\"pppppppp\" "},
        {"63-character passphrase", personal, passPhrase(63), nullptr, "=\"ppppppppppppppp"},
        {"interval 299", personal, groupKey("299"), range, nullptr},
        {"interval 300", personal, groupKey("300"), nullptr, "@.4.2.5.1.1.6.1=300 "},
        {"interval 9999999", personal, groupKey("9999999"), nullptr, "@.4.2.5.1.1.6.1=9999999 "},
        {"empty interval", personal, groupKey(""), range, nullptr},
        {"RADIUS interval 299", enterprise, radius("192.168.0.10", "1812", "299"), range, nullptr},
        {"RADIUS server out of range", enterprise, radius("192.168.0.256", "1812", "300"),
         "The Radius server's IP is illegal.", nullptr},
        {"RADIUS server by name", enterprise, radius("radius.lan", "1812", "300"),
         "The Radius server's IP is illegal.", nullptr},
        {"no RADIUS port", enterprise, radius("192.168.0.10", "", "300"),
         "Please input a number between 1 and 65535.", nullptr},
        {"RADIUS settings", enterprise, radius("10.0.0.2", "1645", "600"), nullptr,
         "@.4.2.5.2.4.0=1645 @.4.2.5.1.1.6.1=600 @.4.2.5.2.3.0=\"10.0.0.2\""},
    };
    for (const WpaCase &row : rows) {
        TFM_Wirless &w = open();
        TWirlessSecurity &s = w.security(A);
        choose(s.authenticationShown, QLatin1String(row.authentication));
        row.typeIn(s);
        w.PC_Wirless->setCurrentIndex(G);
        const QStringList written = apply(w);
        if (row.message) {
            EXPECT_EQ(m_dialogs.texts(), QStringList{row.message}) << row.name;
            EXPECT_EQ(m_dialogs.messages().value(0).caption, QStringLiteral("Error")) << row.name;
            EXPECT_EQ(w.PC_Wirless->currentIndex(), A) << row.name;
            EXPECT_TRUE(written.isEmpty()) << row.name;
            continue;
        }
        EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
        const QString piece = QString::fromLatin1(row.written).replace(u'@', kVendor);
        EXPECT_GE(lineOf(written, piece), 0) << row.name << "\n"
                                             << written.join(u'\n').toStdString();
    }
    // 64 characters cannot be typed.
    TFM_Wirless &w = open();
    type(w.security(A).passPhrase, QString(64, u'q'));
    EXPECT_EQ(w.security(A).passPhrase->text().size(), 63);
}

TEST_F(WirelessSecurity, EachAuthenticationShowsItsPanel)
{
    startWireless();
    TFM_Wirless &w = open();
    TWirlessSecurity &s = w.security(A);
    const auto shown = [&s] {
        QStringList names;
        for (auto panel : {TWirlessSecurity::KeySettings, TWirlessSecurity::RadiusServer,
                           TWirlessSecurity::PassPhrase}) {
            if (s.panel(panel)->isVisibleTo(s.area()))
                names << s.panel(panel)->objectName();
        }
        return names.join(u'|');
    };
    EXPECT_EQ(shown(), QStringLiteral("GroupBox6")); // the device's WPA2-Personal
    choose(s.authenticationShown, QStringLiteral("WPA-Auto-Enterprise"));
    EXPECT_EQ(shown(), QStringLiteral("GroupBox5"));
    EXPECT_EQ(s.authentication->currentText(), QStringLiteral("WPA-Auto-Enterprise"));

    // Shared Key locks encryption on; the others let it be chosen.
    choose(s.authenticationShown, QStringLiteral("Shared Key"));
    EXPECT_EQ(shown(), QStringLiteral("GroupBox4"));
    EXPECT_EQ(s.encryption->currentText(), QStringLiteral("Enable"));
    EXPECT_FALSE(s.encryption->isEnabled());
    choose(s.authenticationShown, QStringLiteral("Open System"));
    EXPECT_TRUE(s.encryption->isEnabled());
    // Only the selected key is editable, and none while encryption is off.
    choose(s.validKey, QStringLiteral("Fourth"));
    EXPECT_TRUE(s.keys[0]->isReadOnly());
    EXPECT_FALSE(s.keys[3]->isReadOnly());
    choose(s.encryption, QStringLiteral("Disable"));
    EXPECT_TRUE(s.keys[3]->isReadOnly());
    EXPECT_FALSE(s.validKey->isEnabled());

    // A client: three choices, and WPA-Personal with TKIP that cannot be changed.
    choose(w.page(A).apModeShown, QStringLiteral("AP Client"));
    EXPECT_EQ(entries(s.authenticationShown),
              (QStringList{"Open System", "Shared Key", "WPA-Personal"}));
    choose(s.authenticationShown, QStringLiteral("WPA-Personal"));
    EXPECT_EQ(shown(), QStringLiteral("GroupBox6"));
    EXPECT_EQ(s.pskCipher->currentText(), QStringLiteral("TKIP"));
    EXPECT_FALSE(s.pskCipherShown->isEnabled());
    // A WDS link offers no enterprise type and its own ciphers.
    choose(w.page(A).apModeShown, QStringLiteral("WDS"));
    EXPECT_EQ(entries(s.pskCipherShown), QStringList{"AES"});
    EXPECT_EQ(s.pskCipher->currentText(), QStringLiteral("AES"));
    EXPECT_EQ(lineOf(entries(s.authenticationShown), QStringLiteral("Enterprise")), -1);
}

TEST_F(WirelessSecurity, ASecondarySsidOnWpaLeavesOnlyTheFirstAndFourthKey)
{
    startWireless(); // band g: MSSID 3 on WPA2-Personal
    TFM_Wirless &w = open();
    EXPECT_EQ(entries(w.security(G).validKey), (QStringList{"First", "Fourth"}));
    EXPECT_EQ(entries(w.security(A).validKey), (QStringList{"First", "Second", "Third", "Fourth"}));
    // Refresh rebuilds it from the device again.
    simCommand(QStringLiteral("set adMSSIDState.2 0"));
    w.Bt_RefreshClick();
    EXPECT_EQ(entries(w.security(G).validKey).size(), 4);
}

TEST_F(WirelessSecurity, AnEnterpriseSecondaryFallsBackWithItsPrimary)
{
    startWireless();
    simCommand(QStringLiteral("set adSecAuthentication.1 5"));
    simCommand(QStringLiteral("set adMSSIDState.1 1"));
    simCommand(QStringLiteral("row mssid 1.3 3 1 \"Lab-Radius\" 7 1 1 \"\" -1 1 2 \"\" 2 1"));
    TFM_Wirless &w = open();
    choose(w.security(A).authenticationShown, QStringLiteral("WPA-Personal"));
    const QStringList written = apply(w);
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{"To change authentication type of Primary SSID will change "
                          "WPA-Enterprise of Secondary SSID to non security."});
    // Encryption, then authentication, of that SSID alone; before the radio's own settings.
    const int encryption = lineOf(written, oid(".4.2.9.2.1.5.1.3=0 -> noError"));
    const int authentication = lineOf(written, oid(".4.2.9.2.1.4.1.3=1 -> noError"));
    ASSERT_GE(encryption, 0) << written.join(u'\n').toStdString();
    EXPECT_EQ(authentication, encryption + 1);
    EXPECT_LT(authentication, lineOf(written, oid(".4.1.1.1.1.1=")));
    EXPECT_FALSE(written.at(encryption).contains(oid(".4.2.9.2.1.5.1.2=")));
    EXPECT_EQ(deviceValue(oid(".4.2.9.2.1.5.1.3")), QStringLiteral("0"));
    EXPECT_EQ(deviceValue(oid(".4.2.9.2.1.4.1.3")), QStringLiteral("1"));
    EXPECT_EQ(deviceValue(QStringLiteral("adSecAuthentication.1")), QStringLiteral("4"));
}

TEST_F(WirelessSecurity, SecretsStayInTheirMaskedEdits)
{
    startWireless();
    QStringList seen; // every status line and every message the user was shown
    TFM_Wirless &w = open();
    QObject::connect(w.StatusBar, &QStatusBar::messageChanged,
                     [&seen](const QString &text) { seen << text; });
    TWirlessSecurity &a = w.security(A);
    TWirlessSecurity &g = w.security(G);
    for (QLineEdit *secret : {a.keys[0], a.keys[3], a.passPhrase, a.radiusSecret, g.passPhrase}) {
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password) << secret->objectName().toStdString();
    }
    const QString passPhrase = QStringLiteral("Secret-Phrase-77");
    const QString radiusSecret = QStringLiteral("rad-Secret-88");
    // A refused passphrase, a refused RADIUS server, a refused key, then all of it accepted.
    a.passPhrase->setText(QStringLiteral("short"));
    apply(w);
    seen << m_dialogs.texts();
    choose(a.authenticationShown, QStringLiteral("WPA2-Enterprise"));
    retype(a.radiusSecret, radiusSecret);
    a.radiusServer->setText(QStringLiteral("10.0.0"));
    apply(w);
    seen << m_dialogs.texts();
    a.radiusServer->setText(QStringLiteral("10.0.0.9"));
    choose(g.authenticationShown, QStringLiteral("Open System"));
    retype(g.keys[0], QStringLiteral("CAFEBABE9Z"));
    apply(w);
    seen << m_dialogs.texts();
    type(g.keys[0], QStringLiteral("CAFEBABE99"));
    g.passPhrase->setText(passPhrase);
    apply(w);
    seen << m_dialogs.texts();
    ASSERT_EQ(deviceValue(QStringLiteral("adSecRADIUSSecret")),
              QLatin1Char('"') + radiusSecret + QLatin1Char('"'));
    ASSERT_EQ(deviceValue(QStringLiteral("adSecKey-80211g-1")), QStringLiteral("\"CAFEBABE99\""));
    for (const QString &text : seen) {
        for (const QString &secret : {passPhrase, radiusSecret, QStringLiteral("CAFEBABE"),
                                      QStringLiteral("short"), QStringLiteral("Corridor-East")})
            EXPECT_FALSE(text.contains(secret, Qt::CaseInsensitive)) << text.toStdString();
    }
    EXPECT_GE(seen.size(), 4);
    // The RADIUS server is the device's one: typed on one band it is the other band's too.
    EXPECT_EQ(g.radiusSecret->text(), radiusSecret);
}

} // namespace
