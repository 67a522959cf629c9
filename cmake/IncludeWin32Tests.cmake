# Read by ctest in the native tree: pulls in the Windows trees' tests (run under
# Wine), 32-bit and 64-bit.
foreach(var QUORREL_WIN32_BUILD_DIR QUORREL_WIN64_BUILD_DIR)
  if(DEFINED ENV{${var}} AND EXISTS "$ENV{${var}}/CTestTestfile.cmake")
    subdirs("$ENV{${var}}")
  endif()
endforeach()
