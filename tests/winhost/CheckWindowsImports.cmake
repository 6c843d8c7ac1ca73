cmake_minimum_required(VERSION 3.25)

# Holds a Windows DLL to the oldest Windows it is meant for (cmake -P):
#   OBJDUMP      <arch>-w64-mingw32-objdump
#   LIBRARY      the DLL
#   IMPORT_LIST  windows-imports.txt: the functions it may import, each with
#                the first Windows that has it
#   CHECK        imports: every imported function is listed and exists in
#                         Windows MINIMUM (e.g. 5.1, Windows XP);
#                header:  the header's OS and subsystem versions both state
#                         the newest version the imports need (or the first
#                         Windows of the DLL's machine type, if that is newer)

# Ends the check with every problem found, under a heading.
function(fail_on_problems heading problems)
  if(problems)
    string(REPLACE ";" "\n  " shown "${problems}")
    message(FATAL_ERROR "${heading}:\n  ${shown}")
  endif()
endfunction()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE image RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()
string(REPLACE "\n" ";" lines "${image}")

# The list: first_<dll>_<function> and first_machine_<format> hold versions.
file(STRINGS ${IMPORT_LIST} entries REGEX "^[a-z]")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^([a-z0-9]+)[ \t]+([^ \t]+)[ \t]+([0-9]+\\.[0-9]+)[ \t]*$")
    message(FATAL_ERROR "${IMPORT_LIST}: cannot read the line '${entry}'")
  endif()
  set("first_${CMAKE_MATCH_1}_${CMAKE_MATCH_2}" ${CMAKE_MATCH_3})
endforeach()

# The imported names, as dll/function, under each "DLL Name:" of the import
# tables; ordinals have no name and are never listed.
set(imports "")
set(dll "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: ([^ \t]+)\\.[dD][lL][lL]$")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
  elseif(line MATCHES "^[ \t]*$" OR line MATCHES "^ [0-9a-f]+\t")
    set(dll "")
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([^ \t]+)$")
    list(APPEND imports "${dll}/${CMAKE_MATCH_1}")
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +([0-9]+) +<none>$")
    list(APPEND imports "${dll}/#${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT imports)
  message(FATAL_ERROR "${LIBRARY}: no imports found in the output of ${OBJDUMP} -p")
endif()
list(LENGTH imports import_count)

if(CHECK STREQUAL "imports")
  set(problems "")
  foreach(import IN LISTS imports)
    string(REPLACE "/" "_" key "${import}")
    if(NOT DEFINED "first_${key}")
      list(APPEND problems "${import} is not in ${IMPORT_LIST}: look up its minimum Windows and add it")
    elseif("${first_${key}}" VERSION_GREATER MINIMUM)
      list(APPEND problems "${import} needs Windows ${first_${key}}, newer than ${MINIMUM}")
    endif()
  endforeach()
  fail_on_problems("${LIBRARY} cannot load on Windows ${MINIMUM}" "${problems}")
  message(STATUS "${LIBRARY}: all ${import_count} imports exist in Windows ${MINIMUM}")

elseif(CHECK STREQUAL "header")
  if(NOT image MATCHES "file format ([^ \n]+)\n")
    message(FATAL_ERROR "${LIBRARY}: no file format in the output of ${OBJDUMP} -p")
  endif()
  set(format ${CMAKE_MATCH_1})
  if(NOT DEFINED first_machine_${format})
    message(FATAL_ERROR "${IMPORT_LIST} names no first Windows for ${format}")
  endif()
  set(needed ${first_machine_${format}})
  set(needed_by "the machine type ${format}")
  foreach(import IN LISTS imports)
    string(REPLACE "/" "_" key "${import}")
    if(NOT DEFINED "first_${key}")
      message(FATAL_ERROR "${import} is not in ${IMPORT_LIST}: its minimum Windows is unknown")
    endif()
    if("${first_${key}}" VERSION_GREATER needed)
      set(needed ${first_${key}})
      set(needed_by ${import})
    endif()
  endforeach()

  set(problems "")
  foreach(field OSystem Subsystem)
    set(stated "")
    foreach(part Major Minor)
      if(NOT image MATCHES "${part}${field}Version\t+([0-9]+)\n")
        message(FATAL_ERROR "${LIBRARY}: no ${part}${field}Version in the output of ${OBJDUMP} -p")
      endif()
      list(APPEND stated ${CMAKE_MATCH_1})
    endforeach()
    string(REPLACE ";" "." stated "${stated}")
    if(NOT stated VERSION_EQUAL needed)
      list(APPEND problems "the header states ${field}Version ${stated}, the imports need ${needed} (for one, ${needed_by})")
    endif()
  endforeach()
  fail_on_problems("${LIBRARY}" "${problems}")
  message(STATUS "${LIBRARY}: the header states Windows ${needed}, as its ${import_count} imports need "
                 "(for one, ${needed_by})")
else()
  message(FATAL_ERROR "CHECK must be imports or header")
endif()
