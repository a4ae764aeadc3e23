# The version information of the program: the one place where it is written. The build embeds
# it in the executable: on Windows as its version resource (QorClient.rc), elsewhere as the
# record of the section "qorversion" (VersionRecord.cpp). The About box reads it from there.
set(QOR_PRODUCT_NAME "Ордана")
set(QOR_FILE_VERSION "4.0.2.37")
set(QOR_PRODUCT_VERSION "4.0")
set(QOR_FILE_DESCRIPTION "Ордана (клиент)")
set(QOR_INTERNAL_NAME "QorClient")
set(QOR_COMPANY_NAME "VELNOR")
set(QOR_LEGAL_COPYRIGHT "Copyright © VELNOR, 2017")
# Russian, code page Windows-1251.
set(QOR_TRANSLATION "041904E3")

string(REPLACE "." "," QOR_FILE_VERSION_COMMAS "${QOR_FILE_VERSION}")

# Embeds the version information in an executable target.
function(qor_embed_version target)
    set(dir ${CMAKE_BINARY_DIR}/generated/version)
    set(here ${CMAKE_SOURCE_DIR}/resources/version)
    if(WIN32)
        set(QOR_ICON_FILE ${CMAKE_SOURCE_DIR}/resources/icons/QorClient.ico)
        configure_file(${here}/QorClient.rc.in ${dir}/QorClient.rc @ONLY)
        target_sources(${target} PRIVATE ${dir}/QorClient.rc)
    else()
        configure_file(${here}/VersionRecord.cpp.in ${dir}/VersionRecord.cpp @ONLY)
        target_sources(${target} PRIVATE ${dir}/VersionRecord.cpp)
    endif()
endfunction()
