// What a person sees and does beyond a lookup: the keyboard, the focus,
// the boxes' exact texts, the program's own icon and resources.
#include "tests/e2e/support/program_fixture.h"
#include "tests/e2e/support/recording_web_opener.h"

namespace lyra::test {
namespace {

// The active window of the thread owning window.
HWND ActiveOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndActive;
}

class Keyboard : public Lyrabox {
protected:
    bool FocusMovesTo(HWND target, bool backward = false) {
        PressKey(VK_TAB, backward ? VK_SHIFT : 0);
        return WaitFor([&] { return FocusOf(main_) == target; }, 5000);
    }
};

TEST_F(Keyboard, TabVisitsTheFourTabStopsInReadingOrder) {
    Serve(Scenario{});
    Launch();
    HWND button = FindControl(main_, kQueryButtonControl);
    FocusEdit();
    EXPECT_TRUE(FocusMovesTo(button)) << "number box, then its button";
    EXPECT_TRUE(FocusMovesTo(background_)) << "then the upper list";
    EXPECT_TRUE(FocusMovesTo(favourites_)) << "then the lower list";
    EXPECT_TRUE(FocusMovesTo(edit_)) << "and round to the number box";
    EXPECT_TRUE(FocusMovesTo(favourites_, true)) << "Shift+Tab goes back";
    EXPECT_TRUE(FocusMovesTo(background_, true));
    EXPECT_TRUE(FocusMovesTo(button, true));
    EXPECT_TRUE(FocusMovesTo(edit_, true));
    EXPECT_EQ(TextOf(edit_), L"") << "the prompt cleared on focus and no Tab character was typed";
}

TEST_F(Keyboard, SpaceAndEnterOnTheQueryButtonLookUp) {
    Serve(WithPage("10001", Page(2, 1)));
    Launch();
    HWND button = FindControl(main_, kQueryButtonControl);
    TypeNumber(L"10001");
    ASSERT_TRUE(FocusMovesTo(button));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() == 1; }, kDeadline)) << "Space looks up";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
    EXPECT_EQ(ListRowCount(background_), 2);

    ASSERT_EQ(FocusOf(main_), button) << "the focus outlasts the lookup";
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() == 2; }, kDeadline)) << "Enter looks up";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
}

// The lookup disables the number box's group while it runs; the box keeps
// the focus through it, so the next Enter looks up again.
TEST_F(Keyboard, AfterALookupEnterInTheNumberBoxLooksUpAgain) {
    Serve(WithPage("10001", Page(2, 1)));
    Launch();
    LookUp(L"10001");
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main_) == edit_; }, 5000)) << "focus " << FocusOf(main_);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return LookupRequests() == 2; }, kDeadline)) << "Enter looks up again";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
}

// 说明, 关于 and 保存音乐列表 are no tab stops: a click leaves the focus in
// the number box, and once the box is answered Enter looks up again.
TEST_F(Keyboard, ButtonsThatAreNoTabStopsLeaveTheFocusWhereItWas) {
    Serve(WithPage("42", Page(1, 1)));
    Launch();
    TypeNumber(L"42");
    const std::pair<int, const wchar_t*> buttons[] = {
        {kHelpButtonControl, L"使用说明："}, {kAboutButtonControl, L"关于软件："}, {kSaveButtonControl, L"保存完成："}};
    for (const auto& [id, title] : buttons) {
        SCOPED_TRACE(Utf8(title));
        ClickCentre(FindControl(main_, id));
        HWND box = WaitForBox(title);
        ASSERT_NE(box, nullptr);
        AnswerMessageBox(box, IDOK);
        EXPECT_TRUE(WaitFor([&] { return ActiveOf(main_) == main_ && FocusOf(main_) == edit_; }, 5000))
            << "active " << ActiveOf(main_) << " focus " << FocusOf(main_);
    }
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return LookupRequests() == 1; }, kDeadline)) << "Enter still looks up";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
}

std::string ResourceText(HMODULE image, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(image, name, type);
    if (found == nullptr) return std::string();
    HGLOBAL loaded = LoadResource(image, found);
    auto* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes != nullptr ? std::string(bytes, SizeofResource(image, found)) : std::string();
}

std::wstring VersionString(const std::vector<uint8_t>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

// Explorer and the taskbar show the program's own icon; the version and the
// manifest come with the file. (Wine answers no WM_GETICON from another
// process: the window's icon is tested in-process.)
TEST_F(Lyrabox, TheProgramCarriesItsIconVersionAndManifest) {
    const std::wstring program = directory_ + L"lyrabox_e2e.exe";
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    std::string group = ResourceText(image, L"DEFAULT_ICON", RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u) << "icon group DEFAULT_ICON";
    EXPECT_EQ(static_cast<uint8_t>(group[4]), 4) << "16, 32, 48 and 256 pixels";
    std::string manifest = ResourceText(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << "Windows 10 and 11";
    FreeLibrary(image);

    DWORD ignored = 0;
    std::vector<uint8_t> info(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(LYRABOX_VERSION_MINOR, LYRABOX_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Lyrabox");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"" LYRABOX_VERSION);
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"" LYRABOX_VERSION);
    EXPECT_FALSE(VersionString(info, L"FileDescription").empty());
    EXPECT_FALSE(VersionString(info, L"LegalCopyright").empty());
}

// Pixels of the window's caption strip (its top 24 pixels) on the screen
// that are clearly red.
int RedPixelsAtTheTopOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    int red = 0;
    for (int y = rect.top; y < rect.top + 24 && y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            red += GetRValue(c) >= 200 && GetGValue(c) <= 130 && GetBValue(c) <= 130;
        }
    }
    ReleaseDC(nullptr, screen);
    return red;
}

TEST_F(Lyrabox, WhileALookupRunsTheBoxIsDisabledAndTheStatusEndsInRed) {
    Scenario scenario = WithPage("7", Page(1, 1));
    scenario.lookupDelay = 1500;
    Serve(scenario);
    Launch();
    EXPECT_EQ(RedPixelsAtTheTopOf(group_), 0);
    TypeNumber(L"7");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return TextOf(group_) == L"正在查询……" && !IsWindowEnabled(group_); }, kDeadline))
        << Utf8(TextOf(group_));
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
    EXPECT_EQ(TextOf(group_), kDone);
    EXPECT_TRUE(WaitFor([&] { return RedPixelsAtTheTopOf(group_) > 20; }, 5000)) << "the final status shows in red";
}

TEST_F(Lyrabox, TheHelpAboutAndClosingBoxesSayExactlyThis) {
    Serve(Scenario{});
    Launch();
    ClickCentre(FindControl(main_, kHelpButtonControl));
    HWND box = WaitForBox(L"使用说明：");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              L"操作说明——\r\n1、输入QQ后，点击查询按钮或按回车键来进行查询；\r\n"
              L"2、在“背景音乐列表”或“收藏音乐列表”里选中一行，\r\n"
              L"   然后单击表头的“歌手名”或“歌曲名”或“音乐地址”，\r\n"
              L"   就能复制选中行的“歌手名”或“歌曲名”或“音乐地址”；\r\n"
              L"   单击表头“ID”复制整行内容；双击选中行复制“音乐地址”。\r\n"
              L"3、“保存音乐列表”能保存“背景音乐列表”和“收藏音乐列表”\r\n"
              L"   里的所有音乐信息。");
    AnswerMessageBox(box, IDOK);

    ClickCentre(FindControl(main_, kAboutButtonControl));
    box = WaitForBox(L"关于软件：");
    ASSERT_NE(box, nullptr);
    std::wstring maker = L"http://127.0.0.1:" + std::to_wstring(kPort) + L"/maker.html";
    EXPECT_EQ(MessageBoxText(box), L"软件版本：v1.0（自动检测更新）\r\n\r\n博客：" + maker + L"\r\n\r\n如有问题，请到博客反馈！");
    AnswerMessageBox(box, IDOK);

    PostMessageW(main_, WM_CLOSE, 0, 0);
    box = WaitForBox(L"更多精彩：");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"更多精彩，请点击“确定”！\r\n\r\n关闭软件，请点击“取消”！ ");
    AnswerMessageBox(box, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(Lyrabox, CopyingFromTheFavouriteList) {
    LookupPage page;
    page.favourites = {{"U1", "T1", "S1"}};
    Serve(WithPage("6", page));
    Launch();
    LookUp(L"6");
    ClickRow(favourites_, 0);
    const std::pair<int, std::wstring> headers[] = {
        {1, L"S1"}, {2, L"T1"}, {3, L"U1"}, {0, L"ID：01\r\n歌手名：S1\r\n歌曲名：T1\r\n音乐地址：U1\r\n"}};
    for (const auto& [column, expected] : headers) {
        SetClipboardToMarker(L"marker");
        ClickHeader(favourites_, column);
        EXPECT_TRUE(WaitFor([&] { return ClipboardText() == expected; }, 5000))
            << "header " << column << ": " << Utf8(ClipboardText());
    }
    SetClipboardToMarker(L"marker");
    ClickRow(favourites_, 0, true);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"U1"; }, 5000)) << "double click copies the address";
}

// A folder of the saved file's name beside the program: the file cannot be written.
TEST_F(Lyrabox, ASaveThatCannotWriteSaysSo) {
    const std::wstring blocker = directory_ + L"LYRABOXMQ_.txt";
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    Serve(Scenario{});
    Launch();
    ClickCentre(FindControl(main_, kSaveButtonControl));
    HWND box = WaitForBox(L"失败提醒：");
    EXPECT_NE(box, nullptr);
    if (box != nullptr) {
        EXPECT_EQ(MessageBoxText(box), L"保存失败！");
        AnswerMessageBox(box, IDOK);
    }
    RemoveDirectoryW(blocker.c_str());
}

// Accepting an update, optional or forced, opens the download address and
// ends the program with 0.
class AcceptedUpdate : public Lyrabox, public ::testing::WithParamInterface<bool> {};

TEST_P(AcceptedUpdate, OpensTheDownloadAddressAndEnds) {
    const bool forced = GetParam();
    const std::wstring record = directory_ + L"opened-address.txt";
    DeleteFileW(record.c_str());
    RecordingWebOpener opener(record);
    ASSERT_TRUE(opener.ok());
    const std::string download = "http://127.0.0.1:" + std::to_string(kPort) + "/lyrabox-1.1.zip";
    Scenario scenario;
    scenario.announcement.version = "1.1";
    if (forced) scenario.announcement.forced = "\xC7\xBF\xD6\xC6";  // 强制
    scenario.announcement.downloadUrl = download;
    Serve(scenario);
    Launch();
    HWND box = WaitForBox(forced ? L"更新提示（强制更新）：" : L"更新提示：");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), forced ? L"立即更新，请点击“确定”！\r\n\r\n退出软件，请点击“取消”！"
                                          : L"立即更新，请点击“确定”！\r\n\r\n继续使用，请点击“取消”！");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
    std::string opened;
    EXPECT_TRUE(WaitFor([&] { return (opened = ReadFileBytes(record)).rfind(download, 0) == 0; }, kDeadline))
        << "the shell was asked to open: " << opened;
    DeleteFileW(record.c_str());
}

INSTANTIATE_TEST_SUITE_P(OptionalAndForced, AcceptedUpdate, ::testing::Values(false, true));

}  // namespace
}  // namespace lyra::test
