// What the driver can be asked, and the shared parts of the commands.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "tests/e2e/driver/json.h"

// A command that cannot be carried out; its message becomes the answer's "error".
class CommandError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The words of one command line after the command's name.
class Arguments {
  public:
    Arguments(std::string_view text, std::string_view usage) : rest_(text), usage_(usage) {}

    std::string word();
    long long number();
    // A number that names an existing window.
    HWND window();
    // Everything left on the line, for texts that contain spaces.
    std::string rest();
    bool empty() const;

  private:
    std::string_view rest_;
    std::string_view usage_;
};

using Command = void (*)(Arguments& args, JsonObject& reply);

struct CommandEntry {
    std::string_view name;
    std::string_view usage;
    Command run;
};

// How long the driver waits for the program to take a sent message.
inline constexpr UINT kAnswerTimeoutMs = 2000;

// Sends a message and waits at most kAnswerTimeoutMs for the result.
LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::wstring textOf(HWND window);
std::wstring classOf(HWND window);
DWORD processOf(HWND window);
long long handleValue(HWND window);

// window_queries.cpp
void findWindowCommand(Arguments& args, JsonObject& reply);
void windowsCommand(Arguments& args, JsonObject& reply);
void childrenCommand(Arguments& args, JsonObject& reply);
void controlCommand(Arguments& args, JsonObject& reply);
void spinnerCommand(Arguments& args, JsonObject& reply);
void textCommand(Arguments& args, JsonObject& reply);
void infoCommand(Arguments& args, JsonObject& reply);
void focusCommand(Arguments& args, JsonObject& reply);
void comboCommand(Arguments& args, JsonObject& reply);
void messageBoxesCommand(Arguments& args, JsonObject& reply);

// user_input.cpp
void clickCommand(Arguments& args, JsonObject& reply);
void keyCommand(Arguments& args, JsonObject& reply);
void typeCommand(Arguments& args, JsonObject& reply);
void inputKeysCommand(Arguments& args, JsonObject& reply);
void inputClickCommand(Arguments& args, JsonObject& reply);
void mouseCommand(Arguments& args, JsonObject& reply);
void spinCommand(Arguments& args, JsonObject& reply);
void selectCommand(Arguments& args, JsonObject& reply);
void pressCommand(Arguments& args, JsonObject& reply);
void closeCommand(Arguments& args, JsonObject& reply);
void foregroundCommand(Arguments& args, JsonObject& reply);
void syncCommand(Arguments& args, JsonObject& reply);

// processes.cpp
void processesCommand(Arguments& args, JsonObject& reply);
void watchCommand(Arguments& args, JsonObject& reply);
void exitCodeCommand(Arguments& args, JsonObject& reply);
void setEnvironmentCommand(Arguments& args, JsonObject& reply);
void startTimedCommand(Arguments& args, JsonObject& reply);
void memoryCommand(Arguments& args, JsonObject& reply);
void terminateCommand(Arguments& args, JsonObject& reply);
