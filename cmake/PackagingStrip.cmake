# Run by cpack on the staged files before it packs them: strips the programs as
# Debian's own packaging does, without the .comment and .note sections that
# carry only the compiler's name and notes.
file(GLOB_RECURSE staged_files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(staged_programs ${staged_files})
list(FILTER staged_programs INCLUDE REGEX "/bin/[^/]+$")
foreach(program IN LISTS staged_programs)
    execute_process(COMMAND ${CPACK_SHEETJOB_STRIP} --remove-section=.comment --remove-section=.note
                            --strip-unneeded ${program}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot strip ${program}")
    endif()
endforeach()
