#include "app/regex_object.h"

#include <windows.h>
#include <oaidl.h>

#include "app/own_regexp.h"
#include "commands/text_commands.h"
#include "program/external_functions.h"

namespace lyra::app {

namespace {

const char kRegExpClass[] = "VBScript.RegExp";
const char kQuoteMarker[] = "#引号";

int32_t Truncated(double value) {
    if (!(value > -2147483648.0 && value < 2147483648.0)) return 0;
    return static_cast<int32_t>(value);
}

// The byte offset of the character the COM object counts as number
// characterIndex (from 0) in the GBK text, counted as code page 936 turns
// the text into UTF-16: a lead byte (0x81 to 0xFE) and the byte after it are
// one character; every other byte, 0x80 and 0xFF among them, is one alone.
int32_t ByteOffsetOfCharacter(const char* text, int32_t characterIndex) {
    int32_t offset = 0;
    for (int32_t counted = 0; counted < characterIndex && text[offset] != 0; ++counted) {
        auto byte = static_cast<unsigned char>(text[offset]);
        bool doubleByte = byte >= 0x81 && byte <= 0xFE && text[offset + 1] != 0;
        offset += doubleByte ? 2 : 1;
    }
    return offset;
}

}  // namespace

RegexObject::RegexObject() { Initialise(); }

RegexObject::~RegexObject() { Destroy(); }

// A copy is an instance of its own, so it initialises COM once more and
// its destruction balances that.
RegexObject::RegexObject(const RegexObject& other) {
    Initialise();
    CoreCommand(&ObjectAssign, {regexp_.arg(), other.regexp_.arg()});
    CoreCommand(&ObjectAssign, {matches_.arg(), other.matches_.arg()});
    subject_ = OwnedText::CopyOf(other.subject_.c_str());
}

void RegexObject::Initialise() {
    const intptr_t reserved[1] = {0};
    kServices.CallExternalFunction(kCoInitialize, 1, reserved);
}

void RegexObject::Destroy() {
    CoreCommand(&ObjectClear, {regexp_.arg()});
    CoreCommand(&ObjectClear, {matches_.arg()});
    subject_ = OwnedText();
    kServices.CallExternalFunction(kCoUninitialize, 0, nullptr);
}

bool RegexObject::Create(const char* pattern, const char* subject, bool caseSensitive, bool multiline, bool global,
                         bool quoteSubstitution) {
    CoreCommand(&ObjectClear, {regexp_.arg()});
    CoreCommand(&ObjectClear, {matches_.arg()});
    CoreCommand(&ObjectCreate, {regexp_.arg(), TextArg(kRegExpClass), EmptyRecord()});
    // Where VBScript is switched off or gone, the program's own class stands in.
    if (ObjectEmpty(regexp_)) regexp_.Attach(NewOwnRegExp());
    WriteObjectLogical(regexp_, "IgnoreCase", !caseSensitive);
    WriteObjectLogical(regexp_, "Multiline", multiline);
    // The class has no such property: the write fails and '.' never matches a line break.
    WriteObjectLogical(regexp_, "Singleline", true);
    WriteObjectLogical(regexp_, "Global", global);
    OwnedText substituted;
    if (quoteSubstitution) {
        substituted = OwnedText(CoreCommand(&ReplaceSubtext, {TextArg(pattern), TextArg(kQuoteMarker), TextArg("\""),
                                                              EmptyRecord(), EmptyRecord(), BoolArg(true)}));
    }
    WriteObjectText(regexp_, "Pattern", quoteSubstitution ? substituted.c_str() : pattern);
    matches_ = ObjectValue(CoreCommand(&ObjectCallObjectMethod, {regexp_.arg(), TextArg("Execute"), TextArg(subject)}));
    subject_ = OwnedText::CopyOf(subject);
    return !ObjectEmpty(matches_);
}

void RegexObject::NoOperation() {}

char* RegexObject::GetPattern() {
    if (ObjectEmpty(regexp_)) return nullptr;
    return ReadObjectText(regexp_, "Pattern").Release();
}

char* RegexObject::ReplaceAll(const char* replacement) {
    ValueRecord result =
        CoreCommand(&ObjectCallTextMethod, {regexp_.arg(), TextArg("Replace"), subject_.arg(), TextArg(replacement)});
    return OwnedText(result).Release();
}

int32_t RegexObject::MatchCount() { return Truncated(ReadObjectNumber(matches_, "Count")); }

char* RegexObject::MatchText(int32_t index, int32_t* position) {
    ObjectValue item = ReadItemObject(matches_, index - 1);
    OwnedText value = ReadObjectText(item, "Value");
    if (position != nullptr) *position = BytePosition(item, value.c_str());
    return value.Release();
}

char* RegexObject::SubmatchText(int32_t matchIndex, int32_t subIndex, int32_t* position) {
    ObjectValue item = ReadItemObject(matches_, matchIndex - 1);
    ObjectValue submatches = ReadObjectObject(item, "SubMatches");
    OwnedText text;
    {
        VariantValue value(
            CoreCommand(&ObjectReadVariantProperty, {submatches.arg(), TextArg("Item"), DoubleArg(subIndex - 1)}));
        text = OwnedText(CoreCommand(&VariantToText, {value.arg(), EmptyRecord()}));
    }
    if (position != nullptr) *position = BytePosition(item, text.c_str());
    return text.Release();
}

int32_t RegexObject::SubmatchCount() {
    ObjectValue first = ReadItemObject(matches_, 0);
    ObjectValue submatches = ReadObjectObject(first, "SubMatches");
    return Truncated(ReadObjectNumber(submatches, "Count"));
}

// FirstIndex counts characters as the COM object sees them (UTF-16 units);
// the subject is GBK, so the search starts at that character's own byte and
// finds the match there, not an earlier occurrence of the same text.
int32_t RegexObject::BytePosition(const ObjectValue& match, const char* text) {
    int32_t first = Truncated(ReadObjectNumber(match, "FirstIndex"));
    int32_t start = ByteOffsetOfCharacter(subject_.c_str(), first) + 1;
    ValueRecord found = CoreCommand(&FindText, {subject_.arg(), TextArg(text), IntArg(start), EmptyRecord()});
    return RecordInt(found) - 1;
}

}  // namespace lyra::app
