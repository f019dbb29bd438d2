// Message boxes answered by the test, web pages recorded instead of opened.
#include "support/dialogs.h"
#include "tests/headless/headless_state.h"

namespace headless {

const std::vector<MessageBoxCall>& messageBoxes() {
    return state().messageBoxes;
}

void answerMessageBoxes(std::vector<int> buttonCodes) {
    state().answers.assign(buttonCodes.begin(), buttonCodes.end());
}

const std::vector<Text>& openedPages() {
    return state().openedPages;
}

}  // namespace headless

int messageBox(TextView message, int style, TextView title) {
    auto& state = headless::state();
    state.messageBoxes.push_back({Text(message), style, Text(title)});
    if (state.answers.empty()) {
        return kButtonOk;
    }
    const int answer = state.answers.front();
    state.answers.pop_front();
    return answer;
}

void openWebPage(TextView address) {
    headless::state().openedPages.emplace_back(address);
}
