# A Windows build made on Linux runs its programs, and so its tests, under
# wine: CMAKE_CROSSCOMPILING_EMULATOR is what gtest_discover_tests and ctest
# put in front of each .exe.
find_program(TARVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
find_program(TARVEL_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine
             NO_CMAKE_FIND_ROOT_PATH)
if(NOT TARVEL_WINE OR NOT TARVEL_WINESERVER)
  message(WARNING "wine64 not found: the Windows tests cannot run here "
                  "(scripts/install-deps.sh --windows installs it)")
  return()
endif()
set(TARVEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine_run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
               GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# Making the wine prefix takes half a minute on a busy machine; done here once,
# it does not eat into the test discovery's time limit.
if(NOT EXISTS ${TARVEL_WINEPREFIX}/system.reg)
  message(STATUS "Making the wine prefix ${TARVEL_WINEPREFIX}")
  execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit 0
                  OUTPUT_QUIET ERROR_QUIET)
endif()
