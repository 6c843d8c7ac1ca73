cmake_minimum_required(VERSION 3.25)

# Checks the image of a Windows plug-in DLL with objdump (cmake -P):
#   OBJDUMP    <arch>-w64-mingw32-objdump
#   LIBRARY    the DLL
#   FORMAT     pei-i386 or pei-x86-64
#   MAGIC      PE32 or PE32+
#   EXPORTS    the exported names, exactly
#   RESOURCE_SCRIPT  the script whose bitmaps the DLL must carry
# The DLL must import system DLLs only: hosts load it without our runtime.

set(problems "")

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE image RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()
string(REPLACE "\n" ";" lines "${image}")

# Format and machine.
if(NOT image MATCHES "file format ${FORMAT}\n")
  list(APPEND problems "not of format ${FORMAT}")
endif()
string(REPLACE "+" "\\+" magic_pattern "${MAGIC}")
if(NOT image MATCHES "Magic[ \t]+[0-9a-f]+[ \t]+\\(${magic_pattern}\\)")
  list(APPEND problems "optional header is not ${MAGIC}")
endif()

# Exports: the names under the name pointer table.
set(exports "")
set(in_names FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
    set(in_names TRUE)
  elseif(in_names AND line MATCHES "^[ \t]+\\[ *[0-9]+\\] ([^ \t]+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  elseif(in_names AND line STREQUAL "")
    set(in_names FALSE)
  endif()
endforeach()
list(SORT exports)
set(expected_exports ${EXPORTS})
list(SORT expected_exports)
if(NOT exports STREQUAL expected_exports)
  string(REPLACE ";" " " found "${exports}")
  string(REPLACE ";" " " wanted "${expected_exports}")
  list(APPEND problems "exports are [${found}], expected [${wanted}]")
endif()

# Imports: system DLLs only.
set(imports "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: (.+)$")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
    list(APPEND imports "${dll}")
    if(NOT dll MATCHES "^(kernel32|user32|gdi32|msvcrt)\\.dll$" AND NOT dll MATCHES "^api-ms-win-crt-[a-z0-9-]+\\.dll$")
      list(APPEND problems "imports ${dll}, which is not a system DLL")
    endif()
  endif()
endforeach()

# Bitmap resources: type 2 in the resource directory, one entry per id of
# the script, each leaf as large as its file without the file header.
set(bitmap_ids "")
set(in_bitmaps FALSE)
set(current_id "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+   Entry: ID: 0x([0-9a-f]+)")
    set(in_bitmaps FALSE)
    if(CMAKE_MATCH_1 STREQUAL "000002")
      set(in_bitmaps TRUE)
    endif()
  elseif(in_bitmaps AND line MATCHES "^[0-9a-f]+     Entry: ID: 0x([0-9a-f]+)")
    math(EXPR current_id "0x${CMAKE_MATCH_1}")
    list(APPEND bitmap_ids ${current_id})
  elseif(in_bitmaps AND line MATCHES "Leaf: Addr: 0x[0-9a-f]+, Size: 0x([0-9a-f]+)")
    math(EXPR size_${current_id} "0x${CMAKE_MATCH_1}")
  endif()
endforeach()

file(STRINGS ${RESOURCE_SCRIPT} script_lines REGEX "^[0-9]+[ \t]+BITMAP[ \t]+\"")
get_filename_component(script_dir ${RESOURCE_SCRIPT} DIRECTORY)
set(expected_ids "")
foreach(line IN LISTS script_lines)
  string(REGEX MATCH "^([0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\"" _ "${line}")
  set(id ${CMAKE_MATCH_1})
  list(APPEND expected_ids ${id})
  file(SIZE "${script_dir}/${CMAKE_MATCH_2}" file_size)
  math(EXPR resource_size "${file_size} - 14")
  if(NOT id IN_LIST bitmap_ids)
    list(APPEND problems "bitmap ${id} is missing")
  elseif(NOT size_${id} EQUAL resource_size)
    list(APPEND problems "bitmap ${id} has ${size_${id}} bytes, its file ${resource_size} without the header")
  endif()
endforeach()

list(LENGTH expected_ids bitmap_count)
string(REPLACE ";" " " shown_exports "${exports}")
string(REPLACE ";" " " shown_imports "${imports}")
message(STATUS "${LIBRARY}: ${FORMAT}, ${MAGIC}; exports: ${shown_exports}; imports: ${shown_imports}; "
               "${bitmap_count} bitmaps")
if(problems)
  string(REPLACE ";" "\n  " shown_problems "${problems}")
  message(FATAL_ERROR "${LIBRARY}:\n  ${shown_problems}")
endif()
