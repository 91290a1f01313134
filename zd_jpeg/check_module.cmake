# Fails unless MODULE (zd_jpeg.dll) exports exactly the undecorated name ReadJPEG and imports from
# Windows' own DLLs only, so that the disc's programs find the decoder on a clean system.
# Run with -DMODULE=<dll> -DOBJDUMP=<objdump>.
cmake_minimum_required(VERSION 3.21)
set(SYSTEM_DLLS kernel32.dll msvcrt.dll ole32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the tables of ${MODULE}")
endif()

string(REGEX MATCHALL "\n[ \t]*\\[ *[0-9]+\\] [^\r\n]+" exports "${dump}")
set(names "")
foreach(entry IN LISTS exports)
    string(REGEX REPLACE "^[\n \t]*\\[ *[0-9]+\\] " "" name "${entry}")
    if(NOT name MATCHES "\\+base")
        list(APPEND names "${name}")
    endif()
endforeach()
if(NOT names STREQUAL "ReadJPEG")
    message(FATAL_ERROR "${MODULE} exports '${names}', not exactly ReadJPEG")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
foreach(entry IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${entry}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" lower)
    if(NOT lower IN_LIST SYSTEM_DLLS)
        message(FATAL_ERROR "${MODULE} imports ${dll}, which is not part of Windows")
    endif()
    message(STATUS "imports ${dll}")
endforeach()
