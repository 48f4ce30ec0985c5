// Conversions between values, texts and byte sets, and the byte-set commands.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands/command_arguments.h"
#include "commands/text_commands.h"
#include "commands/value_text.h"
#include "runtime/memory.h"

namespace lyra {

namespace {

// The bytes of the elements of a numeric array; empty for other arrays.
ByteSpan NumericArrayBytes(const ValueRecord& value) {
    size_t elementSize = NumericElementSize(ElementType(value.type));
    const void* array = RecordPointer(value);
    if (elementSize == 0 || array == nullptr) return {nullptr, 0};
    return {ArrayElements(array), static_cast<size_t>(ArrayElementCount(array) * elementSize)};
}

// Reads a text one character at a time with the half-width folding: full-width
// ASCII (0xA3 0xA1..0xFE) and a few symbols become their one-byte forms;
// every other two-byte character reads as its first byte, which is no digit,
// sign, point or space. A first byte directly before the terminator ends the text.
class HalfWidthReader {
public:
    explicit HalfWidthReader(const char* text) : text_(reinterpret_cast<const uint8_t*>(text)) {}

    uint8_t Peek() const {
        uint8_t b = text_[0];
        if (b < 0x80) return b;
        uint8_t second = text_[1];
        if (second == 0) return 0;
        if (b == 0xA3 && second >= 0xA1 && second != 0xFF) return static_cast<uint8_t>(second - 0x80);
        if (b == 0xA1) {
            if (second == 0xA1) return ' ';
            if (second == 0xAB) return '~';
            if (second == 0xEE || second == 0xEF) return '*';
        }
        return b;
    }
    void Advance() {
        if (text_[0] == 0) return;
        text_ += text_[0] >= 0x80 && text_[1] != 0 ? 2 : 1;
    }

private:
    const uint8_t* text_;
};

bool IsCSpace(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// atoi over the folded text: overflow wraps modulo 2^32.
int32_t ParseInteger(const char* text) {
    HalfWidthReader reader(text);
    while (IsCSpace(reader.Peek())) reader.Advance();
    bool negative = false;
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        negative = reader.Peek() == '-';
        reader.Advance();
    }
    uint32_t value = 0;
    for (uint8_t c; IsDigit(c = reader.Peek()); reader.Advance()) value = value * 10 + (c - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// atof over the folded text. The digits go to strtod in a canonical form,
// 0.DIGITSe<power>, keeping the first 40 significant digits.
double ParseDouble(const char* text) {
    constexpr int kKeptDigits = 40;
    constexpr long kPowerLimit = 100000;
    HalfWidthReader reader(text);
    while (IsCSpace(reader.Peek())) reader.Advance();
    bool negative = false;
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        negative = reader.Peek() == '-';
        reader.Advance();
    }
    char digits[kKeptDigits + 1];
    int kept = 0;
    bool anyDigit = false;
    long power = 0;  // the value is 0.DIGITS * 10^power
    for (uint8_t c; IsDigit(c = reader.Peek()); reader.Advance()) {
        anyDigit = true;
        if (kept == 0 && c == '0') continue;
        if (kept < kKeptDigits) digits[kept++] = static_cast<char>(c);
        if (power < kPowerLimit) ++power;
    }
    if (reader.Peek() == '.') {
        reader.Advance();
        for (uint8_t c; IsDigit(c = reader.Peek()); reader.Advance()) {
            anyDigit = true;
            if (kept == 0 && c == '0') {
                if (power > -kPowerLimit) --power;
                continue;
            }
            if (kept < kKeptDigits) digits[kept++] = static_cast<char>(c);
        }
    }
    if (!anyDigit) return 0;
    if (reader.Peek() == 'e' || reader.Peek() == 'E') {
        HalfWidthReader exponentReader = reader;
        exponentReader.Advance();
        bool exponentNegative = false;
        if (exponentReader.Peek() == '+' || exponentReader.Peek() == '-') {
            exponentNegative = exponentReader.Peek() == '-';
            exponentReader.Advance();
        }
        if (IsDigit(exponentReader.Peek())) {
            long exponent = 0;
            for (uint8_t c; IsDigit(c = exponentReader.Peek()); exponentReader.Advance()) {
                if (exponent < kPowerLimit) exponent = exponent * 10 + (c - '0');
            }
            power += exponentNegative ? -exponent : exponent;
        }
    }
    double value = 0;
    if (kept > 0) {
        char canonical[kKeptDigits + 32];
        digits[kept] = 0;
        std::snprintf(canonical, sizeof canonical, "0.%se%ld", digits, power);
        value = std::strtod(canonical, nullptr);
    }
    return negative ? -value : value;
}

// Truncation toward zero; NaN and values beyond the 32-bit range give the
// processor's "integer indefinite" 0x80000000, as a truncating conversion does there.
int32_t TruncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Round to nearest single; magnitudes from FLT_MAX plus half a unit on become infinite.
float RoundToSingle(double value) {
    constexpr double kOverflowThreshold = 3.4028235677973366e38;  // 0x1.ffffffp127
    if (std::fabs(value) >= kOverflowThreshold) return value < 0 ? -HUGE_VALF : HUGE_VALF;
    return static_cast<float>(value);
}

}  // namespace

void ToText(ValueRecord* result, int32_t count, ValueRecord* args) {
    const ValueRecord* value = ArgumentAt(count, args, 0);
    if (value == nullptr) return;
    char* text = nullptr;
    if (value->type == kTypeText) {
        text = MakeText(TextArgument(count, args, 0));
    } else if (value->type == kTypeByteSet || IsArrayType(value->type)) {
        ByteSpan bytes = value->type == kTypeByteSet ? ByteSetArgument(count, args, 0) : NumericArrayBytes(*value);
        if (bytes.size != 0) {
            const char* chars = reinterpret_cast<const char*>(bytes.data);
            const void* zero = std::memchr(chars, 0, bytes.size);
            text = MakeText(chars, zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - chars)
                                                   : bytes.size);
        }
    } else {
        text = ScalarValueText(*value);
    }
    SetPointerResult(result, text);
}

void ToInteger(ValueRecord* result, int32_t count, ValueRecord* args) {
    const ValueRecord* value = ArgumentAt(count, args, 0);
    if (value == nullptr) return;
    int32_t n = 0;
    switch (value->type) {
        case kTypeBool:
        case kTypeInt:
        case kTypeLong:
        case kTypeRoutine: n = RecordInt(*value); break;
        case kTypeText: n = ParseInteger(TextArgument(count, args, 0)); break;
        case kTypeByte: n = static_cast<int32_t>(LowWord(*value) & 0xFF); break;
        case kTypeShort: n = static_cast<int16_t>(LowWord(*value)); break;
        case kTypeFloat: n = TruncateToInt32(RecordFloat(*value)); break;
        case kTypeDouble: n = TruncateToInt32(RecordDouble(*value)); break;
        default: break;
    }
    SetIntResult(result, n);
}

void ToFloat(ValueRecord* result, int32_t count, ValueRecord* args) {
    const ValueRecord* value = ArgumentAt(count, args, 0);
    if (value == nullptr) return;
    float f = 0;
    switch (value->type) {
        case kTypeBool:
        case kTypeInt: f = static_cast<float>(RecordInt(*value)); break;
        case kTypeText: f = RoundToSingle(ParseDouble(TextArgument(count, args, 0))); break;
        case kTypeRoutine: f = static_cast<float>(LowWord(*value)); break;
        case kTypeByte: f = static_cast<float>(LowWord(*value) & 0xFF); break;
        case kTypeShort: f = static_cast<float>(static_cast<int16_t>(LowWord(*value))); break;
        case kTypeLong: f = static_cast<float>(RecordLong(*value)); break;
        case kTypeFloat: f = RecordFloat(*value); break;
        case kTypeDouble: f = RoundToSingle(RecordDouble(*value)); break;
        default: break;
    }
    SetRecordFloat(*result, f, kTypeNone);
}

void ToBytes(ValueRecord* result, int32_t count, ValueRecord* args) {
    const ValueRecord* value = ArgumentAt(count, args, 0);
    if (value == nullptr) return;
    ByteSpan bytes{nullptr, 0};
    if (IsArrayType(value->type)) {
        bytes = NumericArrayBytes(*value);
    } else {
        switch (value->type) {
            case kTypeText: {
                const char* text = TextArgument(count, args, 0);
                bytes = {reinterpret_cast<const uint8_t*>(text), std::strlen(text)};
                break;
            }
            case kTypeByteSet: bytes = ByteSetArgument(count, args, 0); break;
            case kTypeBool: bytes = {value->datum, 4}; break;
            case kTypeRoutine: bytes = {value->datum, sizeof(void*)}; break;
            case kTypeDateTime: bytes = {value->datum, 8}; break;
            default: bytes = {value->datum, NumericElementSize(value->type)}; break;
        }
    }
    SetPointerResult(result, MakeByteSet(bytes.data, bytes.size));
}

void BytesLength(ValueRecord* result, int32_t count, ValueRecord* args) {
    SetIntResult(result, static_cast<int32_t>(ByteSetArgument(count, args, 0).size));
}

void BlankBytes(ValueRecord* result, int32_t count, ValueRecord* args) {
    int32_t n = IntArgument(count, args, 0, 0);
    if (n <= 0) return;
    SetPointerResult(result, MakeByteSet(nullptr, static_cast<size_t>(n)));
}

void BytesLeft(ValueRecord* result, int32_t count, ValueRecord* args) {
    ByteSpan bytes = ByteSetArgument(count, args, 0);
    int32_t n = IntArgument(count, args, 1, 0);
    if (n <= 0) return;
    size_t take = static_cast<size_t>(n) < bytes.size ? static_cast<size_t>(n) : bytes.size;
    SetPointerResult(result, MakeByteSet(bytes.data, take));
}

}  // namespace lyra
