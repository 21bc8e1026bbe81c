# The Linux release packages of the terminal host. CPack makes the .deb from the install
# rules; scripts/package makes the tarball from the same rules (with owners and times of
# its own, which CPack's archives do not set) and the FAR packages from the Windows builds.
if(WIN32 OR CMAKE_CROSSCOMPILING)
  return()
endif()

# scripts/package builds what is installed; building everything first (benchmarks and
# tests included) would only cost time.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorvane developers")
set(CPACK_PACKAGE_CONTACT "The Quorvane developers <quorvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rename many files at once by editing their names as text")
# Debian's tools show the description as it is: lines of at most 79 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "quorvane-run lists the names of a directory in your own editor; change the\n\
names, save and quit, and the files are renamed. It runs the Quorvane plugin of\n\
FAR Manager 3 without FAR.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quorvane.example.org")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
find_program(DPKG dpkg)
if(DPKG)
  execute_process(COMMAND ${DPKG} --print-architecture
                  OUTPUT_VARIABLE DEB_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${DEB_ARCHITECTURE})
  set(CPACK_DEBIAN_FILE_NAME quorvane_${PROJECT_VERSION}_${DEB_ARCHITECTURE}.deb)
endif()

# The documents differ by package. Installed by hand or from the tarball, the licence and
# the changelog lie in share/doc/quorvane/ as they are (component doc). Debian wants its
# own: the licence as a machine-readable copyright file and the changelog in its format,
# compressed (component debian, which only the .deb takes).
set(DOC_DIR share/doc/quorvane)
install(FILES ${LICENSE_FILE} ${CHANGELOG_FILE} DESTINATION ${DOC_DIR} COMPONENT doc)

set(DEBIAN_DOC_DIR ${CMAKE_BINARY_DIR}/debian)
file(MAKE_DIRECTORY ${DEBIAN_DOC_DIR})
file(READ ${LICENSE_FILE} LICENSE_TEXT)
# The terms are what follows the copyright notice; in the copyright file every line is
# indented by one space and an empty line is written " .".
string(REGEX REPLACE "^.*All rights reserved\\.\n\n" "" LICENSE_TERMS "${LICENSE_TEXT}")
string(REGEX REPLACE "\n+$" "" LICENSE_TERMS "${LICENSE_TERMS}")
string(REPLACE "\n\n" "\n.\n" LICENSE_TERMS "${LICENSE_TERMS}")
string(REPLACE "\n" "\n " LICENSE_TERMS " ${LICENSE_TERMS}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" COPYRIGHT_LINE "${LICENSE_TEXT}")
string(REPLACE "," "" COPYRIGHT_HOLDERS "${CMAKE_MATCH_1}")
file(WRITE ${DEBIAN_DOC_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quorvane
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}
Source: ${CPACK_PACKAGE_HOMEPAGE_URL}

Files: *
Copyright: ${COPYRIGHT_HOLDERS}
License: BSD-3-Clause
${LICENSE_TERMS}
")
execute_process(
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/debian-changelog ${CHANGELOG_FILE} ${CPACK_PACKAGE_NAME}
          "${CPACK_PACKAGE_CONTACT}"
  OUTPUT_FILE ${DEBIAN_DOC_DIR}/changelog COMMAND_ERROR_IS_FATAL ANY)
quorvane_gzip(${DEBIAN_DOC_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${LICENSE_FILE} ${CHANGELOG_FILE} ${CMAKE_SOURCE_DIR}/cmake/debian-changelog)
install(FILES ${DEBIAN_DOC_DIR}/copyright ${DEBIAN_DOC_DIR}/changelog.gz
        DESTINATION ${DOC_DIR} COMPONENT debian EXCLUDE_FROM_ALL)
# The .deb is one package of the listed components.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

include(CPack)
