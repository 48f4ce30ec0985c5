// The Label in-process: which control a label names.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "test_support/component_host.h"
#include "window_units/components/label.h"
#include "window_units/components/label_block.h"

namespace lyra::test {
namespace {

// Which Label names a control: one that ends just left of it on its line,
// or just above it, the nearer when both do; none farther off, hidden, or
// on the other side. The name is the caption without its decoration.
TEST(LabelNames, TheLabelBesideOrAboveNamesTheControl) {
    struct Placed {
        const char* caption;
        RECT rect;
        bool visible;
    };
    struct Case {
        const char* what;
        std::vector<Placed> labels;
        const wchar_t* name;
    };
    const RECT control{100, 100, 300, 122};
    const Case cases[] = {
        {"left, two pixels off", {{"ＱＱ：", {63, 102, 98, 122}, true}}, L"ＱＱ"},
        {"above, overlapping by one", {{"★ 背景音乐列表 ★", {100, 77, 300, 101}, true}}, L"背景音乐列表"},
        {"a plain colon", {{"Number:", {40, 100, 100, 120}, true}}, L"Number"},
        {"left, too far", {{"ＱＱ：", {40, 100, 80, 120}, true}}, L""},
        {"left, another line", {{"ＱＱ：", {60, 130, 98, 150}, true}}, L""},
        {"right of it", {{"ＱＱ：", {302, 100, 340, 120}, true}}, L""},
        {"below it", {{"ＱＱ：", {100, 124, 300, 140}, true}}, L""},
        {"hidden", {{"ＱＱ：", {63, 102, 98, 122}, false}}, L""},
        {"the nearer of two", {{"左：", {40, 100, 94, 120}, true}, {"上：", {100, 80, 300, 99}, true}}, L"上"},
        {"only decoration", {{" ★ ", {63, 102, 98, 122}, true}}, L""},
    };
    HostWindow host;
    HWND target = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, control.left, control.top,
                                  control.right - control.left, control.bottom - control.top, host.handle(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(target, nullptr);
    auto create = reinterpret_cast<CreateOperation>(LabelInterface(kOpCreate));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ComponentPtr> labels;
        for (const Placed& placed : c.labels) {
            LabelProperties p;
            p.caption = placed.caption;
            std::vector<uint8_t> block = WriteLabelBlock(p);
            const RECT& r = placed.rect;
            labels.emplace_back(create(MakeCreateArgs(host.handle(), block, 0x16000001, r.left, r.top,
                                                      r.right - r.left, r.bottom - r.top)));
            ASSERT_NE(labels.back(), nullptr);
            if (placed.visible) ShowWindow(labels.back()->Handle(), SW_SHOWNA);
        }
        EXPECT_EQ(NameFromLabel(target), c.name);
    }
    DestroyWindow(target);
}

}  // namespace
}  // namespace lyra::test
