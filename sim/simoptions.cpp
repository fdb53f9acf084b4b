#include "simoptions.h"

#include <cctype>

bool parseUser(const std::string &text, SimUser *user, std::string *error)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (true) {
        size_t colon = text.find(':', pos);
        parts.push_back(text.substr(pos, colon - pos));
        if (colon == std::string::npos)
            break;
        pos = colon + 1;
    }
    while (parts.size() < 5)
        parts.emplace_back();
    auto upper = [](std::string s) {
        for (char &c : s)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        return s;
    };
    user->name = parts[0];
    user->authProtocol = upper(parts[1]) == "NONE" ? std::string() : upper(parts[1]);
    user->authPass = parts[2];
    user->privProtocol = upper(parts[3]) == "NONE" ? std::string() : upper(parts[3]);
    user->privPass = parts[4];
    if (parts.size() > 5 || user->name.empty()) {
        *error = "bad --user '" + text + "'";
        return false;
    }
    static const char *const hashes[] = {"MD5", "SHA", "SHA-224", "SHA-256", "SHA-384", "SHA-512"};
    bool knownHash = user->authProtocol.empty();
    for (const char *hash : hashes)
        knownHash = knownHash || user->authProtocol == hash;
    if (!knownHash) {
        *error = "unknown authentication protocol '" + parts[1] + "'";
        return false;
    }
    if (!user->privProtocol.empty() && user->privProtocol != "DES" && user->privProtocol != "AES") {
        *error = "unknown privacy protocol '" + parts[3] + "'";
        return false;
    }
    if (!user->authProtocol.empty() && user->authPass.size() < 8) {
        *error = "authentication password of " + user->name + " is shorter than 8 characters";
        return false;
    }
    if (!user->privProtocol.empty() && (user->authProtocol.empty() || user->privPass.size() < 8)) {
        *error = "privacy of " + user->name + " needs authentication and an 8-character password";
        return false;
    }
    return true;
}
