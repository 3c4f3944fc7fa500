#include "com/Dual.h"

namespace Kor2_Sys::com {

bool DualArgs::spread(SAFEARRAY** list)
{
    if (list == nullptr)
        return false;
    SAFEARRAY* array = *list;
    if (array == nullptr)
        return true;  // no arguments at all
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_VARIANT)
        return false;
    LONG low = 0, high = -1;
    SafeArrayGetLBound(array, 1, &low);
    SafeArrayGetUBound(array, 1, &high);
    VARIANT* items = nullptr;
    if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&items))))
        return false;
    // The elements stay in the caller's array: by reference, what the member writes reaches it.
    for (LONG i = 0; i <= high - low; ++i)
        ref(VT_VARIANT, &items[i]);
    SafeArrayUnaccessData(array);
    return true;
}

HRESULT storeResult(VARIANT& value, VARTYPE type, void* out)
{
    if (type == VT_VARIANT) {
        *static_cast<VARIANT*>(out) = value;
        return S_OK;
    }
    if (type == VT_DISPATCH && value.vt == VT_EMPTY) {
        *static_cast<IDispatch**>(out) = nullptr;
        return S_OK;
    }
    if (value.vt != type && FAILED(VariantChangeType(&value, &value, 0, type))) {
        VariantClear(&value);
        return DISP_E_TYPEMISMATCH;
    }
    // The payload moves to the caller, who frees a text or releases an object.
    std::size_t size = 8;
    switch (type) {
    case VT_UI1: size = sizeof(BYTE); break;
    case VT_I2:
    case VT_BOOL: size = sizeof(SHORT); break;
    case VT_I4:
    case VT_R4: size = sizeof(LONG); break;
    default: break;  // doubles, texts and objects
    }
    std::memcpy(out, &value.llVal, size);
    return S_OK;
}

} // namespace Kor2_Sys::com
