// The application's typed view of the runtime services: argument records
// built and results freed in one place, so routines read like what they do.
#pragma once

#include <cstring>
#include <initializer_list>
#include <utility>

#include "commands/com_object.h"
#include "data/unit_ids.h"
#include "runtime/services.h"
#include "runtime/values.h"

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
    static OwnedText CopyOf(const char* text) {
        size_t length = text != nullptr ? std::strlen(text) : 0;
        if (length == 0) return OwnedText();
        auto* copy = static_cast<char*>(kServices.AllocMemory(length + 1));
        std::memcpy(copy, text, length + 1);
        return OwnedText(copy);
    }

    const char* c_str() const { return text_ != nullptr ? text_ : ""; }
    bool empty() const { return text_ == nullptr || text_[0] == 0; }
    ValueRecord arg() const { return TextArg(c_str()); }
    // Hands the text over to the caller, who frees it.
    char* Release() { return std::exchange(text_, nullptr); }

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

constexpr int kUiLibrary1 = 1;
constexpr int kThreadLibrary = 3;

inline ValueRecord Absent() { return EmptyRecord(); }

// A command of another library, called by its entry point.
inline ValueRecord LibraryCommand(int library, CommandFunction command, std::initializer_list<ValueRecord> args) {
    return kServices.CallLibraryCommand(library, command, static_cast<int32_t>(args.size()),
                                        const_cast<ValueRecord*>(args.begin()));
}

// The component argument of the list-view commands: window id, unit id, type.
inline ValueRecord ListArg(uint32_t unitId) {
    ValueRecord r;
    SetRecordWords(r, units::kMainWindow, unitId, units::kListViewType);
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

}  // namespace lyra::app
