// The files of a translation: the deck read, the netlist written beside
// it, and what the log says about them.
#include <cmath>
#include <vector>

#include "analysis/spice/spice_translate.h"
#include "analysis/spice/spice_values.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis::spice {
namespace {

const std::string marker = "* Traduzido do deck SPICE ";

bool ends_with_ci(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    return lower_case(text.substr(text.size() - end.size())) == end;
}

std::string frequency(Real hz) { return suite::format_general(hz) + " Hz"; }

bool digits(const std::string& word, std::size_t most) {
    if (word.empty() || word.size() > most) return false;
    for (const char ch : word)
        if (ch < '0' || ch > '9') return false;
    return true;
}

// A drawing of the schematic editor, also named .cir, begins with an
// element: a name of at most five characters and the numbers of its points
// ("R1 16705 16449 1", "* 3330 3331 a comment"). A deck begins with its
// title; a refused one whose title reads so is told it may be a drawing.
bool looks_like_drawing(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char ch : text.substr(0, text.find('\n'))) {
        if (ch == ' ' || ch == '\r' || ch == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words.size() >= 3 && words[0].size() <= 5 && digits(words[1], 5) && digits(words[2], 5);
}

}  // namespace

SpiceTranslation translate_spice_file(const std::string& deck_path,
                                      const std::vector<OpAmpReplacement>& opamps) {
    const std::string text = suite::read_text(deck_path);
    try {
        return translate_spice(text, deck_path, load_text_file, opamps);
    } catch (const suite::IoError& refusal) {
        if (!looks_like_drawing(text)) throw;
        throw suite::IoError(deck_path +
                             " parece um desenho do editor de esquemas, não um deck SPICE: gere o netlist no "
                             "plaxew (ou com plaxe --netlist) e abra-o.\n" +
                             refusal.portuguese());
    }
}

bool is_spice_deck_name(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string file = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string extension = lower_case(file.substr(dot));
    return extension == ".cir" || extension == ".sp" || extension == ".spi" || extension == ".ckt";
}

std::string parse_opamp_replacement(const std::string& text, OpAmpReplacement& r) {
    const std::size_t equal = text.find('=');
    if (equal == std::string::npos || equal == 0)
        return "--opamp " + text + ": write SUBCKT=GB[,RO[,IN+,IN-,OUT]]";
    std::vector<std::string> fields;
    for (std::size_t start = equal + 1;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(
            lower_case(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    OpAmpReplacement out;
    out.subckt = lower_case(text.substr(0, equal));
    const std::string head = "--opamp " + text + ": ";
    if (fields.size() != 1 && fields.size() != 2 && fields.size() != 5)
        return head + "write SUBCKT=GB[,RO[,IN+,IN-,OUT]]";
    if (!parse_spice_number(fields[0], out.gb_hz) || !(out.gb_hz > 1))
        return head + "the gain-bandwidth product must be a number of hertz above 1";
    if (fields.size() >= 2 &&
        (!parse_spice_number(fields[1], out.ro) || !(out.ro > 0) || !std::isfinite(out.ro)))
        return head + "the output resistance must be a number of ohms above 0";
    if (fields.size() == 5) {
        out.ports.assign(fields.begin() + 2, fields.end());
        for (const std::string& p : out.ports)
            if (p.empty()) return head + "a port name is empty";
    }
    r = out;
    return {};
}

std::string spice_netlist_name(const std::string& deck_path) {
    const std::size_t slash = deck_path.find_last_of('/');
    const std::size_t file = slash == std::string::npos ? 0 : slash + 1;
    if (ends_with_ci(deck_path, ".net")) return deck_path.substr(0, deck_path.size() - 4) + ".spice.net";
    const std::size_t dot = deck_path.rfind('.');
    if (dot == std::string::npos || dot < file || dot == file) return deck_path + ".net";
    return deck_path.substr(0, dot) + ".net";
}

bool is_translated_netlist(const std::string& path) {
    try {
        if (!suite::file_exists(path)) return false;
        const std::vector<std::string> lines = suite::read_text_lines(path);
        return lines.size() >= 2 && lines[1].compare(0, marker.size(), marker) == 0;
    } catch (const suite::IoError&) {
        return false;
    }
}

void write_translated_netlist(const std::string& path, const SpiceTranslation& t) {
    suite::write_text_file(path, t.netlist);
}

std::vector<std::string> translation_report(const SpiceTranslation& t, const std::string& deck_path,
                                            const std::string& netlist_path) {
    std::vector<std::string> lines;
    lines.push_back("Deck SPICE " + deck_path + " traduzido em " + netlist_path + ": " +
                    std::to_string(t.node_names.size() - 1) + " nós, " + std::to_string(t.elements.size()) +
                    " elementos.");
    if (t.sweep.present) {
        lines.push_back("Varredura do deck: " + t.sweep.line + " (" + frequency(t.sweep.fmin) + " a " +
                        frequency(t.sweep.fmax) + ", " + std::to_string(t.sweep.segments) +
                        " segmentos, escala " + (t.sweep.log_scale ? "log" : "linear") + ")");
        if (!t.sweep.adjustment.empty()) lines.push_back(t.sweep.adjustment);
    }
    return lines;
}

}  // namespace analysis::spice

namespace analysis::spice {

std::string singular_system_advice(Real frequency, bool hertz, Real smallest_pivot, Real tolerance,
                                   bool window) {
    const std::string at =
        "O sistema é singular a " + suite::format_general(frequency) + (hertz ? " Hz" : " rad/s");
    if (!(smallest_pivot > 0) || !std::isfinite(smallest_pivot))
        return at +
               ": um pivô é nulo, o circuito é singular de fato (um nó sem caminho à terra, um laço de "
               "fontes de tensão, um corte de fontes de corrente) e nenhuma tolerância o resolve.";
    // Two decades below the pivot, as a power of ten.
    const Real suggested = std::pow(10.0L, std::floor(std::log10(smallest_pivot)) - 2);
    const std::string where =
        window ? "em \"Parâmetros\" (\"Tolerância para impedâncias e tensões\"), por exemplo " +
                     suite::format_general(suggested)
               : "com --tol-pivot " + suite::format_general(suggested);
    std::string size = suite::format_scientific(smallest_pivot, 11);  // three digits
    size.erase(0, size.find_first_not_of(' '));
    return at + ": o menor pivô tem tamanho " + size + ", abaixo da tolerância " +
           suite::format_general(tolerance) +
           ". Se o circuito tem valores muito grandes ou muito pequenos, uma tolerância menor o resolve: " +
           where + ".";
}

}  // namespace analysis::spice
