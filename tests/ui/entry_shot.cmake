# The entry form with a doctor's card, saved as a picture: run by hand under a real X server
# (xvfb-run -a -s "-screen 0 1280x800x24" build-test/bin/entry_shot docs/screenshots/entry.png),
# never by CTest.
add_executable(entry_shot ${CMAKE_CURRENT_LIST_DIR}/entry_shot.cpp)
target_link_libraries(entry_shot PRIVATE qor_ui qor_test_support)

# The dialog "История заседания" over a sample meeting saved three times, as a picture:
#   build-test/bin/sample_meeting /tmp/h && xvfb-run -a build-test/bin/history_shot /tmp/h \
#       docs/screenshots/history.png
add_executable(history_shot ${CMAKE_CURRENT_LIST_DIR}/history_shot.cpp)
target_link_libraries(history_shot PRIVATE qor_ui qor_test_support)
