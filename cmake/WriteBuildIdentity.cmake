# Run as a script at build time: writes BuildIdentity.h from the repository's state. Outside a
# git checkout the commit is "unknown" and the build number 0.
execute_process(COMMAND git rev-parse HEAD
                WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE BLINKWIT_GIT_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
execute_process(COMMAND git rev-list --count HEAD
                WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE BLINKWIT_BUILD_NUMBER OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
if(NOT BLINKWIT_GIT_COMMIT)
    set(BLINKWIT_GIT_COMMIT "unknown")
endif()
if(NOT BLINKWIT_BUILD_NUMBER)
    set(BLINKWIT_BUILD_NUMBER "0")
endif()
configure_file(${SOURCE_DIR}/app/BuildIdentity.h.in ${OUTPUT} @ONLY)
