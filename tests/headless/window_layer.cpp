// The window layer and control operations, held in memory.
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "tests/headless/headless_state.h"
#include "ui/controls.h"
#include "ui/window_layer.h"

namespace headless {

State& state() {
    static State instance;
    return instance;
}

namespace {

const WindowTemplate* templateOf(ElementId window) {
    for (const WindowTemplate* layout : state().templates) {
        if (layout->id == window) {
            return layout;
        }
    }
    return nullptr;
}

ElementState* find(ElementId id) {
    auto found = state().elements.find(id);
    return found == state().elements.end() ? nullptr : &found->second;
}

ElementState stateOf(const ControlTemplate& layout) {
    ElementState control{
        .control = &layout, .disabled = layout.disabled, .visible = layout.visible};
    std::visit(
        [&control](const auto& settings) {
            using Settings = std::decay_t<decltype(settings)>;
            if constexpr (std::is_same_v<Settings, LabelSettings> ||
                          std::is_same_v<Settings, TransparentLabelSettings> ||
                          std::is_same_v<Settings, ButtonSettings>) {
                control.caption = Text(settings.caption);
            } else if constexpr (std::is_same_v<Settings, SpinEditSettings>) {
                control.caption = Text(settings.content);
            } else if constexpr (std::is_same_v<Settings, DropDownListSettings>) {
                control.items.assign(settings.items.begin(), settings.items.end());
                const int last = static_cast<int>(control.items.size()) - 1;
                control.selection = std::clamp(settings.selected, -1, last);
            } else if constexpr (std::is_same_v<Settings, TimerSettings>) {
                control.interval = settings.interval;
            }
        },
        layout.settings);
    return control;
}

void startTimer(ElementState& timer) {
    timer.nextTickAt = state().steadyMilliseconds + timer.interval;
}

}  // namespace

ElementState& element(ElementId id) {
    ElementState* found = find(id);
    if (found == nullptr) {
        std::cerr << "headless: no open window or control 0x" << std::hex << id << '\n';
        std::abort();
    }
    return *found;
}

bool isOpen(ElementId window) {
    const ElementState* found = find(window);
    return found != nullptr && found->window != nullptr;
}

void failWindowCreation(bool fail) {
    state().failWindowCreation = fail;
}

int lastVisualStyle() {
    return state().visualStyle;
}
std::optional<int> exitCode() {
    return state().exitCode;
}
int cleanupRuns() {
    return state().cleanupRuns;
}

bool click(ElementId button) {
    ElementState& control = element(button);
    if (control.disabled || !control.visible) {
        return false;
    }
    if (control.control->onClick != nullptr) {
        control.control->onClick();
    }
    return true;
}

bool select(ElementId list, int index) {
    ElementState& control = element(list);
    if (control.disabled || index < 0 || index >= static_cast<int>(control.items.size())) {
        return false;
    }
    control.selection = index;
    return true;
}

std::optional<bool> pressLeftButton(ElementId id, int x, int y, int keys) {
    ElementState& control = element(id);
    if (control.control->onLeftButtonDown == nullptr) {
        return std::nullopt;
    }
    return control.control->onLeftButtonDown(x, y, keys);
}

void closeWindow(ElementId window) {
    const WindowTemplate* layout = element(window).window;
    // Destroying a window takes its controls with it.
    std::erase_if(state().elements, [layout](const auto& entry) {
        return entry.second.window == layout ||
               std::any_of(
                   layout->controls.begin(), layout->controls.end(),
                   [&entry](const ControlTemplate& c) { return &c == entry.second.control; });
    });
    if (layout->onDestroyed != nullptr) {
        layout->onDestroyed();
    }
}

}  // namespace headless

using headless::state;

bool initWindowLayer(std::span<const WindowTemplate* const> templates) {
    state().templates = templates;
    return true;
}

bool openWindow(ElementId window, std::optional<ElementId> /*parent*/, bool /*modal*/) {
    const WindowTemplate* layout = headless::templateOf(window);
    if (layout == nullptr || state().failWindowCreation) {
        return false;
    }
    state().elements[window] = {
        .window = layout, .caption = Text(layout->caption), .visible = false};
    for (const ControlTemplate& control : layout->controls) {
        state().elements[control.id] = headless::stateOf(control);
        if (state().elements[control.id].interval > 0) {
            headless::startTimer(state().elements[control.id]);
        }
    }
    if (layout->onCreated != nullptr) {
        layout->onCreated();
    }
    if (headless::isOpen(window)) {
        state().elements[window].visible = layout->visible;
    }
    return true;
}

void applyVisualStyle(int style) {
    state().visualStyle = style;
}

void runMessageLoop() {}

void registerCleanup(EventHandler routine) {
    state().cleanup = routine;
}

void endProgram(int exitCode) {
    state().elements.clear();
    if (state().cleanup != nullptr) {
        EventHandler routine = state().cleanup;
        state().cleanup = nullptr;
        ++state().cleanupRuns;
        routine();
    }
    state().exitCode = exitCode;
}

void setCaption(ElementId element, TextView text) {
    headless::element(element).caption = Text(text);
}

void setDisabled(ElementId control, bool disabled) {
    headless::element(control).disabled = disabled;
}

Text contentOf(ElementId editBox) {
    return headless::element(editBox).caption;
}

Text shownTextOf(ElementId list) {
    const headless::ElementState& control = headless::element(list);
    if (control.selection < 0) {
        return {};
    }
    return control.items[static_cast<std::size_t>(control.selection)];
}

int selectionOf(ElementId list) {
    return headless::element(list).selection;
}

void setInterval(ElementId timer, int milliseconds) {
    headless::ElementState& control = headless::element(timer);
    const int interval = std::max(milliseconds, 0);
    if (interval == control.interval) {
        return;
    }
    control.interval = interval;
    if (interval > 0) {
        headless::startTimer(control);
    }
}
