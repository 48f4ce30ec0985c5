// The program's own RegExp class beside the system's VBScript.RegExp: each
// case takes the same steps through the COM object commands on one object
// of each class and writes down what it saw; the two records must agree.
// Then what only our class has to show: its references and interfaces.
#include <gtest/gtest.h>

#include <windows.h>
#include <oaidl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/own_regexp.h"
#include "app/services.h"
#include "runtime/memory.h"
#include "test_support/regexp_classes.h"
#include "test_support/test_program.h"
#include "tests/windows/support/vbscript_presence.h"

namespace lyra::test {
namespace {

using app::CoreCommand;
using app::ObjectValue;
using app::OwnedText;

class OwnRegExpEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitialiseTestProgram();
        ASSERT_TRUE(VBScriptRegExpCreatable()) << "the cases compare with VBScript.RegExp";
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OwnRegExpEnvironment);

// What one class showed, a line per observation.
using Record = std::vector<std::string>;

std::string Error() { return " [" + std::to_string(LastComError()) + "]"; }

void Note(Record* record, const std::string& what, const std::string& seen) {
    record->push_back(what + " = " + seen + Error());
}

std::string Text(OwnedText text) { return std::string("\"") + text.c_str() + "\""; }

std::string Number(double value) {
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

// A Variant result: its type and its text.
std::string VariantSeen(const ValueRecord& result) {
    auto* v = static_cast<VARIANT*>(RecordPointer(result));
    std::string seen = "vt " + std::to_string(v != nullptr ? v->vt : -1);
    app::VariantValue owned(result);
    OwnedText text(CoreCommand(&VariantToText, {owned.arg(), EmptyRecord()}));
    return seen + " \"" + text.c_str() + "\"";
}

ObjectValue Execute(const ObjectValue& regexp, const char* subject) {
    return ObjectValue(CoreCommand(&ObjectCallObjectMethod, {regexp.arg(), TextArg("Execute"), TextArg(subject)}));
}

void ExpectSameRecords(const std::function<void(bool own, Record*)>& steps) {
    Record vbscript;
    Record own;
    steps(false, &vbscript);
    steps(true, &own);
    ASSERT_FALSE(vbscript.empty());
    EXPECT_EQ(own, vbscript);
}

// The ids GetIDsOfNames gives for names on an object.
void NoteIds(IUnknown* object, const std::vector<const wchar_t*>& names, const char* kind, Record* record) {
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    for (const wchar_t* name : names) {
        DISPID id = 12345;
        LPOLESTR names1[1] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names1, 1, LOCALE_USER_DEFAULT, &id);
        char line[160];
        snprintf(line, sizeof line, "%s %ls: id %ld hr %08lx", kind, name, static_cast<long>(id),
                 static_cast<unsigned long>(hr));
        record->push_back(line);
    }
    if (std::string(kind) != "RegExp") {
        ITypeInfo* info = nullptr;
        HRESULT hr = dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info);
        record->push_back(std::string(kind) + " GetTypeInfo " + std::to_string(hr));
        if (SUCCEEDED(hr) && info != nullptr) info->Release();
    }
    dispatch->Release();
}

IUnknown* Interface(const ObjectValue& value) { return static_cast<ComObjectBlock*>(RecordPointer(value.arg()))->object; }

TEST(OwnRegExp, AnswersTheSameMemberIdsAndRefusesSingleline) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        NoteIds(Interface(regexp),
                {L"Pattern", L"IgnoreCase", L"Global", L"Multiline", L"Execute", L"Test", L"Replace", L"pattern",
                 L"Singleline", L"Count"},
                "RegExp", record);
        app::WriteObjectText(regexp, "Pattern", "(a)(b)?");
        ObjectValue matches = Execute(regexp, "xa");
        NoteIds(Interface(matches), {L"Count", L"Item", L"item", L"Value"}, "MatchCollection", record);
        ObjectValue match = app::ReadItemObject(matches, 0);
        NoteIds(Interface(match), {L"Value", L"FirstIndex", L"Length", L"SubMatches", L"Count"}, "Match", record);
        ObjectValue submatches = app::ReadObjectObject(match, "SubMatches");
        NoteIds(Interface(submatches), {L"Count", L"Item", L"Value"}, "SubMatches", record);
    });
}

TEST(OwnRegExp, ASinglelineWriteFailsWithoutEffect) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        Note(record, "write Singleline", std::to_string(app::WriteObjectLogical(regexp, "Singleline", true)));
        EXPECT_EQ(LastComError(), -3) << "the member is not found";
        app::WriteObjectLogical(regexp, "Global", true);
        app::WriteObjectText(regexp, "Pattern", "a.b");
        ObjectValue matches = Execute(regexp, "a\nb a\rb a\r\nb axb");
        Note(record, "Count", Number(app::ReadObjectNumber(matches, "Count")));
    });
}

TEST(OwnRegExp, PropertiesReadBackAsWritten) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        for (const char* name : {"IgnoreCase", "Global", "Multiline", "Pattern"}) {
            Note(record, std::string("fresh ") + name, Text(app::ReadObjectText(regexp, name)));
        }
        for (const char* name : {"IgnoreCase", "Global", "Multiline"}) {
            Note(record, std::string("write ") + name, std::to_string(app::WriteObjectLogical(regexp, name, true)));
            Note(record, std::string("read ") + name, Text(app::ReadObjectText(regexp, name)));
        }
        Note(record, "write Pattern", std::to_string(app::WriteObjectText(regexp, "Pattern", "中文[\\s\\S]*?(x)")));
        Note(record, "read Pattern", Text(app::ReadObjectText(regexp, "Pattern")));
        Note(record, "write Count", std::to_string(app::WriteObjectLogical(regexp, "Count", true)));
    });
}

TEST(OwnRegExp, AnInvalidPatternFailsExecuteTestAndReplaceAlike) {
    ExpectSameRecords([](bool own, Record* record) {
        for (const char* pattern : {"(", "a)", "[a", "*a", "a{2,1}", "(?<x>a)"}) {
            ObjectValue regexp = NewRegExp(own);
            Note(record, std::string("write ") + pattern,
                 std::to_string(app::WriteObjectText(regexp, "Pattern", pattern)));
            ObjectValue matches = Execute(regexp, "abc");
            Note(record, "Execute empty", std::to_string(app::ObjectEmpty(matches)));
            ValueRecord test = CoreCommand(&ObjectReadNumberProperty, {regexp.arg(), TextArg("Test"), TextArg("abc")});
            Note(record, "Test", Number(RecordDouble(test)));
            Note(record, "Replace", Text(OwnedText(CoreCommand(&ObjectCallTextMethod, {regexp.arg(), TextArg("Replace"),
                                                                                         TextArg("abc"), TextArg("x")}))));
        }
    });
}

// What a raw Invoke answers when the member itself fails, and the
// exception information it fills in.
std::string RawCall(IUnknown* object, const wchar_t* name, WORD flags, VARIANT argument) {
    IDispatch* dispatch = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result, &exception,
                                  &argumentError);
    char line[200];
    snprintf(line, sizeof line, "%ls: hr %08lx scode %08lx wCode %u", name, static_cast<unsigned long>(hr),
             static_cast<unsigned long>(exception.scode), exception.wCode);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&result);
    dispatch->Release();
    return line;
}

TEST(OwnRegExp, AMemberThatFailsRaisesAnExceptionWithItsCode) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        app::WriteObjectText(regexp, "Pattern", "b");
        ObjectValue matches = Execute(regexp, "abc");
        VARIANT index;
        index.vt = VT_I4;
        index.lVal = 1;
        record->push_back(RawCall(Interface(matches), L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, index));
        app::WriteObjectText(regexp, "Pattern", "(");
        VARIANT subject;
        subject.vt = VT_BSTR;
        subject.bstrVal = SysAllocString(L"abc");
        record->push_back(RawCall(Interface(regexp), L"Execute", DISPATCH_METHOD, subject));
        record->push_back(RawCall(Interface(regexp), L"Test", DISPATCH_METHOD, subject));
        SysFreeString(subject.bstrVal);
    });
}

// A subject can hold a NUL only when it comes as a BSTR of its own length.
TEST(OwnRegExp, ASubjectWithANulIsSearchedWholeAndItsValueCutAsVBScriptDoes) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        app::WriteObjectText(regexp, "Pattern", "[\\s\\S]+|x");
        VARIANT subject;
        subject.vt = VT_BSTR;
        subject.bstrVal = SysAllocStringLen(L"ab\0cd", 5);
        IDispatch* dispatch = nullptr;
        Interface(regexp)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        DISPID execute = DISPID_UNKNOWN;
        LPOLESTR name[1] = {const_cast<LPOLESTR>(L"Execute")};
        dispatch->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, &execute);
        DISPPARAMS parameters{&subject, nullptr, 1, 0};
        VARIANT result;
        VariantInit(&result);
        HRESULT hr = dispatch->Invoke(execute, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result,
                                      nullptr, nullptr);
        dispatch->Release();
        SysFreeString(subject.bstrVal);
        ASSERT_EQ(hr, S_OK);
        ASSERT_EQ(result.vt, VT_DISPATCH);
        ObjectValue matches;
        matches.Attach(result.pdispVal);
        Note(record, "Count", Number(app::ReadObjectNumber(matches, "Count")));
        ObjectValue match = app::ReadItemObject(matches, 0);
        Note(record, "Value", Text(app::ReadObjectText(match, "Value")));
        Note(record, "Length", Number(app::ReadObjectNumber(match, "Length")));
    });
}

TEST(OwnRegExp, ItemTakesALongRoundedFromADoubleAndRefusesOutOfRange) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        app::WriteObjectLogical(regexp, "Global", true);
        app::WriteObjectText(regexp, "Pattern", "(\\d)(x)?");
        ObjectValue matches = Execute(regexp, "1 2x 3");
        Note(record, "Count", Number(app::ReadObjectNumber(matches, "Count")));
        const double indexes[] = {0, 0.4, 0.5, 0.6, 1.5, 2.5, 2.6, -0.4, -0.5, -0.6, -1, 3, 1e10, -1e10};
        for (double index : indexes) {
            ObjectValue item(CoreCommand(&ObjectReadObjectProperty, {matches.arg(), TextArg("Item"), DoubleArg(index)}));
            std::string read = Error();
            Note(record, "Item(" + Number(index) + ")" + read, Text(app::ReadObjectText(item, "Value")));
        }
        ObjectValue second = app::ReadItemObject(matches, 1);
        ObjectValue submatches = app::ReadObjectObject(second, "SubMatches");
        for (double index : indexes) {
            Note(record, "SubMatches.Item(" + Number(index) + ")",
                 VariantSeen(CoreCommand(&ObjectReadVariantProperty,
                                         {submatches.arg(), TextArg("Item"), DoubleArg(index)})));
        }
        Note(record, "Item()", Text(app::ReadObjectText(matches, "Item")));
        Note(record, "Item(text)", std::to_string(app::ObjectEmpty(ObjectValue(CoreCommand(
                                       &ObjectReadObjectProperty, {matches.arg(), TextArg("Item"), TextArg("1")})))));
    });
}

TEST(OwnRegExp, AGroupThatTookNoPartIsEmptyAndAnEmptyGroupIsAnEmptyText) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue regexp = NewRegExp(own);
        app::WriteObjectText(regexp, "Pattern", "(a)(x)?()(b|(c))");
        ObjectValue matches = Execute(regexp, "中文ab");
        ObjectValue match = app::ReadItemObject(matches, 0);
        for (const char* name : {"Value", "FirstIndex", "Length"}) {
            Note(record, name, Text(app::ReadObjectText(match, name)));
        }
        ObjectValue submatches = app::ReadObjectObject(match, "SubMatches");
        Note(record, "SubMatches.Count", Number(app::ReadObjectNumber(submatches, "Count")));
        for (int i = 0; i < 5; ++i) {
            ValueRecord seen = CoreCommand(&ObjectReadVariantProperty, {submatches.arg(), TextArg("Item"), DoubleArg(i)});
            if (i == 1) {
                EXPECT_EQ(static_cast<VARIANT*>(RecordPointer(seen))->vt, VT_EMPTY);
            }
            Note(record, "SubMatches.Item(" + std::to_string(i) + ")", VariantSeen(seen));
        }
    });
}

TEST(OwnRegExp, MatchesOutliveTheirRegExpAndTheNextExecute) {
    ExpectSameRecords([](bool own, Record* record) {
        ObjectValue match;
        {
            ObjectValue regexp = NewRegExp(own);
            app::WriteObjectText(regexp, "Pattern", "b+");
            ObjectValue first = Execute(regexp, "abbc");
            match = app::ReadItemObject(first, 0);
            app::WriteObjectText(regexp, "Pattern", "c");
            ObjectValue second = Execute(regexp, "abbc");
            Note(record, "second", Text(app::ReadObjectText(app::ReadItemObject(second, 0), "Value")));
        }
        Note(record, "Value", Text(app::ReadObjectText(match, "Value")));
        Note(record, "FirstIndex", Number(app::ReadObjectNumber(match, "FirstIndex")));
    });
}

// ---- What only our class has to show ----

TEST(OwnRegExp, AnswersIUnknownAndIDispatchOnlyAndCountsReferencesAcrossThreads) {
    IDispatch* regexp = app::NewOwnRegExp();
    ASSERT_NE(regexp, nullptr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(regexp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(regexp));
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(regexp->QueryInterface(IID_ITypeInfo, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(regexp->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([regexp] {
            for (int i = 0; i < 100000; ++i) {
                regexp->AddRef();
                regexp->Release();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(regexp->AddRef(), 2u);
    regexp->Release();
    EXPECT_EQ(regexp->Release(), 0u);
}

}  // namespace
}  // namespace lyra::test
