#pragma once
// The description pane's text, built straight from the styled description so that what a
// text box can show of it arrives: tab stops at their positions with their leaders, list
// markers hanging at their indents, spacing, paragraph and cell borders and colours, and
// pictures at their size.

#include <QTextFormat>

#include "richtext/document.h"

class QTextDocument;

namespace hoopcast::app {

// Metafiles, and pictures that cannot be shown, are drawn as an empty frame of their size:
// an object of this type whose format holds the size in pixels.
inline constexpr int kPictureFrameObject = QTextFormat::UserObject + 1;
inline constexpr int kPictureFrameSize = QTextFormat::UserProperty + 1;

// Replaces what `pane` holds with `description`.
void show_description(QTextDocument& pane, const richtext::Document& description);

}  // namespace hoopcast::app
