#include <vector>

#include "platform/automation/com_dispatch_object.h"
#include "platform/automation/com_variant.h"
#include "runtime/exceptions.h"

namespace {

// Clears a set of VARIANTs on every path.
class VariantArray {
 public:
  explicit VariantArray(size_t n) : items_(n) {
    for (VARIANT& v : items_) VariantInit(&v);
  }
  ~VariantArray() {
    for (VARIANT& v : items_) VariantClear(&v);
  }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;
  VARIANT& operator[](size_t i) { return items_[i]; }
  VARIANT* data() { return items_.empty() ? nullptr : items_.data(); }

 private:
  std::vector<VARIANT> items_;
};

// The server's description of a DISP_E_EXCEPTION, the three strings freed.
UnicodeString TakeExceptionMessage(EXCEPINFO& info) {
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  UnicodeString message;
  if (info.bstrDescription)
    message.assign(reinterpret_cast<const char16_t*>(info.bstrDescription), SysStringLen(info.bstrDescription));
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  while (!message.empty() && message.back() <= u' ') message.pop_back();
  if (message.empty()) message = HresultMessage(info.scode != 0 ? info.scode : DISP_E_EXCEPTION);
  return message;
}

}  // namespace

ComDispatchObject::~ComDispatchObject() {
  if (dispatch_) dispatch_->Release();
}

Variant ComDispatchObject::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                                  const std::vector<NamedArgument>& named) {
  // Names: the member first, then the named arguments' parameters.
  std::vector<UnicodeString> names;
  names.reserve(1 + named.size());
  names.emplace_back(member);
  for (const NamedArgument& a : named) names.push_back(a.name);
  std::vector<LPOLESTR> namePointers;
  for (UnicodeString& n : names) namePointers.push_back(reinterpret_cast<LPOLESTR>(n.data()));
  std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
  HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, namePointers.data(), static_cast<UINT>(names.size()),
                                        LOCALE_USER_DEFAULT, ids.data());
  if (FAILED(hr)) throw EOleError(HresultMessage(hr));

  const size_t namedCount = named.size();
  const size_t total = namedCount + positional.size();
  VariantArray arguments(total);
  for (size_t i = 0; i < namedCount; ++i) ToComVariant(named[i].value, arguments[i]);
  for (size_t i = 0; i < positional.size(); ++i) ToComVariant(positional[i], arguments[total - 1 - i]);

  DISPPARAMS params{};
  params.rgvarg = arguments.data();
  params.cArgs = static_cast<UINT>(total);
  params.rgdispidNamedArgs = namedCount ? ids.data() + 1 : nullptr;
  params.cNamedArgs = static_cast<UINT>(namedCount);

  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info{};
  UINT argumentError = 0;
  // Methods and property reads alike: a server decides by its member.
  hr = dispatch_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                         &result, &info, &argumentError);
  if (hr == DISP_E_EXCEPTION) {
    VariantClear(&result);
    throw EOleError(TakeExceptionMessage(info));
  }
  if (FAILED(hr)) {
    VariantClear(&result);
    throw EOleError(HresultMessage(hr));
  }
  struct Clear {
    VARIANT* v;
    ~Clear() { VariantClear(v); }
  } clear{&result};
  return FromComVariant(result);
}
