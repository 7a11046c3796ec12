// Message boxes on the stand-in: scripted answers, the record of every box, and the
// question on the terminal.
#include "StandInPrivate.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(StandInMessageBox, ScriptedAnswersAndTheRecord) {
    StandInReset();
    StandInQueueMessageBoxAnswer(IDYES);
    StandInQueueMessageBoxAnswer(IDCANCEL);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(MessageBoxA(owner, "Again?", "", MB_OKCANCEL), IDCANCEL);
    {
        SCOPED_TRACE("without an answer a box fails in tests");
        EXPECT_EQ(MessageBoxA(owner, "SetDisplayMode FAILED", nullptr, MB_OK), 0);
    }
    const std::vector<StandInMessageBox> boxes = StandInMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].text, "Fullscreen?");
    EXPECT_EQ(boxes[0].caption, "Do you want...");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(boxes[0].answer, IDYES);
    {
        SCOPED_TRACE("an empty caption is not a missing one");
        EXPECT_FALSE(boxes[1].captionIsNull);
        EXPECT_TRUE(boxes[2].captionIsNull);
        EXPECT_EQ(boxes[2].caption, "");
    }
    EXPECT_EQ(boxes[2].owner, owner);
    EXPECT_EQ(boxes[2].answer, 0);
    EXPECT_EQ(StandInCallLog().back(), "MessageBoxA(ptr, \"SetDisplayMode FAILED\", NULL, 0)");
}

int FakeAnswer = 0;
std::string FakeText;

int FakePresentation(HWND, const char* text, const char*, UINT) {
    FakeText = text;
    return FakeAnswer;
}

TEST(StandInMessageBox, APresentationCanBePluggedIn) {
    StandInReset();
    PresentMessageBox = FakePresentation;
    FakeAnswer = IDNO;
    EXPECT_EQ(MessageBoxA(nullptr, "Shown", nullptr, MB_YESNO), IDNO);
    EXPECT_EQ(FakeText, "Shown");
    {
        SCOPED_TRACE("a scripted answer comes first");
        StandInQueueMessageBoxAnswer(IDYES);
        EXPECT_EQ(MessageBoxA(nullptr, "Scripted", nullptr, MB_YESNO), IDYES);
        EXPECT_EQ(FakeText, "Shown");
    }
    {
        SCOPED_TRACE("a failing call shows nothing");
        StandInFailCall("MessageBoxA");
        EXPECT_EQ(MessageBoxA(nullptr, "Failing", nullptr, MB_OK), 0);
        EXPECT_EQ(FakeText, "Shown");
    }
    StandInReset();
    EXPECT_NE(PresentMessageBox, FakePresentation);
}

TEST(StandInMessageBox, KeysOnTheTerminal) {
    struct Case {
        UINT type;
        int key;
        int answer;
    };
    const Case cases[] = {
        {MB_YESNOCANCEL, '\r', IDYES},
        {MB_YESNOCANCEL, 'n', IDNO},
        {MB_YESNOCANCEL, 'Y', IDYES},
        {MB_YESNOCANCEL, 'c', IDCANCEL},
        {MB_YESNOCANCEL, 0x1B, IDCANCEL},
        {MB_YESNOCANCEL, 'x', 0},
        {MB_YESNO, 0x1B, 0},
        {MB_YESNO, 'c', 0},
        {MB_YESNO, '\n', IDYES},
        {MB_OK, '\r', IDOK},
        {MB_OK, 0x1B, IDOK},
        {MB_OK, 'o', IDOK},
        {MB_OK, 'y', 0},
        {MB_OKCANCEL, 0x1B, IDCANCEL},
        {MB_OKCANCEL, '\r', IDOK},
        {MB_OKCANCEL, 'C', IDCANCEL},
        {MB_OKCANCEL, 'n', 0},
        {MB_YESNO, 'o', 0},
        {2 /* MB_ABORTRETRYIGNORE, not offered */, '\r', 0},
        {2, 0x1B, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.type) + " key " + std::to_string(test.key));
        EXPECT_EQ(MessageBoxAnswerForKey(test.type, test.key), test.answer);
    }
}

// The question on a pseudo terminal: a key that means nothing is passed over.
TEST(StandInMessageBox, TheQuestionOnATerminal) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(slave, STDIN_FILENO);
        dup2(slave, STDERR_FILENO);
        std::exit(PresentOnTerminal(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL));
    }
    ASSERT_EQ(write(master, "xn", 2), 2);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), IDNO);
    close(master);
    close(slave);
}

TEST(StandInMessageBox, NoTerminalNoAnswer) {
    EXPECT_EXIT(
        {
            // Standard input that is not a terminal.
            int pipeEnds[2];
            if (pipe(pipeEnds) != 0)
                std::exit(99);
            dup2(pipeEnds[0], STDIN_FILENO);
            std::exit(PresentOnTerminal(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL));
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
