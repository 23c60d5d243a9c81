# The desktop integration and the .deb. The desktop database, the MIME
# database and the icon cache are refreshed by their own packages' dpkg
# triggers on these folders, so the package needs no scripts of its own.
set(sizes 16 24 32 48 64 128 256)
if(TARGET tarvel)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/linux/tarvel.desktop DESTINATION share/applications)
  foreach(size ${sizes})
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/icons/tarvel-${size}.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tarvel.png)
  endforeach()
endif()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/linux/tarvel.xml DESTINATION share/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/tarvel)

set(TARVEL_PACKAGE_MAINTAINER "Tarvel developers <tarvel@example.org>"
  CACHE STRING "The Maintainer field of the .deb")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TARVEL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# dpkg-shlibdeps (dpkg-dev) names the packages of the libraries the
# programs link: Qt, libpng, assimp, the C++ runtime.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tarvel reads a 3D scene, builds a BSP tree of its polygons and writes the\n\
binary 3DO object file; it also reads 3DO files back. tarvel is the desktop\n\
window, tarvel-cli the command-line tool for scripts.")
