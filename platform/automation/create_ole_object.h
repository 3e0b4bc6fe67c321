// Creation of a late-bound automation object by its class name.
#pragma once

#include "runtime/unicode_string.h"
#include "runtime/variant.h"

// Creates a new object of the server registered for `className` and returns
// it in a Variant (type Dispatch); the Variant shares ownership of it.
// Raises EOleError "Invalid class string" when no server answers to the
// name, and passes on the EOleError of a server that fails to start.
Variant CreateOleObject(UnicodeStringView className);
