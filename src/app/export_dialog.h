#pragma once
// File > Export…: where to, in which format (by the dialog's filter, or the extension the
// coach typed), at which size (the normal court, the presentation size, or a scale) and, for
// an animation, how long its opening and final pictures hold.

#include <QString>
#include <optional>

#include "export/play_export.h"

class QWidget;

namespace hoopcast::app {

struct ExportChoice {
    QString path;
    ExportFormat format = ExportFormat::Mp4;
    double scale = 1.0;
    int hold_start_ms = kDefaultHoldStartMs;
    int hold_end_ms = kDefaultHoldEndMs;
};

// The format of a known extension in `path`, else `filter`'s, whose extension is then added.
ExportChoice resolve_export_path(const QString& path, ExportFormat filter, double scale);

// Asks for the file and the size; nothing when the coach cancels. `suggested` names the file
// the dialog starts with (a folder and a base name).
std::optional<ExportChoice> choose_export(QWidget* parent, const QString& suggested,
                                          double presentation_scale);

}  // namespace hoopcast::app
