// Runs as a separate process for the tests of cross-process locking:
//   support_test_helper log <count> <tag>      writes <count> long log lines tagged <tag>
//   support_test_helper set <count> <prefix>   stores <count> values "<prefix><i>" = i
// The log path comes from LUMICAST_LOG, the store folder from XDG_CONFIG_HOME.
#include "support/log.h"
#include "support/registry_key.h"

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        return 2;
    }
    const std::string command = argv[1];
    const int count = std::atoi(argv[2]);
    const std::string tag = argv[3];
    if (command == "log") {
        const std::string payload(6000, tag.empty() ? 'x' : tag[0]);
        for (int i = 0; i < count; ++i) {
            WriteLogLine("%s %d %s", tag.c_str(), i, payload.c_str());
        }
        return 0;
    }
    if (command == "set") {
        int failures = 0;
        for (int i = 0; i < count; ++i) {
            RegistryKey key;
            if (key.Open(RegistryRoot::LocalMachine, "Software\\Velmora\\Lumicast",
                         kRegAccessReadWrite) != kRegOk ||
                key.SetDword(tag + std::to_string(i), static_cast<std::uint32_t>(i)) != kRegOk) {
                ++failures;
            }
        }
        return failures == 0 ? 0 : 1;
    }
    return 2;
}
