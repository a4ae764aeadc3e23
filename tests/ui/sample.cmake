# A meeting file of a dozen cards, for looking at the main window (scripts/screenshot-main.sh).
add_executable(sample_meeting ${CMAKE_CURRENT_LIST_DIR}/sample_meeting.cpp)
target_link_libraries(sample_meeting PRIVATE qor_data)
