#include "playback/texts.h"

namespace hoopcast {

std::string sequence_counter(int sequence, int seq_count) {
    return std::to_string(sequence) + "/" + std::to_string(seq_count);
}

std::string window_caption(bool maximized, std::string_view play_name, std::string_view counter) {
    if (!maximized) return "Basketball Hoopcast";
    std::string caption = "Basketball Hoopcast : ";
    caption += play_name;
    caption += "  -  ";
    caption += counter;
    return caption;
}

}  // namespace hoopcast
