// The seven message tables: built-in English texts, replaceable at start-up by catalogue files.
// A text is found by its position in its table; codes never change.
#pragma once

#include <QString>

namespace KtMessages {

enum class Table {
    Snmp,        // "snmp.err"      19 entries, SNMP error-status 1 to 19
    SnmpV3,      // "snmpv3.err"    17 entries, SNMPv3 message processing
    SnmpUsm,     // "snmpusm.err"   14 entries, SNMPv3 user-based security
    SnmpClass,   // "snmpclass.err" 23 entries, SNMP library errors
    KtSnmp,      // "ktsnmp.err"    29 entries, in-house SNMP library
    SnmpMsg,     // "snmp.msg"       2 entries, status line templates
    Common,      // "common.err"    19 entries, constraints and support library
};

// The text at a position. Never reads outside the table: a position the loaded catalogue does
// not cover gives the built-in text of that position, and a position beyond the built-in table
// gives an empty text.
QString text(Table table, int position);

// Replaces the table by the messages of the file when it can be read and holds at least one
// non-blank line; otherwise leaves the table as it was. Returns whether the table was replaced.
bool LoadCatalogue(Table table, const QString &path);

// Back to the built-in texts (tests).
void resetToBuiltIn();

// The catalogue file name of a table ("snmp.err", ...).
QString fileName(Table table);

// The number of built-in texts of a table (19 for Snmp, ...).
int builtInCount(Table table);

// Every table, in declaration order.
constexpr Table kAllTables[] = {Table::Snmp,   Table::SnmpV3,  Table::SnmpUsm, Table::SnmpClass,
                                Table::KtSnmp, Table::SnmpMsg, Table::Common};

} // namespace KtMessages
