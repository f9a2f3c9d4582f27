# cmake --install lays out the program, its manual page and, when it was built, the viewer page;
# CPack makes a Debian package of the same files (cpack --preset release, or linux-arm64).
if(WIN32)
  # Windows: one folder, zipped by cpack --preset windows, holding the .exe with the viewer page
  # beside it, the README, LICENSE and the notices (ours, the page's, and those of the MinGW-w64
  # runtime linked into the .exe).
  set(TANDOR_PAGE_UNDER_PREFIX "tandor-cube-viewer.html")
  set_property(SOURCE src/driver/command_line.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    TANDOR_PAGE_UNDER_PREFIX="${TANDOR_PAGE_UNDER_PREFIX}" TANDOR_PAGE_FROM_PROGRAM="tandor-cube-viewer.html")
  set(notices "${PROJECT_BINARY_DIR}/NOTICES.txt")
  file(READ "${PROJECT_SOURCE_DIR}/docs/copyright" ours)
  set(runtime_notice "/usr/share/doc/mingw-w64-x86-64-dev/copyright")
  set(runtime "")
  if(EXISTS "${runtime_notice}")
    file(READ "${runtime_notice}" runtime)
  endif()
  file(WRITE "${notices}" "Tandor Cube Solver for Windows: the notices\n\n${ours}\n"
       "The program is linked with the GCC runtime libraries (libstdc++ and libgcc, under the GCC\n"
       "Runtime Library Exception) and with the MinGW-w64 runtime and winpthreads, whose notices follow.\n\n"
       "${runtime}")
  install(TARGETS tandor-cube-solver RUNTIME DESTINATION .)
  install(FILES README.md LICENSE "${notices}" DESTINATION .)
  if(TANDOR_VIEWER_PAGE)
    install(FILES "${TANDOR_VIEWER_PAGE}" DESTINATION .)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME tandor-cube-solver)
  set(CPACK_PACKAGE_VENDOR "Tandor Cube Solver developers")
  set(CPACK_PACKAGE_FILE_NAME "tandor-cube-solver-${PROJECT_VERSION}-windows-x86_64")
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()
include(GNUInstallDirs)
install(TARGETS tandor-cube-solver RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
# The program finds the viewer page from its own directory: the installed layout's relative path.
set(TANDOR_PAGE_UNDER_PREFIX "${CMAKE_INSTALL_DATADIR}/tandor-cube-solver/tandor-cube-viewer.html")
file(RELATIVE_PATH TANDOR_PAGE_FROM_PROGRAM "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${TANDOR_PAGE_UNDER_PREFIX}")
set_property(SOURCE src/driver/command_line.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  TANDOR_PAGE_UNDER_PREFIX="${TANDOR_PAGE_UNDER_PREFIX}" TANDOR_PAGE_FROM_PROGRAM="${TANDOR_PAGE_FROM_PROGRAM}")
# The build tree's manual page (man -l) names the page under the configured prefix; the installed
# one is made at install time from the prefix actually used (cmake --install --prefix P, or /usr
# for the package) and compressed, as are the changelog and the manual page of a Debian package.
set(TANDOR_INSTALLED_PAGE "${CMAKE_INSTALL_PREFIX}/${TANDOR_PAGE_UNDER_PREFIX}")
configure_file(docs/tandor-cube-solver.1 tandor-cube-solver.1 @ONLY)
find_program(TANDOR_GZIP gzip REQUIRED)
set(staged "${PROJECT_BINARY_DIR}/installed")
set(doc_dir "${CMAKE_INSTALL_DATAROOTDIR}/doc/tandor-cube-solver")
install(CODE "
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  set(TANDOR_INSTALLED_PAGE \"\${CMAKE_INSTALL_PREFIX}/${TANDOR_PAGE_UNDER_PREFIX}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/docs/tandor-cube-solver.1\" \"${staged}/tandor-cube-solver.1\" @ONLY)
  configure_file(\"${PROJECT_SOURCE_DIR}/docs/changelog\" \"${staged}/changelog\" COPYONLY)
  execute_process(COMMAND \"${TANDOR_GZIP}\" -9nf \"${staged}/tandor-cube-solver.1\" \"${staged}/changelog\"
                  COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1\" TYPE FILE
       FILES \"${staged}/tandor-cube-solver.1.gz\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${doc_dir}\" TYPE FILE FILES \"${staged}/changelog.gz\")
")
install(FILES docs/copyright DESTINATION "${doc_dir}")
if(TANDOR_VIEWER_PAGE)
  install(FILES "${TANDOR_VIEWER_PAGE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/tandor-cube-solver")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandor-cube-solver)
set(CPACK_PACKAGE_VENDOR "Tandor Cube Solver developers")
set(CPACK_PACKAGE_CONTACT "Tandor Cube Solver developers <dev@tandor.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds every assembly of the Tandor Cube puzzle")
# Debian's extended description, under the summary: lines of at most 80 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Finds every way to assemble a 4 x 4 x 4 cube from the thirteen pieces of the
Tandor Cube, keeps one copy of each assembly up to a rotation of the whole
cube, and reports them on the console and in TandorCubeSolutions.txt.
With a page that shows the solutions file in 3D.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A solver of a mathematical puzzle, with no game to play.
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_STRIP_FILES ON)
# The libraries the program links to, as dpkg-shlibdeps finds them where it is installed; a cross
# build names them, for this machine's package database knows only its own architecture.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
endif()
if(NOT CMAKE_CROSSCOMPILING)
  find_program(TANDOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
endif()
if(TANDOR_DPKG_SHLIBDEPS AND NOT CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.4), libstdc++6 (>= 12)")
endif()
include(CPack)
