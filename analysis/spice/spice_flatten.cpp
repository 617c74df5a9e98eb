// The deck's structure (subcircuit definitions, parameters, commands) and
// its expansion into flat elements.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "analysis/spice/spice_scope.h"
#include "analysis/spice/spice_translate.h"
#include "common/errors.h"
#include "common/numtext.h"

namespace analysis::spice {
namespace {

constexpr int max_depth = 50;
constexpr std::size_t max_flat_elements = 20000;

// Commands that describe analyses, output or simulator settings: they do
// not change the small-signal circuit, and are told in the log.
bool is_ignored_command(const std::string& w) {
    static const std::set<std::string> names = {
        ".op",     ".tran",     ".dc",      ".noise", ".tf",        ".sens",    ".pz",      ".disto",
        ".four",   ".print",    ".plot",    ".probe", ".save",      ".meas",    ".measure", ".options",
        ".option", ".opt",      ".temp",    ".ic",    ".nodeset",   ".width",   ".title",   ".model",
        ".step",   ".backanno", ".csparam", ".endl",  ".spiceinit", ".control", ".endc"};
    return names.count(w) != 0;
}

struct Structure {
    Subckt top;
    std::set<std::string> globals;
    const DeckLine* ac = nullptr;
    std::vector<std::string> notes;
    Real temperature = 27, nominal_temperature = 27;
    std::map<std::string, UserFunction> functions;
};

// ".func NAME(A, B) {BODY}" (or "= BODY", or the body without braces).
void define_function(const DeckLine& line, Structure& st) {
    Fields f(line.text);
    f.word();
    const std::string name = lower_case(f.word());
    if (!is_parameter_name(name)) refuse(line, "", "falta o nome da função");
    if (!f.take('(')) refuse(line, "", "falta \"(\" depois de " + name);
    UserFunction u;
    while (!f.take(')')) {
        const std::string p = lower_case(f.word());
        if (!is_parameter_name(p)) refuse(line, "", "argumento inválido da função " + name);
        u.parameters.push_back(p);
        if (f.done()) refuse(line, "", "falta \")\" depois dos argumentos de " + name);
    }
    f.take('=');
    // The body is read when a value calls the function: one of node
    // voltages, for output lines, is no fault until then.
    if (f.done()) refuse(line, "", "falta o corpo da função " + name);
    if (f.at_expression()) {
        try {
            u.body = f.expression();
        } catch (const ValueError& e) {
            refuse(line, "", e.what());
        }
        if (!f.done()) refuse(line, "", "texto a mais depois da função " + name);
    } else {
        u.body = line.text.substr(f.position());
    }
    if (!st.functions.emplace(name, u).second) refuse(line, "", "a função " + name + " já foi definida");
}

// A temperature of .temp or .options: a number or an expression of
// numbers.
Real temperature_value(const DeckLine& line, Fields& f) {
    const ParameterLookup none = [](const std::string&) { return std::optional<Real>(); };
    try {
        const std::string text = f.at_expression() ? f.expression() : f.bare_expression();
        return evaluate_expression(text, none);
    } catch (const ValueError& e) {
        refuse(line, "", std::string("temperatura: ") + e.what());
    }
}

// ".temp T" and ".options ... temp=T tnom=T ...": whether the line sets
// a temperature.
bool temperature_settings(const DeckLine& line, Structure& st) {
    Fields f(line.text);
    const std::string command = lower_case(f.word());
    if (command == ".temp") {
        if (f.done()) refuse(line, "", "falta a temperatura");
        st.temperature = temperature_value(line, f);
        return true;
    }
    // Any other field: a word, an expression, a group or one character.
    const auto skip = [&f] {
        if (!f.word().empty()) return;
        if (f.at_expression())
            f.expression();
        else if (f.peek() == '(')
            f.skip_group();
        else
            f.take(f.peek());
    };
    bool sets = false;
    try {
        while (!f.done()) {
            if (!f.at_assignment()) {
                skip();
                continue;
            }
            const std::string key = lower_case(f.word());
            f.take('=');
            if (key == "temp" || key == "tnom") {
                (key == "temp" ? st.temperature : st.nominal_temperature) = temperature_value(line, f);
                sets = true;
            } else {
                skip();
            }
        }
    } catch (const ValueError& e) {
        refuse(line, "", e.what());
    }
    return sets;
}

std::string note_of(const DeckLine& line, const std::string& what) {
    std::string where = "linha " + std::to_string(line.number);
    if (!line.file.empty()) where += " de " + line.file;
    return what + ", " + where + ": " + shortened(line.text, 60);
}

// ".subckt NAME PORTS... [params:] P=V ..."
std::unique_ptr<Subckt> definition(const DeckLine& line, const Subckt* enclosing) {
    auto s = std::make_unique<Subckt>();
    s->line = &line;
    s->enclosing = enclosing;
    Fields f(line.text);
    f.word();
    s->name = lower_case(f.word());
    if (s->name.empty()) refuse(line, "", "falta o nome do subcircuito");
    bool in_params = false;
    while (!f.done()) {
        if (f.at_assignment()) {
            const std::string name = lower_case(f.word());
            f.take('=');
            if (!is_parameter_name(name)) refuse(line, "", "nome de parâmetro inválido: " + name);
            try {
                s->defaults.emplace_back(name, f.at_expression() ? f.expression() : f.bare_expression());
            } catch (const ValueError& e) {
                refuse(line, "", e.what());
            }
            in_params = true;
            continue;
        }
        const std::string w = lower_case(f.word());
        if (w == "params:") {
            in_params = true;
            continue;
        }
        if (w.empty() || in_params) refuse(line, "", "campo inesperado na linha .subckt");
        if (w == "0" || w == "gnd") refuse(line, "", "o terra não pode ser um terminal do subcircuito");
        s->ports.push_back(w);
    }
    return s;
}

Structure structure_of(const DeckText& deck) {
    Structure st;
    std::vector<Subckt*> open{&st.top};
    for (const DeckLine& line : deck.lines) {
        const std::string w = first_word(line.text);
        Subckt& current = *open.back();
        if (w == ".subckt") {
            std::unique_ptr<Subckt> s = definition(line, &current);
            if (current.local.count(s->name))
                refuse(line, "", "o subcircuito " + s->name + " já foi definido");
            Subckt* inner = s.get();
            current.local[s->name] = std::move(s);
            open.push_back(inner);
        } else if (w == ".ends") {
            if (open.size() == 1) refuse(line, "", ".ends sem .subckt");
            Fields f(line.text);
            f.word();
            const std::string name = lower_case(f.word());
            if (!name.empty() && name != current.name)
                refuse(line, "", ".ends " + name + " fecha o subcircuito " + current.name);
            open.pop_back();
        } else if (w == ".param") {
            current.body.push_back(&line);
        } else if (w == ".global") {
            Fields f(line.text);
            f.word();
            for (std::string n = f.word(); !n.empty(); n = f.word()) st.globals.insert(lower_case(n));
        } else if (w == ".ac") {
            if (open.size() > 1) refuse(line, "", ".ac dentro de um subcircuito");
            if (st.ac)
                st.notes.push_back(note_of(line, "Ignorada (só a primeira .ac vale)"));
            else
                st.ac = &line;
        } else if (w == ".temp" || w == ".options" || w == ".option" || w == ".opt") {
            st.notes.push_back(note_of(line, temperature_settings(line, st) ? "Temperatura" : "Ignorado"));
        } else if (w == ".func") {
            define_function(line, st);
        } else if (w == ".if" || w == ".elseif" || w == ".else" || w == ".endif") {
            refuse(line, "", "blocos .if não são suportados");
        } else if (!w.empty() && w[0] == '.') {
            st.notes.push_back(note_of(
                line, is_ignored_command(w) ? "Ignorado" : "Ignorado (comando " + w + " desconhecido)"));
        } else {
            current.body.push_back(&line);
        }
    }
    if (open.size() > 1) refuse(*open.back()->line, "", "falta o .ends deste subcircuito");
    return st;
}

// ".param A=V B={...} ..." into the scope.
void define_parameters(const DeckLine& line, Scope& scope) {
    Fields f(line.text);
    f.word();
    if (f.done()) refuse(line, scope.path(), "falta o parâmetro");
    while (!f.done()) {
        const std::string name = lower_case(f.word());
        if (!is_parameter_name(name))
            refuse(line, scope.path(), "nome de parâmetro inválido: \"" + name + "\"");
        if (!f.take('=')) refuse(line, scope.path(), "falta \"=\" depois de " + name);
        try {
            scope.define(name, f.at_expression() ? f.expression() : f.bare_expression(), &line);
        } catch (const ValueError& e) {
            refuse(line, scope.path(), e.what());
        }
    }
}

// A refused line: its kind (the element's letter or the command) and
// the message.
struct Refused {
    std::string kind, message;
};

std::string kind_of(const std::string& first) {
    if (first.empty()) return "?";
    if (first[0] == '.') return first;
    return std::string(
        1, static_cast<char>(first[0] >= 'a' && first[0] <= 'z' ? first[0] - 'a' + 'A' : first[0]));
}

// One message for every refused line: the line's own message when it is
// the only one, else a count per kind and the first ten, one a line.
std::string refusals_message(const std::vector<Refused>& refused) {
    if (refused.size() == 1) return refused[0].message;
    std::map<std::string, int> count;
    for (const Refused& r : refused) ++count[r.kind];
    std::string kinds;
    for (const auto& [kind, n] : count)
        kinds += (kinds.empty() ? "" : ", ") + kind + ": " + std::to_string(n);
    constexpr std::size_t shown = 10;
    std::string text = "Deck SPICE: " + std::to_string(refused.size()) +
                       " linhas que a análise linear não pode representar (" + kinds + ")" +
                       (refused.size() > shown ? "; as " + std::to_string(shown) + " primeiras:" : ":");
    for (std::size_t k = 0; k < refused.size() && k < shown; ++k) text += "\n" + refused[k].message;
    return text;
}

class Expander {
public:
    Expander(const Structure& st, FlatCircuit& out, const std::vector<OpAmpReplacement>& opamps)
        : st_(st), out_(out), opamps_(opamps) {}

    // Every line of the body; a line that is refused is kept in
    // `refused` and the next one is expanded.
    void body(const Subckt& def, const Scope& scope, int depth) {
        for (const DeckLine* line : def.body) {
            const std::string w = first_word(line->text);
            if (w == ".param") continue;  // defined with the scope
            const LineContext ctx{*line, scope, st_.globals, out_};
            if (out_.elements.size() > max_flat_elements)
                ctx.refuse("o circuito expandido passa de " + std::to_string(max_flat_elements) +
                           " elementos");
            try {
                if (w[0] == 'x')
                    instance(ctx, depth);
                else
                    expand_element(ctx);
            } catch (const suite::IoError& e) {
                refused.push_back({kind_of(w), e.what()});
            }
        }
    }

    std::vector<Refused> refused;
    std::set<std::string> replaced;  // subcircuits that were replaced by op-amps

private:
    const Structure& st_;
    FlatCircuit& out_;
    const std::vector<OpAmpReplacement>& opamps_;

    // An instance of an op-amp subcircuit the user replaced: one op-amp
    // (A) from its inputs to its output; the supply pins and the
    // instance's parameters are left out.
    bool replace_opamp(const LineContext& ctx, const std::string& written, const Subckt& def,
                       const std::vector<std::string>& words) {
        const auto r = std::find_if(opamps_.begin(), opamps_.end(),
                                    [&](const OpAmpReplacement& o) { return o.subckt == def.name; });
        if (r == opamps_.end()) return false;
        std::vector<std::string> ports = r->ports.empty() ? opamp_ports(def.ports) : r->ports;
        std::string list;
        for (const std::string& p : def.ports) list += (list.empty() ? "" : " ") + p;
        if (ports.empty())
            ctx.refuse("os nomes dos terminais de " + def.name + " (" + list +
                       ") não dizem quais são as entradas e a saída: dê-os em --opamp " + def.name +
                       "=GB,RO,ENTRADA+,ENTRADA-,SAÍDA");
        std::vector<std::string> nodes;
        for (const std::string& p : ports) {
            const auto at = std::find(def.ports.begin(), def.ports.end(), p);
            if (at == def.ports.end())
                ctx.refuse("--opamp " + def.name + ": o subcircuito não tem o terminal " + p + " (tem " +
                           list + ")");
            nodes.push_back(ctx.node(words[static_cast<std::size_t>(at - def.ports.begin())]));
        }
        FlatElement a;
        a.kind = 'a';
        a.name = ctx.element_name(written);
        a.nodes = {nodes[1], nodes[0], nodes[2]};  // in-, in+, out
        a.value = 2 * std::numbers::pi_v<Real> * r->gb_hz;
        a.resistance = r->ro;
        a.line = &ctx.line;
        a.instance = ctx.scope.path();
        out_.elements.push_back(a);
        std::string left;
        for (const std::string& p : def.ports)
            if (std::find(ports.begin(), ports.end(), p) == ports.end())
                left += (left.empty() ? "" : ", ") + p;
        out_.notes.push_back(a.name + ": subcircuito " + def.name + " trocado pelo amp-op A (GB " +
                             suite::format_general(r->gb_hz) + " Hz, Ro " + suite::format_general(r->ro) +
                             " ohms): entradas " + ports[0] + " (+) e " + ports[1] + " (-), saída " +
                             ports[2] + (left.empty() ? "" : "; " + left + " de fora (alimentação ideal)"));
        replaced.insert(def.name);
        return true;
    }
    std::vector<const Subckt*> expanding_;  // the definitions being expanded, outermost first

    // The definition an X line names, looked for where the line is
    // written and then outwards.
    static const Subckt* find(const Subckt* from, const std::string& name) {
        for (const Subckt* s = from; s; s = s->enclosing)
            if (const auto found = s->local.find(name); found != s->local.end()) return found->second.get();
        return nullptr;
    }

    void instance(const LineContext& ctx, int depth) {
        Fields f(ctx.line.text);
        const std::string written = f.word();
        std::vector<std::string> words;
        while (!f.done() && !f.at_assignment()) {
            const std::string w = f.word();
            if (w.empty()) ctx.refuse(std::string("\"") + f.peek() + "\" inesperado");
            if (lower_case(w) == "params:") break;
            words.push_back(w);
        }
        if (words.empty()) ctx.refuse("falta o nome do subcircuito");
        const std::string name = lower_case(words.back());
        words.pop_back();
        const Subckt* def = find(ctx.scope.definition(), name);
        if (!def) ctx.refuse("o subcircuito " + name + " não foi definido");
        if (def->ports.size() != words.size())
            ctx.refuse("o subcircuito " + name + " tem " + std::to_string(def->ports.size()) +
                       " terminais, e a instância liga " + std::to_string(words.size()));
        for (const Subckt* s : expanding_)
            if (s == def) ctx.refuse("o subcircuito " + name + " é usado dentro de si mesmo");
        if (replace_opamp(ctx, written, *def, words)) return;
        if (depth >= max_depth) ctx.refuse("subcircuitos aninhados fundo demais");

        // The scope the definition is written in, as seen from here.
        const Scope* parent = &ctx.scope;
        while (parent->definition() != def->enclosing) parent = parent->parent();
        Scope child(parent, def, ctx.element_name(written));
        for (std::size_t k = 0; k < words.size(); ++k) child.ports[def->ports[k]] = ctx.node(words[k]);

        std::set<std::string> declared;
        for (const auto& [p, expr] : def->defaults) declared.insert(p);
        std::set<std::string> given;
        while (!f.done()) {
            if (!f.at_assignment()) {
                const std::string w = f.word();
                if (lower_case(w) == "params:") continue;
                ctx.refuse("campo inesperado \"" + (w.empty() ? std::string(1, f.peek()) : w) + "\"");
            }
            const std::string p = lower_case(f.word());
            f.take('=');
            if (!declared.count(p)) ctx.refuse("o subcircuito " + name + " não tem o parâmetro " + p);
            child.set(p, ctx.assigned_value(f), &ctx.line);
            given.insert(p);
        }
        for (const auto& [p, expr] : def->defaults)
            if (!given.count(p)) child.define(p, expr, def->line);
        for (const DeckLine* line : def->body)
            if (first_word(line->text) == ".param") define_parameters(*line, child);
        expanding_.push_back(def);
        const std::size_t before = refused.size();
        body(*def, child, depth + 1);
        expanding_.pop_back();
        // A subcircuit of three ports or more with nonlinear devices may be
        // an op-amp's macro-model: one refusal, at the instance, that
        // tells how to replace it.
        if (refused.size() > before && def->ports.size() >= 3) {
            const std::string kinds = nonlinear_kinds_of(def->body);
            if (kinds.empty()) return;
            refused.resize(before);
            ctx.refuse("o subcircuito " + name + " tem elementos não lineares (" + kinds +
                       ") que a análise linear não representa; se é um amp-op, --opamp " + name +
                       "=GB[,RO] o troca pelo amp-op A do netlist (GB em Hz, Ro em ohms)");
        }
    }
};

// ".ac dec|oct|lin POINTS FSTART FSTOP", or the same "ac" command of a
// .control block.
AcLine sweep_line(const DeckLine& line, const Scope& top, const std::set<std::string>& globals,
                  bool from_control) {
    FlatCircuit unused;
    const LineContext ctx{line, top, globals, unused};
    Fields f(line.text);
    f.word();
    AcLine ac;
    ac.line = &line;
    ac.from_control = from_control;
    ac.kind = lower_case(f.word());
    if (ac.kind != "dec" && ac.kind != "oct" && ac.kind != "lin")
        ctx.refuse("a varredura deve ser dec, oct ou lin");
    ac.points = ctx.value(f, "o número de pontos");
    ac.fstart = ctx.value(f, "a frequência inicial");
    ac.fstop = ctx.value(f, "a frequência final");
    if (!f.done()) ctx.refuse("campo inesperado depois da frequência final");
    if (!(ac.points >= 1) || ac.points != std::floor(ac.points))
        ctx.refuse("o número de pontos deve ser um inteiro positivo");
    if (!(ac.fstart > 0)) ctx.refuse("a frequência inicial deve ser positiva (a análise não avalia 0 Hz)");
    if (ac.fstop < ac.fstart) ctx.refuse("a frequência final é menor que a inicial");
    return ac;
}

}  // namespace

FlatCircuit flatten_deck(const DeckText& deck, const std::vector<OpAmpReplacement>& opamps) {
    FlatCircuit out;
    const Structure st = structure_of(deck);
    out.notes = st.notes;
    out.temperature = st.temperature;
    out.nominal_temperature = st.nominal_temperature;
    Scope top(nullptr, &st.top, "");
    const FunctionLookup functions = [&st](const std::string& name) -> const UserFunction* {
        const auto found = st.functions.find(name);
        return found == st.functions.end() ? nullptr : &found->second;
    };
    top.set_functions(&functions);
    for (const DeckLine* line : st.top.body)
        if (first_word(line->text) == ".param") define_parameters(*line, top);
    if (st.ac) out.ac = sweep_line(*st.ac, top, st.globals, false);
    int control_lines = 0;
    for (const DeckLine& line : deck.control) {
        if (!out.ac && first_word(line.text) == "ac") {
            out.ac = sweep_line(line, top, st.globals, true);
            continue;
        }
        ++control_lines;
    }
    if (control_lines > 0)
        out.notes.push_back("Ignoradas " + std::to_string(control_lines) +
                            " linhas de blocos .control (comandos do simulador)");
    Expander expander(st, out, opamps);
    expander.body(st.top, top, 0);
    for (const OpAmpReplacement& r : opamps)
        if (!expander.replaced.count(r.subckt))
            out.notes.push_back("--opamp " + r.subckt + ": nenhuma instância desse subcircuito no deck");
    if (!expander.refused.empty()) throw suite::IoError(refusals_message(expander.refused));
    if (out.temperature_adjusted > 0)
        out.notes.push_back("Valores com coeficientes de temperatura tomados a " +
                            suite::format_general(out.temperature) + " °C (nominal " +
                            suite::format_general(out.nominal_temperature) +
                            " °C): " + std::to_string(out.temperature_adjusted) + " elementos");
    return out;
}

std::string nonlinear_kinds_of(const std::vector<const DeckLine*>& body) {
    std::string kinds;
    for (const char k : std::string("dqmjzbsw")) {
        for (const DeckLine* line : body) {
            if (first_word(line->text)[0] != k) continue;
            kinds += (kinds.empty() ? "" : ", ") + std::string(1, static_cast<char>(k - 'a' + 'A'));
            break;
        }
    }
    return kinds;
}

std::vector<std::string> opamp_ports(const std::vector<std::string>& ports) {
    static const std::set<std::string> plus = {"+in", "in+", "inp",     "in_p",   "vin+", "vinp",
                                               "ip",  "+",   "non_inv", "noninv", "plus", "ninv"};
    static const std::set<std::string> minus = {"-in",  "in-", "inn", "in_n", "vin-",
                                                "vinn", "im",  "-",   "inv",  "minus"};
    static const std::set<std::string> out = {"out", "output", "vout", "vo", "o", "outp"};
    std::vector<std::string> found;
    for (const auto* names : {&plus, &minus, &out}) {
        std::vector<std::string> hits;
        for (const std::string& p : ports)
            if (names->count(p)) hits.push_back(p);
        if (hits.size() != 1) return {};
        found.push_back(hits[0]);
    }
    return found;
}

std::vector<OpAmpCandidate> opamp_candidates(const std::string& deck_text, const std::string& deck_path,
                                             const FileLoader& load) {
    const DeckText deck = read_deck(deck_text, deck_path, load);
    const Structure st = structure_of(deck);
    std::set<std::string> used;  // subcircuits named by X lines
    for (const DeckLine& line : deck.lines) {
        if (first_word(line.text)[0] != 'x') continue;
        Fields f(line.text);
        std::string last;
        while (!f.done() && !f.at_assignment()) {
            const std::string w = lower_case(f.word());
            if (w.empty() || w == "params:") break;
            last = w;
        }
        used.insert(last);
    }
    std::vector<OpAmpCandidate> out;
    std::vector<const Subckt*> open{&st.top};
    while (!open.empty()) {
        const Subckt* s = open.back();
        open.pop_back();
        for (const auto& [name, def] : s->local) {
            open.push_back(def.get());
            if (def->ports.size() >= 3 && used.count(name) && !nonlinear_kinds_of(def->body).empty())
                out.push_back({name, def->ports, opamp_ports(def->ports)});
        }
    }
    std::sort(out.begin(), out.end(),
              [&](const OpAmpCandidate& a, const OpAmpCandidate& b) { return a.subckt < b.subckt; });
    return out;
}

}  // namespace analysis::spice
