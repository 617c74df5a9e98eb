// Fields of a line, parameter scopes and the values of a line.
#include "analysis/spice/spice_scope.h"

#include <cmath>

#include "common/errors.h"

namespace analysis::spice {
namespace {

bool is_separator(char ch) { return ch == ' ' || ch == '\t' || ch == ','; }
bool ends_word(char ch) {
    return is_separator(ch) || ch == '(' || ch == ')' || ch == '=' || ch == '{' || ch == '\'';
}

}  // namespace

void Fields::blanks() {
    while (p_ < t_.size() && is_separator(t_[p_])) ++p_;
}

bool Fields::done() {
    blanks();
    return p_ >= t_.size();
}

char Fields::peek() {
    blanks();
    return p_ < t_.size() ? t_[p_] : '\0';
}

bool Fields::take(char ch) {
    if (peek() != ch || ch == '\0') return false;
    ++p_;
    return true;
}

std::string Fields::word() {
    blanks();
    std::string w;
    while (p_ < t_.size() && !ends_word(t_[p_])) w += t_[p_++];
    return w;
}

std::pair<std::string, char> Fields::peek_word() {
    const std::size_t save = p_;
    const std::string w = word();
    const char next = peek();
    p_ = save;
    return {w, next};
}

bool Fields::at_assignment() {
    const std::size_t save = p_;
    const bool named = !word().empty() && peek() == '=' && (p_ + 1 >= t_.size() || t_[p_ + 1] != '=');
    p_ = save;
    return named;
}

bool Fields::at_expression() {
    const char ch = peek();
    return ch == '{' || ch == '\'';
}

std::string Fields::expression() {
    blanks();
    const char open = t_[p_];
    const char close = open == '{' ? '}' : '\'';
    int depth = 0;
    std::size_t i = p_;
    for (; i < t_.size(); ++i) {
        if (open == '{' && t_[i] == '{') ++depth;
        if (t_[i] == close && (open != '{' || --depth == 0) && i > p_) break;
    }
    if (i >= t_.size()) throw ValueError(std::string("falta \"") + close + "\" no fim da expressão");
    std::string inside = t_.substr(p_ + 1, i - p_ - 1);
    p_ = i + 1;
    return inside;
}

std::string Fields::bare_expression() {
    blanks();
    const std::size_t start = p_;
    p_ = scan_expression(t_, p_);
    if (p_ == start) throw ValueError("falta o valor");
    return t_.substr(start, p_ - start);
}

void Fields::skip_group() {
    if (!take('(')) return;
    int depth = 1;
    while (p_ < t_.size() && depth > 0) {
        if (t_[p_] == '(') ++depth;
        if (t_[p_] == ')') --depth;
        ++p_;
    }
    if (depth > 0) throw ValueError("falta \")\"");
}

void Scope::define(const std::string& name, const std::string& expression, const DeckLine* line) {
    if (params_.count(name)) refuse(*line, path_, "o parâmetro " + name + " já foi definido aqui");
    params_[name] = Entry{expression, line, std::nullopt, false};
}

void Scope::set(const std::string& name, Real value, const DeckLine* line) {
    params_[name] = Entry{"", line, value, false};
}

std::optional<Real> Scope::lookup(const std::string& name) const {
    for (const Scope* s = this; s; s = s->parent_) {
        const auto found = s->params_.find(name);
        if (found == s->params_.end()) continue;
        Entry& e = found->second;
        if (e.value) return e.value;
        // A fault is told at the definition that has it.
        if (e.busy) refuse(*e.line, s->path_, "o parâmetro " + name + " depende de si mesmo");
        e.busy = true;
        try {
            e.value = s->evaluate(e.expression);
        } catch (const ValueError& error) {
            refuse(*e.line, s->path_, "parâmetro " + name + ": " + error.what());
        }
        e.busy = false;
        return e.value;
    }
    return std::nullopt;
}

void LineContext::refuse(const std::string& why) const { spice::refuse(line, scope.path(), why); }

std::string LineContext::node(const std::string& written) const {
    const std::string n = lower_case(written);
    if (n == "0" || n == "gnd") return "0";
    if (globals.count(n)) return n;
    if (const auto port = scope.ports.find(n); port != scope.ports.end()) return port->second;
    return scope.path().empty() ? n : scope.path() + "." + n;
}

std::string LineContext::element_name(const std::string& written) const {
    const std::string n = lower_case(written);
    return scope.path().empty() ? n : scope.path() + "." + n;
}

bool LineContext::at_value(Fields& f) const {
    if (f.at_expression()) return true;
    const char ch = f.peek();
    return (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+';
}

Real LineContext::value(Fields& f, const std::string& what) const {
    try {
        if (f.at_expression()) return scope.evaluate(f.expression());
        const std::string w = f.word();
        if (w.empty()) refuse("falta " + what);
        Real v = 0;
        if (parse_spice_number(w, v)) {
            if (!std::isfinite(v)) refuse(what + " \"" + w + "\" fora do alcance dos números");
            return v;
        }
        not_a_number(what, w);
    } catch (const ValueError& e) {
        refuse(e.what());
    }
}

void LineContext::not_a_number(const std::string& what, const std::string& word) const {
    const std::string n = lower_case(word);
    if (is_parameter_name(n) && scope.lookup(n))
        refuse(what + " \"" + word + "\" não é um número; um parâmetro se escreve {" + n + "}");
    refuse(what + " \"" + word + "\" não é um número");
}

Real LineContext::assigned_value(Fields& f) const {
    try {
        const std::string text = f.at_expression() ? f.expression() : f.bare_expression();
        return scope.evaluate(text);
    } catch (const ValueError& e) {
        refuse(e.what());
    }
}

}  // namespace analysis::spice
