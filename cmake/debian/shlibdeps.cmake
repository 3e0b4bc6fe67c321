# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the .deb's files are staged:
# sets the package's Depends to what dpkg-shlibdeps finds for its ELF files.
# Runs in CPack's scope, so the variable reaches the DEB generator.

file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(elf_files)
foreach(file IN LISTS staged)
  if(NOT IS_SYMLINK "${file}")
    file(READ "${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      list(APPEND elf_files "${file}")
    endif()
  endif()
endforeach()
if(NOT elf_files)
  message(FATAL_ERROR "shlibdeps: no ELF file among the staged files in ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# dpkg-shlibdeps wants a debian/control where it runs; an empty one will do.
set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control" "")
execute_process(COMMAND env LC_ALL=C dpkg-shlibdeps -O ${elf_files}
  WORKING_DIRECTORY "${work}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors)
file(REMOVE_RECURSE "${work}")
if(NOT status EQUAL 0 OR NOT output MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed (${status}): ${errors}${output}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
