# Run at build time (cmake -P): writes the header that names this build's
# version and, when the sources are a git checkout of their own, its commit.
# The header is rewritten only when its text changes, so a build that moved
# no commit recompiles nothing.
#   -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=...
set(commit "")
find_package(Git QUIET)
if(GIT_FOUND)
  # A source tree unpacked inside some other checkout must not take that
  # checkout's commit for its own.
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --show-toplevel
    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed)
    file(REAL_PATH "${top}" top)
    file(REAL_PATH "${SOURCE_DIR}" source)
  endif()
  if(NOT failed AND top STREQUAL source)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} describe --always --dirty
      OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
      set(commit "")
    endif()
  endif()
endif()
set(text "#pragma once\n// Generated at build time; do not edit.\n#define TARVEL_VERSION \"${VERSION}\"\n#define TARVEL_COMMIT \"${commit}\"\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUTPUT} "${text}")
endif()
