// High contrast: the main window's self-painted parts in the system's
// colours while the mode is on, in the template's colours again once it is
// off, and painted again when either changes.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/windows/support/main_window_units.h"
#include "window_units/contrast.h"

namespace lyra::test {
namespace {

bool On() { return true; }

// System colours of the test's own choosing, the system's own again afterwards.
class SystemColours {
public:
    SystemColours(std::initializer_list<std::pair<int, COLORREF>> colours) {
        for (const auto& [index, colour] : colours) {
            indexes_.push_back(index);
            saved_.push_back(GetSysColor(index));
            chosen_.push_back(colour);
        }
        SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), chosen_.data());
    }
    ~SystemColours() { SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), saved_.data()); }

private:
    std::vector<int> indexes_;
    std::vector<COLORREF> saved_, chosen_;
};

constexpr COLORREF kFace = RGB(0, 0, 96);
constexpr COLORREF kText = RGB(255, 255, 0);
constexpr COLORREF kWindow = RGB(0, 64, 0);
constexpr COLORREF kWindowText = RGB(255, 255, 255);
constexpr COLORREF kLink = RGB(0, 255, 255);

// The template's own colours that high contrast replaces.
constexpr COLORREF kTitleBlue = RGB(0x00, 0x50, 0xC0);
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kSaveFace = RGB(0x00, 0x88, 0xFF);
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool Near(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) <= 40 && abs(GetGValue(a) - GetGValue(b)) <= 40 &&
           abs(GetBValue(a) - GetBValue(b)) <= 40;
}

class HighContrast : public ::testing::Test {
protected:
    ~HighContrast() override { SetHighContrastQuery(nullptr); }

    // What the screen shows of a window's client area once waiting paints
    // are done: nothing is painted again unless something asked for it.
    std::vector<COLORREF> Pixels(HWND window) {
        PumpWaiting();
        RECT client;
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(dc, x, y));
        }
        ReleaseDC(window, dc);
        return pixels;
    }
    int Count(HWND window, COLORREF colour) {
        int count = 0;
        for (COLORREF pixel : Pixels(window)) count += Near(pixel, colour);
        return count;
    }
    // Pixels of a red caption, smoothed into its background.
    int Reddish(HWND window) {
        int count = 0;
        for (COLORREF c : Pixels(window)) count += GetRValue(c) >= 200 && GetGValue(c) <= 130 && GetBValue(c) <= 130;
        return count;
    }
    // The background: a pixel near the bottom right corner, clear of
    // texts, edges and a list's header.
    COLORREF Background(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        std::vector<COLORREF> pixels = Pixels(window);
        return pixels[static_cast<size_t>((client.bottom - 4) * client.right + client.right - 4)];
    }

    // What Windows sends a top-level window when the mode or the colours change.
    void Switch(bool on) {
        SetHighContrastQuery(on ? &On : nullptr);
        SendMessageW(units_.Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        SendMessageW(units_.Main(), WM_SYSCOLORCHANGE, 0, 0);
        PumpWaiting();
    }

    MainWindowUnits units_;
};

TEST_F(HighContrast, TheSelfPaintedPartsTakeTheSystemColoursAndGiveThemBack) {
    HWND title = units_.Handle(units::kBackgroundTitle), link = units_.Handle(units::kMakerLink);
    HWND save = units_.Handle(units::kSaveButton), query = units_.Handle(units::kQueryButton);
    HWND group = units_.Handle(units::kQueryGroup), list = units_.Handle(units::kBackgroundList);
    HWND edit = units_.Handle(units::kNumberEdit);
    ASSERT_GT(Count(title, kTitleBlue), 10) << "the template's colours while the mode is off";
    ASSERT_GT(Count(link, kLinkBlue), 10);
    ASSERT_EQ(Background(save), kSaveFace);
    ASSERT_EQ(Background(list), kWhite);

    {
        SystemColours colours{{COLOR_BTNFACE, kFace}, {COLOR_BTNTEXT, kText}, {COLOR_WINDOW, kWindow},
                              {COLOR_WINDOWTEXT, kWindowText}, {COLOR_HOTLIGHT, kLink}};
        Switch(true);
        EXPECT_EQ(Background(units_.Main()), kFace) << "the window";
        EXPECT_EQ(Background(title), kFace);
        EXPECT_GT(Count(title, kText), 10) << "a label's caption";
        EXPECT_EQ(Count(title, kTitleBlue), 0);
        EXPECT_GT(Count(link, kLink), 10) << "the link";
        EXPECT_EQ(Count(link, kLinkBlue), 0);
        EXPECT_EQ(Background(save), kFace) << "a button face";
        EXPECT_GT(Count(save, kText), 10);
        EXPECT_EQ(Count(save, kSaveFace), 0);
        EXPECT_GT(Count(query, kText), 10) << "a picture face shows the button's name instead";
        EXPECT_GT(Count(group, kText), 10) << "the group's caption";
        EXPECT_EQ(Background(list), kWindow) << "a list";
        PropertyValue stored;
        ASSERT_TRUE(units_.Unit(units::kBackgroundList)->GetProperty(3, &stored));
        EXPECT_EQ(stored.number, 0x00FFFFFF) << "the list's own colour is still what a read answers";
        EXPECT_EQ(Background(edit), kWindow) << "the number box";

        // The lookup's red status stays in the system's colour.
        units_.Unit(units::kQueryGroup)->SetProperty(2, PropertyValue{0x000000FF, {}});
        EXPECT_GT(Count(group, kText), 10);
        EXPECT_EQ(Reddish(group), 0);

        // The focus mark of a focused button is drawn in the button's text colour too.
        int unfocused = Count(query, kText);
        SetFocus(query);
        PumpWaiting();
        EXPECT_GT(Count(query, kText), unfocused + 100);

        Switch(false);
    }
    Switch(false);
    EXPECT_GT(Count(title, kTitleBlue), 10) << "the template's colours again";
    EXPECT_GT(Count(link, kLinkBlue), 10);
    EXPECT_EQ(Background(save), kSaveFace);
    EXPECT_EQ(Background(list), kWhite);
    EXPECT_GT(Reddish(group), 10) << "the status colour the lookup wrote";
}

}  // namespace
}  // namespace lyra::test
