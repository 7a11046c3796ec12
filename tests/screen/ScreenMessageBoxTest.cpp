// The message box on SDL's dummy driver, whose window surfaces are plain memory: its window
// at the desktop's scale and where it goes, its answers to events in its window, the
// program's other windows meanwhile, MessageBoxA through it, and no box without a display.
#include "BoxEvents.h"
#include "InvisibleScreen.h"
#include "Screen.h"
#include "ScreenBox.h"
#include "SurfacePixels.h"

#include <StandIn.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class ScreenMessageBox : public testing::Test {
  protected:
    void SetUp() override { StartInvisibleScreen("ScreenMessageBox"); }
    void TearDown() override {
        SDL_DelEventWatch(PutEventsIntoTheBox, nullptr);
        EventsForTheBox.clear();
        CloseMessageBox();
        StandInReset();
        CloseSdlWindows();
    }
};

const MessageBoxLayout Question = LayOutMessageBox("Fullscreen?", "Do you want...", MB_YESNOCANCEL);

uint32_t Rgb(const SDL_Surface* surface, int x, int y) {
    const SDL_Color colour = ColourAt(surface, x, y);
    return static_cast<uint32_t>(colour.r) << 16 | static_cast<uint32_t>(colour.g) << 8 | colour.b;
}

// The pixels of the box's window that differ from its 96-dpi picture, each pixel of that a
// k x k block.
int UnlikeThePicture(const SDL_Surface* surface, const MessageBoxLayout& layout, int k) {
    const std::vector<uint32_t> painted = PaintMessageBox(layout, BoxState{});
    int wrong = 0;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            wrong +=
                Rgb(surface, x, y) != painted[static_cast<size_t>(y / k) * layout.width + x / k];
    return wrong;
}

void Push(SDL_Event event, SDL_Window* window) {
    SendTo(&event, SDL_GetWindowID(window));
    SDL_PushEvent(&event);
}

TEST_F(ScreenMessageBox, DrawnAtTheDesktopsScale) {
    for (const int k : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(k));
        SDL_Window* box = OpenMessageBox(Question, nullptr, k);
        ASSERT_NE(box, nullptr);
        EXPECT_STREQ(SDL_GetWindowTitle(box), "Do you want...");
        int width = 0, height = 0;
        SDL_GetWindowSize(box, &width, &height);
        EXPECT_EQ(width, Question.width * k);
        EXPECT_EQ(height, Question.height * k);
        const SDL_Surface* surface = SDL_GetWindowSurface(box);
        ASSERT_NE(surface, nullptr);
        ASSERT_EQ(surface->w, Question.width * k);
        ASSERT_EQ(surface->h, Question.height * k);
        EXPECT_EQ(UnlikeThePicture(surface, Question, k), 0);
        CloseMessageBox();
    }
    {
        SCOPED_TRACE("exposed: drawn again (a window dragged over it leaves no hole)");
        SDL_Window* box = OpenMessageBox(Question, nullptr, 1);
        ASSERT_NE(box, nullptr);
        SDL_Surface* surface = SDL_GetWindowSurface(box);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        Push(WindowEvent(SDL_WINDOWEVENT_EXPOSED), box);
        Push(KeyPress(SDLK_RETURN), box);
        EXPECT_EQ(WaitForMessageBoxAnswer(), IDYES);
        EXPECT_EQ(UnlikeThePicture(surface, Question, 1), 0);
        CloseMessageBox();
    }
}

TEST_F(ScreenMessageBox, AnsweredInItsOwnWindowAlone) {
    {
        SCOPED_TRACE("Tab and Return: No");
        SDL_Window* box = OpenMessageBox(Question, nullptr, 1);
        ASSERT_NE(box, nullptr);
        Push(KeyPress(SDLK_TAB), box);
        Push(KeyPress(SDLK_RETURN), box);
        Push(KeyPress(SDLK_c), box);
        EXPECT_EQ(WaitForMessageBoxAnswer(), IDNO);
        CloseMessageBox();
    }
    {
        SCOPED_TRACE("a click on Cancel at scale 2, drawn pushed in meanwhile");
        SDL_Window* box = OpenMessageBox(Question, nullptr, 2);
        ASSERT_NE(box, nullptr);
        const BoxRect cancel = Question.buttons[2].place;
        const int x = (cancel.x + cancel.width / 2) * 2, y = (cancel.y + cancel.height / 2) * 2;
        Push(MouseButton(SDL_MOUSEBUTTONDOWN, x, y), box);
        Push(MouseButton(SDL_MOUSEBUTTONUP, x, y), box);
        Push(KeyPress(SDLK_y), box);
        EXPECT_EQ(WaitForMessageBoxAnswer(), IDCANCEL);
        CloseMessageBox();
    }
    {
        SCOPED_TRACE("over its owner: centred there; the owner's keys and clicks are dropped, "
                     "and an exposed owner is drawn again; keys left for the box go with it");
        const HWND owner = CreateWindowExA(0, "ScreenMessageBox", "", WS_POPUP | WS_VISIBLE, 300,
                                           200, 64, 32, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        SDL_Window* ownerSdl = SdlWindowOf(owner);
        ASSERT_NE(ownerSdl, nullptr);
        SDL_Window* box = OpenMessageBox(Question, ownerSdl, 1);
        ASSERT_NE(box, nullptr);
        int x = 0, y = 0;
        SDL_GetWindowPosition(box, &x, &y);
        EXPECT_EQ(x + Question.width / 2, 300 + 32);
        EXPECT_EQ(y + Question.height / 2, 200 + 16);
        SDL_Surface* ownerSurface = SDL_GetWindowSurface(ownerSdl);
        SDL_FillRect(ownerSurface, nullptr, SDL_MapRGB(ownerSurface->format, 255, 255, 255));
        Push(KeyPress(SDLK_ESCAPE), ownerSdl);
        Push(MouseButton(SDL_MOUSEBUTTONDOWN, 1, 1), ownerSdl);
        Push(MouseButton(SDL_MOUSEBUTTONUP, 1, 1), ownerSdl);
        Push(WindowEvent(SDL_WINDOWEVENT_EXPOSED), ownerSdl);
        Push(KeyPress(SDLK_RETURN), box);
        Push(KeyPress(SDLK_n), box);
        EXPECT_EQ(WaitForMessageBoxAnswer(), IDYES) << "Escape in the owner would be Cancel";
        CloseMessageBox();
        EXPECT_EQ(Rgb(ownerSurface, 0, 0), 0x000000u) << "the owner shows the screen again";
        MSG message{};
        EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_SYSKEYUP, PM_REMOVE));
    }
    {
        SCOPED_TRACE("without an owner: centred on the display (the dummy's 1024 x 768)");
        SDL_Window* box = OpenMessageBox(Question, nullptr, 1);
        ASSERT_NE(box, nullptr);
        int x = 0, y = 0;
        SDL_GetWindowPosition(box, &x, &y);
        EXPECT_EQ(x, (1024 - Question.width) / 2);
        EXPECT_EQ(y, (768 - Question.height) / 2);
    }
}

TEST_F(ScreenMessageBox, MessageBoxAOnScreen) {
    {
        SCOPED_TRACE("the question answered with N");
        WhenTheBoxShows({KeyPress(SDLK_n), KeyPress(SDLK_c)});
        EXPECT_EQ(MessageBoxA(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL), IDNO);
    }
    {
        SCOPED_TRACE("a box without a caption answered by its close button: Cancel");
        WhenTheBoxShows({WindowEvent(SDL_WINDOWEVENT_CLOSE), KeyPress(SDLK_o)});
        EXPECT_EQ(MessageBoxA(nullptr, "Lock FAILED", nullptr, MB_OKCANCEL), IDCANCEL);
    }
    {
        SCOPED_TRACE("a box whose picture cannot be shown: the run ends (here the line, and 0)");
        FailWindowSurfaceUpdates = true;
        WhenTheBoxShows({KeyPress(SDLK_n), KeyPress(SDLK_c)});
        testing::internal::CaptureStderr();
        const int answer = MessageBoxA(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL);
        FailWindowSurfaceUpdates = false;
        EXPECT_EQ(answer, 0);
        EXPECT_THAT(testing::internal::GetCapturedStderr(),
                    testing::HasSubstr(
                        "cannot show the message box \"Do you want...: Fullscreen?\" on the"));
    }
    {
        SCOPED_TRACE("a type without buttons here: on standard error, answer 0");
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, "Retry?", nullptr, 5 /* MB_RETRYCANCEL */), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Retry?\n");
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
