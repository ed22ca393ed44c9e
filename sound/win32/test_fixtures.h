#pragma once
// The MP3 fixtures in sound/test_data, found from this header's own path (a Unix path under Wine).

#include <string>

namespace sound {

inline std::string Fixture(const std::string& name) {
    std::string folder = __FILE__;
    folder = folder.substr(0, folder.find_last_of("/\\"));
    folder = folder.substr(0, folder.find_last_of("/\\")) + "/test_data/";
    if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
    for (char& c : folder)
        if (c == '/') c = '\\';
    return folder + name;
}

}  // namespace sound
