#include "textutil/text_utils.h"

#include <stdexcept>

namespace qv {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kDomainChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890-";
constexpr std::string_view kLocalPartChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890!#$%&'*+-/=?_`.{}|~";

bool Contains(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}

int32_t CheckedAdd(int32_t a, int32_t b) {
    int32_t result;
    if (__builtin_add_overflow(a, b, &result)) {
        throw std::overflow_error("Integer overflow");
    }
    return result;
}

int32_t CheckedMul(int32_t a, int32_t b) {
    int32_t result;
    if (__builtin_mul_overflow(a, b, &result)) {
        throw std::overflow_error("Integer overflow");
    }
    return result;
}

}  // namespace

std::string TrimText(std::string_view strip, std::string_view text, bool fromStart, bool fromEnd) {
    if (strip.empty()) {
        return std::string(text);
    }
    std::string_view rest = text;
    if (fromStart) {
        while (rest.starts_with(strip)) {
            rest.remove_prefix(strip.size());
        }
    }
    if (fromEnd) {
        while (rest.ends_with(strip)) {
            rest.remove_suffix(strip.size());
        }
    }
    return std::string(rest);
}

std::string TrimSpaces(std::string_view text) {
    return TrimText(" ", text, true, true);
}

std::string TrimLeadingChars(std::string_view chars, std::string_view text) {
    size_t start = 0;
    while (start < text.size() && Contains(chars, text[start])) {
        ++start;
    }
    return std::string(text.substr(start));
}

std::string BoolToDigit(bool value) {
    return value ? "1" : "0";
}

int32_t HexToInt(std::string_view text) {
    int32_t value = 0;
    int32_t weight = 1;
    for (size_t i = text.size(); i > 0; --i) {
        const size_t found = kHexDigits.find(text[i - 1]);
        const int32_t digit = found == std::string_view::npos ? -1 : static_cast<int32_t>(found);
        value = CheckedAdd(value, CheckedMul(digit, weight));
        weight = CheckedMul(weight, 16);
    }
    return value;
}

bool IsValidDomain(std::string_view domain) {
    if (domain.empty()) {
        return false;
    }
    bool innerDot = false;
    for (size_t i = 0; i < domain.size(); ++i) {
        const char c = domain[i];
        if (c == '.') {
            innerDot = innerDot || i + 1 < domain.size();
        } else if (!Contains(kDomainChars, c)) {
            return false;
        }
    }
    return innerDot;
}

bool IsValidEmail(std::string_view address) {
    const std::string trimmed = TrimSpaces(address);
    if (trimmed.size() < 5) {
        return false;
    }
    for (size_t i = 0; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (Contains(kLocalPartChars, c)) {
            continue;
        }
        return c == '@' && IsValidDomain(std::string_view(trimmed).substr(i + 1));
    }
    return false;
}

}  // namespace qv
