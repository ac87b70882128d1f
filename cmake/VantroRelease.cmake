# The release for Windows users: one zip, Vantro32-<version>-win64.zip, holding every shipped
# program, a README.txt and the licence, with Windows line ends, and the country file the cluster
# bridge reads. Made by CPack:
#   cmake --build BUILD --target package      (the zip lands in BUILD/release/)
set(VANTRO_RELEASE_TEXTS ${CMAKE_BINARY_DIR}/release-texts)
# The country file's version, its "=VERyyyymmdd" alias, for the README.
file(STRINGS ${VANTRO_COUNTRY_FILE} VANTRO_COUNTRY_FILE_VERSION REGEX "=VER[0-9]+" LIMIT_COUNT 1)
string(REGEX REPLACE ".*=VER([0-9]+).*" "\\1" VANTRO_COUNTRY_FILE_VERSION
       "${VANTRO_COUNTRY_FILE_VERSION}")
configure_file(${PROJECT_SOURCE_DIR}/docs/release/README.txt ${VANTRO_RELEASE_TEXTS}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${VANTRO_RELEASE_TEXTS}/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)

get_property(VANTRO_SHIPPED_PROGRAMS GLOBAL PROPERTY VANTRO_SHIPPED)
install(TARGETS ${VANTRO_SHIPPED_PROGRAMS} RUNTIME DESTINATION .)
install(FILES ${VANTRO_RELEASE_TEXTS}/README.txt ${VANTRO_RELEASE_TEXTS}/LICENSE.txt
        DESTINATION .)
# The amateur country file beside the cluster bridge, which reads it from its own folder.
install(FILES ${VANTRO_COUNTRY_FILE} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vantro32)
set(CPACK_PACKAGE_VENDOR "The Vantro32 authors")
set(CPACK_PACKAGE_FILE_NAME Vantro32-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/release)
# Unpacked, the zip gives one folder of its name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES OFF)  # a release build links them stripped already
include(CPack)
