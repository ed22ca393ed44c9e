#include "tools/skin_compiler/skin_source.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "skin_engine/legibility.h"

namespace skin_compiler {
namespace {

using skin_engine::Rgb;

struct Definition {
    std::string expression;
    std::string where;  // "file.skin:line", for messages
};

using Definitions = std::map<std::string, Definition>;

std::string Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return std::string(text.substr(begin, end - begin));
}

void ReadDefinitions(const std::string& name, const SourceLoader& load, std::set<std::string>& chain,
                     Definitions& into) {
    if (!chain.insert(name).second) throw SkinSourceError(name + ".skin: inherits from itself");
    const std::optional<std::string> text = load(name);
    if (!text) throw SkinSourceError(name + ".skin: no such skin source");
    std::istringstream lines(*text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = name + ".skin:" + std::to_string(number);
        const std::string content = Trim(line);
        if (content.empty() || content[0] == '#') continue;
        const size_t equals = content.find('=');
        if (equals == std::string::npos) throw SkinSourceError(where + ": expected 'key = value'");
        const std::string key = Trim(content.substr(0, equals));
        const std::string value = Trim(content.substr(equals + 1));
        if (key.empty() || value.empty()) throw SkinSourceError(where + ": expected 'key = value'");
        if (key == "inherit") {
            ReadDefinitions(value, load, chain, into);
        } else {
            into[key] = {value, where};
        }
    }
    chain.erase(name);
}

// Evaluates expressions, resolving @names through the definitions on demand.
class Evaluator {
public:
    explicit Evaluator(const Definitions& definitions) : definitions_(definitions) {}

    Rgb colourOf(const std::string& key) {
        if (auto known = colours_.find(key); known != colours_.end()) return known->second;
        const Definition& definition = lookUp(key, "");
        if (!inProgress_.insert(key).second)
            throw SkinSourceError(definition.where + ": '" + key + "' refers to itself");
        Parser parser{*this, definition.expression, definition.where};
        const Rgb colour = parser.wholeColour();
        inProgress_.erase(key);
        colours_[key] = colour;
        return colour;
    }

    const Definition& lookUp(const std::string& key, const std::string& from) {
        auto found = definitions_.find(key);
        if (found == definitions_.end()) {
            throw SkinSourceError((from.empty() ? std::string("skin") : from) + ": '" + key + "' is not defined");
        }
        return found->second;
    }

private:
    struct Parser {
        Evaluator& evaluator;
        const std::string& text;
        const std::string& where;
        size_t at = 0;

        [[noreturn]] void fail(const std::string& what) const {
            throw SkinSourceError(where + ": " + what + " in '" + text + "'");
        }
        void skipSpace() {
            while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        }
        bool accept(char c) {
            skipSpace();
            if (at < text.size() && text[at] == c) {
                ++at;
                return true;
            }
            return false;
        }
        void expect(char c) {
            if (!accept(c)) fail(std::string("expected '") + c + "'");
        }
        std::string word() {
            skipSpace();
            const size_t begin = at;
            while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) || text[at] == '.' ||
                                        text[at] == '_' || text[at] == '-')) {
                ++at;
            }
            return text.substr(begin, at - begin);
        }
        double percent() {
            const std::string digits = word();
            char* end = nullptr;
            const double value = std::strtod(digits.c_str(), &end);
            if (digits.empty() || *end != '\0' || value < 0 || value > 100) fail("expected a percentage 0 to 100");
            return value / 100.0;
        }
        Rgb hex() {
            const std::string digits = word();
            unsigned value = 0;
            if (digits.size() != 6 || std::sscanf(digits.c_str(), "%6x", &value) != 1 ||
                digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                fail("expected #rrggbb");
            }
            return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
        }
        Rgb colour() {
            if (accept('#')) return hex();
            if (accept('@')) {
                const std::string key = word();
                evaluator.lookUp(key, where);
                return evaluator.colourOf(key);
            }
            const std::string function = word();
            expect('(');
            const Rgb first = colour();
            Rgb result;
            if (function == "lighten" || function == "darken") {
                expect(',');
                result = skin_engine::Mix(first, function == "lighten" ? Rgb{255, 255, 255} : Rgb{0, 0, 0}, percent());
            } else if (function == "mix") {
                expect(',');
                const Rgb second = colour();
                expect(',');
                result = skin_engine::Mix(first, second, percent());
            } else if (function == "readable") {
                expect(',');
                const Rgb light = colour();
                expect(',');
                const Rgb dark = colour();
                result =
                    skin_engine::ContrastRatio(first, light) >= skin_engine::ContrastRatio(first, dark) ? light : dark;
            } else {
                fail("unknown function '" + function + "'");
            }
            expect(')');
            return result;
        }
        Rgb wholeColour() {
            const Rgb result = colour();
            skipSpace();
            if (at != text.size()) fail("unexpected text after the colour");
            return result;
        }
    };

    const Definitions& definitions_;
    std::map<std::string, Rgb> colours_;
    std::set<std::string> inProgress_;
};

int32_t MetricValue(skin_engine::Metric metric, const Definition& definition) {
    const skin_engine::MetricRule& rule = skin_engine::MetricRuleOf(metric);
    for (size_t i = 0; i < rule.words.size(); ++i) {
        if (!rule.words[i].empty() && rule.words[i] == definition.expression) return static_cast<int32_t>(i);
    }
    char* end = nullptr;
    const long value = std::strtol(definition.expression.c_str(), &end, 10);
    if (definition.expression.empty() || *end != '\0' || value < rule.minimum || value > rule.maximum) {
        throw SkinSourceError(definition.where + ": " + std::string(rule.name) + " must be " +
                              std::to_string(rule.minimum) + " to " + std::to_string(rule.maximum) +
                              (rule.words[0].empty() ? "" : " or one of its words"));
    }
    return static_cast<int32_t>(value);
}

}  // namespace

skin_engine::SkinLook CompileSkinSource(const std::string& name, const SourceLoader& load) {
    Definitions definitions;
    std::set<std::string> chain;
    ReadDefinitions(name, load, chain, definitions);

    skin_engine::SkinLook look;
    if (auto found = definitions.find("name"); found != definitions.end()) look.name = found->second.expression;
    Evaluator evaluator(definitions);
    for (size_t role = 0; role < skin_engine::kColourRoleCount; ++role) {
        const std::string key(skin_engine::ColourRoleName(static_cast<skin_engine::ColourRole>(role)));
        evaluator.lookUp(key, name + ".skin");
        look.colours[role] = evaluator.colourOf(key);
    }
    for (size_t metric = 0; metric < skin_engine::kMetricCount; ++metric) {
        const auto which = static_cast<skin_engine::Metric>(metric);
        const std::string key(skin_engine::MetricRuleOf(which).name);
        look.metrics[metric] = MetricValue(which, evaluator.lookUp(key, name + ".skin"));
    }
    return look;
}

std::string GeneratePackageTable(const std::vector<std::string>& skinNames,
                                 const std::vector<std::vector<uint8_t>>& packages) {
    std::ostringstream out;
    out << "// Generated by the skin compiler from resources/skins/. Do not edit.\n"
        << "#include \"skins/skin_package_table.h\"\n\nnamespace skins {\nnamespace {\n";
    for (size_t i = 0; i < packages.size(); ++i) {
        out << "\n// Skin " << i + 1 << ": " << skinNames[i] << "\nconst uint8_t kSkin" << i + 1 << "[] = {";
        for (size_t b = 0; b < packages[i].size(); ++b) {
            out << (b % 16 == 0 ? "\n    " : " ") << static_cast<int>(packages[i][b]) << ",";
        }
        out << "\n};\n";
    }
    out << "\n}  // namespace\n\nconst std::array<SkinPackage, kSkinCount> SkinPackageTable = {{\n";
    for (size_t i = 0; i < packages.size(); ++i) {
        out << "    {kSkin" << i + 1 << ", sizeof(kSkin" << i + 1 << ")},\n";
    }
    out << "}};\n\n}  // namespace skins\n";
    return out.str();
}

}  // namespace skin_compiler
