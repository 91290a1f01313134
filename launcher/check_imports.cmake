# Fails when PROGRAM imports from a DLL that is not part of Windows itself (for example a
# compiler runtime DLL). Run with -DPROGRAM=<exe> -DOBJDUMP=<objdump>.
set(SYSTEM_DLLS kernel32.dll user32.dll gdi32.dll advapi32.dll msvfw32.dll winmm.dll msvcrt.dll)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM}
                OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the import table of ${PROGRAM}")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
if(NOT names)
    message(FATAL_ERROR "${PROGRAM} lists no imported DLLs")
endif()
set(foreign "")
foreach(entry IN LISTS names)
    string(REPLACE "DLL Name: " "" dll "${entry}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" lower)
    list(FIND SYSTEM_DLLS "${lower}" index)
    if(index EQUAL -1)
        list(APPEND foreign "${dll}")
    else()
        message(STATUS "imports ${dll}")
    endif()
endforeach()
if(foreign)
    message(FATAL_ERROR "${PROGRAM} imports non-system DLLs: ${foreign}")
endif()
