# Run by CPack on the staged files before it packs them: strips the program and its print module
# the way Debian strips the programs of its own packages (dh_strip), symbols and also the
# compilers' version strings (.comment) and the unused notes section. The module keeps the
# dynamic symbols it is loaded by: strip only ever removes the static symbol table.
file(GLOB_RECURSE programs LIST_DIRECTORIES false
    "${CPACK_TEMPORARY_DIRECTORY}/*/libexec/tarvex/tarvex")
file(GLOB_RECURSE modules LIST_DIRECTORIES false
    "${CPACK_TEMPORARY_DIRECTORY}/*/libexec/tarvex/tarvex_print.so")
if(NOT programs OR NOT modules)
    message(FATAL_ERROR "strip.cmake: no program or no print module in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs modules)
    execute_process(
        COMMAND ${CPACK_TARVEX_STRIP} --remove-section=.comment --remove-section=.note ${program}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
