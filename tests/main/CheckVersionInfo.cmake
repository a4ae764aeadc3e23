# Reads the version record out of the executable file and checks the values About shows.
execute_process(
    COMMAND ${OBJCOPY} --dump-section qorversion=/dev/stdout ${EXE} /dev/null
    OUTPUT_VARIABLE record
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${EXE} has no section qorversion")
endif()
foreach(line
        "\\VarFileInfo\\Translation=041904E3"
        "\\FixedFileVersion=4.0.2.37"
        "\\StringFileInfo\\041904E3\\ProductName=Ордана"
        "\\StringFileInfo\\041904E3\\FileVersion=4.0.2.37"
        "\\StringFileInfo\\041904E3\\ProductVersion=4.0"
        "\\StringFileInfo\\041904E3\\FileDescription=Ордана (клиент)"
        "\\StringFileInfo\\041904E3\\InternalName=QorClient"
        "\\StringFileInfo\\041904E3\\OriginalFilename=QorClient"
        "\\StringFileInfo\\041904E3\\LegalCopyright=Copyright © VELNOR, 2017")
    string(FIND "${record}" "${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Missing in the version record: ${line}\nRecord:\n${record}")
    endif()
endforeach()
