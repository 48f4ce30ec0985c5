// HyperLinker under Wine: what a click opens, and the browser fallback.
#include <gtest/gtest.h>

#include <mutex>

#include "test_support/component_host.h"
#include "window_units/components/hyper_linker.h"
#include "window_units/component_support.h"

namespace lyra::test {
namespace {

constexpr uint32_t kLinkUnit = 0x16014AB7;

std::mutex gShellMutex;
std::vector<std::wstring> gOpened;
std::vector<std::wstring> gRun;
intptr_t gShellAnswer = 42;

intptr_t FakeOpen(const std::wstring& target) {
    std::lock_guard<std::mutex> lock(gShellMutex);
    gOpened.push_back(target);
    return gShellAnswer;
}
bool FakeRun(const std::wstring& line) {
    std::lock_guard<std::mutex> lock(gShellMutex);
    gRun.push_back(line);
    return true;
}
const HyperLinkShell kFakeShell = {&FakeOpen, &FakeRun};

class HyperLinkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        gOpened.clear();
        gRun.clear();
        gShellAnswer = 42;
        SetHyperLinkShell(&kFakeShell);
    }
    void TearDown() override {
        link_.reset();
        SetHyperLinkShell(nullptr);
    }
    void Create(const HyperLinkerProperties& p) {
        std::vector<uint8_t> block = WriteHyperLinkerBlock(p);
        auto create = reinterpret_cast<CreateOperation>(HyperLinkerInterface(kOpCreate));
        link_.reset(create(MakeCreateArgs(host_.handle(), block, kLinkUnit, 16, 400, 168, 16)));
        ASSERT_NE(link_, nullptr);
        ShowWindow(link_->Handle(), SW_SHOWNA);
        PumpWaiting();
    }
    void Click() {
        SendMessageW(link_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(link_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        PumpWaiting();
    }

    HostWindow host_;
    ComponentPtr link_;
};

TEST_F(HyperLinkerTest, AnEmptyAddressOpensNothing) {
    HyperLinkerProperties p;
    p.caption = "制作者主页";
    Create(p);
    Click();
    EXPECT_TRUE(gOpened.empty());
    EXPECT_TRUE(gRun.empty());
    p.mode = kEmailAddress;
    EXPECT_FALSE(OpenHyperLink(p)) << "not even \"mailto:\" alone";
    EXPECT_TRUE(gOpened.empty());
}

TEST_F(HyperLinkerTest, AnAddressThatIsNotAWebAddressOpensNothing) {
    gShellAnswer = 2;  // nor may the browser fallback run it
    HyperLinkerProperties p;
    p.caption = "制作者主页";
    p.target = "C:\\Windows\\system32\\calc.exe";
    Create(p);
    Click();
    EXPECT_TRUE(gOpened.empty());
    EXPECT_TRUE(gRun.empty());
}

TEST_F(HyperLinkerTest, AClickOpensTheWebAddressOrTheMailAddress) {
    HyperLinkerProperties p;
    p.caption = "制作者主页";
    p.target = "http://127.0.0.1:18080/maker.html";
    Create(p);
    wchar_t caption[32] = L"";
    GetWindowTextW(link_->Handle(), caption, 32);
    EXPECT_STREQ(caption, L"制作者主页");
    Click();
    ASSERT_EQ(gOpened.size(), 1u);
    EXPECT_EQ(gOpened[0], L"http://127.0.0.1:18080/maker.html");

    PropertyValue mode;
    mode.number = kEmailAddress;
    SetPropertyOp(link_.get(), 2, mode);
    PropertyValue address;
    address.bytes = "maker@example.org";
    SetPropertyOp(link_.get(), 1, address);
    Click();
    ASSERT_EQ(gOpened.size(), 2u);
    EXPECT_EQ(gOpened[1], L"mailto:maker@example.org");
    EXPECT_TRUE(gRun.empty());

    SendMessageW(link_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(link_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(400, 4));
    EXPECT_EQ(gOpened.size(), 2u) << "released outside the link: no click";
}

TEST_F(HyperLinkerTest, AFailedShellFallsBackToTheRegisteredBrowser) {
    gShellAnswer = 2;  // as ShellExecute reports a missing file
    HyperLinkerProperties p;
    p.target = "http://127.0.0.1:18080/maker.html";
    wchar_t type[128] = L"";
    DWORD bytes = sizeof type;
    bool registered = RegGetValueW(HKEY_CLASSES_ROOT, L".htm", nullptr, RRF_RT_REG_SZ, nullptr, type, &bytes) == ERROR_SUCCESS;
    bool opened = OpenHyperLink(p);
    ASSERT_EQ(gOpened.size(), 1u);
    if (!registered) {
        EXPECT_FALSE(opened);
        EXPECT_TRUE(gRun.empty());
        return;
    }
    ASSERT_EQ(gRun.size(), 1u);
    EXPECT_TRUE(opened);
    const std::wstring tail = L" \"http://127.0.0.1:18080/maker.html\"";
    ASSERT_GT(gRun[0].size(), tail.size());
    EXPECT_EQ(gRun[0].substr(gRun[0].size() - tail.size()), tail);
    EXPECT_EQ(gRun[0].find(L"%1"), std::wstring::npos) << gRun[0];
}

}  // namespace
}  // namespace lyra::test
