# Link-time optimisation of the plug-in module (Arvoline.so) in the optimised
# Linux builds. The import's time is spread over many small functions in
# separate files (the engine's value handling, the dataset's fields, the code
# page conversions), which only the linker can inline across; the whole
# import takes markedly fewer instructions (the README has the figures).
#
# Every object is compiled "fat": it holds the optimiser's intermediate form
# beside the ordinary machine code. Only the module is linked with -flto;
# the tests, the host and the tools link the ordinary code as before, so
# their links cost no more. The archives need gcc-ar, which adds the index of
# the intermediate form.
#
# Not in the sanitizer, fuzzing and Windows builds (as the hardening flags),
# nor in the Debug configuration.
if(WIN32 OR ARVOLINE_SANITIZE OR ARVOLINE_FUZZ OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  return()
endif()
if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  return()
endif()

set(CMAKE_AR ${CMAKE_CXX_COMPILER_AR})
set(CMAKE_RANLIB ${CMAKE_CXX_COMPILER_RANLIB})
add_compile_options(-flto=auto -ffat-lto-objects)
set(ARVOLINE_MODULE_LINK_OPTIONS -flto=auto)
