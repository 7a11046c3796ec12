# The web page: Debian's emscripten toolchain. Its JavaScript optimiser, run at link
# time under node, needs Debian's node modules (acorn) on NODE_PATH.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "env NODE_PATH=/usr/share/nodejs")
