#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// An ordered list of "NAME=VALUE" lines (texts are code page 1250 bytes).
// Names are looked up without regard to case; the value is everything after
// the first "="; a missing name reads as the empty value.
class ParamList {
  public:
    ParamList() = default;
    explicit ParamList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // Splits at CR LF, a lone CR or a lone LF; a NUL byte ends the text.
    // Replaces the current lines.
    void setText(std::string_view text);
    // Every line followed by CR LF, the last one too.
    std::string text() const;

    std::string value(std::string_view name) const;
    // Replaces the line of that name where it stands, appends a line when the
    // name is missing, removes the line when the value is empty.
    void setValue(std::string_view name, std::string_view value);

    const std::vector<std::string>& lines() const { return lines_; }
    void add(std::string line) { lines_.push_back(std::move(line)); }
    void clear() { lines_.clear(); }
    size_t count() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }

  private:
    // Index of the first line whose name matches, or -1.
    long indexOfName(std::string_view name) const;

    std::vector<std::string> lines_;
};

}  // namespace qv
