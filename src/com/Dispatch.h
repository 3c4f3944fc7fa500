#pragma once
// A library object as the component run-time sees it: IDispatch over the class's dispatch table,
// and the vtable half of the class's dual interface (com/Dual.h) over the same late-bound call.

#include <Kor2_Sys/Object.h>

#include "frame/ClassInfo.h"

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <memory>
#include <vector>

namespace Kor2_Sys::com {

class DualInterface;

/// The library's own objects answer this interface with themselves, so an object handed back in
/// reaches the library as the object it is.
extern const IID IID_LibraryObject;

class Dispatch final : public IDispatch, public ISupportErrorInfo {
public:
    explicit Dispatch(std::shared_ptr<Object> object);
    ~Dispatch();
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

    const std::shared_ptr<Object>& object() const noexcept { return m_object; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    /// The late-bound call for the vtable: `args` in declared order (a property write's value
    /// last). A library error comes back as its own code, with its description as the thread's
    /// error information.
    HRESULT callFromVtable(DISPID id, WORD flags, std::vector<VARIANT>& args, VARIANT* result);

private:
    std::atomic<ULONG> m_references{1};
    std::shared_ptr<Object> m_object;
    const ClassInfo* m_info;
    IID m_interface{};
    std::unique_ptr<DualInterface> m_dual;
    // Hosts call one member in a loop: the row of the last identifier and flags asked for.
    struct Lookup {
        DISPID id = DISPID_UNKNOWN;
        WORD flags = 0;
        const MemberInfo* row = nullptr;
        InvokeKind kind = InvokeKind::Method;
    };
    Lookup m_last;
};

/// Objects and class objects alive: the library may be unloaded when none is.
std::atomic<long>& liveObjects();

/// Makes `description` the calling thread's error object, as a client reads it after a failed call.
void setThreadError(const wchar_t* source, const wchar_t* description);

/// The type library built into this module; null when it cannot be loaded.
ITypeLib* typeLibrary();

} // namespace Kor2_Sys::com
