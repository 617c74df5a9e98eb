// Three or more mutually coupled inductors, which the netlist's K (a
// pair) cannot hold, written with the netlist's own elements.
//
// Inductor j of a group carries the current i_j and has the voltage
//   v_j = s L_j i_j + sum over k != j of s M_jk i_k,   M_jk = k_jk sqrt(L_j L_k).
// Each inductor keeps its own L in series with a 0 V source that senses
// i_j; each mutual term is the current i_k (F of gain 1, or -1 for a
// negative M_jk, sensing inductor k) driven into an inductor |M_jk| to
// ground, whose voltage s M_jk i_k an E of gain 1 adds in series with
// inductor j (|M_jk| keeps that branch's admittance of the size of the
// circuit's own). Pairs coupled by one K alone
// stay K elements.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "analysis/spice/spice_flatten.h"
#include "common/numtext.h"

namespace analysis::spice {
namespace {

[[noreturn]] void refuse_at(const FlatElement& e, const std::string& why) {
    refuse(*e.line, e.instance, why);
}

struct Groups {
    std::vector<std::size_t> parent;
    std::size_t root(std::size_t i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    }
};

}  // namespace

void realise_coupled_groups(FlatCircuit& c) {
    std::vector<FlatElement>& all = c.elements;
    std::map<std::string, std::size_t> inductor;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].kind == 'l') inductor.emplace(all[i].name, i);
    Groups g{std::vector<std::size_t>(all.size())};
    std::iota(g.parent.begin(), g.parent.end(), 0);
    std::map<std::size_t, int> couplings;  // group root -> K lines in it
    std::vector<std::size_t> ks;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind != 'k') continue;
        const auto a = inductor.find(all[i].control), b = inductor.find(all[i].control2);
        if (a == inductor.end() || b == inductor.end() || a->second == b->second) continue;  // told later
        ks.push_back(i);
        g.parent[g.root(a->second)] = g.root(b->second);
    }
    for (std::size_t k : ks) ++couplings[g.root(inductor.at(all[k].control))];
    // The groups that the K element cannot hold: more than two inductors.
    std::map<std::size_t, std::vector<std::size_t>> members;  // root -> inductors, in deck order
    for (const auto& [name, i] : inductor)
        if (couplings.count(g.root(i))) members[g.root(i)].push_back(i);
    std::map<std::size_t, bool> large;
    for (auto& [root, list] : members) {
        std::sort(list.begin(), list.end());
        large[root] = list.size() > 2;
    }
    if (std::none_of(large.begin(), large.end(), [](const auto& p) { return p.second; })) return;

    // Mutual inductances of the large groups: M[j][k].
    std::map<std::size_t, std::map<std::size_t, Real>> mutual;
    std::map<std::size_t, std::string> k_names;  // group root -> its K lines, for the note
    for (std::size_t k : ks) {
        const std::size_t a = inductor.at(all[k].control), b = inductor.at(all[k].control2);
        if (!large[g.root(a)]) continue;
        const FlatElement& e = all[k];
        if (mutual[a].count(b))
            refuse_at(e, "o par " + all[a].name + ", " + all[b].name + " já está acoplado por outro K");
        if (!(std::fabs(e.value) < 1))
            refuse_at(e, "o coeficiente de acoplamento deve ter módulo menor que 1");
        if (!(all[a].value > 0 && all[b].value > 0))  // sqrt(L_j L_k) real
            refuse_at(e,
                      "indutâncias acopladas devem ser positivas para serem representadas com mais de dois "
                      "indutores");
        const Real m = e.value * std::sqrt(all[a].value * all[b].value);
        mutual[a][b] = mutual[b][a] = m;
        std::string& listed = k_names[g.root(a)];
        listed += (listed.empty() ? "" : ", ") + e.name;
    }

    std::vector<FlatElement> out;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const FlatElement& e = all[i];
        if (e.kind == 'k' && inductor.count(e.control) && large[g.root(inductor.at(e.control))]) continue;
        if (e.kind != 'l' || !large.count(g.root(i)) || !large[g.root(i)]) {
            out.push_back(e);
            continue;
        }
        const auto part = [&](char kind, const std::string& suffix) {
            FlatElement p = e;
            p.kind = kind;
            p.name = e.name + suffix;
            p.control.clear();
            return p;
        };
        // a -> sense -> L -> one E per mutual term -> b
        FlatElement sense = part('v', "#i");
        sense.nodes = {e.nodes[0], e.name + "#a"};
        sense.value = 0;
        out.push_back(sense);
        FlatElement self = e;
        self.nodes = {e.name + "#a", e.name + "#b"};
        std::string from = e.name + "#b";
        const std::map<std::size_t, Real>& row = mutual[i];
        std::size_t left = row.size();
        out.push_back(self);
        if (left == 0) out.back().nodes[1] = e.nodes[1];
        for (const auto& [k, m] : row) {
            const std::string leaf = all[k].name.substr(all[k].name.rfind('.') + 1);
            const std::string x = e.name + "#x" + leaf;
            FlatElement copy = part('f', "#f" + leaf);  // +-i_k into x
            copy.nodes = {"0", x};
            copy.control = all[k].name + "#i";
            copy.value = m < 0 ? -1 : 1;
            out.push_back(copy);
            FlatElement unit = part('l', "#m" + leaf);  // |M|: V(x) = s M i_k
            unit.nodes = {x, "0"};
            unit.value = std::fabs(m);
            out.push_back(unit);
            FlatElement add = part('e', "#e" + leaf);  // in series with inductor j
            const std::string to = --left == 0 ? e.nodes[1] : e.name + "#c" + leaf;
            add.nodes = {from, to, x, "0"};
            add.value = 1;
            out.push_back(add);
            from = to;
        }
    }
    for (const auto& [root, list] : members) {
        if (!large[root]) continue;
        std::string names;
        for (std::size_t l : list) names += (names.empty() ? "" : ", ") + all[l].name;
        c.notes.push_back("Indutores acoplados " + names + " (" + k_names[root] +
                          "): cada um em série com as tensões s·M·i dos outros, feitas por F, L de |M| e E");
    }
    all = std::move(out);
}

void realise_ports(FlatCircuit& c) {
    const FlatElement* first = nullptr;
    for (const FlatElement& e : c.elements)
        if (e.kind == 'p' && (!first || e.port < first->port)) first = &e;
    if (!first) return;
    const std::string excited = first->name;
    std::vector<FlatElement> out;
    for (const FlatElement& e : c.elements) {
        if (e.kind != 'p') {
            out.push_back(e);
            continue;
        }
        FlatElement r = e;
        r.kind = 'r';
        std::string note = e.name + ": porta " + suite::format_general(e.port) + ", ";
        if (e.name == excited) {
            FlatElement v = r;
            v.kind = 'v';
            v.name = e.name + "#v";
            v.nodes = {e.nodes[0], e.name + "#a"};
            v.value = e.amplitude;
            out.push_back(v);
            r.name = e.name + "#z0";
            r.nodes[0] = e.name + "#a";
            note += "fonte AC de " + suite::format_general(e.amplitude) +
                    " V atrás de Z0 = " + suite::format_general(e.value) +
                    " ohms (a porta de menor número é a excitada)";
        } else {
            r.name = e.name + "#z0";
            note += "terminação Z0 = " + suite::format_general(e.value) + " ohms";
        }
        out.push_back(r);
        c.notes.push_back(note);
    }
    c.elements = std::move(out);
}

}  // namespace analysis::spice
