#pragma once

#include <QIcon>

namespace hoopcast::app {

// The program icon in every size it ships in.
QIcon program_icon();

enum class PlaybackIcon { play, pause, stop, previous, next, cancel };
// The theme's media pictures for the playback buttons; Qt derives their disabled look.
QIcon playback_icon(PlaybackIcon which);

}  // namespace hoopcast::app
