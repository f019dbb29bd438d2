// The records behind the in-memory layer, shared by its source files.
#pragma once

#include <deque>
#include <map>
#include <memory>

#include "tests/headless/headless.h"

namespace headless {

struct State {
    std::span<const WindowTemplate* const> templates;
    std::map<ElementId, ElementState> elements;  // open windows and their controls
    bool failWindowCreation = false;
    EventHandler cleanup = nullptr;
    int cleanupRuns = 0;
    std::optional<int> exitCode;
    int visualStyle = 0;

    DateTime wallClock;
    long long wallMilliseconds = 0;  // below the wall clock's whole second
    long long steadyMilliseconds = 0;

    std::vector<MessageBoxCall> messageBoxes;
    std::deque<int> answers;
    std::vector<Text> openedPages;
};

State& state();

}  // namespace headless
