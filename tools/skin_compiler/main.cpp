// The skin compiler: reads resources/skins/NN-name.skin (01 to 33), checks that every text of
// every skin is legible, and writes the C++ source of skins::SkinPackageTable.
//
//   skin_compiler <skin source folder> <output .cpp> [<folder for the .skinpkg files>]

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "skin_engine/legibility.h"
#include "skin_engine/skin_package.h"
#include "skins/skin_package_table.h"
#include "tools/skin_compiler/skin_source.h"

namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The numbered sources, skin 1 first; fails unless they run 01 to 33 without gaps.
std::vector<std::string> NumberedSources(const fs::path& folder) {
    std::vector<std::string> names(skins::kSkinCount);
    const std::regex numbered(R"((\d\d)-[a-z0-9-]+)");
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::smatch match;
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() != ".skin" || !std::regex_match(stem, match, numbered)) continue;
        const int number = std::stoi(match[1]);
        if (number < 1 || number > skins::kSkinCount || !names[number - 1].empty()) {
            throw skin_compiler::SkinSourceError(stem + ".skin: number out of 01 to 33, or taken twice");
        }
        names[number - 1] = stem;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) throw skin_compiler::SkinSourceError("no source for skin " + std::to_string(i + 1));
    }
    return names;
}

bool WriteFileIfChanged(const fs::path& path, const std::string& content) {
    if (ReadText(path) == content) return true;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file);
}

int Compile(const fs::path& folder, const fs::path& output, const fs::path& packageFolder) {
    const auto load = [&](const std::string& name) { return ReadText(folder / (name + ".skin")); };
    const std::vector<std::string> sources = NumberedSources(folder);
    std::vector<std::string> titles;
    std::vector<std::vector<uint8_t>> packages;
    bool legible = true;
    for (const std::string& source : sources) {
        const skin_engine::SkinLook look = skin_compiler::CompileSkinSource(source, load);
        for (const auto& fault : skin_engine::FindLegibilityFaults(look)) {
            std::cerr << (folder / (source + ".skin")).string() << ": " << fault.describe() << "\n";
            legible = false;
        }
        titles.push_back(look.name.empty() ? source : look.name);
        packages.push_back(skin_engine::PackSkin(look));
        if (!packageFolder.empty())
            WriteFileIfChanged(packageFolder / (source + ".skinpkg"),
                               std::string(packages.back().begin(), packages.back().end()));
    }
    if (!legible) return 1;
    if (!WriteFileIfChanged(output, skin_compiler::GeneratePackageTable(titles, packages))) {
        std::cerr << output.string() << ": cannot write\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: skin_compiler <skin source folder> <output .cpp> [<package folder>]\n";
        return 2;
    }
    try {
        return Compile(argv[1], argv[2], argc == 4 ? fs::path(argv[3]) : fs::path());
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
