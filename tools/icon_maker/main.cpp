// Draws the program's icon and writes it as a .ico file: icon_maker <output.ico>
#include <cstdio>
#include <fstream>
#include <vector>

#include "tools/icon_maker/icon_art.h"
#include "tools/icon_maker/ico_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_maker <output.ico>\n");
        return 2;
    }
    std::vector<icon_maker::Picture> pictures;
    std::vector<int> depths;
    for (const icon_maker::IconImageSpec& format : icon_maker::kProgramIconImages) {
        pictures.push_back(icon_maker::RenderIcon(format.size));
        depths.push_back(format.bitsPerPixel);
    }
    const std::vector<uint8_t> file = icon_maker::BuildIconFile(pictures, depths);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "icon_maker: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
