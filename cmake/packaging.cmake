# Release packages, made by CPack from what `cmake --install` puts in place:
#   Linux build:   arvoline_VERSION_amd64.deb (cpack -G DEB)
#   Windows build: Arvoline-VERSION-win32.zip (cpack -G ZIP)
# `make package` runs both.

set(CPACK_PACKAGE_VENDOR "Arvoline developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "import plug-in for Arvoline and Gleanery outline databases")

if(WIN32)
  # The zip holds the DLL exactly as built and tested: no stripping.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Arvoline)
  set(CPACK_PACKAGE_FILE_NAME Arvoline-${PROJECT_VERSION}-win32)
  include(CPack)
  return()
endif()

# The documentation folder: the README, and the Debian copyright and
# changelog files that every package carries.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${ARVOLINE_INSTALL_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${ARVOLINE_INSTALL_DOC_DIR})
# The changelog names the release; its date honours SOURCE_DATE_EPOCH so a
# rebuild of the same sources gives the same file.
string(TIMESTAMP ARVOLINE_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ARVOLINE_MAINTAINER "Arvoline developers <maintainers@users.noreply.c-seed-f8f2e354.example>")
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
file(ARCHIVE_CREATE OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  PATHS ${CMAKE_BINARY_DIR}/debian/changelog
  FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9 MTIME 0)
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${ARVOLINE_INSTALL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME arvoline)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian ships binaries without their debugging sections.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ARVOLINE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries really link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The extended description; the summary above is its first line.
set(CPACK_PACKAGE_DESCRIPTION
  "The Arvoline plug-in reads the outline databases of Arvoline (.xtp) and
Gleanery (.xrd), both Microsoft Access files, and hands their whole content
to a host application node by node: one document per call, with its level in
the outline, its title and its content as UTF-8.

This package holds the plug-in module (/usr/lib/arvoline/Arvoline.so), its
public header, and arvoline-host, a command-line host that prints what the
plug-in says about itself and imports a database as an indented tree of
titles or as JSON.")
# Directories the package creates are 0755, as Debian expects.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
