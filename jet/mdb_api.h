// The libmdb (mdbtools) C interface. Internal to jet/.
//
// glib must come first: mdbtools.h includes it inside extern "C", where
// glib's C++ templates do not compile.
#pragma once

#include <glib.h>

#include <mdbtools.h>
