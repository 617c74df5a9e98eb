#include "common/options.h"

#include <cstdint>

#include "common/numtext.h"

namespace suite {

void OptionReader::flag(const std::string& name, std::function<void()> set) {
    options_[name] = Option{0, std::move(set), {}, {}};
}

void OptionReader::flag(const std::string& name, bool& target) {
    flag(name, [&target] { target = true; });
}

void OptionReader::value(const std::string& name, Setter set) {
    checked_value(name, [name, set = std::move(set)](const std::string& v) {
        return set(v) ? std::string() : "invalid value for " + name + ": " + v;
    });
}

void OptionReader::checked_value(const std::string& name, CheckedSetter set) {
    options_[name] = Option{1, {}, std::move(set), {}};
}

void OptionReader::values(const std::string& name, int count, MultiSetter set) {
    options_[name] = Option{count, {}, {}, std::move(set)};
}

void OptionReader::operand(Operand take) { operand_ = std::move(take); }

void OptionReader::pass_through(std::vector<std::string>& rest) { rest_ = &rest; }

std::string OptionReader::read(const std::vector<std::string>& args) const {
    bool operands_only = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (rest_ && arg == "--") {
            rest_->insert(rest_->end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (arg == "--" && !operands_only) {
            operands_only = true;
            continue;
        }
        if (rest_ && (arg.size() < 2 || arg[0] != '-' || !options_.contains(arg.substr(0, arg.find('='))))) {
            rest_->push_back(arg);
            continue;
        }
        if (operands_only || arg.size() < 2 || arg[0] != '-') {
            if (!operand_) return "unexpected argument " + arg;
            if (std::string why = operand_(arg); !why.empty()) return why;
            continue;
        }
        std::string inline_value;
        bool has_inline = false;
        if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
            inline_value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            has_inline = true;
        }
        const auto found = options_.find(arg);
        if (found == options_.end()) return "unknown option " + arg;
        const Option& o = found->second;
        if (o.count == 0) {
            if (has_inline) return "option " + arg + " takes no value";
            o.flag();
            continue;
        }
        if (o.count == 1) {
            if (!has_inline) {
                if (i + 1 >= args.size()) return "option " + arg + " needs a value";
                inline_value = args[++i];
            }
            if (std::string why = o.one(inline_value); !why.empty()) return why;
            continue;
        }
        if (has_inline) return "option " + arg + " takes " + std::to_string(o.count) + " values, not one";
        if (i + static_cast<std::size_t>(o.count) >= args.size())
            return "option " + arg + " needs " + std::to_string(o.count) + " values";
        const std::vector<std::string> taken(args.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                             args.begin() + static_cast<std::ptrdiff_t>(i + 1 + o.count));
        i += static_cast<std::size_t>(o.count);
        if (std::string why = o.many(taken); !why.empty()) return why;
    }
    return {};
}

bool option_int(const std::string& text, int& value) {
    std::int32_t v = 0;
    if (!parse_int(text, v)) return false;
    value = v;
    return true;
}

int usage_error(std::ostream& err, const std::string& program, const std::string& reason,
                const std::string& usage) {
    err << program << ": " << reason << "\n" << usage;
    return 2;
}

}  // namespace suite
