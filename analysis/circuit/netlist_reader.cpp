// The netlist reader: the main loop, the fields of a line and the checks.
// What each element kind stores, expands into and logs is in
// netlist_kinds.cpp.
#include "analysis/circuit/netlist_reader.h"

#include <algorithm>

#include "analysis/circuit/reader_line.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

bool is_continuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

bool is_control(char ch) {
    const auto u = static_cast<unsigned char>(ch);
    return u < 0x20 || u == 0x7F;
}

char ascii_upper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

// Line 1: the node count, then on to the next line.
void read_node_count(Circuit& c, suite::TextScanner& in, const Log& log) {
    const std::string field = in.read_field();
    long long n = 0;
    if (field.empty()) throw suite::IoError("Netlist vazia: falta o número de nós na linha 1");
    if (!suite::parse_long(field, n))
        throw suite::IoError("Número de nós inválido \"" + field + "\" na linha 1");
    in.readln();
    log("Número de nós: " + std::to_string(n));
    if (n > max_variables) throw suite::FatalError("Número máximo de variáveis (120) excedido.");
    if (n < 0) throw suite::FatalError("Número de nós negativo.");
    c.node_count = static_cast<int>(n);
    c.variable_count = c.node_count;
    c.equation_count = c.node_count;
    c.ideal_opamp_count = 0;
    for (int k = 0; k <= c.node_count; ++k) {
        c.column_map[k] = static_cast<std::uint8_t>(k);
        c.row_map[k] = static_cast<std::uint8_t>(k);
    }
}

void finish_reading(Circuit& c, const Log& log) {
    log("Número de elementos efetivos: " + std::to_string(c.element_count));
    log("Número de variáveis: " + std::to_string(c.variable_count));
    log("Ordem do sistema: " + std::to_string(c.equation_count) + " equações");
    if (c.equation_count > max_equations)
        throw suite::FatalError("Número máximo de equações (100) excedido.");
    c.last_equation = c.equation_count - 1;
    c.saved_row_map = c.row_map;
    log("Circuito lido.");
    c.output_node = 1;
    c.output_column = c.column_map[1];
    c.current_curve = 1;
    c.default_variability = 0.05L;
    c.segments = 400;
    reset_variabilities(c);
}

}  // namespace

std::string cut_chars(const std::string& text, int count) {
    std::size_t i = 0;
    for (int n = 0; i < text.size() && n < count; ++n) {
        ++i;
        while (i < text.size() && is_continuation(text[i])) ++i;
    }
    return text.substr(0, i);
}

std::string drop_chars(const std::string& text, int count) {
    return text.substr(cut_chars(text, count).size());
}

LineReader::LineReader(Circuit& circuit, suite::TextScanner& scanner, const Log& sink)
    : c(circuit), in(scanner), log(sink) {}

// A space ends the name and is taken; the name stops after five
// characters, at a line end and at the end of the text. An element name
// that goes on after its fifth character is refused, naming it: read as
// five characters and a first field, it would be misread silently.
void LineReader::read_name() {
    name.clear();
    int chars = 0;
    bool ended_by_space = false;
    for (; chars < max_name_length && !in.eoln(); ++chars) {
        const char ch = in.get();
        if (ch == ' ') {
            ended_by_space = true;
            break;
        }
        if (ch == '\0')
            throw suite::IoError("Não é um arquivo de texto: caractere NUL na linha " +
                                 std::to_string(in.line_number()));
        name += ascii_upper(ch);
        while (!in.eoln() && is_continuation(in.peek())) name += in.get();
    }
    label = name + ": ";
    failed = false;
    out_of_range = false;
    const bool comment = !name.empty() && (name[0] == '*' || name[0] == '.');
    if (!ended_by_space && !comment && chars == max_name_length && !in.eoln() && in.peek() != ' ' &&
        !is_control(in.peek())) {
        std::string whole = name;
        while (!in.eoln() && in.peek() != ' ' && !is_control(in.peek())) whole += ascii_upper(in.get());
        if (const std::string shown = cut_chars(whole, 20); shown.size() < whole.size())
            whole = shown + "...";
        throw suite::FatalError(whole + ":  Nome de elemento com mais de 5 caracteres.");
    }
}

// A field missing because the text ended inside the line is a failed read.
long long LineReader::node() {
    long long n = 0;
    if (in.seek_eof() || !in.read_int(n)) failed = true;
    return n;
}

// Values are kept within 1E-300..1E+300 in magnitude (or zero), so that
// stamps, their products and the solution stay finite at any frequency.
Real LineReader::real() {
    Real x = 0;
    if (in.seek_eof() || !in.read_real(x)) failed = true;
    const Real size = x < 0 ? -x : x;
    if (size > 1e300L || (size != 0 && size < 1e-300L)) out_of_range = true;
    return x;
}

void LineReader::fail(const std::string& what) const { throw suite::FatalError(label + " " + what); }

void LineReader::check_read() const {
    if (failed) fail("Erro de leitura nesta linha");
    if (out_of_range) fail("Valor fora da faixa de 1E-300 a 1E+300.");
}

int LineReader::checked_node(long long n) const {
    if (n < 0 || n > c.node_count)
        fail("Nó " + std::to_string(n) + " fora da faixa 0-" + std::to_string(c.node_count) + ".");
    return static_cast<int>(n);
}

void LineReader::check_nonzero(Real value, const std::string& what) const {
    if (value == 0) fail(what + " não pode ser zero.");
}

Element& LineReader::element_of_line() {
    Element& e = c.elements[c.element_count];
    e = Element{};
    e.name = name;
    return e;
}

Element& LineReader::add_generated(const std::string& generated_name) {
    c.element_count += 1;
    if (c.element_count > max_elements) throw suite::FatalError("Número máximo de elementos (400) excedido.");
    Element& e = c.elements[c.element_count];
    e = Element{};
    e.name = cut_chars(generated_name, max_name_length);
    return e;
}

void read_netlist(Circuit& c, suite::TextScanner& in, const Log& log) {
    c = Circuit{};
    read_node_count(c, in, log);
    log("Descrição do circuito:");
    LineReader line(c, in, log);
    do {
        c.element_count += 1;
        if (c.element_count > max_elements)
            throw suite::FatalError("Número máximo de elementos (400) excedido.");
        line.read_name();
        read_element_line(line);
        in.skip_white();
    } while (!in.eof());
    finish_reading(c, log);
    c.present = true;
}

std::string complete_netlist_name(const std::string& chosen) {
    const std::size_t slash = chosen.find_last_of('/');
    const std::size_t file = slash == std::string::npos ? 0 : slash + 1;
    return chosen.find('.', file) == std::string::npos ? chosen + ".net" : chosen;
}

std::string netlist_base_name(const std::string& netlist_file_name) {
    const std::size_t slash = netlist_file_name.find_last_of('/');
    const std::size_t file = slash == std::string::npos ? 0 : slash + 1;
    return netlist_file_name.substr(0, netlist_file_name.find('.', file));
}

bool open_netlist(Circuit& c, const std::string& netlist_file_name, const Log& log) {
    std::string text;
    try {
        text = suite::read_text(netlist_file_name);
    } catch (const suite::IoError&) {
        log("* Arquivo " + netlist_file_name + " inexistente.");
        return false;
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        c.present = false;
        const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n');
        throw suite::IoError("Não é um arquivo de texto: caractere NUL na linha " + std::to_string(line));
    }
    suite::TextScanner in(std::move(text));
    read_netlist(c, in, log);
    return true;
}

}  // namespace analysis
