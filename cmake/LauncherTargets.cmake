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

# launcher_e2e_test(NAME SOURCES ... [DEPS ...] [RUN_WITH command ...])
#   A test program that drives the real Launcher.exe. End-to-end tests share one desktop and the
#   single-instance mutex, so they never run in parallel with each other. RUN_WITH: the command
#   that runs the program instead of the Wine wrapper (the program's path goes last).
function(launcher_e2e_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;RUN_WITH" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE e2e_harness ${ARG_DEPS} gmock gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(${name} Launcher)
  foreach(tool RecordLaunch LauncherDll)
    if(TARGET ${tool})
      add_dependencies(${name} ${tool})
    endif()
  endforeach()
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    if(ARG_RUN_WITH)
      add_test(NAME ${name} COMMAND ${ARG_RUN_WITH} $<TARGET_FILE:${name}>)
    else()
      add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK desktop)
  endif()
endfunction()

# launcher_program(TARGET OUTPUT_DIRECTORY dir UPDATE_URL url HOME_PAGE url UPDATE_TIMEOUT seconds)
#   Launcher.exe with its resources, built for the given update addresses (they become string
#   literals of the program, so only plain web addresses are taken).
function(launcher_program target)
  cmake_parse_arguments(ARG "" "OUTPUT_DIRECTORY;UPDATE_URL;HOME_PAGE;UPDATE_TIMEOUT" "" ${ARGN})
  if(NOT ARG_UPDATE_URL MATCHES "^https?://[^\"\\\\ ]+/update/launcherbeta\\.txt$")
    message(FATAL_ERROR "LAUNCHER_UPDATE_URL must be an http:// or https:// address ending in "
                        "/update/launcherbeta.txt, not \"${ARG_UPDATE_URL}\"")
  endif()
  if(NOT ARG_HOME_PAGE MATCHES "^https?://[^\"\\\\ ]+$")
    message(FATAL_ERROR "LAUNCHER_HOME_PAGE must be an http:// or https:// address, not \"${ARG_HOME_PAGE}\"")
  endif()
  if(NOT ARG_UPDATE_TIMEOUT MATCHES "^[1-9][0-9]*$" OR ARG_UPDATE_TIMEOUT GREATER 3600)
    message(FATAL_ERROR "LAUNCHER_UPDATE_TIMEOUT must be 1 to 3600 seconds, not \"${ARG_UPDATE_TIMEOUT}\"")
  endif()
  set(LAUNCHER_PROGRAM_UPDATE_URL ${ARG_UPDATE_URL})
  set(LAUNCHER_PROGRAM_HOME_PAGE ${ARG_HOME_PAGE})
  set(LAUNCHER_PROGRAM_UPDATE_TIMEOUT ${ARG_UPDATE_TIMEOUT})
  set(addresses ${CMAKE_CURRENT_BINARY_DIR}/${target}-UpdateAddresses.cpp)
  configure_file(${PROJECT_SOURCE_DIR}/src/update/UpdateAddresses.cpp.in ${addresses} @ONLY)

  set(resources ${PROJECT_SOURCE_DIR}/src/resources)
  add_executable(${target} WIN32 ${PROJECT_SOURCE_DIR}/src/app/main.cpp ${resources}/Launcher.rc ${addresses})
  target_link_libraries(${target} PRIVATE launcher_app)
  target_link_options(${target} PRIVATE -municode)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${resources} ${LAUNCHER_GENERATED_DIR})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME Launcher RUNTIME_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  set_source_files_properties(${resources}/Launcher.rc TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${resources}/Launcher.manifest;${resources}/Launcher.ico;${resources}/Pages.rc;${resources}/AboutBox.rc;${resources}/StartGroup.rc;${resources}/resource.h;${resources}/TrayIcon.ico;${resources}/TrayIconLight.ico;${resources}/TrayIconDark.ico;${resources}/MenuImage.bmp;${LAUNCHER_GENERATED_DIR}/LauncherVersion.h")

  # The help pages go beside the program, as the release puts them, so that every build shows its
  # help; the folder is made afresh, so a page removed from docs/help goes from here too.
  file(GLOB help_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
  set(help_stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}-help.stamp)
  add_custom_command(OUTPUT ${help_stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ARG_OUTPUT_DIRECTORY}/help
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/help ${ARG_OUTPUT_DIRECTORY}/help
    COMMAND ${CMAKE_COMMAND} -E touch ${help_stamp}
    DEPENDS ${help_pages}
    COMMENT "Help pages for ${target}")
  add_custom_target(${target}Help DEPENDS ${help_stamp})
  add_dependencies(${target} ${target}Help)
endfunction()
