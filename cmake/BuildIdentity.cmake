# The build's identity, compiled into BuildInfo: version, build number, git commit and the
# address of the published build manifest.
set(BLINKWIT_MANIFEST_URL "https://updates.blinkwit.app/build.json" CACHE STRING
    "HTTPS address of the published build manifest (its path is /build.json)")
if(NOT BLINKWIT_MANIFEST_URL MATCHES "^https://[^/]+/(.*/)?build\\.json$")
    message(FATAL_ERROR "BLINKWIT_MANIFEST_URL must be an https:// address ending in /build.json, "
                        "not '${BLINKWIT_MANIFEST_URL}'")
endif()

# The header is rewritten at every build (only when its content changed), so a new commit
# never leaves a stale identity in the program.
set(BLINKWIT_BUILD_IDENTITY_HEADER ${CMAKE_BINARY_DIR}/app/BuildIdentity.h)
add_custom_target(blinkwit_build_identity
    COMMAND ${CMAKE_COMMAND}
            -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
            -DOUTPUT=${BLINKWIT_BUILD_IDENTITY_HEADER}
            -DPROJECT_VERSION=${PROJECT_VERSION}
            -DBLINKWIT_MANIFEST_URL=${BLINKWIT_MANIFEST_URL}
            -P ${CMAKE_SOURCE_DIR}/cmake/WriteBuildIdentity.cmake
    BYPRODUCTS ${BLINKWIT_BUILD_IDENTITY_HEADER}
    COMMENT "" VERBATIM)
