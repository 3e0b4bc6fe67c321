// Conversion between the system's Variant and the platform's VARIANT
// (Windows only, internal to platform/automation/).
//
// Kinds, both ways: Empty, Null, BSTR text, I2/I4 (and I1/UI2/UI4/INT/UINT
// in) as Integer, I8/UI8 as Int64, UI1 as Byte, R4 as Single, R8 as Double,
// CY as Currency, DECIMAL as Decimal, DATE as Date, BOOL as Boolean, a
// SAFEARRAY of UI1 as ByteArray, a one-dimensional SAFEARRAY of VARIANT as
// Array, IDispatch (and IUnknown that answers IDispatch) as Dispatch.
// References (VT_BYREF) are read through. Other kinds raise EVariantError.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <oleauto.h>

#include "runtime/variant.h"

// Writes `value` into `out`, which must be VariantInit-ed; the caller clears
// it with VariantClear. A Dispatch value must hold an object of this
// platform's automation (a ComDispatchObject); its IDispatch is AddRef-ed.
void ToComVariant(const Variant& value, VARIANT& out);

// Reads `value` without changing it; objects are AddRef-ed into the result.
Variant FromComVariant(const VARIANT& value);

// The system's message for an HRESULT, without trailing blanks and line
// breaks; "OLE error XXXXXXXX" when the system has none.
UnicodeString HresultMessage(HRESULT hr);
