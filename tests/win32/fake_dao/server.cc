// The test-only in-process automation server: two classes, one per engine
// version, that the wine tests register under HKEY_CLASSES_ROOT as
// "DAO.DBEngine.36" and "DAO.DBEngine.35" of a throwaway prefix.
#include <windows.h>
#include <objbase.h>

#include "dao_objects.h"

namespace {

// {6B3F1C52-8A0E-4E5B-9C71-2D40A9E1F036} and {...F035}.
const CLSID kEngine36 = {0x6b3f1c52, 0x8a0e, 0x4e5b, {0x9c, 0x71, 0x2d, 0x40, 0xa9, 0xe1, 0xf0, 0x36}};
const CLSID kEngine35 = {0x6b3f1c52, 0x8a0e, 0x4e5b, {0x9c, 0x71, 0x2d, 0x40, 0xa9, 0xe1, 0xf0, 0x35}};

class Factory : public IClassFactory {
 public:
  explicit Factory(const wchar_t* version) : version_(version) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Static objects: no counting.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    IDispatch* engine = NewEngine(version_);
    HRESULT hr = engine->QueryInterface(riid, object);
    engine->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const wchar_t* version_;
};

Factory g_factory36(L"3.6");
Factory g_factory35(L"3.5");

}  // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (IsEqualCLSID(clsid, kEngine36)) return g_factory36.QueryInterface(riid, object);
  if (IsEqualCLSID(clsid, kEngine35)) return g_factory35.QueryInterface(riid, object);
  *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

// Objects may still be alive in the client; the test processes are short.
extern "C" HRESULT __stdcall DllCanUnloadNow() { return S_FALSE; }
