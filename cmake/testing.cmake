# GoogleTest: the system's on Linux; built from Debian's sources with the
# cross toolchain for Windows, whose tests then run under wine through the
# toolchain's CMAKE_CROSSCOMPILING_EMULATOR.
enable_testing()
if(WIN32)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# plotara_test(NAME src... LIBS lib...): one test executable, one ctest entry.
function(plotara_test name)
  cmake_parse_arguments(PT "" "" "LIBS" ${ARGN})
  add_executable(${name} ${PT_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${PT_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "PLOTARA_TESTDATA=${PROJECT_SOURCE_DIR}/plotsend/testdata"
    TIMEOUT 600)
endfunction()
