// The description pane is refilled for every frame drawn of a still sequence: clean-up,
// reading and HTML for documents as word processors write them.

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "play/description.h"
#include "richtext/reader.h"
#include "richtext/writers.h"

namespace {

std::string load(const char* name) {
    std::ifstream in(std::string(HOOPCAST_SOURCE_DIR) + "/tests/data/rtf/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void BM_CleanDescription(benchmark::State& state, const char* name) {
    const std::string bytes = load(name);
    for (auto _ : state) benchmark::DoNotOptimize(hoopcast::clean_description(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_DescriptionToHtml(benchmark::State& state, const char* name) {
    const std::string bytes = load(name);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            hoopcast::richtext::to_html(hoopcast::richtext::describe(hoopcast::clean_description(bytes))));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// A long WordPad-style description: 2000 bulleted paragraphs.
void BM_LongBulletedDescription(benchmark::State& state) {
    std::string bytes = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\pard";
    for (int i = 0; i < 2000; ++i)
        bytes += "{\\pntext\\f1\\'B7\\tab}\\pard Caf\\'e9 \\b pass\\b0  and cut\\par\r\n";
    bytes += "}";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            hoopcast::richtext::to_html(hoopcast::richtext::describe(hoopcast::clean_description(bytes))));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_CleanDescription, wordpad, "wordpad_cp1252.rtf");
BENCHMARK_CAPTURE(BM_CleanDescription, word, "word_lists_table_field.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, wordpad, "wordpad_cp1252.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, word, "word_lists_table_field.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, libreoffice_lists, "lo_lists.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, japanese, "wordpad_cp932_ja.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, libreoffice_list_levels, "lo_list_levels_no_listtext.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, libreoffice_tables_shading, "lo_tables_shading.rtf");
BENCHMARK_CAPTURE(BM_DescriptionToHtml, libreoffice_pictures, "lo_pictures_cjk.rtf");
BENCHMARK(BM_LongBulletedDescription);
