// MessageBoxA: every box is logged and recorded; its answer comes from the scripted
// queue, else from the presentation of the box to the person.
#include "StandInPrivate.h"

#include <cstdio>
#include <deque>
#include <vector>

namespace {

std::deque<int> ScriptedAnswers;
std::vector<StandInMessageBox> Boxes;

const char* ButtonPrompt(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return "[Return] OK";
    case MB_OKCANCEL:
        return "[Return] OK, [c] Cancel";
    case MB_YESNO:
        return "[y] Yes, [n] No";
    case MB_YESNOCANCEL:
        return "[y] Yes, [n] No, [c] Cancel";
    default:
        return nullptr;
    }
}

// Tests never ask a person: a box nobody scripted fails.
int NoPresentation(HWND, const char*, const char*, UINT) {
    return 0;
}

} // namespace

// Without any other presentation: the question on the terminal, answered by one key.
int PresentOnTerminal(HWND, const char* text, const char* caption, UINT type) {
    const char* prompt = ButtonPrompt(type);
    if (prompt == nullptr || !TerminalAvailable())
        return 0;
    // A box without a caption is titled "Error", as on Windows.
    std::fprintf(stderr, "%s: %s\n%s? ", caption != nullptr ? caption : "Error",
                 text != nullptr ? text : "", prompt);
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

int MessageBoxAnswerForKey(UINT type, int key) {
    const UINT buttons = type & MB_TYPEMASK;
    const bool hasCancel = buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL;
    const bool yesNo = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
    if (key == '\r' || key == '\n')
        return yesNo ? IDYES : IDOK;
    if (key == 0x1B) {
        // Escape is Cancel; a lone OK button takes it too, a Yes/No box ignores it.
        if (hasCancel)
            return IDCANCEL;
        return buttons == MB_OK ? IDOK : 0;
    }
    if (yesNo && (key == 'y' || key == 'Y'))
        return IDYES;
    if (yesNo && (key == 'n' || key == 'N'))
        return IDNO;
    if (!yesNo && (key == 'o' || key == 'O'))
        return IDOK;
    if (hasCancel && (key == 'c' || key == 'C'))
        return IDCANCEL;
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
