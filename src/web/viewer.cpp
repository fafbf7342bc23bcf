#include "web/viewer.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "export/play_export.h"
#include "play/codepage.h"
#include "play/description.h"
#include "play/reader.h"
#include "play/steps.h"
#include "playback/texts.h"
#include "richtext/reader.h"
#include "richtext/writers.h"
#include "scene/mapping.h"

namespace hoopcast::web {

using emscripten::val;

namespace {

// The window's sketch pen.
constexpr int kSketchPenWidth = 4;

val text(std::string_view cp1252) {
    return val(cp1252_to_utf8(cp1252));
}

val optional_text(const std::optional<std::string>& label) {
    return label ? text(*label) : val::null();
}

// A file written into the module's memory file system, taken out as a Uint8Array.
val take_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    val array = val::global("Uint8Array").new_(bytes.size());
    array.call<void>("set", val(emscripten::typed_memory_view(bytes.size(), bytes.data())));
    return array;
}

}  // namespace

std::optional<std::size_t> JsSource::read_at(double offset, char* buffer, std::size_t size) {
    if (offset >= size_) return 0;
    const double wanted = std::min(static_cast<double>(size), size_ - offset);
    val chunk = source_.call<val>("read", offset, wanted);
    if (!chunk["error"].isUndefined()) {
        error_ = chunk["error"].as<std::string>();
        return std::nullopt;
    }
    const auto got = std::min(chunk["length"].as<std::size_t>(), static_cast<std::size_t>(wanted));
    val(emscripten::typed_memory_view(got, reinterpret_cast<unsigned char*>(buffer)))
        .call<void>("set", chunk);
    return got;
}

std::size_t JsSource::read(char* buffer, std::size_t size) {
    if (!error_.empty()) return 0;
    const std::size_t got = read_at(done_, buffer, size).value_or(0);
    done_ += static_cast<double>(got);
    return got;
}

std::optional<std::size_t> JsSource::look_ahead(std::size_t distance, char* buffer, std::size_t size) {
    if (!error_.empty()) return std::nullopt;
    return read_at(done_ + static_cast<double>(distance), buffer, size);
}

Viewer::Viewer(val host)
    : host_(std::move(host)), draw_context_{*play_, defaults_}, engine_(*play_, state_, *this) {
    draw_context_.arcs = &arc_cache_;
    // As the window starts: speed 20, Sketch on, Loop off.
    engine_.UpDown1Changing(kDefaultSpeedMs);
}

Viewer::~Viewer() = default;

val Viewer::open(val source, double size, const std::string& file_name) {
    dragging_ = false;
    engine_.reset_for_open();
    state_.play_file_name.clear();
    host_.call<void>("description", std::string());
    JsSource bytes(std::move(source), size);
    const ReadResult r = read_play(*play_, bytes, file_name);
    val result = val::object();
    result.set("outcome", std::string(outcome_name(r.outcome)));
    result.set("message", r.message);
    result.set("box", std::string(box_name(r.box)));
    result.set("category", optional_text(r.category));
    result.set("play_name", optional_text(r.play_name));
    result.set("caption", optional_text(r.caption));
    result.set("play_loaded", r.play_loaded);
    if (r.outcome == ReadOutcome::file_error) return result;
    if (r.play_name) play_name_ = cp1252_to_utf8(*r.play_name);
    if (r.play_loaded) state_.play_loaded = true;
    state_.play_file_name = file_name;
    if (state_.play_loaded) Showcourt();
    return result;
}

void Viewer::set_layout(double scale, int screen_height) {
    scale_ = scale;
    screen_height_ = screen_height;
}

int Viewer::width() const {
    return frame_picture_size(scale_).width;
}

int Viewer::height() const {
    return frame_picture_size(scale_).height;
}

void Viewer::tick(int timer) {
    switch (timer) {
        case 1:
            engine_.Timer1Timer();
            break;
        case 2:
            engine_.Timer2Timer();
            break;
        case 3:
            engine_.Timer3Timer();
            break;
        default:
            break;
    }
}

void Viewer::resized() {
    disable_timer(PlaybackTimer::Timer3);
    enable_timer(PlaybackTimer::Timer3);
}

double Viewer::full_layout_scale(int height) {
    return hoopcast::full_layout_scale(height);
}

void Viewer::set_sketch(bool checked) {
    sketch_ = checked;
    engine_.CheckBox1Click();
}

bool Viewer::sketch_begin(int x, int y, int colour) {
    if (state_.playing || timers_[0] || timers_[1] || !frame_ || shown_.empty()) return false;
    raster::Canvas& canvas = frame_->canvas();
    canvas.pen.colour = colour;
    canvas.pen.width = kSketchPenWidth;
    canvas.move_to(x, y);
    canvas.line_to(x, y);
    dragging_ = true;
    show_picture();
    return true;
}

void Viewer::sketch_to(int x, int y) {
    if (!dragging_ || !frame_) return;
    frame_->canvas().line_to(x, y);
    show_picture();
}

// --- frames --------------------------------------------------------------------------------

FrameSettings Viewer::frame_settings() {
    return FrameSettings{scale_, screen_height_, &fonts_, &render_cache_, &picture_pool_};
}

raster::Picture& Viewer::frame_picture() {
    const FrameSettings settings = frame_settings();
    if (!frame_ || !fits_frame(*frame_, settings)) frame_ = create_frame_picture(settings);
    return *frame_;
}

void Viewer::Showcourt() {
    const int seq = state_.cur_seq;
    raster::Picture& picture = frame_picture();
    compose_still_frame(picture, draw_context_, frame_settings(), seq, sketch_);
    if (play_->header(seq).no_animation) host_.call<void>("description", description_html(seq));
    state_.seq_label = sequence_counter(seq, play_->seq_count);
    show_counter(state_.seq_label);
    show_caption(window_caption(maximized_, play_name_, state_.seq_label));
    show_picture();
}

void Viewer::show_still_frame(int) {
    Showcourt();
}

void Viewer::show_animation_frame(const AnimationFrame& frame) {
    raster::Picture& picture = frame_picture();
    compose_animation_frame(picture, draw_context_, frame_settings(), frame.sequence, frame.step, frame.steps,
                            frame.fraction);
    show_picture();
}

void Viewer::show_picture() {
    const raster::Bitmap& picture = frame_->bitmap();
    raster::Rect changed{0, 0, picture.width(), picture.height()};
    if (shown_.width() != picture.width() || shown_.height() != picture.height()) {
        shown_ = picture;
    } else {
        changed = raster::changed_rect(shown_, picture);
        raster::copy_rect(shown_, picture, changed);
    }
    const raster::Rect r = raster::copy_rgba(picture, changed, rgba_);
    host_.call<void>("frame", picture.width(), picture.height(), r.left, r.top, r.right - r.left,
                     r.bottom - r.top, val(emscripten::typed_memory_view(rgba_.size(), rgba_.data())));
}

void Viewer::show_counter(std::string_view counter) {
    host_.call<void>("counter", std::string(counter));
}

void Viewer::show_caption(std::string_view caption) {
    host_.call<void>("caption", std::string(caption));
}

std::string Viewer::description_html(int seq) const {
    if (seq < 1 || seq > play_->seq_count) return {};
    std::string copy;
    const richtext::Document document = richtext::describe(
        cleaned_description(play_->header(seq).text.lf(), copy), richtext::LineEnds::lf_for_crlf);
    return richtext::to_html(document);
}

// --- timers: kept by the host on the browser's clock ----------------------------------------

void Viewer::send_timer(PlaybackTimer timer) {
    const auto i = static_cast<std::size_t>(timer);
    host_.call<void>("timer", static_cast<int>(i) + 1, timers_[i], intervals_[i]);
}

void Viewer::enable_timer(PlaybackTimer timer) {
    const auto i = static_cast<std::size_t>(timer);
    if (timers_[i]) return;  // a running timer keeps its beat
    timers_[i] = true;
    send_timer(timer);
}

void Viewer::disable_timer(PlaybackTimer timer) {
    const auto i = static_cast<std::size_t>(timer);
    if (!timers_[i]) return;
    timers_[i] = false;
    send_timer(timer);
}

bool Viewer::timer_enabled(PlaybackTimer timer) const {
    return timers_[static_cast<std::size_t>(timer)];
}

void Viewer::set_timer_interval(PlaybackTimer timer, int ms) {
    const auto i = static_cast<std::size_t>(timer);
    if (intervals_[i] == ms) return;
    intervals_[i] = ms;
    if (timers_[i]) send_timer(timer);  // restarts its period
}

// --- export ---------------------------------------------------------------------------------

namespace {

val exported(const PlayModel& play, ExportRequest request, std::string& error) {
    static int count = 0;
    request.path = "/tmp/export-" + std::to_string(++count);
    const ExportResult result = export_play(play, request, {});
    if (result.outcome != ExportOutcome::Written) {
        error = result.message;
        return val::null();
    }
    error.clear();
    return take_file(request.path);
}

}  // namespace

val Viewer::export_png(double scale, bool sketch) {
    ExportRequest request;
    request.format = ExportFormat::Png;
    request.scale = scale;
    request.screen_height = screen_height_;
    request.sketch = sketch;
    request.sequence = state_.cur_seq;
    request.fonts = &fonts_;
    return exported(*play_, request, error_);
}

val Viewer::export_gif(double scale, bool sketch, int speed_ms) {
    ExportRequest request;
    request.format = ExportFormat::Gif;
    request.scale = scale;
    request.screen_height = screen_height_;
    request.sketch = sketch;
    request.speed_ms = speed_ms;
    request.fonts = &fonts_;
    return exported(*play_, request, error_);
}

// --- the model, for tests -------------------------------------------------------------------

val Viewer::model() const {
    val sequences = val::array();
    for (int s = 1; s <= play_->seq_count; ++s) {
        const court_element& h = play_->header(s);
        val seq = val::object();
        seq.set("index", s);
        seq.set("court_kind", h.court_kind);
        seq.set("no_animation", h.no_animation);
        val colours = val::array();
        for (const Colour c : {h.colour1, h.colour2, h.colour3, h.colour4}) colours.call<void>("push", c);
        seq.set("colours", colours);
        seq.set("text", text(h.text.crlf()));
        seq.set("seq_path_length", play_->seq_path_length(s));
        const auto plan = step_plan(play_->seq_path_length(s));
        seq.set("steps", plan.steps);
        val items = val::array();
        for (int i = 1; i <= kSlotsPerSequence && !play_->item(s, i).kind.empty(); ++i) {
            const element& e = play_->item(s, i);
            val item = val::object();
            item.set("slot", i);
            item.set("number", e.number);
            item.set("kind", text(e.kind));
            item.set("x1", e.x1);
            item.set("y1", e.y1);
            item.set("x2", e.x2);
            item.set("y2", e.y2);
            item.set("motion", e.motion);
            item.set("taken", e.taken);
            item.set("path_length", e.path_length);
            item.set("colour", e.colour);
            item.set("extra1", e.extra1);
            item.set("extra2", e.extra2);
            item.set("extra3", e.extra3);
            item.set("text", text(e.text.crlf()));
            item.set("text2", text(e.text2));
            // Where the item stands at every step, as the animation frames draw it.
            val positions = val::array();
            for (int step = 0; step <= plan.steps; ++step) {
                val p = val::array();
                for (const auto f : {calc_wrk_x1, calc_wrk_y1, calc_wrk_x2, calc_wrk_y2})
                    p.call<void>("push", f(*play_, s, i, step, plan.steps, plan.fraction));
                positions.call<void>("push", p);
            }
            item.set("positions", positions);
            items.call<void>("push", item);
        }
        seq.set("items", items);
        sequences.call<void>("push", seq);
    }
    val m = val::object();
    m.set("seq_count", play_->seq_count);
    m.set("has_zones", play_->has_zones);
    m.set("sequences", sequences);
    return m;
}

EMSCRIPTEN_BINDINGS(hoopcast) {
    emscripten::class_<Viewer>("Viewer")
        .constructor<val>()
        .function("open", &Viewer::open)
        .function("setLayout", &Viewer::set_layout)
        .function("width", &Viewer::width)
        .function("height", &Viewer::height)
        .function("play", &Viewer::play)
        .function("step", &Viewer::step)
        .function("pause", &Viewer::pause)
        .function("stop", &Viewer::stop)
        .function("previous", &Viewer::previous)
        .function("next", &Viewer::next)
        .function("playPause", &Viewer::play_pause)
        .function("tick", &Viewer::tick)
        .function("resized", &Viewer::resized)
        .class_function("fullLayoutScale", &Viewer::full_layout_scale)
        .function("setSpeed", &Viewer::set_speed)
        .function("setSketch", &Viewer::set_sketch)
        .function("setLoop", &Viewer::set_loop)
        .function("setMaximized", &Viewer::set_maximized)
        .function("busy", &Viewer::busy)
        .function("showCourt", &Viewer::show_court)
        .function("currentSequence", &Viewer::current_sequence)
        .function("sketchBegin", &Viewer::sketch_begin)
        .function("sketchTo", &Viewer::sketch_to)
        .function("sketchEnd", &Viewer::sketch_end)
        .function("exportPng", &Viewer::export_png)
        .function("exportGif", &Viewer::export_gif)
        .function("error", &Viewer::error)
        .function("model", &Viewer::model)
        .function("descriptionHtml", &Viewer::description_html);
    emscripten::function("speedIncrement", &speed_increment);
}

}  // namespace hoopcast::web
