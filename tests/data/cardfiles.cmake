# The crash test: tst_meetingcrash kills savers forked by this child at random moments while
# they save a meeting. It needs fork() and kill(); elsewhere the test skips itself.
if(UNIX)
    add_executable(cardfiles_crash_child ${CMAKE_CURRENT_LIST_DIR}/cardfiles_crash_child.cpp)
    target_link_libraries(cardfiles_crash_child PRIVATE qor_data)
    target_include_directories(cardfiles_crash_child PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    add_dependencies(tst_meetingcrash cardfiles_crash_child)
    target_compile_definitions(tst_meetingcrash PRIVATE
        QOR_CRASH_CHILD="$<TARGET_FILE:cardfiles_crash_child>")
endif()

