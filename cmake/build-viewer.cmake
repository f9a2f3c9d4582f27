# Builds the viewer page: cmake -DNPM=npm -DVIEWER=<viewer dir> [-DPAGE=<page to write>] -P build-viewer.cmake
# Installs the viewer's packages with npm ci only when node_modules is missing or older than the
# lock file, bundles the page with npm run build (into VIEWER/dist), and copies it to PAGE when
# given. The CMake build and tools/viewer both build the page through it.
set(installed "${VIEWER}/node_modules/.package-lock.json")
if(NOT EXISTS "${installed}" OR "${VIEWER}/package-lock.json" IS_NEWER_THAN "${installed}")
  execute_process(COMMAND "${NPM}" ci --no-audit --no-fund WORKING_DIRECTORY "${VIEWER}"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND "${NPM}" run build --silent WORKING_DIRECTORY "${VIEWER}" COMMAND_ERROR_IS_FATAL ANY)
if(PAGE)
  file(COPY_FILE "${VIEWER}/dist/tandor-cube-viewer.html" "${PAGE}")
endif()
