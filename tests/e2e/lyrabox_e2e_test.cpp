// Lyrabox as a person uses it: the real program under Wine, its real
// window driven through input events, and a loopback server standing in
// for the lookup host and the announcement page.
#include "tests/e2e/support/program_fixture.h"

namespace lyra::test {
namespace {


TEST_F(Lyrabox, ThreeBackgroundSongsAndNoFavourites) {
    LookupPage page = Page(3, 0);
    Serve(WithPage("10001", page));
    Launch();
    LookUp(L"10001");
    EXPECT_EQ(TextOf(group_), kNoFavourites);
    EXPECT_EQ(Column(background_, 0), (std::vector<std::wstring>{L"03", L"02", L"01"}));
    EXPECT_EQ(ListRowCount(favourites_), 0);
    // Top row: the last match; cells singer, song, address.
    EXPECT_EQ(ListCell(background_, 0, 1), FromGbk(page.background[2].singer));
    EXPECT_EQ(ListCell(background_, 0, 2), FromGbk(page.background[2].name));
    EXPECT_EQ(ListCell(background_, 0, 3), FromGbk(page.background[2].address));
    EXPECT_EQ(ListCell(background_, 2, 3), FromGbk(page.background[0].address));
}

TEST_F(Lyrabox, TwelveMatchesAreNumberedFromTheBottom) {
    Serve(WithPage("10002", Page(12, 1)));
    Launch();
    LookUp(L"10002", false);
    EXPECT_EQ(TextOf(group_), kDone) << "both halves found";
    auto ids = Column(background_, 0);
    ASSERT_EQ(ids.size(), 12u);
    EXPECT_EQ(ids.front(), L"12");
    EXPECT_EQ(ids[2], L"10");
    EXPECT_EQ(ids[3], L"09");
    EXPECT_EQ(ids.back(), L"01");
    EXPECT_EQ(Column(favourites_, 0), (std::vector<std::wstring>{L"01"}));
}

TEST_F(Lyrabox, NoServerMeansNothingFound) {
    Scenario scenario;
    scenario.serverRunning = false;
    Serve(scenario);
    Launch();
    LookUp(L"10001");
    EXPECT_EQ(TextOf(group_), kAllMissing);
    EXPECT_EQ(ListRowCount(background_), 0);
}

TEST_F(Lyrabox, ThePromptItselfIsLookedUp) {
    Serve(Scenario{});
    Launch();
    EXPECT_EQ(TextOf(edit_), kPromptText);
    LookUp(L"", false);
    EXPECT_EQ(TextOf(group_), kAllMissing);
    auto requests = server_.Requests();
    std::string expected = std::string("/5.aspx?qq=") + "\xC7\xEB\xCA\xE4\xC8\xEB\xD2\xAA\xB2\xE9\xD1\xAF\xB5\xC4QQ";
    bool found = false;
    for (const auto& request : requests) found = found || request.target == expected;
    EXPECT_TRUE(found) << "the prompt's GBK bytes, unencoded";
}

TEST_F(Lyrabox, PromptClearsOnFocusAndReturnsWhenLeftEmpty) {
    Serve(Scenario{});
    Launch();
    FocusEdit();
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit_).empty(); }, 5000)) << "the prompt clears on focus";
    EXPECT_EQ(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 11) << "typing is limited to 11";
    ClickCentre(background_);  // focus moves to the list
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit_) == kPromptText; }, 5000)) << "the prompt returns";
    EXPECT_GT(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 11) << "no limit while the prompt shows";

    TypeNumber(L"123");
    ClickCentre(background_);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(main_) == background_; }, 5000));
    FocusEdit();
    EXPECT_EQ(TextOf(edit_), L"123") << "a typed number stays";
}

TEST_F(Lyrabox, SavedFileOfALookup) {
    LookupPage page;
    page.background = {{"U1", "T1", "S1"}, {"U2", "T2", "S2"}};
    Serve(WithPage("10001", page));
    Launch();
    LookUp(L"10001");
    // A number typed later, not looked up, does not change the file name.
    TypeNumber(L"777");
    ClickCentre(FindControl(main_, kSaveButtonControl));
    HWND box = WaitForBox(L"保存完成：");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"“LYRABOXMQ_10001.txt”已保存在软件运行目录下！");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ReadFileBytes(directory_ + L"LYRABOXMQ_10001.txt"),
              "10001\xA1\xBE\xB1\xB3\xBE\xB0\xD2\xF4\xC0\xD6\xC1\xD0\xB1\xED\xA1\xBF\r\n\r\n"
              "ID\xA3\xBA" "02\r\n\xB8\xE8\xCA\xD6\xC3\xFB\xA3\xBAS2\r\n\xB8\xE8\xC7\xFA\xC3\xFB\xA3\xBAT2\r\n"
              "\xD2\xF4\xC0\xD6\xB5\xD8\xD6\xB7\xA3\xBAU2\r\n\r\n"
              "ID\xA3\xBA" "01\r\n\xB8\xE8\xCA\xD6\xC3\xFB\xA3\xBAS1\r\n\xB8\xE8\xC7\xFA\xC3\xFB\xA3\xBAT1\r\n"
              "\xD2\xF4\xC0\xD6\xB5\xD8\xD6\xB7\xA3\xBAU1\r\n\r\n"
              "\r\n"
              "10001\xA1\xBE\xCA\xD5\xB2\xD8\xD2\xF4\xC0\xD6\xC1\xD0\xB1\xED\xA1\xBF\r\n\r\n"
              "\xC3\xBB\xD3\xD0\xB7\xA2\xCF\xD6\xA1\xB0\xCA\xD5\xB2\xD8\xD2\xF4\xC0\xD6\xA1\xB1\xA3\xA1\r\n");
}

TEST_F(Lyrabox, SaveBeforeAnyLookupHasNoNumber) {
    Serve(Scenario{});
    Launch();
    ClickCentre(FindControl(main_, kSaveButtonControl));
    HWND box = WaitForBox(L"保存完成：");
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDOK);
    std::string bytes = ReadFileBytes(directory_ + L"LYRABOXMQ_.txt");
    EXPECT_EQ(bytes.rfind("\xA1\xBE", 0), 0u) << "the heading begins with 【";
}

// Every file in a folder whose name starts with prefix.
std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& prefix = L"") {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + prefix + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

// Numbers pasted into the box that would name a file elsewhere, a stream,
// a pattern or a name with a control character: the save says it failed
// and writes nothing anywhere. "CON" is an ordinary part of a name.
TEST_F(Lyrabox, ANumberThatIsNoPlainFileNameIsNotSaved) {
    Serve(Scenario{});
    Launch();
    const std::wstring parent = FolderOf(directory_);
    HWND saved = FindControl(main_, kSavedNumberEditControl);
    DeleteFileW((parent + L"esc.txt").c_str());
    for (const std::wstring number : {L"\\..\\..\\esc", L"a/b", L"1:s", L"1\t2", L"?*\"<>|"}) {
        SCOPED_TRACE(Utf8(number));
        FocusEdit();
        // Pasted again should the clipboard have been emptied under it.
        ASSERT_TRUE(WaitFor([&] {
            SendMessageW(edit_, EM_SETSEL, 0, -1);
            SetClipboardToMarker(number);
            PressKey('V', VK_CONTROL);
            return WaitFor([&] { return TextOf(edit_) == number; }, 1000);
        }, 10000)) << "pasted " << Utf8(TextOf(edit_));
        // Such a number may not reach the server as a lookup's address at all.
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return LookupFinished() && TextOf(saved) == number; }, kDeadline)) << "looked up";
        ClickCentre(FindControl(main_, kSaveButtonControl));
        HWND box = WaitForBox(L"失败提醒：");
        ASSERT_NE(box, nullptr) << "the failure box";
        EXPECT_EQ(MessageBoxText(box), L"保存失败！");
        AnswerMessageBox(box, IDOK);
        ASSERT_TRUE(WaitFor([&] { return MessageBoxes().empty(); }, kDeadline));
        EXPECT_EQ(FilesIn(directory_, L"LYRABOXMQ_"), std::vector<std::wstring>{}) << "nothing beside the program";
        EXPECT_EQ(FilesIn(parent, L"esc"), std::vector<std::wstring>{}) << "nothing above it";
    }
    LookUp(L"CON");
    ClickCentre(FindControl(main_, kSaveButtonControl));
    HWND box = WaitForBox(L"保存完成：");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"“LYRABOXMQ_CON.txt”已保存在软件运行目录下！");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ReadFileBytes(directory_ + L"LYRABOXMQ_CON.txt").rfind("CON\xA1\xBE", 0), 0u);
}

// Run from a folder whose name GBK cannot write (Hangul, Thai), the program
// looks up and saves beside itself.
TEST_F(Lyrabox, AProgramInAFolderOutsideGbkLooksUpAndSaves) {
    LookupPage page = Page(2, 1);
    Serve(WithPage("10001", page));
    const std::wstring folder = directory_ + L"한국어 ภาษาไทย\\";
    for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + name).c_str());
    LaunchCopyIn(folder);
    LookUp(L"10001");
    EXPECT_EQ(ListRows(background_), ShownRows(page.background));
    ClickCentre(FindControl(main_, kSaveButtonControl));
    HWND box = WaitForBox(L"保存完成：");
    ASSERT_NE(box, nullptr) << "saved";
    AnswerMessageBox(box, IDOK);
    std::string saved = ReadFileBytes(folder + L"LYRABOXMQ_10001.txt");
    EXPECT_EQ(saved.rfind("10001\xA1\xBE", 0), 0u);
    EXPECT_NE(saved.find(page.favourites[0].address), std::string::npos);
    EndProgram();
    for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(Lyrabox, CopyingCellsAndRows) {
    LookupPage page;
    page.background = {{"U1", "T1", "S1"}};
    Serve(WithPage("5", page));
    Launch();
    LookUp(L"5");
    // No selection: the singer header copies the empty text.
    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 1);
    EXPECT_TRUE(WaitFor([] { return ClipboardText().empty(); }, 5000)) << Utf8(ClipboardText());

    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 0);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"ID：\r\n歌手名：\r\n歌曲名：\r\n音乐地址：\r\n"; }, 5000));

    ClickRow(background_, 0);
    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 2);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"T1"; }, 5000)) << Utf8(ClipboardText());
    EXPECT_EQ(ClipboardGbkBytes(), "T1");

    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 0);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"ID：01\r\n歌手名：S1\r\n歌曲名：T1\r\n音乐地址：U1\r\n"; }, 5000));

    SetClipboardToMarker(L"marker");
    ClickRow(background_, 0, true);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"U1"; }, 5000)) << "double click copies the address";
}

struct UpdateCase {
    const char* version;
    bool markers;
    bool prompts;
};

class UpdateCheck : public Lyrabox, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UpdateCheck, PromptsOnlyForANewerVersion) {
    Scenario scenario;
    scenario.announcement.version = GetParam().version;
    scenario.announcement.markers = GetParam().markers;
    scenario.pages["1"] = Page(1, 1);
    Serve(scenario);
    Launch();
    if (GetParam().prompts) {
        HWND box = WaitForBox(L"更新提示：");
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(IsWindowVisible(main_)) << "the window hides while the box shows";
        AnswerMessageBox(box, IDCANCEL);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main_) != FALSE; }, kDeadline)) << "Cancel brings it back";
    } else {
        // A whole lookup later still no box: the check has long finished.
        LookUp(L"1");
        EXPECT_TRUE(MessageBoxes().empty());
        EXPECT_TRUE(IsWindowVisible(main_));
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, UpdateCheck,
                         ::testing::Values(UpdateCase{"1.0", true, false}, UpdateCase{"1.1", true, true},
                                           UpdateCase{"v1.1", true, false}, UpdateCase{"1.1", false, false},
                                           UpdateCase{"1.0000001", true, true}));

TEST_F(Lyrabox, ForcedUpdateEndsTheProgramWhateverTheAnswer) {
    for (int answer : {IDCANCEL, IDOK}) {
        Scenario scenario;
        scenario.announcement.version = "1.1";
        scenario.announcement.forced = "\xC7\xBF\xD6\xC6";  // 强制
        scenario.announcement.downloadUrl = "file:///c:/windows/notepad.exe";
        Serve(scenario);
        Launch();
        HWND box = WaitForBox(L"更新提示（强制更新）：");
        ASSERT_NE(box, nullptr);
        AnswerMessageBox(box, answer);
        EXPECT_EQ(ExitCode(), 0u);
        EndProgram();
        server_.Stop();
    }
}

TEST_F(Lyrabox, ClosingDuringASlowLookupEndsCleanly) {
    Scenario scenario = WithPage("9", Page(3, 3));
    scenario.lookupDelay = 3000;
    Serve(scenario);
    Launch();
    StartLookUp(L"9");
    CloseExpectingACleanEnd();
}

TEST_F(Lyrabox, EnterAndTheQueryButtonDuringALookupDoNothing) {
    LookupPage page = Page(3, 2);
    Scenario scenario = WithPage("8", page);
    scenario.lookupDelay = 6000;
    Serve(scenario);
    Launch();
    StartLookUp(L"8");
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(group_); }, kDeadline)) << "the query group is disabled";
    // The focus is still in the number box, which looks enabled: nothing of this may reach it.
    PressKey(VK_RETURN);
    TypeText(L"5");
    ClickCentre(FindControl(main_, kQueryButtonControl));
    PressKey(VK_RETURN);
    // The input was given well inside the lookup: the server still holds its answer.
    ASSERT_FALSE(IsWindowEnabled(group_)) << "the lookup ended before the input was given";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline)) << "status " << Utf8(TextOf(group_));
    EXPECT_EQ(LookupRequests(), 1u) << "exactly one request";
    EXPECT_EQ(TextOf(edit_), L"8") << "typing during the lookup did not reach the box";
    EXPECT_EQ(TextOf(group_), kDone);
    EXPECT_EQ(Column(background_, 0), (std::vector<std::wstring>{L"03", L"02", L"01"}));
    EXPECT_EQ(Column(favourites_, 0), (std::vector<std::wstring>{L"02", L"01"}));
    EXPECT_EQ(ListCell(background_, 0, 3), FromGbk(page.background[2].address));
    EXPECT_EQ(ListCell(favourites_, 1, 1), FromGbk(page.favourites[0].singer));
}

// A quick second Enter, or Enter and a click on the query button, given in
// one batch: all of it is queued before the program handles the first
// press, and only that press looks up.
TEST_F(Lyrabox, AQuickSecondPressOrClickStartsNoSecondLookup) {
    LookupPage page = Page(3, 2);
    Scenario scenario = WithPage("8", page);
    scenario.lookupDelay = 300;  // a second lookup would ask long before the first ends
    Serve(scenario);
    Launch();
    TypeNumber(L"8");
    HWND button = FindControl(main_, kQueryButtonControl);
    for (int round = 1; round <= 4; ++round) {
        for (bool click : {false, true}) {
            SCOPED_TRACE(testing::Message() << "round " << round << (click ? ", Enter and a click" : ", two Enters"));
            size_t before = LookupRequests();
            FocusEdit();
            MovePointerToCentre(button);
            InputBatch batch;
            batch.Key(VK_RETURN);
            if (click) batch.Click(button);
            else batch.Key(VK_RETURN);
            batch.Send();
            ASSERT_TRUE(WaitFor([&] { return LookupRequests() > before; }, kDeadline)) << "request sent";
            ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline)) << "status " << Utf8(TextOf(group_));
            EXPECT_EQ(LookupRequests(), before + 1) << "exactly one request";
            EXPECT_EQ(ListRows(background_), ShownRows(page.background));
            EXPECT_EQ(ListRows(favourites_), ShownRows(page.favourites));
        }
    }
}

// The group comes back only after the lookup has written its final status
// and the number a save will name: a person typing the next number, or the
// next lookup, meets neither half-done. Watched without pause, since the
// wrong order shows for about a millisecond.
TEST_F(Lyrabox, TheGroupComesBackAfterTheFinalStatusAndTheSavedNumber) {
    Scenario scenario;
    const std::wstring numbers[] = {L"31", L"32", L"33", L"34", L"35"};
    for (const std::wstring& number : numbers) scenario.pages[Utf8(number)] = Page(2, 1);
    scenario.lookupDelay = 300;
    Serve(scenario);
    Launch();
    HWND saved = FindControl(main_, kSavedNumberEditControl);
    for (const std::wstring& number : numbers) {
        SCOPED_TRACE(Utf8(number));
        StartLookUp(number);
        ASSERT_TRUE(SpinUntil([&] { return IsWindowEnabled(group_) != FALSE; }, kDeadline)) << "the group comes back";
        EXPECT_EQ(TextOf(group_), kDone);
        EXPECT_EQ(TextOf(saved), number);
    }
}

// Closing (and answering the closing box with Cancel) at several moments of
// a 5,000-song fill: the program ends with code 0 and no other box, every
// time. The stress target runs this many times over.
TEST_F(Lyrabox, ClosingWhileALongPageFillsEndsCleanly) {
    for (int rowsBeforeClosing : {0, 1, 2500}) {
        SCOPED_TRACE(rowsBeforeClosing);
        Serve(WithPage("7", Page(5000, 0)));
        Launch();
        ASSERT_NO_FATAL_FAILURE(StartLookUp(L"7"));
        if (rowsBeforeClosing > 0) {
            WaitFor([&] { return ListRowCount(background_) >= rowsBeforeClosing || LookupFinished(); }, kDeadline);
        }
        ASSERT_NO_FATAL_FAILURE(CloseExpectingACleanEnd());
        EXPECT_TRUE(MessageBoxes().empty());
        EndProgram();
        server_.Stop();
    }
}

}  // namespace
}  // namespace lyra::test
