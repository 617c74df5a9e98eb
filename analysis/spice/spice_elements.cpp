// What each kind of SPICE element line becomes: its nodes, its value in
// the small-signal circuit, and the refusal of what has none.
#include <cctype>
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

// The factor of a value at the temperature of the element:
// 1 + tc1 dT + tc2 dT^2, dT from the nominal temperature.
struct Temperature {
    Real tc1 = 0, tc2 = 0;
    std::optional<Real> own, offset;  // temp=, dtemp=

    bool has_coefficients() const { return tc1 != 0 || tc2 != 0; }
    Real factor(const FlatCircuit& c) const {
        const Real t = own ? *own : c.temperature + offset.value_or(0);
        const Real d = t - c.nominal_temperature;
        return 1 + tc1 * d + tc2 * d * d;
    }
};

// R, C and L: a value given by position or as r=, c=, l=; m= parallel
// copies; ac= the resistance of the AC analysis; temperature
// coefficients tc1=, tc2= (or tc=A[,B]) taken at the circuit's
// temperature or the element's own (temp=, dtemp=); initial conditions
// do not change it.
void passive(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    e.nodes = {node_field(ctx, f, "primeiro nó"), node_field(ctx, f, "segundo nó")};
    const std::set<std::string> main_keys = kind == 'r'   ? std::set<std::string>{"r", "resistance"}
                                            : kind == 'c' ? std::set<std::string>{"c", "capacitance"}
                                                          : std::set<std::string>{"l", "inductance"};
    std::optional<Real> positional, keyed, ac;
    Real m = 1;
    Temperature temperature;
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
            else if (key == "tc1")
                temperature.tc1 = v;
            else if (key == "tc2")
                temperature.tc2 = v;
            else if (key == "tc") {
                temperature.tc1 = v;
                if (!f.at_assignment() && ctx.at_value(f)) temperature.tc2 = ctx.value(f, "o tc2");
            } else if (key == "temp")
                temperature.own = v;
            else if (key == "dtemp")
                temperature.offset = v;
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
    const std::optional<Real> given = ac ? ac : keyed ? keyed : positional;
    if (!given) ctx.refuse("falta o valor");
    if (m == 0) ctx.refuse("m = 0");
    e.value = kind == 'c' ? *given * m : *given / m;
    if (temperature.has_coefficients()) {
        const Real factor = temperature.factor(ctx.out);
        e.value *= factor;
        if (factor != 1) ++ctx.out.temperature_adjusted;
    }
    if (e.value == 0 && kind == 'r') ctx.refuse("resistência zero não pode ser representada");
    if (e.value == 0 && kind == 'l') ctx.refuse("indutância zero não pode ser representada");
    ctx.out.elements.push_back(e);
}

bool is_transient_function(const std::string& w) {
    static const std::set<std::string> names = {"sin", "pulse", "exp",     "pwl",      "sffm",
                                                "am",  "pat",   "trnoise", "trrandom", "pwm"};
    return names.count(w) != 0;
}

// V and I: the AC magnitude (and phase) is the excitation, given after
// "ac" or as ac=, acmag=, acphase=; the DC value (a number, after "dc" or
// dc=) is the operating point, which a linear circuit does not need.
void source(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    e.nodes = {node_field(ctx, f, "nó positivo"), node_field(ctx, f, "nó negativo")};
    bool ac = false, transient = false;
    Real magnitude = 1, phase = 0;
    if (ctx.at_value(f)) ctx.value(f, "o valor DC");
    while (!f.done()) {
        if (f.at_assignment()) {
            const std::string key = lower_case(f.peek_word().first);
            if (key != "dc" && key != "ac" && key != "acmag" && key != "acphase") unexpected(ctx, f);
            f.word();
            f.take('=');
            const Real v = ctx.assigned_value(f);
            if (key == "ac" || key == "acmag") {
                ac = true;
                magnitude = v;
            } else if (key == "acphase") {
                ac = true;
                phase = v;
            }
            continue;
        }
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

// Whether an expression refers to the circuit's voltages, currents or
// frequency (v(...), i(...), hertz): a behavioural source. Other names
// are parameters or functions of time and temperature, constant in the
// small-signal analysis.
bool refers_to_circuit(const std::string& text) {
    static const std::set<std::string> probes = {"v",   "i",  "vm", "vp", "vr", "vi",
                                                 "vdb", "im", "ip", "ir", "ii", "idb"};
    for (std::size_t k = 0; k < text.size();) {
        const char ch = text[k];
        const bool start = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_';
        if (!start) {
            // A number with its suffix is one token ("1meg", "2e-3v").
            if (ch >= '0' && ch <= '9') {
                while (k < text.size() &&
                       (std::isalnum(static_cast<unsigned char>(text[k])) || text[k] == '.'))
                    ++k;
                continue;
            }
            ++k;
            continue;
        }
        std::size_t e = k;
        while (e < text.size() && (std::isalnum(static_cast<unsigned char>(text[e])) || text[e] == '_')) ++e;
        const std::string name = lower_case(text.substr(k, e - k));
        std::size_t after = e;
        while (after < text.size() && (text[after] == ' ' || text[after] == '\t')) ++after;
        if (name == "hertz" || (probes.count(name) && after < text.size() && text[after] == '(')) return true;
        k = e;
    }
    return false;
}

// E G F H "VALUE={EXPR}" (or "VALUE=EXPR", VOL=, CUR=): an expression of
// parameters only is a DC source, a short circuit (E, H) or an open
// circuit (G, F) in the small-signal analysis. Whether the line has that
// form; an expression of the circuit's quantities is refused.
bool constant_source(const LineContext& ctx, Fields& f, const std::string& written, char kind,
                     const std::string& a, const std::string& b) {
    const auto [word, next] = f.peek_word();
    const std::string w = lower_case(word);
    if (!(w == "value" || w == "vol" || w == "cur") || !(next == '=' || next == '{' || next == '\''))
        return false;
    f.word();
    f.take('=');
    std::string text;
    try {
        text = f.at_expression() ? f.expression() : f.bare_expression();
    } catch (const ValueError& e) {
        ctx.refuse(e.what());
    }
    if (!f.done()) unexpected(ctx, f);
    if (refers_to_circuit(text))
        ctx.refuse("fonte controlada por expressão (" + w + ") não pode ser representada na análise linear");
    const bool short_circuit = kind == 'e' || kind == 'h';
    if (short_circuit) {
        FlatElement e = element_of(ctx, 'v', written);
        e.nodes = {a, b};
        e.value = 0;
        ctx.out.elements.push_back(e);
    }
    ctx.out.notes.push_back(ctx.element_name(written) + ": expressão sem tensões nem correntes, fonte DC: " +
                            (short_circuit ? "curto-circuito" : "circuito aberto") + " na análise AC");
    return true;
}

// Forms of E, F, G and H whose output is a table, a transform or a logic
// function of the controls rather than one gain.
void refuse_behavioural_form(const LineContext& ctx, Fields& f) {
    static const std::set<std::string> forms = {"table", "laplace", "freq", "and", "or", "nand", "nor"};
    const auto [word, next] = f.peek_word();
    const std::string w = lower_case(word);
    if (!forms.count(w) || !(next == '(' || next == '=' || next == '{')) return;
    ctx.refuse("fonte controlada por expressão (" + w + ") não pode ser representada na análise linear");
}

// "POLY(N)" after the output nodes: the number of controls, or 0 when the
// line has no polynomial.
int poly_dimension(const LineContext& ctx, Fields& f) {
    const auto [word, next] = f.peek_word();
    if (lower_case(word) != "poly" || next != '(') return 0;
    f.word();
    f.take('(');
    const Real n = ctx.value(f, "a dimensão do POLY");
    if (!f.take(')')) ctx.refuse("falta \")\" depois da dimensão do POLY");
    if (!(n >= 1 && n <= 20 && n == std::floor(n))) ctx.refuse("a dimensão do POLY deve ser de 1 a 20");
    return static_cast<int>(n);
}

// The first-order coefficients of a polynomial: p0 is the DC term,
// p1..pn the gains of the controls; a product or power with a coefficient
// other than 0 is refused.
std::vector<Real> poly_gains(const LineContext& ctx, Fields& f, int n) {
    std::vector<Real> p;
    while (!f.done()) p.push_back(ctx.value(f, "um coeficiente do POLY"));
    for (std::size_t k = static_cast<std::size_t>(n) + 1; k < p.size(); ++k)
        if (p[k] != 0)
            ctx.refuse("POLY com termos de produto ou potência (coeficiente " + std::to_string(k) +
                       " diferente de 0) não é linear; só termos constantes e de primeira ordem são "
                       "representáveis");
    p.resize(static_cast<std::size_t>(n) + 1, 0);
    return {p.begin() + 1, p.end()};
}

// A first-order polynomial source: one controlled source per control,
// in series (E, H: their voltages add) or in parallel (G, F: their
// currents add), named NAME#1, NAME#2, ...; the DC term is dropped.
void poly_source(const LineContext& ctx, Fields& f, const std::string& written, char kind,
                 const std::string& a, const std::string& b, int n) {
    std::vector<std::vector<std::string>> controls;  // node pairs (E, G) or one source (F, H)
    for (int k = 0; k < n; ++k) {
        if (kind == 'e' || kind == 'g')
            controls.push_back({node_field(ctx, f, "nó de controle"), node_field(ctx, f, "nó de controle")});
        else {
            const std::string v = f.word();
            if (v.empty()) ctx.refuse("falta a fonte de tensão de controle");
            controls.push_back({ctx.element_name(v)});
        }
    }
    const std::vector<Real> gains = poly_gains(ctx, f, n);
    const bool series = kind == 'e' || kind == 'h';
    const std::string base = ctx.element_name(written);
    std::string from = a;
    for (int k = 0; k < n; ++k) {
        FlatElement e = element_of(ctx, kind, written + "#" + std::to_string(k + 1));
        const std::string to = !series || k + 1 == n ? b : base + "#" + std::to_string(k + 1);
        e.nodes = {series ? from : a, to};
        if (kind == 'e' || kind == 'g')
            e.nodes.insert(e.nodes.end(), controls[k].begin(), controls[k].end());
        else
            e.control = controls[k][0];
        e.value = gains[k];
        ctx.out.elements.push_back(e);
        from = to;
    }
}

// E and G: output pair, controlling pair, gain.
void voltage_controlled(const LineContext& ctx, Fields& f, const std::string& written, char kind) {
    FlatElement e = element_of(ctx, kind, written);
    const std::string a = node_field(ctx, f, "primeiro nó de saída");
    const std::string b = node_field(ctx, f, "segundo nó de saída");
    if (constant_source(ctx, f, written, kind, a, b)) return;
    refuse_behavioural_form(ctx, f);
    if (const int n = poly_dimension(ctx, f)) return poly_source(ctx, f, written, kind, a, b, n);
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
    if (constant_source(ctx, f, written, kind, a, b)) return;
    refuse_behavioural_form(ctx, f);
    if (const int n = poly_dimension(ctx, f)) return poly_source(ctx, f, written, kind, a, b, n);
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

// Whether a P line is an RF port (PORT= or Z0=) rather than a coupled
// transmission line.
bool is_port(const std::string& text) {
    Fields f(text);
    while (!f.done()) {
        if (f.at_assignment()) {
            const std::string key = lower_case(f.word());
            if (key == "port" || key == "z0") return true;
            f.take('=');
        }
        if (f.word().empty()) {
            if (f.at_expression())
                f.expression();
            else
                f.take(f.peek());
        }
    }
    return false;
}

// An RF port: "P n+ n- PORT=N Z0=R [AC=A]", a 'p' element with Z0 for its
// value; the ports are written once every line is read.
void port(const LineContext& ctx, Fields& f, const std::string& written) {
    FlatElement e = element_of(ctx, 'p', written);
    e.nodes = {node_field(ctx, f, "nó positivo"), node_field(ctx, f, "nó negativo")};
    Real number = 0, z0 = 50, amplitude = 1;
    bool numbered = false;
    while (!f.done()) {
        if (!f.at_assignment()) unexpected(ctx, f);
        const std::string key = lower_case(f.word());
        f.take('=');
        const Real v = ctx.assigned_value(f);
        if (key == "port") {
            number = v;
            numbered = true;
        } else if (key == "z0") {
            z0 = v;
        } else if (key == "ac") {
            amplitude = v;
        } else if (key != "dc" && key != "power" && key != "freq") {
            ctx.refuse("parâmetro " + key + " da porta desconhecido ou não suportado");
        }
    }
    if (!numbered) ctx.refuse("falta o número da porta (port=)");
    if (!(z0 > 0)) ctx.refuse("a impedância da porta (z0) deve ser positiva");
    e.value = z0;
    e.port = number;
    e.amplitude = amplitude;
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
        case 'p':
            if (!is_port(ctx.line.text)) refused_kind(ctx, kind);
            port(ctx, f, written);
            break;
        default:
            refused_kind(ctx, kind);
    }
}

}  // namespace analysis::spice
