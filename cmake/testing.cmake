# GoogleTest: Debian's build natively, the sources in /usr/src/googletest for cross builds.
if(NOT VEXA_TESTS)
  return()
endif()
enable_testing()
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# One test program per area; under Wine every program start costs time, so a
# program is registered as one CTest test rather than one per case.
function(vexa_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  if(VEXA_RUN_TESTS)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "VEXA_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
  endif()
endfunction()

# vexa_add_plugin_e2e_test(name SOURCES ... PLUGIN target DLL file WRAPPER script [LIBRARIES ...]):
# a test program that runs the program's own device host and main window with
# the plug-in copied into a "devices" folder beside it, started through WRAPPER,
# which sets up the plug-in's peer (COM ports, a server).
function(vexa_add_plugin_e2e_test name)
  cmake_parse_arguments(e2e "" "PLUGIN;DLL;WRAPPER" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${e2e_SOURCES})
  target_link_libraries(${name} PRIVATE vexa_shell vexa_test_support_win ${e2e_LIBRARIES} GTest::gtest GTest::gtest_main)
  vexa_link_resources(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win ${PROJECT_SOURCE_DIR}/tests/win/device)
  set(devices ${CMAKE_CURRENT_BINARY_DIR}/devices)
  add_custom_command(OUTPUT ${devices}/${e2e_DLL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${devices}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${e2e_PLUGIN}> ${devices}/${e2e_DLL}
    DEPENDS ${e2e_PLUGIN}
    COMMENT "Copying ${e2e_DLL} beside ${name}")
  add_custom_target(${name}_devices DEPENDS ${devices}/${e2e_DLL})
  add_dependencies(${name} ${name}_devices)
  if(VEXA_RUN_TESTS)
    add_test(NAME ${name} COMMAND ${e2e_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> --gtest_brief=1)
  endif()
endfunction()
