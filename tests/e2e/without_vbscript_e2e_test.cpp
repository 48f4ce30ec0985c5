// Lookups where VBScript is switched off: every page of one table is looked
// up and saved twice, by the program as shipped and by a copy of it for
// which Wine's per-program DLL overrides switch the VBScript library off
// (where the program's own RegExp class does the matching), and both show
// the same rows and status and save the same bytes.
#include "tests/e2e/support/program_fixture.h"

namespace lyra::test {
namespace {

// The copy of the program that runs without VBScript, by its file name.
const wchar_t kWithoutVBScript[] = L"lyrabox_e2e_without_vbscript.exe";
const wchar_t kProbeFolder[] = L"vbscript_probe";

enum class LineEnds { Crlf, Lf, Cr };

struct PageCase {
    const char* name;
    int background;
    int favourites;
    LineEnds lineEnds;
    const std::wstring* status;
};

const PageCase kPages[] = {
    {"BothHalvesCrlf", 3, 2, LineEnds::Crlf, &kDone},
    {"BothHalvesLf", 12, 1, LineEnds::Lf, &kDone},
    {"BothHalvesCrOnly", 2, 3, LineEnds::Cr, &kDone},
    {"BackgroundOnly", 3, 0, LineEnds::Crlf, &kNoFavourites},
    {"FavouritesOnly", 0, 2, LineEnds::Lf, &kNoBackground},
    {"NoSongs", 0, 0, LineEnds::Crlf, &kAllMissing},
};

// What a person sees and keeps after one lookup and a save.
struct Seen {
    std::wstring status;
    std::vector<std::vector<std::wstring>> rows[2];  // background, favourites: every cell
    std::string saved;
};

class WithoutVBScript : public Lyrabox, public ::testing::WithParamInterface<PageCase> {
protected:
    // The copy of the program without VBScript, and a copy of the probe
    // under the same name, which must find the class gone.
    void SetUp() override {
        Lyrabox::SetUp();
        ASSERT_TRUE(vbscriptOff_.ok());
        const std::wstring probeFolder = directory_ + kProbeFolder;
        CreateDirectoryW(probeFolder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((directory_ + L"lyrabox_e2e.exe").c_str(),
                              (directory_ + kWithoutVBScript).c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((directory_ + L"vbscript_probe.exe").c_str(),
                              (probeFolder + L"\\" + kWithoutVBScript).c_str(), FALSE));
        ASSERT_EQ(RunToEnd(directory_ + L"vbscript_probe.exe"), 0u) << "VBScript.RegExp can be created";
        ASSERT_EQ(RunToEnd(probeFolder + L"\\" + kWithoutVBScript), 1u)
            << "VBScript.RegExp cannot be created without VBScript";
    }

    Seen LookUpAndSave(const wchar_t* program) {
        Seen seen;
        Launch(program);
        if (HasFatalFailure()) return seen;
        LookUp(L"10001");
        seen.status = TextOf(group_);
        HWND lists[2] = {background_, favourites_};
        for (int half = 0; half < 2; ++half) {
            for (int row = 0; row < ListRowCount(lists[half]); ++row) {
                std::vector<std::wstring> cells;
                for (int column = 0; column < 4; ++column) cells.push_back(ListCell(lists[half], row, column));
                seen.rows[half].push_back(cells);
            }
        }
        ClickCentre(FindControl(main_, kSaveButtonControl));
        HWND box = WaitForBox(L"保存完成：");
        EXPECT_NE(box, nullptr) << "the save box";
        if (box != nullptr) AnswerMessageBox(box, IDOK);
        const std::wstring file = directory_ + L"LYRABOXMQ_10001.txt";
        seen.saved = ReadFileBytes(file);
        DeleteFileW(file.c_str());
        EndProgram();
        return seen;
    }

    DllOverrides vbscriptOff_{kWithoutVBScript, {L"vbscript"}, L""};
};

TEST_P(WithoutVBScript, ALookupShowsAndSavesWhatItDoesWithVBScript) {
    const PageCase& c = GetParam();
    LookupPage page = Page(c.background, c.favourites);
    page.crlf = c.lineEnds == LineEnds::Crlf;
    page.crOnly = c.lineEnds == LineEnds::Cr;
    Serve(WithPage("10001", page));

    const Seen withVBScript = LookUpAndSave(kAsShipped);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(withVBScript.status, *c.status);
    EXPECT_EQ(withVBScript.rows[0].size(), static_cast<size_t>(c.background));
    EXPECT_EQ(withVBScript.rows[1].size(), static_cast<size_t>(c.favourites));

    const Seen without = LookUpAndSave(kWithoutVBScript);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(without.status, withVBScript.status);
    EXPECT_EQ(without.rows[0], withVBScript.rows[0]);
    EXPECT_EQ(without.rows[1], withVBScript.rows[1]);
    EXPECT_EQ(without.saved, withVBScript.saved);
    EXPECT_FALSE(without.saved.empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, WithoutVBScript, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lyra::test
