// MessageBoxA in the page: a modal dialog over the page with the buttons the stand-in
// decides for the type (MessageBoxButtonsOf). The program waits in it (giving the browser
// its turn) until a button is clicked or a key answers (page.js: the keys of Windows'
// message box, with the default button and the escape answer given here).
#include "Page.h"

#include <emscripten.h>

#include <cstdio>
#include <string>

// Shows the box with its buttons, given as JSON: [[label, answer, key], ...] left to right.
EM_JS(int, PageShowBox,
      (const char* title, const char* text, int type, const char* buttons, int defaultButton,
       int escapeAnswer),
      {
          return BumpPage.showBox(UTF8ToString(title), UTF8ToString(text), type,
                                  JSON.parse(UTF8ToString(buttons)), defaultButton, escapeAnswer)
                     ? 1
                     : 0;
      });
// The answer once a button was clicked (the box is gone then), else 0.
EM_JS(int, PageBoxAnswer, (), { return BumpPage.boxAnswer(); });

namespace {

// The buttons as the page takes them, [label, answer, key]; labels and keys are plain
// letters.
std::string ButtonsAsJson(const MessageBoxButtons& box) {
    std::string json = "[";
    for (int i = 0; i < box.count; ++i)
        json += std::string(i > 0 ? "," : "") + "[\"" + box.buttons[i].text + "\"," +
                std::to_string(box.buttons[i].answer) + ",\"" + box.buttons[i].key + "\"]";
    return json + "]";
}

} // namespace

int ShowMessageBoxInPage(HWND, const char* text, const char* caption, UINT type) {
    // Windows titles a box without a caption "Error".
    const char* title = caption != nullptr && caption[0] != '\0' ? caption : "Error";
    const MessageBoxButtons box = MessageBoxButtonsOf(type);
    if (box.count == 0 ||
        PageShowBox(title, text != nullptr ? text : "", static_cast<int>(type & MB_TYPEMASK),
                    ButtonsAsJson(box).c_str(), box.defaultButton, box.escapeAnswer) == 0) {
        std::fprintf(stderr, "%s: %s\n", title, text != nullptr ? text : "");
        return 0;
    }
    int answer = 0;
    while ((answer = PageBoxAnswer()) == 0)
        WaitInPage(20);
    return answer;
}
