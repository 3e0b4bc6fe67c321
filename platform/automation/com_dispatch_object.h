// A late-bound automation object of the platform's component object model
// (Windows only, internal to platform/automation/).
//
// Owns one reference to the object's IDispatch and releases it when
// destroyed, on the thread that created it (the host's thread).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <oleauto.h>

#include "runtime/dispatch.h"
#include "runtime/variant.h"

class ComDispatchObject : public IDispatchObject {
 public:
  // Takes over one reference of `dispatch`.
  explicit ComDispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {}
  ~ComDispatchObject() override;
  ComDispatchObject(const ComDispatchObject&) = delete;
  ComDispatchObject& operator=(const ComDispatchObject&) = delete;

  // GetIDsOfNames once with the member and the names of the named arguments,
  // then Invoke with DISPATCH_METHOD | DISPATCH_PROPERTYGET (a method that
  // gives a result and a property read alike). In the argument array the
  // named arguments come first, in the order of their ids, then the
  // positional ones in reverse order. DISP_E_EXCEPTION raises EOleError with
  // the server's description; any other failure EOleError with the system's
  // message for the HRESULT.
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

  // The interface, still owned by this object.
  IDispatch* Interface() const { return dispatch_; }

 private:
  IDispatch* dispatch_;
};
