# Helpers shared by every folder of the project.

# Headers written at configure time (app/Version.h), included like src/ ones.
set(QUORREL_GENERATED_DIR "${PROJECT_BINARY_DIR}/generated")

# The 64-bit Windows tree's tests carry the prefix "x64.", so that both
# Windows trees join the native tree's ctest run under distinct names.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUORREL_TEST_PREFIX "x64.")
else()
  set(QUORREL_TEST_PREFIX "")
endif()

# Warnings for the project's own code (third-party code is built without them).
function(quorrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# One library per folder of src/: quorrel_<area>. The portable sources (no
# windows.h) are built in both trees and unit-tested natively; the Win32
# siblings (*_win.cpp) join them in the Windows tree only. A folder links only
# the folders below it, so the linker never has to rescan.
#   quorrel_library(<area> [SOURCES ...] [WIN32_SOURCES ...] [LIBS ...] [WIN32_LIBS ...])
function(quorrel_library area)
  cmake_parse_arguments(ARG "" "" "SOURCES;WIN32_SOURCES;LIBS;WIN32_LIBS" ${ARGN})
  set(sources ${ARG_SOURCES})
  set(libs ${ARG_LIBS})
  if(WIN32)
    list(APPEND sources ${ARG_WIN32_SOURCES})
    list(APPEND libs ${ARG_WIN32_LIBS})
  endif()
  if(sources)
    add_library(quorrel_${area} STATIC ${sources})
    target_include_directories(quorrel_${area} PUBLIC ${PROJECT_SOURCE_DIR}/src ${QUORREL_GENERATED_DIR})
    target_link_libraries(quorrel_${area} PUBLIC ${libs})
    quorrel_warnings(quorrel_${area})
    if(WIN32)
      quorrel_win32_defaults(quorrel_${area})
    endif()
  else()
    add_library(quorrel_${area} INTERFACE)
    target_include_directories(quorrel_${area} INTERFACE ${PROJECT_SOURCE_DIR}/src ${QUORREL_GENERATED_DIR})
    target_link_libraries(quorrel_${area} INTERFACE ${libs})
  endif()
endfunction()

# A Windows GoogleTest executable run under Wine (one Xvfb, the project's
# prefix). It lands in the application folder, beside Scintilla.dll and the
# plugins folder, and runs from there.
#   quorrel_wine_test(<name> SOURCES ... [LIBS ...] [OWN_MAIN] [DPI <dots per inch>])
# With DPI, the test runs in a Wine prefix of its own made at that logical DPI.
function(quorrel_wine_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "DPI" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUORREL_APP_DIR})
  if(ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorrel_test_support gtest_win)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorrel_test_support gtest_main_win)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests
                             ${PROJECT_SOURCE_DIR}/host)
  # Where the sample skin and the test scripts are (support/WineTestSupport.h).
  target_compile_definitions(${name} PRIVATE QUORREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  target_link_options(${name} PRIVATE ${QUORREL_STATIC_RUNTIME})
  quorrel_win32_defaults(${name})
  add_test(NAME ${QUORREL_TEST_PREFIX}wine.${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${name}>
           WORKING_DIRECTORY ${QUORREL_APP_DIR})
  # One desktop, one clipboard and one foreground window for all of them, of
  # both architectures: Wine tests run one at a time (native tests still run
  # beside them).
  set_tests_properties(${QUORREL_TEST_PREFIX}wine.${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK wine_desktop)
  if(ARG_DPI)
    set_tests_properties(${QUORREL_TEST_PREFIX}wine.${name} PROPERTIES ENVIRONMENT "QUORREL_WINE_DPI=${ARG_DPI}")
  endif()
  if(TARGET Quorrel)
    add_dependencies(${name} Quorrel)
  endif()
endfunction()

# A native GoogleTest executable, registered with ctest test by test.
#   quorrel_unit_test(<name> SOURCES ... [LIBS ...])
function(quorrel_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorrel_test_support GTest::gtest GTest::gmock GTest::gtest_main)
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
