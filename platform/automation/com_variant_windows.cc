#include <cstring>
#include <memory>

#include "platform/automation/com_dispatch_object.h"
#include "platform/automation/com_variant.h"
#include "runtime/exceptions.h"

namespace {

BSTR NewBstr(const UnicodeString& text) {
  BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (!b) throw EOleError(HresultMessage(E_OUTOFMEMORY));
  return b;
}

UnicodeString FromBstr(BSTR b) {
  if (!b) return UnicodeString();
  return UnicodeString(reinterpret_cast<const char16_t*>(b), SysStringLen(b));
}

// Frees a SAFEARRAY unless ownership moved on.
struct SafeArrayDestroyer {
  void operator()(SAFEARRAY* a) const { SafeArrayDestroy(a); }
};
using SafeArrayPtr = std::unique_ptr<SAFEARRAY, SafeArrayDestroyer>;

SafeArrayPtr NewVector(VARTYPE type, size_t count) {
  SafeArrayPtr a(SafeArrayCreateVector(type, 0, static_cast<ULONG>(count)));
  if (!a) throw EOleError(HresultMessage(E_OUTOFMEMORY));
  return a;
}

[[noreturn]] void Unsupported(VARTYPE vt) {
  throw EVariantError(FormatText(u"Variant type %d is not supported", {int64_t(vt)}));
}

// Elements [lower, upper] of the one dimension of `a`.
void Bounds(SAFEARRAY* a, LONG& lower, LONG& upper) {
  if (SafeArrayGetDim(a) != 1) throw EVariantError(u"Only one-dimensional arrays are supported");
  SafeArrayGetLBound(a, 1, &lower);
  SafeArrayGetUBound(a, 1, &upper);
}

Variant FromSafeArray(SAFEARRAY* a, VARTYPE elementType) {
  if (!a) return Variant::Null();
  LONG lower = 0, upper = -1;
  Bounds(a, lower, upper);
  size_t count = upper >= lower ? static_cast<size_t>(upper - lower + 1) : 0;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(a, &data))) throw EVariantError(u"Array is locked");
  struct Unaccess {
    SAFEARRAY* a;
    ~Unaccess() { SafeArrayUnaccessData(a); }
  } unaccess{a};
  if (elementType == VT_UI1) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return Variant(Variant::Bytes(bytes, bytes + count));
  }
  if (elementType == VT_VARIANT) {
    const VARIANT* items = static_cast<const VARIANT*>(data);
    Variant::Array values;
    values.reserve(count);
    for (size_t i = 0; i < count; ++i) values.push_back(FromComVariant(items[i]));
    return Variant(std::move(values));
  }
  Unsupported(static_cast<VARTYPE>(VT_ARRAY | elementType));
}

}  // namespace

void ToComVariant(const Variant& value, VARIANT& out) {
  switch (value.Type()) {
    case VarType::Empty:
      V_VT(&out) = VT_EMPTY;
      return;
    case VarType::Null:
      V_VT(&out) = VT_NULL;
      return;
    case VarType::String:
      V_BSTR(&out) = NewBstr(value.AsStringRef());
      V_VT(&out) = VT_BSTR;
      return;
    case VarType::Integer:
      V_I4(&out) = value.ToInt32();
      V_VT(&out) = VT_I4;
      return;
    case VarType::Int64:
      V_I8(&out) = value.ToInt64();
      V_VT(&out) = VT_I8;
      return;
    case VarType::Byte:
      V_UI1(&out) = static_cast<BYTE>(value.ToInt64());
      V_VT(&out) = VT_UI1;
      return;
    case VarType::Single:
      V_R4(&out) = static_cast<float>(value.ToDouble());
      V_VT(&out) = VT_R4;
      return;
    case VarType::Double:
      V_R8(&out) = value.ToDouble();
      V_VT(&out) = VT_R8;
      return;
    case VarType::Currency:
      V_CY(&out).int64 = value.AsCurrency().scaled;
      V_VT(&out) = VT_CY;
      return;
    case VarType::Decimal: {
      Decimal d = value.AsDecimal();
      DECIMAL& dec = V_DECIMAL(&out);  // overlays the whole VARIANT, type included
      std::memset(&dec, 0, sizeof dec);
      dec.scale = d.scale;
      dec.sign = d.negative ? DECIMAL_NEG : 0;
      dec.Hi32 = d.hi32;
      dec.Lo64 = d.lo64;
      V_VT(&out) = VT_DECIMAL;
      return;
    }
    case VarType::Date:
      V_DATE(&out) = value.AsDate();
      V_VT(&out) = VT_DATE;
      return;
    case VarType::Boolean:
      V_BOOL(&out) = value.ToBoolean() ? VARIANT_TRUE : VARIANT_FALSE;
      V_VT(&out) = VT_BOOL;
      return;
    case VarType::ByteArray: {
      const Variant::Bytes& bytes = value.AsBytes();
      SafeArrayPtr a = NewVector(VT_UI1, bytes.size());
      if (!bytes.empty()) std::memcpy(a->pvData, bytes.data(), bytes.size());
      V_ARRAY(&out) = a.release();
      V_VT(&out) = VT_ARRAY | VT_UI1;
      return;
    }
    case VarType::Array: {
      const Variant::Array& items = value.AsArray();
      SafeArrayPtr a = NewVector(VT_VARIANT, items.size());
      VARIANT* slots = static_cast<VARIANT*>(a->pvData);  // zeroed: VT_EMPTY each
      for (size_t i = 0; i < items.size(); ++i) ToComVariant(items[i], slots[i]);
      V_ARRAY(&out) = a.release();
      V_VT(&out) = VT_ARRAY | VT_VARIANT;
      return;
    }
    case VarType::Dispatch: {
      auto* com = dynamic_cast<ComDispatchObject*>(value.AsDispatch().get());
      if (!com) throw EOleError(u"Only automation objects of the platform can be passed to a server");
      com->Interface()->AddRef();
      V_DISPATCH(&out) = com->Interface();
      V_VT(&out) = VT_DISPATCH;
      return;
    }
  }
  Unsupported(VT_EMPTY);
}

Variant FromComVariant(const VARIANT& value) {
  VARTYPE vt = V_VT(&value);
  if (vt & VT_BYREF) {
    VARIANT direct;
    VariantInit(&direct);
    HRESULT hr = VariantCopyInd(&direct, const_cast<VARIANT*>(&value));
    if (FAILED(hr)) throw EOleError(HresultMessage(hr));
    struct Clear {
      VARIANT* v;
      ~Clear() { VariantClear(v); }
    } clear{&direct};
    return FromComVariant(direct);
  }
  if (vt & VT_ARRAY) return FromSafeArray(V_ARRAY(&value), static_cast<VARTYPE>(vt & VT_TYPEMASK));
  switch (vt) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant::Null();
    case VT_BSTR: return Variant(FromBstr(V_BSTR(&value)));
    case VT_I1: return Variant(int32_t(V_I1(&value)));
    case VT_I2: return Variant(int32_t(V_I2(&value)));
    case VT_I4: return Variant(int32_t(V_I4(&value)));
    case VT_INT: return Variant(int32_t(V_INT(&value)));
    case VT_UI2: return Variant(int32_t(V_UI2(&value)));
    case VT_UI4: return Variant(int64_t(V_UI4(&value)));
    case VT_UINT: return Variant(int64_t(V_UINT(&value)));
    case VT_I8: return Variant(int64_t(V_I8(&value)));
    case VT_UI8: return Variant(int64_t(V_UI8(&value)));
    case VT_UI1: return Variant(uint8_t(V_UI1(&value)));
    case VT_R4: return Variant::FromSingle(V_R4(&value));
    case VT_R8: return Variant(double(V_R8(&value)));
    case VT_CY: return Variant(Currency::FromScaled(V_CY(&value).int64));
    case VT_DATE: return Variant::FromDate(V_DATE(&value));
    case VT_BOOL: return Variant(V_BOOL(&value) != VARIANT_FALSE);
    case VT_DECIMAL: {
      const DECIMAL& dec = V_DECIMAL(&value);
      Decimal d;
      d.negative = (dec.sign & DECIMAL_NEG) != 0;
      d.scale = dec.scale;
      d.hi32 = dec.Hi32;
      d.lo64 = dec.Lo64;
      return Variant(d);
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown* unknown = vt == VT_DISPATCH ? V_DISPATCH(&value) : V_UNKNOWN(&value);
      if (!unknown) return Variant::Null();
      IDispatch* dispatch = nullptr;
      HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
      if (FAILED(hr) || !dispatch) throw EOleError(HresultMessage(FAILED(hr) ? hr : E_NOINTERFACE));
      return Variant(DispatchRef(std::make_shared<ComDispatchObject>(dispatch)));
    }
    default:
      Unsupported(vt);
  }
}

UnicodeString HresultMessage(HRESULT hr) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  UnicodeString message;
  if (n > 0 && text) message.assign(reinterpret_cast<const char16_t*>(text), n);
  if (text) LocalFree(text);
  while (!message.empty() && message.back() <= u' ') message.pop_back();
  if (message.empty()) {
    message = u"OLE error ";
    for (int shift = 28; shift >= 0; shift -= 4) message.push_back(u"0123456789ABCDEF"[(static_cast<DWORD>(hr) >> shift) & 0xF]);
  }
  return message;
}
