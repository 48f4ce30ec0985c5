#include "commands/com_values.h"

#include <cstring>
#include <string>
#include <vector>

#include "commands/libraries.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"

namespace lyra::com {

namespace {

// Where an argument's value lies: in the record, or in the caller's variable.
const void* ValueAddress(const ValueRecord& arg) { return IsByAddress(arg) ? RecordPointer(arg) : arg.datum; }

template <typename T>
T ReadValue(const ValueRecord& arg) {
    T value{};
    if (const void* address = ValueAddress(arg)) std::memcpy(&value, address, sizeof value);
    return value;
}

VARTYPE VarTypeFor(uint32_t type) {
    switch (type) {
        case kTypeBool: return VT_BOOL;
        case kTypeDateTime: return VT_DATE;
        case kTypeText: return VT_BSTR;
        case kTypeByte: return VT_UI1;
        case kTypeShort: return VT_I2;
        case kTypeInt:
        case kTypeLong: return VT_I4;
        case kTypeFloat: return VT_R4;
        case kTypeDouble: return VT_R8;
        default: return IsComObjectType(type) ? VT_UNKNOWN : VT_EMPTY;
    }
}

bool ObjectToVariant(const ComObjectBlock* block, VARTYPE declared, VARIANT* out) {
    IUnknown* object = block != nullptr ? block->object : nullptr;
    if (object == nullptr) {
        out->vt = declared == VT_UNKNOWN ? VT_UNKNOWN : VT_DISPATCH;
        out->punkVal = nullptr;
        return true;
    }
    if (block->recordData != nullptr) {
        out->vt = VT_RECORD;
        out->pvRecord = block->recordData;
        out->pRecInfo = static_cast<IRecordInfo*>(static_cast<void*>(object));
        object->AddRef();
        return true;
    }
    if (declared == VT_UNKNOWN) {
        out->vt = VT_UNKNOWN;
        out->punkVal = object;
        object->AddRef();
        return true;
    }
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        out->vt = VT_DISPATCH;
        out->pdispVal = dispatch;
        return true;
    }
    // Declared IDispatch but the object has none: an empty IUnknown. Without
    // a declaration the object goes as the IUnknown it is.
    out->vt = VT_UNKNOWN;
    out->punkVal = declared == VT_DISPATCH ? nullptr : object;
    if (out->punkVal != nullptr) object->AddRef();
    return true;
}

// Hands the block to the runtime to be emptied as ObjectClear does.
void ReleaseObjectVariable(ComObjectBlock* block) {
    if (RequestFunction request = CoreRequest()) {
        request(kRequestClearObject, reinterpret_cast<intptr_t>(block), 0);
    } else {
        ClearComObjectBlock(block);
    }
}

// Bytes a variable of a non-block type occupies.
size_t VariableSize(uint32_t type) {
    switch (type) {
        case kTypeBool: return 4;
        case kTypeDateTime: return 8;
        case kTypeText: return sizeof(char*);
        default: return NumericElementSize(type);
    }
}

// Truncation towards zero; 0 for NaN and values beyond the 64-bit range.
int64_t Truncated(double value) {
    if (!(value > -9.2e18 && value < 9.2e18)) return 0;
    return static_cast<int64_t>(value);
}

}  // namespace

ComObjectBlock* ObjectBlockOf(const ValueRecord& arg) { return ReadValue<ComObjectBlock*>(arg); }

VARIANT* VariantBlockOf(const ValueRecord& arg) { return ReadValue<VARIANT*>(arg); }

bool IsComObjectType(uint32_t type) {
    if (type == kTypeComObject) return true;
    if (type == kTypeVariant || ClassOfType(type) != TypeClass::Library) return false;
    RequestFunction request = CoreRequest();
    if (request == nullptr) return false;
    auto* record = reinterpret_cast<const DataTypeRecord*>(request(kRequestDataTypeRecord, static_cast<intptr_t>(type), 0));
    return record != nullptr && (record->stateFlags & kTypeIsComObject) != 0;
}

bool ArgumentToVariant(const ValueRecord& arg, VARTYPE declared, VARIANT* out) {
    VariantInit(out);
    uint32_t type = ElementType(arg.type);
    switch (type) {
        case kTypeBool:
            out->vt = VT_BOOL;
            out->boolVal = ReadValue<int32_t>(arg) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            return true;
        case kTypeDateTime:
            out->vt = VT_DATE;
            out->date = ReadValue<double>(arg);
            return true;
        case kTypeText: {
            std::wstring wide = GbkToWide(ReadValue<const char*>(arg));
            out->vt = VT_BSTR;
            out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            return true;
        }
        case kTypeByte:
            out->vt = VT_UI1;
            out->bVal = ReadValue<uint8_t>(arg);
            return true;
        case kTypeShort:
            out->vt = VT_I2;
            out->iVal = ReadValue<int16_t>(arg);
            return true;
        case kTypeInt:
        case kTypeLong:  // a long integer passes its low 32 bits
            out->vt = VT_I4;
            out->lVal = ReadValue<int32_t>(arg);
            return true;
        case kTypeFloat:
            out->vt = VT_R4;
            out->fltVal = ReadValue<float>(arg);
            return true;
        case kTypeDouble:
            out->vt = VT_R8;
            out->dblVal = ReadValue<double>(arg);
            return true;
        case kTypeVariant: {
            VARIANT* source = ReadValue<VARIANT*>(arg);
            if (source == nullptr) return true;
            return SUCCEEDED(VariantCopyInd(out, source));
        }
        default:
            if (IsComObjectType(type)) return ObjectToVariant(ReadValue<ComObjectBlock*>(arg), declared, out);
            return false;
    }
}

bool VariantToRecord(const VARIANT& v, uint32_t type, ValueRecord* out) {
    if ((v.vt & VT_TYPEMASK) == VT_RECORD) return false;
    if (type == kTypeVariant) {
        auto* block = static_cast<VARIANT*>(NewVariantBlock());
        if (FAILED(VariantCopyInd(block, const_cast<VARIANT*>(&v)))) {
            FreeMemory(block);
            return false;
        }
        SetRecordPointer(*out, block, type);
        return true;
    }
    VARTYPE wanted = VarTypeFor(type);
    if (wanted == VT_EMPTY) return false;
    VARIANT value;
    VariantInit(&value);
    if (FAILED(VariantCopyInd(&value, const_cast<VARIANT*>(&v)))) return false;
    if (FAILED(VariantChangeType(&value, &value, 0, wanted))) {
        VariantClear(&value);
        return false;
    }
    switch (wanted) {
        case VT_UNKNOWN: {
            ComObjectBlock* block = NewComObjectBlock();
            block->object = value.punkVal;
            if (block->object != nullptr) block->object->AddRef();
            SetRecordPointer(*out, block, type);
            break;
        }
        case VT_BOOL: SetRecordInt(*out, value.boolVal != VARIANT_FALSE ? 1 : 0, type); break;
        case VT_DATE: SetRecordDouble(*out, value.date, type); break;
        case VT_BSTR: {
            std::string gbk = WideToGbk(value.bstrVal, SysStringLen(value.bstrVal));
            SetRecordPointer(*out, MakeText(gbk.data(), gbk.size()), type);
            break;
        }
        case VT_UI1: SetRecordInt(*out, value.bVal, type); break;
        case VT_I2: SetRecordInt(*out, value.iVal, type); break;
        case VT_I4:
            if (type == kTypeLong) SetRecordLong(*out, value.lVal, type);
            else SetRecordInt(*out, value.lVal, type);
            break;
        case VT_R4: SetRecordFloat(*out, value.fltVal, type); break;
        default: SetRecordDouble(*out, value.dblVal, type); break;
    }
    VariantClear(&value);
    return true;
}

bool ArrayElementToRecord(const VARIANT& v, int64_t number, uint32_t type, ValueRecord* out) {
    SAFEARRAY* array = (v.vt & VT_BYREF) != 0 ? (v.pparray != nullptr ? *v.pparray : nullptr) : v.parray;
    if (array == nullptr || number < 1) return false;
    UINT dimensions = SafeArrayGetDim(array);
    if (dimensions == 0) return false;

    // SafeArrayGetElement takes the index of dimension d (1-based) at d - 1,
    // and dimension 1 varies fastest in the array's storage.
    std::vector<LONG> indexes(dimensions);
    int64_t remainder = number - 1;
    for (UINT d = 1; d <= dimensions; ++d) {
        LONG lower = 0;
        LONG upper = -1;
        if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper))) return false;
        int64_t size = static_cast<int64_t>(upper) - lower + 1;
        if (size <= 0) return false;
        indexes[d - 1] = static_cast<LONG>(lower + remainder % size);
        remainder /= size;
    }
    if (remainder != 0) return false;  // beyond the last element

    VARTYPE elementType = v.vt & VT_TYPEMASK;
    VARIANT element;
    VariantInit(&element);
    HRESULT hr;
    if (elementType == VT_VARIANT) {
        hr = SafeArrayGetElement(array, indexes.data(), &element);
    } else if (elementType == VT_DECIMAL) {
        hr = SafeArrayGetElement(array, indexes.data(), &element.decVal);
        element.vt = VT_DECIMAL;
    } else {
        if (elementType == VT_RECORD || SafeArrayGetElemsize(array) > 8) return false;
        hr = SafeArrayGetElement(array, indexes.data(), &element.llVal);
        if (SUCCEEDED(hr)) element.vt = elementType;
    }
    if (FAILED(hr)) return false;
    bool stored = VariantToRecord(element, type, out);
    VariantClear(&element);
    return stored;
}

void SetEmptyResult(uint32_t type, ValueRecord* out) {
    if (type == kTypeVariant) {
        SetRecordPointer(*out, NewVariantBlock(), type);
    } else if (IsComObjectType(type)) {
        SetRecordPointer(*out, NewComObjectBlock(), type);
    } else {
        SetRecordWords(*out, 0, 0, type);
    }
}

bool WriteBackToVariable(const ValueRecord& arg, const VARIANT& value) {
    void* variable = RecordPointer(arg);
    if (variable == nullptr) return false;
    uint32_t type = ElementType(arg.type);

    if (type == kTypeVariant) {
        VARIANT copy;
        VariantInit(&copy);
        if (FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(&value)))) return false;
        VARIANT* block;
        std::memcpy(&block, variable, sizeof block);
        if (block == nullptr) {
            block = static_cast<VARIANT*>(NewVariantBlock());
            std::memcpy(variable, &block, sizeof block);
        } else {
            VariantClear(block);
        }
        *block = copy;
        return true;
    }

    ValueRecord converted = EmptyRecord();
    if (!VariantToRecord(value, type, &converted)) return false;

    if (IsComObjectType(type)) {
        // The variable keeps its block; only the reference in it changes.
        auto* fresh = static_cast<ComObjectBlock*>(RecordPointer(converted));
        ComObjectBlock* block;
        std::memcpy(&block, variable, sizeof block);
        if (block == nullptr) {
            std::memcpy(variable, &fresh, sizeof fresh);
            return true;
        }
        ReleaseObjectVariable(block);
        *block = *fresh;
        FreeMemory(fresh);
        return true;
    }
    if (type == kTypeText) {
        char* old;
        std::memcpy(&old, variable, sizeof old);
        if (old != nullptr) FreeMemory(old);
    }
    std::memcpy(variable, converted.datum, VariableSize(type));
    return true;
}

int64_t NumericArgument(const ValueRecord& arg) {
    switch (ElementType(arg.type)) {
        case kTypeByte: return ReadValue<uint8_t>(arg);
        case kTypeShort: return ReadValue<int16_t>(arg);
        case kTypeBool:
        case kTypeInt: return ReadValue<int32_t>(arg);
        case kTypeLong: return ReadValue<int64_t>(arg);
        case kTypeFloat: return Truncated(ReadValue<float>(arg));
        case kTypeDouble: return Truncated(ReadValue<double>(arg));
        default: return 0;
    }
}

}  // namespace lyra::com
