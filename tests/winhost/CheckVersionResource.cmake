cmake_minimum_required(VERSION 3.25)

# Reads a Windows DLL's version resource back with windres and holds it to
# the product's version header (cmake -P):
#   WINDRES    <arch>-w64-mingw32-windres
#   LIBRARY    the DLL
#   HEADER     the generated ProductVersion.h
#   WORD_SIZE  32 or 64: the hosts the file description must name

file(STRINGS ${HEADER} defines REGEX "^#define ZQ3R_[A-Z_]+ ")
foreach(line IN LISTS defines)
  string(REGEX MATCH "^#define (ZQ3R_[A-Z_]+) \"?([^\"]*)\"?$" _ "${line}")
  set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()

execute_process(COMMAND ${WINDRES} -J coff -O rc -i ${LIBRARY} OUTPUT_VARIABLE script RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${WINDRES} cannot read the resources of ${LIBRARY}")
endif()
string(FIND "${script}" "VERSIONINFO" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${LIBRARY} has no version resource")
endif()
string(SUBSTRING "${script}" ${start} -1 version_info)

set(problems "")
set(numbers "${ZQ3R_VERSION_MAJOR}, ${ZQ3R_VERSION_MINOR}, ${ZQ3R_VERSION_PATCH}, 0")
foreach(field FILEVERSION PRODUCTVERSION)
  if(NOT version_info MATCHES "\n ${field} ([0-9, ]+)\n")
    list(APPEND problems "no ${field}")
  elseif(NOT CMAKE_MATCH_1 STREQUAL numbers)
    list(APPEND problems "${field} is ${CMAKE_MATCH_1}, expected ${numbers}")
  endif()
endforeach()

get_filename_component(file_name ${LIBRARY} NAME)
set(expected_CompanyName "${ZQ3R_VENDOR_NAME}")
set(expected_ProductName "${ZQ3R_PRODUCT_NAME}")
set(expected_FileVersion "${ZQ3R_VERSION_TEXT}")
set(expected_ProductVersion "${ZQ3R_VERSION_TEXT}")
set(expected_LegalCopyright "${ZQ3R_COPYRIGHT}")
set(expected_OriginalFilename "${file_name}")
set(expected_FileDescription "${ZQ3R_PRODUCT_NAME}, VST plug-in for ${WORD_SIZE}-bit hosts")
set(shown "")
foreach(key CompanyName FileDescription FileVersion LegalCopyright OriginalFilename ProductName ProductVersion)
  if(NOT version_info MATCHES "VALUE \"${key}\", \"([^\"]*)\"")
    list(APPEND problems "no ${key}")
  elseif(NOT CMAKE_MATCH_1 STREQUAL expected_${key})
    list(APPEND problems "${key} is \"${CMAKE_MATCH_1}\", expected \"${expected_${key}}\"")
  else()
    string(APPEND shown "\n  ${key}: ${CMAKE_MATCH_1}")
  endif()
endforeach()

if(problems)
  string(REPLACE ";" "\n  " shown_problems "${problems}")
  message(FATAL_ERROR "${LIBRARY}'s version resource:\n  ${shown_problems}")
endif()
message(STATUS "${LIBRARY}: version ${numbers}${shown}")
