# The Linux release packages of the terminal host, made by CPack from the install rules:
# a tarball that works wherever it is unpacked and a .deb for apt. scripts/package runs
# it after building; the FAR packages (zips) are made there from the Windows builds.
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
set(CPACK_PACKAGE_DESCRIPTION
    "quorvane-run lists the names of a directory in your own editor; change the names,\n\
save and quit, and the files are renamed. It runs the Quorvane plugin of FAR Manager 3\n\
without FAR.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quorvane.example.org")
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME quorvane-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})

set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
find_program(DPKG dpkg)
if(DPKG)
  execute_process(COMMAND ${DPKG} --print-architecture
                  OUTPUT_VARIABLE DEB_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${DEB_ARCHITECTURE})
  set(CPACK_DEBIAN_FILE_NAME quorvane_${PROJECT_VERSION}_${DEB_ARCHITECTURE}.deb)
endif()

include(CPack)
