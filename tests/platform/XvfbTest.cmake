# A GoogleTest executable whose every test runs under a private Xvfb of its own (tests/with-xvfb.sh),
# so X11 tests work on a machine with no display and never touch the user's.
function(vornik_add_xvfb_test name label)
    add_executable(${name} ${ARGN})
    vornik_strict(${name})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh)
    gtest_discover_tests(${name} PROPERTIES LABELS ${label} TIMEOUT 120 DISCOVERY_TIMEOUT 60
                         DISCOVERY_MODE PRE_TEST)
endfunction()
