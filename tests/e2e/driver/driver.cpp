// Drives the program from outside, as a user would: reads one command per line on standard
// input and answers each with one JSON line on standard output, {"ok":true,...} or
// {"ok":false,"error":"..."}. Texts are UTF-8 on the pipes. Nothing here waits for the
// program longer than kAnswerTimeoutMs, except a command given a limit of its own (start_timed);
// the end of input ends the driver.
#include <windows.h>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <string>

#include "tests/e2e/driver/commands.h"

namespace {

void pingCommand(Arguments& /*args*/, JsonObject& /*reply*/) {}

constexpr std::array commands{
    CommandEntry{"ping", "ping", pingCommand},
    // Processes, by their Windows process id.
    CommandEntry{"processes", "processes EXE-NAME", processesCommand},
    CommandEntry{"watch", "watch PID", watchCommand},
    CommandEntry{"exit_code", "exit_code PID", exitCodeCommand},
    // Started by the driver itself, for the benchmarks.
    CommandEntry{"setenv", "setenv NAME [VALUE]", setEnvironmentCommand},
    CommandEntry{"start_timed", "start_timed LIMIT-MS EXE-PATH", startTimedCommand},
    CommandEntry{"memory", "memory PID", memoryCommand},
    CommandEntry{"terminate", "terminate PID", terminateCommand},
    // Windows and what they show.
    CommandEntry{"find_window", "find_window PID|0 TITLE", findWindowCommand},
    CommandEntry{"windows", "windows PID|0", windowsCommand},
    CommandEntry{"children", "children HWND", childrenCommand},
    CommandEntry{"control", "control HWND CONTROL-ID", controlCommand},
    CommandEntry{"spinner", "spinner EDIT-HWND", spinnerCommand},
    CommandEntry{"text", "text HWND", textCommand},
    CommandEntry{"info", "info HWND", infoCommand},
    CommandEntry{"focus", "focus HWND", focusCommand},
    CommandEntry{"combo", "combo HWND", comboCommand},
    CommandEntry{"message_boxes", "message_boxes PID", messageBoxesCommand},
    // Input.
    CommandEntry{"click", "click BUTTON-HWND", clickCommand},
    CommandEntry{"key", "key HWND KEY [down|up|press]", keyCommand},
    CommandEntry{"type", "type HWND TEXT", typeCommand},
    CommandEntry{"input_keys", "input_keys KEY[+KEY...]", inputKeysCommand},
    CommandEntry{"input_click", "input_click SCREEN-X SCREEN-Y", inputClickCommand},
    CommandEntry{"mouse", "mouse HWND down|up CLIENT-X CLIENT-Y", mouseCommand},
    CommandEntry{"spin", "spin UPDOWN-HWND up|down", spinCommand},
    CommandEntry{"select", "select COMBO-HWND INDEX", selectCommand},
    CommandEntry{"press", "press BOX-HWND BUTTON-ID", pressCommand},
    CommandEntry{"close", "close HWND [message|syscommand]", closeCommand},
    CommandEntry{"foreground", "foreground HWND", foregroundCommand},
    CommandEntry{"sync", "sync HWND [ROUNDS]", syncCommand},
};

std::string answer(const std::string& line) {
    Arguments words(line, "COMMAND ARGUMENTS...");
    try {
        if (words.empty()) {
            throw CommandError("empty command");
        }
        const std::string name = words.word();
        for (const CommandEntry& entry : commands) {
            if (entry.name == name) {
                const std::string rest = words.rest();
                Arguments args(rest, entry.usage);
                JsonObject reply;
                reply.addFlag("ok", true);
                entry.run(args, reply);
                return reply.text();
            }
        }
        throw CommandError("unknown command: " + name);
    } catch (const CommandError& error) {
        return JsonObject().addFlag("ok", false).addText("error", error.what()).text();
    }
}

}  // namespace

int main() {
    // Binary pipes: the answers end in "\n" only, and a command's bytes arrive unchanged.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::string reply = answer(line) + "\n";
        std::fwrite(reply.data(), 1, reply.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
