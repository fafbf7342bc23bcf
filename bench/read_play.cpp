// Reading and pairing the largest play the format allows: version 0.5, 75 sequences of
// 49 items, every item with a text and a font name, from memory; and a play of one
// sequence of two items, whose read should cost what it holds, not what the tables could.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "play/reader.h"

namespace {

std::string line(const char* key, const std::string& value) {
    std::string k = key;
    k.resize(9, ' ');
    return k + "= " + value + "\r\n";
}

std::string maximal_play() {
    std::string out = "Version  = Basketball Drillpad 0.5\r\n";
    out += line("Type", "Play") + line("Category", "Offense") + line("Playname", "Everything") +
           line("Nr_seq", "75");
    for (int k = 0; k < 9; ++k) out += line("Reserved", "");
    for (int s = 1; s <= 75; ++s) {
        out += line("Animation", s % 5 == 1 ? "No" : "Yes") + line("Sequence", std::to_string(s));
        for (int d = 0; d < 6; ++d)
            out += "{\\pntext\\f0\\'B7\\tab}Description line of the sequence\\par\r\n";
        out += line("Focus", "") + "Focus text\r\n" + line("Nr_parts", "49");
        for (int i = 1; i <= 49; ++i) {
            const bool player = i <= 30;
            // Players drift across the court from sequence to sequence; every third one
            // swaps slots, so all passes of the pairing have work to do.
            const int slot_number = player ? ((i + (s % 3 == 0 ? 1 : 0)) % 30) + 1 : i;
            out += line("Number", std::to_string(slot_number));
            out += line("Kind", player ? (i % 2 ? "Circle" : "Triangle") : (i % 3 ? "pass" : "Text"));
            out += line("X1", std::to_string((i * 7 + s * 3) % 280));
            out += line("Y1", std::to_string((i * 11 + s * 5) % 350));
            out += line("X2", std::to_string((i * 13) % 280)) + line("Y2", std::to_string((i * 17) % 350));
            out +=
                line("Extra1", "1") + line("Extra2", "0") + line("Extra3", "0") + line("Colour", "16711680");
            out += line("Text", "Label|second line") + line("Text2", "Arial");
        }
    }
    return out;
}

void BM_ReadMaximalPlay(benchmark::State& state) {
    const std::string bytes = maximal_play();
    auto play = std::make_unique<hoopcast::PlayModel>();
    for (auto _ : state) {
        const hoopcast::ReadResult r = hoopcast::read_play(*play, bytes, "max.kqz");
        if (r.outcome != hoopcast::ReadOutcome::success) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(play->seq_path_length(1));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadMaximalPlay)->Unit(benchmark::kMillisecond);

void BM_ReadOneSequencePlay(benchmark::State& state) {
    std::string bytes = "Version  = Basketball Drillpad 0.4\r\n" + line("Category", "Drill") +
                        line("Playname", "Lay-ups") + line("Nr_seq", "1") + line("Animation", "No") +
                        line("Sequence", "1") + "Run to the rim\r\n" + line("Nr_parts", "2");
    for (const char* kind : {"Court", "Circle"}) {
        bytes += line("Number", "1") + line("Kind", kind) + line("X1", "100") + line("Y1", "100") +
                 line("X2", "999") + line("Y2", "0") + line("Extra1", "0") + line("Extra2", "0") +
                 line("Extra3", "0") + line("Colour", "0") + line("Text", "");
    }
    auto play = std::make_unique<hoopcast::PlayModel>();
    for (auto _ : state) {
        const hoopcast::ReadResult r = hoopcast::read_play(*play, bytes, "small.kqz");
        if (r.outcome != hoopcast::ReadOutcome::success) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(play->seq_path_length(1));
    }
}
BENCHMARK(BM_ReadOneSequencePlay)->Unit(benchmark::kMicrosecond);

}  // namespace
