// Text commands: cutting, searching, replacing, splitting, trimming.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "commands/text_commands.h"
#include "tests/host/command_call.h"

namespace lyra::test {
namespace {

// A text in a heap block of exactly its length + 1, so that a read past the
// terminator is caught by the address sanitizer.
class ExactText {
public:
    explicit ExactText(const std::string& text) : block_(MakeText(text.data(), text.size())) {}
    ~ExactText() { FreeMemory(block_); }
    ExactText(const ExactText&) = delete;
    ExactText& operator=(const ExactText&) = delete;
    ValueRecord Arg() const { return Text(block_ != nullptr ? block_ : ""); }

private:
    char* block_;
};

std::vector<std::string> CallSplit(std::vector<ValueRecord> args, std::vector<bool>* nullElements = nullptr) {
    ValueRecord result = Call(&SplitText, std::move(args));
    void* array = RecordPointer(result);
    EXPECT_NE(array, nullptr) << "an array result is always a block";
    std::vector<std::string> pieces;
    if (array == nullptr) return pieces;
    EXPECT_EQ(ArrayDimensionCount(array), 1);
    for (uint64_t i = 0; i < ArrayElementCount(array); ++i) {
        const char* element = static_cast<const char*>(ArrayPointerElement(array, i));
        if (element != nullptr) {
            EXPECT_NE(element[0], 0) << "an empty element is null";
        }
        if (nullElements != nullptr) nullElements->push_back(element == nullptr);
        pieces.push_back(element != nullptr ? element : "");
    }
    FreeArray(kTypeText | kArrayFlag, array);
    return pieces;
}

using Pieces = std::vector<std::string>;

// ---- Cutting ----

TEST(TextCutting, LengthCountsBytes) {
    EXPECT_EQ(CallInt(&LengthOfText, {Text("abc")}), 3);
    EXPECT_EQ(CallInt(&LengthOfText, {Text("中文")}), 4);
    EXPECT_EQ(CallInt(&LengthOfText, {Text("")}), 0);
    EXPECT_EQ(CallInt(&LengthOfText, {Absent()}), 0);
    EXPECT_EQ(CallInt(&LengthOfText, {Int(12345)}), 0) << "a number is not read as a text pointer";
}

TEST(TextCutting, LeftAndRightClampTheirCount) {
    EXPECT_EQ(CallText(&TextLeft, {Text("abcdef"), Int(2)}), "ab");
    EXPECT_EQ(CallText(&TextLeft, {Text("abc"), Int(INT_MAX)}), "abc");
    EXPECT_EQ(CallText(&TextLeft, {Text("abc"), Int(0)}), "");
    EXPECT_EQ(CallText(&TextLeft, {Text("abc"), Int(INT_MIN)}), "");
    EXPECT_EQ(CallText(&TextLeft, {Text("abc"), Absent()}), "");
    EXPECT_EQ(CallText(&TextRight, {Text("abcdef"), Int(2)}), "ef");
    EXPECT_EQ(CallText(&TextRight, {Text("abc"), Int(INT_MAX)}), "abc");
    EXPECT_EQ(CallText(&TextRight, {Text("abc"), Int(-1)}), "");
    EXPECT_EQ(CallText(&TextRight, {Text(""), Int(5)}), "");
}

TEST(TextCutting, CuttingCountsBytesBlindly) {
    EXPECT_EQ(CallText(&TextLeft, {Text("中文"), Int(1)}), "\xD6");
    EXPECT_EQ(CallText(&TextRight, {Text("中文"), Int(3)}), "\xD0\xCE\xC4");
    ExactText endsInLead("ab\xB0");
    EXPECT_EQ(CallText(&TextLeft, {endsInLead.Arg(), Int(100)}), "ab\xB0");
    EXPECT_EQ(CallText(&TextMid, {endsInLead.Arg(), Int(3), Int(100)}), "\xB0");
}

TEST(TextCutting, MidTakesWhatRemainsFromAPositionInside) {
    EXPECT_EQ(CallText(&TextMid, {Text("abcdef"), Int(5), Int(10)}), "ef");
    EXPECT_EQ(CallText(&TextMid, {Text("abcdef"), Int(2), Int(3)}), "bcd");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(4), Int(1)}), "");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(0), Int(2)}), "");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(INT_MIN), Int(2)}), "");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(INT_MAX), Int(INT_MAX)}), "");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(1), Int(INT_MAX)}), "abc");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(2), Int(0)}), "");
    EXPECT_EQ(CallText(&TextMid, {Text("abc"), Int(2), Absent()}), "");
}

// ---- Searching ----

TEST(TextSearch, EmptySoughtTextIsFoundAtOneWhereverTheRangeIsNotEmpty) {
    EXPECT_EQ(CallInt(&FindText, {Text("abc"), Text("")}), 1);
    EXPECT_EQ(CallInt(&FindText, {Text("abc"), Text(""), Int(3)}), 1);
    EXPECT_EQ(CallInt(&FindText, {Text("abc"), Text(""), Int(4)}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text(""), Text("")}), -1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abc"), Text("")}), 1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abc"), Text(""), Int(1)}), -1);
}

TEST(TextSearch, IgnoreCaseOnlyWhenItsDataWordIsOne) {
    EXPECT_EQ(CallInt(&FindText, {Text("ABC"), Text("b"), Absent(), Bool(true)}), 2);
    EXPECT_EQ(CallInt(&FindText, {Text("ABC"), Text("b"), Absent(), Bool(false)}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text("ABC"), Text("b")}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text("ABC"), Text("b"), Absent(), Int(2)}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text("xAbC"), Text("aBc"), Absent(), Int(1)}), 2);
}

TEST(TextSearch, PositionsCountFromTheWholeText) {
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("bc"), Int(3)}), 5);
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("bc"), Int(2)}), 2);
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("bc"), Int(0)}), 2);
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("bc"), Int(INT_MIN)}), 2);
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("bc"), Int(INT_MAX)}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("bc"), Int(6)}), -1);
}

TEST(TextSearch, SecondByteOfACharacterNeverStartsAMatch) {
    EXPECT_EQ(CallInt(&FindText, {Text("\xD6\xD0" "a"), Text("\xD0")}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text("\xD6\xD0\xD0" "a"), Text("\xD0")}), 3);
    // Trail bytes below 0x80 are not letters of their own either.
    EXPECT_EQ(CallInt(&FindText, {Text("\x81" "a" "a"), Text("a")}), 3);
    // A start position inside a character starts the character-wise scan there.
    EXPECT_EQ(CallInt(&FindText, {Text("\xD6\xD0" "a"), Text("\xD0"), Int(2)}), 2);
}

TEST(TextSearch, SoughtTextLongerThanTheTextIsNotFound) {
    EXPECT_EQ(CallInt(&FindText, {Text("ab"), Text("abc")}), -1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("ab"), Text("abc")}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text(""), Text("a")}), -1);
}

TEST(TextSearch, TextEndingInAFirstByte) {
    ExactText text("ab\xB0");
    EXPECT_EQ(CallInt(&FindText, {text.Arg(), Text("\xB0")}), 3);
    EXPECT_EQ(CallInt(&FindText, {text.Arg(), Text("\xB0\xA1")}), -1);
    EXPECT_EQ(CallInt(&FindTextReverse, {text.Arg(), Text("b")}), 2);
}

TEST(TextSearch, ReverseFindsTheLastOccurrenceEndingBeforeTheStart) {
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc")}), 4);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc"), Int(6)}), 1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc"), Int(7)}), 4);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc"), Int(INT_MAX)}), 4);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc"), Int(3)}), -1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc"), Int(4)}), 1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("abc"), Int(-5)}), -1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("aaaa"), Text("aa")}), 3) << "overlapping occurrences count";
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("ABCabc"), Text("abc"), Absent(), Bool(true)}), 4);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("ABCxyz"), Text("abc"), Absent(), Bool(true)}), 1);
}

// ---- Replacing ----

TEST(TextReplace, FoldsCaseUnlessTheSixthDataWordIsSet) {
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("aXbx"), Text("x"), Text("-")}), "a-b-");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("aXbx"), Text("x"), Text("-"), Absent(), Absent(), Absent()}), "a-b-");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("aXbx"), Text("x"), Text("-"), Absent(), Absent(), Bool(true)}), "aXb-");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("aXbx"), Text("x"), Text("-"), Absent(), Absent(), Int(7)}), "aXb-");
}

TEST(TextReplace, CountAndStartLimitTheReplacements) {
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Absent(), Int(1)}), "y1x2x3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Int(2), Int(1)}), "x1y2x3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Int(2)}), "x1y2y3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Int(-9)}), "y1y2y3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Int(7)}), "x1x2x3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Int(INT_MAX)}), "x1x2x3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Absent(), Int(0)}), "x1x2x3");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("x1x2x3"), Text("x"), Text("y"), Absent(), Int(-3)}), "y1y2y3");
}

TEST(TextReplace, EmptyInputsAndResults) {
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("abc"), Text("")}), "abc");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text(""), Text("a")}), "");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("aaa"), Text("a")}), "") << "absent replacement is empty";
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("ab"), Text("abc"), Text("x")}), "ab");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("中文中"), Text("中"), Text("A")}), "A文A");
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("\xD6\xD0" "a"), Text("\xD0"), Text("!")}), "\xD6\xD0" "a");
    ExactText endsInLead("xa\xB0");
    EXPECT_EQ(CallText(&ReplaceSubtext, {endsInLead.Arg(), Text("a"), Text("bb")}), "xbb\xB0");
}

// ---- Splitting ----

TEST(TextSplit, CommaPiecesAndEmptyElements) {
    EXPECT_EQ(CallSplit({Text("a,b,")}), (Pieces{"a", "b"}));
    std::vector<bool> nulls;
    EXPECT_EQ(CallSplit({Text("a,,b"), Text(",")}, &nulls), (Pieces{"a", "", "b"}));
    EXPECT_EQ(nulls, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(CallSplit({Text("a,b,c"), Text(","), Int(2)}), (Pieces{"a", "b"}));
    EXPECT_EQ(CallSplit({Text("a,b"), Text(","), Int(2)}), (Pieces{"a", "b"}));
    EXPECT_EQ(CallSplit({Text(",a")}), (Pieces{"", "a"}));
    EXPECT_EQ(CallSplit({Text(",")}), (Pieces{""}));
}

TEST(TextSplit, DegenerateArguments) {
    EXPECT_EQ(CallSplit({Text("")}), Pieces{});
    EXPECT_EQ(CallSplit({Text("a,b"), Text(","), Int(0)}), Pieces{});
    EXPECT_EQ(CallSplit({Text("a,b"), Text(","), Int(-4)}), Pieces{});
    EXPECT_EQ(CallSplit({Text("a,b"), Text("")}), (Pieces{"a,b"}));
    EXPECT_EQ(CallSplit({Text("a,b"), Text("a,b,c")}), (Pieces{"a,b"}));
    EXPECT_EQ(CallSplit({Text("a,b"), Text("a,b")}), (Pieces{""}));
    EXPECT_EQ(CallSplit({Text("aXbxc"), Text("x")}), (Pieces{"aXb", "c"})) << "delimiters compare exactly";
    EXPECT_EQ(CallSplit({Text("ab\r\ncd\r\n"), Text("\r\n")}), (Pieces{"ab", "cd"}));
}

TEST(TextSplit, DelimiterInsideACharacterDoesNotSplit) {
    EXPECT_EQ(CallSplit({Text("\xB0\x2C" "a,b")}), (Pieces{"\xB0\x2C" "a", "b"}));
    EXPECT_EQ(CallSplit({Text("中,文"), Text(",")}), (Pieces{"中", "文"}));
    ExactText endsInLead("a,\xB0");
    EXPECT_EQ(CallSplit({endsInLead.Arg()}), (Pieces{"a", "\xB0"}));
}

// ---- Trimming and case ----

TEST(TextTrim, RemovesMixedHalfAndFullWidthSpaceAtBothEnds) {
    EXPECT_EQ(CallText(&TrimSpaces, {Text(" \xA1\xA1 a b\xA1\xA1 \xA1\xA1")}), "a b");
    EXPECT_EQ(CallText(&TrimSpaces, {Text("\tab \t")}), "\tab \t") << "tabs are not spaces";
    EXPECT_EQ(CallText(&TrimSpaces, {Text("  \xA1\xA1 ")}), "");
    EXPECT_EQ(CallText(&TrimSpaces, {Text("")}), "");
    EXPECT_EQ(CallText(&TrimSpaces, {Text("\xB0\xA1\xA1\xA1")}), "\xB0\xA1")
        << "a full-width space is found on character boundaries only";
}

TEST(TextTrim, FirstByteAtTheEndIsCutOffWithTheSpacesBeforeIt) {
    ExactText a("ab \xA1");
    EXPECT_EQ(CallText(&TrimSpaces, {a.Arg()}), "ab");
    ExactText b("\xA1");
    EXPECT_EQ(CallText(&TrimSpaces, {b.Arg()}), "");
    EXPECT_EQ(CallText(&RemoveAllSpaces, {a.Arg()}), "ab");
}

TEST(TextTrim, RemoveAllSpacesKeepsEverythingElse) {
    EXPECT_EQ(CallText(&RemoveAllSpaces, {Text(" a\xA1\xA1中 b\t")}), "a中b\t");
    EXPECT_EQ(CallText(&RemoveAllSpaces, {Text(" \xA1\xA1 ")}), "");
    EXPECT_EQ(CallText(&RemoveAllSpaces, {Text("\xB0\xA1\xA1\xA1")}), "\xB0\xA1");
}

TEST(TextCase, LowerCaseLeavesSecondBytesAlone) {
    EXPECT_EQ(CallText(&ToLowerCase, {Text("AbC-Z@[")}), "abc-z@[");
    EXPECT_EQ(CallText(&ToLowerCase, {Text("\x81" "A" "B")}), "\x81" "Ab");
    EXPECT_EQ(CallText(&ToLowerCase, {Text("")}), "");
    ExactText endsInLead("A\xB0");
    EXPECT_EQ(CallText(&ToLowerCase, {endsInLead.Arg()}), "a\xB0");
}

// ---- Absent arguments ----

ValueRecord AbsentWithData(uint32_t data) { return Words(data, 0, kTypeNone); }

TEST(AbsentArguments, ARecordWithTypeZeroIsAbsentWhateverItsDataWord) {
    EXPECT_EQ(CallInt(&FindText, {Text("abcabc"), Text("b"), AbsentWithData(4)}), 2);
    EXPECT_EQ(CallInt(&FindText, {Text("ABC"), Text("b"), Absent(), AbsentWithData(1)}), -1);
    EXPECT_EQ(CallInt(&FindTextReverse, {Text("abcabc"), Text("b"), AbsentWithData(2)}), 5);
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("aXbx"), Text("x"), AbsentWithData(1), AbsentWithData(3),
                                         AbsentWithData(1), AbsentWithData(1)}),
              "ab");
    EXPECT_EQ(CallSplit({Text("a,b;c"), AbsentWithData(1), AbsentWithData(1)}), (Pieces{"a", "b;c"}));
    EXPECT_EQ(CallText(&TextLeft, {Text("abc"), AbsentWithData(2)}), "");
    EXPECT_EQ(CallText(&CharFromCode, {AbsentWithData('A')}), "");
}

// ---- Null texts ----

TEST(NullTexts, ANullTextArgumentReadsAsEmpty) {
    ValueRecord null = PointerArg(nullptr, kTypeText);
    EXPECT_EQ(CallInt(&LengthOfText, {null}), 0);
    EXPECT_EQ(CallInt(&FindText, {null, Text("a")}), -1);
    EXPECT_EQ(CallInt(&FindText, {Text("abc"), null}), 1);
    EXPECT_EQ(CallInt(&FindTextReverse, {null, null}), -1);
    EXPECT_EQ(CallText(&ReplaceSubtext, {Text("abc"), Text("b"), null}), "ac");
    EXPECT_EQ(CallText(&ReplaceSubtext, {null, Text("b"), Text("x")}), "");
    EXPECT_EQ(CallSplit({null}), Pieces{});
    EXPECT_EQ(CallSplit({Text("a,b"), null}), (Pieces{"a,b"})) << "a present but empty delimiter";
    EXPECT_EQ(CallText(&TrimSpaces, {null}), "");
    EXPECT_EQ(CallText(&RemoveAllSpaces, {null}), "");
    EXPECT_EQ(CallText(&ToLowerCase, {null}), "");
    EXPECT_EQ(CallText(&TextMid, {null, Int(1), Int(1)}), "");
    EXPECT_EQ(CallText(&TextRight, {null, Int(1)}), "");
    EXPECT_EQ(CallText(&ToText, {null}), "");
    EXPECT_EQ(CallInt(&ToInteger, {null}), 0);
}

// ---- Small makers ----

TEST(TextMakers, BlankTextCharFromCodeAndBitOr) {
    EXPECT_EQ(CallText(&BlankText, {Int(3)}), "   ");
    EXPECT_EQ(CallText(&BlankText, {Int(0)}), "");
    EXPECT_EQ(CallText(&BlankText, {Int(INT_MIN)}), "");
    EXPECT_EQ(CallText(&CharFromCode, {Words(65, 0, kTypeByte)}), "A");
    EXPECT_EQ(CallText(&CharFromCode, {Words(0xB0, 0, kTypeByte)}), "\xB0");
    EXPECT_EQ(CallText(&CharFromCode, {Words(0, 0, kTypeByte)}), "");
    EXPECT_EQ(CallText(&CharFromCode, {Absent()}), "");
    EXPECT_EQ(CallInt(&BitOr, {Int(64)}), 64);
    EXPECT_EQ(CallInt(&BitOr, {Int(64), Int(1), Int(4096), Absent()}), 4161);
    EXPECT_EQ(CallInt(&BitOr, {Int(INT_MIN), Int(1)}), INT_MIN + 1);
    EXPECT_EQ(CallInt(&BitOr, {}), 0);
}

TEST(TextMakersDeathTest, HugeBlankTextTakesTheAllocationFailurePath) {
    EXPECT_EXIT(
        {
            SetAllocationFailureCountdown(1);
            ValueRecord result = EmptyRecord();
            ValueRecord n = Int(INT_MAX);
            BlankText(&result, 1, &n);
        },
        ::testing::ExitedWithCode(255), "2147483648");
}

TEST(TextMakersDeathTest, HugeBlankBytesTakesTheAllocationFailurePath) {
    EXPECT_EXIT(
        {
            SetAllocationFailureCountdown(1);
            ValueRecord result = EmptyRecord();
            ValueRecord n = Int(INT_MAX);
            BlankBytes(&result, 1, &n);
        },
        ::testing::ExitedWithCode(255), "2147483655");
}

// ---- Differential test against plain reference implementations ----

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool MatchAt(const std::string& text, size_t at, const std::string& sought, bool fold) {
    for (size_t i = 0; i < sought.size(); ++i) {
        char a = text[at + i], b = sought[i];
        if (fold ? Lower(a) != Lower(b) : a != b) return false;
    }
    return true;
}

// One character: two bytes after a first byte unless the text ends there.
size_t Step(const std::string& text, size_t at) { return IsLead(text[at]) && at + 1 < text.size() ? 2 : 1; }

int RefSearch(const std::string& text, const std::string& sought, bool hasStart, int32_t start, bool fold,
              bool reverse) {
    int64_t length = static_cast<int64_t>(text.size());
    int64_t k = hasStart ? std::max<int64_t>(int64_t{start} - 1, 0) : (reverse ? length : 0);
    int64_t offset = 0, remaining = 0;
    if (!reverse) {
        if (k < length) {
            offset = k;
            remaining = length - k;
        }
    } else {
        remaining = std::min(length, k);
    }
    if (sought.empty()) return remaining > 0 ? 1 : -1;
    int found = -1;
    while (remaining >= static_cast<int64_t>(sought.size())) {
        if (MatchAt(text, static_cast<size_t>(offset), sought, fold)) {
            found = static_cast<int>(offset + 1);
            if (!reverse) return found;
        }
        int64_t step = IsLead(text[static_cast<size_t>(offset)]) ? 2 : 1;
        offset += step;
        remaining -= step;
    }
    return found;
}

std::string RefReplace(const std::string& text, const std::string& sought, const std::string& replacement,
                       bool hasStart, int32_t start, bool hasCount, int32_t count, uint32_t caseWord) {
    size_t offset = hasStart ? static_cast<size_t>(std::max<int64_t>(int64_t{start} - 1, 0)) : 0;
    int32_t remaining = hasCount ? count : -1;
    bool fold = caseWord == 0;
    if (text.empty() || sought.empty() || offset >= text.size() || remaining == 0) return text;
    std::string out = text.substr(0, offset);
    size_t pos = offset;
    while (text.size() - pos >= sought.size()) {
        if (MatchAt(text, pos, sought, fold)) {
            out += replacement;
            pos += sought.size();
            if (remaining > 0 && --remaining == 0) break;
        } else {
            size_t step = Step(text, pos);
            out += text.substr(pos, step);
            pos += step;
        }
    }
    return out + text.substr(pos);
}

Pieces RefSplit(const std::string& text, const std::string& delimiter, bool hasMax, int32_t max) {
    int32_t remaining = hasMax ? std::max(max, 0) : -1;
    if (text.empty() || remaining == 0) return {};
    if (delimiter.empty()) return {text};
    Pieces pieces;
    size_t pos = 0, pieceStart = 0;
    while (text.size() - pos >= delimiter.size()) {
        if (text.compare(pos, delimiter.size(), delimiter) == 0) {
            pieces.push_back(text.substr(pieceStart, pos - pieceStart));
            pos += delimiter.size();
            pieceStart = pos;
            if (remaining > 0 && --remaining == 0) return pieces;
        } else {
            pos += Step(text, pos);
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

class RandomTexts {
public:
    explicit RandomTexts(uint32_t seed) : random_(seed) {}

    // Few distinct bytes, so that matches, first bytes, second bytes that
    // look like letters or commas, and full-width spaces are all frequent.
    std::string Text(size_t maxLength) {
        static const char kAlphabet[] = {'a', 'b', 'A', 'B', ',', ' ', 'x', '\xA1', '\xB0', '\xC4', '\xD0'};
        size_t length = Below(maxLength + 1);
        std::string text;
        for (size_t i = 0; i < length; ++i) text += kAlphabet[Below(sizeof kAlphabet)];
        return text;
    }
    // Often a piece of the text itself, which may begin on a second byte.
    std::string SoughtIn(const std::string& text) {
        if (text.empty() || Below(3) == 0) return Text(3);
        size_t at = Below(text.size());
        return text.substr(at, Below(4));
    }
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
    int32_t Between(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random_); }
    bool Maybe() { return Below(2) == 0; }

private:
    std::mt19937 random_;
};

TEST(TextDifferential, SearchMatchesThePlainReference) {
    RandomTexts random(20240601);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random.Text(40);
        std::string sought = random.SoughtIn(text);
        bool hasStart = random.Maybe();
        int32_t start = random.Between(-3, static_cast<int32_t>(text.size()) + 3);
        uint32_t caseWord = static_cast<uint32_t>(random.Below(3));
        bool reverse = random.Maybe();
        ExactText textArg(text), soughtArg(sought);
        int expected = RefSearch(text, sought, hasStart, start, caseWord == 1, reverse);
        int actual = CallInt(reverse ? &FindTextReverse : &FindText,
                             {textArg.Arg(), soughtArg.Arg(), hasStart ? Int(start) : Absent(),
                              Words(caseWord, 0, kTypeBool)});
        ASSERT_EQ(actual, expected) << (reverse ? "reverse" : "forward") << " case " << i << " text [" << text
                                    << "] sought [" << sought << "] start " << (hasStart ? start : 0) << " fold "
                                    << caseWord;
    }
}

TEST(TextDifferential, ReplaceMatchesThePlainReference) {
    RandomTexts random(777);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random.Text(40);
        std::string sought = random.SoughtIn(text);
        std::string replacement = random.Text(3);
        bool hasStart = random.Maybe(), hasCount = random.Maybe(), hasCase = random.Maybe();
        int32_t start = random.Between(-3, static_cast<int32_t>(text.size()) + 3);
        int32_t count = random.Between(-2, 3);
        uint32_t caseWord = hasCase ? static_cast<uint32_t>(random.Below(3)) : 0;
        ExactText textArg(text), soughtArg(sought), replacementArg(replacement);
        std::string expected = RefReplace(text, sought, replacement, hasStart, start, hasCount, count, caseWord);
        std::string actual = CallText(&ReplaceSubtext, {textArg.Arg(), soughtArg.Arg(), replacementArg.Arg(),
                                                        hasStart ? Int(start) : Absent(),
                                                        hasCount ? Int(count) : Absent(),
                                                        hasCase ? Words(caseWord, 0, kTypeBool) : Absent()});
        ASSERT_EQ(actual, expected) << "case " << i << " text [" << text << "] sought [" << sought << "] by ["
                                    << replacement << "]";
    }
}

TEST(TextDifferential, SplitMatchesThePlainReference) {
    RandomTexts random(4242);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random.Text(40);
        bool hasDelimiter = random.Maybe();
        std::string delimiter = hasDelimiter ? random.SoughtIn(text) : ",";
        bool hasMax = random.Maybe();
        int32_t max = random.Between(-1, 4);
        ExactText textArg(text), delimiterArg(delimiter);
        Pieces expected = RefSplit(text, delimiter, hasMax, max);
        Pieces actual =
            CallSplit({textArg.Arg(), hasDelimiter ? delimiterArg.Arg() : Absent(), hasMax ? Int(max) : Absent()});
        ASSERT_EQ(actual, expected) << "case " << i << " text [" << text << "] delimiter [" << delimiter << "]";
    }
}

TEST(TextDifferential, LongTextsWithSparseMatchesAgree) {
    // Long runs of two-byte characters between matches exercise the boundary
    // recovery over many bytes at a time.
    RandomTexts random(99);
    for (int i = 0; i < 300; ++i) {
        std::string text;
        while (text.size() < 3000) {
            size_t run = random.Below(200);
            for (size_t j = 0; j < run; ++j) text += random.Maybe() ? "\xD6\xD0" : "\xB0\xA1";
            if (random.Maybe()) text += random.Maybe() ? "\xD0" : "a";
            text += random.Maybe() ? "\xA1\xB0" : "ab";
        }
        std::string sought = random.Maybe() ? "\xA1\xB0" : "\xD0\xB0";
        ExactText textArg(text), soughtArg(sought);
        ASSERT_EQ(CallInt(&FindText, {textArg.Arg(), soughtArg.Arg()}),
                  RefSearch(text, sought, false, 0, false, false));
        ASSERT_EQ(CallInt(&FindTextReverse, {textArg.Arg(), soughtArg.Arg()}),
                  RefSearch(text, sought, false, 0, false, true));
        ASSERT_EQ(CallText(&ReplaceSubtext, {textArg.Arg(), soughtArg.Arg(), Text("#")}),
                  RefReplace(text, sought, "#", false, 0, false, 0, 0));
        ASSERT_EQ(CallSplit({textArg.Arg(), soughtArg.Arg()}), RefSplit(text, sought, false, 0));
    }
}

}  // namespace
}  // namespace lyra::test
