// The COM object commands against objects of our own (a recording
// IDispatch with run-time type information, and one without) and against
// VBScript.RegExp.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "commands/com_object.h"
#include "commands/libraries.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"
#include "runtime/services.h"
#include "test_support/test_program.h"
#include "tests/windows/support/recording_object.h"

namespace lyra::test {
namespace {

constexpr int32_t kEmptyObject = -1;
const char kRecordingClsidText[] = "{4C595241-424F-4000-8000-434F4D000003}";

std::wstring gTypeLibraryPath;

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitialiseTestProgram();
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        gTypeLibraryPath = std::wstring(folder) + L"lyrabox_recording.tlb";
        ASSERT_TRUE(RegisterRecordingClass(gTypeLibraryPath));
    }
    void TearDown() override {
        RevokeRecordingClass();
        DeleteFileW(gTypeLibraryPath.c_str());
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

std::string Gbk(const std::wstring& wide) {
    int n = WideCharToMultiByte(936, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(936, 0, wide.c_str(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// A ComObject variable of the application: one block for its whole life.
class ObjectVariable {
public:
    ObjectVariable() : block_(NewComObjectBlock()) {}
    // Takes over the caller's reference.
    explicit ObjectVariable(IUnknown* object) : ObjectVariable() { block_->object = object; }
    ~ObjectVariable() {
        ClearComObjectBlock(block_);
        FreeMemory(block_);
    }
    ObjectVariable(const ObjectVariable&) = delete;
    ObjectVariable& operator=(const ObjectVariable&) = delete;

    ComObjectBlock* block() const { return block_; }
    ValueRecord arg() const { return PointerArg(block_, kTypeComObject); }
    ValueRecord byAddress() { return PointerArg(&block_, kTypeComObject | kArrayFlag); }

private:
    ComObjectBlock* block_;
};

ValueRecord Command(CommandFunction command, std::vector<ValueRecord> args) {
    return CallCoreCommand(command, static_cast<int32_t>(args.size()), args.data());
}

// Takes a text result over: its bytes, the block freed.
std::string TakeText(const ValueRecord& r) {
    char* text = static_cast<char*>(RecordPointer(r));
    std::string bytes = text != nullptr ? text : "";
    if (text != nullptr) FreeMemory(text);
    return bytes;
}

ValueRecord Absent() { return EmptyRecord(); }

// A typed recording object held by a variable, with our own reference kept
// so that calls can be read after the variable lets go.
struct Recorder {
    RecordingObject* object;
    ObjectVariable variable;
    explicit Recorder(TypeInformation typeInformation = TypeInformation::kDescribed)
        : object(new RecordingObject(typeInformation)), variable(Adopt(object)) {}
    ~Recorder() { object->Release(); }
    static IUnknown* Adopt(RecordingObject* o) {
        o->AddRef();
        return o;
    }
    const RecordedCall& LastCall() const { return object->calls().back(); }
};

// ---- Empty objects and creation ----

TEST(ComObjectEmpty, ReadsGiveTheEmptyValueOfTheirTypeAndErrorMinusOne) {
    ObjectVariable empty;
    ValueRecord r = Command(&ObjectReadTextProperty, {empty.arg(), TextArg("Pattern")});
    EXPECT_EQ(r.type, kTypeText);
    EXPECT_EQ(RecordPointer(r), nullptr);
    EXPECT_EQ(LastComError(), kEmptyObject);

    r = Command(&ObjectCallTextMethod, {empty.arg(), TextArg("Replace"), TextArg("a"), TextArg("b")});
    EXPECT_EQ(RecordPointer(r), nullptr);
    EXPECT_EQ(LastComError(), kEmptyObject);

    r = Command(&ObjectReadNumberProperty, {empty.arg(), TextArg("Count")});
    EXPECT_EQ(r.type, kTypeDouble);
    EXPECT_EQ(RecordDouble(r), 0.0);

    r = Command(&ObjectReadObjectProperty, {empty.arg(), TextArg("Item"), DoubleArg(0)});
    EXPECT_EQ(r.type, kTypeComObject);
    auto* block = static_cast<ComObjectBlock*>(RecordPointer(r));
    ASSERT_NE(block, nullptr) << "a new empty object block";
    EXPECT_EQ(block->object, nullptr);
    EXPECT_EQ(block->recordData, nullptr);
    FreeMemory(block);

    r = Command(&ObjectCallObjectMethod, {empty.arg(), TextArg("Execute"), TextArg("x")});
    block = static_cast<ComObjectBlock*>(RecordPointer(r));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->object, nullptr);
    FreeMemory(block);

    r = Command(&ObjectReadVariantProperty, {empty.arg(), TextArg("Item"), DoubleArg(0)});
    EXPECT_EQ(r.type, kTypeVariant);
    auto* variant = static_cast<VARIANT*>(RecordPointer(r));
    ASSERT_NE(variant, nullptr);
    EXPECT_EQ(variant->vt, VT_EMPTY);
    FreeMemory(variant);

    r = Command(&ObjectWriteProperty, {empty.arg(), TextArg("Global"), BoolArg(true)});
    EXPECT_EQ(r.type, kTypeBool);
    EXPECT_EQ(RecordInt(r), 0);
    EXPECT_EQ(LastComError(), kEmptyObject);

    EXPECT_EQ(RecordInt(Command(&ObjectIsEmpty, {empty.arg()})), 1);
}

TEST(ComObjectCreate, ProgIdClsidAndTypeLibraryFileEachCreate) {
    ObjectVariable regexp;
    EXPECT_EQ(RecordInt(Command(&ObjectCreate, {regexp.arg(), TextArg("VBScript.RegExp")})), 1);
    EXPECT_EQ(RecordInt(Command(&ObjectIsEmpty, {regexp.arg()})), 0);

    long before = RecordingObject::LiveCount();
    ObjectVariable byClsid;
    EXPECT_EQ(RecordInt(Command(&ObjectCreate, {byClsid.arg(), TextArg(kRecordingClsidText)})), 1);
    EXPECT_EQ(RecordingObject::LiveCount(), before + 1);

    ObjectVariable byLibrary;
    std::string path = Gbk(gTypeLibraryPath);
    std::string className = Gbk(kRecordingClassName);
    EXPECT_EQ(RecordInt(Command(&ObjectCreate, {byLibrary.arg(), TextArg(className.c_str()), TextArg(path.c_str())})), 1);
    EXPECT_EQ(RecordingObject::LiveCount(), before + 2);
    EXPECT_EQ(RecordDouble(Command(&ObjectReadNumberProperty, {byLibrary.arg(), TextArg("Count")})), 42.0);

    Command(&ObjectClear, {byClsid.arg()});
    Command(&ObjectClear, {byLibrary.arg()});
    EXPECT_EQ(RecordingObject::LiveCount(), before);
    EXPECT_EQ(RecordInt(Command(&ObjectIsEmpty, {byClsid.arg()})), 1);
}

TEST(ComObjectCreate, UnregisteredClassAnswersFalseAndLeavesTheTargetAlone) {
    Recorder held;
    ULONG references = held.object->references();
    for (const char* name : {"Lyrabox.NoSuchClass", "{4C595241-0000-0000-0000-0000000000AB}", "{not a clsid}", ""}) {
        ValueRecord r = Command(&ObjectCreate, {held.variable.arg(), TextArg(name)});
        EXPECT_EQ(RecordInt(r), 0) << name;
        EXPECT_EQ(held.variable.block()->object, static_cast<IUnknown*>(held.object)) << name;
        EXPECT_EQ(held.object->references(), references) << name;
    }
    ValueRecord r = Command(&ObjectCreate, {held.variable.arg(), TextArg("NoSuchType"), TextArg("C:\\no\\such.tlb")});
    EXPECT_EQ(RecordInt(r), 0);
    EXPECT_EQ(held.variable.block()->object, static_cast<IUnknown*>(held.object));
}

TEST(ComObjectCreate, CreationReleasesWhatTheTargetHeld) {
    Recorder held;
    ULONG references = held.object->references();
    EXPECT_EQ(RecordInt(Command(&ObjectCreate, {held.variable.arg(), TextArg("VBScript.RegExp")})), 1);
    EXPECT_EQ(held.object->references(), references - 1);
}

// ---- Arguments ----

TEST(ComInvokeArguments, LogicalTrueGoesAsVariantBoolMinusOneAlsoByAddress) {
    Recorder r;
    ValueRecord result = Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("Flag"), BoolArg(true)});
    EXPECT_EQ(result.type, kTypeBool);
    EXPECT_EQ(RecordInt(result), 1);
    EXPECT_EQ(LastComError(), 0);
    const RecordedCall& call = r.LastCall();
    EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
    ASSERT_EQ(call.named.size(), 1u);
    EXPECT_EQ(call.named[0], DISPID_PROPERTYPUT);
    ASSERT_EQ(call.args.size(), 1u);
    EXPECT_EQ(call.args[0].vt, VT_BOOL);
    EXPECT_EQ(call.args[0].boolVal, -1);
    EXPECT_TRUE(r.object->flag());

    int32_t variable = 5;  // any non-zero logical is true
    result = Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("Flag"), PointerArg(&variable, kTypeBool | kArrayFlag)});
    EXPECT_EQ(RecordInt(result), 1);
    EXPECT_EQ(r.LastCall().args[0].vt, VT_BOOL);
    EXPECT_EQ(r.LastCall().args[0].boolVal, -1);
}

TEST(ComInvokeArguments, TrailingAbsentArgumentsAreDroppedAMiddleOneIsParamNotFound) {
    Recorder r;
    ValueRecord result = Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), TextArg("甲"), Absent(), Absent()});
    EXPECT_EQ(TakeText(result), "甲");
    EXPECT_EQ(r.LastCall().args.size(), 1u);

    result = Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), TextArg("乙"), Absent(), IntArg(5)});
    EXPECT_EQ(TakeText(result), "乙");
    const RecordedCall& call = r.LastCall();
    ASSERT_EQ(call.args.size(), 3u);
    EXPECT_EQ(call.args[2].vt, VT_BSTR) << "the first argument is the last slot";
    EXPECT_EQ(call.args[1].vt, VT_ERROR);
    EXPECT_EQ(call.args[1].scode, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(call.args[0].vt, VT_I4);
    EXPECT_EQ(call.args[0].lVal, 5);
    EXPECT_TRUE(call.named.empty());
}

TEST(ComInvokeArguments, TooManyArgumentsAreRefusedWithMinusFiveAndNoCall) {
    Recorder r;
    ValueRecord result =
        Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), IntArg(1), IntArg(2), IntArg(3), IntArg(4)});
    EXPECT_EQ(LastComError(), -5);
    EXPECT_EQ(RecordPointer(result), nullptr);
    EXPECT_TRUE(r.object->calls().empty());

    result = Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("Count"), IntArg(1)});
    EXPECT_EQ(LastComError(), -5);
    result = Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("Flag"), IntArg(1)});
    EXPECT_EQ(LastComError(), -5) << "a variable takes no argument when read";
    EXPECT_TRUE(r.object->calls().empty());
}

TEST(ComInvokeArguments, AVariableArgumentListTakesAnyNumber) {
    Recorder r;
    ValueRecord result = Command(&ObjectCallTextMethod,
                             {r.variable.arg(), TextArg("Sum"), IntArg(1), IntArg(2), IntArg(3), IntArg(4), IntArg(5)});
    EXPECT_EQ(LastComError(), 0);
    EXPECT_EQ(TakeText(result), "5");
}

TEST(ComInvokeArguments, EachValueTypeBecomesItsVariantType) {
    Recorder r;
    ValueRecord byte;
    SetRecordInt(byte, 200, kTypeByte);
    ValueRecord shortValue;
    SetRecordInt(shortValue, -2, kTypeShort);
    ValueRecord longValue;
    SetRecordLong(longValue, 0x100000007LL);
    ValueRecord floatValue;
    SetRecordFloat(floatValue, 1.5f);
    ValueRecord date;
    SetRecordDouble(date, 36526.5, kTypeDateTime);
    VARIANT source;
    source.vt = VT_I2;
    source.iVal = 12;
    struct Case {
        ValueRecord arg;
        VARTYPE vt;
    } cases[] = {{byte, VT_UI1},        {shortValue, VT_I2}, {IntArg(-7), VT_I4},   {longValue, VT_I4},
                 {floatValue, VT_R4},   {DoubleArg(2.25), VT_R8}, {date, VT_DATE}, {TextArg("中文"), VT_BSTR},
                 {PointerArg(&source, kTypeVariant), VT_I2}};
    for (const Case& c : cases) {
        Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), c.arg});
        EXPECT_EQ(LastComError(), 0) << std::hex << c.arg.type;
        ASSERT_EQ(r.LastCall().args.size(), 1u);
        EXPECT_EQ(r.LastCall().args[0].vt, c.vt) << std::hex << c.arg.type;
    }
    const auto& calls = r.object->calls();
    EXPECT_EQ(calls[0].args[0].bVal, 200);
    EXPECT_EQ(calls[1].args[0].iVal, -2);
    EXPECT_EQ(calls[3].args[0].lVal, 7) << "a long integer passes its low 32 bits";
    EXPECT_EQ(calls[4].args[0].fltVal, 1.5f);
    EXPECT_EQ(calls[6].args[0].date, 36526.5);
    EXPECT_EQ(std::wstring(calls[7].args[0].bstrVal), L"中文") << "texts convert with code page 936";
    EXPECT_EQ(calls[8].args[0].iVal, 12);

    ValueRecord bytes;
    SetRecordPointer(bytes, nullptr, kTypeByteSet);
    size_t before = r.object->calls().size();
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), bytes});
    EXPECT_EQ(LastComError(), -7);
    EXPECT_EQ(r.object->calls().size(), before) << "no call with an unconvertible argument";
}

TEST(ComInvokeArguments, AnEmptyVariantArgumentIsParamNotFound) {
    Recorder r;
    VARIANT empty;
    VariantInit(&empty);
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), IntArg(1), PointerArg(&empty, kTypeVariant)});
    ASSERT_EQ(r.LastCall().args.size(), 2u);
    EXPECT_EQ(r.LastCall().args[0].vt, VT_ERROR);
    EXPECT_EQ(r.LastCall().args[0].scode, DISP_E_PARAMNOTFOUND);
}

TEST(ComInvokeArguments, OutParametersAreWrittenBackOnlyThroughAddresses) {
    Recorder r;
    int32_t number = 21;
    char* text = MakeText("旧");
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Swap"), PointerArg(&number, kTypeInt | kArrayFlag),
                                PointerArg(&text, kTypeText | kArrayFlag)});
    EXPECT_EQ(LastComError(), 0);
    EXPECT_EQ(number, 42);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), "出参");
    FreeMemory(text);

    ValueRecord byValue = IntArg(21);
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Swap"), byValue, TextArg("旧")});
    EXPECT_EQ(LastComError(), 0) << "a declared reference still goes by reference";
    EXPECT_EQ(RecordInt(byValue), 21);

    auto* variant = static_cast<VARIANT*>(NewVariantBlock());
    variant->vt = VT_BSTR;
    variant->bstrVal = SysAllocString(L"x");
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Take"), PointerArg(&variant, kTypeVariant | kArrayFlag)});
    EXPECT_EQ(LastComError(), 0);
    EXPECT_EQ(variant->vt, VT_I4);
    EXPECT_EQ(variant->lVal, 7);
    VariantClear(variant);
    FreeMemory(variant);
}

TEST(ComInvokeArguments, AnObjectGoesAsItsDispatchInterface) {
    Recorder r;
    Recorder other;
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Attach"), other.variable.arg()});
    EXPECT_EQ(LastComError(), 0);
    ASSERT_EQ(r.LastCall().args.size(), 1u);
    EXPECT_EQ(r.LastCall().args[0].vt, VT_DISPATCH);
    EXPECT_EQ(r.LastCall().args[0].pdispVal, static_cast<IDispatch*>(other.object));
}

// ---- Results ----

TEST(ComInvokeResults, NumbersTextsAndObjectsConvertToTheRequestedType) {
    Recorder r;
    ValueRecord number = Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("Count")});
    EXPECT_EQ(number.type, kTypeDouble);
    EXPECT_EQ(RecordDouble(number), 42.0);
    EXPECT_EQ(TakeText(Command(&ObjectReadTextProperty, {r.variable.arg(), TextArg("Count")})), "42");

    long before = RecordingObject::LiveCount();
    ValueRecord child = Command(&ObjectReadObjectProperty, {r.variable.arg(), TextArg("Child")});
    EXPECT_EQ(child.type, kTypeComObject);
    auto* block = static_cast<ComObjectBlock*>(RecordPointer(child));
    ASSERT_NE(block, nullptr);
    ASSERT_NE(block->object, nullptr);
    EXPECT_EQ(RecordingObject::LiveCount(), before + 1);
    Command(&ObjectClear, {PointerArg(block, kTypeComObject)});
    EXPECT_EQ(RecordingObject::LiveCount(), before);
    FreeMemory(block);
}

TEST(ComInvokeResults, TextsRoundTripThroughCodePage936) {
    Recorder r;
    std::string gbk = Gbk(L"中文ABC“引号”");
    EXPECT_EQ(RecordInt(Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("Name"), TextArg(gbk.c_str())})), 1);
    EXPECT_EQ(r.object->name(), L"中文ABC“引号”");
    EXPECT_EQ(TakeText(Command(&ObjectReadTextProperty, {r.variable.arg(), TextArg("Name")})), gbk);

    Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("Name"), TextArg("")});
    EXPECT_EQ(RecordPointer(Command(&ObjectReadTextProperty, {r.variable.arg(), TextArg("Name")})), nullptr)
        << "an empty text result is null";
}

TEST(ComInvokeResults, AResultThatCannotBeConvertedIsMinusEightAndEmpty) {
    Recorder r;
    Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("Name"), TextArg("abc")});
    ValueRecord result = Command(&ObjectReadObjectProperty, {r.variable.arg(), TextArg("Name")});
    EXPECT_EQ(LastComError(), -8);
    auto* block = static_cast<ComObjectBlock*>(RecordPointer(result));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->object, nullptr);
    FreeMemory(block);
}

TEST(ComInvokeResults, VariantResultsAndArrayElements) {
    Recorder r;
    ValueRecord result = Command(&ObjectReadVariantProperty, {r.variable.arg(), TextArg("Values")});
    EXPECT_EQ(result.type, kTypeVariant);
    auto* variant = static_cast<VARIANT*>(RecordPointer(result));
    ASSERT_NE(variant, nullptr);
    EXPECT_EQ(variant->vt, VT_ARRAY | VT_VARIANT);
    ValueRecord v = PointerArg(variant, kTypeVariant);
    EXPECT_EQ(TakeText(Command(&VariantToText, {v, IntArg(1)})), "3");
    EXPECT_EQ(TakeText(Command(&VariantToText, {v, IntArg(2)})), "三");
    EXPECT_EQ(RecordPointer(Command(&VariantToText, {v, IntArg(0)})), nullptr);
    EXPECT_EQ(RecordPointer(Command(&VariantToText, {v, IntArg(3)})), nullptr);
    EXPECT_EQ(RecordPointer(Command(&VariantToText, {v, Absent()})), nullptr) << "an array without a number";
    Command(&VariantReset, {v});
    EXPECT_EQ(variant->vt, VT_EMPTY);
    FreeMemory(variant);
}

// ---- Errors ----

TEST(ComInvokeErrors, ObjectWithoutDispatchAndUnknownMember) {
    ObjectVariable plain(new PlainObject);
    Command(&ObjectReadNumberProperty, {plain.arg(), TextArg("Count")});
    EXPECT_EQ(LastComError(), -2);

    Recorder r;
    Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("NoSuchMember")});
    EXPECT_EQ(LastComError(), -3);
    EXPECT_EQ(RecordInt(Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("Singleline"), BoolArg(true)})), 0);
    EXPECT_EQ(LastComError(), -3);
    Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("Count")});
    EXPECT_EQ(LastComError(), 0);
}

TEST(ComInvokeErrors, InvokeFailuresMapToTheirCodes) {
    Recorder r;
    const struct {
        HRESULT hr;
        int32_t code;
    } cases[] = {{DISP_E_BADPARAMCOUNT, -9},    {DISP_E_BADVARTYPE, -10},  {DISP_E_EXCEPTION, -11},
                 {DISP_E_MEMBERNOTFOUND, -12},  {DISP_E_NONAMEDARGS, -13}, {DISP_E_OVERFLOW, -14},
                 {DISP_E_PARAMNOTFOUND, -15},   {DISP_E_TYPEMISMATCH, -16}, {DISP_E_PARAMNOTOPTIONAL, -17},
                 {E_FAIL, -18},                 {E_OUTOFMEMORY, -18}};
    for (const auto& c : cases) {
        ValueRecord result = Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Fail"), IntArg(c.hr)});
        EXPECT_EQ(LastComError(), c.code) << std::hex << c.hr;
        EXPECT_EQ(RecordPointer(result), nullptr);
    }
}

TEST(ComInvokeErrors, AnObjectWithoutTypeInformationIsBoundByName) {
    Recorder r(TypeInformation::kNone);
    EXPECT_EQ(RecordDouble(Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("Count")})), 42.0);
    EXPECT_EQ(LastComError(), 0);
    EXPECT_EQ(r.LastCall().flags, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
    EXPECT_EQ(RecordInt(Command(&ObjectWriteProperty, {r.variable.arg(), TextArg("name"), TextArg("x")})), 1);
    EXPECT_EQ(r.object->name(), L"x");
    EXPECT_EQ(r.LastCall().flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(TakeText(Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Echo"), TextArg("y"), Absent()})), "y");
    EXPECT_EQ(r.LastCall().args.size(), 1u);
    Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("NoSuchMember")});
    EXPECT_EQ(LastComError(), -3);
}

TEST(ComInvokeErrors, TypeInformationWithoutTypeCompIsMinusFour) {
    Recorder r(TypeInformation::kWithoutTypeComp);
    ValueRecord result = Command(&ObjectReadTextProperty, {r.variable.arg(), TextArg("Count")});
    EXPECT_EQ(LastComError(), -4);
    EXPECT_EQ(RecordPointer(result), nullptr);
    EXPECT_TRUE(r.object->calls().empty());
}

TEST(ComInvokeErrors, TheLastErrorBelongsToTheThread) {
    ObjectVariable empty;
    Command(&ObjectReadNumberProperty, {empty.arg(), TextArg("Count")});
    ASSERT_EQ(LastComError(), kEmptyObject);
    int32_t seenOnWorker = 99;
    int32_t afterWorkerCall = 99;
    std::thread worker([&] {
        CoInitialize(nullptr);
        seenOnWorker = LastComError();
        {
            Recorder r;
            Command(&ObjectReadNumberProperty, {r.variable.arg(), TextArg("Count")});
            afterWorkerCall = LastComError();
        }
        CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(seenOnWorker, 0);
    EXPECT_EQ(afterWorkerCall, 0);
    EXPECT_EQ(LastComError(), kEmptyObject);
}

// ---- Variants ----

TEST(VariantCommands, ThreeGivesTheTextThreeAndAnEmptyVariantAnEmptyText) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = 3;
    EXPECT_EQ(TakeText(Command(&VariantToText, {PointerArg(&v, kTypeVariant)})), "3");
    v.vt = VT_EMPTY;
    ValueRecord empty = Command(&VariantToText, {PointerArg(&v, kTypeVariant)});
    EXPECT_EQ(RecordPointer(empty), nullptr);
    v.vt = VT_NULL;
    EXPECT_EQ(RecordPointer(Command(&VariantToText, {PointerArg(&v, kTypeVariant)})), nullptr);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(L"串");
    EXPECT_EQ(TakeText(Command(&VariantToText, {PointerArg(&v, kTypeVariant)})), "串");
    Command(&VariantReset, {PointerArg(&v, kTypeVariant)});
    EXPECT_EQ(v.vt, VT_EMPTY);
}

TEST(VariantCommands, ElementNumbersRunOverTheFirstDimensionFastest) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};  // first dimension 0..1, second 1..3
    SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
    ASSERT_NE(array, nullptr);
    for (LONG first = 0; first <= 1; ++first) {
        for (LONG second = 1; second <= 3; ++second) {
            LONG indexes[2] = {first, second};
            LONG value = 10 * first + second;
            ASSERT_EQ(SafeArrayPutElement(array, indexes, &value), S_OK);
        }
    }
    VARIANT v;
    v.vt = VT_ARRAY | VT_I4;
    v.parray = array;
    ValueRecord arg = PointerArg(&v, kTypeVariant);
    const char* expected[] = {"1", "11", "2", "12", "3", "13"};
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(TakeText(Command(&VariantToText, {arg, IntArg(n)})), expected[n - 1]) << n;
    EXPECT_EQ(RecordPointer(Command(&VariantToText, {arg, IntArg(7)})), nullptr);
    EXPECT_EQ(RecordPointer(Command(&VariantToText, {arg, IntArg(-1)})), nullptr);
    VariantClear(&v);
}

// ---- Reference counts ----

TEST(ComReferenceCounts, AThousandObjectsCreatedCopiedAndClearedLeaveNoneAlive) {
    long before = RecordingObject::LiveCount();
    for (int i = 0; i < 1000; ++i) {
        ObjectVariable original;
        ASSERT_EQ(RecordInt(Command(&ObjectCreate, {original.arg(), TextArg(kRecordingClsidText)})), 1);
        ObjectVariable copy;
        Command(&ObjectAssign, {copy.arg(), original.arg()});
        ValueRecord child = Command(&ObjectReadObjectProperty, {copy.arg(), TextArg("Child")});
        auto* childBlock = static_cast<ComObjectBlock*>(RecordPointer(child));
        ASSERT_EQ(RecordingObject::LiveCount(), before + 2);
        Command(&ObjectClear, {PointerArg(childBlock, kTypeComObject)});
        FreeMemory(childBlock);
        Command(&ObjectClear, {original.arg()});
        EXPECT_EQ(RecordingObject::LiveCount(), before + 1) << "the copy still holds its reference";
    }
    EXPECT_EQ(RecordingObject::LiveCount(), before);
}

TEST(ComReferenceCounts, AssignAddsOneReferenceAndRequest2035Releases) {
    Recorder r;
    ULONG references = r.object->references();
    ComObjectBlock* target = NewComObjectBlock();
    Command(&ObjectAssign, {PointerArg(target, kTypeComObject), r.variable.arg()});
    EXPECT_EQ(target->object, static_cast<IUnknown*>(r.object));
    EXPECT_EQ(r.object->references(), references + 1);

    RequestFunction request = CoreRequest();
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request(kRequestClearObject, reinterpret_cast<intptr_t>(target), 0), 0);
    EXPECT_EQ(target->object, nullptr);
    EXPECT_EQ(r.object->references(), references);
    FreeMemory(target);
}

TEST(ComReferenceCounts, AnObjectWrittenBackKeepsItsBlockAndDropsItsOldReference) {
    Recorder r;
    Recorder old;
    ULONG references = old.object->references();
    long before = RecordingObject::LiveCount();
    ObjectVariable variable;
    Command(&ObjectAssign, {variable.arg(), old.variable.arg()});
    ComObjectBlock* block = variable.block();
    Command(&ObjectCallTextMethod, {r.variable.arg(), TextArg("Give"), variable.byAddress()});
    EXPECT_EQ(LastComError(), 0);
    EXPECT_EQ(variable.block(), block) << "the variable keeps its block";
    ASSERT_NE(block->object, nullptr);
    EXPECT_NE(block->object, static_cast<IUnknown*>(old.object));
    EXPECT_EQ(old.object->references(), references + 1) << "the variable's reference went; the recorded call keeps one";
    EXPECT_EQ(RecordingObject::LiveCount(), before + 1);
    Command(&ObjectClear, {variable.arg()});
    EXPECT_EQ(RecordingObject::LiveCount(), before);
}

}  // namespace
}  // namespace lyra::test
