# Image codecs built from the Debian sources that scripts/bootstrap unpacked,
# the same way in every tree (native, and any mingw toolchain): zlib's
# deflate, libpng over it, and libsquish for DXT blocks. Compiled as C/C++ of
# their own, without the project's warnings.
#   Quorrel::zlib, Quorrel::png, Quorrel::squish
set(TP "${QUORREL_THIRD_PARTY_SRC}")
foreach(dir zlib libpng libsquish)
  if(NOT EXISTS "${TP}/${dir}")
    message(FATAL_ERROR "${TP}/${dir} is missing: run scripts/bootstrap first")
  endif()
endforeach()

# zlib: the deflate/inflate core (no gzip file layer).
add_library(zlib_static STATIC
  ${TP}/zlib/adler32.c ${TP}/zlib/compress.c ${TP}/zlib/crc32.c ${TP}/zlib/deflate.c
  ${TP}/zlib/infback.c ${TP}/zlib/inffast.c ${TP}/zlib/inflate.c ${TP}/zlib/inftrees.c
  ${TP}/zlib/trees.c ${TP}/zlib/uncompr.c ${TP}/zlib/zutil.c)
target_include_directories(zlib_static SYSTEM PUBLIC ${TP}/zlib)
target_compile_options(zlib_static PRIVATE -w)
set_target_properties(zlib_static PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(Quorrel::zlib ALIAS zlib_static)

# libpng, configured with its prebuilt option set.
set(PNG_GEN "${CMAKE_BINARY_DIR}/third_party/libpng")
configure_file(${TP}/libpng/scripts/pnglibconf.h.prebuilt ${PNG_GEN}/pnglibconf.h COPYONLY)
add_library(png_static STATIC
  ${TP}/libpng/png.c ${TP}/libpng/pngerror.c ${TP}/libpng/pngget.c ${TP}/libpng/pngmem.c
  ${TP}/libpng/pngpread.c ${TP}/libpng/pngread.c ${TP}/libpng/pngrio.c ${TP}/libpng/pngrtran.c
  ${TP}/libpng/pngrutil.c ${TP}/libpng/pngset.c ${TP}/libpng/pngtrans.c ${TP}/libpng/pngwio.c
  ${TP}/libpng/pngwrite.c ${TP}/libpng/pngwtran.c ${TP}/libpng/pngwutil.c)
target_include_directories(png_static SYSTEM PUBLIC ${TP}/libpng ${PNG_GEN})
# No architecture-specific filter code: the same C everywhere.
target_compile_definitions(png_static PRIVATE PNG_ARM_NEON_OPT=0 PNG_MIPS_MSA_OPT=0 PNG_POWERPC_VSX_OPT=0
                           PNG_INTEL_SSE_OPT=0)
target_compile_options(png_static PRIVATE -w)
target_link_libraries(png_static PUBLIC zlib_static)
add_library(Quorrel::png ALIAS png_static)

# libsquish (its portable code path; no OpenMP).
add_library(squish_static STATIC
  ${TP}/libsquish/alpha.cpp ${TP}/libsquish/clusterfit.cpp ${TP}/libsquish/colourblock.cpp
  ${TP}/libsquish/colourfit.cpp ${TP}/libsquish/colourset.cpp ${TP}/libsquish/maths.cpp
  ${TP}/libsquish/rangefit.cpp ${TP}/libsquish/singlecolourfit.cpp ${TP}/libsquish/squish.cpp)
target_include_directories(squish_static SYSTEM PUBLIC ${TP}/libsquish)
target_compile_options(squish_static PRIVATE -w)
add_library(Quorrel::squish ALIAS squish_static)
