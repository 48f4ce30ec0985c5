// COM automation through late binding: ComObject values (0x10030), Variant
// values (0x10031) and the thirteen commands that create, call and release
// them. COM must already be initialised on the calling thread; the commands
// never initialise it themselves.
#pragma once

#include <cstdint>

#include "runtime/values.h"

struct IUnknown;

namespace lyra {

// What a ComObject value points at. The interface is a counted reference;
// recordData is non-null only when the value holds a COM record, and the
// interface is then the record's IRecordInfo. Empty: a null interface.
struct ComObjectBlock {
    IUnknown* object;
    void* recordData;
};

// A Variant value points at one OLE VARIANT (sizeof(VARIANT) bytes: 16 on
// 32-bit builds, 24 on 64-bit ones).
size_t VariantBlockSize();

// New heap blocks as the commands return them: {null, null}, and a zeroed VARIANT.
ComObjectBlock* NewComObjectBlock();
void* NewVariantBlock();

// Releases what the block holds and empties it; an empty block stays as it
// is. ObjectClear, and the runtime's kRequestClearObject, do exactly this.
void ClearComObjectBlock(ComObjectBlock* block);

// The last COM error of the calling thread: 0 after a successful property or
// method command, a negative code after a failed one.
int32_t LastComError();

void ObjectClear(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectCreate(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectWriteProperty(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectCallObjectMethod(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectIsEmpty(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectReadTextProperty(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectCallTextMethod(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectReadNumberProperty(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectReadObjectProperty(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectReadVariantProperty(ValueRecord* result, int32_t count, ValueRecord* args);
void VariantToText(ValueRecord* result, int32_t count, ValueRecord* args);
void VariantReset(ValueRecord* result, int32_t count, ValueRecord* args);
void ObjectAssign(ValueRecord* result, int32_t count, ValueRecord* args);

}  // namespace lyra
