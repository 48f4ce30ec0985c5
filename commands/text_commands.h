// The core library's text and conversion commands. Platform-free: they touch
// nothing but their argument records and the memory services.
//
// Every command has the command signature. Texts are GBK bytes; positions
// count bytes from 1. Results are new blocks owned by the caller (null for
// an empty text or byte set); the result's type word stays 0. Out-of-range
// positions and counts, absent arguments and unexpected argument types give
// the neutral result (empty text, -1 or 0, empty byte set).
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace lyra {

// ---- Text ----
void LengthOfText(ValueRecord* result, int32_t count, ValueRecord* args);
void TextLeft(ValueRecord* result, int32_t count, ValueRecord* args);
void TextRight(ValueRecord* result, int32_t count, ValueRecord* args);
void TextMid(ValueRecord* result, int32_t count, ValueRecord* args);
void FindText(ValueRecord* result, int32_t count, ValueRecord* args);
void FindTextReverse(ValueRecord* result, int32_t count, ValueRecord* args);
void ReplaceSubtext(ValueRecord* result, int32_t count, ValueRecord* args);
void SplitText(ValueRecord* result, int32_t count, ValueRecord* args);
void TrimSpaces(ValueRecord* result, int32_t count, ValueRecord* args);
void RemoveAllSpaces(ValueRecord* result, int32_t count, ValueRecord* args);
void ToLowerCase(ValueRecord* result, int32_t count, ValueRecord* args);
void BlankText(ValueRecord* result, int32_t count, ValueRecord* args);
void CharFromCode(ValueRecord* result, int32_t count, ValueRecord* args);
void BitOr(ValueRecord* result, int32_t count, ValueRecord* args);

// ---- Conversions ----
void ToText(ValueRecord* result, int32_t count, ValueRecord* args);
void ToInteger(ValueRecord* result, int32_t count, ValueRecord* args);
void ToFloat(ValueRecord* result, int32_t count, ValueRecord* args);
void ToBytes(ValueRecord* result, int32_t count, ValueRecord* args);

// ---- Byte sets ----
void BytesLength(ValueRecord* result, int32_t count, ValueRecord* args);
void BlankBytes(ValueRecord* result, int32_t count, ValueRecord* args);
void BytesLeft(ValueRecord* result, int32_t count, ValueRecord* args);

}  // namespace lyra
