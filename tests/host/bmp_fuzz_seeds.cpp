// Writes a few well-formed BMP files into the directory given, as the seeds
// of the BMP fuzz target.
#include <cstdio>
#include <string>

#include "test_support/bmp_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    using lyra::test::BmpFields;
    BmpFields eight;
    eight.bitCount = 8;
    eight.tableBytes = 1024;
    BmpFields four;
    four.bitCount = 4;
    four.coloursUsed = 3;
    four.tableBytes = 12;
    BmpFields masks;
    masks.bitCount = 16;
    masks.compression = 3;
    masks.tableBytes = 12;
    BmpFields v5;
    v5.infoSize = 124;
    v5.bitCount = 32;
    v5.compression = 3;
    v5.height = -3;
    BmpFields deep;
    deep.coloursUsed = 2;
    deep.tableBytes = 8;
    const BmpFields seeds[] = {BmpFields{}, eight, four, masks, v5, deep};
    int n = 0;
    for (const BmpFields& fields : seeds) {
        std::string file = lyra::test::BuildBmp(fields);
        std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++) + ".bmp";
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return 1;
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    return 0;
}
