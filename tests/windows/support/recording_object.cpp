#include "tests/windows/support/recording_object.h"

#include <atomic>
#include <cwchar>

#include "runtime/com_object.h"

namespace lyra::test {

namespace {

std::atomic<long> gLiveObjects{0};

const GUID kLibraryGuid = {0x4c595241, 0x424f, 0x4000, {0x80, 0x00, 0x43, 0x4f, 0x4d, 0x00, 0x00, 0x01}};
const GUID kInterfaceGuid = {0x4c595241, 0x424f, 0x4000, {0x80, 0x00, 0x43, 0x4f, 0x4d, 0x00, 0x00, 0x02}};

SYSKIND NativeSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

ELEMDESC Parameter(VARTYPE vt, USHORT flags, TYPEDESC* pointee = nullptr) {
    ELEMDESC e{};
    e.tdesc.vt = vt;
    if (pointee != nullptr) e.tdesc.lptdesc = pointee;
    e.paramdesc.wParamFlags = flags;
    return e;
}

bool AddFunction(ICreateTypeInfo* info, UINT index, DISPID id, INVOKEKIND kind, VARTYPE returns,
                 std::vector<ELEMDESC> params, SHORT optional, std::vector<const wchar_t*> names) {
    FUNCDESC f{};
    f.memid = id;
    f.funckind = FUNC_DISPATCH;
    f.invkind = kind;
    f.callconv = CC_STDCALL;
    f.cParams = static_cast<SHORT>(params.size());
    f.cParamsOpt = optional;
    f.lprgelemdescParam = params.empty() ? nullptr : params.data();
    f.elemdescFunc.tdesc.vt = returns;
    if (FAILED(info->AddFuncDesc(index, &f))) return false;
    // A property put names no parameter.
    UINT nameCount = kind == INVOKE_PROPERTYPUT ? 1 : static_cast<UINT>(names.size());
    return SUCCEEDED(info->SetFuncAndParamNames(index, const_cast<LPOLESTR*>(names.data()), nameCount));
}

// The recording object's dispinterface and a coclass naming it, in a type
// library that can be saved to path.
ICreateTypeLib2* BuildTypeLibrary(const std::wstring& path, ITypeInfo** dispinterface) {
    *dispinterface = nullptr;
    ICreateTypeLib2* library = nullptr;
    if (FAILED(CreateTypeLib2(NativeSysKind(), path.c_str(), &library))) return nullptr;
    library->SetGuid(kLibraryGuid);
    library->SetName(const_cast<LPOLESTR>(L"LyraboxRecordingLibrary"));
    library->SetVersion(1, 0);
    library->SetLcid(0);

    ICreateTypeInfo* info = nullptr;
    if (FAILED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"IRecording"), TKIND_DISPATCH, &info))) {
        library->Release();
        return nullptr;
    }
    info->SetGuid(kInterfaceGuid);
    static TYPEDESC longType{};
    longType.vt = VT_I4;
    static TYPEDESC textType{};
    textType.vt = VT_BSTR;
    static TYPEDESC variantType{};
    variantType.vt = VT_VARIANT;
    static TYPEDESC dispatchType{};
    dispatchType.vt = VT_DISPATCH;
    const USHORT in = PARAMFLAG_FIN;
    const USHORT optionalIn = PARAMFLAG_FIN | PARAMFLAG_FOPT;
    bool ok = AddFunction(info, 0, kEcho, INVOKE_FUNC, VT_VARIANT,
                          {Parameter(VT_VARIANT, in), Parameter(VT_VARIANT, optionalIn), Parameter(VT_VARIANT, optionalIn)},
                          2, {L"Echo", L"a", L"b", L"c"}) &&
              AddFunction(info, 1, kName, INVOKE_PROPERTYGET, VT_BSTR, {}, 0, {L"Name"}) &&
              AddFunction(info, 2, kName, INVOKE_PROPERTYPUT, VT_VOID, {Parameter(VT_BSTR, in)}, 0, {L"Name"}) &&
              AddFunction(info, 3, kChild, INVOKE_PROPERTYGET, VT_DISPATCH, {}, 0, {L"Child"}) &&
              AddFunction(info, 4, kSwap, INVOKE_FUNC, VT_VOID,
                          {Parameter(VT_PTR, PARAMFLAG_FIN | PARAMFLAG_FOUT, &longType),
                           Parameter(VT_PTR, PARAMFLAG_FOUT, &textType)},
                          0, {L"Swap", L"value", L"text"}) &&
              AddFunction(info, 5, kFail, INVOKE_FUNC, VT_VOID, {Parameter(VT_I4, in)}, 0, {L"Fail", L"hresult"}) &&
              AddFunction(info, 6, kCount, INVOKE_PROPERTYGET, VT_I4, {}, 0, {L"Count"}) &&
              AddFunction(info, 7, kSum, INVOKE_FUNC, VT_I4, {Parameter(VT_SAFEARRAY, in, &variantType)}, -1,
                          {L"Sum", L"values"}) &&
              AddFunction(info, 8, kValues, INVOKE_PROPERTYGET, VT_VARIANT, {}, 0, {L"Values"}) &&
              AddFunction(info, 9, kTake, INVOKE_FUNC, VT_VOID,
                          {Parameter(VT_PTR, PARAMFLAG_FIN | PARAMFLAG_FOUT, &variantType)}, 0, {L"Take", L"value"}) &&
              AddFunction(info, 10, kAttach, INVOKE_FUNC, VT_VOID, {Parameter(VT_DISPATCH, in)}, 0,
                          {L"Attach", L"other"}) &&
              AddFunction(info, 11, kGive, INVOKE_FUNC, VT_VOID, {Parameter(VT_PTR, PARAMFLAG_FOUT, &dispatchType)}, 0,
                          {L"Give", L"object"});
    VARDESC flag{};
    flag.memid = kFlag;
    flag.varkind = VAR_DISPATCH;
    flag.elemdescVar.tdesc.vt = VT_BOOL;
    ok = ok && SUCCEEDED(info->AddVarDesc(0, &flag)) && SUCCEEDED(info->SetVarName(0, const_cast<LPOLESTR>(L"Flag"))) &&
         SUCCEEDED(info->LayOut()) && SUCCEEDED(info->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(dispinterface)));

    ICreateTypeInfo* coclass = nullptr;
    HREFTYPE reference = 0;
    ok = ok &&
         SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(kRecordingClassName), TKIND_COCLASS, &coclass)) &&
         SUCCEEDED(coclass->SetGuid(kRecordingObjectClsid)) &&
         SUCCEEDED(coclass->AddRefTypeInfo(*dispinterface, &reference)) &&
         SUCCEEDED(coclass->AddImplType(0, reference)) &&
         SUCCEEDED(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT)) && SUCCEEDED(coclass->LayOut());
    if (coclass != nullptr) coclass->Release();
    info->Release();
    if (!ok) {
        if (*dispinterface != nullptr) (*dispinterface)->Release();
        *dispinterface = nullptr;
        library->Release();
        return nullptr;
    }
    return library;
}

// The dispinterface description every typed recording object answers with;
// built once and kept for the life of the process.
ITypeInfo* SharedTypeInfo() {
    static ITypeInfo* info = [] {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        ITypeInfo* built = nullptr;
        ICreateTypeLib2* library = BuildTypeLibrary(std::wstring(folder) + L"lyrabox_unsaved.tlb", &built);
        if (library != nullptr) library->Release();
        return built;
    }();
    return info;
}

const struct {
    const wchar_t* name;
    DISPID id;
} kNames[] = {{L"Echo", kEcho}, {L"Name", kName},   {L"Flag", kFlag},     {L"Child", kChild},
              {L"Swap", kSwap}, {L"Fail", kFail},   {L"Count", kCount},   {L"Sum", kSum},
              {L"Values", kValues}, {L"Take", kTake}, {L"Attach", kAttach}, {L"Give", kGive}};

// Type information that describes nothing and has no ITypeComp.
class OpaqueTypeInfo final : public ComObject<ITypeInfo> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** comp) override {
        *comp = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR*) override {}
    void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
    void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

private:
    bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_ITypeInfo) != FALSE; }
};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* object = new RecordingObject();
        HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory gFactory;
DWORD gFactoryCookie = 0;

}  // namespace

const CLSID kRecordingObjectClsid = {0x4c595241, 0x424f, 0x4000, {0x80, 0x00, 0x43, 0x4f, 0x4d, 0x00, 0x00, 0x03}};
const wchar_t kRecordingClassName[] = L"LyraboxRecordingObject";

RecordingObject::RecordingObject(TypeInformation typeInformation) : typeInformation_(typeInformation) {
    ++gLiveObjects;
}

RecordingObject::~RecordingObject() {
    for (RecordedCall& call : calls_) {
        for (VARIANT& v : call.args) VariantClear(&v);
    }
    --gLiveObjects;
}

long RecordingObject::LiveCount() { return gLiveObjects.load(); }

HRESULT RecordingObject::QueryInterface(REFIID riid, void** out) {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG RecordingObject::AddRef() { return ++references_; }

ULONG RecordingObject::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT RecordingObject::GetTypeInfoCount(UINT* count) {
    *count = typeInformation_ == TypeInformation::kNone ? 0 : 1;
    return S_OK;
}

HRESULT RecordingObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    if (typeInformation_ == TypeInformation::kNone || SharedTypeInfo() == nullptr) return E_NOTIMPL;
    if (typeInformation_ == TypeInformation::kWithoutTypeComp) {
        *info = new OpaqueTypeInfo;
        return S_OK;
    }
    *info = SharedTypeInfo();
    (*info)->AddRef();
    return S_OK;
}

HRESULT RecordingObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count != 1) return E_INVALIDARG;
    for (const auto& entry : kNames) {
        if (_wcsicmp(entry.name, names[0]) == 0) {
            ids[0] = entry.id;
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT RecordingObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO*, UINT*) {
    RecordedCall call{id, flags, {}, {}};
    for (UINT i = 0; i < params->cArgs; ++i) {
        VARIANT copy;
        VariantInit(&copy);
        VariantCopyInd(&copy, &params->rgvarg[i]);
        call.args.push_back(copy);
    }
    for (UINT i = 0; i < params->cNamedArgs; ++i) call.named.push_back(params->rgdispidNamedArgs[i]);
    calls_.push_back(call);
    return Perform(id, flags, params, result);
}

HRESULT RecordingObject::Perform(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) {
    VARIANT* args = params->rgvarg;
    UINT count = params->cArgs;
    bool get = (flags & DISPATCH_PROPERTYGET) != 0;
    bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    switch (id) {
        case kEcho:
            if (count < 1) return DISP_E_BADPARAMCOUNT;
            if (result != nullptr) VariantCopyInd(result, &args[count - 1]);
            return S_OK;
        case kName:
            if (put) {
                VARIANT text;
                VariantInit(&text);
                if (count != 1 || FAILED(VariantChangeType(&text, &args[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
                name_.assign(text.bstrVal, SysStringLen(text.bstrVal));
                VariantClear(&text);
                return S_OK;
            }
            if (result != nullptr) {
                result->vt = VT_BSTR;
                result->bstrVal = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
            }
            return S_OK;
        case kFlag:
            if (put) {
                if (count != 1 || args[0].vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
                flag_ = args[0].boolVal != VARIANT_FALSE;
                return S_OK;
            }
            if (result != nullptr) {
                result->vt = VT_BOOL;
                result->boolVal = flag_ ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        case kChild:
            if (!get) return DISP_E_MEMBERNOTFOUND;
            if (result != nullptr) {
                result->vt = VT_DISPATCH;
                result->pdispVal = new RecordingObject(typeInformation_);
            }
            return S_OK;
        case kSwap:
            if (count != 2) return DISP_E_BADPARAMCOUNT;
            if (args[1].vt != (VT_BYREF | VT_I4) || args[0].vt != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
            *args[1].plVal *= 2;
            SysFreeString(*args[0].pbstrVal);
            *args[0].pbstrVal = SysAllocString(L"出参");
            return S_OK;
        case kFail:
            if (count != 1 || args[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
            return static_cast<HRESULT>(args[0].lVal);
        case kCount:
            if (result != nullptr) {
                result->vt = VT_I4;
                result->lVal = 42;
            }
            return S_OK;
        case kSum:
            if (result != nullptr) {
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(count);
            }
            return S_OK;
        case kValues: {
            if (result == nullptr) return S_OK;
            SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 2);
            VARIANT element;
            element.vt = VT_I4;
            element.lVal = 3;
            LONG index = 0;
            SafeArrayPutElement(array, &index, &element);
            element.vt = VT_BSTR;
            element.bstrVal = SysAllocString(L"三");
            index = 1;
            SafeArrayPutElement(array, &index, &element);
            VariantClear(&element);
            result->vt = VT_ARRAY | VT_VARIANT;
            result->parray = array;
            return S_OK;
        }
        case kTake:
            if (count != 1 || args[0].vt != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
            VariantClear(args[0].pvarVal);
            args[0].pvarVal->vt = VT_I4;
            args[0].pvarVal->lVal = 7;
            return S_OK;
        case kAttach: return S_OK;
        case kGive:
            if (count != 1 || args[0].vt != (VT_BYREF | VT_DISPATCH)) return DISP_E_TYPEMISMATCH;
            if (*args[0].ppdispVal != nullptr) (*args[0].ppdispVal)->Release();
            *args[0].ppdispVal = new RecordingObject(typeInformation_);
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT PlainObject::QueryInterface(REFIID riid, void** out) {
    if (riid == IID_IUnknown) {
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG PlainObject::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

bool RegisterRecordingClass(const std::wstring& typeLibraryPath) {
    ITypeInfo* dispinterface = nullptr;
    ICreateTypeLib2* library = BuildTypeLibrary(typeLibraryPath, &dispinterface);
    if (library == nullptr) return false;
    bool saved = SUCCEEDED(library->SaveAllChanges());
    dispinterface->Release();
    library->Release();
    if (!saved) return false;
    return SUCCEEDED(CoRegisterClassObject(kRecordingObjectClsid, &gFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                           &gFactoryCookie));
}

void RevokeRecordingClass() {
    if (gFactoryCookie != 0) CoRevokeClassObject(gFactoryCookie);
    gFactoryCookie = 0;
}

}  // namespace lyra::test
