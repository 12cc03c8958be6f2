# What the i686 programs are built from, file by file with its SHA-256: a manifest that the i686
# build writes next to the programs and the 32-bit test build into its own folder, each after
# building. The shipped tests compare the two, and the sources now, before they run, so that they
# never compare this test build with programs built from other sources.
#
#   include(): add_program_sources_manifest(<file> <target>...) writes <file> after the targets
#   cmake -DROOT=<sources> -DOUTPUT=<file> -P program_sources.cmake
#       writes the manifest of the sources now
#   cmake -DROOT=<sources> -DPROGRAMS=<file> -DTESTS=<file> -P program_sources.cmake
#       fails, saying what differs, unless both manifests are that of the sources now

function(program_sources root out)
    set(depends CONFIGURE_DEPENDS)
    if(CMAKE_SCRIPT_MODE_FILE)
        set(depends "")
    endif()
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${depends} ${root}/shell/*
         ${root}/numtext/* ${root}/tasks/* ${root}/variants/* ${root}/platform/windows/*)
    file(GLOB headers RELATIVE ${root} ${depends} ${root}/platform/*.h)
    list(APPEND files ${headers} CMakeLists.txt VERSION platform/CMakeLists.txt
         cmake/mingw-i686.cmake)
    list(SORT files)
    set(${out} ${files} PARENT_SCOPE)
endfunction()

function(add_program_sources_manifest output)
    program_sources(${PROJECT_SOURCE_DIR} files)
    list(TRANSFORM files PREPEND ${PROJECT_SOURCE_DIR}/)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DOUTPUT=${output}
                -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
        DEPENDS ${files} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
        COMMENT "Listing the sources the programs are built from")
    add_custom_target(program_sources_manifest ALL DEPENDS ${output})
    add_dependencies(program_sources_manifest ${ARGN})
endfunction()

if(NOT CMAKE_SCRIPT_MODE_FILE)
    return()
endif()
cmake_minimum_required(VERSION 3.25)

program_sources(${ROOT} files)
set(now "")
foreach(file IN LISTS files)
    file(SHA256 ${ROOT}/${file} hash)
    string(APPEND now "${hash}  ${file}\n")
endforeach()
if(OUTPUT)
    file(WRITE ${OUTPUT} "${now}")
    return()
endif()

# The files of a manifest that differ from the sources now; empty when none does.
function(differing manifest out)
    if(NOT EXISTS ${manifest})
        set(${out} "no list of sources at ${manifest}" PARENT_SCOPE)
        return()
    endif()
    file(STRINGS ${manifest} then)
    string(REGEX REPLACE "\n$" "" lines "${now}")
    string(REPLACE "\n" ";" lines "${lines}")
    set(changed ${then} ${lines})
    list(REMOVE_ITEM changed "")
    foreach(line IN LISTS then)
        if(line IN_LIST lines)
            list(REMOVE_ITEM changed "${line}")
        endif()
    endforeach()
    list(TRANSFORM changed REPLACE "^[0-9a-f]*  " "")
    list(REMOVE_DUPLICATES changed)
    list(JOIN changed ", " changed)
    set(${out} "${changed}" PARENT_SCOPE)
endfunction()

set(refused "")
differing(${PROGRAMS} programs_differ)
if(programs_differ)
    get_filename_component(folder ${PROGRAMS} DIRECTORY)
    string(APPEND refused "The i686 programs in ${folder} were not built from the sources in "
           "${ROOT} as they are now (differing: ${programs_differ}). Build them: cmake --preset "
           "mingw-i686 && cmake --build --preset mingw-i686\n")
endif()
differing(${TESTS} tests_differ)
if(tests_differ)
    get_filename_component(folder ${TESTS} DIRECTORY)
    string(APPEND refused "This test build (${folder}) was not built from the sources as they are "
           "now (differing: ${tests_differ}). Build it: cmake --build --preset host-i386\n")
endif()
if(refused)
    message(NOTICE "${refused}The shipped tests compare the i686 programs with this test build and "
                   "its expectations, so they run only when both are built from the same sources.")
    message(FATAL_ERROR "The shipped tests do not run: rebuild first (see above).")
endif()
message(STATUS "The i686 programs and this test build are both built from the sources as they are.")
