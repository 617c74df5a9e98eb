// What each kind of SPICE element line becomes: its nodes, its value in
// the small-signal circuit, and the refusal of what has none.
#include <cmath>
#include <set>

#include "analysis/spice/spice_scope.h"
#include "common/numtext.h"

namespace analysis::spice {
namespace {

FlatElement element_of(const LineContext& ctx, char kind, const std::string& written) {
    FlatElement e;
    e.kind = kind;
    e.name = ctx.element_name(written);
    e.line = &ctx.line;
    e.instance = ctx.scope.path();
    return e;
}

std::string node_field(const LineContext& ctx, Fields& f, const std::string& what) {
    if (f.at_expression() || f.peek() == '(' || f.peek() == ')' || f.peek() == '=')
        ctx.refuse("falta o " + what);
    const std::string w = f.word();
    if (w.empty()) ctx.refuse("falta o " + what);
    return ctx.node(w);
}

[[noreturn]] void unexpected(const LineContext& ctx, Fields& f) {
    const std::string w = f.word();
    if (w.empty()) ctx.refuse(std::string("\"") + f.peek() + "\" inesperado");
    ctx.refuse("campo inesperado \"" + w + "\"");
}

// R, C and L: a value given by position or as r=, c=, l=; m= parallel
// copies; ac= the resistance of the AC analysis; temperature
// coefficients and initial conditions do not change it at the nominal
// temperature.
void passive(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    e.nodes = {node_field(ctx, f, "primeiro nó"), node_field(ctx, f, "segundo nó")};
    const std::set<std::string> main_keys = kind == 'r'   ? std::set<std::string>{"r", "resistance"}
                                            : kind == 'c' ? std::set<std::string>{"c", "capacitance"}
                                                          : std::set<std::string>{"l", "inductance"};
    std::optional<Real> positional, keyed, ac;
    Real m = 1;
    bool temperature_coefficient = false, own_temperature = false;
    while (!f.done()) {
        if (f.at_assignment()) {
            const std::string key = lower_case(f.word());
            f.take('=');
            const Real v = ctx.assigned_value(f);
            if (main_keys.count(key))
                keyed = v;
            else if (key == "ac" && kind == 'r')
                ac = v;
            else if (key == "m")
                m = v;
            else if (key == "tc" || key == "tc1" || key == "tc2")
                temperature_coefficient = temperature_coefficient || v != 0;
            else if (key == "temp" || key == "dtemp")
                own_temperature = true;
            else if (key != "ic" && key != "noisy")
                ctx.refuse("parâmetro " + key + " desconhecido ou não suportado");
            continue;
        }
        if (!positional && ctx.at_value(f)) {
            positional = ctx.value(f, "o valor");
            continue;
        }
        if (!positional && !keyed) {
            const std::string w = f.word();
            if (w.empty()) unexpected(ctx, f);
            const std::string n = lower_case(w);
            if (is_parameter_name(n) && ctx.scope.lookup(n)) ctx.not_a_number("o valor", w);
            ctx.refuse("\"" + w + "\" não é um valor; elementos com modelo (.model) não são suportados");
        }
        unexpected(ctx, f);
    }
    if (temperature_coefficient && own_temperature)
        ctx.refuse("temperatura própria com coeficientes de temperatura não é considerada");
    const std::optional<Real> given = ac ? ac : keyed ? keyed : positional;
    if (!given) ctx.refuse("falta o valor");
    if (m == 0) ctx.refuse("m = 0");
    e.value = kind == 'c' ? *given * m : *given / m;
    if (e.value == 0 && kind == 'r') ctx.refuse("resistência zero não pode ser representada");
    if (e.value == 0 && kind == 'l') ctx.refuse("indutância zero não pode ser representada");
    ctx.out.elements.push_back(e);
}

bool is_transient_function(const std::string& w) {
    static const std::set<std::string> names = {"sin", "pulse", "exp",     "pwl",      "sffm",
                                                "am",  "pat",   "trnoise", "trrandom", "pwm"};
    return names.count(w) != 0;
}

// V and I: the AC magnitude (and phase) is the excitation; the DC value is
// the operating point, which a linear circuit does not need.
void source(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    e.nodes = {node_field(ctx, f, "nó positivo"), node_field(ctx, f, "nó negativo")};
    bool ac = false, transient = false;
    Real magnitude = 1, phase = 0;
    if (ctx.at_value(f)) ctx.value(f, "o valor DC");
    while (!f.done()) {
        if (f.at_assignment()) unexpected(ctx, f);
        const std::string w = lower_case(f.word());
        if (w == "dc") {
            if (ctx.at_value(f)) ctx.value(f, "o valor DC");
        } else if (w == "ac") {
            ac = true;
            if (ctx.at_value(f)) magnitude = ctx.value(f, "a amplitude AC");
            if (ctx.at_value(f)) phase = ctx.value(f, "a fase AC");
        } else if (is_transient_function(w) || w == "distof1" || w == "distof2") {
            transient = transient || is_transient_function(w);
            if (f.peek() == '(') {
                try {
                    f.skip_group();
                } catch (const ValueError& error) {
                    ctx.refuse(error.what());
                }
            } else {
                while (ctx.at_value(f)) ctx.value(f, "um valor de " + w);
            }
        } else if (w.empty()) {
            unexpected(ctx, f);
        } else {
            ctx.refuse("campo inesperado \"" + w + "\"");
        }
    }
    if (!ac && transient)
        ctx.refuse(
            "fonte só de transitório, sem AC: na análise de pequenos sinais ela não excita o circuito");
    if (ac) {
        Real turn = std::fmod(phase, 360.0L);
        if (turn < 0) turn += 360;
        const Real tiny = 1e-9L;
        if (turn < tiny || 360 - turn < tiny)
            e.value = magnitude;
        else if (std::fabs(turn - 180) < tiny)
            e.value = -magnitude;
        else
            ctx.refuse("a fase AC de " + suite::format_general(phase) +
                       " graus não pode ser representada: as fontes do netlist são reais (fase 0 ou 180)");
    }
    ctx.out.elements.push_back(e);
}

// Forms of E, F, G and H whose output is an expression, a table or a
// polynomial of the controls rather than one gain.
void refuse_behavioural_form(const LineContext& ctx, Fields& f) {
    static const std::set<std::string> forms = {"value", "vol", "cur",  "table", "laplace", "freq",
                                                "and",   "or",  "nand", "nor",   "poly"};
    const auto [word, next] = f.peek_word();
    const std::string w = lower_case(word);
    if (!forms.count(w) || !(next == '(' || next == '=' || next == '{')) return;
    if (w == "poly")
        ctx.refuse("POLY(...) não é suportado: escreva os termos lineares como fontes controladas separadas");
    ctx.refuse("fonte controlada por expressão (" + w + ") não pode ser representada na análise linear");
}

// E and G: output pair, controlling pair, gain.
void voltage_controlled(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    const std::string a = node_field(ctx, f, "primeiro nó de saída");
    const std::string b = node_field(ctx, f, "segundo nó de saída");
    refuse_behavioural_form(ctx, f);
    const std::string c = node_field(ctx, f, "primeiro nó de controle");
    const std::string d = node_field(ctx, f, "segundo nó de controle");
    e.nodes = {a, b, c, d};
    e.value = ctx.value(f, "o ganho");
    if (!f.done()) unexpected(ctx, f);
    ctx.out.elements.push_back(e);
}

// F and H: output pair, the V source whose current controls, gain.
void current_controlled(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    const std::string a = node_field(ctx, f, "primeiro nó de saída");
    const std::string b = node_field(ctx, f, "segundo nó de saída");
    refuse_behavioural_form(ctx, f);
    e.nodes = {a, b};
    const std::string control = f.word();
    if (control.empty()) ctx.refuse("falta a fonte de tensão de controle");
    e.control = ctx.element_name(control);
    e.value = ctx.value(f, "o ganho");
    if (!f.done()) unexpected(ctx, f);
    ctx.out.elements.push_back(e);
}

void coupling(const LineContext& ctx, Fields& f, const std::string& written) {
    FlatElement e = element_of(ctx, 'k', written);
    const std::string first = f.word(), second = f.word();
    if (first.empty() || second.empty()) ctx.refuse("faltam os dois indutores acoplados");
    e.control = ctx.element_name(first);
    e.control2 = ctx.element_name(second);
    e.value = ctx.value(f, "o coeficiente de acoplamento");
    if (!f.done()) unexpected(ctx, f);
    ctx.out.elements.push_back(e);
}

[[noreturn]] void refused_kind(const LineContext& ctx, char kind) {
    const std::string operating_point =
        " precisa de um ponto de operação, que a análise linear não calcula: escreva o seu modelo de "
        "pequenos "
        "sinais com R, C, G e E";
    switch (kind) {
        case 'd':
            ctx.refuse("diodo (D) é não linear e" + operating_point);
        case 'q':
            ctx.refuse("transistor bipolar (Q) com .model" + operating_point);
        case 'm':
            ctx.refuse("transistor MOS (M) com .model" + operating_point);
        case 'j':
            ctx.refuse("JFET (J) com .model" + operating_point);
        case 'z':
            ctx.refuse("MESFET (Z) com .model" + operating_point);
        case 'b':
            ctx.refuse("fonte comportamental (B) não pode ser representada na análise linear");
        case 's':
        case 'w':
            ctx.refuse("chave (S, W) é não linear e não pode ser representada");
        case 't':
        case 'o':
        case 'u':
        case 'y':
        case 'p':
            ctx.refuse(
                "linha de transmissão (T, O, U, Y, P) não pode ser representada por elementos concentrados");
        case 'a':
            ctx.refuse("modelo de código (A) não é suportado");
        default:
            ctx.refuse("elemento desconhecido");
    }
}

}  // namespace

void expand_element(const LineContext& ctx) {
    Fields f(ctx.line.text);
    const std::string written = f.word();
    const char kind = written.empty() ? '\0' : lower_case(written.substr(0, 1))[0];
    switch (kind) {
        case 'r':
        case 'c':
        case 'l':
            passive(ctx, f, written, kind);
            break;
        case 'v':
        case 'i':
            source(ctx, f, written, kind);
            break;
        case 'e':
        case 'g':
            voltage_controlled(ctx, f, written, kind);
            break;
        case 'f':
        case 'h':
            current_controlled(ctx, f, written, kind);
            break;
        case 'k':
            coupling(ctx, f, written);
            break;
        default:
            refused_kind(ctx, kind);
    }
}

}  // namespace analysis::spice
