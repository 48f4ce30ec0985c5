#include "commands/com_invoke.h"

#include <string>
#include <vector>

#include "commands/com_values.h"
#include "runtime/com_ref.h"
#include "runtime/gbk.h"

namespace lyra::com {

namespace {

thread_local int32_t tLastComError = 0;

enum ComError : int32_t {
    kOk = 0,
    kEmptyObject = -1,
    kNoDispatch = -2,
    kMemberNotFound = -3,
    kNoTypeInformation = -4,
    kTooManyArguments = -5,
    kUnconvertibleArgument = -7,
    kUnconvertibleResult = -8,
};

int32_t CodeOfInvokeFailure(HRESULT hr) {
    switch (hr) {
        case DISP_E_BADPARAMCOUNT: return -9;
        case DISP_E_BADVARTYPE: return -10;
        case DISP_E_EXCEPTION: return -11;
        case DISP_E_MEMBERNOTFOUND: return -12;
        case DISP_E_NONAMEDARGS: return -13;
        case DISP_E_OVERFLOW: return -14;
        case DISP_E_PARAMNOTFOUND: return -15;
        case DISP_E_TYPEMISMATCH: return -16;
        case DISP_E_PARAMNOTOPTIONAL: return -17;
        default: return -18;
    }
}

// The member a call goes to: its id, the dispatch flags, and the declared
// parameters when the object has type information. Owns the description.
struct BoundMember {
    DISPID id = DISPID_UNKNOWN;
    WORD flags = 0;
    bool declared = false;           // parameters below are known
    int parameterCount = 0;
    const ELEMDESC* parameters = nullptr;
    bool variableArguments = false;  // extra arguments take the last parameter's description
    ITypeInfo* owner = nullptr;      // holds the description
    FUNCDESC* function = nullptr;
    VARDESC* variable = nullptr;

    BoundMember() = default;
    BoundMember(const BoundMember&) = delete;
    BoundMember& operator=(const BoundMember&) = delete;
    ~BoundMember() {
        if (owner != nullptr) {
            if (function != nullptr) owner->ReleaseFuncDesc(function);
            if (variable != nullptr) owner->ReleaseVarDesc(variable);
            owner->Release();
        }
    }
};

// A declared parameter type as a VARTYPE, VT_BYREF marking a by-reference
// parameter. User-defined types go by their kind; a pointer to an interface
// is the interface itself.
VARTYPE DeclaredType(ITypeInfo* owner, const TYPEDESC& desc, int depth = 0) {
    if (depth > 16) return VT_UNKNOWN;
    switch (desc.vt) {
        case VT_INT: return VT_I4;
        case VT_UINT: return VT_UI4;
        case VT_PTR: {
            if (desc.lptdesc == nullptr) return VT_UNKNOWN;
            VARTYPE target = DeclaredType(owner, *desc.lptdesc, depth + 1);
            bool interfaceType = desc.lptdesc->vt == VT_USERDEFINED && (target == VT_DISPATCH || target == VT_UNKNOWN);
            return interfaceType ? target : static_cast<VARTYPE>(target | VT_BYREF);
        }
        case VT_SAFEARRAY:
            if (desc.lptdesc == nullptr) return VT_ARRAY | VT_VARIANT;
            return static_cast<VARTYPE>((DeclaredType(owner, *desc.lptdesc, depth + 1) & ~VT_BYREF) | VT_ARRAY);
        case VT_CARRAY:
            if (desc.lpadesc == nullptr) return VT_ARRAY | VT_VARIANT;
            return static_cast<VARTYPE>((DeclaredType(owner, desc.lpadesc->tdescElem, depth + 1) & ~VT_BYREF) |
                                        VT_ARRAY);
        case VT_USERDEFINED: {
            ComRef<ITypeInfo> referenced;
            if (owner == nullptr || FAILED(owner->GetRefTypeInfo(desc.hreftype, referenced.Put())) ||
                referenced.get() == nullptr) {
                return VT_UNKNOWN;
            }
            TYPEATTR* attributes = nullptr;
            if (FAILED(referenced->GetTypeAttr(&attributes)) || attributes == nullptr) return VT_UNKNOWN;
            VARTYPE type = VT_UNKNOWN;
            switch (attributes->typekind) {
                case TKIND_ENUM: type = VT_I4; break;
                case TKIND_DISPATCH: type = VT_DISPATCH; break;
                case TKIND_ALIAS: type = DeclaredType(referenced.get(), attributes->tdescAlias, depth + 1); break;
                default: break;
            }
            referenced->ReleaseTypeAttr(attributes);
            return type;
        }
        default: return desc.vt;
    }
}

WORD FallbackFlags(CallMode mode) {
    switch (mode) {
        case CallMode::PropertyGet: return DISPATCH_PROPERTYGET | DISPATCH_METHOD;
        case CallMode::PropertyPut: return DISPATCH_PROPERTYPUT;
        default: return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    }
}

// Binds the name through the object's type information, trying the mode's
// invoke kinds in order. An object without type information is asked for
// the id by name instead, with the mode's dispatch flags. That is not a
// failure: the match, match collection and sub-match objects of Wine's
// VBScript.RegExp answer GetTypeInfo with E_NOTIMPL, and so do all the
// objects of the program's own RegExp class. Without the fallback every
// lookup on a match would come back empty and no song would be extracted.
int32_t BindMember(IDispatch* dispatch, std::wstring& name, CallMode mode, LCID locale, BoundMember* member) {
    ComRef<ITypeInfo> info;
    if (FAILED(dispatch->GetTypeInfo(0, locale, info.Put())) || info.get() == nullptr) {
        LPOLESTR names[1] = {&name[0]};
        if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, locale, &member->id))) return kMemberNotFound;
        member->flags = FallbackFlags(mode);
        return kOk;
    }
    ComRef<ITypeComp> comp;
    if (FAILED(info->GetTypeComp(comp.Put())) || comp.get() == nullptr) return kNoTypeInformation;

    static const INVOKEKIND kGetKinds[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
    static const INVOKEKIND kPutKinds[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
    static const INVOKEKIND kCallKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
    const INVOKEKIND* kinds = kCallKinds;
    size_t kindCount = 4;
    if (mode == CallMode::PropertyGet) {
        kinds = kGetKinds;
        kindCount = 2;
    } else if (mode == CallMode::PropertyPut) {
        kinds = kPutKinds;
        kindCount = 3;
    }

    ULONG hash = LHashValOfNameSys(SYS_WIN32, locale, name.c_str());
    ITypeInfo* owner = nullptr;
    DESCKIND kind = DESCKIND_NONE;
    BINDPTR bound{};
    bool found = false;
    for (size_t i = 0; i < kindCount && !found; ++i) {
        owner = nullptr;
        kind = DESCKIND_NONE;
        bound = BINDPTR{};
        found = SUCCEEDED(comp->Bind(&name[0], hash, static_cast<WORD>(kinds[i]), &owner, &kind, &bound));
    }
    if (!found) return kMemberNotFound;
    member->owner = owner;

    switch (kind) {
        case DESCKIND_FUNCDESC: {
            FUNCDESC* function = bound.lpfuncdesc;
            member->function = function;
            member->id = function->memid;
            member->flags = static_cast<WORD>(function->invkind);
            member->declared = true;
            member->parameterCount = function->cParams;
            member->parameters = function->lprgelemdescParam;
            member->variableArguments = function->cParams >= 1 && function->cParamsOpt == -1;
            return kOk;
        }
        case DESCKIND_VARDESC:
        case DESCKIND_IMPLICITAPPOBJ: {
            VARDESC* variable = bound.lpvardesc;
            member->variable = variable;
            member->id = variable->memid;
            member->declared = true;
            if (mode == CallMode::PropertyPut) {
                VARTYPE type = DeclaredType(owner, variable->elemdescVar.tdesc);
                bool reference = (type & VT_ARRAY) != 0 || type == VT_UNKNOWN || type == VT_DISPATCH;
                member->flags = reference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
                member->parameterCount = 1;
                member->parameters = &variable->elemdescVar;
            } else {
                member->flags = DISPATCH_PROPERTYGET;
            }
            return kOk;
        }
        case DESCKIND_TYPECOMP:
            if (bound.lptcomp != nullptr) bound.lptcomp->Release();
            return kMemberNotFound;
        default: return kMemberNotFound;
    }
}

// The VARIANT slots of one call, last argument first, and the backing
// values that by-reference slots point into. Clears both on destruction.
class ArgumentSlots {
public:
    explicit ArgumentSlots(size_t count) : slots_(count), backing_(count), byReference_(count, false) {
        for (size_t i = 0; i < count; ++i) {
            VariantInit(&slots_[i]);
            VariantInit(&backing_[i]);
        }
    }
    ~ArgumentSlots() {
        for (size_t i = 0; i < slots_.size(); ++i) {
            Clear(&slots_[i]);
            Clear(&backing_[i]);
        }
    }
    ArgumentSlots(const ArgumentSlots&) = delete;
    ArgumentSlots& operator=(const ArgumentSlots&) = delete;

    // Fills the slot of argument index (0 = first argument).
    void SetMissing(size_t index) {
        VARIANT& slot = Slot(index);
        slot.vt = VT_ERROR;
        slot.scode = DISP_E_PARAMNOTFOUND;
    }
    void SetByValue(size_t index, const VARIANT& value) { Slot(index) = value; }
    // Converts the value to the declared type in the backing slot and refers
    // to it; when it cannot be changed the value goes by value.
    void SetByReference(size_t index, VARIANT& value, VARTYPE declared) {
        VARIANT& slot = Slot(index);
        VARIANT& back = Backing(index);
        if ((declared & VT_ARRAY) != 0) {
            if ((value.vt & VT_ARRAY) != 0 && (value.vt & VT_BYREF) == 0) {
                back = value;
                slot.vt = static_cast<VARTYPE>(VT_BYREF | value.vt);
                slot.pparray = &back.parray;
                byReference_[index] = true;
            } else {
                slot = value;
            }
            return;
        }
        if (declared == VT_VARIANT) {
            back = value;
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = &back;
            byReference_[index] = true;
            return;
        }
        if (declared == VT_EMPTY || declared == VT_RECORD || FAILED(VariantChangeType(&back, &value, 0, declared))) {
            slot = value;
            return;
        }
        VariantClear(&value);
        slot.vt = static_cast<VARTYPE>(VT_BYREF | declared);
        if (declared == VT_DECIMAL) slot.pdecVal = &back.decVal;
        else slot.byref = &back.llVal;
        byReference_[index] = true;
    }

    bool WentByReference(size_t index) const { return byReference_[index]; }
    // The value a by-reference argument holds after the call.
    const VARIANT& BackingValue(size_t index) { return Backing(index); }
    VARIANT* data() { return slots_.data(); }

private:
    VARIANT& Slot(size_t index) { return slots_[slots_.size() - 1 - index]; }
    VARIANT& Backing(size_t index) { return backing_[backing_.size() - 1 - index]; }

    // A record argument refers to the caller's record data: drop only the
    // reference to its record information, never the data.
    static void Clear(VARIANT* v) {
        if (v->vt == VT_RECORD) {
            if (v->pRecInfo != nullptr) v->pRecInfo->Release();
            VariantInit(v);
            return;
        }
        VariantClear(v);
    }

    std::vector<VARIANT> slots_;
    std::vector<VARIANT> backing_;
    std::vector<bool> byReference_;
};

int32_t InvokeBound(IDispatch* dispatch, const BoundMember& member, LCID locale, int32_t argCount,
                    const ValueRecord* callArgs, ValueRecord* result) {
    size_t passed = static_cast<size_t>(argCount);
    while (passed > 0 && !IsPresent(callArgs[passed - 1])) --passed;

    if (member.declared && passed > static_cast<size_t>(member.parameterCount)) {
        if (member.function == nullptr || !member.variableArguments) return kTooManyArguments;
    }

    ArgumentSlots slots(passed);
    for (size_t i = 0; i < passed; ++i) {
        const ValueRecord& arg = callArgs[i];
        const ELEMDESC* description = nullptr;
        if (member.declared && member.parameterCount > 0) {
            size_t last = static_cast<size_t>(member.parameterCount) - 1;
            description = &member.parameters[i < last ? i : last];
        }
        VARTYPE declared = description != nullptr ? DeclaredType(member.owner, description->tdesc) : VARTYPE{VT_EMPTY};
        VARTYPE base = static_cast<VARTYPE>(declared & ~VT_BYREF);
        if (!IsPresent(arg)) {
            slots.SetMissing(i);
            continue;
        }
        VARIANT value;
        if (!ArgumentToVariant(arg, base, &value)) return kUnconvertibleArgument;
        if (value.vt == VT_EMPTY) {
            slots.SetMissing(i);
        } else if ((declared & VT_BYREF) == 0 || value.vt == VT_ERROR) {
            slots.SetByValue(i, value);
        } else {
            slots.SetByReference(i, value, base);
        }
    }

    DISPID putId = DISPID_PROPERTYPUT;
    bool put = (member.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS parameters{};
    parameters.rgvarg = passed > 0 ? slots.data() : nullptr;
    parameters.cArgs = static_cast<UINT>(passed);
    if (put && passed > 0) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }

    VARIANT answer;
    VariantInit(&answer);
    UINT argumentError = 0;
    HRESULT hr = dispatch->Invoke(member.id, IID_NULL, locale, member.flags, &parameters, &answer, nullptr,
                                  &argumentError);
    if (FAILED(hr)) {
        VariantClear(&answer);
        return CodeOfInvokeFailure(hr);
    }

    for (size_t i = 0; i < passed; ++i) {
        if (!slots.WentByReference(i) || !IsByAddress(callArgs[i])) continue;
        size_t last = static_cast<size_t>(member.parameterCount) - 1;
        const ELEMDESC& description = member.parameters[i < last ? i : last];
        if ((description.paramdesc.wParamFlags & PARAMFLAG_FOUT) == 0) continue;
        WriteBackToVariable(callArgs[i], slots.BackingValue(i));
    }

    int32_t code = kOk;
    if (result->type != 0 && !VariantToRecord(answer, result->type, result)) code = kUnconvertibleResult;
    VariantClear(&answer);
    return code;
}

int32_t Invoke(ValueRecord* result, int32_t count, ValueRecord* args, CallMode mode) {
    if (count < 1) return kEmptyObject;
    ComObjectBlock* block = ObjectBlockOf(args[0]);
    std::wstring name = count >= 2 && IsPresent(args[1]) ? GbkToWide(RecordText(args[1])) : std::wstring();
    if (block == nullptr || block->object == nullptr) return kEmptyObject;

    ComRef<IDispatch> dispatch;
    if (FAILED(block->object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Put()))) ||
        dispatch.get() == nullptr) {
        return kNoDispatch;
    }
    LCID locale = GetUserDefaultLCID();
    BoundMember member;
    int32_t code = BindMember(dispatch.get(), name, mode, locale, &member);
    if (code != kOk) return code;
    return InvokeBound(dispatch.get(), member, locale, count > 2 ? count - 2 : 0, args + 2, result);
}

}  // namespace

void SetLastComError(int32_t code) { tLastComError = code; }

void InvokeMember(ValueRecord* result, int32_t count, ValueRecord* args, CallMode mode) {
    int32_t code = Invoke(result, count, args, mode);
    if (code != kOk && result->type != 0) SetEmptyResult(result->type, result);
    SetLastComError(code);
}

}  // namespace lyra::com

namespace lyra {

int32_t LastComError() { return com::tLastComError; }

}  // namespace lyra
