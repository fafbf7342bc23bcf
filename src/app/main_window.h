#pragma once
// The main window: court area, description pane, playback controls, menu, and the floating
// control panel of the wide layout. Its handlers keep the names they have in the program's
// design (FormShow, BitBtn1Click, Timer1Timer ...) so behaviour and code map one to one.

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/export_dialog.h"
#include "app/export_job.h"
#include "app/key_routes.h"
#include "app/playback_switches.h"
#include "app/window_layout.h"
#include "drawings/context.h"
#include "drawings/lines.h"
#include "play/model.h"
#include "playback/engine.h"
#include "raster/fonts.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/frames.h"

class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QTextBrowser;

namespace hoopcast::app {

class ColourBox;
class CourtView;
class TAboutBox;
class UpDown;

class TForm12 : public QMainWindow, private PlaybackHost {
    Q_OBJECT
  public:
    // `arguments` are the command-line arguments after the program name, as the file
    // system's bytes.
    explicit TForm12(std::vector<std::string> arguments, QWidget* parent = nullptr);
    ~TForm12() override;

    // Design size of the client area, and the smallest outer size.
    static constexpr int kClientWidth = 608;
    static constexpr int kClientHeight = 412;
    static constexpr int kMinOuterWidth = kNormalOuterWidth;

    // Event handlers of the design.
    void FormCreate();
    void FormShow();
    // Lays out the controls for the layout the window has taken.
    void FormResize(const LayoutState& layout, bool switched);
    void FormPaint();
    void FormClose();
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void Open1Click();
    void Export1Click();
    void Exit1Click();
    void About1Click();
    void BitBtn2Click();
    void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp();
    void Label6Click();

    // Reads a play and shows its first sequence; returns false when the file could not be
    // read at all (the system's error was shown). `file_name` is the file system's bytes.
    bool OpenPlay(const std::string& file_name);
    // Composes the still frame of the current sequence and shows it.
    void Showcourt();
    // Fills the description pane from the current sequence.
    void gettext();

    // State that tests and the shell read.
    double scale() const noexcept { return layout_.state().scale; }
    const WindowLayout& layout() const noexcept { return layout_; }
    PlaybackSwitches& switches() noexcept { return switches_; }
    bool play_loaded() const noexcept { return state_.play_loaded; }
    const PlaybackState& playback_state() const noexcept { return state_; }
    const PlayModel& play() const noexcept { return *play_; }
    PlaybackEngine& engine() noexcept { return *engine_; }
    QTimer& timer1() noexcept { return timer1_; }
    const std::string& play_file_name() const noexcept { return state_.play_file_name; }
    QAction* export_action() const noexcept { return export_action_; }
    // The running export's progress dialog; null when none runs.
    QProgressDialog* export_progress() const noexcept { return export_progress_; }

    // Answers File > Export… in place of the dialog when set (tests).
    std::function<std::optional<ExportChoice>()> export_chooser;
    // Runs an export in place of export_play when set (tests).
    ExportJob::Run export_runner;

    // The controls, named as in the design.
    QLabel* Label1 = nullptr;  // play name
    QLabel* Label2 = nullptr;  // "Playname: "
    QLabel* Label3 = nullptr;  // "Speed :"
    QLabel* Label4 = nullptr;  // sequence counter
    QLabel* Label7 = nullptr;  // "Category:"
    QLabel* Label8 = nullptr;  // category
    CourtView* PaintBox1 = nullptr;
    QTextBrowser* Richedit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // Play
    QPushButton* BitBtn2 = nullptr;  // Cancel
    QPushButton* BitBtn3 = nullptr;  // Pause
    QPushButton* BitBtn4 = nullptr;  // Stop
    QPushButton* BitBtn5 = nullptr;  // Previous
    QPushButton* BitBtn6 = nullptr;  // Next
    QCheckBox* CheckBox1 = nullptr;  // Sketch
    QCheckBox* CheckBox2 = nullptr;  // Loop
    QLineEdit* Edit1 = nullptr;
    UpDown* UpDown1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label6 = nullptr;         // "X"
    QPushButton* BitBtn7 = nullptr;   // Play
    QPushButton* BitBtn8 = nullptr;   // Pause
    QPushButton* BitBtn9 = nullptr;   // Stop
    QPushButton* BitBtn10 = nullptr;  // Previous
    QPushButton* BitBtn11 = nullptr;  // Next
    QCheckBox* CheckBox3 = nullptr;   // Sketch
    QCheckBox* CheckBox4 = nullptr;   // Loop
    QLineEdit* Edit2 = nullptr;
    UpDown* UpDown2 = nullptr;
    ColourBox* ColorBox1 = nullptr;
    TAboutBox* AboutBox = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEvent(const QByteArray& event_type, void* message, qintptr* result) override;

  private:
    // What the playback engine asks of the window.
    void enable_timer(PlaybackTimer timer) override;
    void disable_timer(PlaybackTimer timer) override;
    bool timer_enabled(PlaybackTimer timer) const override;
    void set_timer_interval(PlaybackTimer timer, int ms) override;
    bool sketch_checked() const override;
    bool loop_checked() const override;
    void set_sketch_checked(bool checked) override;
    void set_loop_checked(bool checked) override;
    bool maximized() const override;
    std::string play_name() const override;
    void show_still_frame(int sequence) override;
    void show_animation_frame(const AnimationFrame& frame) override;
    void show_counter(std::string_view counter) override;
    void show_caption(std::string_view caption) override;

    void build_controls();
    void build_panel();
    void build_menu();
    void build_shortcuts();
    void window_key(WindowKeyAction action);
    QTimer& timer(PlaybackTimer which);
    const QTimer& timer(PlaybackTimer which) const;
    void show_picture(const raster::Bitmap& picture);
    FrameSettings frame_settings() const;
    // The kept frame picture, ready for a frame of `settings`.
    raster::Picture& frame_picture(const FrameSettings& settings);
    void stop_for_open();
    void open_chosen_file(const std::string& path);
    void show_reader_box(bool error_box, const QString& text);
    // Runs `work`. Memory that runs out on the way ends `work`, not the program: playback
    // stops and an Error box says what could not be done. False then.
    template <typename Work>
    bool within_memory(const QString& task, Work&& work);
    void start_export(const ExportChoice& choice);
    void end_export(const ExportResult& result);
    void show_panel_at(QPoint at);
    void set_shown_play_text(QLabel* label, const std::string& bytes);
    void claim_control_keys();

    std::vector<std::string> arguments_;
    std::unique_ptr<PlayModel> play_;
    DisplayDefaults defaults_;
    DrawContext draw_context_;
    raster::FontLibrary fonts_;
    // Caches only: they change what a frame costs, never what it shows.
    mutable raster::RenderCache render_cache_;
    mutable raster::PicturePool picture_pool_;
    ArcCache arc_cache_;
    // Every frame is drawn into this one picture, made again only when the scale changes.
    std::unique_ptr<raster::Picture> frame_;
    PlaybackState state_;
    std::unique_ptr<PlaybackEngine> engine_;
    QTimer timer1_;
    QTimer timer2_;
    QTimer timer3_;
    PlaybackSwitches switches_;
    WindowLayout layout_;
    QAction* export_action_ = nullptr;
    std::unique_ptr<ExportJob> export_job_;
    QProgressDialog* export_progress_ = nullptr;
    bool dragging_ = false;
};

}  // namespace hoopcast::app
