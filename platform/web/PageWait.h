// The page's program gives the browser its turn only when it waits (Asyncify unwinds it to
// the event loop), and the browser shows the page only then. So what the program presented
// since its last wait is drawn onto the canvas just before the next one, off the frame's
// time where the wait is a timed one.
#pragma once

// Draws what is out of date on the canvas; set at start-up by the page's presentation.
extern void (*BeforePageWait)();

// Waits for the browser's turn: draws first, then sleeps for at least the milliseconds.
void WaitInPage(unsigned milliseconds);
