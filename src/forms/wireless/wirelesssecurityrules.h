// Security rules that the primary SSID ("Home \ Wireless") and the secondary SSIDs
// ("Advanced \ Multi-SSID") share. The SSIDs of one radio share its four WEP key slots and its
// group key interval, and WPA takes key slots 2 and 3 for itself; a secondary SSID may use an
// enterprise authentication only while the primary SSID does (the radio has one RADIUS server).
//
// Labels are the device pages' own: the primary SSID says "Open System / Shared Key" where the
// multi-SSID table says "Both"; every rule here takes either.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class KtOptionList;

namespace SecurityRules {

// ---- Authentication (adSecAuthentication, adMSSIDAuth) ----
enum Authentication : int {
    OpenSystem = 1,
    SharedKey = 2,
    OpenOrShared = 3, // "Open System / Shared Key", in the multi-SSID table "Both"
    WpaPersonal = 4,
    WpaEnterprise = 5,
    Wpa2Personal = 6,
    Wpa2Enterprise = 7,
    WpaAutoPersonal = 8,
    WpaAutoEnterprise = 9,
};
enum class Kind { Unknown, Wep, Personal, Enterprise };

// 1 "Open System" ... 3 "Open System / Shared Key" ... 9 "WPA-Auto-Enterprise".
const KtOptionList &authenticationOptions();
// The same values as the multi-SSID table names them (3 "Both").
const KtOptionList &mssidAuthenticationOptions();
// 0 "Disable", 1 "Enable" (adSecEncryption, adMSSIDEncryption).
const KtOptionList &encryptionOptions();
// 1 "First" ... 4 "Fourth" (adSecValidKey, adMSSIDKeyIndex).
const KtOptionList &keyIndexOptions();
// The other columns of the multi-SSID table that both windows read:
// 1 "LAN1", 2 "LAN2" (adMSSIDEthPort).
const KtOptionList &mssidEthernetOptions();
// 1 "AUTO", 2 "AES", 3 "TKIP" (adMSSIDCipherType).
const KtOptionList &mssidCipherOptions();
// 2 "HEX", 1 "ASCII" (adMSSIDKeyType).
const KtOptionList &mssidKeyTypeOptions();

// The kind of a label of either list; Unknown for any other text (an empty box).
Kind kindOf(const QString &authentication);
bool isWep(const QString &authentication);
// "Enterprise" or "EAP" in the label.
bool isEnterprise(const QString &authentication);

// ---- The SSIDs of one radio ----
// One row of the multi-SSID table, as its labels read.
struct SsidSecurity {
    QString state;          // "Enable" / "Disable"
    QString authentication; // a label of mssidAuthenticationOptions()
    QString encryption;     // "Enable" / "Disable"
    QString keyIndex;       // "First" ... "Fourth"
};

// An SSID with security in force: enabled, with encryption on.
bool hasSecurity(const SsidSecurity &ssid);
// An enabled SSID whose encryption is not "Disable" and whose authentication is a WPA one: it takes
// key slots 2 and 3, so the other SSIDs of its radio keep to "First" and "Fourth".
bool usesWpaKeySlots(const SsidSecurity &ssid);
// The key choices of an SSID: "First" ... "Fourth", or "First", "Fourth" while another SSID of the
// radio uses WPA.
QStringList keyChoices(bool wpaOnRadio);
// A secondary SSID with security in force on an enterprise authentication while the primary SSID's
// authentication is not one: it must fall back to encryption "Disable", "Open System".
bool needsEnterpriseDowngrade(const QString &primaryAuthentication, const SsidSecurity &secondary);

// ---- WEP keys ----
enum KeyType : int { Hex = 0, Ascii = 1 };
enum KeySize : int { Bits64 = 0, Bits128 = 1, Bits152 = 2 };
// "HEX", "ASCII" and "64 Bits", "128 Bits", "152 Bits", in the order of the enums.
const QStringList &keyTypeLabels();
const QStringList &keySizeLabels();
// Characters of a key: HEX 10, 26, 32; ASCII 5, 13, 16.
int keyLength(KeyType type, KeySize size);
// The size of a key of that many hex digits (10, 26, 32); nothing for any other length.
std::optional<KeySize> keySizeForLength(int length);
// Each character as two lower-case hex digits of its code: "abcde" gives "6162636465".
QString asciiToHex(const QString &text);
// Each pair of hex digits as one character (a stored key shown as ASCII).
QString hexToAscii(const QString &hex);
// The device shows a stored key as "*" characters: such a text is the key unchanged.
bool isUnchangedKey(const QString &text);
// Only 0-9, A-F, a-f (and not empty).
bool isHexKey(const QString &text);

// ---- Values ----
bool isGroupKeyInterval(const QString &text); // 300 .. 9999999
bool isPassPhrase(const QString &text);       // 8 .. 63 characters

// ---- Texts ----
// "The Length of the 1st key in IEEE802.11a must be 10!"; 16 is "The Lengh of ...".
QString keyLengthMessage(int keyNumber, const QString &ieeeBand, int length);
// "The Length of key value must be 10!"; 16 is "The Lengh of key value must be 16!".
QString keyValueLengthMessage(int length);
QString hexDigitsMessage();     // "Please input  Hexadecimal digits!" (two blanks)
QString groupKeyRangeMessage(); // "Please input a number between 300 and 9999999."
QString radiusServerMessage();  // "The Radius server's IP is illegal."
QString radiusPortMessage();    // "Please input a number between 1 and 65535."
// "The length of 802.11a PassPhrase is between 8 and 63."
QString passPhraseLengthMessage(const QString &dottedBand);
QString keySlotWarning();        // WPA takes key slots 2 and 3
QString keySharedWarning();      // another SSID uses the key
QString groupKeySharedWarning(); // another SSID uses the group key interval
QString enterpriseDowngradeWarning();

} // namespace SecurityRules
