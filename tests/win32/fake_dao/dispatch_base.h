// An IDispatch object without a type library, for the test-only DAO server.
//
// Each class lists its members: name, property or method, parameter names
// and how many of them are required. Invoke binds the arguments the way a
// type-library server does: positional arguments arrive in reverse order
// after the named ones, named arguments carry the parameter ids that
// GetIDsOfNames gave their names. A property answers only a call whose flags
// include DISPATCH_PROPERTYGET, a method only one that includes
// DISPATCH_METHOD; anything else is DISP_E_MEMBERNOTFOUND, as with a real
// server, so that a client using the wrong flags fails here too.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

struct MemberSpec {
  const wchar_t* name;
  bool property;
  std::vector<const wchar_t*> parameters;
  size_t required;
};

// A DAO failure: becomes DISP_E_EXCEPTION with this description.
struct DaoError {
  long number;
  std::wstring description;
};
// Any other failure of a call.
struct CallFailure {
  HRESULT hr;
};

class DispatchBase : public IDispatch {
 public:
  DispatchBase(const wchar_t* className, const std::vector<MemberSpec>& members)
      : className_(className), members_(members) {}
  virtual ~DispatchBase() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* argumentError) override;

 protected:
  // Runs member `member` (index into the list) with one argument per
  // parameter, null where none was passed. Throws DaoError or CallFailure.
  virtual void Call(size_t member, const std::vector<VARIANT*>& arguments, VARIANT& result) = 0;
  // Whether calls on this object go to the call log (FAKE_DAO_LOG).
  virtual bool Logged() const { return true; }

 private:
  LONG references_ = 1;
  const wchar_t* className_;
  const std::vector<MemberSpec>& members_;
};

// Argument readers: convert like a type-library server (DISP_E_TYPEMISMATCH
// when the value does not convert).
std::wstring TextArgument(VARIANT* v);
long LongArgument(VARIANT* v);

// Result writers.
void SetText(VARIANT& result, const std::wstring& text);
void SetLong(VARIANT& result, long value);
void SetBool(VARIANT& result, bool value);
// Takes over the reference the caller holds.
void SetObject(VARIANT& result, IDispatch* object);
