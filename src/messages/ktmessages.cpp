#include "ktmessages.h"

#include <QFile>
#include <QStringList>

#include <array>

namespace KtMessages {

namespace {

const char *const kSnmp[] = {
    "(SNMP) Response PDU Too Big!",
    "(SNMP) Variable does not exist!",
    "(SNMP) Cannot modify variable: Bad Value!",
    "(SNMP) Cannot modify object, Read Only!",
    "(SNMP) Cannot perform operation, General Error!",
    "(SNMP) Cannot access variable, No Access!",
    "(SNMP) Cannot create/modify variable, Wrong Type!",
    "(SNMP) Cannot create/set variable, Wrong Length!",
    "(SNMP) Cannot create/set variable, Wrong Encoding!",
    "(SNMP) Cannot create/set variable, Wrong Value!",
    "(SNMP) Cannot create variable, Creation Not Allowed!",
    "(SNMP) Cannot create/set variable, Inconsistent Value!",
    "(SNMP) Cannot create/set variable, Resource Unavailable!",
    "(SNMP) Cannot create/set variable, Commit Failed!",
    "(SNMP) Cannot create/set variable, Undo Failed!",
    "(SNMP) Cannot perform operation, Authorization Error!",
    "(SNMP) Cannot create/set variable, Not Writable!",
    "(SNMP) Cannot create variable, Inconsistent Name!",
    // The device's own error status 19.
    "(SNMP) Cannot download the overdue firmware!",
};

const char *const kSnmpV3[] = {
    "(SNMPv3) Unsupported Security Model!",
    "(SNMPv3) Message not in Time Window!",
    "(SNMPv3) Received same Message twice!",
    "(SNMPv3) Invalid Message!",
    "(SNMPv3) Invalid EngineID!",
    "(SNMPv3) v3MP not initialized!",
    "(SNMPv3) Parse Error!",
    "(SNMPv3) Received Message with unknown MsgID!",
    "(SNMPv3) Message does not match known message!",
    "(SNMPv3) Community format error!",
    "(SNMPv3) Unknown UserName!",
    "(SNMPv3) Build error!",
    "(SNMPv3) USM: error!",
    "(SNMPv3) Unknown pdu handlers!",
    "(SNMPv3) Unavailable Context!",
    "(SNMPv3) Unknown Context!",
    "(SNMPv3) Report sent!",
};

const char *const kSnmpUsm[] = {
    "(SNMPv3USM) error!",
    "(SNMPv3USM) Configfile write error!",
    "(SNMPv3USM) Unsupported SecurityLevel!",
    "(SNMPv3USM) Unknown SecurityName!",
    "(SNMPv3USM) Encryption error!",
    "(SNMPv3USM) Decryption error!",
    "(SNMPv3USM) Authentication error!",
    "(SNMPv3USM) Authentication failure!",
    "(SNMPv3USM) Parse error!",
    "(SNMPv3USM) Unknown EngineID!",
    "(SNMPv3USM) Message not in TimeWindow!",
    "(SNMPv3USM) Unsupported AuthProtocol!",
    "(SNMPv3USM) Unsupported PrivProtocol!",
    "(SNMPv3USM) Address error!",
};

const char *const kSnmpClass[] = {
    "(SNMPClass) Operation failed!",
    "(SNMPClass) Resource unavailable!",
    "(SNMPClass) Internal error!",
    "(SNMPClass) Unsupported function!",
    "(SNMPClass) SNMP request timed out!",
    "(SNMPClass) Received SNMP Response!",
    "(SNMPClass) Received SNMP Notification (trap or inform)!",
    "(SNMPClass) Closing session with outstanding requests!",
    "(SNMPClass)Unknown error code!",
    "(SNMPClass) Class not valid!",
    "(SNMPClass) Invalid Pdu!",
    "(SNMPClass) Invalid Target!",
    "(SNMPClass) Invalid (null) Callback Function!",
    "(SNMPClass) Invalid Request Id!",
    "(SNMPClass) Invalid Notification Id!",
    "(SNMPClass) SNMP Operation not supported on specified Target!",
    "(SNMPClass) Invalid Object Identifier!",
    "(SNMPClass) Invalid Address!",
    "(SNMPClass) Agent indicates error in SNMP request!",
    "(SNMP Class) Transport is not supported!",
    "(SNMPClass) Transport is in use!",
    "(SNMPClass) Transport operation failed!",
    "(SNMPClass) Blocked Mode Shutdown!",
};

// Positions 1 to 5 and 23 to 27 belong to facilities this module does not have; they keep their
// places so that the codes of the others do not move.
const char *const kKtSnmp[] = {
    "(KtSNMP++) Ok!",
    "(KtSNMP++) Fail to read SNMP variables from file([FILENAME])!",
    "(KtSNMP++) Bad format at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KtSNMP++) Bad item type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KtSNMP++) Bad syntax at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KtSNMP++) Bad access type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KtSNMP++) Cannot create the global KtSNMP++ session!",
    "(KtSNMP++) Error when loading SNMP engine boots counter!",
    "(KtSNMP++) Error when saving SNMP engine boots counter!",
    "(KtSNMP++) Invalid IP Address or DNS name!",
    "(KtSNMP++) Can't send get-next command for a SNMP variable list with single value!",
    "(KtSNMP++) Bad SNMP syntax!",
    "(KtSNMP++) Null value in the expression!",
    "(KtSNMP++) Bad SNMP syntax in the expression!",
    "(KtSNMP++) Bad key count of SNMP variable list!",
    "(KtSNMP++) Bad item type of SNMP variable list!",
    "(KtSNMP++) Bad item type of associated SNMP variable list!",
    "(KtSNMP++) Bad syntax of the associated SNMP variable's (partial) data!",
    "(KtSNMP++) Bad value of the associated SNMP variable's (partial) data!",
    "(KtSNMP++) Out of range for the bit(byte) index of the associated SNMP variable's "
    "(partial) data!",
    "(KtSNMP++) No reference option list for a SNMP variable's (partial) data associating with "
    "a optional visual control!",
    "(KtSNMP++) Bad type of the associated visual control!",
    "(KtSNMP++) Count of the associated visual controls is not enough!",
    "(KtSNMP++) No system start time for the time whose data source is the SNMP variable's "
    "(partial) data with syntax timeticks!",
    "(KtSNMP++) Count of the value items for the chart's history data is not enough!",
    "(KtSNMP++) Log database is not connected!",
    "(KtSNMP++) Log database field not found!",
    "(KtSNMP++) Bad syntax for the history chart of log!",
    "(KtSNMP++) Unknown error code!",
};

const char *const kSnmpMsg[] = {
    "Get: [ERROR] Request:[VARLIST]. Receive at [TIME].",
    "Set: [ERROR] Request:[VARLIST]. Receive at [TIME].",
};

const char *const kCommon[] = {
    "(KtCommon) Ok!",
    "(KtCommon) Bad logic operand!",
    "(KtCommon) Bad format specifier of edit's constraint!",
    "(KtCommon) Empty value is not allowed!",
    "(KtCommon) Please enter a string whose length is less than [MAXLEN]!",
    "(KtCommon) Please enter a string whose length is [LEN]!",
    "(KtCommon) Please enter a hex string whose length is less than [MAXLEN]!",
    "(KtCommon) Please enter a hex string whose length is [LEN]!",
    "(KtCommon) Please enter a number between [MIN] and [MAX]!",
    "(KtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,the count of the number is less than [MAXCOUNT]!",
    "(KtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,the count of the number is equal to [COUNT]!",
    "(KtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,each number is between [MIN] and [MAX]!",
    "(KtCommon) Out of range at index of array or list!",
    "(KtCommon) Destination buffer is undersize!",
    "(KtCommon) The source to dncrypt is not encrypted!",
    "(KtCommon) Fail to read data from file([FILENAME])!",
    "(KtCommon) Fail to write data to file([FILENAME])!",
    "(KtCommon) Fail to write value in ini file([FILENAME])!",
    "(KtCommon) Fail to read option data from file([FILENAME])!",
};

struct BuiltIn {
    const char *const *texts;
    int count;
    const char *fileName;
};

template <std::size_t N>
constexpr BuiltIn builtIn(const char *const (&texts)[N], const char *fileName)
{
    return {texts, static_cast<int>(N), fileName};
}

constexpr int kTableCount = 7;

const std::array<BuiltIn, kTableCount> kBuiltIn = {{
    builtIn(kSnmp, "snmp.err"),
    builtIn(kSnmpV3, "snmpv3.err"),
    builtIn(kSnmpUsm, "snmpusm.err"),
    builtIn(kSnmpClass, "snmpclass.err"),
    builtIn(kKtSnmp, "ktsnmp.err"),
    builtIn(kSnmpMsg, "snmp.msg"),
    builtIn(kCommon, "common.err"),
}};

static_assert(sizeof(kSnmp) / sizeof(*kSnmp) == 19);
static_assert(sizeof(kSnmpV3) / sizeof(*kSnmpV3) == 17);
static_assert(sizeof(kSnmpUsm) / sizeof(*kSnmpUsm) == 14);
static_assert(sizeof(kSnmpClass) / sizeof(*kSnmpClass) == 23);
static_assert(sizeof(kKtSnmp) / sizeof(*kKtSnmp) == 29);
static_assert(sizeof(kSnmpMsg) / sizeof(*kSnmpMsg) == 2);
static_assert(sizeof(kCommon) / sizeof(*kCommon) == 19);

// The texts loaded from catalogue files; an empty list means the built-in table is in use.
std::array<QStringList, kTableCount> g_loaded;

int index(Table table) { return static_cast<int>(table); }

// The longest piece of a line that is read at once; a longer line goes on in the next piece.
constexpr qint64 kPieceLength = 1023;

bool isBlank(const QByteArray &piece) { return piece.trimmed().isEmpty(); }

// The non-blank pieces of the file, line ends removed; false when the file cannot be read.
bool readPieces(const QString &path, QStringList &messages)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        // readLine stops after a line feed or at kPieceLength characters, whichever comes first,
        // so an over-long line arrives as several pieces.
        QByteArray piece = file.readLine(kPieceLength + 1);
        if (file.error() != QFileDevice::NoError)
            return false;
        if (piece.isEmpty())
            break;
        if (isBlank(piece))
            continue;
        if (piece.endsWith("\r\n")) {
            piece.chop(2);
        } else if (piece.endsWith('\n')) {
            piece.chop(1);
        } else if (piece.endsWith('\r') && file.peek(1) == "\n") {
            // The piece limit fell between the carriage return and the line feed.
            piece.chop(1);
        }
        // Single-byte text: every byte is one character.
        messages.append(QString::fromLatin1(piece));
    }
    return true;
}

} // namespace

QString text(Table table, int position)
{
    const int i = index(table);
    if (i < 0 || i >= kTableCount || position < 0)
        return {};
    const QStringList &loaded = g_loaded[static_cast<std::size_t>(i)];
    if (position < loaded.size())
        return loaded.at(position);
    const BuiltIn &builtInTable = kBuiltIn[static_cast<std::size_t>(i)];
    if (position < builtInTable.count)
        return QString::fromLatin1(builtInTable.texts[position]);
    return {};
}

bool LoadCatalogue(Table table, const QString &path)
{
    const int i = index(table);
    if (i < 0 || i >= kTableCount)
        return false;
    QStringList messages;
    if (!readPieces(path, messages) || messages.isEmpty())
        return false;
    g_loaded[static_cast<std::size_t>(i)] = messages;
    return true;
}

void resetToBuiltIn()
{
    for (QStringList &loaded : g_loaded)
        loaded.clear();
}

QString fileName(Table table)
{
    const int i = index(table);
    if (i < 0 || i >= kTableCount)
        return {};
    return QString::fromLatin1(kBuiltIn[static_cast<std::size_t>(i)].fileName);
}

int builtInCount(Table table)
{
    const int i = index(table);
    return i < 0 || i >= kTableCount ? 0 : kBuiltIn[static_cast<std::size_t>(i)].count;
}

} // namespace KtMessages
