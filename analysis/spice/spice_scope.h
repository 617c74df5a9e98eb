// Inside the SPICE translator: the fields of a line, subcircuit
// definitions and the parameter scopes of their instances. Not for use
// outside analysis/spice.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/spice/spice_deck.h"
#include "analysis/spice/spice_flatten.h"
#include "analysis/spice/spice_values.h"

namespace analysis::spice {

// A cursor over the fields of one logical line. Fields are separated by
// blanks, tabs and commas; "(", ")" and "=" stand alone; "{...}" and
// '...' are expressions, blanks and all.
class Fields {
public:
    explicit Fields(const std::string& text) : t_(text) {}

    bool done();
    // The next character after blanks ('\0' at the end).
    char peek();
    bool take(char ch);
    // The next plain field, original case; empty when the next thing is
    // not one (an expression, a parenthesis, "=", the end).
    std::string word();
    // The next plain field and the character after it, without taking them.
    std::pair<std::string, char> peek_word();
    // Whether the next plain field is followed by "=" (a name=value pair).
    bool at_assignment();
    // Whether the next thing is an expression in braces or quotes.
    bool at_expression();
    // The text of the expression in braces or quotes, taken.
    std::string expression();
    // The text of an expression given without braces (a parameter value),
    // taken up to its end.
    std::string bare_expression();
    // Skips a parenthesised group, nested groups included.
    void skip_group();

    const std::string& text() const { return t_; }
    std::size_t position() const { return p_; }

private:
    const std::string& t_;
    std::size_t p_ = 0;
    void blanks();
};

struct Subckt {
    std::string name;  // lower-case; empty for the top level
    const DeckLine* line = nullptr;
    std::vector<std::string> ports;                             // lower-case
    std::vector<std::pair<std::string, std::string>> defaults;  // parameter, expression
    std::vector<const DeckLine*> body;                          // element lines and .param lines, in order
    std::map<std::string, std::unique_ptr<Subckt>> local;       // .subckt definitions written inside
    const Subckt* enclosing = nullptr;
};

// One instance (or the top level) with its parameters and its ports.
class Scope {
public:
    Scope(const Scope* parent, const Subckt* definition, std::string path)
        : parent_(parent),
          definition_(definition),
          path_(std::move(path)),
          functions_(parent ? parent->functions_ : nullptr) {}

    // The user functions (.func) of this scope and those inside it.
    void set_functions(const FunctionLookup* functions) { functions_ = functions; }
    // An expression evaluated in this scope.
    Real evaluate(const std::string& expression) const {
        return evaluate_expression(expression, lookup_function(), functions_);
    }

    const Scope* parent() const { return parent_; }
    const Subckt* definition() const { return definition_; }
    const std::string& path() const { return path_; }  // "x1.x2"; empty at the top level

    // A parameter defined by an expression, evaluated when first used, in
    // this scope; refused when the name is already defined here.
    void define(const std::string& name, const std::string& expression, const DeckLine* line);
    // A parameter whose value is known (an instance's own value).
    void set(const std::string& name, Real value, const DeckLine* line);
    bool defines(const std::string& name) const { return params_.count(name) != 0; }

    // The value of a name seen from this scope outwards; nothing when no
    // scope defines it. A faulty definition is refused at its own line.
    std::optional<Real> lookup(const std::string& name) const;
    ParameterLookup lookup_function() const {
        return [this](const std::string& n) { return lookup(n); };
    }

    // Ports of the instance: port name -> flat node name of the caller.
    std::map<std::string, std::string> ports;

private:
    struct Entry {
        std::string expression;
        const DeckLine* line = nullptr;
        std::optional<Real> value;
        bool busy = false;
    };
    const Scope* parent_;
    const Subckt* definition_;
    std::string path_;
    const FunctionLookup* functions_;
    mutable std::map<std::string, Entry> params_;
};

// What the expansion of one line needs: the line, its scope, the global
// nodes, and where its elements go.
struct LineContext {
    const DeckLine& line;
    const Scope& scope;
    const std::set<std::string>& globals;
    FlatCircuit& out;

    [[noreturn]] void refuse(const std::string& why) const;
    // A node of this line as a flat node name.
    std::string node(const std::string& written) const;
    // An element name of this scope as a flat name.
    std::string element_name(const std::string& written) const;
    // A value field: a number (suffix and units allowed) or an
    // expression; `what` names it in the refusal.
    Real value(Fields& f, const std::string& what) const;
    // Refuses a word given where a number belongs (a parameter written
    // without braces is told so).
    [[noreturn]] void not_a_number(const std::string& what, const std::string& word) const;
    // A parameter value after "=": an expression with or without braces.
    Real assigned_value(Fields& f) const;
    // Whether the next field is a value (a number or an expression).
    bool at_value(Fields& f) const;
};

// The elements that one element line stands for (not X), appended to
// ctx.out.elements.
void expand_element(const LineContext& ctx);

}  // namespace analysis::spice
