#include "app/file_names.h"

#include <QFile>
#include <QList>
#include <filesystem>
#include <system_error>

namespace hoopcast::app {

std::vector<std::string> command_line_arguments(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

namespace {

// The entry of `folder` that shows as `part`; none when no entry, or more than one, does.
std::optional<std::string> entry_shown_as(const std::string& folder, const QString& part) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? std::string(".") : folder, error);
    std::optional<std::string> found;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().native();
        if (QFile::decodeName(QByteArray::fromStdString(name)) != part) continue;
        if (found) return std::nullopt;
        found = name;
    }
    return found;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

std::string file_system_name(const QString& shown) {
    const std::string encoded = QFile::encodeName(shown).toStdString();
    if (shown.isEmpty() || exists(encoded)) return encoded;
    std::string path;
    const QList<QStringView> parts = QStringView(shown).split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) path += '/';
        const QString part = parts[i].toString();
        if (part.isEmpty()) continue;
        const std::string as_encoded = QFile::encodeName(part).toStdString();
        if (exists(path + as_encoded)) {
            path += as_encoded;
        } else if (const auto entry = entry_shown_as(path, part)) {
            path += *entry;
        } else {
            path += as_encoded;
        }
    }
    return path;
}

namespace {
int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::optional<std::string> dropped_file(const QByteArray& uri_list) {
    for (QByteArray line : uri_list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (!line.startsWith("file:")) return std::nullopt;
        QByteArray rest = line.mid(5);
        // file:///path, or file://host/path for this host (the host is not checked).
        if (rest.startsWith("//")) {
            const qsizetype slash = rest.indexOf('/', 2);
            if (slash < 0) return std::nullopt;
            rest = rest.mid(slash);
        }
        std::string path;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            const int high = rest[i] == '%' && i + 2 < rest.size() ? hex_value(rest[i + 1]) : -1;
            const int low = high >= 0 ? hex_value(rest[i + 2]) : -1;
            if (low >= 0) {
                path += static_cast<char>(high * 16 + low);
                i += 2;
            } else {
                path += rest[i];
            }
        }
        return path;
    }
    return std::nullopt;
}

QString shown_name(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

}  // namespace hoopcast::app
