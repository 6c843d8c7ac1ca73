# Test programs of the 32-bit target, run in the emulated PC of
# scripts/machine under 32-bit Wine. A boot and a cold start of Wine cost half
# a minute each, so one boot runs every program: the boot is a CTest fixture
# test, and each program has a test of its own that reports what it did in
# there. The job folder holds the job, one line per program and the results.
#
# Emulated code runs some 30 times slower, so only the suites where the word
# size matters are marked for the machine: the engine's arithmetic, the host
# bridge's record and dispatcher, the editor, and the Windows test host with
# the DLL itself. The window layer's and the toolkit's suites run under Wine
# in the 64-bit build.

set(ZQ3R_MACHINE_JOB ${CMAKE_BINARY_DIR}/machine-job)

# zq3r_add_machine_test(<name> <program target> <arguments...>)
function(zq3r_add_machine_test name program)
  set(command "'$<TARGET_FILE:${program}>'")
  foreach(argument IN LISTS ARGN)
    string(APPEND command " '${argument}'")
  endforeach()
  file(GENERATE OUTPUT ${ZQ3R_MACHINE_JOB}/programs/${name}.sh
       CONTENT "exec /usr/lib/wine/wine ${command}\n")
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DJOB=${ZQ3R_MACHINE_JOB} -DPROGRAM=${name}
            -P ${PROJECT_SOURCE_DIR}/cmake/MachineJob.cmake)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED machine_run LABELS machine TIMEOUT 60)
  set_property(GLOBAL APPEND PROPERTY ZQ3R_MACHINE_PROGRAMS ${name})
endfunction()

# The boot, once every program is known. The machine sees the source and
# build trees at their own paths, as the paths compiled into the programs
# name them; the image is built first if this machine has none yet.
function(zq3r_add_machine_run)
  get_property(programs GLOBAL PROPERTY ZQ3R_MACHINE_PROGRAMS)
  if(NOT programs)
    return()
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/MachineJob.sh ${ZQ3R_MACHINE_JOB}/job.sh COPYONLY)
  string(REPLACE ";" "\n" program_lines "${programs}")
  file(WRITE ${ZQ3R_MACHINE_JOB}/programs.txt "${program_lines}\n")
  add_test(NAME machine_run
    COMMAND ${CMAKE_COMMAND} -DJOB=${ZQ3R_MACHINE_JOB} -DRUN=${PROJECT_SOURCE_DIR}/scripts/machine/run-job.sh
            -DSOURCE=${PROJECT_SOURCE_DIR} -DBUILD=${CMAKE_BINARY_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/MachineJob.cmake)
  set_tests_properties(machine_run PROPERTIES FIXTURES_SETUP machine_run LABELS machine TIMEOUT 3600)
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL zq3r_add_machine_run)
