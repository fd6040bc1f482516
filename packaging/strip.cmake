# Run by CPack on the staged files before it packs them: strips the program the way Debian strips
# the programs of its own packages (dh_strip), symbols and also the compilers' version strings
# (.comment) and the unused notes section.
file(GLOB_RECURSE programs LIST_DIRECTORIES false
    "${CPACK_TEMPORARY_DIRECTORY}/*/libexec/tarvex/tarvex")
if(NOT programs)
    message(FATAL_ERROR "strip.cmake: no program in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
    execute_process(
        COMMAND ${CPACK_TARVEX_STRIP} --remove-section=.comment --remove-section=.note ${program}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
