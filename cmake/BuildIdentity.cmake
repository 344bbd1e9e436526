# Version, build number and commit of this build, handed to BuildInfo at compile time.
execute_process(COMMAND git rev-parse --short=12 HEAD
                WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                OUTPUT_VARIABLE BLINKWIT_GIT_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
execute_process(COMMAND git rev-list --count HEAD
                WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                OUTPUT_VARIABLE BLINKWIT_BUILD_NUMBER OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
if(NOT BLINKWIT_GIT_COMMIT)
    set(BLINKWIT_GIT_COMMIT "unknown")
endif()
if(NOT BLINKWIT_BUILD_NUMBER)
    set(BLINKWIT_BUILD_NUMBER "0")
endif()
