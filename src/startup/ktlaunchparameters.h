// The launch parameters the host platform passes: the command line and the per-device parameter
// file, applied to the session records every request copies.
#pragma once

#include "ktsnmpsession.h"

#include <QString>
#include <QStringList>
#include <stdexcept>

// The records start-up fills, plus the two texts the command-line rules need.
struct KtLaunchRecords {
    KtSNMPDevice device;
    KtSNMPScope scope;
    KtSNMPSecurity security;
    // The device address text: captions, the parameter file's name, read by other windows.
    // Stays empty until an address parameter ("/I") is seen.
    QString addressText;
    // The "Version" text of the last parameter file read; "3" lets the SNMPv3 switches through
    // even when a later "/v" switch changed the version.
    QString fileVersionText;
    // Rows a table walk asks for at once with getbulk; 0 walks with get-next
    // (g_snmpBulkRepetitions).
    int bulkRepetitions = 0;

    // A copy of the process-wide records, and back.
    static KtLaunchRecords fromSession();
    void toSession() const;
};

// A text that is not a decimal number where one is needed. The text is the platform's standard
// conversion error message.
class KtConvertError : public std::runtime_error
{
public:
    explicit KtConvertError(const QString &value);
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

class KtLaunchParameters
{
public:
    // The section of the parameter file.
    static QString section(); // "Program Information"

    // A decimal integer: optional blanks before it, an optional sign, digits, nothing after;
    // within 32 bits. Throws KtConvertError ("'<text>' is not a valid integer value").
    static int StrToInt(const QString &text);

    // parameterFolder, the address text and ".cfg", joined as they are (the folder ends in "/").
    static QString ParameterFilePath(const QString &parameterFolder, const QString &addressText);

    // Reads every key of the parameter file into the records, in the order of the key table.
    // Does nothing when the file does not exist. Throws KtConvertError for a bad number; the
    // keys "AgentPort", "Version" and "SecurityModel" are converted even when missing; a missing
    // "SecurityLevel", "AuthProtocol" or "PrivProtocol" reads as "0" and changes nothing; a
    // missing or empty "BulkRepetitions" changes nothing.
    static void ReadParameterFile(const QString &path, KtLaunchRecords &records);

    // Applies the one switch of a parameter that is not an address parameter: the first of
    // "/R", "/W", "/v", then, only while the version is 3, the first of "/t", "/c", "/d", "/m",
    // "/l", "/n", "/A", "/P", "/a", "/p"; last "/b", whatever the version, in a parameter that
    // holds none of the others. Returns whether a switch was applied.
    static bool ApplySwitch(const QString &parameter, KtLaunchRecords &records);

    // The command line, parameter by parameter: an address parameter sets the address; any other
    // parameter first reads the parameter file of the address known so far, then applies its
    // switch.
    static void Apply(const QStringList &parameters, const QString &parameterFolder,
                      KtLaunchRecords &records);

private:
    // "/b": rows a table walk asks for at once with getbulk (0: get-next).
    static bool bulkSwitch(const QString &parameter, KtLaunchRecords &records);
};
