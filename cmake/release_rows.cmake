# The release guide's table of variants (variants/file_descriptions.cmake) as C++ data for the
# tests that compare it with what the programs do (tests/e2e/behaviours.cpp): one
# {"deliverable", "field\tfield\t..."} a line, in <folder>/release_rows.inc.
function(write_release_rows folder)
    include(${PROJECT_SOURCE_DIR}/variants/file_descriptions.cmake)
    set(rows "// Made from variants/file_descriptions.cmake by cmake/release_rows.cmake.\n")
    foreach(deliverable IN LISTS DELIVERABLES)
        string(REPLACE "\t" "\\t" row "${RELEASE_ROW_${deliverable}}")
        string(REPLACE "\"" "\\\"" row "${row}")
        string(APPEND rows "{\"${deliverable}\", \"${row}\"},\n")
    endforeach()
    file(CONFIGURE OUTPUT ${folder}/release_rows.inc CONTENT "${rows}" @ONLY)
endfunction()
