// The in-memory stand-in for Windows that the host tests run the handlers against: windows
// and controls held as records, a clock the test sets and runs, and message boxes and web
// pages recorded and answered by the test.
#pragma once

#include <optional>
#include <vector>

#include "support/date_time.h"
#include "support/text.h"
#include "ui/window_template.h"

namespace headless {

// The live state of an open window or control.
struct ElementState {
    const WindowTemplate* window = nullptr;    // set for windows
    const ControlTemplate* control = nullptr;  // set for controls
    Text caption;  // window title, label or button caption, edit box content
    bool disabled = false;
    bool visible = true;
    std::vector<Text> items;  // drop-down list
    int selection = -1;
    int interval = 0;          // timer, 0 when stopped
    long long nextTickAt = 0;  // timer, on the steady clock
};

struct MessageBoxCall {
    Text message;
    int style = 0;
    Text title;
};

// Everything back to a fresh process: no windows, empty records, the clock at
// 2026-01-01 00:00:00, no answers queued, windows open normally.
void reset();

// --- windows and controls
bool isOpen(ElementId window);
// The state of an open window or control; the test fails when there is none.
ElementState& element(ElementId id);
// Makes the next openWindow calls fail, as when Windows refuses to create a window.
void failWindowCreation(bool fail);

// --- what a user does; each returns false when the control would not react (disabled)
bool click(ElementId button);
bool spin(ElementId spinBox, bool up);
bool select(ElementId list, int index);
// The left button goes down over a control: runs its bound handler, if any.
std::optional<bool> pressLeftButton(ElementId control, int x, int y, int keys);
// Close box, Alt+F4 or Esc: the window is destroyed and its handler runs.
void closeWindow(ElementId window);

// --- the clock
void setClock(const DateTime& now);  // a jump: no ticks are delivered for the time skipped
DateTime clock();
// Lets time pass, delivering every timer tick that falls due on the way, in order.
void runFor(long long milliseconds);

// --- what the program showed or opened
const std::vector<MessageBoxCall>& messageBoxes();
// Answers for the next message boxes, in order; once they are used up every box gets OK.
void answerMessageBoxes(std::vector<int> buttonCodes);
const std::vector<Text>& openedPages();
int lastVisualStyle();

// --- the end of the program
std::optional<int> exitCode();
int cleanupRuns();

}  // namespace headless
