#include "ktlaunchparameters.h"

#include "ktini.h"

#include <QFileInfo>

#include <limits>

KtLaunchRecords KtLaunchRecords::fromSession()
{
    KtLaunchRecords records;
    records.device = g_snmpDevice;
    records.scope = g_snmpScope;
    records.security = g_snmpSecurity;
    records.bulkRepetitions = g_snmpBulkRepetitions;
    return records;
}

void KtLaunchRecords::toSession() const
{
    g_snmpDevice = device;
    g_snmpScope = scope;
    g_snmpSecurity = security;
    g_snmpBulkRepetitions = bulkRepetitions;
}

namespace {
QString convertErrorText(const QString &value)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(value);
}
} // namespace

KtConvertError::KtConvertError(const QString &value)
    : std::runtime_error(convertErrorText(value).toStdString()), m_text(convertErrorText(value))
{
}

namespace {

const QString kAddressSwitch = QStringLiteral("/I");

// A port or a version code that does not fit its field is as unusable as a text that is no
// number: it must not wrap round to another port or version.
template <typename T>
T narrowed(const QString &text)
{
    const int value = KtLaunchParameters::StrToInt(text);
    if (value < 0 || value > std::numeric_limits<T>::max())
        throw KtConvertError(text);
    return static_cast<T>(value);
}

// The file and the "/a", "/p" switches count the protocols from 0, the records from 1.
qint32 plusOne(const QString &text)
{
    const int value = KtLaunchParameters::StrToInt(text);
    if (value == std::numeric_limits<int>::max())
        throw KtConvertError(text);
    return value + 1;
}

// A count of rows: no sign of a number below 0.
int repetitions(const QString &text)
{
    const int value = KtLaunchParameters::StrToInt(text);
    if (value < 0)
        throw KtConvertError(text);
    return value;
}

bool versionIs3(const KtLaunchRecords &records)
{
    return records.security.version == 3 || records.fileVersionText == QLatin1String("3");
}

} // namespace

QString KtLaunchParameters::section() { return QStringLiteral("Program Information"); }

int KtLaunchParameters::StrToInt(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        throw KtConvertError(text);
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            throw KtConvertError(text);
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            throw KtConvertError(text);
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw KtConvertError(text);
    return static_cast<int>(value);
}

QString KtLaunchParameters::ParameterFilePath(const QString &parameterFolder,
                                              const QString &addressText)
{
    return parameterFolder + addressText + QStringLiteral(".cfg");
}

void KtLaunchParameters::ReadParameterFile(const QString &path, KtLaunchRecords &records)
{
    if (!QFileInfo(path).isFile())
        return;
    const KtIni ini(path);
    const QString s = section();
    auto read = [&](const char *key) { return ini.ReadString(s, QLatin1String(key), QString()); };
    // The level and the protocols read as "0" (unchanged) when missing; the port, the version
    // and the model have no such default and must be in the file.
    const QString zero = QStringLiteral("0");
    auto readCounted = [&](const char *key) {
        return ini.ReadString(s, QLatin1String(key), zero);
    };

    records.device.port = narrowed<quint16>(read("AgentPort"));
    const QString version = read("Version");
    records.fileVersionText = version;
    records.security.version = narrowed<quint8>(version);
    const QString contextName = read("ContextName");
    if (!contextName.isEmpty())
        records.scope.contextName = contextName;
    records.scope.contextEngineID = read("ContextEngineID");
    records.security.securityModel = StrToInt(read("SecurityModel"));
    const QString level = readCounted("SecurityLevel");
    if (level != zero)
        records.security.securityLevel = plusOne(level);
    records.security.securityName = read("SecurityName");
    const QString auth = readCounted("AuthProtocol");
    if (auth != zero)
        records.security.authProtocol = plusOne(auth);
    const QString priv = readCounted("PrivProtocol");
    if (priv != zero)
        records.security.privProtocol = plusOne(priv);
    const QString authPassword = read("AuthPassword");
    if (!authPassword.isEmpty())
        records.security.authPassword = authPassword;
    const QString privPassword = read("PrivPassword");
    if (!privPassword.isEmpty())
        records.security.privPassword = privPassword;
    // Not known to the platforms that wrote the files before it: absent leaves it as it is.
    const QString bulk = read("BulkRepetitions");
    if (!bulk.isEmpty())
        records.bulkRepetitions = repetitions(bulk);
}

bool KtLaunchParameters::ApplySwitch(const QString &parameter, KtLaunchRecords &records)
{
    // The value is the rest of the parameter after the first occurrence of the switch.
    auto value = [&](const char *name, QString &out) {
        const qsizetype at = parameter.indexOf(QLatin1String(name));
        if (at < 0)
            return false;
        out = parameter.mid(at + 2);
        return true;
    };
    KtSNMPSecurity &security = records.security;
    QString v;
    if (value("/R", v)) {
        security.readCommunity = v;
        return true;
    }
    if (value("/W", v)) {
        security.writeCommunity = v;
        return true;
    }
    if (value("/v", v)) {
        security.version = narrowed<quint8>(v);
        return true;
    }
    if (!versionIs3(records))
        return bulkSwitch(parameter, records);
    if (value("/t", v)) {
        records.device.port = narrowed<quint16>(v);
    } else if (value("/c", v)) {
        if (!v.isEmpty())
            records.scope.contextName = v;
    } else if (value("/d", v)) {
        records.scope.contextEngineID = v;
    } else if (value("/m", v)) {
        security.securityModel = StrToInt(v);
    } else if (value("/l", v)) {
        // Unlike the file, the switch passes the level through unchanged.
        security.securityLevel = StrToInt(v);
    } else if (value("/n", v)) {
        security.securityName = v;
    } else if (value("/A", v)) {
        security.authPassword = v;
    } else if (value("/P", v)) {
        security.privPassword = v;
    } else if (value("/a", v)) {
        security.authProtocol = plusOne(v);
    } else if (value("/p", v)) {
        security.privProtocol = plusOne(v);
    } else {
        return bulkSwitch(parameter, records);
    }
    return true;
}

bool KtLaunchParameters::bulkSwitch(const QString &parameter, KtLaunchRecords &records)
{
    // Added after the platforms' own switches: a parameter that holds any of them (a
    // community, context or password with "/b" in it, an SNMPv3 switch while the version is
    // not 3) means what it always meant.
    static const char *const others[] = {"/R", "/W", "/v", "/t", "/c", "/d", "/m",
                                         "/l", "/n", "/A", "/P", "/a", "/p"};
    for (const char *other : others)
        if (parameter.contains(QLatin1String(other)))
            return false;
    const qsizetype at = parameter.indexOf(QLatin1String("/b"));
    if (at < 0)
        return false;
    records.bulkRepetitions = repetitions(parameter.mid(at + 2));
    return true;
}

void KtLaunchParameters::Apply(const QStringList &parameters, const QString &parameterFolder,
                               KtLaunchRecords &records)
{
    for (const QString &parameter : parameters) {
        const qsizetype at = parameter.indexOf(kAddressSwitch);
        if (at >= 0) {
            records.addressText = parameter.mid(at + 2);
            records.device.address = records.addressText;
            continue;
        }
        // Read again for every parameter: a switch overrides what the file said before it, and
        // the next parameter's read overrides the switch.
        ReadParameterFile(ParameterFilePath(parameterFolder, records.addressText), records);
        ApplySwitch(parameter, records);
    }
}
