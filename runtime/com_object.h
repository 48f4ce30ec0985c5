// The IUnknown of an object of this program that COM callers hold: one
// reference at creation, the object deleted with the last one.
#pragma once

#include <unknwn.h>

#include <atomic>

namespace lyra {

// Interface is the one interface pointer the object hands out, for
// IUnknown and for every interface it answers.
template <typename Interface>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || Answers(iid)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Whether the object answers iid, besides IUnknown.
    virtual bool Answers(REFIID iid) const = 0;

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace lyra
