// Prints the sound board's clips, one file name a line, in order of first use, so that the demo
// pack's own list can be checked against the catalogue the program is built with.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "sound/sound_catalogue.h"

int main() {
    std::vector<std::string> seen;
    for (const sound::SoundButton& button : sound::SoundCatalogue()) {
        if (button.action != sound::ButtonAction::Play) continue;
        if (std::find(seen.begin(), seen.end(), button.fileName) != seen.end()) continue;
        seen.push_back(button.fileName);
        std::cout << button.fileName << '\n';
    }
    return 0;
}
