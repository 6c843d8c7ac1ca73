cmake_minimum_required(VERSION 3.25)

# Checks that the native library exports exactly its two entry points
# (cmake -P with NM and LIBRARY): hosts scan every library in a plug-in
# folder, and nothing of the plug-in's code or the platform layer may clash
# with theirs.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} -D --defined-only ${LIBRARY} failed")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(exports "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]* *[A-Za-z] (.+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT exports)
message(STATUS "${LIBRARY} exports: ${exports}")
if(NOT exports STREQUAL "VSTPluginMain;main")
  message(FATAL_ERROR "expected exactly VSTPluginMain and main")
endif()
