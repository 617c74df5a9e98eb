// The formula evaluator: a parameter text reduced against a value list,
// as netlist generation and the formula test dialog do.
#include <cmath>

#include "editor/formula/formula.h"
#include "fuzz/fuzz_support.h"

int fuzz_formula(const std::uint8_t* data, std::size_t size) {
    using namespace editor;
    const std::string text(reinterpret_cast<const char*>(data), size);
    ValueList values;
    const std::pair<const char*, double> known[] = {
        {"X", 1}, {"R1", 1e3}, {"C1", 1e-9}, {"Q", 0.7071}, {"BIG", 1e300}};
    for (const auto& [name, value] : known) values.entry[++values.count] = ValueEntry{name, value};
    std::vector<std::string> messages;
    int shown = 0;
    FormulaErrorDialog dialog;
    dialog.show = [&shown](const std::string&, bool& ignore) { ignore = ++shown > 3; };
    FormulaState f{values, collect_into(messages), dialog};
    const std::string reduced = test_formula(text, f);
    fuzz::check(!reduced.empty() && reduced[0] == ' ', "a reduced text without its leading space");
    fuzz::check(values.count >= 0 && values.count <= max_values, "a value list out of range");
    for (int i = 1; i <= values.count; ++i)
        fuzz::check(std::isfinite(values.entry[i].value), "a value that is not finite");
    if (!fuzz::may_print_like_a_non_finite(text)) fuzz::check_no_non_finite_text(reduced, "a reduced text");
    return 0;
}
