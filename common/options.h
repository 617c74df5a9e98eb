// The one reader of command-line options of the suite's programs.
//
//   suite::OptionReader r;
//   r.flag("--hz", [&] { o.hz = true; });
//   r.value("--fmin", [&](const std::string& v) { return suite::parse_real(v, o.fmin); });
//   r.values("--window", 3, [&](const std::vector<std::string>& v) { return set_window(v); });
//   r.operand([&](const std::string& a) { return take_netlist(a); });
//   if (const std::string why = r.read(args); !why.empty())
//       return usage_error(err, "morat", why, usage);   // "morat: why", then the usage text
//
// Options are "--name" (flags) and "--name VALUE" or "--name=VALUE"
// (options of one value); an option of several values takes them from the
// following arguments. "--" ends the options: every argument after it is
// an operand, as is every argument that does not begin with "-" (and "-"
// alone). The reasons a reader gives, in every program alike:
//   unknown option --x
//   option --x takes no value          (--x=... for a flag)
//   option --x needs a value           (needs 3 values)
//   invalid value for --x: TEXT        (a setter that says no)
// and whatever text a setter or the operand handler gives as its reason.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace suite {

class OptionReader {
public:
    // A setter's answer: true takes the value; false refuses it with
    // "invalid value for --x: TEXT".
    using Setter = std::function<bool(const std::string&)>;
    // The same with a reason of its own: the empty string takes the value.
    using CheckedSetter = std::function<std::string(const std::string&)>;
    using MultiSetter = std::function<std::string(const std::vector<std::string>&)>;
    using Operand = std::function<std::string(const std::string&)>;

    void flag(const std::string& name, std::function<void()> set);
    void flag(const std::string& name, bool& target);
    void value(const std::string& name, Setter set);
    void checked_value(const std::string& name, CheckedSetter set);
    void values(const std::string& name, int count, MultiSetter set);
    void operand(Operand take);
    // Takes only its own options: every other argument (unknown options
    // as written, operands, "--" and all after it) is kept in `rest`, in
    // order, for the reader of the program's other options.
    void pass_through(std::vector<std::string>& rest);

    // Reads the arguments (without the program name); the reason of the
    // first usage error, or the empty string.
    std::string read(const std::vector<std::string>& args) const;

private:
    struct Option {
        int count = 0;  // 0: a flag
        std::function<void()> flag;
        CheckedSetter one;
        MultiSetter many;
    };
    std::map<std::string, Option> options_;
    Operand operand_;
    std::vector<std::string>* rest_ = nullptr;
};

// Whole numbers and reals of option values, in the suite's number texts.
bool option_int(const std::string& text, int& value);

// Writes "PROGRAM: REASON" and the usage text to `err`; returns 2, the
// exit status of a usage error.
int usage_error(std::ostream& err, const std::string& program, const std::string& reason,
                const std::string& usage);

}  // namespace suite
