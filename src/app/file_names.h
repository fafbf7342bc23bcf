#pragma once
// File names as the file system has them: bytes, not always UTF-8 (a USB stick written on
// another system names its plays in Latin-1). Qt shows names as text and cannot keep bytes
// that are not UTF-8, so the window takes the bytes where they arrive and finds them again
// for a name the coach picked from a list.

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace hoopcast::app {

// The command line's arguments after the program name, as bytes.
std::vector<std::string> command_line_arguments(int argc, const char* const* argv);

// The file a dialog names: its own bytes, where each part of the path that does not exist
// as encoded is the one entry of its folder that shows as that text. A part that is not
// there at all (a file about to be written) is taken as encoded.
std::string file_system_name(const QString& shown);

// The first local file of a dropped text/uri-list, its percent-escapes decoded to bytes.
std::optional<std::string> dropped_file(const QByteArray& uri_list);

// A name for showing.
QString shown_name(const std::string& bytes);

}  // namespace hoopcast::app
