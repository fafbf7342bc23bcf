#include "raster/reduce.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace hoopcast::raster {

namespace {

// Source pixels and their shares of new pixel i, for n source pixels onto m.
struct Span {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> spans(int n, int m) {
    std::vector<Span> out(static_cast<std::size_t>(m));
    const double step = static_cast<double>(n) / m;
    for (int i = 0; i < m; ++i) {
        const double a = i * step, b = (i + 1) * step;
        Span& s = out[static_cast<std::size_t>(i)];
        s.first = static_cast<int>(std::floor(a));
        for (int k = s.first; k < n && k < b; ++k) {
            const double cover = std::min<double>(k + 1, b) - std::max<double>(k, a);
            s.weights.push_back(cover / step);
        }
    }
    return out;
}

}  // namespace

Bitmap reduce_area_average(const Bitmap& source, int width, int height) {
    if (width < 1 || height < 1 || width > source.width() || height > source.height()) return {};
    const std::vector<Span> xs = spans(source.width(), width);
    const std::vector<Span> ys = spans(source.height(), height);
    Bitmap out(width, height, PixelStart::unset);
    std::vector<double> row(static_cast<std::size_t>(source.width()) * 3);
    for (int y = 0; y < height; ++y) {
        // The source rows of this new row, blended first; then across.
        std::fill(row.begin(), row.end(), 0.0);
        const Span& sy = ys[static_cast<std::size_t>(y)];
        for (std::size_t k = 0; k < sy.weights.size(); ++k) {
            const std::uint8_t* src = source.scan_line(sy.first + static_cast<int>(k));
            const double w = sy.weights[k];
            for (std::size_t i = 0; i < row.size(); ++i) row[i] += w * src[i];
        }
        std::uint8_t* dst = out.scan_line(y);
        for (int x = 0; x < width; ++x) {
            const Span& sx = xs[static_cast<std::size_t>(x)];
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (std::size_t k = 0; k < sx.weights.size(); ++k)
                    v += sx.weights[k] *
                         row[(static_cast<std::size_t>(sx.first) + k) * 3 + static_cast<std::size_t>(c)];
                const long rounded = std::lround(v);
                dst[static_cast<std::size_t>(x) * 3 + static_cast<std::size_t>(c)] =
                    static_cast<std::uint8_t>(rounded < 0     ? 0
                                              : rounded > 255 ? 255
                                                              : rounded);
            }
        }
    }
    return out;
}

}  // namespace hoopcast::raster
