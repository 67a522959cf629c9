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

# Windows-only sources of a folder of src/: compiled into the plugin DLL.
#   quorrel_plugin_sources(a_win.cpp ...)
function(quorrel_plugin_sources)
  if(WIN32)
    target_sources(Quorrel PRIVATE ${ARGN})
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
