// What the device does when a command variable is written (the cmd= attribute of a profile).
#pragma once

#include "simstore.h"

#include <string>

class SimAgent;

class SimCommands
{
public:
    // Runs while the set is applied, before the answer: 0, or the error status the write gets
    // (the set is then undone). why tells the log what went wrong.
    static int action(SimAgent &agent, SimVar &var, std::string *why);
    // Runs when the set has succeeded everywhere.
    static void commit(SimAgent &agent, SimVar &var);
    // stLED from the state of the radios and ports.
    static int64_t ledState(const SimAgent &agent, const SimVar &var);
    static const char *help();
};
