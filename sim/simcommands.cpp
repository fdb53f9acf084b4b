#include "simcommands.h"

#include "simagent.h"

int SimCommands::action(SimAgent &, SimVar &, std::string *)
{
    return 0;
}

void SimCommands::commit(SimAgent &agent, SimVar &var)
{
    const std::string &cmd = var.rules.cmd;
    if (cmd == "restart" || cmd == "reboot" || cmd == "upgrade" || cmd == "factoryreset") {
        bool defaults = cmd == "factoryreset";
        agent.afterResponse([&agent, defaults] {
            agent.restart(agent.options().restartSeconds, defaults);
        });
    }
}

int64_t SimCommands::ledState(const SimAgent &, const SimVar &var)
{
    return var.value.number;
}

const char *SimCommands::help()
{
    return "";
}
