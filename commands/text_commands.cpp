// Measuring, cutting, searching, replacing, splitting and trimming texts.
#include "commands/text_commands.h"

#include <cstring>

#include "commands/command_arguments.h"
#include "commands/gbk_scan.h"
#include "commands/output_buffer.h"
#include "runtime/memory.h"

namespace lyra {

namespace {

const uint8_t* Bytes(const char* text) { return reinterpret_cast<const uint8_t*>(text); }

// The text's length, looking at no more than limit bytes.
size_t BoundedLength(const char* text, size_t limit) {
    const void* zero = std::memchr(text, 0, limit);
    return zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : limit;
}

// A start position as a byte offset: max(start - 1, 0).
size_t OffsetOfPosition(int32_t start) { return start > 1 ? static_cast<size_t>(start) - 1 : 0; }

void SetTextResult(ValueRecord* result, char* text) { SetPointerResult(result, text); }

void Search(ValueRecord* result, int32_t count, ValueRecord* args, bool reverse) {
    const char* text = TextArgument(count, args, 0);
    const char* sought = TextArgument(count, args, 1);
    const size_t length = std::strlen(text);
    const size_t soughtLength = std::strlen(sought);
    size_t k = reverse ? length : 0;
    if (ArgumentPresent(count, args, 2)) k = OffsetOfPosition(IntArgument(count, args, 2, 0));
    const bool foldCase = IntArgument(count, args, 3, 0) == 1;

    // Forward: [k, length). Reverse: occurrences lying wholly within the first k bytes.
    size_t begin = 0, end = 0;
    if (!reverse) {
        begin = k < length ? k : length;
        end = length;
    } else {
        end = k < length ? k : length;
    }

    int32_t position = -1;
    if (soughtLength == 0) {
        position = end > begin ? 1 : -1;
    } else {
        const SoughtText what{Bytes(sought), soughtLength, foldCase};
        size_t from = begin;
        for (;;) {
            size_t at = FindOccurrence(Bytes(text), from, end, what);
            if (at == kNotFound) break;
            position = static_cast<int32_t>(at + 1);
            if (!reverse) break;
            from = at + CharLength(Bytes(text), at, end);
        }
    }
    SetIntResult(result, position);
}

bool IsSpaceAt(const uint8_t* text, size_t offset, size_t end) {
    return text[offset] == ' ' || IsFullWidthSpace(text, offset, end);
}

}  // namespace

void LengthOfText(ValueRecord* result, int32_t count, ValueRecord* args) {
    SetIntResult(result, static_cast<int32_t>(std::strlen(TextArgument(count, args, 0))));
}

void TextLeft(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    int32_t n = IntArgument(count, args, 1, 0);
    if (n <= 0) return;
    SetTextResult(result, MakeText(text, BoundedLength(text, static_cast<size_t>(n))));
}

void TextRight(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    int32_t n = IntArgument(count, args, 1, 0);
    if (n <= 0) return;
    size_t length = std::strlen(text);
    size_t take = static_cast<size_t>(n) < length ? static_cast<size_t>(n) : length;
    SetTextResult(result, MakeText(text + length - take, take));
}

void TextMid(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    int32_t start = IntArgument(count, args, 1, 0);
    int32_t n = IntArgument(count, args, 2, 0);
    if (start < 1 || n <= 0) return;
    size_t offset = static_cast<size_t>(start) - 1;
    // offset + n < 2^32, so the sum fits a 32-bit size_t too.
    size_t available = BoundedLength(text, offset + static_cast<size_t>(n));
    if (available <= offset) return;
    SetTextResult(result, MakeText(text + offset, available - offset));
}

void FindText(ValueRecord* result, int32_t count, ValueRecord* args) { Search(result, count, args, false); }

void FindTextReverse(ValueRecord* result, int32_t count, ValueRecord* args) { Search(result, count, args, true); }

void ReplaceSubtext(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    const char* sought = TextArgument(count, args, 1);
    const char* replacement = TextArgument(count, args, 2);
    const size_t start = ArgumentPresent(count, args, 3) ? OffsetOfPosition(IntArgument(count, args, 3, 0)) : 0;
    int32_t remaining = IntArgument(count, args, 4, -1);  // below 0: no limit
    const bool foldCase = IntArgument(count, args, 5, 0) == 0;

    const size_t length = std::strlen(text);
    const size_t soughtLength = std::strlen(sought);
    if (length == 0 || soughtLength == 0 || start >= length || remaining == 0) {
        SetTextResult(result, MakeText(text, length));
        return;
    }
    const size_t replacementLength = std::strlen(replacement);
    const SoughtText what{Bytes(sought), soughtLength, foldCase};

    OutputBuffer out(length);
    out.Append(text, start);
    size_t pos = start;
    for (;;) {
        size_t at = FindOccurrence(Bytes(text), pos, length, what);
        if (at == kNotFound) break;
        out.Append(text + pos, at - pos);
        out.Append(replacement, replacementLength);
        pos = at + soughtLength;
        if (remaining > 0 && --remaining == 0) break;
    }
    out.Append(text + pos, length - pos);
    SetTextResult(result, out.TakeText());
}

void SplitText(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    const char* delimiter = ArgumentPresent(count, args, 1) ? TextArgument(count, args, 1) : ",";
    int32_t remaining = -1;  // below 0: no limit
    if (ArgumentPresent(count, args, 2)) {
        int32_t maximum = IntArgument(count, args, 2, 0);
        remaining = maximum > 0 ? maximum : 0;
    }
    const size_t length = std::strlen(text);
    const size_t delimiterLength = std::strlen(delimiter);

    OutputBuffer elements;  // the element pointers
    if (length != 0 && remaining != 0) {
        if (delimiterLength == 0) {
            elements.AppendPointer(MakeText(text, length));
        } else {
            const SoughtText what{Bytes(delimiter), delimiterLength, false};
            size_t pieceStart = 0;
            bool exhausted = false;
            for (;;) {
                size_t at = FindOccurrence(Bytes(text), pieceStart, length, what);
                if (at == kNotFound) break;
                elements.AppendPointer(MakeText(text + pieceStart, at - pieceStart));
                pieceStart = at + delimiterLength;
                if (remaining > 0 && --remaining == 0) {
                    exhausted = true;
                    break;
                }
            }
            if (!exhausted && pieceStart < length) {
                elements.AppendPointer(MakeText(text + pieceStart, length - pieceStart));
            }
        }
    }
    const int32_t header[2] = {1, static_cast<int32_t>(elements.size() / sizeof(void*))};
    uint8_t* array = elements.TakeBlock(sizeof header);
    std::memcpy(array, header, sizeof header);
    SetPointerResult(result, array);
}

void TrimSpaces(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    const uint8_t* bytes = Bytes(text);
    const size_t length = std::strlen(text);
    size_t begin = 0;
    while (begin < length && IsSpaceAt(bytes, begin, length)) begin += CharLength(bytes, begin, length);
    // The text ends after its last character that is not a space; a first
    // byte without its second byte is no character.
    size_t end = begin;
    for (size_t i = begin; i < length;) {
        size_t n = CharLength(bytes, i, length);
        if (IsLeadByte(bytes[i]) && n == 1) break;
        if (!IsSpaceAt(bytes, i, length)) end = i + n;
        i += n;
    }
    SetTextResult(result, MakeText(text + begin, end - begin));
}

void RemoveAllSpaces(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    const uint8_t* bytes = Bytes(text);
    const size_t length = std::strlen(text);
    OutputBuffer out(length);
    size_t runStart = 0;  // start of the current run of characters to keep
    size_t i = 0;
    while (i < length) {
        size_t n = CharLength(bytes, i, length);
        if (IsLeadByte(bytes[i]) && n == 1) break;
        if (IsSpaceAt(bytes, i, length)) {
            out.Append(text + runStart, i - runStart);
            runStart = i + n;
        }
        i += n;
    }
    out.Append(text + runStart, i - runStart);
    SetTextResult(result, out.TakeText());
}

void ToLowerCase(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    const size_t length = std::strlen(text);
    char* lower = MakeText(text, length);
    if (lower != nullptr) {
        uint8_t* bytes = reinterpret_cast<uint8_t*>(lower);
        for (size_t i = 0; i < length;) {
            if (IsLeadByte(bytes[i])) {
                i += 2;
            } else {
                bytes[i] = FoldAsciiCase(bytes[i]);
                ++i;
            }
        }
    }
    SetTextResult(result, lower);
}

void BlankText(ValueRecord* result, int32_t count, ValueRecord* args) {
    int32_t n = IntArgument(count, args, 0, 0);
    if (n <= 0) return;
    size_t length = static_cast<size_t>(n);
    char* text = static_cast<char*>(AllocMemory(CheckedSum(length, 1)));
    std::memset(text, ' ', length);
    text[length] = 0;
    SetTextResult(result, text);
}

void CharFromCode(ValueRecord* result, int32_t count, ValueRecord* args) {
    char byte = static_cast<char>(IntArgument(count, args, 0, 0) & 0xFF);
    SetTextResult(result, byte != 0 ? MakeText(&byte, 1) : nullptr);
}

void BitOr(ValueRecord* result, int32_t count, ValueRecord* args) {
    uint32_t bits = 0;
    for (int32_t i = 0; i < count; ++i) bits |= DataWordArgument(count, args, i);
    SetIntResult(result, static_cast<int32_t>(bits));
}

}  // namespace lyra
