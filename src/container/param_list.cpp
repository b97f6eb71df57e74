#include "container/param_list.h"

#include <cctype>

namespace qv {
namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        // ASCII case folding: names are plain Latin keys.
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view NameOf(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(0, eq);
}

}  // namespace

void ParamList::setText(std::string_view text) {
    lines_.clear();
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
            ++end;
        }
        lines_.emplace_back(text.substr(start, end - start));
        if (end < text.size()) {
            // CR LF is one break; a lone CR or a lone LF is one too.
            const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            end += crlf ? 2 : 1;
        }
        start = end;
    }
}

std::string ParamList::text() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

long ParamList::indexOfName(std::string_view name) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].find('=') != std::string::npos &&
            SameNameIgnoringCase(NameOf(lines_[i]), name)) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

std::string ParamList::value(std::string_view name) const {
    const long i = indexOfName(name);
    if (i < 0) {
        return {};
    }
    const std::string& line = lines_[static_cast<size_t>(i)];
    return line.substr(line.find('=') + 1);
}

void ParamList::setValue(std::string_view name, std::string_view value) {
    const long i = indexOfName(name);
    if (value.empty()) {
        if (i >= 0) {
            lines_.erase(lines_.begin() + i);
        }
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i >= 0) {
        lines_[static_cast<size_t>(i)] = std::move(line);
    } else {
        lines_.push_back(std::move(line));
    }
}

}  // namespace qv
