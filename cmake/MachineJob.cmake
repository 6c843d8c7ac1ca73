cmake_minimum_required(VERSION 3.25)

# The 32-bit test programs' run in the emulated PC (cmake -P), in two roles:
#   -DJOB=<job folder> -DRUN=<run-job.sh> -DSOURCE=<source tree> -DBUILD=<build tree>
#       boots the machine once and runs every program; passes when the
#       machine ran them all, whatever they found;
#   -DJOB=<job folder> -DPROGRAM=<name>
#       one program's result: its output, and its exit code as this test's.

if(DEFINED PROGRAM)
  set(exit_file ${JOB}/results/${PROGRAM}.exit)
  if(NOT EXISTS ${exit_file})
    message(FATAL_ERROR "${PROGRAM} did not run in the machine: there is no ${exit_file}")
  endif()
  file(READ ${JOB}/results/${PROGRAM}.log output)
  file(STRINGS ${exit_file} status LIMIT_COUNT 1)
  message(NOTICE "${output}")
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${PROGRAM} ended with exit code ${status} under 32-bit Wine")
  endif()
  return()
endif()

# Results of an earlier run must never pass for this one's.
file(REMOVE_RECURSE ${JOB}/results)
execute_process(COMMAND ${RUN} ${JOB} ${SOURCE} ${BUILD} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the machine did not run the 32-bit test programs (exit code ${status})")
endif()
