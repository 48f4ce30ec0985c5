// Creating, emptying and sharing ComObject values, and the property and
// method commands on top of the shared invoke routine.
#include "commands/com_object.h"

#include <cstring>
#include <string>

#include "commands/com_invoke.h"
#include "commands/com_values.h"
#include "runtime/com_ref.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"

namespace lyra {

namespace {

using com::CallMode;
using com::InvokeMember;

// CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
// and the same without the remote server.
constexpr DWORD kCreateContext = 0x17;
constexpr DWORD kLocalCreateContext = 0x7;

// Looks the class name up in the type library file and creates an instance
// of the type found; registers the library when the file is named by a path.
IUnknown* CreateFromTypeLibrary(const std::wstring& className, const std::wstring& fileName) {
    ComRef<ITypeLib> library;
    if (FAILED(LoadTypeLib(fileName.c_str(), library.Put())) || !library) return nullptr;
    std::wstring name = className;  // FindName may rewrite the buffer's case
    ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), name.c_str());
    ComRef<ITypeInfo> info;
    MEMBERID member = MEMBERID_NIL;
    USHORT found = 1;
    IUnknown* object = nullptr;
    if (SUCCEEDED(library->FindName(&name[0], hash, info.Put(), &member, &found)) && found == 1 && info) {
        if (SUCCEEDED(info->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object))) &&
            object != nullptr && fileName.find(L'\\') != std::wstring::npos) {
            RegisterTypeLib(library.get(), const_cast<LPOLESTR>(fileName.c_str()), nullptr);
        }
    }
    return object;
}

IUnknown* CreateFromClassName(const std::wstring& className) {
    CLSID clsid;
    HRESULT hr = className.compare(0, 1, L"{") == 0 ? CLSIDFromString(className.c_str(), &clsid)
                                                    : CLSIDFromProgID(className.c_str(), &clsid);
    if (FAILED(hr)) return nullptr;
    IUnknown* object = nullptr;
    hr = CoCreateInstance(clsid, nullptr, kCreateContext, IID_IUnknown, reinterpret_cast<void**>(&object));
    if (hr == E_INVALIDARG) {
        hr = CoCreateInstance(clsid, nullptr, kLocalCreateContext, IID_IUnknown, reinterpret_cast<void**>(&object));
    }
    return SUCCEEDED(hr) ? object : nullptr;
}

void ReadOrCall(ValueRecord* result, int32_t count, ValueRecord* args, uint32_t type, CallMode mode) {
    result->type = type;
    InvokeMember(result, count, args, mode);
}

}  // namespace

size_t VariantBlockSize() { return sizeof(VARIANT); }

ComObjectBlock* NewComObjectBlock() {
    auto* block = static_cast<ComObjectBlock*>(AllocMemory(sizeof(ComObjectBlock)));
    block->object = nullptr;
    block->recordData = nullptr;
    return block;
}

void* NewVariantBlock() {
    void* block = AllocMemory(sizeof(VARIANT));
    std::memset(block, 0, sizeof(VARIANT));
    return block;
}

void ClearComObjectBlock(ComObjectBlock* block) {
    if (block == nullptr) return;
    if (block->object != nullptr) {
        if (block->recordData != nullptr) {
            static_cast<IRecordInfo*>(static_cast<void*>(block->object))->RecordDestroy(block->recordData);
        }
        block->object->Release();
    } else if (block->recordData != nullptr) {
        FreeMemory(block->recordData);
    }
    block->object = nullptr;
    block->recordData = nullptr;
}

void ObjectClear(ValueRecord*, int32_t count, ValueRecord* args) {
    if (count >= 1) ClearComObjectBlock(com::ObjectBlockOf(args[0]));
}

void ObjectCreate(ValueRecord* result, int32_t count, ValueRecord* args) {
    SetRecordInt(*result, 0, 0);
    if (count < 2) return;
    ComObjectBlock* target = com::ObjectBlockOf(args[0]);
    if (target == nullptr) return;
    std::wstring className = GbkToWide(RecordText(args[1]));

    IUnknown* object = nullptr;
    if (className.compare(0, 1, L"{") != 0 && count > 2 && IsPresent(args[2])) {
        object = CreateFromTypeLibrary(className, GbkToWide(RecordText(args[2])));
    }
    if (object == nullptr) object = CreateFromClassName(className);
    if (object == nullptr) return;
    if (FAILED(OleRun(object))) {
        object->Release();
        return;
    }
    ClearComObjectBlock(target);
    target->object = object;
    SetRecordInt(*result, 1, 0);
}

void ObjectIsEmpty(ValueRecord* result, int32_t count, ValueRecord* args) {
    ComObjectBlock* block = count >= 1 ? com::ObjectBlockOf(args[0]) : nullptr;
    SetRecordInt(*result, block == nullptr || block->object == nullptr ? 1 : 0, 0);
}

// The target's earlier contents are overwritten, not released: the command
// initialises freshly allocated blocks, whose contents are not references.
void ObjectAssign(ValueRecord*, int32_t count, ValueRecord* args) {
    if (count < 2) return;
    ComObjectBlock* target = com::ObjectBlockOf(args[0]);
    ComObjectBlock* source = com::ObjectBlockOf(args[1]);
    if (target == nullptr) return;
    IUnknown* object = source != nullptr ? source->object : nullptr;
    if (object != nullptr) object->AddRef();
    target->object = object;
    target->recordData = nullptr;
}

void ObjectWriteProperty(ValueRecord* result, int32_t count, ValueRecord* args) {
    result->type = 0;
    InvokeMember(result, count, args, CallMode::PropertyPut);
    SetRecordInt(*result, LastComError() == 0 ? 1 : 0, kTypeBool);
}

void ObjectCallObjectMethod(ValueRecord* result, int32_t count, ValueRecord* args) {
    ReadOrCall(result, count, args, kTypeComObject, CallMode::MethodCall);
}

void ObjectReadTextProperty(ValueRecord* result, int32_t count, ValueRecord* args) {
    ReadOrCall(result, count, args, kTypeText, CallMode::PropertyGet);
}

void ObjectCallTextMethod(ValueRecord* result, int32_t count, ValueRecord* args) {
    ReadOrCall(result, count, args, kTypeText, CallMode::MethodCall);
}

void ObjectReadNumberProperty(ValueRecord* result, int32_t count, ValueRecord* args) {
    ReadOrCall(result, count, args, kTypeDouble, CallMode::PropertyGet);
}

void ObjectReadObjectProperty(ValueRecord* result, int32_t count, ValueRecord* args) {
    ReadOrCall(result, count, args, kTypeComObject, CallMode::PropertyGet);
}

void ObjectReadVariantProperty(ValueRecord* result, int32_t count, ValueRecord* args) {
    ReadOrCall(result, count, args, kTypeVariant, CallMode::PropertyGet);
}

}  // namespace lyra
