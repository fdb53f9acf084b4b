# Run by cpack on the staged files before it makes the packages: strips the executables as
# Debian's dh_strip does, symbols and the .comment and .note sections (plain strip keeps those).
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
    if(IS_SYMLINK "${file}")
        continue()
    endif()
    file(READ "${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
        execute_process(COMMAND "${CPACK_QRN_STRIP}" --remove-section=.comment
                                --remove-section=.note "${file}"
                        RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "could not strip ${file}")
        endif()
    endif()
endforeach()
