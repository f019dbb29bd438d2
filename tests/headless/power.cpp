#include "tests/headless/power.h"

#include <string>

#include "timer/power_calls.h"

namespace headless {

namespace {

struct PowerState {
    std::vector<Text> calls;
    bool ntFamily = true;
    bool privilegeEnabled = true;
    int requestResult = 1;
};

PowerState& power() {
    static PowerState instance;
    return instance;
}

}  // namespace

const std::vector<Text>& powerCalls() {
    return power().calls;
}

Text powerCallLine() {
    Text line;
    for (const Text& call : power().calls) {
        line += line.empty() ? call : "; " + call;
    }
    return line;
}

void setNtFamily(bool ntFamily) {
    power().ntFamily = ntFamily;
}
void setShutdownPrivilegeEnabled(bool enabled) {
    power().privilegeEnabled = enabled;
}
void setPowerRequestResult(int result) {
    power().requestResult = result;
}

void resetPower() {
    power() = PowerState();
}

}  // namespace headless

using headless::power;

bool isNtFamily() {
    power().calls.emplace_back("GetVersionExA");
    return power().ntFamily;
}

bool adjustShutdownPrivilege() {
    power().calls.emplace_back("AdjustShutdownPrivilege");
    return power().privilegeEnabled;
}

int exitWindows(unsigned flags) {
    power().calls.push_back("ExitWindowsEx " + std::to_string(flags) + " 0");
    return power().requestResult;
}

int setSystemPowerState(bool suspend, bool force) {
    power().calls.push_back("SetSystemPowerState " + std::to_string(suspend ? 1 : 0) + " " +
                            std::to_string(force ? 1 : 0));
    return power().requestResult;
}
