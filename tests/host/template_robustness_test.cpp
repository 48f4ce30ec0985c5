// The template reader on damaged input: every truncation and thousands of
// mutations of the program's template are either read whole or refused
// with ArchiveError, never read past the end (the host build runs under
// AddressSanitizer).
#include <gtest/gtest.h>

#include <random>

#include "data/window_template.h"
#include "runtime/framework/archive.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/window_block.h"
#include "window_units/template_format.h"

namespace lyra {
namespace {

// Reads a copy of exactly size bytes, so that ASan sees any overread.
// Answers whether the template was accepted.
bool ReadExactCopy(const std::vector<uint8_t>& source, size_t size) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size == 0 ? 1 : size]);
    std::copy(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
    WindowTemplate t;
    try {
        t = ReadTemplate(copy.get(), size);
    } catch (const framework::ArchiveError&) {
        return false;
    }
    // Whatever was accepted writes out and reads back the same.
    std::vector<uint8_t> written = WriteTemplate(t);
    EXPECT_EQ(WriteTemplate(ReadTemplate(written.data(), written.size())), written);
    // The type readers take whatever block a unit carries.
    for (const WindowRecord& window : t.windows) {
        for (const UnitRecord& unit : window.units) {
            const uint8_t* block = unit.propertyBlock.data();
            size_t blockSize = unit.propertyBlock.size();
            WindowProperties window;
            EditBoxProperties edit;
            GroupBoxProperties group;
            LabelProperties label;
            switch (unit.typeCode) {
                case kTypeCodeWindow: ReadBlock(kWindowTable, block, blockSize, &window); break;
                case kTypeCodeEditBox: ReadBlock(kEditBoxTable, block, blockSize, &edit); break;
                case kTypeCodeGroupBox: ReadBlock(kGroupBoxTable, block, blockSize, &group); break;
                case kTypeCodeLabel: ReadBlock(kLabelTable, block, blockSize, &label); break;
                default: break;
            }
        }
    }
    return true;
}

TEST(TemplateRobustness, EveryTruncationIsRefused) {
    std::vector<uint8_t> bytes = WriteTemplate(ProgramWindowTemplate());
    EXPECT_TRUE(ReadExactCopy(bytes, bytes.size()));
    EXPECT_TRUE(ReadExactCopy(bytes, 0)) << "size 0 is a template without windows";
    for (size_t size = 1; size < bytes.size(); ++size) {
        EXPECT_FALSE(ReadExactCopy(bytes, size)) << "a template cut at " << size << " bytes was accepted";
    }
}

TEST(TemplateRobustness, MutationsAreReadWholeOrRefused) {
    const std::vector<uint8_t> original = WriteTemplate(ProgramWindowTemplate());
    const uint32_t interesting[] = {0,          1,          3,          4,          8,          0x7F,
                                    0xFF,       0x7FFF,     0xFFFF,     0x10000,    0x7FFFFFFF, 0x80000000,
                                    0xFFFFFFF8, 0xFFFFFFFC, 0xFFFFFFFF, static_cast<uint32_t>(original.size())};
    std::mt19937 random(20240601);
    int accepted = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bytes = original;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = random() % bytes.size();
            switch (random() % 4) {
                case 0: bytes[at] = static_cast<uint8_t>(random()); break;
                case 1: {
                    // A word of interest at a word boundary: counts, lengths and offsets live there.
                    at &= ~static_cast<size_t>(3);
                    uint32_t word = interesting[random() % (sizeof interesting / sizeof interesting[0])];
                    for (int i = 0; i < 4 && at + static_cast<size_t>(i) < bytes.size(); ++i) {
                        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (8 * i));
                    }
                    break;
                }
                case 2: bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at)); break;
                default: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(random()));
            }
            if (bytes.empty()) bytes.push_back(0);
        }
        (ReadExactCopy(bytes, bytes.size()) ? accepted : refused)++;
    }
    // Both outcomes occur; a reader that refused everything would be useless.
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace lyra
