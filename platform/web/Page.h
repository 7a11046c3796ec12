// The stand-in in a web page: the canvas, the console panel and the in-page message box
// take the place of SDL2's windows and the terminal. Shared internals of the page's
// edges; the stand-in reaches them through its presentation hooks, PresentMessageBox and
// the console and clock functions of StandInEdge.h. The page's own script (page/page.js)
// holds the other side of every call here.
#pragma once

#include "PageWait.h"

#include <StandInEdge.h>

// --- Windows and the screen (PageScreen.cpp) ------------------------------------------------
// The presentation hooks: the visible top-level window is the canvas, showing the
// screen's pixels of its client area under its title; a display mode shows the whole
// screen, enlarged by the largest whole factor that fits the page.
void DescribePageDesktop(StandInDisplay* display);
bool CanShowPageWindows();
void PageWindowChanged(HWND window);
void PageWindowDestroyed(HWND window);
void PageCursorCountChanged(int count);
void PageScreenChanged(const RECT& area);
void PageScreenModeChanged(bool modeSet);
// A change of the screen only marks the canvas out of date; this draws it (the hooks'
// waitBegins).
void DrawPendingScreen();

// --- Input (PageInput.cpp) -------------------------------------------------------------------
// The presentation hooks: keys typed on the canvas become key messages for the focused
// window.
void TakePageInput();
bool WaitForPageInput();

// --- Message boxes (PageMessageBox.cpp) -------------------------------------------------------
// PresentMessageBox of the page: the in-page box, waited on until a button is clicked.
int ShowMessageBoxInPage(HWND owner, const char* text, const char* caption, UINT type);
