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

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
// One reference to a COM object, released with it.
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComRelease>;
