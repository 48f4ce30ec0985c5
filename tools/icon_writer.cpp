// Writes the program's icon file: lyrabox_icon_writer OUT.ico
#include <cstdio>

#include "data/program_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.ico\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> icon = lyra::ProgramIconFile();
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(icon.data(), 1, icon.size(), file) == icon.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
