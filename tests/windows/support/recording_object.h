// A COM automation object of our own for the COM command tests: it records
// every Invoke it receives, counts its live instances, and describes its
// members through type information built at run time (or offers none).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace lyra::test {

// Member ids of the recording object's dispinterface.
enum RecordingMember : DISPID {
    kEcho = 1,     // VARIANT Echo(VARIANT a, [optional] VARIANT b, [optional] VARIANT c): returns a
    kName = 2,     // BSTR Name, get and put
    kFlag = 3,     // VARIANT_BOOL Flag, a variable
    kChild = 4,    // IDispatch* Child, get: a new recording object
    kSwap = 5,     // void Swap([in, out] long* value, [out] BSTR* text): doubles value, text becomes "出参"
    kFail = 6,     // void Fail(long hresult): answers that HRESULT
    kCount = 7,    // long Count, get: 42
    kSum = 8,      // long Sum([vararg] SAFEARRAY(VARIANT) values): the argument count
    kValues = 9,   // VARIANT Values, get: a one-dimensional array {3, "三"}
    kTake = 10,    // void Take([in, out] VARIANT* value): value becomes 7
    kAttach = 11,  // void Attach(IDispatch* other)
    kGive = 12,    // void Give([out] IDispatch** object): object becomes a new recording object
};

struct RecordedCall {
    DISPID id;
    WORD flags;
    std::vector<VARIANT> args;  // copies, in DISPPARAMS order (last argument first); by-reference as given
    std::vector<DISPID> named;
};

extern const CLSID kRecordingObjectClsid;
extern const wchar_t kRecordingClassName[];  // the coclass name in the saved type library

// What GetTypeInfo answers: the member descriptions, a failure, or type
// information that offers no ITypeComp.
enum class TypeInformation { kDescribed, kNone, kWithoutTypeComp };

class RecordingObject final : public IDispatch {
public:
    explicit RecordingObject(TypeInformation typeInformation = TypeInformation::kDescribed);

    // Instances alive in the process.
    static long LiveCount();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    ULONG references() const { return references_; }
    const std::vector<RecordedCall>& calls() const { return calls_; }
    const std::wstring& name() const { return name_; }
    bool flag() const { return flag_; }

private:
    ~RecordingObject();
    HRESULT Perform(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result);

    ULONG references_ = 1;
    TypeInformation typeInformation_;
    std::wstring name_;
    bool flag_ = false;
    std::vector<RecordedCall> calls_;
};

// An object with IUnknown only.
class PlainObject final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;

private:
    ULONG references_ = 1;
};

// Registers the recording object's class in this process (CLSID
// kRecordingObjectClsid) and saves a type library naming it to path.
bool RegisterRecordingClass(const std::wstring& typeLibraryPath);
void RevokeRecordingClass();

}  // namespace lyra::test
