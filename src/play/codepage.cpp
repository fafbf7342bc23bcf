#include "play/codepage.h"

#include <cstdint>

#include "base/cp1252.h"
#include "base/utf8.h"

namespace hoopcast {

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        append_utf8(out, cp1252_code_point(static_cast<std::uint8_t>(c)));
    }
    return out;
}

}  // namespace hoopcast
