// The simulated access point's variables: every instance it serves, in SNMP order, with the
// rules a write must pass. Filled from a profile file (see simprofile.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using SimOid = std::vector<uint32_t>;

std::string oidText(const SimOid &oid);
// Parses "1.3.6.1..." (a leading dot is allowed); empty optional on bad text.
std::optional<SimOid> parseOid(const std::string &text);
bool oidStartsWith(const SimOid &oid, const SimOid &prefix);

enum class SimSyntax {
    Integer,
    UInteger,
    Counter,
    Gauge,
    TimeTicks,
    Counter64,
    IpAddress,
    OctetStr,
    DisplayStr,
    ObjectId
};

enum class SimAccess { ReadOnly, ReadWrite, WriteOnly, NotAccessible };

std::optional<SimSyntax> parseSyntax(const std::string &text);
std::optional<SimAccess> parseAccess(const std::string &text);
const char *syntaxName(SimSyntax syntax);
// The BER type of a syntax on the wire (ASN_INTEGER ...).
unsigned char asnType(SimSyntax syntax);

struct SimValue
{
    int64_t number = 0;           // integer and unsigned kinds
    std::string bytes;            // octetstr, displaystr, ipaddress (4 bytes)
    SimOid oid;                   // objectid
    bool operator==(const SimValue &other) const
    {
        return number == other.number && bytes == other.bytes && oid == other.oid;
    }
};

// Value text as in the profile: decimal, dotted quad, dotted OID, hex for octetstr, quoted
// with \" and \\ escapes for displaystr. lenient also takes an unquoted displaystr.
std::optional<SimValue> parseValue(SimSyntax syntax, const std::string &text, bool lenient = false);
std::string valueText(SimSyntax syntax, const SimValue &value);

struct SimRules
{
    std::optional<std::pair<int64_t, int64_t>> range;
    std::vector<int64_t> enums;
    std::optional<std::pair<int64_t, int64_t>> size;
    std::string cmd;              // behaviour triggered by a write
    std::string name;             // optional symbolic name (control commands accept it)
    bool ticking = false;         // time since the agent (re)started
    bool led = false;             // computed from the radio and port state
    bool masked = false;          // read back as '*' times the value's length (keys)
    SimOid same;                  // shares its value with this variable (empty: own value)
};

struct SimVar
{
    SimOid oid;
    SimSyntax syntax = SimSyntax::Integer;
    SimAccess access = SimAccess::ReadOnly;
    SimValue value;
    SimValue idle;                // the profile's value: commands fall back to it
    SimRules rules;
    const struct SimTable *table = nullptr;  // set for table cells
    bool served() const { return access != SimAccess::NotAccessible; }
    bool writable() const
    {
        return access == SimAccess::ReadWrite || access == SimAccess::WriteOnly;
    }
};

struct SimColumn
{
    uint32_t subid = 0;
    SimSyntax syntax = SimSyntax::Integer;
    SimAccess access = SimAccess::ReadOnly;
    SimRules rules;
};

struct SimTable
{
    SimOid entry;                 // the table entry OID (...Table.1)
    std::string name;
    std::vector<SimColumn> columns;
};

class SimStore
{
public:
    using Map = std::map<SimOid, SimVar>;

    Map &vars() { return m_vars; }
    const Map &vars() const { return m_vars; }
    SimVar *find(const SimOid &oid);
    // A variable by numeric OID or by its name= attribute.
    SimVar *lookup(const std::string &oidOrName);

    // Tables are kept in a list whose elements never move (cells point at them).
    SimTable &addTable(const SimOid &entry, const std::string &name);
    SimTable *findTable(const std::string &name);
    const SimTable *findTable(const std::string &name) const;
    const SimTable *tableOf(const SimOid &oid) const;
    const std::vector<std::unique_ptr<SimTable>> &tables() const { return m_tables; }

    // Table rows: the cells of one row, one value text per column (na columns included).
    bool setRow(const SimTable &table, const SimOid &index, const std::vector<std::string> &values,
                std::string *error);
    void clearRows(const SimTable &table);
    std::vector<SimOid> rowIndexes(const SimTable &table) const;

private:
    Map m_vars;
    std::vector<std::unique_ptr<SimTable>> m_tables;
};
