// The text form of values, shared by ToText and the message box.
#pragma once

#include <cstddef>

#include "runtime/values.h"

namespace lyra {

// A new text for a numeric, logical or date-time value, exactly as ToText
// writes it; null for any other type.
char* ScalarValueText(const ValueRecord& value);

// Writes a single float the way ToText does: rounded half up to six
// significant digits, then in the "%.6g" form with a three-digit exponent.
// out must hold 32 bytes; answers the length.
size_t FormatSingleFloat(float value, char* out);
// "%.13g" with a three-digit exponent. out must hold 32 bytes.
size_t FormatDoubleFloat(double value, char* out);
// The date-time form ("%d年%d月%d日" and the time parts), clamped to the
// years 100..9999. out must hold 64 bytes.
size_t FormatDateTime(double oleDate, char* out);

}  // namespace lyra
