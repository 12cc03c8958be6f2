# After each link: the program imports from KERNEL32.dll and USER32.dll only, is a GUI program,
# carries exactly the DllCharacteristics flags given, and stays within the size limit. Prints one
# line with its size and imports.
# cmake -DPROGRAM=<exe> -DOBJDUMP=<objdump> -DSIZE_LIMIT=<bytes, 0: none>
#       "-DDLL_CHARACTERISTICS=<flag names as objdump prints them>" -P check_program.cmake
# A program that fails a check is removed: left in place, it would count as built.
function(refuse)
    file(REMOVE ${PROGRAM})
    message(FATAL_ERROR ${ARGN})
endfunction()

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
    refuse("${OBJDUMP} -p ${PROGRAM} failed")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" dll_lines "${headers}")
set(imports "")
foreach(line IN LISTS dll_lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOUPPER "${dll}" dll_upper)
    if(NOT dll_upper STREQUAL "KERNEL32.DLL" AND NOT dll_upper STREQUAL "USER32.DLL")
        refuse("${PROGRAM} imports ${dll}; only KERNEL32.dll and USER32.dll are allowed")
    endif()
    list(APPEND imports ${dll})
endforeach()
if(NOT imports)
    refuse("${PROGRAM} has no import table")
endif()

if(NOT headers MATCHES "Subsystem[ \t]+0+2[ \t]")
    refuse("${PROGRAM} is not a Windows GUI program")
endif()

# objdump lists the flag names one a line under the hexadecimal value.
if(NOT headers MATCHES "DllCharacteristics[ \t]+[0-9a-fA-F]+\n((\t+[A-Z_]+\n)*)")
    refuse("${PROGRAM}: objdump shows no DllCharacteristics")
endif()
string(REGEX MATCHALL "[A-Z_]+" flags "${CMAKE_MATCH_1}")
list(SORT flags)
set(expected_flags ${DLL_CHARACTERISTICS})
list(SORT expected_flags)
if(NOT flags STREQUAL expected_flags)
    refuse("${PROGRAM} has the DllCharacteristics ${flags}, not ${expected_flags}")
endif()

file(SIZE ${PROGRAM} size)
get_filename_component(name ${PROGRAM} NAME)
math(EXPR kib "(${size} + 1023) / 1024")
list(JOIN imports ", " import_list)
message(STATUS "${name}: ${size} bytes (${kib} KiB), imports ${import_list}")
if(SIZE_LIMIT GREATER 0 AND size GREATER SIZE_LIMIT)
    refuse("${name} is ${size} bytes, more than the limit of ${SIZE_LIMIT}")
endif()
