# Writes a C++ table of the bitmaps that the resource script numbers, for the
# builds whose loader has no resource section (cmake -P, with RC and OUTPUT).
file(STRINGS "${RC}" lines REGEX "^[0-9]+[ \t]+BITMAP[ \t]+\"")
get_filename_component(rc_dir "${RC}" DIRECTORY)

set(arrays "")
set(entries "")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\"" _ "${line}")
  set(id "${CMAKE_MATCH_1}")
  set(path "${rc_dir}/${CMAKE_MATCH_2}")
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "static const unsigned char bitmap${id}[] = {${bytes}};\n")
  string(APPEND entries "    {${id}, bitmap${id}, ${size}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp"
"// Generated from the resource script; do not edit.\n"
"#include \"resources/EmbeddedBitmaps.h\"\n\n"
"${arrays}\n"
"const EmbeddedBitmap embeddedBitmaps[] = {\n${entries}};\n"
"const size_t embeddedBitmapCount = sizeof(embeddedBitmaps) / sizeof(embeddedBitmaps[0]);\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
