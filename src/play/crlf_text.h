#pragma once
// A text whose line breaks are CR LF and which holds no other CR or LF, as the texts of a
// play are: a sequence's description (each line followed by CR LF) and an item's label
// (lines joined by CR LF). It is kept with a bare LF for each CR LF and made whole only
// where it is asked for, so a text of many short lines costs what the file gave, not up to
// twice it.

#include <string>
#include <string_view>
#include <utility>

namespace hoopcast {

class CrlfText {
  public:
    CrlfText() = default;
    // From the text held with a bare LF for each line break; the bytes hold no CR.
    explicit CrlfText(std::string lf_text) noexcept : lf_(std::move(lf_text)) {}

    bool empty() const noexcept { return lf_.empty(); }

    // The text with a bare LF for each line break. Readers for which CR LF and LF break a
    // line alike read this, and need no copy.
    std::string_view lf() const noexcept { return lf_; }
    std::string take_lf() && noexcept { return std::move(lf_); }

    // The text itself, with CR LF line breaks.
    std::string crlf() const {
        std::string out;
        out.reserve(lf_.size() + lf_.size() / 8);
        for (std::size_t start = 0;;) {
            const std::size_t end = lf_.find('\n', start);
            out.append(lf_, start, end - start);
            if (end == std::string::npos) return out;
            out += "\r\n";
            start = end + 1;
        }
    }

    bool operator==(const CrlfText&) const = default;

  private:
    std::string lf_;
};

}  // namespace hoopcast
