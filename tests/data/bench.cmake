# Benchmarks: built with the tests, run by hand (see README), never by CTest.
add_executable(bench_cardtable ${CMAKE_CURRENT_LIST_DIR}/bench_cardtable.cpp)
target_link_libraries(bench_cardtable PRIVATE qor_data)
