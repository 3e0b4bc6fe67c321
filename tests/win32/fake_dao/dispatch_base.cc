#include "dispatch_base.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// "I4 1", "BSTR \"x\"": the kind the client sent and its value.
std::wstring Describe(const VARIANT* v) {
  VARIANT text;
  VariantInit(&text);
  std::wstring kind;
  switch (V_VT(v) & ~VT_BYREF) {
    case VT_EMPTY: return L"EMPTY";
    case VT_NULL: return L"NULL";
    case VT_BSTR: kind = L"BSTR"; break;
    case VT_I2: kind = L"I2"; break;
    case VT_I4: kind = L"I4"; break;
    case VT_UI1: kind = L"UI1"; break;
    case VT_BOOL: kind = L"BOOL"; break;
    case VT_R8: kind = L"R8"; break;
    case VT_ERROR: return L"MISSING";
    default: kind = L"VT" + std::to_wstring(V_VT(v)); break;
  }
  std::wstring value;
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(v), 0, VT_BSTR))) {
    value.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    VariantClear(&text);
  }
  if ((V_VT(v) & ~VT_BYREF) == VT_BSTR) value = L"\"" + value + L"\"";
  return kind + L" " + value;
}

void Log(const std::wstring& line) {
  const char* path = std::getenv("FAKE_DAO_LOG");
  if (!path || !*path) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::string s = Utf8(line) + "\n";
    std::fwrite(s.data(), 1, s.size(), f);
    std::fclose(f);
  }
}

HRESULT Fill(EXCEPINFO* info, const DaoError& e) {
  if (info) {
    *info = EXCEPINFO{};
    info->wCode = 0;
    info->scode = static_cast<SCODE>(0x800A0000 | (e.number & 0xFFFF));
    info->bstrSource = SysAllocString(L"DAO.Database");
    info->bstrDescription = SysAllocString(e.description.c_str());
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT DispatchBase::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DispatchBase::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG DispatchBase::Release() {
  LONG n = InterlockedDecrement(&references_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

HRESULT DispatchBase::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT DispatchBase::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT DispatchBase::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const MemberSpec* member = nullptr;
  for (size_t m = 0; m < members_.size(); ++m)
    if (_wcsicmp(members_[m].name, names[0]) == 0) {
      member = &members_[m];
      ids[0] = static_cast<DISPID>(m + 1);
    }
  if (!member) return DISP_E_UNKNOWNNAME;
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    for (size_t p = 0; p < member->parameters.size(); ++p)
      if (_wcsicmp(member->parameters[p], names[i]) == 0) ids[i] = static_cast<DISPID>(p);
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchBase::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* info, UINT*) {
  if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  const size_t index = static_cast<size_t>(id - 1);
  const MemberSpec& member = members_[index];
  if (!(flags & (member.property ? DISPATCH_PROPERTYGET : DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;

  std::vector<VARIANT*> arguments(member.parameters.size(), nullptr);
  const UINT named = params ? params->cNamedArgs : 0;
  const UINT total = params ? params->cArgs : 0;
  const UINT positional = total - named;
  if (positional > arguments.size()) return DISP_E_BADPARAMCOUNT;
  for (UINT i = 0; i < positional; ++i) arguments[i] = &params->rgvarg[total - 1 - i];
  for (UINT i = 0; i < named; ++i) {
    DISPID p = params->rgdispidNamedArgs[i];
    if (p < 0 || static_cast<size_t>(p) >= arguments.size()) return DISP_E_PARAMNOTFOUND;
    if (arguments[p]) return DISP_E_BADPARAMCOUNT;
    arguments[p] = &params->rgvarg[i];
  }
  // An omitted optional argument may also arrive as DISP_E_PARAMNOTFOUND.
  for (VARIANT*& a : arguments)
    if (a && V_VT(a) == VT_ERROR && V_ERROR(a) == DISP_E_PARAMNOTFOUND) a = nullptr;
  for (size_t i = 0; i < member.required; ++i)
    if (!arguments[i]) return DISP_E_PARAMNOTOPTIONAL;

  if (Logged()) {
    std::wstring line = std::wstring(className_) + L"." + member.name + L"(";
    for (UINT i = 0; i < positional; ++i) line += (i ? L", " : L"") + Describe(&params->rgvarg[total - 1 - i]);
    for (UINT i = 0; i < named; ++i)
      line += std::wstring(i || positional ? L", " : L"") + member.parameters[params->rgdispidNamedArgs[i]] +
              L":=" + Describe(&params->rgvarg[i]);
    line += L")";
    Log(line);
  }

  VARIANT local;
  VariantInit(&local);
  VARIANT& out = result ? *result : local;
  VariantInit(&out);
  try {
    Call(index, arguments, out);
  } catch (const DaoError& e) {
    VariantClear(&out);
    Log(L"  error " + std::to_wstring(e.number) + L": " + e.description);
    return Fill(info, e);
  } catch (const CallFailure& f) {
    VariantClear(&out);
    return f.hr;
  }
  VariantClear(&local);
  return S_OK;
}

std::wstring TextArgument(VARIANT* v) {
  VARIANT t;
  VariantInit(&t);
  if (FAILED(VariantChangeType(&t, v, 0, VT_BSTR))) throw CallFailure{DISP_E_TYPEMISMATCH};
  std::wstring s(V_BSTR(&t), SysStringLen(V_BSTR(&t)));
  VariantClear(&t);
  return s;
}

long LongArgument(VARIANT* v) {
  VARIANT t;
  VariantInit(&t);
  if (FAILED(VariantChangeType(&t, v, 0, VT_I4))) throw CallFailure{DISP_E_TYPEMISMATCH};
  return V_I4(&t);
}

void SetText(VARIANT& result, const std::wstring& text) {
  V_VT(&result) = VT_BSTR;
  V_BSTR(&result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SetLong(VARIANT& result, long value) {
  V_VT(&result) = VT_I4;
  V_I4(&result) = value;
}

void SetBool(VARIANT& result, bool value) {
  V_VT(&result) = VT_BOOL;
  V_BOOL(&result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetObject(VARIANT& result, IDispatch* object) {
  V_VT(&result) = VT_DISPATCH;
  V_DISPATCH(&result) = object;
}
