# cmake --install lays out the program, its manual page and, when it was built, the viewer page;
# CPack makes a Debian package of the same files (cpack --preset release).
include(GNUInstallDirs)
install(TARGETS tandor-cube-solver RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
configure_file(docs/tandor-cube-solver.1 tandor-cube-solver.1 @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/tandor-cube-solver.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
if(TANDOR_VIEWER_PAGE)
  install(FILES "${TANDOR_VIEWER_PAGE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/tandor-cube-solver")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandor-cube-solver)
set(CPACK_PACKAGE_VENDOR "Tandor Cube Solver developers")
set(CPACK_PACKAGE_CONTACT "Tandor Cube Solver developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds every assembly of the Tandor Cube puzzle")
set(CPACK_PACKAGE_DESCRIPTION
  "Finds every way to assemble a 4 x 4 x 4 cube from the thirteen pieces of the Tandor Cube, keeps one copy of each assembly up to a rotation of the whole cube, and reports them on the console and in TandorCubeSolutions.txt. With a page that shows the solutions file in 3D.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_STRIP_FILES ON)
# The libraries the program links to, as dpkg-shlibdeps finds them where it is installed.
find_program(TANDOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TANDOR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.4), libstdc++6 (>= 12)")
endif()
include(CPack)
