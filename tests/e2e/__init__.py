"""Helpers shared by the end-to-end runs of the Linux program (tests/screen) and of the
Windows program under Wine (tests/wine): frames and screenshots (frames), the test's own X
server, window lookup, key typing and the window manager (xscreen). The bash scripts reach
them through the modules' command lines (python3 -m e2e.frames, python3 -m e2e.xscreen)."""
