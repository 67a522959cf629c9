# Read by ctest in the native tree: pulls in the Windows tree's tests (run under Wine).
if(DEFINED ENV{QUORREL_WIN32_BUILD_DIR} AND EXISTS "$ENV{QUORREL_WIN32_BUILD_DIR}/CTestTestfile.cmake")
  subdirs("$ENV{QUORREL_WIN32_BUILD_DIR}")
endif()
