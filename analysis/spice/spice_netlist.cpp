// The flat circuit of a deck as the suite's netlist: node numbers, short
// names, current sensing, coupled pairs and the sweep.
#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "analysis/spice/spice_flatten.h"
#include "analysis/spice/spice_translate.h"
#include "common/numtext.h"

namespace analysis::spice {
namespace {

constexpr int max_name = 5;

std::string upper_case(std::string text) {
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

bool is_plain(const std::string& name) {
    for (char ch : name)
        if (!((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_')) return false;
    return !name.empty();
}

std::string leaf_of(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

// The shortest text that reads back as the same Real; without an
// exponent when that is not much longer (500000 rather than 5e+05).
std::string number(Real x) {
    char buffer[128];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, x);
    std::string shortest(buffer, r.ptr);
    const Real size = std::fabs(x);
    if (shortest.find('e') == std::string::npos || size < 1e-4L || size >= 1e15L) return shortest;
    const auto f = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed);
    return std::string(buffer, f.ptr);
}

std::string cut(const std::string& text, std::size_t size) { return shortened(text, size); }

// One line of the netlist to be: the element it comes from, its kind
// letter, its nodes and values.
struct Output {
    std::size_t element;  // index into the flat elements
    char kind;            // upper-case letter of the netlist
    std::vector<std::string> nodes;
    std::vector<Real> values;
    std::string name;  // the netlist name, set when names are given out
};

class Emitter {
public:
    Emitter(const FlatCircuit& flat) : flat_(flat) {}

    SpiceTranslation emit(const std::string& deck_name, const std::string& title) {
        index_names();
        sense_chains();
        couplings();
        number_nodes();
        outputs();
        give_names();
        return text(deck_name, title);
    }

private:
    const FlatCircuit& flat_;
    std::map<std::string, std::size_t> by_name_;
    std::map<std::size_t, std::vector<std::size_t>> controllers_;       // V -> its F and H, in order
    std::map<std::size_t, std::pair<std::string, std::string>> sense_;  // F, H -> the branch it senses
    std::map<std::size_t, std::string> source_end_;  // V that stays, with controllers -> its other node
    std::map<std::size_t, std::size_t> coupled_by_;  // L -> its K
    std::map<std::string, int> node_number_;
    std::vector<std::string> node_names_{"0"};
    std::vector<Output> out_;
    std::vector<std::string> removed_;  // lines of the map for sources whose current only is sensed

    const FlatElement& at(std::size_t i) const { return flat_.elements[i]; }
    [[noreturn]] void refuse_at(std::size_t i, const std::string& why) const {
        refuse(*at(i).line, at(i).instance, why);
    }

    void index_names() {
        for (std::size_t i = 0; i < flat_.elements.size(); ++i) {
            const auto [it, fresh] = by_name_.emplace(at(i).name, i);
            if (!fresh)
                refuse_at(i, "o nome " + at(i).name + " já foi usado na linha " +
                                 std::to_string(at(it->second).line->number));
        }
    }

    std::size_t find(std::size_t from, const std::string& name, char kind, const std::string& what) const {
        const auto found = by_name_.find(name);
        if (found == by_name_.end()) refuse_at(from, what + " " + name + " não existe");
        if (at(found->second).kind != kind)
            refuse_at(from, name + " não é " + (kind == 'v' ? "uma fonte de tensão (V)" : "um indutor (L)"));
        return found->second;
    }

    // F and H sense the current of a V source: the source's branch becomes
    // a chain of the source (unless it is 0 V, a pure ammeter) and one
    // short circuit per controlled source, joined by internal nodes.
    void sense_chains() {
        for (std::size_t i = 0; i < flat_.elements.size(); ++i)
            if (at(i).kind == 'f' || at(i).kind == 'h')
                controllers_[find(i, at(i).control, 'v', "a fonte de controle")].push_back(i);
    }

    void couplings() {
        for (std::size_t i = 0; i < flat_.elements.size(); ++i) {
            if (at(i).kind != 'k') continue;
            const std::size_t a = find(i, at(i).control, 'l', "o indutor");
            const std::size_t b = find(i, at(i).control2, 'l', "o indutor");
            if (a == b) refuse_at(i, "um indutor não pode ser acoplado a si mesmo");
            // Groups of more than two are written without K before this.
            for (std::size_t l : {a, b})
                if (coupled_by_.count(l))
                    refuse_at(i, "o indutor " + at(l).name + " já está acoplado a " +
                                     at(l == a ? b : a).name + " por " + at(coupled_by_[l]).name);
            if (!(std::fabs(at(i).value) < 1))
                refuse_at(i, "o coeficiente de acoplamento deve ter módulo menor que 1");
            if ((at(a).value < 0) != (at(b).value < 0))
                refuse_at(i, "indutâncias acopladas de sinais opostos não são representáveis");
            coupled_by_[a] = coupled_by_[b] = i;
        }
    }

    int node(const std::string& name) {
        if (name == "0") return 0;
        const auto [it, fresh] = node_number_.emplace(name, static_cast<int>(node_names_.size()));
        if (fresh) node_names_.push_back(name);
        return it->second;
    }

    // Deck nodes in order of first appearance, then the internal nodes of
    // the sensing chains.
    void number_nodes() {
        for (const FlatElement& e : flat_.elements)
            for (const std::string& n : e.nodes) node(n);
        for (const auto& [v, list] : controllers_) {
            const FlatElement& source = at(v);
            const bool keeps_source = source.value != 0;
            std::string from = source.nodes[0];
            int joint = 0;
            const auto next_joint = [&] {
                const std::string n = source.name + "#" + std::to_string(++joint);
                node(n);
                return n;
            };
            if (keeps_source) {
                from = next_joint();
                source_end_[v] = from;
            }
            for (std::size_t k = 0; k < list.size(); ++k) {
                const std::string to = k + 1 == list.size() ? source.nodes[1] : next_joint();
                sense_[list[k]] = {from, to};
                from = to;
            }
            if (!keeps_source) {
                std::string names;
                for (std::size_t c : list) names += (names.empty() ? "" : ", ") + at(c).name;
                removed_.push_back(source.name + ": 0 V, só mede a corrente de " + names);
            }
        }
    }

    void outputs() {
        for (std::size_t i = 0; i < flat_.elements.size(); ++i) {
            const FlatElement& e = at(i);
            Output o{i, static_cast<char>(e.kind - 'a' + 'A'), e.nodes, {e.value}, ""};
            switch (e.kind) {
                case 'l':
                    if (coupled_by_.count(i)) continue;
                    break;
                case 'v':
                    if (controllers_.count(i)) {
                        if (!source_end_.count(i)) continue;
                        o.nodes = {e.nodes[0], source_end_[i]};
                    }
                    break;
                case 'f':
                case 'h':
                    o.nodes = {e.nodes[0], e.nodes[1], sense_[i].first, sense_[i].second};
                    break;
                case 'a':
                    o.values = {e.value, e.resistance};
                    break;
                case 'k': {
                    const FlatElement& a = at(by_name_.at(e.control));
                    const FlatElement& b = at(by_name_.at(e.control2));
                    o.nodes = {a.nodes[0], a.nodes[1], b.nodes[0], b.nodes[1]};
                    o.values = {a.value, b.value, e.value};
                    break;
                }
                default:
                    break;
            }
            out_.push_back(o);
        }
    }

    // Names of at most five characters, unique, with the kind letter
    // first: a top-level name that fits is kept; any other is cut to five
    // characters, or becomes the letter and the first free number.
    void give_names() {
        std::set<std::string> used;
        std::vector<bool> kept(out_.size(), false);
        for (std::size_t k = 0; k < out_.size(); ++k) {
            const std::string& deck = at(out_[k].element).name;
            const std::string upper = upper_case(deck);
            if (deck.find('.') == std::string::npos && deck.size() <= max_name && is_plain(upper) &&
                upper[0] == out_[k].kind && used.insert(upper).second) {
                out_[k].name = upper;
                kept[k] = true;
            }
        }
        for (std::size_t k = 0; k < out_.size(); ++k) {
            if (kept[k]) continue;
            const std::string short_leaf = upper_case(leaf_of(at(out_[k].element).name)).substr(0, max_name);
            if (is_plain(short_leaf) && short_leaf[0] == out_[k].kind && used.insert(short_leaf).second) {
                out_[k].name = short_leaf;
                continue;
            }
            for (int n = 1;; ++n) {
                const std::string candidate = std::string(1, out_[k].kind) + std::to_string(n);
                if (used.insert(candidate).second) {
                    out_[k].name = candidate;
                    break;
                }
            }
        }
    }

    SpiceTranslation text(const std::string& deck_name, const std::string& title) {
        SpiceTranslation t;
        t.title = title;
        t.node_names = node_names_;
        t.notes = flat_.notes;
        std::vector<std::string>& n = t.netlist;
        n.push_back(std::to_string(node_names_.size() - 1));
        n.push_back("* Traduzido do deck SPICE " + cut(deck_name, 200));
        if (!title.empty()) n.push_back("* Título: " + cut(title, 200));
        n.push_back("* Nós do deck (número no netlist = nome no deck):");
        for (std::size_t k = 1; k < node_names_.size(); ++k)
            n.push_back("*   " + std::to_string(k) + " = " + cut(node_names_[k], 200));
        std::vector<std::string> renamed;
        for (const Output& o : out_) {
            const std::string& deck = at(o.element).name;
            t.elements.push_back({o.name, deck});
            if (o.name != upper_case(deck)) renamed.push_back("*   " + o.name + " = " + cut(deck, 200));
        }
        for (const auto& [l, k] : coupled_by_)
            renamed.push_back("*   " + at(l).name + ": no acoplamento " + at(k).name);
        for (const std::string& r : removed_) renamed.push_back("*   " + cut(r, 240));
        if (!renamed.empty()) {
            n.push_back("* Elementos do deck com outro nome (nome no netlist = nome no deck):");
            n.insert(n.end(), renamed.begin(), renamed.end());
        }
        if (flat_.ac) n.push_back("* Varredura do deck: " + cut(flat_.ac->line->text, 200));
        for (const std::string& note : flat_.notes) n.push_back("* " + cut(note, 240));
        for (const Output& o : out_) {
            std::string line = o.name;
            for (const std::string& node_name : o.nodes)
                line += " " + std::to_string(node_number_.count(node_name) ? node_number_.at(node_name) : 0);
            for (Real v : o.values) line += " " + number(v);
            n.push_back(line);
        }
        return t;
    }
};

std::string base_name(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// dec and oct: the points per decade or octave over the band; lin: the
// points less one. Even, 2..1000, as the sweep takes them; an odd count
// is doubled when it fits, so that every point of the deck is a point of
// the sweep.
AcSweep sweep_of(const AcLine& ac) {
    AcSweep s;
    s.present = true;
    s.log_scale = ac.kind != "lin";
    s.fmin = ac.fstart;
    s.fmax = ac.fstop;
    s.line = ac.line->text;
    Real implied = ac.points - 1;
    if (ac.kind == "dec") implied = ac.points * std::log10(ac.fstop / ac.fstart);
    if (ac.kind == "oct") implied = ac.points * std::log2(ac.fstop / ac.fstart);
    const Real rounded = std::round(implied);
    const bool whole = std::fabs(implied - rounded) < 1e-6L * std::fmax(1.0L, rounded);
    long long n = static_cast<long long>(std::fmin(rounded, 1e9L));
    long long segments = n;
    if (segments < 2)
        segments = 2;
    else if (segments % 2 != 0)
        segments = 2 * segments <= 1000 ? 2 * segments : segments - 1;
    if (segments > 1000) segments = 1000;
    s.segments = static_cast<int>(segments);
    if (!whole || segments != n)
        s.adjustment = "Varredura do deck: " + s.line + " pede " +
                       suite::format_general(whole ? rounded : implied) + " segmentos; ajustado para " +
                       std::to_string(segments) + " (número par, de 2 a 1000).";
    return s;
}

}  // namespace

SpiceTranslation translate_spice(const std::string& deck_text, const std::string& deck_path,
                                 const FileLoader& load, const std::vector<OpAmpReplacement>& opamps) {
    const DeckText deck = read_deck(deck_text, deck_path, load);
    FlatCircuit flat = flatten_deck(deck, opamps);
    realise_coupled_groups(flat);
    realise_ports(flat);
    SpiceTranslation t = Emitter(flat).emit(base_name(deck_path), deck.title);
    if (flat.ac) t.sweep = sweep_of(*flat.ac);
    return t;
}

int find_spice_node(const SpiceTranslation& t, const std::string& name) {
    std::string n = name;
    for (char& ch : n)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (n == "0" || n == "gnd") return 0;
    for (std::size_t k = 1; k < t.node_names.size(); ++k)
        if (t.node_names[k] == n) return static_cast<int>(k);
    return -1;
}

}  // namespace analysis::spice
