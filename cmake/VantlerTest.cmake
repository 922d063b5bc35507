# vantler_add_test(NAME SOURCES... LIBS ...): one GoogleTest program, one CTest entry.
# Cross builds run it through CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine-run).
function(vantler_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # A looping test fails instead of hanging the run; programs under Wine
  # start slowly and some drive real windows, so they get longer.
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 60)
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
