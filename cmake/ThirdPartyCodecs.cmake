# Image codecs built from the Debian sources that scripts/bootstrap unpacked,
# the same way in every tree (native, and any mingw toolchain): zlib's
# deflate, libpng over it, libsquish for DXT blocks, libjpeg-turbo and giflib.
# Compiled as C/C++ of their own, without the project's warnings.
#   Quorrel::zlib, Quorrel::png, Quorrel::squish, Quorrel::jpeg, Quorrel::gif
set(TP "${QUORREL_THIRD_PARTY_SRC}")
foreach(dir zlib libpng libsquish libjpeg-turbo giflib)
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

# libjpeg-turbo, its portable C code (no SIMD, so no assembler is needed and
# every tree builds the same way), configured as Debian builds it: the
# libjpeg 6b API, arithmetic coding, memory sources and destinations.
function(quorrel_jpeg_config out)
  set(JPEG_LIB_VERSION 62)
  set(VERSION 2.1.5)
  set(LIBJPEG_TURBO_VERSION_NUMBER 2001005)
  set(COPYRIGHT_YEAR "1991-2023")
  set(C_ARITH_CODING_SUPPORTED 1)
  set(D_ARITH_CODING_SUPPORTED 1)
  set(MEM_SRCDST_SUPPORTED 1)
  set(BITS_IN_JSAMPLE 8)
  set(BUILD "quorrel")
  set(INLINE "__inline__ __attribute__((always_inline))")
  set(THREAD_LOCAL "__thread")
  set(SIZE_T ${CMAKE_SIZEOF_VOID_P})
  set(HAVE_BUILTIN_CTZL 1)
  configure_file(${TP}/libjpeg-turbo/jconfig.h.in ${out}/jconfig.h)
  configure_file(${TP}/libjpeg-turbo/jconfigint.h.in ${out}/jconfigint.h)
  configure_file(${TP}/libjpeg-turbo/jversion.h.in ${out}/jversion.h)
endfunction()
set(JPEG_GEN "${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo")
quorrel_jpeg_config(${JPEG_GEN})
set(JPEG_NAMES jcapimin jcapistd jccoefct jccolor jcdctmgr jchuff jcicc jcinit jcmainct jcmarker
  jcmaster jcomapi jcparam jcphuff jcprepct jcsample jctrans jdapimin jdapistd jdatadst jdatasrc
  jdcoefct jdcolor jddctmgr jdhuff jdicc jdinput jdmainct jdmarker jdmaster jdmerge jdphuff
  jdpostct jdsample jdtrans jerror jfdctflt jfdctfst jfdctint jidctflt jidctfst jidctint jidctred
  jquant1 jquant2 jutils jmemmgr jmemnobs jaricom jcarith jdarith jsimd_none)
list(TRANSFORM JPEG_NAMES PREPEND ${TP}/libjpeg-turbo/ OUTPUT_VARIABLE JPEG_SOURCES)
list(TRANSFORM JPEG_SOURCES APPEND .c)
add_library(jpeg_static STATIC ${JPEG_SOURCES})
target_include_directories(jpeg_static SYSTEM PUBLIC ${TP}/libjpeg-turbo ${JPEG_GEN})
target_compile_options(jpeg_static PRIVATE -w)
set_target_properties(jpeg_static PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(Quorrel::jpeg ALIAS jpeg_static)

# giflib: decoding (and the encoder, which only tests use to write GIF files).
add_library(gif_static STATIC
  ${TP}/giflib/dgif_lib.c ${TP}/giflib/egif_lib.c ${TP}/giflib/gifalloc.c ${TP}/giflib/gif_err.c
  ${TP}/giflib/gif_hash.c ${TP}/giflib/openbsd-reallocarray.c)
target_include_directories(gif_static SYSTEM PUBLIC ${TP}/giflib)
target_compile_options(gif_static PRIVATE -w)
set_target_properties(gif_static PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(Quorrel::gif ALIAS gif_static)
