#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qv::cli {

// A command's arguments: the positional ones in order, and the values of
// options (each option takes one value; some may repeat).
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>, std::less<>> options;

    bool Has(std::string_view option) const { return options.find(option) != options.end(); }
    // The option's value; the empty text when it is absent.
    std::string Value(std::string_view option) const;
    // Every value of a repeatable option, in order.
    std::vector<std::string> Values(std::string_view option) const;
    // The option's value; a UsageError when it is absent.
    std::string Required(std::string_view option) const;
};

struct OptionRule {
    std::string_view name;
    bool repeatable = false;
};

// Parses the arguments after the command name. Throws UsageError for an
// unknown option, a missing value, a repeated single option, or a number of
// positional arguments other than positionalCount.
Arguments ParseArguments(const std::vector<std::string>& tokens,
                         std::initializer_list<OptionRule> options, size_t positionalCount);

}  // namespace qv::cli
