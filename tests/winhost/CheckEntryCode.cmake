cmake_minimum_required(VERSION 3.25)

# The code of a 32-bit DLL that runs before it knows the processor has SSE2
# must use none (cmake -P):
#   OBJDUMP  i686-w64-mingw32-objdump
#   LIBRARY  the DLL
#   ENTRIES  the entry points that check first (main, DllMain): themselves
#            free of SSE, up to the calls they make once the check passed
# The runtime's start-up code, the static constructors and the exit
# handlers run whatever the processor, when the DLL is loaded and unloaded:
# they and everything they call directly must be free of SSE too.

# Instructions of SSE and SSE2, or operands in their registers.
set(sse_pattern "%xmm|%ymm|[lms]fence|movnti|clflush|[ls]dmxcsr|maskmovq|prefetch(nta|t[0-2])")

execute_process(COMMAND ${OBJDUMP} -t ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -t ${LIBRARY} failed")
endif()
string(REGEX MATCHALL "\\(scl +[0-9]+\\) \\(nx [0-9]+\\) 0x[0-9a-f]+ ([^\n]*(_GLOBAL__sub_[ID]_|__tcf_[0-9]+)[^\n]*)"
       startup_lines "${symbols}")
set(startup "")
if(symbols MATCHES " 0x[0-9a-f]+ (_?DllMainCRTStartup(@12)?)\n")
  list(APPEND startup ${CMAKE_MATCH_1})
endif()
foreach(line IN LISTS startup_lines)
  string(REGEX REPLACE "^.* 0x[0-9a-f]+ " "" name "${line}")
  list(APPEND startup "${name}")
endforeach()

# Disassembles one function; sets <instructions> to its SSE instructions
# and <callees> to the functions of the DLL it calls or jumps to.
function(disassemble function instructions callees)
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn --disassemble=${function} ${LIBRARY}
                  OUTPUT_VARIABLE code RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT code MATCHES "<${function}>:")
    message(FATAL_ERROR "${LIBRARY} has no function ${function}")
  endif()
  string(REGEX MATCHALL "[^\n]*(${sse_pattern})[^\n]*" found "${code}")
  string(REGEX MATCHALL "(call|jmp) +[0-9a-f]+ <[^>+]+>" targets "${code}")
  list(TRANSFORM targets REPLACE "^.*<([^>]+)>$" "\\1")
  list(REMOVE_ITEM targets ${function})
  set(${instructions} "${found}" PARENT_SCOPE)
  set(${callees} "${targets}" PARENT_SCOPE)
endfunction()

set(problems "")
foreach(entry IN LISTS ENTRIES)
  disassemble("${entry}" found callees)
  if(found)
    list(APPEND problems "${entry}: ${found}")
  endif()
endforeach()

# Whatever the loader runs, and what that calls, breadth first.
set(pending ${startup})
set(seen ${ENTRIES})
while(pending)
  list(POP_FRONT pending function)
  if(function IN_LIST seen)
    continue()
  endif()
  list(APPEND seen ${function})
  disassemble("${function}" found callees)
  if(found)
    list(APPEND problems "${function}: ${found}")
  endif()
  list(APPEND pending ${callees})
endwhile()

list(LENGTH seen checked)
if(problems)
  string(REPLACE ";" "\n  " shown "${problems}")
  message(FATAL_ERROR "${LIBRARY} runs SSE before it knows the processor has it:\n  ${shown}")
endif()
string(REPLACE ";" " " shown_startup "${startup}")
message(STATUS "${LIBRARY}: no SSE in ${checked} functions: the entry points, the start-up code, the static "
               "constructors and exit handlers (${shown_startup}) and what they call")
