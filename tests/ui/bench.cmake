# Benchmarks: built with the tests, run by hand (see README), never by CTest.
add_executable(bench_mainwindow ${CMAKE_CURRENT_LIST_DIR}/bench_mainwindow.cpp)
target_link_libraries(bench_mainwindow PRIVATE qor_ui qor_test_support Qt6::Test)
