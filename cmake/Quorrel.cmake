# Helpers shared by every folder of the project.

# Warnings for the project's own code (third-party code is built without them).
function(quorrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A portable core library of one folder of src/: no windows.h, built natively
# (unit-tested there) and for Windows (linked into the plugin).
#   quorrel_core_library(<area> SOURCES a.cpp ... [LIBS other libs])
# defines the static library quorrel_<area>.
function(quorrel_core_library area)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(quorrel_${area} STATIC ${ARG_SOURCES})
  target_include_directories(quorrel_${area} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quorrel_${area} PUBLIC ${ARG_LIBS})
  quorrel_warnings(quorrel_${area})
  if(WIN32)
    quorrel_win32_defaults(quorrel_${area})
  endif()
  set_property(GLOBAL APPEND PROPERTY QUORREL_CORE_LIBRARIES quorrel_${area})
endfunction()

# Sources compiled straight into the plugin DLL (the exports, DllMain and the
# application object: things the linker must not leave out).
#   quorrel_plugin_sources(a_win.cpp ...)
function(quorrel_plugin_sources)
  if(WIN32)
    target_sources(Quorrel PRIVATE ${ARGN})
  endif()
endfunction()

# The Win32 code of one folder of src/ (windows, dialogs, Direct3D, GDI+ ...):
# a static library quorrel_<area>_win, linked into the plugin DLL and into the
# Wine test executables that exercise it. Does nothing in the native tree.
#   quorrel_win32_library(<area> SOURCES a_win.cpp ... [LIBS ...])
function(quorrel_win32_library area)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(quorrel_${area}_win STATIC ${ARG_SOURCES})
  target_include_directories(quorrel_${area}_win PUBLIC ${PROJECT_SOURCE_DIR}/src
                             ${PROJECT_SOURCE_DIR}/src/resources)
  target_link_libraries(quorrel_${area}_win PUBLIC ${ARG_LIBS})
  quorrel_win32_defaults(quorrel_${area}_win)
  set_property(GLOBAL APPEND PROPERTY QUORREL_WIN32_LIBRARIES quorrel_${area}_win)
endfunction()

# A Windows GoogleTest executable run under Wine (one Xvfb, the project's
# prefix). It lands in the application folder, beside Scintilla.dll and the
# plugins folder, and runs from there.
#   quorrel_wine_test(<name> SOURCES ... [LIBS ...] [OWN_MAIN])
function(quorrel_wine_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUORREL_APP_DIR})
  if(ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest_win)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest_main_win)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests
                             ${PROJECT_SOURCE_DIR}/host ${PROJECT_SOURCE_DIR}/src/resources)
  target_link_options(${name} PRIVATE ${QUORREL_STATIC_RUNTIME})
  quorrel_win32_defaults(${name})
  add_test(NAME wine.${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${name}>
           WORKING_DIRECTORY ${QUORREL_APP_DIR})
  # One desktop, one clipboard and one foreground window for all of them:
  # Wine tests run one at a time (native tests still run beside them).
  set_tests_properties(wine.${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK wine_desktop)
  if(TARGET Quorrel)
    add_dependencies(${name} Quorrel)
  endif()
endfunction()

# A native GoogleTest executable, registered with ctest test by test.
#   quorrel_unit_test(<name> SOURCES ... [LIBS ...])
function(quorrel_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  quorrel_warnings(${name})
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300)
endfunction()

# Windows targets of the project: Unicode, a recent enough API level, warnings.
function(quorrel_win32_defaults target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX
                             _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
  quorrel_warnings(${target})
endfunction()
