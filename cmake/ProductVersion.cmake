# The product's version and names. The version is project(VERSION) in the
# top-level CMakeLists.txt and nowhere else; the copyright line is LICENSE's.
# Everything that shows them reads the header written here: the record the
# host reads and the DLLs' version resource in the build, and, from a build
# tree, debian/rules (which holds the changelog to it) and scripts/package.sh
# (which names the zip by it).

set(ZQ3R_PRODUCT_NAME "ZQ3R Compressor")
set(ZQ3R_VENDOR_NAME "ZQ3R")

file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE ZQ3R_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
if(NOT ZQ3R_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no line that begins with \"Copyright \"")
endif()

# The record's 32-bit version field, read digit by digit as hosts show a
# plug-in's version: 1.1.0 is 1100 (major * 1000 + minor * 100 + patch * 10;
# the last digit stays 0). Minor and patch must each fit one digit.
foreach(part MINOR PATCH)
  if(PROJECT_VERSION_${part} GREATER 9)
    message(FATAL_ERROR "version ${PROJECT_VERSION}: the record's version field holds one digit "
                        "for the ${part} number (see cmake/ProductVersion.cmake)")
  endif()
endforeach()
math(EXPR ZQ3R_VERSION_CODE
  "${PROJECT_VERSION_MAJOR} * 1000 + ${PROJECT_VERSION_MINOR} * 100 + ${PROJECT_VERSION_PATCH} * 10")

set(ZQ3R_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProductVersion.h.in ${ZQ3R_GENERATED_DIR}/ProductVersion.h @ONLY)

add_library(zq3r_product_version INTERFACE)
target_include_directories(zq3r_product_version INTERFACE ${ZQ3R_GENERATED_DIR})
