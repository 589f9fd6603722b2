# Manual pages (and bash completion) made at build time from a program's own --help text, so
# that a new command or option is documented where it is defined.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(GNUInstallDirs)

# lumora_manual_page(TARGET [COMPLETION]): docs/man/TARGET.1.in becomes TARGET.1 (gzipped for
# installation); with COMPLETION also the bash completion of TARGET.
function(lumora_manual_page target)
    set(template ${PROJECT_SOURCE_DIR}/docs/man/${target}.1.in)
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
    set(outputs ${page} ${page}.gz)
    set(completion)
    if("COMPLETION" IN_LIST ARGN)
        set(completion ${CMAKE_CURRENT_BINARY_DIR}/${target}.bash-completion)
        list(APPEND outputs ${completion})
    endif()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-cli-docs.py
            $<TARGET_FILE:${target}> ${template} ${page} ${completion}
            --define VERSION=${PROJECT_VERSION} --define DATE=${LUMORA_RELEASE_DATE}
        COMMAND gzip -9nkf ${page}
        DEPENDS ${target} ${template} ${PROJECT_SOURCE_DIR}/scripts/make-cli-docs.py
        COMMENT "Writing the manual page of ${target} from its --help"
        VERBATIM)
    add_custom_target(${target}_manual ALL DEPENDS ${outputs})
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    if(completion)
        install(FILES ${completion} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
            RENAME ${target})
    endif()
endfunction()
