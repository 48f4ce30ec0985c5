// Conversion and byte-set commands.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "commands/text_commands.h"
#include "commands/value_text.h"
#include "tests/host/command_call.h"

namespace lyra::test {
namespace {

ValueRecord Float(float v) {
    ValueRecord r;
    SetRecordFloat(r, v);
    return r;
}
ValueRecord Double(double v) { return DoubleArg(v); }
ValueRecord Long(int64_t v) {
    ValueRecord r;
    SetRecordLong(r, v);
    return r;
}
ValueRecord Date(double v) {
    ValueRecord r;
    SetRecordDouble(r, v, kTypeDateTime);
    return r;
}

float CallFloat(CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result = Call(command, std::move(args));
    EXPECT_EQ(HighWord(result), 0u) << "a single float fills the low word only";
    return RecordFloat(result);
}

// A heap array {1, n, elements} of a numeric type.
template <typename T>
class NumericArray {
public:
    explicit NumericArray(std::initializer_list<T> values) : block_(MakeArray(static_cast<uint32_t>(values.size()), sizeof(T))) {
        std::memcpy(ArrayElements(block_), values.begin(), values.size() * sizeof(T));
    }
    ~NumericArray() { FreeMemory(block_); }
    NumericArray(const NumericArray&) = delete;
    NumericArray& operator=(const NumericArray&) = delete;
    ValueRecord Arg(uint32_t elementType) const { return PointerArg(block_, elementType | kArrayFlag); }

private:
    void* block_;
};

// ---- ToText ----

TEST(ToText, Integers) {
    EXPECT_EQ(CallText(&ToText, {Int(-5)}), "-5");
    EXPECT_EQ(CallText(&ToText, {Int(INT_MIN)}), "-2147483648");
    EXPECT_EQ(CallText(&ToText, {Int(0)}), "0");
    EXPECT_EQ(CallText(&ToText, {Words(200, 0, kTypeByte)}), "200");
    EXPECT_EQ(CallText(&ToText, {Words(0x1FF, 0, kTypeByte)}), "255") << "only the low byte";
    EXPECT_EQ(CallText(&ToText, {Words(0xFFFF, 0, kTypeShort)}), "-1");
    EXPECT_EQ(CallText(&ToText, {Long(-9000000000000000000LL)}), "-9000000000000000000");
}

TEST(ToText, SingleFloatsRoundHalfUpToSixDigits) {
    EXPECT_EQ(CallText(&ToText, {Float(0.1f)}), "0.1");
    EXPECT_EQ(CallText(&ToText, {Float(1e-5f)}), "1e-005");
    EXPECT_EQ(CallText(&ToText, {Float(123456.5f)}), "123457") << "printf alone would round to even";
    EXPECT_EQ(CallText(&ToText, {Float(123455.5f)}), "123456");
    EXPECT_EQ(CallText(&ToText, {Float(-123456.5f)}), "-123457");
    EXPECT_EQ(CallText(&ToText, {Float(1234.625f)}), "1234.63");
    EXPECT_EQ(CallText(&ToText, {Float(0.0009765625f)}), "0.000976563");
    EXPECT_EQ(CallText(&ToText, {Float(1e13f)}), "1e+013");
    EXPECT_EQ(CallText(&ToText, {Float(999999.5f)}), "1e+006");
    EXPECT_EQ(CallText(&ToText, {Float(999999.0f)}), "999999");
    EXPECT_EQ(CallText(&ToText, {Float(-0.0f)}), "-0");
    EXPECT_EQ(CallText(&ToText, {Float(0.0f)}), "0");
    EXPECT_EQ(CallText(&ToText, {Float(0.0001f)}), "0.0001");
    EXPECT_EQ(CallText(&ToText, {Float(3.4028235e38f)}), "3.40282e+038");
    EXPECT_EQ(CallText(&ToText, {Float(1.4e-45f)}), "1.4013e-045");
    EXPECT_EQ(CallText(&ToText, {Float(std::numeric_limits<float>::infinity())}), "inf");
}

TEST(ToText, DoubleFloatsUseThirteenDigitsAndThreeDigitExponents) {
    EXPECT_EQ(CallText(&ToText, {Double(0.1)}), "0.1");
    EXPECT_EQ(CallText(&ToText, {Double(1e-5)}), "1e-005");
    EXPECT_EQ(CallText(&ToText, {Double(123456.5)}), "123456.5");
    EXPECT_EQ(CallText(&ToText, {Double(1e13)}), "1e+013");
    EXPECT_EQ(CallText(&ToText, {Double(9999999999999.0)}), "9999999999999");
    EXPECT_EQ(CallText(&ToText, {Double(12345678901234.0)}), "1.234567890123e+013");
    EXPECT_EQ(CallText(&ToText, {Double(1e100)}), "1e+100");
    EXPECT_EQ(CallText(&ToText, {Double(-2.5e-300)}), "-2.5e-300");
    EXPECT_EQ(CallText(&ToText, {Double(-0.0)}), "-0");
    EXPECT_EQ(CallText(&ToText, {Double(0.0001)}), "0.0001");
    EXPECT_EQ(CallText(&ToText, {Double(1.0 / 3)}), "0.3333333333333");
    EXPECT_EQ(CallText(&ToText, {Double(-std::numeric_limits<double>::infinity())}), "-inf");
}

TEST(ToText, LogicalAndDateTime) {
    EXPECT_EQ(CallText(&ToText, {Bool(true)}), "真");
    EXPECT_EQ(CallText(&ToText, {Words(7, 0, kTypeBool)}), "真");
    EXPECT_EQ(CallText(&ToText, {Bool(false)}), "假");
    EXPECT_EQ(CallText(&ToText, {Date(2.5)}), "1900年1月1日12时");
    EXPECT_EQ(CallText(&ToText, {Date(0)}), "1899年12月30日");
    EXPECT_EQ(CallText(&ToText, {Date(-1.25)}), "1899年12月29日6时") << "the fraction is the time of that day";
    EXPECT_EQ(CallText(&ToText, {Date(45000.0 + (10 * 3600 + 5 * 60) / 86400.0)}), "2023年3月15日10时5分");
    EXPECT_EQ(CallText(&ToText, {Date(45000.0 + 7.0 / 86400.0)}), "2023年3月15日0时0分7秒");
    EXPECT_EQ(CallText(&ToText, {Date(45000.0 + 86399.6 / 86400.0)}), "2023年3月16日") << "seconds round";
    EXPECT_EQ(CallText(&ToText, {Date(-657434)}), "100年1月1日");
    EXPECT_EQ(CallText(&ToText, {Date(-1e9)}), "100年1月1日");
    EXPECT_EQ(CallText(&ToText, {Date(2958465)}), "9999年12月31日");
    EXPECT_EQ(CallText(&ToText, {Date(2958465.75)}), "9999年12月31日") << "clamped to the last day";
    EXPECT_EQ(CallText(&ToText, {Date(60)}), "1900年2月28日");
    EXPECT_EQ(CallText(&ToText, {Date(61)}), "1900年3月1日");
}

TEST(ToText, TextsByteSetsAndArrays) {
    EXPECT_EQ(CallText(&ToText, {Text("中文")}), "中文");
    EXPECT_EQ(CallText(&ToText, {Text("")}), "");
    ByteSetValue withZero(std::string("ab\0c", 4));
    EXPECT_EQ(CallText(&ToText, {withZero.Arg()}), "ab");
    ByteSetValue noZero("xyz");
    EXPECT_EQ(CallText(&ToText, {noZero.Arg()}), "xyz");
    EXPECT_EQ(CallText(&ToText, {PointerArg(nullptr, kTypeByteSet)}), "");
    NumericArray<int32_t> ints({0x00636261, 0x64});
    EXPECT_EQ(CallText(&ToText, {ints.Arg(kTypeInt)}), "abc");
    NumericArray<uint8_t> bytes({'h', 'i'});
    EXPECT_EQ(CallText(&ToText, {bytes.Arg(kTypeByte)}), "hi");
    EXPECT_EQ(CallText(&ToText, {bytes.Arg(kTypeText)}), "") << "not a numeric array";
    EXPECT_EQ(CallText(&ToText, {Words(1, 0, kTypeRoutine)}), "");
    EXPECT_EQ(CallText(&ToText, {Words(1, 0, kTypeComObject)}), "");
    EXPECT_EQ(CallText(&ToText, {Absent()}), "");
    EXPECT_EQ(CallText(&ToText, {}), "");
}

// Where the exact value is not a tie at the seventh digit, rounding half up
// and the C library's rounding agree: check many floats against printf.
TEST(ToText, SingleFloatsAgreeWithPrintfAwayFromTies) {
    std::mt19937 random(1234);
    int checked = 0;
    for (int i = 0; i < 60000; ++i) {
        uint32_t bits = random();
        float f;
        std::memcpy(&f, &bits, 4);
        if (!std::isfinite(f)) continue;
        char exact[160];
        std::snprintf(exact, sizeof exact, "%.120e", static_cast<double>(f));
        std::string digits = exact;
        size_t e = digits.find('e');
        std::string mantissa = digits.substr(0, e);
        mantissa.erase(std::remove(mantissa.begin(), mantissa.end(), '.'), mantissa.end());
        mantissa.erase(0, mantissa.find_first_not_of('-'));
        bool tie = mantissa.size() > 6 && mantissa[6] == '5' && mantissa.find_first_not_of('0', 7) == std::string::npos;
        if (tie) continue;
        char expected[64];
        int n = std::snprintf(expected, sizeof expected, "%.6g", static_cast<double>(f));
        std::string want(expected, static_cast<size_t>(n));
        size_t exponent = want.find('e');
        if (exponent != std::string::npos && want.size() - exponent == 4) want.insert(exponent + 2, "0");
        char actual[32];
        FormatSingleFloat(f, actual);
        ASSERT_EQ(std::string(actual), want) << "bits " << bits;
        ++checked;
    }
    EXPECT_GT(checked, 30000);
}

// ---- ToInteger ----

TEST(ToInteger, TextsParseLikeAtoiAfterHalfWidthFolding) {
    EXPECT_EQ(CallInt(&ToInteger, {Text("\xA3\xB1\xA3\xB2" "3abc")}), 123);
    EXPECT_EQ(CallInt(&ToInteger, {Text("")}), 0);
    EXPECT_EQ(CallInt(&ToInteger, {Text("abc")}), 0);
    EXPECT_EQ(CallInt(&ToInteger, {Text(" \t\r\n-42x")}), -42);
    EXPECT_EQ(CallInt(&ToInteger, {Text("\xA1\xA1\xA3\xAD" "7")}), -7) << "full-width space and minus";
    EXPECT_EQ(CallInt(&ToInteger, {Text("+8")}), 8);
    EXPECT_EQ(CallInt(&ToInteger, {Text("- 8")}), 0);
    EXPECT_EQ(CallInt(&ToInteger, {Text("2147483648")}), INT_MIN) << "wraps modulo 2^32";
    EXPECT_EQ(CallInt(&ToInteger, {Text("4294967297")}), 1);
    EXPECT_EQ(CallInt(&ToInteger, {Text("99999999999999999999")}), static_cast<int32_t>(1661992959u));
    EXPECT_EQ(CallInt(&ToInteger, {Text("12\xB0")}), 12);
    EXPECT_EQ(CallInt(&ToInteger, {Text("\xB0")}), 0);
    EXPECT_EQ(CallInt(&ToInteger, {Text("\xB0\xB1" "5")}), 0) << "another character stops the digits";
}

TEST(ToInteger, NumbersByType) {
    EXPECT_EQ(CallInt(&ToInteger, {Double(-2.7)}), -2);
    EXPECT_EQ(CallInt(&ToInteger, {Double(2.7)}), 2);
    EXPECT_EQ(CallInt(&ToInteger, {Float(-0.5f)}), 0);
    EXPECT_EQ(CallInt(&ToInteger, {Double(2147483647.9)}), INT_MAX);
    EXPECT_EQ(CallInt(&ToInteger, {Double(-2147483648.9)}), INT_MIN);
    EXPECT_EQ(CallInt(&ToInteger, {Double(1e20)}), INT_MIN) << "out of range gives the integer indefinite";
    EXPECT_EQ(CallInt(&ToInteger, {Double(std::nan(""))}), INT_MIN);
    EXPECT_EQ(CallInt(&ToInteger, {Words(0xFFFFFFFF, 0, kTypeByte)}), 255);
    EXPECT_EQ(CallInt(&ToInteger, {Words(0x18000, 0, kTypeShort)}), -32768);
    EXPECT_EQ(CallInt(&ToInteger, {Long(0x123456789LL)}), 0x23456789);
    EXPECT_EQ(CallInt(&ToInteger, {Words(0xDEAD, 0x1, kTypeRoutine)}), 0xDEAD);
    EXPECT_EQ(CallInt(&ToInteger, {Bool(true)}), 1);
    EXPECT_EQ(CallInt(&ToInteger, {Int(-9)}), -9);
    EXPECT_EQ(CallInt(&ToInteger, {Date(3.5)}), 0) << "not a listed type";
    EXPECT_EQ(CallInt(&ToInteger, {Absent()}), 0);
}

// ---- ToFloat ----

TEST(ToFloat, TextsParseLikeAtof) {
    EXPECT_EQ(CallFloat(&ToFloat, {Text("1.5")}), 1.5f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("  -.25e1x")}), -2.5f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("\xA3\xB3\xA3\xAE\xA3\xB5")}), 3.5f) << "full-width 3.5";
    EXPECT_EQ(CallFloat(&ToFloat, {Text("2e")}), 2.0f) << "an exponent without digits is not read";
    EXPECT_EQ(CallFloat(&ToFloat, {Text("2e+")}), 2.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("1E3")}), 1000.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("0.1")}), 0.1f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("000123.4500")}), 123.45f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("0.000000000000000000000000000000000000000000001")}), 1e-45f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("1e99999999999999")}), std::numeric_limits<float>::infinity());
    EXPECT_EQ(CallFloat(&ToFloat, {Text("-1e39")}), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(CallFloat(&ToFloat, {Text("1e-99999999999")}), 0.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text(".")}), 0.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Text("")}), 0.0f);
    EXPECT_TRUE(std::signbit(CallFloat(&ToFloat, {Text("-0")})));
    std::string manyDigits = "1" + std::string(300, '0') + "e-300";
    EXPECT_EQ(CallFloat(&ToFloat, {Text(manyDigits)}), 1.0f);
}

TEST(ToFloat, NumbersByType) {
    EXPECT_EQ(CallFloat(&ToFloat, {Double(0.1)}), 0.1f);
    EXPECT_EQ(CallFloat(&ToFloat, {Double(1e300)}), std::numeric_limits<float>::infinity());
    EXPECT_EQ(CallFloat(&ToFloat, {Double(3.4028235e38)}), 3.4028235e38f);
    EXPECT_EQ(CallFloat(&ToFloat, {Float(-7.25f)}), -7.25f);
    EXPECT_EQ(CallFloat(&ToFloat, {Int(-3)}), -3.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Long(1LL << 40)}), 1099511627776.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Words(0xFFFF, 0, kTypeShort)}), -1.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Words(0xFFFFFFFF, 0, kTypeByte)}), 255.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Words(0xFFFFFFFF, 0, kTypeRoutine)}), 4294967295.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Words(0xFFFFFFFF, 0, kTypeBool)}), -1.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {Date(3.5)}), 0.0f);
    EXPECT_EQ(CallFloat(&ToFloat, {}), 0.0f);
}

// ---- ToBytes and byte sets ----

TEST(ToBytes, EachTypeGivesItsBytes) {
    EXPECT_EQ(CallBytes(&ToBytes, {Text("中")}), "\xD6\xD0");
    EXPECT_EQ(CallBytes(&ToBytes, {Text("")}), "");
    EXPECT_EQ(CallBytes(&ToBytes, {Int(0x64636261)}), "abcd");
    EXPECT_EQ(CallBytes(&ToBytes, {Words(0x161, 0, kTypeByte)}), "a");
    EXPECT_EQ(CallBytes(&ToBytes, {Words(0x6261, 0, kTypeShort)}), "ab");
    EXPECT_EQ(CallBytes(&ToBytes, {Long(0x6867666564636261LL)}), "abcdefgh");
    EXPECT_EQ(CallBytes(&ToBytes, {Float(1.0f)}), std::string("\0\0\x80\x3F", 4));
    EXPECT_EQ(CallBytes(&ToBytes, {Double(1.0)}), std::string("\0\0\0\0\0\0\xF0\x3F", 8));
    EXPECT_EQ(CallBytes(&ToBytes, {Date(1.0)}), std::string("\0\0\0\0\0\0\xF0\x3F", 8));
    EXPECT_EQ(CallBytes(&ToBytes, {Bool(true)}), std::string("\1\0\0\0", 4));
    EXPECT_EQ(CallBytes(&ToBytes, {Words(1, 0, kTypeRoutine)}).size(), sizeof(void*));
    ByteSetValue set("xyz");
    EXPECT_EQ(CallBytes(&ToBytes, {set.Arg()}), "xyz");
    NumericArray<int16_t> shorts({0x6261, 0x0063});
    EXPECT_EQ(CallBytes(&ToBytes, {shorts.Arg(kTypeShort)}), std::string("abc\0", 4));
    EXPECT_EQ(CallBytes(&ToBytes, {shorts.Arg(kTypeText)}), "");
    EXPECT_EQ(CallBytes(&ToBytes, {Words(1, 0, kTypeVariant)}), "");
    EXPECT_EQ(CallBytes(&ToBytes, {Absent()}), "");
}

TEST(ByteSets, LengthBlankAndLeft) {
    ByteSetValue two("\xD6\xD0");
    EXPECT_EQ(CallInt(&BytesLength, {two.Arg()}), 2);
    EXPECT_EQ(CallInt(&BytesLength, {PointerArg(nullptr, kTypeByteSet)}), 0);
    EXPECT_EQ(CallInt(&BytesLength, {Text("abc")}), 0) << "a text is not a byte set";
    EXPECT_EQ(CallBytes(&BytesLeft, {two.Arg(), Int(5)}), "\xD6\xD0");
    EXPECT_EQ(CallBytes(&BytesLeft, {two.Arg(), Int(1)}), "\xD6");
    EXPECT_EQ(CallBytes(&BytesLeft, {two.Arg(), Int(-1)}), "");
    EXPECT_EQ(CallBytes(&BytesLeft, {two.Arg(), Int(0)}), "");
    EXPECT_EQ(CallBytes(&BytesLeft, {PointerArg(nullptr, kTypeByteSet), Int(3)}), "");
    EXPECT_EQ(CallBytes(&BlankBytes, {Int(3)}), std::string(3, '\0'));
    EXPECT_EQ(CallBytes(&BlankBytes, {Int(0)}), "");
    EXPECT_EQ(CallBytes(&BlankBytes, {Int(INT_MIN)}), "");
}

}  // namespace
}  // namespace lyra::test
