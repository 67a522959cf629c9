# Read by ctest in the native tree: pulls in the Windows tree's tests.
if(DEFINED ENV{QUORREL_WIN32_BUILD_DIR} AND EXISTS "$ENV{QUORREL_WIN32_BUILD_DIR}/CTestTestfile.cmake")
  include("$ENV{QUORREL_WIN32_BUILD_DIR}/CTestTestfile.cmake")
endif()
