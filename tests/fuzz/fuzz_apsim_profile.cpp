// The simulator's profile reader: whatever a profile holds, it loads or is refused with a
// message, and every value it loads reads back from the text the simulator saves its state in.
// A small profile named "default" lies beside the input, for its includes.
// Sources: sim/simprofile.cpp sim/simstore.cpp
#include "../../sim/simprofile.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char kDefault[] = "1.3.6.1.2.1.1.5.0 displaystr rw \"ap\" size=0..255 name=sysName\n"
                        "table 1.3.6.1.4.1.32473.11.37.4.2.1.1 stations\n"
                        "column 1 ipaddress na\n"
                        "column 2 octetstr ro size=6..6\n"
                        "row 10.0.0.2 10.0.0.2 000F3DFA6DB1\n"
                        "end\n";

// A folder of the process's own, removed at exit.
struct Folder {
    std::string path;
    Folder()
    {
        char name[] = "/tmp/qrn-fuzz-apsim-XXXXXX";
        if (::mkdtemp(name))
            path = name;
        std::ofstream(path + "/default.profile") << kDefault;
    }
    ~Folder()
    {
        ::unlink((path + "/default.profile").c_str());
        ::unlink((path + "/input.profile").c_str());
        ::rmdir(path.c_str());
    }
};

const std::string &folder()
{
    static const Folder folder;
    return folder.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string path = folder() + "/input.profile";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    SimStore store;
    std::string error;
    if (!SimProfile::load(path, store, &error))
        return 0;
    for (const auto &[oid, var] : store.vars()) {
        const std::string saved = valueText(var.syntax, var.value);
        const auto restored = parseValue(var.syntax, saved);
        if (!restored || !(*restored == var.value))
            std::abort(); // a state file would not give this value back
        store.tableOf(oid);
    }
    for (const auto &table : store.tables())
        store.rowIndexes(*table);
    return 0;
}
