// The console the program was started from: text output and key polling.
#pragma once

#include <windows.h>

// Takes the console's input and output handles; runs first among the module inits.
void InitConsole();

// Writes text as it stands; line ends are the caller's ("\r\n").
void WriteConsoleText(const char* text);

// True when a key has been pressed since keys were last taken. Never waits. Consumes
// the input events it examines; a key press it finds stays pending until ReadConsoleKey.
// Releases, modifier keys alone (Shift, Ctrl, Alt, Caps/Num/Scroll Lock), mouse, focus,
// menu and buffer-size events never count.
bool ConsoleKeyPressed();

// Takes the pending key press (waiting for one if none is pending) and returns its
// character, 0 for keys without one.
char ReadConsoleKey();

// True for an input event that counts as a key press: a key-down of any key but a
// modifier or lock key.
bool IsKeyPress(const INPUT_RECORD& record);
