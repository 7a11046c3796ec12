// The control interface's general part: resetting the stand-in, the display
// description and screen mode, and the dump of what a process did.
#include "StandInPrivate.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

StandInDisplay Display;
// The presentation describes the real desktop once, unless a test set the display.
bool DesktopDescribed = false;
bool ModeSet = false;
ScreenMode Mode{};

std::string DumpPath;

// One record per line: quotes, backslashes and line ends are escaped.
std::string Escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\n':
            result += "\\n";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string Unescaped(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        const char next = text[++i];
        result += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return result;
}

void WriteDump() {
    std::ofstream file(DumpPath, std::ios::binary | std::ios::trunc);
    for (const std::string& call : StandInCallLog())
        file << "call " << Escaped(call) << '\n';
    for (const StandInMessageBox& box : StandInMessageBoxes()) {
        file << "box " << (box.owner == nullptr ? "NULL" : "ptr") << ' ' << box.type << ' '
             << box.answer << ' ' << (box.captionIsNull ? "NULL" : "text") << '\n';
        file << "caption " << Escaped(box.caption) << '\n';
        file << "text " << Escaped(box.text) << '\n';
    }
    file << "console " << Escaped(StandInConsoleOutput()) << '\n';
}

} // namespace

void StandInReset() {
    EnableCallLog(true);
    ResetCallLog();
    ResetDirectDraw();
    ResetWindows();
    ResetMessageBoxes();
    ResetConsole();
    ResetKernel();
    ResetHeap();
    Display = StandInDisplay{};
    DesktopDescribed = true;
    ModeSet = false;
}

PresentationHooks PresentationLayer{};

const StandInDisplay& CurrentDisplay() {
    if (!DesktopDescribed) {
        DesktopDescribed = true;
        if (PresentationLayer.describeDesktop != nullptr)
            PresentationLayer.describeDesktop(&Display);
    }
    return Display;
}

void StandInSetDisplay(const StandInDisplay& display) {
    Display = display;
    DesktopDescribed = true;
}

StandInDisplay StandInGetDisplay() {
    return Display;
}

ScreenMode CurrentScreenMode() {
    if (ModeSet)
        return Mode;
    return ScreenMode{Display.desktopWidth, Display.desktopHeight, Display.desktopBitsPerPixel,
                      Display.desktopRedMask16};
}

void SetScreenMode(const ScreenMode& mode) {
    Mode = mode;
    ModeSet = true;
    if (PresentationLayer.screenModeChanged != nullptr)
        PresentationLayer.screenModeChanged(true);
}

void RestoreScreenMode() {
    const bool wasSet = ModeSet;
    ModeSet = false;
    if (wasSet && PresentationLayer.screenModeChanged != nullptr)
        PresentationLayer.screenModeChanged(false);
}

void StandInDumpAtExit(const std::string& path) {
    if (DumpPath.empty())
        std::atexit(WriteDump);
    DumpPath = path;
}

StandInDump StandInReadDump(const std::string& path) {
    StandInDump dump;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        const size_t space = line.find(' ');
        const std::string kind = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (kind == "call") {
            const std::string call = Unescaped(rest);
            dump.calls.push_back(call);
            dump.callNames.push_back(call.substr(0, call.find('(')));
        } else if (kind == "box") {
            std::istringstream fields(rest);
            std::string owner;
            std::string captionKind;
            StandInMessageBox box{};
            fields >> owner >> box.type >> box.answer >> captionKind;
            // The owner's handle means nothing outside its process: only null or not.
            box.owner = owner == "NULL" ? nullptr : reinterpret_cast<HWND>(&Display);
            box.captionIsNull = captionKind == "NULL";
            dump.boxes.push_back(box);
        } else if (kind == "caption" && !dump.boxes.empty()) {
            dump.boxes.back().caption = Unescaped(rest);
        } else if (kind == "text" && !dump.boxes.empty()) {
            dump.boxes.back().text = Unescaped(rest);
        } else if (kind == "console") {
            dump.console = Unescaped(rest);
        }
    }
    return dump;
}
