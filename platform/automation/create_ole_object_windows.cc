// Automation objects on Windows come from the component object model: the
// class name is a ProgID, and the server runs in process or as a local
// server. The caller's thread must have initialised COM (the host does);
// otherwise creation fails with the system's message for
// CO_E_NOTINITIALIZED.
#include "platform/automation/com_dispatch_object.h"
#include "platform/automation/com_variant.h"
#include "platform/automation/create_ole_object.h"
#include "runtime/exceptions.h"

Variant CreateOleObject(UnicodeStringView className) {
  UnicodeString name(className);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(name.c_str()), &clsid);
  if (FAILED(hr)) throw EOleError(HresultMessage(hr));
  IDispatch* dispatch = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                        reinterpret_cast<void**>(&dispatch));
  if (FAILED(hr)) throw EOleError(HresultMessage(hr));
  if (!dispatch) throw EOleError(HresultMessage(E_NOINTERFACE));
  return Variant(DispatchRef(std::make_shared<ComDispatchObject>(dispatch)));
}
