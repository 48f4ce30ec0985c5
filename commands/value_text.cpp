#include "commands/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lyra {

namespace {

// The exact decimal digits of a finite, non-zero float: digits without
// leading zeros, and the power of ten of the last one. A float is m * 2^q
// with m < 2^24, so it is m * 2^q or (m * 5^-q) * 10^q: at most 112 digits.
struct ExactDecimal {
    char digits[128];
    int count;
    int lastDigitPower;
};

void ExactDigits(float magnitude, ExactDecimal& out) {
    constexpr uint32_t kLimbBase = 1000000000;
    int exponent = 0;
    float mantissa = std::frexp(magnitude, &exponent);
    uint32_t limbs[16] = {static_cast<uint32_t>(std::ldexp(mantissa, 24))};
    int limbCount = 1;
    int q = exponent - 24;
    uint32_t factor = q >= 0 ? 2 : 5;
    for (int times = q >= 0 ? q : -q; times > 0; --times) {
        uint64_t carry = 0;
        for (int i = 0; i < limbCount; ++i) {
            uint64_t v = static_cast<uint64_t>(limbs[i]) * factor + carry;
            limbs[i] = static_cast<uint32_t>(v % kLimbBase);
            carry = v / kLimbBase;
        }
        if (carry != 0) limbs[limbCount++] = static_cast<uint32_t>(carry);
    }
    out.lastDigitPower = q >= 0 ? 0 : q;
    int n = std::snprintf(out.digits, sizeof out.digits, "%u", static_cast<unsigned>(limbs[limbCount - 1]));
    for (int i = limbCount - 2; i >= 0; --i) {
        n += std::snprintf(out.digits + n, sizeof out.digits - static_cast<size_t>(n), "%09u",
                           static_cast<unsigned>(limbs[i]));
    }
    out.count = n;
}

// Appends e, the sign and at least three digits.
size_t WriteExponent(char* out, int exponent) {
    size_t n = 0;
    out[n++] = 'e';
    out[n++] = exponent < 0 ? '-' : '+';
    unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    char digits[8];
    int count = std::snprintf(digits, sizeof digits, "%03u", magnitude);
    std::memcpy(out + n, digits, static_cast<size_t>(count));
    return n + static_cast<size_t>(count);
}

size_t WriteNonFinite(double value, char* out) {
    const char* text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    std::strcpy(out, text);
    return std::strlen(text);
}

// Howard Hinnant's days-to-civil conversion, proleptic Gregorian calendar.
void CivilFromDays(int64_t daysSince1970, int64_t& year, int& month, int& day) {
    int64_t z = daysSince1970 + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

size_t FormatSingleFloat(float value, char* out) {
    if (!std::isfinite(value)) return WriteNonFinite(value, out);
    size_t n = 0;
    if (std::signbit(value)) out[n++] = '-';
    if (value == 0) {
        out[n++] = '0';
        out[n] = 0;
        return n;
    }

    ExactDecimal exact;
    ExactDigits(std::fabs(value), exact);
    int exponent = exact.count - 1 + exact.lastDigitPower;
    char six[6];
    for (int i = 0; i < 6; ++i) six[i] = i < exact.count ? exact.digits[i] : '0';
    if (exact.count > 6 && exact.digits[6] >= '5') {
        int i = 5;
        while (i >= 0 && six[i] == '9') six[i--] = '0';
        if (i >= 0) {
            ++six[i];
        } else {
            six[0] = '1';
            ++exponent;
        }
    }

    // "%.6g": exponent form below 1e-4 and from 1e6 on; trailing zeros dropped.
    int significant = 6;
    while (significant > 1 && six[significant - 1] == '0') --significant;
    if (exponent < -4 || exponent >= 6) {
        out[n++] = six[0];
        if (significant > 1) {
            out[n++] = '.';
            for (int i = 1; i < significant; ++i) out[n++] = six[i];
        }
        n += WriteExponent(out + n, exponent);
    } else if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i) out[n++] = six[i];
        if (significant > exponent + 1) {
            out[n++] = '.';
            for (int i = exponent + 1; i < significant; ++i) out[n++] = six[i];
        }
    } else {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = 0; i < -exponent - 1; ++i) out[n++] = '0';
        for (int i = 0; i < significant; ++i) out[n++] = six[i];
    }
    out[n] = 0;
    return n;
}

size_t FormatDoubleFloat(double value, char* out) {
    if (!std::isfinite(value)) return WriteNonFinite(value, out);
    char printed[32];
    int n = std::snprintf(printed, sizeof printed, "%.13g", value);
    const char* e = std::strchr(printed, 'e');
    if (e == nullptr) {
        std::memcpy(out, printed, static_cast<size_t>(n) + 1);
        return static_cast<size_t>(n);
    }
    size_t mantissaLength = static_cast<size_t>(e - printed);
    std::memcpy(out, printed, mantissaLength);
    int exponent = 0;
    std::from_chars(e + 2, printed + n, exponent);
    size_t total = mantissaLength + WriteExponent(out + mantissaLength, e[1] == '-' ? -exponent : exponent);
    out[total] = 0;
    return total;
}

size_t FormatDateTime(double oleDate, char* out) {
    constexpr double kFirstDay = -657434;   // 100-01-01
    constexpr double kLastDay = 2958465;    // 9999-12-31
    constexpr int64_t kDaysFrom1899To1970 = 25569;
    double value = std::isnan(oleDate) ? 0 : oleDate < kFirstDay ? kFirstDay : oleDate > kLastDay ? kLastDay : oleDate;
    // The whole days count from 1899-12-30; the fraction is the time of
    // that day, also for dates before it (-1.25 is 1899-12-29 06:00).
    double wholeDays = std::trunc(value);
    int64_t days = static_cast<int64_t>(wholeDays);
    int64_t seconds = std::llround(std::fabs(value - wholeDays) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    int64_t year = 0;
    int month = 0, day = 0;
    CivilFromDays(days - kDaysFrom1899To1970, year, month, day);
    int hour = static_cast<int>(seconds / 3600);
    int minute = static_cast<int>(seconds / 60 % 60);
    int second = static_cast<int>(seconds % 60);

    int n = std::snprintf(out, 64, "%d年%d月%d日", static_cast<int>(year), month, day);
    if (second != 0) {
        n += std::snprintf(out + n, 64 - static_cast<size_t>(n), "%d时%d分%d秒", hour, minute, second);
    } else if (minute != 0) {
        n += std::snprintf(out + n, 64 - static_cast<size_t>(n), "%d时%d分", hour, minute);
    } else if (hour != 0) {
        n += std::snprintf(out + n, 64 - static_cast<size_t>(n), "%d时", hour);
    }
    return static_cast<size_t>(n);
}

char* ScalarValueText(const ValueRecord& value) {
    char text[64];
    size_t n = 0;
    switch (value.type) {
        case kTypeByte:
            n = static_cast<size_t>(std::to_chars(text, text + sizeof text, LowWord(value) & 0xFF).ptr - text);
            break;
        case kTypeShort:
            n = static_cast<size_t>(
                std::to_chars(text, text + sizeof text, static_cast<int16_t>(LowWord(value))).ptr - text);
            break;
        case kTypeInt:
            n = static_cast<size_t>(std::to_chars(text, text + sizeof text, RecordInt(value)).ptr - text);
            break;
        case kTypeLong:
            n = static_cast<size_t>(std::to_chars(text, text + sizeof text, RecordLong(value)).ptr - text);
            break;
        case kTypeFloat: n = FormatSingleFloat(RecordFloat(value), text); break;
        case kTypeDouble: n = FormatDoubleFloat(RecordDouble(value), text); break;
        case kTypeBool: return MakeText(LowWord(value) != 0 ? "真" : "假");
        case kTypeDateTime: n = FormatDateTime(RecordDouble(value), text); break;
        default: return nullptr;
    }
    return MakeText(text, n);
}

}  // namespace lyra
