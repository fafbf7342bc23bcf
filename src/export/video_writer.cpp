#include "export/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numeric>

#include "export/recording.h"
#include "export/staged_file.h"
#include "scene/mapping.h"

namespace hoopcast {

using raster::Bitmap;

namespace {

std::string av_error_text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct FormatTraits {
    const char* muxer;
    const char* encoder;
    const char* lossless_encoder;
    const char* codec_name;  // for messages
};

FormatTraits traits(VideoFormat format) noexcept {
    switch (format) {
        case VideoFormat::WebM:
            return {"webm", "libvpx-vp9", "libvpx-vp9", "VP9"};
        case VideoFormat::Mp4:
            break;
    }
    return {"mp4", "libx264", "libx264rgb", "H.264"};
}

bool offers(const AVCodec* codec, AVPixelFormat format) {
    if (codec->pix_fmts == nullptr) return true;
    for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p) {
        if (*p == format) return true;
    }
    return false;
}

// The encoder's input: 4:2:0 for players; lossless as the pictures' own bytes where the
// encoder takes them, else as planes of the same values.
AVPixelFormat input_format(const AVCodec* codec, bool lossless) {
    if (!lossless) return AV_PIX_FMT_YUV420P;
    for (const AVPixelFormat f : {AV_PIX_FMT_BGR24, AV_PIX_FMT_GBRP}) {
        if (offers(codec, f)) return f;
    }
    return AV_PIX_FMT_NONE;
}

// Encoder options by FFmpeg's names. The speeds keep an export many times faster than the
// play runs: a court's flat colours lose little to the faster settings. Without B-frames and
// with the quickest sub-pixel search, H.264 encodes half again as fast at the same quality,
// in files a tenth or so larger.
void encoder_options(AVDictionary** options, const std::string& encoder, const VideoSettings& s,
                     int quality) {
    if (encoder == "libx264" || encoder == "libx264rgb") {
        av_dict_set(options, "preset", "veryfast", 0);
        av_dict_set(options, "x264-params", "bframes=0:subme=1", 0);
        if (s.lossless) {
            av_dict_set(options, "qp", "0", 0);
        } else {
            av_dict_set_int(options, "crf", quality, 0);
        }
    } else if (encoder == "libvpx-vp9") {
        av_dict_set(options, "deadline", "realtime", 0);
        av_dict_set(options, "cpu-used", "6", 0);
        av_dict_set(options, "row-mt", "1", 0);
        if (s.lossless) {
            av_dict_set(options, "lossless", "1", 0);
        } else {
            av_dict_set_int(options, "crf", quality, 0);
            av_dict_set(options, "b", "0", 0);  // quality alone, no bit rate to keep to
        }
    }
}

// BT.709 at video range in 16-bit fixed point, as players read 4:2:0 that says so.
constexpr int kYR = 11966, kYG = 40254, kYB = 4064;
constexpr int kUR = -6596, kUG = -22188, kUB = 28784;
constexpr int kVR = 28784, kVG = -26145, kVB = -2639;

std::uint8_t luma(const std::uint8_t* bgr) {
    return static_cast<std::uint8_t>((kYR * bgr[2] + kYG * bgr[1] + kYB * bgr[0] + (16 << 16) + (1 << 15)) >>
                                     16);
}

// A block of differing pixels shares one chroma, so a thin line's colour spreads over its
// neighbours and pushes them past the ends of the colour range. Rounds move each pixel's luma
// and the shared chroma by what the block, decoded with its chroma repeated, still misses.
void fit_block(const std::uint8_t* const pixels[4], std::uint8_t* const lumas[4], std::uint8_t& u_out,
               std::uint8_t& v_out) {
    constexpr float kr = 0.2126f, kb = 0.0722f, kg = 1.0f - kr - kb;
    constexpr float red_v = 2 * (1 - kr), blue_u = 2 * (1 - kb);
    constexpr float green_u = -kb * blue_u / kg, green_v = -kr * red_v / kg;
    // A block's chroma from the sum of its four pixels' blue or red less luma.
    constexpr float u_of_sum = 1 / (4 * blue_u), v_of_sum = 1 / (4 * red_v);
    const auto clamp = [](float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; };
    float t[4][3], y[4], su = 0, sv = 0;
    for (int i = 0; i < 4; ++i) {
        t[i][0] = pixels[i][2];
        t[i][1] = pixels[i][1];
        t[i][2] = pixels[i][0];
        y[i] = kr * t[i][0] + kg * t[i][1] + kb * t[i][2];
        su += t[i][2] - y[i];
        sv += t[i][0] - y[i];
    }
    float u = su * u_of_sum, v = sv * v_of_sum;
    // Two rounds give most of what more would (32.3 of 32.5 dB on a sample, against 30.0 for none).
    for (int round = 0; round < 2; ++round) {
        su = sv = 0;
        for (int i = 0; i < 4; ++i) {
            const float er = t[i][0] - clamp(y[i] + red_v * v, 0, 255);
            const float eg = t[i][1] - clamp(y[i] + green_u * u + green_v * v, 0, 255);
            const float eb = t[i][2] - clamp(y[i] + blue_u * u, 0, 255);
            const float ey = kr * er + kg * eg + kb * eb;
            y[i] = clamp(y[i] + ey, 0, 255);
            su += eb - ey;
            sv += er - ey;
        }
        u = clamp(u + su * u_of_sum, -127.5f, 127.5f);
        v = clamp(v + sv * v_of_sum, -127.5f, 127.5f);
    }
    const auto byte = [](float x) { return static_cast<std::uint8_t>(x + 0.5f); };
    for (int i = 0; i < 4; ++i) *lumas[i] = byte(16 + y[i] * (219.0f / 255));
    u_out = byte(128 + u * (224.0f / 255));
    v_out = byte(128 + v * (224.0f / 255));
}

// Whether a block's four pixels (in `rows`) are those at the same places of `previous_rows`.
bool same_block(const std::uint8_t* const pixels[4], const std::uint8_t* const rows[2],
                const std::uint8_t* const previous_rows[2]) {
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t* was = previous_rows[i / 2] + (pixels[i] - rows[i / 2]);
        if (std::memcmp(pixels[i], was, 3) != 0) return false;
    }
    return true;
}

struct ColumnSpan {
    int first = 0;
    int last = -1;  // before `first` when empty
};

// The first and last pixel in which two rows of `width` pixels differ. Runs of equal pixels
// are compared many at a time.
ColumnSpan changed_columns(const std::uint8_t* a, const std::uint8_t* b, int width) {
    constexpr int kRun = 32;
    const auto same = [&](int x, int n) {
        return std::memcmp(a + 3 * x, b + 3 * x, 3 * static_cast<std::size_t>(n)) == 0;
    };
    int first = 0;
    while (first + kRun <= width && same(first, kRun)) first += kRun;
    while (first < width && same(first, 1)) ++first;
    if (first == width) return {};
    int last = width - 1;
    while (last - kRun >= first && same(last - kRun + 1, kRun)) last -= kRun;
    while (same(last, 1)) --last;  // stops at `first` at the latest
    return {first, last};
}

// The picture as 4:2:0 planes of the frame's size. A block of one colour takes it exactly;
// others are fitted. An odd side's padding repeats the edge pixels. Blocks the same as in
// `previous`, whose planes the frame still holds, are left as they are: from one animation
// frame to the next only the moving symbols change. `previous` is brought up to the picture.
void to_yuv420(const Bitmap& picture, Bitmap* previous, AVFrame& frame) {
    const int w = picture.width(), h = picture.height();
    for (int y = 0; y < frame.height; y += 2) {
        const std::uint8_t* rows[2] = {picture.scan_line(std::min(y, h - 1)),
                                       picture.scan_line(std::min(y + 1, h - 1))};
        const std::uint8_t* previous_rows[2] = {nullptr, nullptr};
        int begin = 0, end = frame.width;
        ColumnSpan changed;
        if (previous != nullptr) {
            previous_rows[0] = previous->scan_line(std::min(y, h - 1));
            previous_rows[1] = previous->scan_line(std::min(y + 1, h - 1));
            const ColumnSpan top = changed_columns(rows[0], previous_rows[0], w);
            const ColumnSpan bottom = changed_columns(rows[1], previous_rows[1], w);
            const int first =
                std::min(top.last < top.first ? w : top.first, bottom.last < bottom.first ? w : bottom.first);
            const int last = std::max(top.last, bottom.last);
            if (last < first) continue;
            // Whole blocks, and the padding beside a changed edge pixel.
            begin = first & ~1;
            end = std::min(frame.width, (last | 1) + 1);
            changed = {first, last};
        }
        std::uint8_t* luma_rows[2] = {frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0],
                                      frame.data[0] + static_cast<std::ptrdiff_t>(y + 1) * frame.linesize[0]};
        std::uint8_t* u = frame.data[1] + static_cast<std::ptrdiff_t>(y / 2) * frame.linesize[1];
        std::uint8_t* v = frame.data[2] + static_cast<std::ptrdiff_t>(y / 2) * frame.linesize[2];
        for (int x = begin; x < end; x += 2) {
            const int left = 3 * std::min(x, w - 1), right = 3 * std::min(x + 1, w - 1);
            const std::uint8_t* const pixels[4] = {rows[0] + left, rows[0] + right, rows[1] + left,
                                                   rows[1] + right};
            if (previous_rows[0] != nullptr && same_block(pixels, rows, previous_rows)) continue;
            const auto same = [&](int i) { return std::memcmp(pixels[0], pixels[i], 3) == 0; };
            if (!(same(1) && same(2) && same(3))) {
                std::uint8_t* const lumas[4] = {luma_rows[0] + x, luma_rows[0] + x + 1, luma_rows[1] + x,
                                                luma_rows[1] + x + 1};
                fit_block(pixels, lumas, u[x / 2], v[x / 2]);
                continue;
            }
            const std::uint8_t* p = pixels[0];
            luma_rows[0][x] = luma_rows[0][x + 1] = luma_rows[1][x] = luma_rows[1][x + 1] = luma(p);
            u[x / 2] = static_cast<std::uint8_t>(
                (kUR * p[2] + kUG * p[1] + kUB * p[0] + (128 << 16) + (1 << 15)) >> 16);
            v[x / 2] = static_cast<std::uint8_t>(
                (kVR * p[2] + kVG * p[1] + kVB * p[0] + (128 << 16) + (1 << 15)) >> 16);
        }
        for (int i = 0; i < 2 && y + i < h && changed.first <= changed.last; ++i) {
            std::memcpy(previous->scan_line(y + i) + 3 * changed.first, rows[i] + 3 * changed.first,
                        3 * static_cast<std::size_t>(changed.last - changed.first + 1));
        }
    }
}

// Lossless input: the picture's own bytes, or its planes in the order FFmpeg keeps them.
void to_rgb(const Bitmap& picture, AVFrame& frame) {
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* row = picture.scan_line(y);
        if (frame.format == AV_PIX_FMT_BGR24) {
            std::memcpy(frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0], row,
                        picture.stride());
            continue;
        }
        std::uint8_t* planes[3];
        for (int i = 0; i < 3; ++i)
            planes[i] = frame.data[i] + static_cast<std::ptrdiff_t>(y) * frame.linesize[i];
        for (int x = 0; x < picture.width(); ++x) {
            planes[0][x] = row[3 * x + 1];
            planes[1][x] = row[3 * x];
            planes[2][x] = row[3 * x + 2];
        }
    }
}

}  // namespace

QualityRange quality_range(VideoFormat format) noexcept {
    switch (format) {
        case VideoFormat::WebM:
            return {0, 63, 30};
        case VideoFormat::Mp4:
            break;
    }
    return {0, 51, 20};
}

struct VideoWriter::Impl {
    StagedFile file;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int width = 0;
    int height = 0;
    std::int64_t next_pts = 0;
    bool done = false;
    // The picture the frame's planes were last converted from.
    Bitmap converted;

    // Unfinished, the file is removed (by `file`, after the output is closed).
    ~Impl() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            if (format->pb != nullptr) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

VideoWriter::VideoWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
VideoWriter::~VideoWriter() = default;

std::unique_ptr<VideoWriter> VideoWriter::create(const std::string& path, int width, int height,
                                                 const VideoSettings& settings, std::string& error) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_ERROR); });

    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        error =
            "cannot write a video of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        return nullptr;
    }
    if (settings.fps < 1 || settings.fps > 1000) {
        error = "cannot write a video at " + std::to_string(settings.fps) + " frames a second";
        return nullptr;
    }
    const FormatTraits t = traits(settings.format);
    const std::string encoder_name = !settings.encoder.empty() ? settings.encoder
                                     : settings.lossless       ? t.lossless_encoder
                                                               : t.encoder;
    const AVCodec* encoder = avcodec_find_encoder_by_name(encoder_name.c_str());
    if (encoder == nullptr || encoder->type != AVMEDIA_TYPE_VIDEO) {
        error = std::string("the ") + t.codec_name + " encoder " + encoder_name +
                " is missing from this system's FFmpeg libraries";
        return nullptr;
    }
    const AVPixelFormat pixels = input_format(encoder, settings.lossless);
    if (pixels == AV_PIX_FMT_NONE || (!settings.lossless && !offers(encoder, pixels))) {
        error = "the encoder " + encoder_name + " does not take " + (settings.lossless ? "RGB" : "4:2:0") +
                " pictures";
        return nullptr;
    }
    const QualityRange range = quality_range(settings.format);
    const int quality =
        settings.quality < range.best ? range.standard : std::min(settings.quality, range.worst);

    auto impl = std::make_unique<Impl>();
    Impl& d = *impl;
    d.width = width;
    d.height = height;
    if (!d.file.open(path, error)) return nullptr;
    // FFmpeg opens the file by name, as the MP4 muxer reads it back to move its index.
    ::close(d.file.take_fd());

    const auto fail = [&](const std::string& what, int code) {
        error = what.empty() ? av_error_text(code) : what + ": " + av_error_text(code);
        return nullptr;
    };
    int rc = avformat_alloc_output_context2(&d.format, nullptr, t.muxer, d.file.write_path().c_str());
    if (rc < 0) return fail("no " + std::string(t.muxer) + " writer", rc);

    d.codec = avcodec_alloc_context3(encoder);
    d.frame = av_frame_alloc();
    d.packet = av_packet_alloc();
    if (d.codec == nullptr || d.frame == nullptr || d.packet == nullptr) return fail("", AVERROR(ENOMEM));
    const bool subsampled = pixels == AV_PIX_FMT_YUV420P;
    d.codec->width = subsampled ? (width + 1) & ~1 : width;
    d.codec->height = subsampled ? (height + 1) & ~1 : height;
    d.codec->pix_fmt = pixels;
    d.codec->time_base = AVRational{1, settings.fps};
    d.codec->framerate = AVRational{settings.fps, 1};
    d.codec->sample_aspect_ratio = AVRational{1, 1};
    d.codec->thread_count = 0;
    d.codec->color_primaries = AVCOL_PRI_BT709;
    if (subsampled) {
        d.codec->color_trc = AVCOL_TRC_BT709;
        d.codec->colorspace = AVCOL_SPC_BT709;
        d.codec->color_range = AVCOL_RANGE_MPEG;
        d.codec->chroma_sample_location = AVCHROMA_LOC_CENTER;
    } else {
        d.codec->color_trc = AVCOL_TRC_IEC61966_2_1;
        d.codec->colorspace = AVCOL_SPC_RGB;
        d.codec->color_range = AVCOL_RANGE_JPEG;
    }
    if ((d.format->oformat->flags & AVFMT_GLOBALHEADER) != 0) d.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* options = nullptr;
    encoder_options(&options, encoder_name, settings, quality);
    rc = avcodec_open2(d.codec, encoder, &options);
    av_dict_free(&options);
    if (rc < 0) return fail("the encoder " + encoder_name + " refused the video", rc);

    d.stream = avformat_new_stream(d.format, nullptr);
    if (d.stream == nullptr) return fail("", AVERROR(ENOMEM));
    d.stream->time_base = d.codec->time_base;
    d.stream->avg_frame_rate = d.codec->framerate;
    rc = avcodec_parameters_from_context(d.stream->codecpar, d.codec);
    if (rc < 0) return fail("", rc);

    rc = avio_open(&d.format->pb, d.file.write_path().c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) return fail("", rc);
    AVDictionary* mux_options = nullptr;
    if (settings.format == VideoFormat::Mp4) av_dict_set(&mux_options, "movflags", "+faststart", 0);
    rc = avformat_write_header(d.format, &mux_options);
    av_dict_free(&mux_options);
    if (rc < 0) return fail("", d.format->pb->error < 0 ? d.format->pb->error : rc);

    d.frame->format = pixels;
    d.frame->width = d.codec->width;
    d.frame->height = d.codec->height;
    rc = av_frame_get_buffer(d.frame, 0);
    if (rc < 0) return fail("", rc);
    return std::unique_ptr<VideoWriter>(new VideoWriter(std::move(impl)));
}

bool VideoWriter::fail(const std::string& what, int code) {
    error_ = what.empty() ? av_error_text(code) : what + ": " + av_error_text(code);
    impl_->done = true;
    return false;
}

bool VideoWriter::add_frames(const Bitmap& picture, std::int64_t count) {
    Impl& d = *impl_;
    if (d.done) {
        if (error_.empty()) error_ = "the video is finished";
        return false;
    }
    if (picture.width() != d.width || picture.height() != d.height) {
        error_ = "frame size differs from the video's";
        return false;
    }
    if (count <= 0) return true;
    int rc = av_frame_make_writable(d.frame);
    if (rc < 0) return fail("", rc);

    if (d.frame->format == AV_PIX_FMT_YUV420P) {
        if (d.converted.empty()) {
            to_yuv420(picture, nullptr, *d.frame);
            d.converted = picture;
        } else {
            to_yuv420(picture, &d.converted, *d.frame);
        }
    } else {
        to_rgb(picture, *d.frame);
    }
    for (std::int64_t i = 0; i < count; ++i) {
        d.frame->pts = d.next_pts++;
        rc = avcodec_send_frame(d.codec, d.frame);
        if (rc < 0) return fail("the encoder failed", rc);
        if (!drain(false)) return false;
    }
    return true;
}

// Hands every packet the encoder has ready to the file; when flushing, all it holds.
bool VideoWriter::drain(bool flushing) {
    Impl& d = *impl_;
    for (;;) {
        int rc = avcodec_receive_packet(d.codec, d.packet);
        if (rc == AVERROR_EOF || (rc == AVERROR(EAGAIN) && !flushing)) return true;
        if (rc < 0) return fail("the encoder failed", rc);
        av_packet_rescale_ts(d.packet, d.codec->time_base, d.stream->time_base);
        d.packet->stream_index = d.stream->index;
        rc = av_interleaved_write_frame(d.format, d.packet);
        if (rc < 0) return fail("", d.format->pb->error < 0 ? d.format->pb->error : rc);
    }
}

bool VideoWriter::finish() {
    Impl& d = *impl_;
    if (d.done) return false;
    int rc = avcodec_send_frame(d.codec, nullptr);
    if (rc < 0) return fail("the encoder failed", rc);
    if (!drain(true)) return false;
    rc = av_write_trailer(d.format);
    if (rc < 0) return fail("", d.format->pb->error < 0 ? d.format->pb->error : rc);
    avio_flush(d.format->pb);
    if (d.format->pb->error < 0) return fail("", d.format->pb->error);
    rc = avio_closep(&d.format->pb);
    if (rc < 0) return fail("", rc);
    d.done = true;
    return d.file.commit(error_);
}

VideoOutcome write_recording_video(DrawContext& ctx, const FrameSettings& frame_settings,
                                   const PlaybackRecording& recording, bool sketch, const std::string& path,
                                   const VideoSettings& settings, const VideoProgress& progress,
                                   std::string& error) {
    error.clear();
    const PictureSize size = frame_picture_size(frame_settings.scale);
    auto writer = VideoWriter::create(path, size.width, size.height, settings, error);
    if (!writer) return VideoOutcome::Failed;

    const std::vector<std::int64_t> counts = video_frame_counts(recording, settings.fps);
    const std::int64_t total = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    std::unique_ptr<raster::Picture> picture;
    const RecordedFrame* drawn = nullptr;
    std::int64_t pending = 0;
    std::int64_t done = 0;
    // A picture goes to the writer once, with every frame it fills.
    const auto flush = [&] {
        if (pending == 0) return VideoOutcome::Written;
        if (!writer->add_frames(picture->bitmap(), pending)) {
            error = writer->error();
            return VideoOutcome::Failed;
        }
        done += pending;
        pending = 0;
        return progress && !progress(done, total) ? VideoOutcome::Cancelled : VideoOutcome::Written;
    };
    for (std::size_t k = 0; k < counts.size(); ++k) {
        if (counts[k] == 0) continue;
        const RecordedFrame& f = recording.frames[k];
        if (drawn == nullptr || !same_picture(*drawn, f)) {
            if (const VideoOutcome o = flush(); o != VideoOutcome::Written) return o;
            picture = compose_recorded_frame(ctx, frame_settings, f, sketch);
            drawn = &f;
        }
        pending += counts[k];
    }
    if (const VideoOutcome o = flush(); o != VideoOutcome::Written) return o;
    if (!writer->finish()) {
        error = writer->error();
        return VideoOutcome::Failed;
    }
    return VideoOutcome::Written;
}

}  // namespace hoopcast
