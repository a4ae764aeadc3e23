# The manual test reads the document the build placed beside the executable.
add_dependencies(tst_manualrtf manual)
target_compile_definitions(tst_manualrtf PRIVATE QOR_MANUAL_DOCUMENT="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Руководство.doc"
    QOR_MANUAL_SOURCE="${CMAKE_SOURCE_DIR}/docs/manual/manual.md")
