// Conversions between the program's values and OLE VARIANTs, shared by the
// COM object commands. Internal to the commands.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include "commands/com_object.h"
#include "runtime/values.h"

namespace lyra::com {

// An argument whose type code carries the array flag passes the address of
// the caller's variable; its value is read, and out values written, there.
inline bool IsByAddress(const ValueRecord& arg) { return IsArrayType(arg.type); }

// The ComObject block or VARIANT an argument refers to (null when none).
ComObjectBlock* ObjectBlockOf(const ValueRecord& arg);
VARIANT* VariantBlockOf(const ValueRecord& arg);

// ComObject values, and library types the runtime marks as COM object types.
bool IsComObjectType(uint32_t type);

// Converts one argument into a VARIANT that owns its contents. declared is
// the parameter's declared type without VT_BYREF (VT_EMPTY when unknown);
// it decides only how an object goes. False: no conversion exists for the
// argument's type.
bool ArgumentToVariant(const ValueRecord& arg, VARTYPE declared, VARIANT* out);

// Stores v as a value of the requested type in out (new blocks for texts,
// objects and variants). False when v cannot become that type.
bool VariantToRecord(const VARIANT& v, uint32_t type, ValueRecord* out);

// Element number (counted from 1, the first dimension varying fastest) of
// the array in v, converted to the requested type. False when the number is
// out of range or the element cannot be converted.
bool ArrayElementToRecord(const VARIANT& v, int64_t number, uint32_t type, ValueRecord* out);

// The empty value of a result type: null text, 0, a new empty ComObject
// block, a new zeroed VARIANT block.
void SetEmptyResult(uint32_t type, ValueRecord* out);

// Writes an out parameter's value into the variable that arg points at: an
// old text is freed, an old object released first. False when the value
// cannot become the variable's type (the variable is then left alone).
bool WriteBackToVariable(const ValueRecord& arg, const VARIANT& value);

// Integer value of a numeric argument (0 for other types).
int64_t NumericArgument(const ValueRecord& arg);

}  // namespace lyra::com
