// SuperBtn under Wine: clicks, the three looks with their pictures, the
// enter and click sounds, focus events and property clamps.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "data/button_media.h"
#include "runtime/memory.h"
#include "test_support/bmp_builder.h"
#include "test_support/component_host.h"
#include "test_support/message_sequence.h"
#include "window_units/component_support.h"
#include "window_units/components/picture.h"
#include "window_units/components/sound.h"
#include "window_units/components/super_btn.h"

namespace lyra::test {
namespace {

constexpr uint32_t kButtonUnit = 0x16014A38;

std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::string NormalGif() { return Bytes(QueryButtonPicture(false)); }
std::string HotGif() { return Bytes(QueryButtonPicture(true)); }
std::string EnterWave() { return Bytes(MouseEnterSound()); }
std::string ClickWave() { return Bytes(ClickSound()); }

// A pixel of a decoded picture.
COLORREF PicturePixel(const std::string& file, int x, int y) {
    HBITMAP bitmap = DecodePicture(file, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return colour;
}

std::mutex gSoundsMutex;
std::vector<std::string> gSounds;  // "builtin" for the built-in sound

void RecordSound(const std::string* wave) {
    std::lock_guard<std::mutex> lock(gSoundsMutex);
    gSounds.push_back(*wave == BuiltInSound() ? "builtin" : *wave);
}

std::vector<std::string> Sounds() {
    std::lock_guard<std::mutex> lock(gSoundsMutex);
    return gSounds;
}

class SuperBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        EventLog::Instance().Clear();
        {
            std::lock_guard<std::mutex> lock(gSoundsMutex);
            gSounds.clear();
        }
        SetSoundPlayer(&RecordSound);
    }
    void TearDown() override {
        button_.reset();
        SetSoundPlayer(nullptr);
    }

    // The "查询" button as the program's template has it.
    static SuperBtnProperties QueryButton() {
        SuperBtnProperties p;
        p.pictures[kLookNormal].file = NormalGif();
        p.pictures[kLookHot].file = HotGif();
        p.colours[0] = {0, 0x00F0F0F0};
        p.colours[1] = {0, 0x00FFFFFF};
        p.colours[2] = {0, 0x00F0F0F0};
        p.enterSound = EnterWave();
        p.clickSound = ClickWave();
        return p;
    }

    void Create(const SuperBtnProperties& properties, int width = 90, int height = 26, DWORD style = WS_TABSTOP) {
        button_.reset();
        std::vector<uint8_t> block = WriteSuperBtnBlock(properties);
        auto create = reinterpret_cast<CreateOperation>(SuperBtnInterface(kOpCreate));
        CreateArgs args = MakeCreateArgs(host_.handle(), block, kButtonUnit, 20, 20, width, height);
        args.style = style;
        button_.reset(create(args));
        ASSERT_NE(button_, nullptr);
        ShowWindow(button_->Handle(), SW_SHOWNA);
        UpdateWindow(button_->Handle());
        PumpWaiting();
    }
    SuperBtnComponent* button() { return static_cast<SuperBtnComponent*>(button_.get()); }
    HWND handle() { return button_->Handle(); }

    void Click() {
        PostMessageW(handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageW(handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    }
    COLORREF PixelOnScreen(int x, int y) {
        RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(handle());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(handle(), dc);
        return colour;
    }

    std::vector<COLORREF> RowOnScreen(int y, int from, int to) {
        RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(handle());
        std::vector<COLORREF> row;
        for (int x = from; x < to; ++x) row.push_back(GetPixel(dc, x, y));
        ReleaseDC(handle(), dc);
        return row;
    }

    HostWindow host_;
    ComponentPtr button_;
};

TEST_F(SuperBtnTest, AClickRaisesEventZeroAndPlaysTheClickSound) {
    Create(QueryButton());
    Click();
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(0).empty(); }, 5000));
    auto clicks = EventLog::Instance().Events(0);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].unitId, kButtonUnit);
    EXPECT_TRUE(clicks[0].arguments.empty());
    auto sounds = Sounds();
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(sounds.back(), ClickWave()) << "the stored click sound";

    SendMessageW(handle(), BM_CLICK, 0, 0);
    PumpUntil([] { return EventLog::Instance().Events(0).size() >= 2; }, 5000);
    EXPECT_EQ(EventLog::Instance().Events(0).size(), 2u) << "a keyboard or programmatic click counts too";
}

TEST_F(SuperBtnTest, EnteringShowsTheMouseOverLookOnceAndLeavingRestoresIt) {
    Create(QueryButton());
    EXPECT_EQ(button()->CurrentLook(), kLookNormal);
    SendMessageW(handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    EXPECT_EQ(button()->CurrentLook(), kLookHot);
    auto sounds = Sounds();
    ASSERT_EQ(sounds.size(), 1u) << "one enter sound per entry";
    EXPECT_EQ(sounds[0], EnterWave());
    SendMessageW(handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(button()->CurrentLook(), kLookNormal);
    SendMessageW(handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(button()->CurrentLook(), kLookPressed);
    SendMessageW(handle(), BM_SETSTATE, FALSE, 0);
}

TEST_F(SuperBtnTest, TheLooksShowTheirGifPictures) {
    Create(QueryButton());
    COLORREF normal = PicturePixel(NormalGif(), 45, 24), hot = PicturePixel(HotGif(), 45, 24);
    ASSERT_NE(normal, hot) << "the two looks differ there";
    EXPECT_EQ(PixelOnScreen(45, 24), normal);
    SendMessageW(handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(PixelOnScreen(45, 24), hot);
    SendMessageW(handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(PixelOnScreen(46, 25), normal) << "pressed: the normal picture, one pixel down and right";
    SendMessageW(handle(), BM_SETSTATE, FALSE, 0);
    SendMessageW(handle(), WM_MOUSELEAVE, 0, 0);
}

TEST_F(SuperBtnTest, TransparentPartsOfAPictureShowTheButtonFace) {
    SuperBtnProperties p;
    p.pictures[kLookNormal].file = Bytes(HelpButtonPicture());
    Create(p, 38, 38);
    EXPECT_EQ(PixelOnScreen(3, 3), GetSysColor(COLOR_BTNFACE)) << "outside the round badge";
    EXPECT_EQ(PixelOnScreen(18, 18), PicturePixel(Bytes(HelpButtonPicture()), 17, 17)) << "inside it";
}

TEST_F(SuperBtnTest, ColoursAndCaptionWithoutPictures) {
    SuperBtnProperties p;
    p.caption = "保存音乐列表";
    p.colours[0] = {0x00FFFFFF, 0x00FF8800};
    p.colours[1] = {0x00FFFFFF, 0x000080FF};
    p.colours[2] = {0x00FFFFFF, 0x00FF8800};
    Create(p, 100, 30);
    wchar_t caption[32] = L"";
    GetWindowTextW(handle(), caption, 32);
    EXPECT_STREQ(caption, L"保存音乐列表");
    EXPECT_EQ(PixelOnScreen(4, 4), COLORREF{0x00FF8800});
    SendMessageW(handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(PixelOnScreen(4, 4), COLORREF{0x000080FF});
    SendMessageW(handle(), WM_MOUSELEAVE, 0, 0);
}

const MessageStep kBuiltInSoundsOnly[] = {
    {"builtin", "entering: the built-in sound, not the stored one"},
    {"builtin", "the click: the built-in sound, not the stored one"},
};

TEST_F(SuperBtnTest, TheBuiltInSoundSwitchReplacesTheStoredSounds) {
    SuperBtnProperties p = QueryButton();
    p.builtInSound = 1;
    Create(p);
    SendMessageW(handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(handle(), BM_CLICK, 0, 0);
    PumpWaiting();
    EXPECT_SEQUENCE(Sounds(), kBuiltInSoundsOnly);
}

// The built-in sound is a wave of its own: plain PCM, with a sound in it
// rather than silence.
TEST(BuiltInSound, IsAnAudiblePcmWave) {
    const std::string& wave = BuiltInSound();
    ASSERT_GT(wave.size(), 44u);
    EXPECT_EQ(wave.compare(0, 4, "RIFF"), 0);
    EXPECT_EQ(wave.compare(8, 8, "WAVEfmt "), 0);
    uint32_t riffSize, dataSize;
    std::memcpy(&riffSize, wave.data() + 4, 4);
    std::memcpy(&dataSize, wave.data() + 40, 4);
    EXPECT_EQ(riffSize, wave.size() - 8);
    EXPECT_EQ(dataSize, wave.size() - 44);
    int peak = 0;
    for (size_t at = 44; at + 1 < wave.size(); at += 2) {
        int16_t sample;
        std::memcpy(&sample, wave.data() + at, 2);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    EXPECT_GT(peak, 4000);
    WAVEFORMATEX format{};
    std::memcpy(&format, wave.data() + 20, 16);
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nBlockAlign * format.nSamplesPerSec, format.nAvgBytesPerSec);
    EXPECT_EQ(format.wBitsPerSample, 16);
}

TEST_F(SuperBtnTest, FocusEventsAndPropertyClamps) {
    Create(QueryButton());
    SetFocus(handle());
    SetFocus(host_.handle());
    PumpWaiting();
    EXPECT_EQ(EventLog::Instance().Events(-7).size(), 1u);
    EXPECT_EQ(EventLog::Instance().Events(-8).size(), 1u);

    PropertyValue v;
    v.number = 9;
    SetPropertyOp(button_.get(), 0, v);
    PropertyValue read;
    GetPropertyOp(button_.get(), 0, &read);
    EXPECT_EQ(read.number, 2) << "button type above 2 counts as 2";
    v.number = -4;
    SetPropertyOp(button_.get(), 3, v);
    GetPropertyOp(button_.get(), 3, &read);
    EXPECT_EQ(read.number, 0) << "picture alignment below 0 counts as 0";

    PropertyValue caption;
    caption.bytes = "查询";
    SetPropertyOp(button_.get(), 14, caption);
    wchar_t text[16] = L"";
    GetWindowTextW(handle(), text, 16);
    EXPECT_STREQ(text, L"查询");

    HWND before = handle();
    PropertyValue style;
    style.number = BS_MULTILINE;
    SetPropertyOp(button_.get(), 1, style);
    EXPECT_NE(handle(), before) << "a new style word recreates the button";
    EXPECT_TRUE(IsWindow(handle()));
    EXPECT_TRUE(GetWindowLongPtrW(handle(), GWL_STYLE) & BS_MULTILINE);
    GetWindowTextW(handle(), text, 16);
    EXPECT_STREQ(text, L"查询") << "the caption survives";
    SendMessageW(handle(), BM_CLICK, 0, 0);
    PumpUntil([] { return !EventLog::Instance().Events(0).empty(); }, 5000);
    EXPECT_EQ(EventLog::Instance().Events(0).size(), 1u) << "the new button still raises its clicks";

    auto* block = static_cast<uint8_t*>(PropertyDataOp(button_.get()));
    uint32_t size;
    std::memcpy(&size, block, 4);
    SuperBtnProperties properties;
    ASSERT_TRUE(ReadBlock(kSuperBtnTable, block + 4, size, &properties));
    FreeMemory(block);
    EXPECT_EQ(properties.caption, "查询");
    EXPECT_EQ(properties.buttonType, 2);
    EXPECT_EQ(properties.pictures[kLookHot].file, HotGif());
}

TEST_F(SuperBtnTest, AButtonThatIsNoTabStopIsClickedWithoutTakingTheFocus) {
    Create(QueryButton(), 90, 26, 0);
    HWND box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 200, 20, 100, 20, host_.handle(), nullptr,
                               nullptr, nullptr);
    SetForegroundWindow(host_.handle());
    SetFocus(box);
    ASSERT_EQ(GetFocus(), box);
    Click();
    ASSERT_TRUE(PumpUntil([] { return EventLog::Instance().Events(0).size() == 1; }, 5000));
    EXPECT_EQ(GetFocus(), box) << "the focus stays where it was";
    EXPECT_TRUE(EventLog::Instance().Events(-7).empty());

    // Pressed, then released outside: no click, as with any button.
    SendMessageW(handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(button()->CurrentLook(), kLookPressed);
    SendMessageW(handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 10));
    EXPECT_NE(button()->CurrentLook(), kLookPressed) << "the press lets go outside";
    SendMessageW(handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
    PumpWaiting();
    EXPECT_EQ(EventLog::Instance().Events(0).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(box);
}

TEST_F(SuperBtnTest, AFocusedPictureButtonShowsItAndEnterClicksIt) {
    Create(QueryButton());
    SetFocus(host_.handle());
    std::vector<COLORREF> unfocused = RowOnScreen(3, 0, 90);
    SetFocus(handle());
    EXPECT_NE(RowOnScreen(3, 0, 90), unfocused) << "a focus rectangle over the picture";
    PostMessageW(handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(PumpUntil([] { return EventLog::Instance().Events(0).size() == 1; }, 5000));
}

TEST(Pictures, BmpAndGifFilesDecodeAndOtherBytesDoNot) {
    SIZE size{};
    bool alpha = false;
    HBITMAP bmp = DecodePicture(Bytes(HelpButtonPicture()), &size, &alpha);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(size.cx, 35);
    EXPECT_EQ(size.cy, 35);
    EXPECT_TRUE(alpha) << "the badge's corners are transparent";
    DeleteObject(bmp);
    EXPECT_EQ(PicturePixel(Bytes(HelpButtonPicture()), 17, 17), RGB(61, 131, 220)) << "an opaque pixel keeps its colour";

    HBITMAP gif = DecodePicture(NormalGif(), &size, &alpha);
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(size.cx, 90);
    EXPECT_EQ(size.cy, 26);
    EXPECT_FALSE(alpha);
    DeleteObject(gif);
    EXPECT_EQ(PicturePixel(NormalGif(), 0, 10), RGB(30, 90, 168)) << "the frame colour";

    EXPECT_EQ(DecodePicture("", &size), nullptr);
    EXPECT_EQ(DecodePicture("not a picture at all", &size), nullptr);
    std::string cut = Bytes(HelpButtonPicture()).substr(0, 300);
    EXPECT_EQ(DecodePicture(cut, &size), nullptr) << "a bitmap cut short";
}

// Files whose headers name a colour table or masks the bytes do not hold:
// decoding and drawing refuse them instead of letting GDI read past them.
TEST(Pictures, BmpTablesBeyondTheFileAreRefused) {
    BmpFields noTable;
    noTable.bitCount = 8;
    BmpFields deepUsed;
    deepUsed.coloursUsed = 200;
    BmpFields masks;
    masks.bitCount = 32;
    masks.compression = BI_BITFIELDS;
    masks.bitsOffset = 14 + 40;
    BmpFields good;
    good.bitCount = 8;
    good.tableBytes = 1024;

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(dc, target);
    for (const BmpFields* fields : {&noTable, &deepUsed, &masks}) {
        std::string file = BuildBmp(*fields);
        SIZE size{};
        EXPECT_EQ(DecodePicture(file, &size), nullptr) << "depth " << fields->bitCount;
        EXPECT_FALSE(DrawBmpFile(dc, std::vector<uint8_t>(file.begin(), file.end()), 0, 0))
            << "depth " << fields->bitCount;
    }
    std::string file = BuildBmp(good);
    SIZE size{};
    HBITMAP decoded = DecodePicture(file, &size);
    EXPECT_NE(decoded, nullptr);
    EXPECT_EQ(size.cx, 2);
    if (decoded != nullptr) DeleteObject(decoded);
    EXPECT_TRUE(DrawBmpFile(dc, std::vector<uint8_t>(file.begin(), file.end()), 0, 0));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace lyra::test
