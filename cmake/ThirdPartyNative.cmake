# Native tree: Debian's packaged libraries.
include(GoogleTest)
find_package(GTest REQUIRED)

if(QUORREL_SANITIZE AND NOT QUORREL_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
find_library(TINYXML_LIBRARY tinyxml REQUIRED)
add_library(Quorrel::tinyxml UNKNOWN IMPORTED)
set_target_properties(Quorrel::tinyxml PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TINYXML_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
set_target_properties(Quorrel::tinyxml PROPERTIES IMPORTED_LOCATION "${TINYXML_LIBRARY}")

find_path(LZO_INCLUDE_DIR lzo/lzo1x.h REQUIRED)
find_library(LZO_LIBRARY lzo2 REQUIRED)
add_library(Quorrel::lzo UNKNOWN IMPORTED)
set_target_properties(Quorrel::lzo PROPERTIES
  IMPORTED_LOCATION "${LZO_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${LZO_INCLUDE_DIR}")

include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyCodecs.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyJson.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyRender.cmake)
