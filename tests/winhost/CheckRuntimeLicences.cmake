cmake_minimum_required(VERSION 3.25)

# Holds what the linker put into a Windows DLL to the licences the Windows
# zip ships (cmake -P):
#   MAP       the linker's map of the DLL
#   LICENCES  docs/windows/THIRD-PARTY-LICENSES.txt, whose "Linked from:"
#             lines name every runtime file that may be linked in
# Our own archives are linked by paths inside the build tree; the system
# DLLs' import libraries carry no code of anyone's.

set(system_imports libkernel32.a libuser32.a libgdi32.a libmsvcrt.a)

file(STRINGS ${LICENCES} licence_lines REGEX "^Linked from: ")
set(licensed "")
foreach(line IN LISTS licence_lines)
  string(REGEX REPLACE "^Linked from: " "" files "${line}")
  separate_arguments(files UNIX_COMMAND "${files}")
  list(APPEND licensed ${files})
endforeach()

# Archive members pulled in stand at the start of their line in the map's
# first section; start-up objects are loaded by name.
file(STRINGS ${MAP} map_lines)
set(linked "")
set(in_members FALSE)
foreach(line IN LISTS map_lines)
  if(line MATCHES "^Archive member included")
    set(in_members TRUE)
  elseif(line MATCHES "^(Discarded input sections|Allocating common symbols|Memory Configuration)")
    set(in_members FALSE)
  elseif(in_members AND line MATCHES "^(/[^( ]+\\.a)\\(")
    list(APPEND linked "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^LOAD (/[^ ]+\\.o)$")
    list(APPEND linked "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES linked)

set(problems "")
set(shown "")
foreach(path IN LISTS linked)
  get_filename_component(name ${path} NAME)
  if(name IN_LIST system_imports)
    continue()
  endif()
  list(APPEND shown ${name})
  if(NOT name IN_LIST licensed)
    list(APPEND problems "${path} is linked in, but ${LICENCES} gives no licence for it")
  endif()
endforeach()

if(NOT shown)
  message(FATAL_ERROR "${MAP} names no runtime file: is it the linker's map?")
endif()
if(problems)
  string(REPLACE ";" "\n  " shown_problems "${problems}")
  message(FATAL_ERROR "${shown_problems}")
endif()
list(SORT shown)
string(REPLACE ";" " " shown "${shown}")
message(STATUS "runtime parts linked in, each with its licence: ${shown}")
