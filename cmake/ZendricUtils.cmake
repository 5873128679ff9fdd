# Small helpers shared by every target of the project.

function(zendric_enable_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  endif()
endfunction()

# Every target of a sanitized tree gets the same flags, so that ASan is linked into
# whatever links the instrumented library.
macro(zendric_sanitize_everything)
  set(_zendric_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_zendric_san})
  add_link_options(-fsanitize=address,undefined)
endmacro()

# A GoogleTest program registered with CTest, one CTest entry per test case.
function(zendric_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  zendric_enable_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${ARG_PROPERTIES})
endfunction()
