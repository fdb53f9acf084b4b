#include "simprofile.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#ifndef QRN_APSIM_PROFILE_DIR
#define QRN_APSIM_PROFILE_DIR ""
#endif

namespace {

bool fileExists(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string executableDir()
{
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return ".";
    std::string path(buffer, size_t(length));
    return path.substr(0, path.rfind('/'));
}

std::string folderOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Stops at an unquoted '#'.
bool splitLine(const std::string &line, std::vector<std::string> *words)
{
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '#')
            break;
        std::string word;
        if (line[i] == '"') {
            word += line[i++];
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    word += line[i];
                    word += line[i + 1];
                    i += 2;
                    continue;
                }
                word += line[i];
                if (line[i++] == '"') {
                    closed = true;
                    break;
                }
            }
            if (!closed)
                return false;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

bool parseSpan(const std::string &text, std::pair<int64_t, int64_t> *span)
{
    size_t dots = text.find("..");
    if (dots == std::string::npos)
        return false;
    char *end = nullptr;
    std::string lo = text.substr(0, dots), hi = text.substr(dots + 2);
    span->first = std::strtoll(lo.c_str(), &end, 0);
    if (lo.empty() || *end)
        return false;
    span->second = std::strtoll(hi.c_str(), &end, 0);
    return !hi.empty() && !*end && span->first <= span->second;
}

bool parseRules(const std::vector<std::string> &words, size_t from, SimRules *rules,
                std::string *error)
{
    for (size_t i = from; i < words.size(); ++i) {
        const std::string &word = words[i];
        size_t equals = word.find('=');
        std::string key = word.substr(0, equals);
        std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
        if (key == "ticking") {
            rules->ticking = true;
        } else if (key == "led") {
            rules->led = true;
        } else if (key == "masked") {
            rules->masked = true;
        } else if (key == "same") {
            auto target = parseOid(value);
            if (!target) {
                *error = "bad same '" + value + "'";
                return false;
            }
            rules->same = *target;
        } else if (key == "range") {
            std::pair<int64_t, int64_t> span;
            if (!parseSpan(value, &span)) {
                *error = "bad range '" + value + "'";
                return false;
            }
            rules->range = span;
        } else if (key == "size") {
            std::pair<int64_t, int64_t> span;
            if (!parseSpan(value, &span)) {
                *error = "bad size '" + value + "'";
                return false;
            }
            rules->size = span;
        } else if (key == "enum") {
            size_t pos = 0;
            while (pos <= value.size()) {
                size_t comma = value.find(',', pos);
                if (comma == std::string::npos)
                    comma = value.size();
                std::string item = value.substr(pos, comma - pos);
                char *end = nullptr;
                long long number = std::strtoll(item.c_str(), &end, 0);
                if (item.empty() || *end) {
                    *error = "bad enum '" + value + "'";
                    return false;
                }
                rules->enums.push_back(number);
                pos = comma + 1;
            }
        } else if (key == "cmd") {
            rules->cmd = value;
        } else if (key == "name") {
            rules->name = value;
        } else {
            *error = "unknown attribute '" + word + "'";
            return false;
        }
    }
    return true;
}

bool loadFile(const std::string &path, SimStore &store, std::string *error, int depth)
{
    if (depth > 8) {
        *error = path + ": includes nest too deep";
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read profile " + path;
        return false;
    }
    std::string line;
    int lineNo = 0;
    SimTable *table = nullptr;
    auto fail = [&](const std::string &message) {
        *error = path + ":" + std::to_string(lineNo) + ": " + message;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> words;
        if (!splitLine(line, &words))
            return fail("unterminated string");
        if (words.empty())
            continue;
        const std::string &head = words[0];
        if (head == "include") {
            if (words.size() != 2)
                return fail("include takes one name");
            std::string name = words[1];
            std::string file = name.find('/') != std::string::npos
                                   ? name
                                   : folderOf(path) + "/" + name + ".profile";
            if (!loadFile(file, store, error, depth + 1))
                return fail(*error);
        } else if (head == "table") {
            if (table)
                return fail("table inside a table");
            auto entry = words.size() == 3 ? parseOid(words[1]) : std::nullopt;
            if (!entry)
                return fail("table takes an entry OID and a name");
            table = &store.addTable(*entry, words[2]);
            // a later profile redefines the table as a whole
            store.clearRows(*table);
            table->columns.clear();
        } else if (head == "column") {
            if (!table)
                return fail("column outside a table");
            if (words.size() < 4)
                return fail("column takes a sub-id, a syntax and an access");
            SimColumn column;
            auto subid = parseOid(words[1]);
            auto syntax = parseSyntax(words[2]);
            auto access = parseAccess(words[3]);
            if (!subid || subid->size() != 1)
                return fail("bad column sub-id '" + words[1] + "'");
            if (!syntax)
                return fail("unknown syntax '" + words[2] + "'");
            if (!access)
                return fail("unknown access '" + words[3] + "'");
            column.subid = subid->front();
            column.syntax = *syntax;
            column.access = *access;
            std::string message;
            if (!parseRules(words, 4, &column.rules, &message))
                return fail(message);
            table->columns.push_back(column);
        } else if (head == "row") {
            if (!table)
                return fail("row outside a table");
            auto index = words.size() >= 2 ? parseOid(words[1]) : std::nullopt;
            if (!index)
                return fail("row takes an index");
            std::string message;
            if (!store.setRow(*table, *index, {words.begin() + 2, words.end()}, &message))
                return fail(message);
        } else if (head == "end") {
            if (!table)
                return fail("end outside a table");
            table = nullptr;
        } else {
            if (table)
                return fail("scalar inside table " + table->name + " (missing end?)");
            if (words.size() < 4)
                return fail("expected <oid> <syntax> <access> <value>");
            SimVar var;
            auto oid = parseOid(words[0]);
            auto syntax = parseSyntax(words[1]);
            auto access = parseAccess(words[2]);
            if (!oid)
                return fail("bad OID '" + words[0] + "'");
            if (!syntax)
                return fail("unknown syntax '" + words[1] + "'");
            if (!access)
                return fail("unknown access '" + words[2] + "'");
            auto value = parseValue(*syntax, words[3]);
            if (!value)
                return fail("bad " + words[1] + " value '" + words[3] + "'");
            var.oid = *oid;
            var.syntax = *syntax;
            var.access = *access;
            var.value = *value;
            var.idle = *value;
            std::string message;
            if (!parseRules(words, 4, &var.rules, &message))
                return fail(message);
            store.vars()[*oid] = var;
        }
    }
    if (table)
        return fail("table " + table->name + " has no end");
    return true;
}

} // namespace

std::string SimProfile::resolve(const std::string &nameOrFile)
{
    if (nameOrFile.find('/') != std::string::npos || fileExists(nameOrFile))
        return nameOrFile;
    std::string file = nameOrFile + ".profile";
    for (const std::string &dir :
         {executableDir() + "/apsim-profiles", std::string(QRN_APSIM_PROFILE_DIR)}) {
        if (!dir.empty() && fileExists(dir + "/" + file))
            return dir + "/" + file;
    }
    return nameOrFile;
}

bool SimProfile::load(const std::string &path, SimStore &store, std::string *error)
{
    if (!loadFile(path, store, error, 0))
        return false;
    for (const auto &entry : store.vars()) {
        const SimOid &same = entry.second.rules.same;
        if (same.empty())
            continue;
        auto target = store.vars().find(same);
        if (target == store.vars().end() || target->second.syntax != entry.second.syntax ||
            !target->second.rules.same.empty()) {
            *error = path + ": " + oidText(entry.first) + " has same=" + oidText(same) +
                     ", which is no variable of the same syntax with a value of its own";
            return false;
        }
    }
    return true;
}

bool SimProfile::splitWords(const std::string &line, std::vector<std::string> *words)
{
    return splitLine(line, words);
}
