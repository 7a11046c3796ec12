// The thread's message queue. Retrieval order is Windows': posted messages first, then
// the quit message once none is left, then keyboard input, then WM_PAINT for a window
// that needs painting.
#include "WindowManager.h"

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

std::deque<MSG> Posted;
std::deque<MSG> Input;
bool QuitPosted = false;
int QuitCode = 0;

// hwnd (HWND)-1 asks for thread messages only.
const HWND ThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window == ThreadMessagesOnly ? message.hwnd != nullptr
                                     : window != nullptr && message.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message.message >= filterMin && message.message <= filterMax;
}

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, CurrentTicks(), POINT{0, 0}};
}

bool TakeFrom(std::deque<MSG>& queue, MSG* msg, HWND window, UINT filterMin, UINT filterMax,
              bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, window, filterMin, filterMax))
            continue;
        *msg = *it;
        if (remove)
            queue.erase(it);
        return true;
    }
    return false;
}

bool NextMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (TakeFrom(Posted, msg, window, filterMin, filterMax, remove))
        return true;
    if (QuitPosted && InRange(WM_QUIT, filterMin, filterMax)) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(QuitCode), 0);
        if (remove)
            QuitPosted = false;
        return true;
    }
    if (TakeFrom(Input, msg, window, filterMin, filterMax, remove))
        return true;
    if (window != ThreadMessagesOnly && InRange(WM_PAINT, filterMin, filterMax)) {
        // WM_PAINT stays until the window is validated.
        if (const HWND paint = WindowToPaint(window)) {
            *msg = MakeMessage(paint, WM_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

bool ValidFilter(HWND window) {
    if (window == nullptr || window == ThreadMessagesOnly || LookUpWindow(window) != nullptr)
        return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

// The character a key gives with no modifier held, or 0.
CHAR KeyCharacter(WPARAM key) {
    if (key >= 'A' && key <= 'Z')
        return static_cast<CHAR>(key - 'A' + 'a');
    if (key >= '0' && key <= '9')
        return static_cast<CHAR>(key);
    switch (key) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return '\t';
    default:
        return 0;
    }
}

} // namespace

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Posted.push_back(MakeMessage(window, message, wParam, lParam));
}

void PostInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Input.push_back(MakeMessage(window, message, wParam, lParam));
}

void RemoveWindowMessages(HWND window) {
    for (std::deque<MSG>* queue : {&Posted, &Input})
        for (auto it = queue->begin(); it != queue->end();)
            it = it->hwnd == window ? queue->erase(it) : it + 1;
}

void ResetMessageQueue() {
    Posted.clear();
    Input.clear();
    QuitPosted = false;
    QuitCode = 0;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("PostMessageA", {Arg(window), Arg(message), Arg(wParam), Arg(lParam)},
                        &failure))
        return FALSE;
    if (window != nullptr && LookUpWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    PostToQueue(window, message, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    LogCall("PostQuitMessage", {Arg(exitCode)});
    QuitPosted = true;
    QuitCode = exitCode;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LogCall("SendMessageA", {Arg(window), Arg(message), Arg(wParam), Arg(lParam)});
    if (LookUpWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return SendToWindow(window, message, wParam, lParam);
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    const unsigned long long started = StartFrameCall();
    LONG_PTR failure = 0;
    if (LoggedCallFails("PeekMessageA",
                        {Arg(static_cast<const void*>(msg)), Arg(window), Arg(filterMin),
                         Arg(filterMax), Arg(removeMsg)},
                        &failure) ||
        msg == nullptr || !ValidFilter(window))
        return FALSE;
    if (PresentationLayer.takeInput != nullptr)
        PresentationLayer.takeInput();
    const bool found = NextMessage(msg, window, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0);
    CountFrameCall(FrameCall::Messages, started);
    return found ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    const unsigned long long started = StartFrameCall();
    LONG_PTR failure = 0;
    if (LoggedCallFails(
            "GetMessageA",
            {Arg(static_cast<const void*>(msg)), Arg(window), Arg(filterMin), Arg(filterMax)},
            &failure))
        return static_cast<BOOL>(failure);
    if (msg == nullptr || !ValidFilter(window))
        return -1;
    if (PresentationLayer.takeInput != nullptr)
        PresentationLayer.takeInput();
    while (!NextMessage(msg, window, filterMin, filterMax, true)) {
        // Only the person's input can post a message now. Without a presentation to wait
        // on, waiting would hang for ever, so stop with a diagnosis instead.
        if (PresentationLayer.waitForInput == nullptr || !PresentationLayer.waitForInput()) {
            std::fprintf(stderr, "GetMessageA: the message queue is empty and would stay so\n");
            std::abort();
        }
    }
    CountFrameCall(FrameCall::Messages, started);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    LogCall("TranslateMessage", {Arg(static_cast<const void*>(msg))});
    if (msg == nullptr)
        return FALSE;
    switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (const CHAR character = KeyCharacter(msg->wParam))
            PostToQueue(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                        static_cast<BYTE>(character), msg->lParam);
        return TRUE;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    LogCall("DispatchMessageA", {Arg(static_cast<const void*>(msg))});
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    if (LookUpWindow(msg->hwnd) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return SendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void StandInPressKey(WORD virtualKey) {
    const HWND focus = FocusedWindow();
    if (focus == nullptr)
        return;
    // Repeat count 1; the release has the previous-state and transition bits set.
    PostInput(focus, WM_KEYDOWN, virtualKey, 1);
    PostInput(focus, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}
