#pragma once
// A text of lines that each end with CR LF, as a sequence's description is. No line holds a
// CR or an LF of its own, so the text is kept with a bare LF after each line and made whole
// only where it is asked for: a description of many short lines costs what the file gave,
// not up to twice it.

#include <string>
#include <string_view>
#include <utility>

namespace hoopcast {

class CrlfText {
  public:
    CrlfText() = default;
    // From lines each followed by a bare LF; the bytes hold no CR.
    explicit CrlfText(std::string lf_lines) noexcept : lf_(std::move(lf_lines)) {}

    bool empty() const noexcept { return lf_.empty(); }

    // The lines, each followed by a bare LF. Readers for which CR LF and LF end a line alike
    // read this, and need no copy.
    std::string_view lf() const noexcept { return lf_; }
    std::string take_lf() && noexcept { return std::move(lf_); }

    // The text itself, each line followed by CR LF.
    std::string crlf() const {
        std::string out;
        out.reserve(lf_.size() + lf_.size() / 8);
        for (std::size_t start = 0; start < lf_.size();) {
            const std::size_t end = lf_.find('\n', start);
            out.append(lf_, start, end - start).append("\r\n");
            start = end + 1;
        }
        return out;
    }

    bool operator==(const CrlfText&) const = default;

  private:
    std::string lf_;
};

}  // namespace hoopcast
