# Read by cpack (through the generated NkCPackDepends.cmake): adds to Depends the
# packages of the libraries NK_SHLIBDEPS_BINARIES link, as dpkg-shlibdeps finds them.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(work "${CPACK_PACKAGE_DIRECTORY}/_shlibdeps")
    # dpkg-shlibdeps reads the source package's control file for nothing else.
    file(WRITE "${work}/debian/control"
         "Source: ${CPACK_PACKAGE_NAME}\n\nPackage: ${CPACK_PACKAGE_NAME}\nArchitecture: any\n")
    execute_process(COMMAND dpkg-shlibdeps -O ${NK_SHLIBDEPS_BINARIES}
                    WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE found ERROR_VARIABLE problems
                    RESULT_VARIABLE result)
    file(REMOVE_RECURSE "${work}")
    string(REGEX MATCH "shlibs:Depends=([^\n]*)" depends "${found}")
    if(NOT result EQUAL 0 OR NOT CMAKE_MATCH_1)
        message(FATAL_ERROR "dpkg-shlibdeps found no libraries (${result}): ${problems}")
    endif()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${CMAKE_MATCH_1}")
endif()
