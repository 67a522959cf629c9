# Windows tree: third-party code built from the Debian sources that
# scripts/bootstrap unpacked (never copied into the repository).
set(TP "${QUORREL_THIRD_PARTY_SRC}")
foreach(dir tinyxml lzo2 scite/scintilla)
  if(NOT EXISTS "${TP}/${dir}")
    message(FATAL_ERROR "${TP}/${dir} is missing: run scripts/bootstrap first")
  endif()
endforeach()

# Everything runs from one folder laid out as the editor's installation:
#   app/quorrel-host.exe, app/Scintilla.dll, app/plugins/<Name>/<Name>.dll
set(QUORREL_APP_DIR "${CMAKE_BINARY_DIR}/app")
file(MAKE_DIRECTORY "${QUORREL_APP_DIR}/plugins/Config")

# Runtimes linked statically: nothing but system DLLs beside our binaries.
set(QUORREL_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# TinyXML, configured as Debian's package (STL strings).
add_library(tinyxml_static STATIC
  ${TP}/tinyxml/tinyxml.cpp ${TP}/tinyxml/tinyxmlparser.cpp ${TP}/tinyxml/tinyxmlerror.cpp)
target_compile_definitions(tinyxml_static PUBLIC TIXML_USE_STL)
target_include_directories(tinyxml_static SYSTEM PUBLIC ${TP}/tinyxml)
add_library(Quorrel::tinyxml ALIAS tinyxml_static)

# LZO.
file(GLOB LZO_SOURCES ${TP}/lzo2/src/*.c)
add_library(lzo_static STATIC ${LZO_SOURCES})
target_include_directories(lzo_static SYSTEM PUBLIC ${TP}/lzo2/include PRIVATE ${TP}/lzo2/src)
add_library(Quorrel::lzo ALIAS lzo_static)

# zlib, libpng and libsquish.
include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyCodecs.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyJson.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyRender.cmake)
# The shipped DLL carries these libraries whole: optimised for size (the
# decoders and the renderer's drawing are far from the editor's hot paths),
# which keeps the plugin within its size budget. Native trees, where the
# benchmarks run, keep the build type's flags.
foreach(lib zlib_static png_static jpeg_static gif_static freetype_static pixman_static)
  target_compile_options(${lib} PRIVATE -Os)
endforeach()

# GoogleTest for the Wine test executables.
set(GTEST_SRC /usr/src/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/googletest/src/gtest-all.cc ${GTEST_SRC}/googlemock/src/gmock-all.cc)
target_include_directories(gtest_win SYSTEM PUBLIC
  ${GTEST_SRC}/googletest/include ${GTEST_SRC}/googlemock/include
  PRIVATE ${GTEST_SRC}/googletest ${GTEST_SRC}/googlemock)
add_library(gtest_main_win STATIC ${GTEST_SRC}/googletest/src/gtest_main.cc)
target_link_libraries(gtest_main_win PUBLIC gtest_win)

# Scintilla, with its own makefile and the posix-thread compiler it needs.
set(SCI_DIR "${TP}/scite/scintilla")
set(SCI_OBJ "${CMAKE_BINARY_DIR}/scintilla-obj")
set(QUORREL_SCINTILLA_DLL "${QUORREL_APP_DIR}/Scintilla.dll")
file(MAKE_DIRECTORY ${SCI_OBJ})
file(GLOB SCI_SOURCES ${SCI_DIR}/src/*.cxx ${SCI_DIR}/win32/*.cxx)
add_custom_command(
  OUTPUT ${QUORREL_SCINTILLA_DLL}
  COMMAND make -s -C ${SCI_DIR}/win32 -j2
          CXX=${CMAKE_CXX_COMPILER} AR=${CMAKE_AR} RANLIB=${CMAKE_RANLIB}
          WINDRES=${CMAKE_RC_COMPILER} DIR_O=${SCI_OBJ} DIR_BIN=${SCI_OBJ}
          ${SCI_OBJ}/Scintilla.dll
  COMMAND ${CMAKE_COMMAND} -E copy ${SCI_OBJ}/Scintilla.dll ${QUORREL_SCINTILLA_DLL}
  DEPENDS ${SCI_SOURCES}
  COMMENT "Building Scintilla.dll from the Debian source"
  VERBATIM)
add_custom_target(scintilla ALL DEPENDS ${QUORREL_SCINTILLA_DLL})
