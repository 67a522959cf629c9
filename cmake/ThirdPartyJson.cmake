# nlohmann-json (header-only) from the Debian source that scripts/bootstrap
# unpacked, the same in every tree: the language server's messages and the
# tester's JSON-RPC requests.
#   Quorrel::json
set(TP "${QUORREL_THIRD_PARTY_SRC}")
if(NOT EXISTS "${TP}/nlohmann-json/single_include/nlohmann/json.hpp")
  message(FATAL_ERROR "${TP}/nlohmann-json is missing: run scripts/bootstrap first")
endif()
add_library(json_headers INTERFACE)
target_include_directories(json_headers SYSTEM INTERFACE ${TP}/nlohmann-json/single_include)
# No implicit conversions out of a JSON value: every read says its type.
target_compile_definitions(json_headers INTERFACE JSON_USE_IMPLICIT_CONVERSIONS=0)
add_library(Quorrel::json ALIAS json_headers)
