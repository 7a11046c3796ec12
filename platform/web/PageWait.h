// The page's program gives the browser its turn only when it waits (Asyncify unwinds it to
// the event loop), and the browser shows the page only then. So what the program presented
// since its last wait is drawn onto the canvas just before the next one, off the frame's
// time where the wait is a timed one.
#pragma once

// Waits for the browser's turn: tells the presentation first (the canvas is drawn), then
// sleeps for at least the milliseconds.
void WaitInPage(unsigned milliseconds);
