#include "arguments.h"

#include "command.h"

namespace qv::cli {

std::string Arguments::Value(std::string_view option) const {
    const auto it = options.find(option);
    return it == options.end() ? std::string() : it->second.back();
}

std::vector<std::string> Arguments::Values(std::string_view option) const {
    const auto it = options.find(option);
    return it == options.end() ? std::vector<std::string>() : it->second;
}

std::string Arguments::Required(std::string_view option) const {
    if (!Has(option)) {
        throw UsageError("missing " + std::string(option));
    }
    return Value(option);
}

Arguments ParseArguments(const std::vector<std::string>& tokens,
                         std::initializer_list<OptionRule> options, size_t positionalCount) {
    Arguments parsed;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        // "-" alone is a value (standard output), not an option.
        if (token.size() < 2 || token[0] != '-') {
            parsed.positional.push_back(token);
            continue;
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& candidate : options) {
            if (candidate.name == token) {
                rule = &candidate;
            }
        }
        if (rule == nullptr) {
            throw UsageError("unknown option " + token);
        }
        if (i + 1 >= tokens.size()) {
            throw UsageError(token + " needs a value");
        }
        if (parsed.Has(token) && !rule->repeatable) {
            throw UsageError(token + " given twice");
        }
        parsed.options[token].push_back(tokens[++i]);
    }
    if (parsed.positional.size() != positionalCount) {
        throw UsageError(positionalCount == 0 ? "unexpected argument " + parsed.positional[0]
                         : parsed.positional.size() < positionalCount ? "missing file argument"
                                                                      : "too many arguments");
    }
    return parsed;
}

}  // namespace qv::cli
