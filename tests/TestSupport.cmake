# The recording fakes, the manual clock and the fixtures of tests/support/, as one library. The
# tests link it, and so do the benchmarks that build their pages on the tests' fixtures, also in a
# build without the tests.
find_package(GTest REQUIRED)
# The X11 tests press keys and buttons on their private X server through XTest.
pkg_check_modules(XCB_XTEST REQUIRED IMPORTED_TARGET xcb-xtest)

file(GLOB_RECURSE VANTREL_TEST_SUPPORT CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tests/support/*.cpp ${PROJECT_SOURCE_DIR}/tests/support/*.h)
add_library(vantrel_test_support STATIC ${VANTREL_TEST_SUPPORT})
target_include_directories(vantrel_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(vantrel_test_support PUBLIC vantrel_lib GTest::gtest GTest::gmock Qt6::Test PkgConfig::XCB_XTEST)
# The same for every test program, so that they can all reuse the test library's headers.
target_compile_definitions(vantrel_test_support PUBLIC
  VANTREL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
  VANTREL_BINARY_DIR="${CMAKE_BINARY_DIR}"
  VANTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_precompile_headers(vantrel_test_support PRIVATE ${VANTREL_PRECOMPILED_HEADERS}
  <gtest/gtest.h> <gmock/gmock.h> <QCoreApplication> <QApplication> <QSignalSpy> <QTemporaryDir>)
