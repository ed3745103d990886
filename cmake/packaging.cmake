# The release archive: `cpack` in a Windows build folder writes
# vexa-<version>-<win32|win64>.zip, one folder "Vexa" laid out as the program
# expects it. Only what people run goes in: no test programs, no stand-ins that
# simulate hardware. Shipped targets say so with vexa_ship(); nothing else is
# installed.

set(VEXA_RELEASE_DIR Vexa)

# Building the archive needs the shipped targets only, not every test program.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(vexa_release)

# vexa_ship(target [SUBFOLDER folder]): installs a built target into the release
# folder (or a subfolder of it) and makes it part of the release build.
function(vexa_ship target)
  cmake_parse_arguments(ship "" "SUBFOLDER" "" ${ARGN})
  set(destination ${VEXA_RELEASE_DIR})
  if(ship_SUBFOLDER)
    set(destination ${VEXA_RELEASE_DIR}/${ship_SUBFOLDER})
  endif()
  # A DLL's import library is for linking against it, which nobody does.
  install(TARGETS ${target} RUNTIME DESTINATION ${destination} COMPONENT release
          ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
  add_dependencies(vexa_release ${target})
endfunction()

function(vexa_configure_release)
  set(windows_readme ${PROJECT_BINARY_DIR}/release/README.txt)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/release-readme.txt.in ${windows_readme} @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/release/LICENSE.txt COPYONLY)
  install(FILES ${windows_readme} ${PROJECT_BINARY_DIR}/release/LICENSE.txt
          ${PROJECT_SOURCE_DIR}/vexa/shell/res/vk.key DESTINATION ${VEXA_RELEASE_DIR} COMPONENT release)
  install(FILES "${PROJECT_SOURCE_DIR}/vexa/shell/presets/Sample Preset.vcp"
                "${PROJECT_SOURCE_DIR}/vexa/shell/presets/Sample Preset.vdp"
          DESTINATION ${VEXA_RELEASE_DIR}/presets COMPONENT release)
  # Folders the program reads and writes beside itself, there from the start.
  install(DIRECTORY DESTINATION ${VEXA_RELEASE_DIR}/apps COMPONENT release)
  install(DIRECTORY DESTINATION ${VEXA_RELEASE_DIR}/help COMPONENT release)

  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(platform win32)
  else()
    set(platform win64)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_COMPONENTS_ALL release)
  set(CPACK_PACKAGE_NAME vexa)
  set(CPACK_PACKAGE_VENDOR "The Vexa developers")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME vexa-${PROJECT_VERSION}-${platform})
  # The archive's own top folder is "Vexa", from the install destinations.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  # The builds carry debug information; people download the program without it.
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/dist)
  set(CPACK_OUTPUT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackConfig.cmake)
  include(CPack)
endfunction()
