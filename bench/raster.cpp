// Canvas primitives on a court-sized picture (826 x 1032, a 289 x 361 court at scale
// 2.86), each beside a memset of the same number of bytes the primitive could touch.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "raster/fonts.h"
#include "raster/picture.h"

namespace {

using namespace hoopcast::raster;

constexpr int kWidth = 826;
constexpr int kHeight = 1032;
constexpr std::size_t kPictureBytes = std::size_t{kWidth} * kHeight * 3;

void BM_MemsetPicture(benchmark::State& state) {
    std::vector<std::uint8_t> bytes(kPictureBytes);
    for (auto _ : state) {
        std::memset(bytes.data(), 0xFF, bytes.size());
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPictureBytes));
}
BENCHMARK(BM_MemsetPicture);

void BM_ClearPicture(benchmark::State& state) {
    Picture p(kWidth, kHeight);
    const Colour colour = static_cast<Colour>(state.range(0));
    for (auto _ : state) {
        p.bitmap().fill(colour);
        benchmark::DoNotOptimize(p.bitmap().bytes().data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPictureBytes));
}
BENCHMARK(BM_ClearPicture)->Arg(0xFFFFFF)->Arg(0x5A8CC8);

void BM_FloodFillWholePicture(benchmark::State& state) {
    Picture p(kWidth, kHeight);
    Canvas& c = p.canvas();
    Colour colours[2] = {0x5A8CC8, 0x30C0F0};
    int k = 0;
    for (auto _ : state) {
        c.brush.colour = colours[k ^= 1];
        c.flood_fill(kWidth / 2, kHeight / 2, 0x000000);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPictureBytes));
}
BENCHMARK(BM_FloodFillWholePicture)->Unit(benchmark::kMillisecond);

void BM_ThinLines(benchmark::State& state) {
    Picture p(kWidth, kHeight);
    Canvas& c = p.canvas();
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            c.move_to(i * 8, 0);
            c.line_to(kWidth - 1 - i * 8, kHeight - 1);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ThinLines);

void BM_WideLines(benchmark::State& state) {
    Picture p(kWidth, kHeight);
    Canvas& c = p.canvas();
    c.pen.width = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            c.move_to(i * 8, 0);
            c.line_to(kWidth - 1 - i * 8, kHeight - 1);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_WideLines)->Arg(3)->Arg(8);

void BM_Ellipses(benchmark::State& state) {
    Picture p(kWidth, kHeight);
    Canvas& c = p.canvas();
    c.pen.width = static_cast<int>(state.range(0));
    c.brush.colour = 0x30C0F0;
    for (auto _ : state) {
        for (int i = 0; i < 20; ++i) c.ellipse(100 + i, 100 + i, 700 - i * 10, 900 - i * 20);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_Ellipses)->Arg(1)->Arg(3);

void BM_FilledPolygon(benchmark::State& state) {
    Picture p(kWidth, kHeight);
    Canvas& c = p.canvas();
    c.brush.colour = 0x30C0F0;
    std::vector<Point> star;
    for (int i = 0; i < 5; ++i) {
        const double a = i * 4 * 3.14159265358979 / 5;
        star.push_back(
            {413 + static_cast<int>(400 * std::cos(a)), 516 + static_cast<int>(500 * std::sin(a))});
    }
    for (auto _ : state) {
        c.polygon(star);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FilledPolygon);

void BM_TextOut(benchmark::State& state) {
    const FontLibrary fonts;
    Picture p(kWidth, kHeight, &fonts);
    Canvas& c = p.canvas();
    c.brush.style = BrushStyle::clear;
    c.font.size = 20;
    for (auto _ : state) {
        c.text_out(10, 10, "Zone defence, second option: 4 to 5");
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOut);

}  // namespace
