#pragma once
// Subcommands of hoopcast-cli. Each adds itself to the app and stores its exit code in
// `status` when it runs: 0 ok, 1 a reader outcome other than success, 2 a usage error,
// 3 a file that cannot be opened.

namespace CLI {
class App;
}

namespace hoopcast::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitOutcome = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFile = 3;

void add_info_command(CLI::App& app, int& status);
void add_text_command(CLI::App& app, int& status);
void add_render_command(CLI::App& app, int& status);
void add_export_command(CLI::App& app, int& status);
void add_playbook_command(CLI::App& app, int& status);
void add_thumbnail_command(CLI::App& app, int& status);

}  // namespace hoopcast::cli
