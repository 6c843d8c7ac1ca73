# Compiler and linker settings shared by every target of the product.

set(ZQ3R_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined or thread")

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(ZQ3R_SANITIZE)
  add_compile_options(-fsanitize=${ZQ3R_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZQ3R_SANITIZE})
  if(ZQ3R_SANITIZE MATCHES "undefined")
    # The product is built without RTTI, which the vptr check needs.
    add_compile_options(-fno-sanitize=vptr)
  endif()
endif()

if(WIN32)
  # Hosts load the DLL without our runtime beside it: link the compiler's
  # runtime statically so that only system DLLs are imported.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The oldest Windows each DLL loads on: Windows XP for the 32-bit one, the
  # first 64-bit Windows (XP x64, Server 2003) for the other. The system
  # headers declare nothing newer, the DLL's header states it, and the
  # import-table tests (tests/winhost) hold the DLL to it.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ZQ3R_WINDOWS_MINIMUM 5.1)
  else()
    set(ZQ3R_WINDOWS_MINIMUM 5.2)
  endif()
  string(REPLACE "." ";" windows_version "${ZQ3R_WINDOWS_MINIMUM}")
  list(GET windows_version 0 ZQ3R_WINDOWS_MAJOR)
  list(GET windows_version 1 ZQ3R_WINDOWS_MINOR)
  math(EXPR windows_version_hex "${ZQ3R_WINDOWS_MAJOR} * 256 + ${ZQ3R_WINDOWS_MINOR}" OUTPUT_FORMAT HEXADECIMAL)
  add_compile_definitions(_WIN32_WINNT=${windows_version_hex} WINVER=${windows_version_hex})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # SSE arithmetic gives the same float results as the 64-bit builds, and
    # hosts may call us with a 4-byte aligned stack. The entry point checks
    # for SSE2 before anything else runs (host/LibraryEntry.cpp).
    add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
  endif()
endif()

# The product's own code: no exceptions, no RTTI, plain classes.
function(zq3r_product_target target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
endfunction()

# Every target builds its test programs. The build machines' kernel refuses
# 32-bit programs, so those of the 32-bit target run in an emulated PC
# (scripts/machine): only the ones marked for it, all in one boot.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ZQ3R_TESTS_IN_MACHINE ON)
else()
  set(ZQ3R_TESTS_IN_MACHINE OFF)
endif()
