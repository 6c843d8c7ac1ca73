# The plug-in: all of its code as one library, the library that hosts load,
# and the same code linked into programs (tests, tools) that drive it as a
# host does.

if(WIN32)
  enable_language(RC)
endif()

# --- The plug-in's code -------------------------------------------------------

add_library(zq3r_plugin STATIC
  ${PROJECT_SOURCE_DIR}/engine/CompressorEffect.cpp
  ${PROJECT_SOURCE_DIR}/engine/CompressorPlugin.cpp
  ${PROJECT_SOURCE_DIR}/host/PluginEntry.cpp
)
target_link_libraries(zq3r_plugin PUBLIC zq3r_engine zq3r_host zq3r_gui zq3r_editor zq3r_product_version)
zq3r_product_target(zq3r_plugin)

# The module's bitmaps. Windows modules carry them as resources compiled from
# the script; elsewhere zq3r_resources embeds them and the loader hook
# registers them with the window system.
if(WIN32)
  add_library(zq3r_module_resources OBJECT ${ZQ3R_RESOURCE_SCRIPT})
  target_compile_options(zq3r_module_resources PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:--include-dir=${PROJECT_SOURCE_DIR}/resources>)
  set_source_files_properties(${ZQ3R_RESOURCE_SCRIPT} PROPERTIES OBJECT_DEPENDS "${ZQ3R_BITMAP_FILES}")

  # What Windows shows in the DLL's properties: the library's alone, not the
  # programs that link the plug-in's code.
  add_library(zq3r_version_resource OBJECT ${PROJECT_SOURCE_DIR}/resources/version.rc)
  target_link_libraries(zq3r_version_resource PRIVATE zq3r_product_version)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/version.rc PROPERTIES
    OBJECT_DEPENDS ${ZQ3R_GENERATED_DIR}/ProductVersion.h)
endif()

# --- The library that hosts load ------------------------------------------------

# Hosts that find no name in a plug-in show its file name: no "lib" prefix.
add_library(zq3r-compressor SHARED ${PROJECT_SOURCE_DIR}/host/LibraryEntry.cpp)
set_target_properties(zq3r-compressor PROPERTIES PREFIX "" OUTPUT_NAME zq3r-compressor)
target_link_libraries(zq3r-compressor PRIVATE zq3r_plugin)
zq3r_product_target(zq3r-compressor)

if(WIN32)
  # The 32-bit library exports `main` alone, as 32-bit hosts expect; the
  # 64-bit one adds the name that hosts of today look for first.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(export_file ${PROJECT_SOURCE_DIR}/host/exports-win32.def)
    # The entry point runs before the processor is known to have SSE2.
    set_source_files_properties(${PROJECT_SOURCE_DIR}/host/LibraryEntry.cpp PROPERTIES
      COMPILE_OPTIONS "-mno-sse;-mfpmath=387")
  else()
    set(export_file ${PROJECT_SOURCE_DIR}/host/exports-win64.def)
  endif()
  target_sources(zq3r-compressor PRIVATE ${export_file} ${PROJECT_SOURCE_DIR}/host/AllocationFunctions.cpp)
  target_link_libraries(zq3r-compressor PRIVATE zq3r_module_resources zq3r_version_resource)
  # The header tells loaders and people the oldest Windows that runs it.
  target_link_options(zq3r-compressor PRIVATE
    -Wl,--major-os-version,${ZQ3R_WINDOWS_MAJOR},--minor-os-version,${ZQ3R_WINDOWS_MINOR}
    -Wl,--major-subsystem-version,${ZQ3R_WINDOWS_MAJOR},--minor-subsystem-version,${ZQ3R_WINDOWS_MINOR})
  # The linker's map names every runtime archive linked in, so that a test
  # can hold them to the licences the Windows zip lists.
  set(ZQ3R_LINK_MAP ${CMAKE_CURRENT_BINARY_DIR}/zq3r-compressor.map CACHE INTERNAL "")
  target_link_options(zq3r-compressor PRIVATE -Wl,-Map=${ZQ3R_LINK_MAP})
else()
  # The platform layer is linked inside with hidden symbols; the version
  # script lets only the entry points out.
  set(export_file ${PROJECT_SOURCE_DIR}/host/exports.map)
  target_link_libraries(zq3r-compressor PRIVATE zq3r_resources zq3r_platform)
  target_link_options(zq3r-compressor PRIVATE -Wl,--version-script=${export_file} -Wl,--no-undefined)
  set_target_properties(zq3r-compressor PROPERTIES LINK_DEPENDS ${export_file})
endif()

# --- The plug-in inside programs --------------------------------------------------

# What the loader hook does for a library, done for the program at start-up.
# An object library, so that the linker cannot drop its static initializer.
add_library(zq3r_program_module OBJECT ${PROJECT_SOURCE_DIR}/host/ProgramModule.cpp)
target_link_libraries(zq3r_program_module PUBLIC zq3r_host)
if(NOT WIN32)
  target_link_libraries(zq3r_program_module PUBLIC zq3r_resources)
endif()
zq3r_product_target(zq3r_program_module)

# zq3r_link_plugin(<target>)
# Links the plug-in's code into a program, which then is the plug-in's module:
# its handle is in moduleInstance and its bitmaps load from it. The program
# still reaches the plug-in through pluginMain and the record, as a host does.
function(zq3r_link_plugin target)
  target_link_libraries(${target} PRIVATE zq3r_plugin zq3r_program_module)
  if(WIN32)
    target_link_libraries(${target} PRIVATE zq3r_module_resources)
  endif()
endfunction()

# --- Installing the library where Linux hosts look for it ------------------------

# For everyone: <prefix>/lib/vst, which with the prefix /usr is the folder
# Debian's plug-in packages use (cmake --install build/native --prefix /usr).
# For one user: the component "user" goes straight into the prefix
# (cmake --install build/native --component user --prefix ~/.vst).
if(NOT WIN32)
  install(TARGETS zq3r-compressor LIBRARY DESTINATION lib/vst COMPONENT system)
  install(TARGETS zq3r-compressor LIBRARY DESTINATION . COMPONENT user EXCLUDE_FROM_ALL)
endif()
