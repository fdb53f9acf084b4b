// Reads a profile file (the simulated device's variables as data) into a SimStore.
#pragma once

#include "simstore.h"

#include <string>
#include <vector>

class SimProfile
{
public:
    // NAME (looked up in the profile folders) or a path to a file.
    static std::string resolve(const std::string &nameOrFile);
    // Loads the file (and what it includes) into store; false with a message naming the file
    // and line on bad input.
    static bool load(const std::string &path, SimStore &store, std::string *error);
    // Words of a profile line; a double-quoted string (\" and \\ escapes) is one word with its
    // quotes. False on an unterminated string.
    static bool splitWords(const std::string &line, std::vector<std::string> *words);
};
