"""Helpers shared by the end-to-end runs of the Linux program (tests/screen) and of the
Windows program under Wine (tests/wine): frames and screenshots (frames); the test's own X
server, window lookup, key typing and the window manager (xscreen); the Linux program
driven on a pseudo-terminal (program, also used by bench/measure-fps.py). The bash scripts
reach them through the modules' command lines (python3 -m e2e.frames, -m e2e.xscreen)."""
