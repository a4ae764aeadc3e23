# The cross build for Windows (MinGW-w64 on Linux): every program it makes runs under Wine, the
# build's manual tool and CTest's tests alike, through the generated wine-run.sh.

# The folders of the MinGW runtime DLLs, asked of the compiler.
set(QOR_MINGW_DLL_DIRS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(found "${found}" REALPATH)
    if(NOT EXISTS "${found}")
        message(FATAL_ERROR "The MinGW runtime library ${dll} is missing")
    endif()
    get_filename_component(dir "${found}" DIRECTORY)
    list(APPEND QOR_MINGW_DLL_DIRS "${dir}")
endforeach()
list(REMOVE_DUPLICATES QOR_MINGW_DLL_DIRS)
set(QOR_QT_BIN_DIR "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
set(QOR_QT_PLUGIN_DIR "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")

set(wine_path)
foreach(dir ${QOR_QT_BIN_DIR} ${QOR_MINGW_DLL_DIRS})
    string(REPLACE "/" "\\" native "Z:${dir}")
    list(APPEND wine_path "${native}")
endforeach()
list(JOIN wine_path ";" QOR_WINE_PATH)
set(QOR_WINE_DEFAULT_PREFIX ${CMAKE_BINARY_DIR}/wine)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QOR_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QOR_WINE_RUN})
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-qtest.sh.in ${CMAKE_BINARY_DIR}/wine-qtest.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QOR_WINE_QTEST ${CMAKE_BINARY_DIR}/wine-qtest.sh)

# The host's rcc compresses with zstd, which the Qt built for Windows cannot read.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)
