# The Windows portable zip and the installer, both made by cpack (the
# package target) from one staged install: the ZIP generator writes
# tarvel-VERSION-win64.zip, and the External generator hands the staged
# tree to WindowsInstaller.cmake, which runs makensis for
# tarvel-VERSION-win64-setup.exe.

# The licence of every library linked into the programs, from the Debian
# package that built or shipped it: NAME=PACKAGE gives licences/NAME.txt.
set(TARVEL_LICENCES
  gcc-runtime=gcc-mingw-w64-base  # libstdc++, libgcc: the GCC Runtime Library Exception
  winpthreads=mingw-w64-common
  zlib=libz-mingw-w64-dev
  libpng=libpng-dev
  assimp=libassimp-dev
  minizip=libminizip-dev  # assimp's zip reader
  stb=libstb-dev          # assimp's image decoder
  utf8cpp=libutfcpp-dev   # assimp's text decoding
  cli11=libcli11-dev)
foreach(entry ${TARVEL_LICENCES})
  string(REPLACE "=" ";" entry ${entry})
  list(GET entry 0 name)
  list(GET entry 1 package)
  set(copyright /usr/share/doc/${package}/copyright)
  if(NOT EXISTS ${copyright})
    message(FATAL_ERROR "The licence of ${name} is missing: ${copyright} (install ${package}).")
  endif()
  install(FILES ${copyright} DESTINATION licences RENAME ${name}.txt)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

find_program(TARVEL_MAKENSIS makensis)
set(CPACK_GENERATOR ZIP External)
set(CPACK_PACKAGE_FILE_NAME tarvel-${PROJECT_VERSION}-win64)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/windows/WindowsInstaller.cmake)
# CPack hands every CPACK_ variable on to the script.
set(CPACK_TARVEL_MAKENSIS ${TARVEL_MAKENSIS})
set(CPACK_TARVEL_NSI ${CMAKE_CURRENT_SOURCE_DIR}/windows/tarvel.nsi)
set(CPACK_TARVEL_ICON ${CMAKE_CURRENT_SOURCE_DIR}/icons/tarvel.ico)

# The icon and version Explorer shows for each program, in a library of its
# own so that the C++ warning flags never reach the resource compiler.
enable_language(RC)
foreach(program tarvel-cli tarvel-import tarvel)
  if(NOT TARGET ${program})
    continue()
  endif()
  set(TARVEL_PROGRAM ${program})
  set(TARVEL_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}")
  set(TARVEL_ICON ${CMAKE_CURRENT_SOURCE_DIR}/icons/tarvel.ico)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows/program.rc.in
    ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc @ONLY)
  add_library(${program}-resources OBJECT ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
  target_link_libraries(${program} PRIVATE ${program}-resources)
endforeach()
