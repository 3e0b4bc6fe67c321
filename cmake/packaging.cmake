# Release packages, made by CPack from what `cmake --install` puts in place:
#   Linux build:   arvoline_VERSION_amd64.deb (cpack -G DEB)
#   Windows build: Arvoline-VERSION-win32.zip and
#                  Arvoline-VERSION-win32-debug.zip (cpack -G ZIP)
# `make package` runs both.

set(CPACK_PACKAGE_VENDOR "Arvoline developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "import plug-in for Arvoline and Gleanery outline databases")

if(WIN32)
  # Two zips, one per install component: "dll" holds what a host author
  # needs (the stripped DLL exactly as built and tested, its header, the
  # integration notes, the licence); "debug" holds the DLL's debugging
  # information, which the DLL's debug link names (plugin/CMakeLists.txt).
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT dll)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT debug)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Arvoline)
  set(CPACK_PACKAGE_FILE_NAME Arvoline-${PROJECT_VERSION}-win32)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  # Both under the folder Arvoline-VERSION-win32/: unpacked together, the
  # debug file lands beside the DLL, where its debug link is looked for.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENTS_ALL dll debug)
  set(CPACK_ARCHIVE_DLL_FILE_NAME Arvoline-${PROJECT_VERSION}-win32)
  set(CPACK_ARCHIVE_DEBUG_FILE_NAME Arvoline-${PROJECT_VERSION}-win32-debug)
  include(CPack)
  return()
endif()

# The documentation folder: the README, and the Debian copyright and
# changelog files that every package carries.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${ARVOLINE_INSTALL_DOC_DIR})
# The changelog names the release; its date honours SOURCE_DATE_EPOCH so a
# rebuild of the same sources gives the same file.
string(TIMESTAMP ARVOLINE_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ARVOLINE_MAINTAINER "Arvoline developers <maintainers@users.noreply.c-seed-f8f2e354.example>")

# The copyright file in Debian's machine-readable format. LICENSE is the one
# copy of the licence: its copyright line and its text (indented, blank lines
# as " .") are filled in here.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE ARVOLINE_LICENSE_TEXT)
if(NOT ARVOLINE_LICENSE_TEXT MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: no \"Copyright (c) ...\" line followed by the licence text")
endif()
set(ARVOLINE_COPYRIGHT ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" ARVOLINE_LICENSE_BODY "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " ARVOLINE_LICENSE_BODY " ${ARVOLINE_LICENSE_BODY}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/copyright.in ${CMAKE_BINARY_DIR}/debian/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright DESTINATION ${ARVOLINE_INSTALL_DOC_DIR})
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
# The libraries the binaries really link, as dpkg-shlibdeps finds them, by
# a script of our own run on the staged files (cmake/debian/shlibdeps.cmake):
# CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS would also add postinst and
# postrm scripts calling ldconfig for the plug-in under /usr/lib, which its
# private folder does not need.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/debian/shlibdeps.cmake)
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
