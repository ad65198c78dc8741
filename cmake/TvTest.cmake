# tv_add_test(NAME source... LIBS lib... LABELS label... TIMEOUT seconds)
# One line registers a Qt Test program with CTest, offscreen and time-limited.
function(tv_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  tv_strict(${name})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TV_FIXTURE_TOOLS=${CMAKE_SOURCE_DIR}/tests/fixtures")
endfunction()
