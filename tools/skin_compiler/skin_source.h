#pragma once
// Skin sources: readable text files that the skin compiler turns into SkinLooks.
//
//   # a comment
//   inherit = base              take every line of base.skin first, then override it
//   name = Harbour Night
//   ink = #e8f0ff               any other key is a palette name for use below
//   window.top = @ink           a colour role, a metric or a palette name
//   button.hot.top = lighten(@accent, 12)
//
// Values: #rrggbb, @name, lighten(v, percent), darken(v, percent), mix(v, w, percent of w),
// readable(background, light, dark) (whichever of the two stands out more), or for metrics a
// number or one of the metric's words. Keys are resolved after all inheritance, so a skin that
// changes one palette name changes everything its base derives from it.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin_engine/skin_look.h"

namespace skin_compiler {

class SkinSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Returns the text of the source with that name (without ".skin"), or nothing if there is none.
using SourceLoader = std::function<std::optional<std::string>(const std::string& name)>;

// Throws SkinSourceError naming the file and line for unreadable, unknown, cyclic or incomplete
// definitions. Legibility is not checked here.
skin_engine::SkinLook CompileSkinSource(const std::string& name, const SourceLoader& load);

// The C++ source that defines skins::SkinPackageTable from the packages, skin 1 first.
std::string GeneratePackageTable(const std::vector<std::string>& skinNames,
                                 const std::vector<std::vector<uint8_t>>& packages);

}  // namespace skin_compiler
