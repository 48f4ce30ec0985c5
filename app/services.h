// The application's typed view of the runtime services: argument records
// built and results freed in one place, so routines read like what they do.
// Nothing here adds behaviour: every wrapper is one service call.
#pragma once

#include <cstdint>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <utility>
#include <vector>

#include "commands/text_commands.h"
#include "runtime/services.h"
#include "runtime/values.h"

namespace lyra::app {

inline const ServiceTable& Services() { return kServices; }

// An optional command argument left out.
inline ValueRecord Absent() { return EmptyRecord(); }

// A text variable: owns a block from the memory services, a constant, or
// null (the empty text). Assigning frees the old block.
class Text {
public:
    Text() = default;
    explicit Text(char* owned) : text_(owned) {}
    ~Text() { Services().FreeMemory(text_); }
    Text(Text&& other) noexcept : text_(other.Release()) {}
    Text& operator=(Text&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // A new block holding the same bytes; null for an empty source.
    static Text Copy(const char* source) { return Copy(source, source != nullptr ? std::strlen(source) : 0); }
    static Text Copy(const char* bytes, size_t length) {
        if (bytes == nullptr || length == 0) return Text();
        char* block = static_cast<char*>(Services().AllocMemory(length + 1));
        std::memcpy(block, bytes, length);
        block[length] = 0;
        return Text(block);
    }

    const char* c_str() const { return text_ != nullptr ? text_ : ""; }
    char* get() const { return text_; }
    bool empty() const { return text_ == nullptr || text_[0] == 0; }
    size_t size() const { return text_ != nullptr ? std::strlen(text_) : 0; }
    bool operator==(const char* other) const { return std::strcmp(c_str(), other != nullptr ? other : "") == 0; }
    bool operator!=(const char* other) const { return !(*this == other); }

    char* Release() { return std::exchange(text_, nullptr); }
    void Reset(char* owned = nullptr) {
        if (owned == text_) return;
        Services().FreeMemory(text_);
        text_ = owned;
    }
    // The variable itself, for routines that take a text by reference.
    char** Slot() { return &text_; }

private:
    char* text_ = nullptr;
};

// A byte-set variable: {1, n, bytes} from the memory services, or null.
class Bytes {
public:
    Bytes() = default;
    explicit Bytes(void* owned) : block_(owned) {}
    ~Bytes() { Services().FreeMemory(block_); }
    Bytes(Bytes&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    Bytes& operator=(Bytes&& other) noexcept {
        Reset(std::exchange(other.block_, nullptr));
        return *this;
    }
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;

    void* get() const { return block_; }
    int32_t size() const { return ByteSetLength(block_); }
    const uint8_t* data() const { return ByteSetBytes(block_); }
    void* Release() { return std::exchange(block_, nullptr); }
    void Reset(void* owned = nullptr) {
        if (owned == block_) return;
        Services().FreeMemory(block_);
        block_ = owned;
    }
    void** Slot() { return &block_; }

private:
    void* block_ = nullptr;
};

// Replaces what a by-reference text variable holds, freeing the old block.
inline void Assign(char** variable, Text value) {
    Services().FreeMemory(*variable);
    *variable = value.Release();
}

// The texts joined, as one new text.
inline Text Join(std::initializer_list<const char*> parts) {
    size_t length = 0;
    for (const char* part : parts) length += part != nullptr ? std::strlen(part) : 0;
    if (length == 0) return Text();
    char* block = static_cast<char*>(Services().AllocMemory(length + 1));
    size_t at = 0;
    for (const char* part : parts) {
        if (part == nullptr) continue;
        size_t n = std::strlen(part);
        std::memcpy(block + at, part, n);
        at += n;
    }
    block[length] = 0;
    return Text(block);
}

// ---- Core commands ----

inline ValueRecord CallCore(CommandFunction command, std::initializer_list<ValueRecord> args) {
    std::vector<ValueRecord> records(args);
    return Services().CallCoreCommand(command, static_cast<int32_t>(records.size()), records.data());
}
inline Text TextResult(const ValueRecord& result) { return Text(static_cast<char*>(RecordPointer(result))); }
inline Bytes BytesResult(const ValueRecord& result) { return Bytes(RecordPointer(result)); }
inline ValueRecord BytesArg(const void* byteSet) { return PointerArg(byteSet, kTypeByteSet); }

inline int32_t FindText(const char* text, const char* sought, ValueRecord start = Absent(),
                        ValueRecord ignoreCase = Absent()) {
    return RecordInt(CallCore(&::lyra::FindText, {TextArg(text), TextArg(sought), start, ignoreCase}));
}
inline int32_t FindTextReverse(const char* text, const char* sought, ValueRecord start = Absent(),
                               ValueRecord ignoreCase = Absent()) {
    return RecordInt(CallCore(&::lyra::FindTextReverse, {TextArg(text), TextArg(sought), start, ignoreCase}));
}
inline int32_t LengthOfText(const char* text) { return RecordInt(CallCore(&::lyra::LengthOfText, {TextArg(text)})); }
inline Text TextLeft(const char* text, int32_t n) {
    return TextResult(CallCore(&::lyra::TextLeft, {TextArg(text), IntArg(n)}));
}
inline Text TextRight(const char* text, int32_t n) {
    return TextResult(CallCore(&::lyra::TextRight, {TextArg(text), IntArg(n)}));
}
inline Text TextMid(const char* text, int32_t start, int32_t n) {
    return TextResult(CallCore(&::lyra::TextMid, {TextArg(text), IntArg(start), IntArg(n)}));
}
inline Text TrimSpaces(const char* text) { return TextResult(CallCore(&::lyra::TrimSpaces, {TextArg(text)})); }
inline Text RemoveAllSpaces(const char* text) {
    return TextResult(CallCore(&::lyra::RemoveAllSpaces, {TextArg(text)}));
}
inline Text ToLowerCase(const char* text) { return TextResult(CallCore(&::lyra::ToLowerCase, {TextArg(text)})); }
inline Text ReplaceSubtext(const char* text, const char* sought, ValueRecord replacement = Absent(),
                           ValueRecord start = Absent(), ValueRecord count = Absent(),
                           ValueRecord caseSensitive = Absent()) {
    return TextResult(CallCore(&::lyra::ReplaceSubtext,
                               {TextArg(text), TextArg(sought), replacement, start, count, caseSensitive}));
}
inline Text BlankText(int32_t n) { return TextResult(CallCore(&::lyra::BlankText, {IntArg(n)})); }
inline int32_t ToInteger(const char* text) { return RecordInt(CallCore(&::lyra::ToInteger, {TextArg(text)})); }
// A byte set as text: its bytes up to the first zero byte.
inline Text BytesToText(const void* byteSet) { return TextResult(CallCore(&::lyra::ToText, {BytesArg(byteSet)})); }
// A text's bytes without the terminator.
inline Bytes TextToBytes(const char* text) { return BytesResult(CallCore(&::lyra::ToBytes, {TextArg(text)})); }
inline int32_t BytesLength(const void* byteSet) {
    return RecordInt(CallCore(&::lyra::BytesLength, {BytesArg(byteSet)}));
}

// The pieces of a text split at a delimiter; empty pieces are null texts.
class TextArray {
public:
    explicit TextArray(void* owned) : array_(owned) {}
    ~TextArray() {
        for (size_t i = 0; i < size(); ++i) Services().FreeMemory(ArrayPointerElement(array_, i));
        Services().FreeMemory(array_);
    }
    TextArray(const TextArray&) = delete;
    TextArray& operator=(const TextArray&) = delete;

    size_t size() const { return static_cast<size_t>(ArrayElementCount(array_)); }
    const char* operator[](size_t i) const {
        const char* text = static_cast<const char*>(ArrayPointerElement(array_, i));
        return text != nullptr ? text : "";
    }

private:
    void* array_;
};

inline TextArray SplitText(const char* text, const char* delimiter) {
    return TextArray(RecordPointer(CallCore(&::lyra::SplitText, {TextArg(text), TextArg(delimiter), Absent()})));
}

// ---- External functions ----

inline intptr_t ExternalWord(std::nullptr_t) { return 0; }
template <typename T>
intptr_t ExternalWord(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<intptr_t>(value);
    } else {
        return static_cast<intptr_t>(value);
    }
}

// Calls external function `index` with the arguments as machine words. A
// result narrower than a word (BOOL, DWORD) is in the low 32 bits only.
template <typename... Args>
intptr_t CallExternal(int index, Args... args) {
    const intptr_t words[] = {0, ExternalWord(args)...};
    return Services().CallExternalFunction(index, static_cast<int>(sizeof...(Args)), words + 1);
}

}  // namespace lyra::app
