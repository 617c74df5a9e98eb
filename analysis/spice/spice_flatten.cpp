// The deck's structure (subcircuit definitions, parameters, commands) and
// its expansion into flat elements.
#include <cmath>
#include <set>

#include "analysis/spice/spice_scope.h"

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
};

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
        } else if (w == ".func") {
            refuse(line, "", "funções .func não são suportadas");
        } else if (w == ".if" || w == ".elseif" || w == ".else" || w == ".endif") {
            refuse(line, "", "blocos .if não são suportados");
        } else if (!w.empty() && w[0] == '.') {
            if (!is_ignored_command(w)) refuse(line, "", "comando " + w + " desconhecido");
            st.notes.push_back(note_of(line, "Ignorado"));
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

class Expander {
public:
    Expander(const Structure& st, FlatCircuit& out) : st_(st), out_(out) {}

    void body(const Subckt& def, const Scope& scope, int depth) {
        for (const DeckLine* line : def.body) {
            const std::string w = first_word(line->text);
            if (w == ".param") continue;  // defined with the scope
            const LineContext ctx{*line, scope, st_.globals, out_};
            if (out_.elements.size() > max_flat_elements)
                ctx.refuse("o circuito expandido passa de " + std::to_string(max_flat_elements) +
                           " elementos");
            if (w[0] == 'x')
                instance(ctx, depth);
            else
                expand_element(ctx);
        }
    }

private:
    const Structure& st_;
    FlatCircuit& out_;
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
        body(*def, child, depth + 1);
        expanding_.pop_back();
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

FlatCircuit flatten_deck(const DeckText& deck) {
    FlatCircuit out;
    const Structure st = structure_of(deck);
    out.notes = st.notes;
    Scope top(nullptr, &st.top, "");
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
    Expander(st, out).body(st.top, top, 0);
    return out;
}

}  // namespace analysis::spice
