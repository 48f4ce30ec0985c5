#include "app/own_regexp.h"

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "regex/regex.h"
#include "runtime/com_object.h"

namespace lyra::app {

namespace {

thread_local const std::atomic<bool>* tCancel = nullptr;

// Member ids as VBScript.RegExp's objects give them out.
constexpr DISPID kPattern = 10001;
constexpr DISPID kIgnoreCase = 10002;
constexpr DISPID kGlobal = 10003;
constexpr DISPID kExecute = 10004;
constexpr DISPID kTest = 10005;
constexpr DISPID kReplace = 10006;
constexpr DISPID kMultiline = 10007;
constexpr DISPID kItem = DISPID_VALUE;
constexpr DISPID kCount = 1;
constexpr DISPID kValue = DISPID_VALUE;
constexpr DISPID kFirstIndex = 10001;
constexpr DISPID kLength = 10002;
constexpr DISPID kSubMatches = 10003;

// The error Execute, Test and Replace raise for a pattern the dialect
// refuses, as the VBScript under test raises it.
constexpr HRESULT kPatternSyntaxError = E_FAIL;

struct Member {
    const wchar_t* name;
    DISPID id;
};

const Member kRegExpMembers[] = {{L"Pattern", kPattern}, {L"IgnoreCase", kIgnoreCase}, {L"Global", kGlobal},
                                 {L"Execute", kExecute}, {L"Test", kTest},             {L"Replace", kReplace},
                                 {L"Multiline", kMultiline}};
const Member kCollectionMembers[] = {{L"Item", kItem}, {L"Count", kCount}};
const Member kMatchMembers[] = {
    {L"Value", kValue}, {L"FirstIndex", kFirstIndex}, {L"Length", kLength}, {L"SubMatches", kSubMatches}};

// Member names compare as OLE's do, ignoring the case of ASCII letters.
bool SameName(const wchar_t* a, const OLECHAR* b) {
    auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    for (; *a != 0 && *b != 0; ++a, ++b) {
        if (fold(*a) != fold(*b)) return false;
    }
    return *a == *b;
}

std::u16string FromBstr(BSTR text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), text != nullptr ? SysStringLen(text) : 0);
}

// As VBScript's class gives its texts: a BSTR of the units up to the first NUL among them.
BSTR ToBstr(const char16_t* units, size_t length) {
    size_t end = 0;
    while (end < length && units[end] != 0) ++end;
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(units), static_cast<UINT>(end));
}

// The arguments of one Invoke: positional ones counted from the first, and
// for a property put the value named DISPID_PROPERTYPUT.
class Arguments {
public:
    Arguments(WORD flags, const DISPPARAMS* parameters, UINT* argumentError)
        : flags_(flags), parameters_(parameters != nullptr ? *parameters : DISPPARAMS{}), argumentError_(argumentError) {}

    bool Getting() const { return (flags_ & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0; }
    bool Putting() const { return (flags_ & DISPATCH_PROPERTYPUT) != 0; }

    // S_OK when exactly count positional arguments came, and no named one.
    HRESULT ExpectPositional(UINT count) const {
        if (parameters_.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        return parameters_.cArgs == count ? S_OK : DISP_E_BADPARAMCOUNT;
    }
    // The positional argument index changed to type, into out.
    HRESULT Positional(UINT index, VARTYPE type, VARIANT* out) const {
        return Converted(parameters_.cArgs - 1 - index, type, out);
    }
    // The value of a property put changed to type, into out.
    HRESULT PutValue(VARTYPE type, VARIANT* out) const {
        if (parameters_.cArgs != 1) return DISP_E_BADPARAMCOUNT;
        if (parameters_.cNamedArgs != 1 || parameters_.rgdispidNamedArgs == nullptr ||
            parameters_.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        return Converted(0, type, out);
    }

private:
    HRESULT Converted(UINT slot, VARTYPE type, VARIANT* out) const {
        VariantInit(out);
        if (parameters_.rgvarg == nullptr) return DISP_E_BADPARAMCOUNT;
        const VARIANT& given = parameters_.rgvarg[slot];
        if (given.vt == VT_ERROR && given.scode == DISP_E_PARAMNOTFOUND) return DISP_E_PARAMNOTOPTIONAL;
        HRESULT hr = VariantChangeType(out, const_cast<VARIANT*>(&given), 0, type);
        if (FAILED(hr) && argumentError_ != nullptr) *argumentError_ = slot;
        return hr;
    }

    WORD flags_;
    DISPPARAMS parameters_;
    UINT* argumentError_;
};

// IUnknown and IDispatch of every object of the class: names through the
// object's member table, no type information, calls through Call().
class DispatchObject : public ComObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_INVALIDARG;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count == 0) return S_OK;
        if (names == nullptr || ids == nullptr) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (size_t i = 0; i < memberCount_; ++i) {
            if (names[0] != nullptr && SameName(members_[i].name, names[0])) ids[0] = members_[i].id;
        }
        // The members take no named arguments.
        return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        VARIANT answer;
        VariantInit(&answer);
        HRESULT hr = Call(id, Arguments(flags, parameters, argumentError), &answer);
        if (SUCCEEDED(hr) && result != nullptr) {
            *result = answer;
        } else {
            VariantClear(&answer);
        }
        // Failures of the call itself (names, arguments) come back as they
        // are; an error of the member is raised as an exception carrying it.
        if (FAILED(hr) && HRESULT_FACILITY(hr) != FACILITY_DISPATCH) {
            if (exception != nullptr) {
                *exception = EXCEPINFO{};
                exception->scode = hr;
            }
            hr = DISP_E_EXCEPTION;
        }
        return hr;
    }

protected:
    template <size_t N>
    explicit DispatchObject(const Member (&members)[N]) : members_(members), memberCount_(N) {}
    virtual HRESULT Call(DISPID id, const Arguments& arguments, VARIANT* answer) = 0;

    // A read-only property: a get without arguments.
    static HRESULT Readable(const Arguments& arguments) {
        if (!arguments.Getting()) return DISP_E_MEMBERNOTFOUND;
        return arguments.ExpectPositional(0);
    }
    static HRESULT AnswerLong(LONG value, VARIANT* answer) {
        answer->vt = VT_I4;
        answer->lVal = value;
        return S_OK;
    }
    static HRESULT AnswerObject(DispatchObject* object, VARIANT* answer) {
        if (object == nullptr) return E_OUTOFMEMORY;
        answer->vt = VT_DISPATCH;
        answer->pdispVal = object;
        return S_OK;
    }
    // The LONG index of a collection's Item, checked against count.
    static HRESULT ItemIndex(const Arguments& arguments, size_t count, size_t* index) {
        if (!arguments.Getting()) return DISP_E_MEMBERNOTFOUND;
        HRESULT hr = arguments.ExpectPositional(1);
        if (FAILED(hr)) return hr;
        VARIANT given;
        hr = arguments.Positional(0, VT_I4, &given);
        if (FAILED(hr)) return hr;
        if (given.lVal < 0 || static_cast<size_t>(given.lVal) >= count) return E_INVALIDARG;
        *index = static_cast<size_t>(given.lVal);
        return S_OK;
    }

private:
    bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_IDispatch) != FALSE; }

    const Member* members_;
    size_t memberCount_;
};

// What one Execute found, shared by the collection and every match read from it.
struct Results {
    std::u16string subject;
    std::vector<regex::Match> matches;
};

class SubMatchesObject : public DispatchObject {
public:
    SubMatchesObject(std::shared_ptr<const Results> results, size_t match)
        : DispatchObject(kCollectionMembers), results_(std::move(results)), match_(match) {}

private:
    HRESULT Call(DISPID id, const Arguments& arguments, VARIANT* answer) override {
        const std::vector<regex::Span>& groups = results_->matches[match_].groups;
        switch (id) {
            case kCount: {
                HRESULT hr = Readable(arguments);
                return FAILED(hr) ? hr : AnswerLong(static_cast<LONG>(groups.size()), answer);
            }
            case kItem: {
                size_t index = 0;
                HRESULT hr = ItemIndex(arguments, groups.size(), &index);
                if (FAILED(hr)) return hr;
                const regex::Span& group = groups[index];
                if (!group.matched()) return S_OK;  // VT_EMPTY: the group took no part
                answer->vt = VT_BSTR;
                answer->bstrVal = ToBstr(results_->subject.data() + group.start, group.length);
                return answer->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
            }
            default: return DISP_E_MEMBERNOTFOUND;
        }
    }

    std::shared_ptr<const Results> results_;
    size_t match_;
};

class MatchObject : public DispatchObject {
public:
    MatchObject(std::shared_ptr<const Results> results, size_t match)
        : DispatchObject(kMatchMembers), results_(std::move(results)), match_(match) {}

private:
    HRESULT Call(DISPID id, const Arguments& arguments, VARIANT* answer) override {
        if (id != kValue && id != kFirstIndex && id != kLength && id != kSubMatches) return DISP_E_MEMBERNOTFOUND;
        HRESULT hr = Readable(arguments);
        if (FAILED(hr)) return hr;
        const regex::Span& whole = results_->matches[match_].whole;
        switch (id) {
            case kValue:
                answer->vt = VT_BSTR;
                answer->bstrVal = ToBstr(results_->subject.data() + whole.start, whole.length);
                return answer->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
            case kFirstIndex: return AnswerLong(static_cast<LONG>(whole.start), answer);
            case kLength: return AnswerLong(static_cast<LONG>(whole.length), answer);
            case kSubMatches: return AnswerObject(new (std::nothrow) SubMatchesObject(results_, match_), answer);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    std::shared_ptr<const Results> results_;
    size_t match_;
};

class MatchCollection : public DispatchObject {
public:
    explicit MatchCollection(std::shared_ptr<const Results> results)
        : DispatchObject(kCollectionMembers), results_(std::move(results)) {}

private:
    HRESULT Call(DISPID id, const Arguments& arguments, VARIANT* answer) override {
        switch (id) {
            case kCount: {
                HRESULT hr = Readable(arguments);
                return FAILED(hr) ? hr : AnswerLong(static_cast<LONG>(results_->matches.size()), answer);
            }
            case kItem: {
                size_t index = 0;
                HRESULT hr = ItemIndex(arguments, results_->matches.size(), &index);
                if (FAILED(hr)) return hr;
                return AnswerObject(new (std::nothrow) MatchObject(results_, index), answer);
            }
            default: return DISP_E_MEMBERNOTFOUND;
        }
    }

    std::shared_ptr<const Results> results_;
};

class RegExp : public DispatchObject {
public:
    RegExp() : DispatchObject(kRegExpMembers) {}

private:
    HRESULT Call(DISPID id, const Arguments& arguments, VARIANT* answer) override {
        switch (id) {
            case kPattern: return PatternMember(arguments, answer);
            case kIgnoreCase: return Flag(&ignoreCase_, arguments, answer);
            case kGlobal: return Flag(&global_, arguments, answer);
            case kMultiline: return Flag(&multiline_, arguments, answer);
            case kExecute: return Execute(arguments, answer);
            case kTest: return Test(arguments, answer);
            case kReplace: return ReplaceMember(arguments, answer);
            default: return DISP_E_MEMBERNOTFOUND;
        }
    }

    HRESULT PatternMember(const Arguments& arguments, VARIANT* answer) {
        if (arguments.Putting()) {
            VARIANT value;
            HRESULT hr = arguments.PutValue(VT_BSTR, &value);
            if (FAILED(hr)) return hr;
            std::u16string text = FromBstr(value.bstrVal);
            VariantClear(&value);
            pattern_ = text.substr(0, text.find(u'\0'));
            compiled_.reset();
            return S_OK;
        }
        HRESULT hr = Readable(arguments);
        if (FAILED(hr)) return hr;
        answer->vt = VT_BSTR;
        answer->bstrVal = ToBstr(pattern_.data(), pattern_.size());
        return answer->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT Flag(bool* flag, const Arguments& arguments, VARIANT* answer) {
        if (arguments.Putting()) {
            VARIANT value;
            HRESULT hr = arguments.PutValue(VT_BOOL, &value);
            if (FAILED(hr)) return hr;
            if (*flag != (value.boolVal != VARIANT_FALSE)) compiled_.reset();
            *flag = value.boolVal != VARIANT_FALSE;
            return S_OK;
        }
        HRESULT hr = Readable(arguments);
        if (FAILED(hr)) return hr;
        answer->vt = VT_BOOL;
        answer->boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    // The first count positional arguments of a method, as texts.
    static HRESULT TextArguments(const Arguments& arguments, UINT count, std::u16string* texts) {
        if (!arguments.Getting()) return DISP_E_MEMBERNOTFOUND;
        HRESULT hr = arguments.ExpectPositional(count);
        for (UINT i = 0; i < count && SUCCEEDED(hr); ++i) {
            VARIANT value;
            hr = arguments.Positional(i, VT_BSTR, &value);
            if (FAILED(hr)) break;
            texts[i] = FromBstr(value.bstrVal);
            VariantClear(&value);
        }
        return hr;
    }

    // The pattern compiled for the present options; null when the dialect refuses it.
    const regex::Pattern* Compiled() {
        if (compiled_ == nullptr) {
            regex::Options options;
            options.ignoreCase = ignoreCase_;
            options.multiline = multiline_;
            compiled_ = regex::Pattern::Compile(pattern_, options);
        }
        return compiled_.get();
    }

    static regex::Limits CurrentLimits() {
        regex::Limits limits;
        limits.cancel = tCancel;
        return limits;
    }

    HRESULT Execute(const Arguments& arguments, VARIANT* answer) {
        std::u16string subject;
        HRESULT hr = TextArguments(arguments, 1, &subject);
        if (FAILED(hr)) return hr;
        const regex::Pattern* pattern = Compiled();
        if (pattern == nullptr) return kPatternSyntaxError;
        auto results = std::make_shared<Results>();
        results->subject = std::move(subject);
        if (regex::FindAll(*pattern, results->subject, global_, CurrentLimits(), &results->matches) !=
            regex::Outcome::Done) {
            return E_ABORT;
        }
        return AnswerObject(new (std::nothrow) MatchCollection(std::move(results)), answer);
    }

    HRESULT Test(const Arguments& arguments, VARIANT* answer) {
        std::u16string subject;
        HRESULT hr = TextArguments(arguments, 1, &subject);
        if (FAILED(hr)) return hr;
        const regex::Pattern* pattern = Compiled();
        if (pattern == nullptr) return kPatternSyntaxError;
        regex::Match match;
        bool found = false;
        if (pattern->Search(subject, 0, CurrentLimits(), &match, &found) != regex::Outcome::Done) return E_ABORT;
        answer->vt = VT_BOOL;
        answer->boolVal = found ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    HRESULT ReplaceMember(const Arguments& arguments, VARIANT* answer) {
        std::u16string texts[2];
        HRESULT hr = TextArguments(arguments, 2, texts);
        if (FAILED(hr)) return hr;
        const regex::Pattern* pattern = Compiled();
        if (pattern == nullptr) return kPatternSyntaxError;
        std::u16string replaced;
        if (regex::Replace(*pattern, texts[0], texts[1], global_, CurrentLimits(), &replaced) != regex::Outcome::Done) {
            return E_ABORT;
        }
        answer->vt = VT_BSTR;
        answer->bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(replaced.data()),
                                            static_cast<UINT>(replaced.size()));
        return answer->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    std::u16string pattern_;
    bool ignoreCase_ = false;
    bool global_ = false;
    bool multiline_ = false;
    std::unique_ptr<regex::Pattern> compiled_;
};

}  // namespace

IDispatch* NewOwnRegExp() { return new (std::nothrow) RegExp; }

OwnRegExpCancel::OwnRegExpCancel(const std::atomic<bool>* cancel) : previous_(tCancel) { tCancel = cancel; }

OwnRegExpCancel::~OwnRegExpCancel() { tCancel = previous_; }

}  // namespace lyra::app
