# The Windows package (target windows_package): a folder QorClient and its zip, with everything
# the program needs on a Windows machine where nothing else is installed. Made by
# DeployWindows.cmake after the program and the manual are built.
set(QOR_PACKAGE_FOLDER ${CMAKE_BINARY_DIR}/package/QorClient)
set(QOR_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/QorClient-${QOR_FILE_VERSION}-win64.zip)
if(TARGET QorClientShipped)
    set(shipped QorClientShipped)
else()
    set(shipped QorClient)
endif()
find_program(QOR_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)
find_file(QOR_QTBASE_RU qtbase_ru.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# The programs of the build find Qt's Russian texts beside them, as the package's program does.
file(COPY ${QOR_QTBASE_RU} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations)

add_custom_target(windows_package ALL
    COMMAND ${CMAKE_COMMAND}
        -DEXE=$<TARGET_FILE:${shipped}>
        -DMANUAL=${QOR_MANUAL_DOCUMENT}
        -DTRANSLATION=${QOR_QTBASE_RU}
        -DPLUGIN_DIR=${QOR_QT_PLUGIN_DIR}
        "-DDLL_DIRS=${QOR_QT_BIN_DIR};${QOR_MINGW_DLL_DIRS}"
        -DOBJDUMP=${QOR_MINGW_OBJDUMP}
        -DFOLDER=${QOR_PACKAGE_FOLDER}
        -DZIP=${QOR_PACKAGE_ZIP}
        -P ${CMAKE_SOURCE_DIR}/cmake/DeployWindows.cmake
    DEPENDS ${shipped} manual
    COMMENT "Packing the Windows program into ${QOR_PACKAGE_ZIP}"
    VERBATIM)
