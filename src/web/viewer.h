#pragma once
// The browser viewer's core: the window's state and handlers without the window. The page
// (or a test in Node) gives it a host object that keeps the three timers on the browser's
// clock and shows what the viewer sends: frames as the rectangle that changed, the counter,
// the caption and the description. Everything here runs on one thread, as in the window.

#include <emscripten/val.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawings/context.h"
#include "drawings/lines.h"
#include "play/byte_source.h"
#include "play/model.h"
#include "playback/engine.h"
#include "raster/fonts.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/frames.h"

namespace hoopcast::web {

// Bytes handed over by a JavaScript object's read(offset, size): a Uint8Array of at most
// `size` bytes from `offset` (empty at the end). In the browser it reads slices of the
// File, so a large file is never held whole.
class JsSource final : public ByteSource {
  public:
    JsSource(emscripten::val source, double size) : source_(std::move(source)), size_(size) {}

    std::size_t read(char* buffer, std::size_t size) override;
    std::optional<std::size_t> look_ahead(std::size_t distance, char* buffer, std::size_t size) override;
    std::string error() const override { return error_; }

  private:
    // Copies up to `size` bytes from `offset` into `buffer`: how many, or none on failure.
    std::optional<std::size_t> read_at(double offset, char* buffer, std::size_t size);

    emscripten::val source_;
    double size_ = 0;
    double done_ = 0;
    std::string error_;
};

class Viewer final : private PlaybackHost {
  public:
    // host: timer(which, enabled, interval), frame(left, top, width, height, rgba),
    // counter(text), caption(text), description(html) and, for the engine, maximized().
    explicit Viewer(emscripten::val host);
    ~Viewer() override;

    // Reads a play from `source` (see JsSource) of `size` bytes; returns what the reader
    // found as {outcome, message, box, category, play_name, caption, play_loaded}.
    emscripten::val open(emscripten::val source, double size, const std::string& file_name);

    // The court's scale (Round(289 x scale) by Round(361 x scale) pixels) and the screen's
    // height, which some courts are drawn for; the next still frame uses them.
    void set_layout(double scale, int screen_height);
    // The scale of the presentation layout for a screen `height` pixels high.
    static double full_layout_scale(int height);
    int width() const;
    int height() const;

    // The window's handlers.
    void play() { engine_.BitBtn1Click(); }
    // Step: plays the current transition only.
    void step() { engine_.play_transition(); }
    void pause() { engine_.BitBtn3Click(); }
    void stop() { engine_.BitBtn4Click(); }
    void previous() { engine_.BitBtn5Click(); }
    void next() { engine_.BitBtn6Click(); }
    // Space: Pause while playing, else Play.
    void play_pause() { state_.playing ? pause() : play(); }
    void tick(int timer);
    // After the court's size changed: the still frame is drawn again once the size settles.
    void resized();
    int set_speed(int ms) { return engine_.UpDown1Changing(ms); }
    void set_sketch(bool checked);
    void set_loop(bool checked) { loop_ = checked; }
    void set_maximized(bool maximized) { maximized_ = maximized; }
    bool busy() const { return state_.playing || timers_[0] || timers_[1]; }
    void show_court() { Showcourt(); }
    int current_sequence() const { return state_.cur_seq; }

    // Freehand sketching on the court as shown, in picture pixels, with the window's pen.
    bool sketch_begin(int x, int y, int colour);
    void sketch_to(int x, int y);
    void sketch_end() { dragging_ = false; }

    // Files for sharing, as the command line writes them: the still frame of the current
    // sequence as PNG, the whole play as a GIF. Empty on failure (error() says why).
    emscripten::val export_png(double scale, bool sketch);
    emscripten::val export_gif(double scale, bool sketch, int speed_ms);
    std::string error() const { return error_; }

    // The play as read, as `hoopcast-cli info` gives it; for tests.
    emscripten::val model() const;
    // The description of sequence `seq` as the pane shows it (the HTML of `text --html`).
    std::string description_html(int seq) const;

  private:
    void enable_timer(PlaybackTimer timer) override;
    void disable_timer(PlaybackTimer timer) override;
    bool timer_enabled(PlaybackTimer timer) const override;
    void set_timer_interval(PlaybackTimer timer, int ms) override;
    bool sketch_checked() const override { return sketch_; }
    bool loop_checked() const override { return loop_; }
    void set_sketch_checked(bool checked) override { sketch_ = checked; }
    void set_loop_checked(bool checked) override { loop_ = checked; }
    bool maximized() const override { return maximized_; }
    std::string play_name() const override { return play_name_; }
    void show_still_frame(int sequence) override;
    void show_animation_frame(const AnimationFrame& frame) override;
    void show_counter(std::string_view counter) override;
    void show_caption(std::string_view caption) override;

    void Showcourt();
    FrameSettings frame_settings();
    raster::Picture& frame_picture();
    // Sends the part of the frame that differs from what the page shows.
    void show_picture();
    void send_timer(PlaybackTimer timer);

    emscripten::val host_;
    std::unique_ptr<PlayModel> play_ = std::make_unique<PlayModel>();
    DisplayDefaults defaults_;
    DrawContext draw_context_;
    raster::FontLibrary fonts_;
    raster::RenderCache render_cache_;
    raster::PicturePool picture_pool_;
    ArcCache arc_cache_;
    std::unique_ptr<raster::Picture> frame_;
    raster::Bitmap shown_;  // what the page's canvas holds
    std::vector<std::uint8_t> rgba_;
    PlaybackState state_;
    PlaybackEngine engine_;
    double scale_ = 1.0;
    int screen_height_ = 1080;
    bool timers_[3] = {};
    int intervals_[3] = {kDefaultSpeedMs, kTimer2IntervalMs, kTimer3IntervalMs};
    bool sketch_ = true;
    bool loop_ = false;
    bool maximized_ = false;
    bool dragging_ = false;
    std::string play_name_;
    std::string error_;
};

}  // namespace hoopcast::web
