# The viewer page, bundled by npm from viewer/ into one self-contained HTML file. Built with the
# program when npm is there; without npm the build says so and goes on without the page.
option(TANDOR_VIEWER "Build the viewer page (needs Node.js with npm)" ON)
set(TANDOR_VIEWER_PAGE "")
if(TANDOR_VIEWER)
  find_program(TANDOR_NPM npm)
  if(TANDOR_NPM)
    set(viewer "${PROJECT_SOURCE_DIR}/viewer")
    set(TANDOR_VIEWER_PAGE "${PROJECT_BINARY_DIR}/tandor-cube-viewer.html")
    file(GLOB_RECURSE viewer_sources CONFIGURE_DEPENDS "${viewer}/src/*")
    add_custom_command(
      OUTPUT "${TANDOR_VIEWER_PAGE}"
      COMMAND "${CMAKE_COMMAND}" -DNPM=${TANDOR_NPM} -DVIEWER=${viewer} -DPAGE=${TANDOR_VIEWER_PAGE}
              -P "${CMAKE_CURRENT_LIST_DIR}/build-viewer.cmake"
      DEPENDS ${viewer_sources} "${viewer}/build.mjs" "${viewer}/package.json" "${viewer}/package-lock.json"
              "${CMAKE_CURRENT_LIST_DIR}/build-viewer.cmake"
      COMMENT "Building the viewer page with npm"
      VERBATIM)
    add_custom_target(viewer ALL DEPENDS "${TANDOR_VIEWER_PAGE}")
  else()
    message(NOTICE "npm was not found: the viewer page is not built (it needs Node.js with npm)")
  endif()
endif()
