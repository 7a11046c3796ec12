# Turns a binary PPM or PGM file into a C++ source that defines a constant byte array.
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=Array -DMAGIC=P6|P5 -DWIDTH=w -DHEIGHT=h
#         [-DADD_FOURTH_BYTE=ON] -P EmbedTable.cmake
# The file must have exactly the header "MAGIC\nWIDTH HEIGHT\n255\n" (as the generators
# write it) and exactly the pixel bytes that follow; anything else stops the build.
# ADD_FOURTH_BYTE appends the byte 255 to every 3-byte pixel (red, green, blue, 255).
cmake_minimum_required(VERSION 3.25)

if(MAGIC STREQUAL "P6")
    set(channels 3)
else()
    set(channels 1)
endif()
set(header "${MAGIC}\n${WIDTH} ${HEIGHT}\n255\n")
string(LENGTH "${header}" headerLength)
string(HEX "${header}" headerHex)
math(EXPR pixelBytes "${WIDTH} * ${HEIGHT} * ${channels}")

file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" contentLength)
math(EXPR expectedLength "(${headerLength} + ${pixelBytes}) * 2")
math(EXPR headerHexLength "${headerLength} * 2")
string(SUBSTRING "${content}" 0 ${headerHexLength} foundHeader)
if(NOT foundHeader STREQUAL headerHex OR NOT contentLength EQUAL expectedLength)
    message(FATAL_ERROR "${INPUT}: not a ${MAGIC} file of ${WIDTH} x ${HEIGHT} with maxval 255")
endif()

string(SUBSTRING "${content}" ${headerHexLength} -1 pixels)
if(ADD_FOURTH_BYTE)
    set(hex6 "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]")
    string(REGEX REPLACE "(${hex6})" "\\1ff" pixels "${pixels}")
endif()
# Sixteen bytes to a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," pixels "${pixels}")
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n" pixels "${pixels}")

get_filename_component(inputName "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${inputName} at build time; do not edit.\n"
    "#include \"BumpEffect.h\"\n\n"
    "const uint8_t ${NAME}[] = {\n${pixels}};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
