#pragma once
// Small accessors that let the tests say which paragraph or run they look at.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "richtext/document.h"

namespace hoopcast::richtext::testing {

inline std::string text_of(const Paragraph& p) {
    std::string s;
    for (const Run& r : p.runs) s += r.text;
    return s;
}

// The document's top-level paragraphs (tables left out).
inline std::vector<const Paragraph*> paragraphs(const Document& d) {
    std::vector<const Paragraph*> out;
    for (const Block& b : d.blocks) {
        if (const auto* p = std::get_if<Paragraph>(&b.content)) out.push_back(p);
    }
    return out;
}

inline std::vector<std::string> texts(const Document& d) {
    std::vector<std::string> out;
    for (const Paragraph* p : paragraphs(d)) out.push_back(text_of(*p));
    return out;
}

inline std::vector<const Table*> tables(const std::vector<Block>& blocks) {
    std::vector<const Table*> out;
    for (const Block& b : blocks) {
        if (const auto* t = std::get_if<Table>(&b.content)) out.push_back(t);
    }
    return out;
}

// The run of the paragraph whose text contains `needle`; fails the test when there is none.
inline const Run& run_with(const Document& d, std::string_view needle) {
    for (const Paragraph* p : paragraphs(d)) {
        for (const Run& r : p->runs) {
            if (r.text.find(needle) != std::string::npos) return r;
        }
    }
    ADD_FAILURE() << "no run with \"" << needle << "\"";
    static const Run none;
    return none;
}

inline const Paragraph& paragraph_with(const Document& d, std::string_view needle) {
    for (const Paragraph* p : paragraphs(d)) {
        if (text_of(*p).find(needle) != std::string::npos) return *p;
    }
    ADD_FAILURE() << "no paragraph with \"" << needle << "\"";
    static const Paragraph none;
    return none;
}

inline std::string cell_text(const Cell& c) {
    std::string s;
    for (const Block& b : c.blocks) {
        if (const auto* p = std::get_if<Paragraph>(&b.content)) {
            if (!s.empty()) s += '|';
            s += text_of(*p);
        }
    }
    return s;
}

}  // namespace hoopcast::richtext::testing
