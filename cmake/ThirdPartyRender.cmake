# The window renderer's libraries, built from the Debian sources that
# scripts/bootstrap unpacked, the same way in every tree: FreeType (TrueType
# fonts: the sfnt tables, the TrueType glyph loader, the automatic hinter and
# the anti-aliasing rasteriser, nothing else) and pixman (compositing, solid
# fills, masks, scaling with filters, its portable C code only).
#   Quorrel::freetype, Quorrel::pixman
set(TP "${QUORREL_THIRD_PARTY_SRC}")
foreach(dir freetype pixman)
  if(NOT EXISTS "${TP}/${dir}")
    message(FATAL_ERROR "${TP}/${dir} is missing: run scripts/bootstrap first")
  endif()
endforeach()

# FreeType: its own option file, with the module list and the options named in
# cmake/render/ (no compressed, Mac, SVG or bitmap fonts, no external library).
# They stand in the build tree under the names FreeType includes by default,
# before its own headers; the option file wraps FreeType's (by its path).
set(FT "${TP}/freetype")
set(FT_GEN "${CMAKE_BINARY_DIR}/third_party/freetype")
set(FREETYPE_OWN_OPTIONS "${FT}/include/freetype/config/ftoption.h")
configure_file(${CMAKE_CURRENT_LIST_DIR}/render/quorrel-ftoption.h.in ${FT_GEN}/freetype/config/ftoption.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/render/quorrel-ftmodule.h ${FT_GEN}/freetype/config/ftmodule.h COPYONLY)
add_library(freetype_static STATIC
  ${FT}/src/base/ftbase.c ${FT}/src/base/ftinit.c ${FT}/src/base/ftsystem.c
  ${FT}/src/base/ftdebug.c ${FT}/src/base/ftbitmap.c ${FT}/src/base/ftglyph.c
  ${FT}/src/sfnt/sfnt.c ${FT}/src/truetype/truetype.c ${FT}/src/smooth/smooth.c
  ${FT}/src/autofit/autofit.c)
target_include_directories(freetype_static SYSTEM BEFORE PUBLIC ${FT_GEN} ${FT}/include)
target_compile_definitions(freetype_static PRIVATE FT2_BUILD_LIBRARY)
target_compile_options(freetype_static PRIVATE -w)
set_target_properties(freetype_static PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(Quorrel::freetype ALIAS freetype_static)

# pixman: the generic C implementation (no SIMD paths, so every tree builds
# the same code), thread-local data through the compiler's __thread.
set(PX "${TP}/pixman/pixman")
set(PIXMAN_NAMES pixman pixman-access pixman-access-accessors pixman-bits-image pixman-combine32
  pixman-combine-float pixman-conical-gradient pixman-filter pixman-x86 pixman-mips pixman-arm
  pixman-ppc pixman-edge pixman-edge-accessors pixman-fast-path pixman-glyph pixman-general
  pixman-gradient-walker pixman-image pixman-implementation pixman-linear-gradient pixman-matrix
  pixman-noop pixman-radial-gradient pixman-region16 pixman-region32 pixman-solid-fill pixman-timer
  pixman-trap pixman-utils)
list(TRANSFORM PIXMAN_NAMES PREPEND ${PX}/ OUTPUT_VARIABLE PIXMAN_SOURCES)
list(TRANSFORM PIXMAN_SOURCES APPEND .c)
set(PIXMAN_GEN "${CMAKE_BINARY_DIR}/third_party/pixman")
include(CheckTypeSize)
check_type_size(long QUORREL_SIZEOF_LONG LANGUAGE C)
file(WRITE ${PIXMAN_GEN}/config.h.new
  "#define PACKAGE \"pixman\"\n#define TLS __thread\n#define HAVE_BUILTIN_CLZ 1\n"
  "#define SIZEOF_LONG ${QUORREL_SIZEOF_LONG}\n")
configure_file(${PIXMAN_GEN}/config.h.new ${PIXMAN_GEN}/config.h COPYONLY)
add_library(pixman_static STATIC ${PIXMAN_SOURCES})
target_include_directories(pixman_static SYSTEM PUBLIC ${PIXMAN_GEN} ${PX})
target_compile_definitions(pixman_static PRIVATE HAVE_CONFIG_H)
target_compile_options(pixman_static PRIVATE -w)
set_target_properties(pixman_static PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(Quorrel::pixman ALIAS pixman_static)
