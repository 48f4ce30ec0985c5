// The program's own button pictures and sounds, drawn and synthesised here
// when the template is compiled. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyra {

// "超级按钮_查询": 90 x 26 GIF files, normal and mouse-over looks.
std::string QueryButtonNormalGif();
std::string QueryButtonHotGif();
// "超级按钮_说明" and "超级按钮_关于": 35 x 35, 32-bit BMP files.
std::string HelpButtonBmp();
std::string AboutButtonBmp();
// Their short sounds: RIFF/WAVE files, 8-bit mono PCM.
std::string HelpButtonWave();
std::string AboutButtonWave();

// ---- Encoders, exposed for the tests ----

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Canvas {
    int width;
    int height;
    std::vector<Rgb> pixels;  // rows top to bottom
    Canvas(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Rgb& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A GIF89a file of the canvas; the canvas may use at most 256 colours.
std::string EncodeGif(const Canvas& canvas);
// A bottom-up 32-bit BMP file, alpha 255.
std::string EncodeBmp32(const Canvas& canvas);
// 8-bit mono PCM samples (128 = silence) in a RIFF/WAVE file.
std::string EncodeWave(const std::string& samples, uint32_t sampleRate);

}  // namespace lyra
