// What the device does when a command variable is written (the cmd= attribute of a profile).
#pragma once

#include "simstore.h"

#include <string>

class SimAgent;

class SimCommands
{
public:
    // Runs while the set is applied, before the answer: 0, or the error status the write gets
    // (the set is then undone). why says what went wrong.
    static int action(SimAgent &agent, SimVar &var, std::string *why);
    // Runs when the set has succeeded everywhere; the command variable reads its idle value
    // again, and restarts happen once the answer has gone out.
    static void commit(SimAgent &agent, SimVar &var);
    // The device has (re)started: its first log lines; with lists on request, the lists it
    // builds on request are empty.
    static void started(SimAgent &agent);
    static void emptyRequestedLists(SimAgent &agent);
    // stLED from the state of the radios.
    static int64_t ledState(const SimAgent &agent, const SimVar &var);
    // The device's configuration file (what "Put" sends) and its reverse.
    static std::string configurationText(SimAgent &agent);
    static bool applyConfiguration(SimAgent &agent, const std::string &text, std::string *why);
    // The time-zone list file: one line per zone 1-75, "1" where daylight saving applies.
    static std::string timeZoneListText();
    static const char *help();
};
