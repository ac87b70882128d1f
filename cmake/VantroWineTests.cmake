# A GoogleTest program of the Windows build, run under Wine: linked static like the shipped
# programs, its tests found and run in the end-to-end tests' lasting Wine session when there is one
# (a Wine of its own for each test waits seconds for Wine's services to end before ctest sees the
# test finish).
include(GoogleTest)

function(vantro_wine_tests target timeout)
  if(NOT MSVC)
    target_link_options(${target} PRIVATE ${VANTRO_STATIC_LINK})
  endif()
  set(session ${PROJECT_SOURCE_DIR}/tests/e2e/wine-session.sh)
  set(fixture "")
  if(EXISTS ${session})
    set_target_properties(${target} PROPERTIES
      CROSSCOMPILING_EMULATOR "${session};run;${CMAKE_BINARY_DIR}")
    set(fixture FIXTURES_REQUIRED wine_session)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT ${timeout} ${fixture})
endfunction()
