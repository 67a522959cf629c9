# Shared by the fuzzing tree (tests/fuzz) and the corpus replays
# (tests/unit/textures): the image fuzzing targets and their seeds.
#   QUORREL_IMAGE_FUZZ_KINDS                the kinds, one target each
#   quorrel_image_fuzz_entry(kind var)      the kind's libFuzzer entry file
#   quorrel_image_seeds(folder target)      the bundle writer's seeds in
#                                           folder/<kind>, built by target
set(QUORREL_IMAGE_FUZZ_KINDS frame png jpeg gif bmp)

function(quorrel_image_fuzz_entry kind var)
  string(SUBSTRING ${kind} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${kind} 1 -1 rest)
  set(${var} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${first}${rest}Fuzzer.cpp PARENT_SCOPE)
endfunction()

function(quorrel_image_seeds folder target)
  add_custom_command(OUTPUT ${folder}/png/rgba.png
    COMMAND ortwriter image-seeds ${folder}
    DEPENDS ortwriter
    COMMENT "Writing the image decoders' seed corpora")
  add_custom_target(${target} ALL DEPENDS ${folder}/png/rgba.png)
endfunction()
