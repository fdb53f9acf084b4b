#include "wirelesssecurityrules.h"

#include "ktoptionlist.h"

namespace SecurityRules {

namespace {

const QString kEnable = QStringLiteral("Enable");
const QString kDisable = QStringLiteral("Disable");

constexpr int kKeyLengths[2][3] = {{10, 26, 32}, {5, 13, 16}};

} // namespace

const KtOptionList &authenticationOptions()
{
    static const KtOption table[] = {{OpenSystem, nullptr, "Open System"},
                                     {SharedKey, nullptr, "Shared Key"},
                                     {OpenOrShared, nullptr, "Open System / Shared Key"},
                                     {WpaPersonal, nullptr, "WPA-Personal"},
                                     {WpaEnterprise, nullptr, "WPA-Enterprise"},
                                     {Wpa2Personal, nullptr, "WPA2-Personal"},
                                     {Wpa2Enterprise, nullptr, "WPA2-Enterprise"},
                                     {WpaAutoPersonal, nullptr, "WPA-Auto-Personal"},
                                     {WpaAutoEnterprise, nullptr, "WPA-Auto-Enterprise"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &mssidAuthenticationOptions()
{
    static const KtOption table[] = {{OpenSystem, nullptr, "Open System"},
                                     {SharedKey, nullptr, "Shared Key"},
                                     {OpenOrShared, nullptr, "Both"},
                                     {WpaPersonal, nullptr, "WPA-Personal"},
                                     {WpaEnterprise, nullptr, "WPA-Enterprise"},
                                     {Wpa2Personal, nullptr, "WPA2-Personal"},
                                     {Wpa2Enterprise, nullptr, "WPA2-Enterprise"},
                                     {WpaAutoPersonal, nullptr, "WPA-Auto-Personal"},
                                     {WpaAutoEnterprise, nullptr, "WPA-Auto-Enterprise"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &encryptionOptions()
{
    static const KtOption table[]
        = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &keyIndexOptions()
{
    static const KtOption table[] = {{1, nullptr, "First"},
                                     {2, nullptr, "Second"},
                                     {3, nullptr, "Third"},
                                     {4, nullptr, "Fourth"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &mssidEthernetOptions()
{
    static const KtOption table[]
        = {{1, nullptr, "LAN1"}, {2, nullptr, "LAN2"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &mssidCipherOptions()
{
    static const KtOption table[]
        = {{1, nullptr, "AUTO"}, {2, nullptr, "AES"}, {3, nullptr, "TKIP"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &mssidKeyTypeOptions()
{
    static const KtOption table[]
        = {{2, nullptr, "HEX"}, {1, nullptr, "ASCII"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

Kind kindOf(const QString &authentication)
{
    int value = authenticationOptions().IndexOfLabel(authentication);
    if (value < 0)
        value = mssidAuthenticationOptions().IndexOfLabel(authentication);
    switch (value + 1) {
    case OpenSystem:
    case SharedKey:
    case OpenOrShared:
        return Kind::Wep;
    case WpaPersonal:
    case Wpa2Personal:
    case WpaAutoPersonal:
        return Kind::Personal;
    case WpaEnterprise:
    case Wpa2Enterprise:
    case WpaAutoEnterprise:
        return Kind::Enterprise;
    default:
        return Kind::Unknown;
    }
}

bool isWep(const QString &authentication)
{
    return kindOf(authentication) == Kind::Wep;
}

bool isEnterprise(const QString &authentication)
{
    return authentication.contains(QLatin1String("Enterprise"))
           || authentication.contains(QLatin1String("EAP"));
}

bool hasSecurity(const SsidSecurity &ssid)
{
    return ssid.state.contains(kEnable) && ssid.encryption.contains(kEnable);
}

bool usesWpaKeySlots(const SsidSecurity &ssid)
{
    return ssid.state == kEnable && ssid.encryption != kDisable && !ssid.encryption.isEmpty()
           && kindOf(ssid.authentication) != Kind::Wep && !ssid.authentication.isEmpty();
}

QStringList keyChoices(bool wpaOnRadio)
{
    const KtOptionList &keys = keyIndexOptions();
    if (wpaOnRadio)
        return {keys.Label(0), keys.Label(3)};
    QStringList all;
    for (int i = 0; i < keys.Count(); ++i)
        all << keys.Label(i);
    return all;
}

bool needsEnterpriseDowngrade(const QString &primaryAuthentication, const SsidSecurity &secondary)
{
    return !isEnterprise(primaryAuthentication) && hasSecurity(secondary)
           && isEnterprise(secondary.authentication);
}

const QStringList &keyTypeLabels()
{
    static const QStringList labels = {QStringLiteral("HEX"), QStringLiteral("ASCII")};
    return labels;
}

const QStringList &keySizeLabels()
{
    static const QStringList labels
        = {QStringLiteral("64 Bits"), QStringLiteral("128 Bits"), QStringLiteral("152 Bits")};
    return labels;
}

int keyLength(KeyType type, KeySize size)
{
    return kKeyLengths[type == Ascii ? 1 : 0][size];
}

std::optional<KeySize> keySizeForLength(int length)
{
    for (KeySize size : {Bits64, Bits128, Bits152}) {
        if (keyLength(Hex, size) == length)
            return size;
    }
    return std::nullopt;
}

QString asciiToHex(const QString &text)
{
    QString hex;
    for (QChar c : text)
        hex += QStringLiteral("%1").arg(c.unicode() & 0xFF, 2, 16, QLatin1Char('0'));
    return hex;
}

QString hexToAscii(const QString &hex)
{
    QString text;
    for (int i = 0; i + 1 < hex.size(); i += 2) {
        bool ok = false;
        const int code = hex.mid(i, 2).toInt(&ok, 16);
        if (!ok)
            return QString();
        text += QChar(code);
    }
    return text;
}

bool isUnchangedKey(const QString &text)
{
    return !text.isEmpty() && text.count(QLatin1Char('*')) == text.size();
}

bool isHexKey(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

bool isGroupKeyInterval(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    return ok && value >= 300 && value <= 9999999;
}

bool isPassPhrase(const QString &text)
{
    return text.size() >= 8 && text.size() <= 63;
}

QString keyLengthMessage(int keyNumber, const QString &ieeeBand, int length)
{
    static const char *const ordinals[] = {"1st", "2nd", "3rd", "4th"};
    const int at = qBound(1, keyNumber, 4) - 1;
    return (length == 16 ? QStringLiteral("The Lengh of the ")
                         : QStringLiteral("The Length of the "))
           + QString::fromLatin1(ordinals[at]) + QStringLiteral(" key in ") + ieeeBand
           + QStringLiteral(" must be ") + QString::number(length) + QLatin1Char('!');
}

QString keyValueLengthMessage(int length)
{
    return (length == 16 ? QStringLiteral("The Lengh of key value must be ")
                         : QStringLiteral("The Length of key value must be "))
           + QString::number(length) + QLatin1Char('!');
}

QString hexDigitsMessage()
{
    return QStringLiteral("Please input  Hexadecimal digits!");
}

QString groupKeyRangeMessage()
{
    return QStringLiteral("Please input a number between 300 and 9999999.");
}

QString radiusServerMessage()
{
    return QStringLiteral("The Radius server's IP is illegal.");
}

QString radiusPortMessage()
{
    return QStringLiteral("Please input a number between 1 and 65535.");
}

QString passPhraseLengthMessage(const QString &dottedBand)
{
    return QStringLiteral("The length of ") + dottedBand
           + QStringLiteral(" PassPhrase is between 8 and 63.");
}

QString keySlotWarning()
{
    return QStringLiteral("WPA or PSK will use key slot 2 and 3.\nOther Multiple SSID which uses "
                          "WEP key 2 and 3 will be set to no security.");
}

QString keySharedWarning()
{
    return QStringLiteral("Key value is used by SSID! \nTo change Key value "
                          "affects other SSID settings.");
}

QString groupKeySharedWarning()
{
    return QStringLiteral("Group Key Update Interval is used by SSID!\nTo change Group Key Update "
                          "Interval affects other SSID settings.");
}

QString enterpriseDowngradeWarning()
{
    return QStringLiteral("To change authentication type of Primary SSID will change "
                          "WPA-Enterprise of Secondary SSID to non security.");
}

} // namespace SecurityRules
