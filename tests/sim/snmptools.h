// Runs net-snmp's command-line tools (snmpget, snmpwalk, snmpset from Debian's snmp package)
// against the simulator, as an independent manager would.
#pragma once

#include "testenv.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for lists (texts: testenv.h).
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

struct SnmpResult
{
    int exitCode = -1;
    QString out;
    QString err;
    bool ok() const { return exitCode == 0; }
    QStringList lines() const
    {
        QStringList result = out.split(QLatin1Char('\n'));
        result.removeAll(QString());
        return result;
    }
};

inline SnmpResult runSnmpTool(const QString &tool, const QStringList &args)
{
    QProcess process;
    // Numeric OIDs and values as they are, no MIB files read, no user configuration.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    env.insert(QStringLiteral("MIBDIRS"), QStringLiteral("/nonexistent"));
    env.insert(QStringLiteral("SNMPCONFPATH"), QStringLiteral("/nonexistent"));
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), QStringLiteral("/tmp"));
    process.setProcessEnvironment(env);
    process.start(tool, QStringList{QStringLiteral("-On"), QStringLiteral("-Oe")} + args);
    SnmpResult result;
    if (!process.waitForStarted(5000)) {
        result.err = QStringLiteral("cannot start ") + tool;
        return result;
    }
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// Arguments for a version: "1", "2c" (community given) or "3" (user authpriv, MD5/DES).
inline QStringList v1(const QString &community = QStringLiteral("varnok"))
{
    return {QStringLiteral("-v1"), QStringLiteral("-c"), community};
}
inline QStringList v2c(const QString &community = QStringLiteral("varnok"))
{
    return {QStringLiteral("-v2c"), QStringLiteral("-c"), community};
}
inline QStringList v3AuthPriv()
{
    return {QStringLiteral("-v3"),      QStringLiteral("-l"), QStringLiteral("authPriv"),
            QStringLiteral("-u"),       QStringLiteral("authpriv"), QStringLiteral("-a"),
            QStringLiteral("MD5"),      QStringLiteral("-A"), QStringLiteral("authpass1"),
            QStringLiteral("-x"),       QStringLiteral("DES"), QStringLiteral("-X"),
            QStringLiteral("privpass1")};
}
// Quick give-up for requests that must go unanswered.
inline QStringList quick()
{
    return {QStringLiteral("-t"), QStringLiteral("1"), QStringLiteral("-r"), QStringLiteral("0")};
}

inline QString target(quint16 port) { return QStringLiteral("127.0.0.1:%1").arg(port); }

// The value part of "OID = TYPE: value" lines of -On output, for one OID.
inline QString valueOf(const SnmpResult &result, const QString &oid)
{
    const QString prefix = QLatin1Char('.') + oid + QStringLiteral(" = ");
    for (const QString &line : result.lines())
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    return {};
}

constexpr const char *kVendor = "1.3.6.1.4.1.32473.11.37";
inline QString vendorOid(const char *tail)
{
    return QString::fromLatin1(kVendor) + QLatin1Char('.') + QLatin1String(tail);
}
