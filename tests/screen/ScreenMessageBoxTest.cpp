// Message boxes on screen: SDL's buttons for each MessageBoxA type, the answers, the
// default caption, and the box that cannot be shown without a display.
#include "Screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Buttons(const MessageBoxLayout& layout) {
    std::string text;
    for (const SDL_MessageBoxButtonData& button : layout.buttons) {
        text += text.empty() ? "" : " ";
        text += button.text + std::string("=") + std::to_string(button.buttonid);
        if ((button.flags & SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT) != 0)
            text += "[Return]";
        if ((button.flags & SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT) != 0)
            text += "[Escape]";
    }
    return text;
}

TEST(ScreenMessageBox, ButtonsByType) {
    const struct {
        const char* label;
        UINT type;
        const char* buttons;
    } cases[] = {
        {"MB_OK", MB_OK, "OK=1[Return][Escape]"},
        {"MB_OKCANCEL", MB_OKCANCEL, "OK=1[Return] Cancel=2[Escape]"},
        {"MB_YESNOCANCEL", MB_YESNOCANCEL, "Yes=6[Return] No=7 Cancel=2[Escape]"},
        {"MB_YESNO: no button for Escape", MB_YESNO, "Yes=6[Return] No=7"},
        {"icon bits leave the buttons alone", MB_YESNOCANCEL | 0x20,
         "Yes=6[Return] No=7 Cancel=2[Escape]"},
        {"a type the stand-in does not offer", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Buttons(LayOutMessageBox("Caption", c.type)), c.buttons);
    }
}

TEST(ScreenMessageBox, Title) {
    EXPECT_EQ(LayOutMessageBox("Do you want...", MB_YESNOCANCEL).title, "Do you want...");
    SCOPED_TRACE("no caption or an empty one: Windows' default");
    EXPECT_EQ(LayOutMessageBox(nullptr, MB_OK).title, "Error");
    EXPECT_EQ(LayOutMessageBox("", MB_OK).title, "Error");
}

TEST(ScreenMessageBox, Answers) {
    const struct {
        const char* label;
        UINT type;
        int button;
        int answer;
    } cases[] = {
        {"Yes", MB_YESNOCANCEL, IDYES, IDYES},
        {"No", MB_YESNOCANCEL, IDNO, IDNO},
        {"closed with Cancel there", MB_YESNOCANCEL, -1, IDCANCEL},
        {"closed, OK and Cancel", MB_OKCANCEL, -1, IDCANCEL},
        {"closed, OK alone", MB_OK, -1, IDOK},
        {"closed, Yes and No: no answer", MB_YESNO, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(AnswerForButton(c.type, c.button), c.answer);
    }
}

// A program that finds no display says so in one line, and nothing else, and ends with
// exit code 1: before anything is shown or asked.
TEST(ScreenStartDeathTest, WithoutADisplayTheProgramEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"})
        unsetenv(name);
    {
        SCOPED_TRACE("none named");
        EXPECT_EXIT(
            ShowMessageBoxOnScreen(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL),
            testing::ExitedWithCode(1),
            "^[^\n]*: no display to show windows on: DISPLAY is not set\n$");
    }
    {
        SCOPED_TRACE("one named that is not there");
        setenv("DISPLAY", ":65000", 1);
        EXPECT_EXIT(CanShowWindows(), testing::ExitedWithCode(1),
                    "^[^\n]*: cannot open the display :65000\n$");
        unsetenv("DISPLAY");
    }
}

} // namespace
