# launcher_library(NAME SOURCES ... [DEPS ...])
#   A static library of one subsystem folder. Its folder's parent (src/) is on the include path,
#   so headers are included as "base/Strings.h", "items/Item.h" and so on.
function(launcher_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# launcher_unit_test(NAME SOURCES ... [DEPS ...])
#   A GoogleTest program; on the x64 build it is also registered with CTest (run under Wine).
function(launcher_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} gmock gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# launcher_e2e_test(NAME SOURCES ...)
#   A test program that drives the real Launcher.exe. End-to-end tests share one desktop and the
#   single-instance mutex, so they never run in parallel with each other.
function(launcher_e2e_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE e2e_harness ${ARG_DEPS} gmock gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(${name} Launcher RecordLaunch)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK desktop
      ENVIRONMENT "LAUNCHER_EXE=${CMAKE_BINARY_DIR}/bin/Launcher.exe;RECORD_LAUNCH_EXE=${CMAKE_BINARY_DIR}/tests/RecordLaunch.exe")
  endif()
endfunction()
