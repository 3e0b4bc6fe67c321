# Hardening of the Linux binaries as Debian 12 builds its packages
# (dpkg-buildflags with hardening=+all): the stack protector for functions
# with local arrays or address-taken locals, glibc's checked string and
# memory functions (_FORTIFY_SOURCE=2, which needs optimisation, so only the
# optimised configurations get it), position-independent executables, and
# relocations made read-only after immediate binding at load time.
#
# Every Linux build gets it except the sanitizer and fuzzing builds: their
# instrumentation replaces these checks, and their -O0/-O1 code would make
# glibc warn about _FORTIFY_SOURCE. The Windows build has its own linker.
# The package test checks the result with hardening-check.
if(WIN32 OR ARVOLINE_SANITIZE OR ARVOLINE_FUZZ)
  return()
endif()

add_compile_options(-fstack-protector-strong)
add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)

# CMAKE_POSITION_INDEPENDENT_CODE gives -fPIE; with the PIE check done,
# executables are also linked with -pie.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

add_link_options(LINKER:-z,relro LINKER:-z,now)
