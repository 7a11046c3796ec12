// MessageBoxA: every box is logged and recorded; its answer comes from the scripted
// queue, else from the presentation of the box to the person.
#include "StandInPrivate.h"

#include <cctype>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {

std::deque<int> ScriptedAnswers;
std::vector<StandInMessageBox> Boxes;

// The buttons and the keys that press them, as the terminal's question names them: OK by
// Return (its letter works too), the others by their letters.
std::string ButtonPrompt(const MessageBoxButtons& box) {
    std::string prompt;
    for (int i = 0; i < box.count; ++i) {
        const MessageBoxButton& button = box.buttons[i];
        prompt += std::string(i > 0 ? ", " : "") + "[" +
                  (button.answer == IDOK ? std::string("Return") : std::string(1, button.key)) +
                  "] " + button.text;
    }
    return prompt;
}

// Tests never ask a person: a box nobody scripted fails.
int NoPresentation(HWND, const char*, const char*, UINT) {
    return 0;
}

} // namespace

// Without any other presentation: the question on the terminal, answered by one key.
int PresentOnTerminal(HWND, const char* text, const char* caption, UINT type) {
    const MessageBoxButtons box = MessageBoxButtonsOf(type);
    if (box.count == 0 || !TerminalAvailable())
        return 0;
    // A box without a caption is titled "Error", as on Windows.
    std::fprintf(stderr, "%s: %s\n%s? ", caption != nullptr ? caption : "Error",
                 text != nullptr ? text : "", ButtonPrompt(box).c_str());
    std::fflush(stderr);
    int answer = 0;
    while (answer == 0) {
        const int key = ReadTerminalKey();
        if (key < 0)
            break;
        answer = MessageBoxAnswerForKey(type, key);
    }
    std::fprintf(stderr, "\n");
    return answer;
}

MessageBoxPresenter PresentMessageBox = PresentOnTerminal;

MessageBoxButtons MessageBoxButtonsOf(UINT type) {
    constexpr MessageBoxButton Ok{"OK", IDOK, 'o'}, Cancel{"Cancel", IDCANCEL, 'c'};
    constexpr MessageBoxButton Yes{"Yes", IDYES, 'y'}, No{"No", IDNO, 'n'};
    // The first button is the default. Escape is Cancel; a lone OK takes it too, a Yes/No
    // box ignores it, as on Windows.
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return MessageBoxButtons{{Ok}, 1, 0, IDOK};
    case MB_OKCANCEL:
        return MessageBoxButtons{{Ok, Cancel}, 2, 0, IDCANCEL};
    case MB_YESNOCANCEL:
        return MessageBoxButtons{{Yes, No, Cancel}, 3, 0, IDCANCEL};
    case MB_YESNO:
        return MessageBoxButtons{{Yes, No}, 2, 0, 0};
    default:
        return MessageBoxButtons{{}, 0, 0, 0};
    }
}

int MessageBoxAnswerForKey(UINT type, int key) {
    const MessageBoxButtons box = MessageBoxButtonsOf(type);
    if (box.count == 0)
        return 0;
    if (key == '\r' || key == '\n')
        return box.buttons[box.defaultButton].answer;
    if (key == 0x1B)
        return box.escapeAnswer;
    for (int i = 0; i < box.count; ++i)
        if (key == box.buttons[i].key || key == std::toupper(box.buttons[i].key))
            return box.buttons[i].answer;
    return 0;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    int answer = 0;
    LONG_PTR failure = 0;
    if (LoggedCallFails("MessageBoxA", {Arg(owner), Arg(text), Arg(caption), Arg(type)},
                        &failure)) {
        answer = static_cast<int>(failure);
    } else if (!ScriptedAnswers.empty()) {
        answer = ScriptedAnswers.front();
        ScriptedAnswers.pop_front();
    } else {
        answer = PresentMessageBox(owner, text, caption, type);
    }
    Boxes.push_back(StandInMessageBox{owner, text != nullptr ? text : "",
                                      caption != nullptr ? caption : "", caption == nullptr, type,
                                      answer});
    return answer;
}

void ResetMessageBoxes() {
    ScriptedAnswers.clear();
    Boxes.clear();
    PresentMessageBox = NoPresentation;
}

void StandInQueueMessageBoxAnswer(int answer) {
    ScriptedAnswers.push_back(answer);
}

std::vector<StandInMessageBox> StandInMessageBoxes() {
    return Boxes;
}
