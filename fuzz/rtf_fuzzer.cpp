// The description pane's road: clean-up, then rich text or plain text, then HTML and plain text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "play/description.h"
#include "richtext/reader.h"
#include "richtext/writers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string cleaned = hoopcast::clean_description(bytes);
    const hoopcast::richtext::Document document = hoopcast::richtext::describe(cleaned);
    const std::string html = hoopcast::richtext::to_html(document);
    const std::string text = hoopcast::richtext::to_plain_text(document);
    // Every document gives the HTML frame; nothing of the input leaks unescaped into tags.
    if (html.find("<html>") != 0) __builtin_trap();
    if (text.size() > html.size() * 2 + 16) __builtin_trap();
    return 0;
}
