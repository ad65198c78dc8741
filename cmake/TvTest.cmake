# tv_add_test(NAME source... LIBS lib... LABELS label... TIMEOUT seconds)
# One line registers a Qt Test program with CTest, offscreen and time-limited.
# Every run gets private settings, cache and home folders of its own.
set(TV_TEST_WRAPPER ${CMAKE_SOURCE_DIR}/tests/support/private-folders.sh)
function(tv_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  tv_strict(${name})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${TV_TEST_WRAPPER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TV_FIXTURE_TOOLS=${CMAKE_SOURCE_DIR}/tests/fixtures")
endfunction()
