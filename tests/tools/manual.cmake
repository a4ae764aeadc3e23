# The manual test reads the document the build placed beside the executable.
add_dependencies(tst_manualrtf manual)
qor_program_path(document ${QOR_MANUAL_DOCUMENT})
qor_program_path(source ${CMAKE_SOURCE_DIR}/docs/manual/manual.md)
target_compile_definitions(tst_manualrtf PRIVATE QOR_MANUAL_DOCUMENT="${document}"
    QOR_MANUAL_SOURCE="${source}")
