"""Helpers shared by the end-to-end runs of the Linux program (tests/screen) and of the
Windows program under Wine (tests/wine): frames and screenshots (frames); the test's own X
server, window lookup, key typing and the window manager (xscreen); the test's Wayland
desktop, weston shown in that X server (wayland); the Linux program driven on a
pseudo-terminal and the cases' runner (program, also used by bench/measure-fps.py); the
web page's local server and headless Chromium (webpage, for
tests/web and the page's measurements). The bash scripts reach them through the modules'
command lines (python3 -m e2e.frames, -m e2e.xscreen)."""
