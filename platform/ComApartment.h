#pragma once

#include <memory>

#include <objbase.h>

// COM on the calling thread for as long as it lives, in a single-threaded
// apartment; a thread that has COM already keeps its own.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

// COM security for this whole process, which runs elevated and calls into
// Explorer, a process at the user's own level. An object Explorer hands back
// may name no unmarshaller of its own choosing to load here, and Explorer may
// identify this process but not act as it. Call once, on a thread with COM,
// before anything is marshalled; S_OK when set.
inline HRESULT SecureComForElevatedClient()
{
    return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IDENTIFY, nullptr,
                                EOAC_NO_CUSTOM_MARSHAL, nullptr);
}

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
// One reference to a COM object, released with it.
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComRelease>;
