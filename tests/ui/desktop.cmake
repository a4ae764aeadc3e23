# Checks that need a real screen and pointer (desktop_checks.cpp), on an X server of their own.
# Wine has none of that to offer beyond what the clerk's session already drives.
if(NOT WIN32)
    add_executable(desktop_checks ${CMAKE_CURRENT_LIST_DIR}/desktop_checks.cpp)
    target_link_libraries(desktop_checks PRIVATE qor_ui qor_test_support Qt6::Test)
    add_test(NAME desktop_checks
        COMMAND xvfb-run -a -s "-screen 0 1280x800x24" $<TARGET_FILE:desktop_checks>)
    set_tests_properties(desktop_checks PROPERTIES TIMEOUT 120
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/e2e/lsan.supp;HOME=${QOR_TEST_SCRATCH}/home;XDG_CONFIG_HOME=${QOR_TEST_SCRATCH}/config;XDG_DATA_HOME=${QOR_TEST_SCRATCH}/data")
endif()
