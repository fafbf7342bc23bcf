#pragma once
// The sequence counter and the window caption. Both the still frame and the animation tick
// show them, so the rules live here once.

#include <string>
#include <string_view>

namespace hoopcast {

// "3/12" for sequence 3 of 12.
std::string sequence_counter(int sequence, int seq_count);

// With the window maximized the caption names the play and the counter, since the labels
// that show them are hidden then; otherwise it is the bare product name. The play name is
// taken as it comes (its bytes are copied, whatever their encoding).
std::string window_caption(bool maximized, std::string_view play_name, std::string_view counter);

}  // namespace hoopcast
