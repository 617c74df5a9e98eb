// Test helper: translates a deck held in memory, with included files
// looked up in a map instead of on disk.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "analysis/spice/spice_translate.h"
#include "common/errors.h"

namespace analysis::spice::testing {

using Files = std::map<std::string, std::string>;

inline SpiceTranslation translate(const std::string& deck, const Files& files = {}) {
    const FileLoader load = [&files](const std::string& path) -> std::optional<std::string> {
        const auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    };
    return translate_spice(deck, "/decks/test.cir", load);
}

// The message of the refusal, or "" when the deck was translated.
inline std::string refusal(const std::string& deck, const Files& files = {}) {
    try {
        translate(deck, files);
    } catch (const suite::IoError& e) {
        return e.what();
    }
    return "";
}

// The element lines of the netlist: every line after the first that is
// not a comment.
inline std::vector<std::string> element_lines(const SpiceTranslation& t) {
    std::vector<std::string> out;
    for (std::size_t k = 1; k < t.netlist.size(); ++k)
        if (t.netlist[k].empty() || t.netlist[k][0] != '*') out.push_back(t.netlist[k]);
    return out;
}

// The comment lines.
inline std::vector<std::string> comment_lines(const SpiceTranslation& t) {
    std::vector<std::string> out;
    for (std::size_t k = 1; k < t.netlist.size(); ++k)
        if (!t.netlist[k].empty() && t.netlist[k][0] == '*') out.push_back(t.netlist[k]);
    return out;
}

}  // namespace analysis::spice::testing
