// The application's typed view of the runtime services: argument records
// built and results freed in one place, so routines read like what they do.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <utility>

#include "commands/com_object.h"
#include "commands/libraries.h"
#include "commands/text_commands.h"
#include "data/unit_ids.h"
#include "runtime/services.h"
#include "runtime/values.h"
#include "window_units/template_format.h"

namespace lyra::app {

inline const ServiceTable& Services() { return kServices; }

// A core command called by its entry point through the runtime service.
inline ValueRecord CoreCommand(CommandFunction command, std::initializer_list<ValueRecord> args) {
    return kServices.CallCoreCommand(command, static_cast<int32_t>(args.size()), const_cast<ValueRecord*>(args.begin()));
}

// A text the application owns (null is the empty text), freed with FreeMemory.
class OwnedText {
public:
    OwnedText() = default;
    explicit OwnedText(char* text) : text_(text) {}
    // Takes over a command's text result.
    explicit OwnedText(const ValueRecord& result) : text_(static_cast<char*>(RecordPointer(result))) {}
    ~OwnedText() { kServices.FreeMemory(text_); }
    OwnedText(OwnedText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    OwnedText& operator=(OwnedText&& other) noexcept {
        if (this != &other) {
            kServices.FreeMemory(text_);
            text_ = std::exchange(other.text_, nullptr);
        }
        return *this;
    }
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;

    // A new copy of text, or null when it is empty.
    static OwnedText CopyOf(const char* text) { return CopyOf(text, text != nullptr ? std::strlen(text) : 0); }
    // A new text of length bytes, or null when length is 0.
    static OwnedText CopyOf(const char* bytes, size_t length) {
        if (bytes == nullptr || length == 0) return OwnedText();
        auto* copy = static_cast<char*>(kServices.AllocMemory(length + 1));
        std::memcpy(copy, bytes, length);
        copy[length] = 0;
        return OwnedText(copy);
    }

    const char* c_str() const { return text_ != nullptr ? text_ : ""; }
    char* get() const { return text_; }
    bool empty() const { return text_ == nullptr || text_[0] == 0; }
    size_t size() const { return text_ != nullptr ? std::strlen(text_) : 0; }
    bool operator==(const char* other) const { return std::strcmp(c_str(), other != nullptr ? other : "") == 0; }
    bool operator!=(const char* other) const { return !(*this == other); }
    ValueRecord arg() const { return TextArg(c_str()); }
    // Hands the text over to the caller, who frees it.
    char* Release() { return std::exchange(text_, nullptr); }
    // The variable itself, for routines that take a text by reference.
    char** Slot() { return &text_; }

private:
    char* text_ = nullptr;
};

// A ComObject variable: one block for its whole life unless replaced by a
// command's object result. Releases its reference and frees its block.
class ObjectValue {
public:
    ObjectValue() : block_(static_cast<ComObjectBlock*>(kServices.AllocMemory(sizeof(ComObjectBlock)))) {
        block_->object = nullptr;
        block_->recordData = nullptr;
    }
    // Takes over a command's object result (a new block).
    explicit ObjectValue(const ValueRecord& result) : block_(static_cast<ComObjectBlock*>(RecordPointer(result))) {}
    ~ObjectValue() { Free(); }
    ObjectValue(ObjectValue&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    ObjectValue& operator=(ObjectValue&& other) noexcept {
        if (this != &other) {
            Free();
            block_ = std::exchange(other.block_, nullptr);
        }
        return *this;
    }
    ObjectValue(const ObjectValue&) = delete;
    ObjectValue& operator=(const ObjectValue&) = delete;

    ValueRecord arg() const { return PointerArg(block_, kTypeComObject); }

    // Holds object from now on, taking over the caller's reference; what it held is released.
    void Attach(IUnknown* object) {
        CoreCommand(&ObjectClear, {arg()});
        block_->object = object;
    }

private:
    void Free() {
        if (block_ == nullptr) return;
        CoreCommand(&ObjectClear, {arg()});
        kServices.FreeMemory(block_);
        block_ = nullptr;
    }

    ComObjectBlock* block_;
};

// A Variant result: reset and freed at the end of its scope.
class VariantValue {
public:
    explicit VariantValue(const ValueRecord& result) : block_(RecordPointer(result)) {}
    ~VariantValue() {
        if (block_ == nullptr) return;
        CoreCommand(&VariantReset, {arg()});
        kServices.FreeMemory(block_);
    }
    VariantValue(const VariantValue&) = delete;
    VariantValue& operator=(const VariantValue&) = delete;

    ValueRecord arg() const { return PointerArg(block_, kTypeVariant); }

private:
    void* block_;
};

// Property and method calls on COM objects.
inline OwnedText ReadObjectText(const ObjectValue& object, const char* name) {
    return OwnedText(CoreCommand(&ObjectReadTextProperty, {object.arg(), TextArg(name)}));
}
inline double ReadObjectNumber(const ObjectValue& object, const char* name) {
    return RecordDouble(CoreCommand(&ObjectReadNumberProperty, {object.arg(), TextArg(name)}));
}
inline ObjectValue ReadObjectObject(const ObjectValue& object, const char* name) {
    return ObjectValue(CoreCommand(&ObjectReadObjectProperty, {object.arg(), TextArg(name)}));
}
// The collection member "Item" at a 0-based index, passed as a double float.
inline ObjectValue ReadItemObject(const ObjectValue& collection, int32_t index) {
    return ObjectValue(CoreCommand(&ObjectReadObjectProperty, {collection.arg(), TextArg("Item"), DoubleArg(index)}));
}
inline bool WriteObjectLogical(const ObjectValue& object, const char* name, bool value) {
    return RecordInt(CoreCommand(&ObjectWriteProperty, {object.arg(), TextArg(name), BoolArg(value)})) != 0;
}
inline bool WriteObjectText(const ObjectValue& object, const char* name, const char* value) {
    return RecordInt(CoreCommand(&ObjectWriteProperty, {object.arg(), TextArg(name), TextArg(value)})) != 0;
}
inline bool ObjectEmpty(const ObjectValue& object) {
    return RecordInt(CoreCommand(&ObjectIsEmpty, {object.arg()})) != 0;
}

inline ValueRecord Absent() { return EmptyRecord(); }

// A command of another library, called by its entry point.
inline ValueRecord LibraryCommand(int library, CommandFunction command, std::initializer_list<ValueRecord> args) {
    return kServices.CallLibraryCommand(library, command, static_cast<int32_t>(args.size()),
                                        const_cast<ValueRecord*>(args.begin()));
}

// The component argument of the list-view commands: window id, unit id, type.
inline ValueRecord ListArg(uint32_t unitId) {
    ValueRecord r;
    SetRecordWords(r, units::kMainWindow, unitId, kTypeCodeListView);
    return r;
}

// Properties of the main window's components.
inline OwnedText ReadTextProperty(uint32_t unitId, int32_t property) {
    uint64_t value = kServices.ReadProperty(units::kMainWindow, unitId, property, -1);
    return OwnedText(reinterpret_cast<char*>(static_cast<uintptr_t>(value)));
}
inline int32_t ReadIntProperty(uint32_t unitId, int32_t property) {
    return static_cast<int32_t>(kServices.ReadProperty(units::kMainWindow, unitId, property, -1));
}
inline void WriteTextProperty(uint32_t unitId, int32_t property, const char* text) {
    kServices.WriteProperty(units::kMainWindow, unitId, property, -1,
                            static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text)));
}
inline void WriteIntProperty(uint32_t unitId, int32_t property, int32_t value) {
    kServices.WriteProperty(units::kMainWindow, unitId, property, -1, static_cast<uint32_t>(value));
}

// ---- Texts, byte sets and the text commands ----

// A byte-set variable: {1, n, bytes} from the memory services, or null.
class OwnedBytes {
public:
    OwnedBytes() = default;
    explicit OwnedBytes(void* owned) : block_(owned) {}
    ~OwnedBytes() { kServices.FreeMemory(block_); }
    OwnedBytes(OwnedBytes&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    OwnedBytes& operator=(OwnedBytes&& other) noexcept {
        Reset(std::exchange(other.block_, nullptr));
        return *this;
    }
    OwnedBytes(const OwnedBytes&) = delete;
    OwnedBytes& operator=(const OwnedBytes&) = delete;

    void* get() const { return block_; }
    int32_t size() const { return ByteSetLength(block_); }
    const uint8_t* data() const { return ByteSetBytes(block_); }
    void* Release() { return std::exchange(block_, nullptr); }
    void Reset(void* owned = nullptr) {
        if (owned == block_) return;
        kServices.FreeMemory(block_);
        block_ = owned;
    }
    void** Slot() { return &block_; }

private:
    void* block_ = nullptr;
};

// Replaces what a by-reference text variable holds, freeing the old block.
inline void Assign(char** variable, OwnedText value) {
    kServices.FreeMemory(*variable);
    *variable = value.Release();
}

// The texts joined, as one new text (null parts read as empty).
inline OwnedText Join(std::initializer_list<const char*> parts) {
    size_t length = 0;
    for (const char* part : parts) length += part != nullptr ? std::strlen(part) : 0;
    if (length == 0) return OwnedText();
    char* block = static_cast<char*>(kServices.AllocMemory(length + 1));
    size_t at = 0;
    for (const char* part : parts) {
        if (part == nullptr) continue;
        size_t n = std::strlen(part);
        std::memcpy(block + at, part, n);
        at += n;
    }
    block[length] = 0;
    return OwnedText(block);
}

// The pieces of a SplitText result; empty pieces read as "".
class TextArray {
public:
    explicit TextArray(const ValueRecord& result) : array_(RecordPointer(result)) {}
    ~TextArray() {
        for (size_t i = 0; i < size(); ++i) kServices.FreeMemory(ArrayPointerElement(array_, i));
        kServices.FreeMemory(array_);
    }
    TextArray(const TextArray&) = delete;
    TextArray& operator=(const TextArray&) = delete;

    size_t size() const { return static_cast<size_t>(ArrayElementCount(array_)); }
    // Piece i counted from 0, checked as the runtime checks every element
    // access: an index before the first piece is error 4, one after the last
    // piece error 1, and neither returns.
    const char* operator[](int64_t i) const {
        if (i < 0) kServices.ReportRuntimeError(4);
        if (static_cast<uint64_t>(i) >= ArrayElementCount(array_)) kServices.ReportRuntimeError(1);
        const char* text = static_cast<const char*>(ArrayPointerElement(array_, static_cast<uint64_t>(i)));
        return text != nullptr ? text : "";
    }

private:
    void* array_;
};

inline ValueRecord BytesArg(const void* byteSet) { return PointerArg(byteSet, kTypeByteSet); }

// Typed calls of the core text commands, named as the commands are. They
// live in a namespace of their own so that the commands' entry points keep
// their plain names in the application code.
namespace cmd {

inline int32_t FindText(const char* text, const char* sought, ValueRecord start = Absent(),
                        ValueRecord ignoreCase = Absent()) {
    return RecordInt(CoreCommand(&::lyra::FindText, {TextArg(text), TextArg(sought), start, ignoreCase}));
}
inline int32_t FindTextReverse(const char* text, const char* sought, ValueRecord start = Absent(),
                               ValueRecord ignoreCase = Absent()) {
    return RecordInt(CoreCommand(&::lyra::FindTextReverse, {TextArg(text), TextArg(sought), start, ignoreCase}));
}
inline int32_t LengthOfText(const char* text) { return RecordInt(CoreCommand(&::lyra::LengthOfText, {TextArg(text)})); }
inline OwnedText TextLeft(const char* text, int32_t n) {
    return OwnedText(CoreCommand(&::lyra::TextLeft, {TextArg(text), IntArg(n)}));
}
inline OwnedText TextRight(const char* text, int32_t n) {
    return OwnedText(CoreCommand(&::lyra::TextRight, {TextArg(text), IntArg(n)}));
}
inline OwnedText TextMid(const char* text, int32_t start, int32_t n) {
    return OwnedText(CoreCommand(&::lyra::TextMid, {TextArg(text), IntArg(start), IntArg(n)}));
}
inline OwnedText TrimSpaces(const char* text) { return OwnedText(CoreCommand(&::lyra::TrimSpaces, {TextArg(text)})); }
inline OwnedText RemoveAllSpaces(const char* text) {
    return OwnedText(CoreCommand(&::lyra::RemoveAllSpaces, {TextArg(text)}));
}
inline OwnedText ToLowerCase(const char* text) {
    return OwnedText(CoreCommand(&::lyra::ToLowerCase, {TextArg(text)}));
}
inline OwnedText ReplaceSubtext(const char* text, const char* sought, ValueRecord replacement = Absent(),
                                ValueRecord start = Absent(), ValueRecord count = Absent(),
                                ValueRecord caseSensitive = Absent()) {
    return OwnedText(CoreCommand(&::lyra::ReplaceSubtext,
                                 {TextArg(text), TextArg(sought), replacement, start, count, caseSensitive}));
}
inline OwnedText BlankText(int32_t n) { return OwnedText(CoreCommand(&::lyra::BlankText, {IntArg(n)})); }
inline int32_t ToInteger(const char* text) { return RecordInt(CoreCommand(&::lyra::ToInteger, {TextArg(text)})); }
// A byte set as text: its bytes up to the first zero byte.
inline OwnedText BytesToText(const void* byteSet) {
    return OwnedText(CoreCommand(&::lyra::ToText, {BytesArg(byteSet)}));
}
// A text's bytes without the terminator.
inline OwnedBytes TextToBytes(const char* text) {
    return OwnedBytes(RecordPointer(CoreCommand(&::lyra::ToBytes, {TextArg(text)})));
}
inline int32_t BytesLength(const void* byteSet) {
    return RecordInt(CoreCommand(&::lyra::BytesLength, {BytesArg(byteSet)}));
}
inline TextArray SplitText(const char* text, const char* delimiter) {
    return TextArray(CoreCommand(&::lyra::SplitText, {TextArg(text), TextArg(delimiter), Absent()}));
}

}  // namespace cmd

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
    return kServices.CallExternalFunction(index, static_cast<int>(sizeof...(Args)), words + 1);
}

}  // namespace lyra::app
