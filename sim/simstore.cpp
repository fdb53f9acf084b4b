#include "simstore.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>

std::string oidText(const SimOid &oid)
{
    std::string text;
    for (size_t i = 0; i < oid.size(); ++i) {
        if (i)
            text += '.';
        text += std::to_string(oid[i]);
    }
    return text;
}

std::optional<SimOid> parseOid(const std::string &text)
{
    SimOid oid;
    size_t pos = (!text.empty() && text[0] == '.') ? 1 : 0;
    if (pos >= text.size())
        return std::nullopt;
    while (pos < text.size()) {
        size_t end = text.find('.', pos);
        if (end == std::string::npos)
            end = text.size();
        if (end == pos || end - pos > 10)
            return std::nullopt;
        uint64_t sub = 0;
        for (size_t i = pos; i < end; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(text[i])))
                return std::nullopt;
            sub = sub * 10 + static_cast<uint64_t>(text[i] - '0');
        }
        if (sub > 0xffffffffULL)
            return std::nullopt;
        oid.push_back(static_cast<uint32_t>(sub));
        pos = end + 1;
        if (end + 1 == text.size())
            return std::nullopt;  // trailing dot
    }
    return oid;
}

bool oidStartsWith(const SimOid &oid, const SimOid &prefix)
{
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

namespace {

// BER tags (as net-snmp's ASN_* constants).
constexpr unsigned char ASN_INTEGER = 0x02, ASN_OCTET_STR = 0x04, ASN_NULL = 0x05,
                        ASN_OBJECT_ID = 0x06, ASN_IPADDRESS = 0x40, ASN_COUNTER = 0x41,
                        ASN_GAUGE = 0x42, ASN_UNSIGNED = 0x42, ASN_TIMETICKS = 0x43,
                        ASN_COUNTER64 = 0x46;

struct SyntaxInfo
{
    const char *name;
    SimSyntax syntax;
    unsigned char asn;
};

const SyntaxInfo kSyntaxes[] = {
    {"integer", SimSyntax::Integer, ASN_INTEGER},
    {"uinteger", SimSyntax::UInteger, ASN_UNSIGNED},
    {"counter", SimSyntax::Counter, ASN_COUNTER},
    {"gauge", SimSyntax::Gauge, ASN_GAUGE},
    {"timeticks", SimSyntax::TimeTicks, ASN_TIMETICKS},
    {"counter64", SimSyntax::Counter64, ASN_COUNTER64},
    {"ipaddress", SimSyntax::IpAddress, ASN_IPADDRESS},
    {"octetstr", SimSyntax::OctetStr, ASN_OCTET_STR},
    {"displaystr", SimSyntax::DisplayStr, ASN_OCTET_STR},
    {"objectid", SimSyntax::ObjectId, ASN_OBJECT_ID},
};

bool parseNumber(const std::string &text, int64_t *out)
{
    if (text.empty())
        return false;
    errno = 0;
    char *end = nullptr;
    long long value = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        value = std::strtoll(text.c_str() + 2, &end, 16);
    else
        value = std::strtoll(text.c_str(), &end, 10);
    if (errno || !end || *end)
        return false;
    *out = value;
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<SimSyntax> parseSyntax(const std::string &text)
{
    for (const auto &info : kSyntaxes)
        if (text == info.name)
            return info.syntax;
    return std::nullopt;
}

std::optional<SimAccess> parseAccess(const std::string &text)
{
    if (text == "ro")
        return SimAccess::ReadOnly;
    if (text == "rw")
        return SimAccess::ReadWrite;
    if (text == "wo")
        return SimAccess::WriteOnly;
    if (text == "na")
        return SimAccess::NotAccessible;
    return std::nullopt;
}

const char *syntaxName(SimSyntax syntax)
{
    for (const auto &info : kSyntaxes)
        if (info.syntax == syntax)
            return info.name;
    return "?";
}

unsigned char asnType(SimSyntax syntax)
{
    for (const auto &info : kSyntaxes)
        if (info.syntax == syntax)
            return info.asn;
    return ASN_NULL;
}

std::optional<SimValue> parseValue(SimSyntax syntax, const std::string &text, bool lenient)
{
    SimValue value;
    switch (syntax) {
    case SimSyntax::Integer:
        if (!parseNumber(text, &value.number) || value.number < INT32_MIN
            || value.number > INT32_MAX)
            return std::nullopt;
        return value;
    case SimSyntax::UInteger:
    case SimSyntax::Counter:
    case SimSyntax::Gauge:
    case SimSyntax::TimeTicks:
        if (!parseNumber(text, &value.number) || value.number < 0
            || value.number > int64_t(UINT32_MAX))
            return std::nullopt;
        return value;
    case SimSyntax::Counter64:
        if (!parseNumber(text, &value.number) || value.number < 0)
            return std::nullopt;
        return value;
    case SimSyntax::IpAddress: {
        unsigned a, b, c, d;
        char tail;
        if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255
            || b > 255 || c > 255 || d > 255)
            return std::nullopt;
        value.bytes = {char(a), char(b), char(c), char(d)};
        return value;
    }
    case SimSyntax::OctetStr: {
        std::string hex = text == "\"\"" ? std::string() : text;
        if (hex.size() % 2)
            return std::nullopt;
        for (size_t i = 0; i < hex.size(); i += 2) {
            int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            value.bytes += char(hi * 16 + lo);
        }
        return value;
    }
    case SimSyntax::DisplayStr: {
        if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
            if (!lenient)
                return std::nullopt;
            value.bytes = text;
            return value;
        }
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == '\\' && i + 4 < text.size() && text[i + 1] == 'x' &&
                hexDigit(text[i + 2]) >= 0 && hexDigit(text[i + 3]) >= 0) {
                value.bytes += char(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
                i += 3;
                continue;
            }
            if (text[i] == '\\' && i + 2 < text.size())
                ++i;
            else if (text[i] == '"')
                return std::nullopt;
            value.bytes += text[i];
        }
        return value;
    }
    case SimSyntax::ObjectId: {
        auto oid = parseOid(text);
        if (!oid)
            return std::nullopt;
        value.oid = *oid;
        return value;
    }
    }
    return std::nullopt;
}

std::string valueText(SimSyntax syntax, const SimValue &value)
{
    switch (syntax) {
    case SimSyntax::IpAddress: {
        std::string text;
        for (size_t i = 0; i < value.bytes.size(); ++i)
            text += (i ? "." : "") + std::to_string(static_cast<unsigned char>(value.bytes[i]));
        return text;
    }
    case SimSyntax::OctetStr: {
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        for (unsigned char c : value.bytes) {
            text += digits[c >> 4];
            text += digits[c & 15];
        }
        return text.empty() ? std::string("\"\"") : text;
    }
    case SimSyntax::DisplayStr: {
        // Control characters as \xHH, so a value always stays on its line.
        static const char digits[] = "0123456789ABCDEF";
        std::string text = "\"";
        for (char c : value.bytes) {
            auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7f) {
                text += "\\x";
                text += digits[byte >> 4];
                text += digits[byte & 15];
                continue;
            }
            if (c == '"' || c == '\\')
                text += '\\';
            text += c;
        }
        return text + '"';
    }
    case SimSyntax::ObjectId:
        return oidText(value.oid);
    default:
        return std::to_string(value.number);
    }
}

SimVar *SimStore::find(const SimOid &oid)
{
    auto it = m_vars.find(oid);
    return it == m_vars.end() ? nullptr : &it->second;
}

SimVar *SimStore::lookup(const std::string &oidOrName)
{
    if (auto oid = parseOid(oidOrName))
        return find(*oid);
    // "name" or "name.suffix" (a table column name with its row index)
    for (auto &[oid, var] : m_vars)
        if (!var.rules.name.empty() && var.rules.name == oidOrName)
            return &var;
    return nullptr;
}

SimTable &SimStore::addTable(const SimOid &entry, const std::string &name)
{
    for (auto &table : m_tables)
        if (table->entry == entry) {
            table->name = name;
            return *table;
        }
    m_tables.push_back(std::make_unique<SimTable>());
    m_tables.back()->entry = entry;
    m_tables.back()->name = name;
    return *m_tables.back();
}

SimTable *SimStore::findTable(const std::string &name)
{
    for (auto &table : m_tables)
        if (table->name == name)
            return table.get();
    return nullptr;
}

const SimTable *SimStore::findTable(const std::string &name) const
{
    for (const auto &table : m_tables)
        if (table->name == name)
            return table.get();
    return nullptr;
}

const SimTable *SimStore::tableOf(const SimOid &oid) const
{
    for (const auto &table : m_tables)
        if (oidStartsWith(oid, table->entry))
            return table.get();
    return nullptr;
}

bool SimStore::setRow(const SimTable &table, const SimOid &index,
                      const std::vector<std::string> &values, std::string *error)
{
    if (values.size() != table.columns.size()) {
        *error = "row " + oidText(index) + " of " + table.name + " has " +
                 std::to_string(values.size()) + " values for " +
                 std::to_string(table.columns.size()) + " columns";
        return false;
    }
    std::vector<SimVar> cells;
    for (size_t i = 0; i < values.size(); ++i) {
        const SimColumn &column = table.columns[i];
        auto value = parseValue(column.syntax, values[i]);
        if (!value) {
            *error = "bad " + std::string(syntaxName(column.syntax)) + " value '" + values[i] +
                     "' in column " + std::to_string(column.subid) + " of " + table.name;
            return false;
        }
        SimVar cell;
        cell.oid = table.entry;
        cell.oid.push_back(column.subid);
        cell.oid.insert(cell.oid.end(), index.begin(), index.end());
        cell.syntax = column.syntax;
        cell.access = column.access;
        cell.value = *value;
        cell.idle = *value;
        cell.rules = column.rules;
        cell.table = &table;
        cells.push_back(std::move(cell));
    }
    for (auto &cell : cells) {
        SimOid key = cell.oid;
        m_vars[key] = std::move(cell);
    }
    return true;
}

void SimStore::clearRows(const SimTable &table)
{
    auto it = m_vars.lower_bound(table.entry);
    while (it != m_vars.end() && oidStartsWith(it->first, table.entry))
        it = m_vars.erase(it);
}

std::vector<SimOid> SimStore::rowIndexes(const SimTable &table) const
{
    std::vector<SimOid> rows;
    if (table.columns.empty())
        return rows;
    SimOid column = table.entry;
    column.push_back(table.columns.front().subid);
    for (auto it = m_vars.lower_bound(column);
         it != m_vars.end() && oidStartsWith(it->first, column); ++it)
        rows.emplace_back(it->first.begin() + long(column.size()), it->first.end());
    return rows;
}
