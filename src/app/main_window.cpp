#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <tuple>
#include <utility>

#include "app/about_box.h"
#include "app/colour_box.h"
#include "app/court_view.h"
#include "app/description_document.h"
#include "app/file_names.h"
#include "app/icons.h"
#include "app/message_box.h"
#include "app/shown_text.h"
#include "app/up_down.h"
#include "play/description.h"
#include "play/reader.h"
#include "play/rounding.h"
#include "playback/texts.h"
#include "raster/picture.h"
#include "richtext/reader.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast::app {

namespace {

constexpr int kSpeedMin = kMinSpeedMs;
constexpr int kSpeedMax = kMaxSpeedMs;
constexpr int kDesignSpeed = 25;
constexpr int kDesignSpeedStep = 5;
constexpr int kShownSpeed = kDefaultSpeedMs;
constexpr int kSketchPenWidth = 4;
constexpr int kBlueIndex = 12;
const QColor kWideBackground(0, 0, 0);

QFont arial_bold_13() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    return f;
}

QPushButton* picture_button(QWidget* parent, PlaybackIcon icon, const QString& hint, QRect geometry) {
    auto* b = new QPushButton(parent);
    b->setIcon(playback_icon(icon));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setGeometry(geometry);
    b->setIconSize(QSize(16, 16));
    b->setProperty(kFocusKindProperty, static_cast<int>(FocusKind::playback_button));
    return b;
}

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A read-only box showing the speed with its spinner, at the design's place and values.
std::pair<QLineEdit*, UpDown*> speed_control(QWidget* parent, QRect edit_geometry, QRect spinner_geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(edit_geometry);
    edit->setProperty(kFocusKindProperty, static_cast<int>(FocusKind::speed_box));
    edit->setAccessibleName(QObject::tr("Speed in milliseconds per step"));
    auto* spinner = new UpDown(edit, parent);
    spinner->setGeometry(spinner_geometry);
    spinner->set_range(kSpeedMin, kSpeedMax);
    spinner->set_increment(kDesignSpeedStep);
    spinner->set_position(kDesignSpeed);
    return {edit, spinner};
}

}  // namespace

TForm12::TForm12(std::vector<std::string> arguments, QWidget* parent)
    : QMainWindow(parent),
      arguments_(std::move(arguments)),
      play_(std::make_unique<PlayModel>()),
      draw_context_{*play_, defaults_, false, &arc_cache_},
      layout_(
          *this, kClientHeight, [this] { return menuBar()->sizeHint().height(); },
          [this](const LayoutState& layout, bool switched) { FormResize(layout, switched); }) {
    setWindowTitle(QStringLiteral("Basketball Hoopcast"));
    setWindowIcon(program_icon());
    setFont(arial_bold_13());
    setAcceptDrops(true);

    PlaybackHost& host = *this;
    engine_ = std::make_unique<PlaybackEngine>(*play_, state_, host);
    for (QTimer* t : {&timer1_, &timer2_, &timer3_}) t->setTimerType(Qt::PreciseTimer);
    timer2_.setInterval(kTimer2IntervalMs);
    timer3_.setInterval(kTimer3IntervalMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { engine_->Timer1Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { engine_->Timer2Timer(); });
    connect(&timer3_, &QTimer::timeout, this, [this] { engine_->Timer3Timer(); });

    build_menu();
    build_controls();
    build_panel();
    build_shortcuts();
    claim_control_keys();
    AboutBox = new TAboutBox(this);
    AboutBox->hide();

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

// A running export ends (cancelled, its file removed) before the window's parts go.
TForm12::~TForm12() {
    export_job_.reset();
}

void TForm12::build_menu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = file->addAction(QStringLiteral("&Open"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &TForm12::Open1Click);
    export_action_ = file->addAction(QStringLiteral("&Export…"));
    connect(export_action_, &QAction::triggered, this, &TForm12::Export1Click);
    connect(file, &QMenu::aboutToShow, this,
            [this] { export_action_->setEnabled(state_.play_loaded && export_job_ == nullptr); });
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, &TForm12::Exit1Click);
    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    connect(about, &QAction::triggered, this, &TForm12::About1Click);
}

void TForm12::build_controls() {
    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    client->installEventFilter(this);
    setCentralWidget(client);

    auto label = [client](const QString& text, int x, int y) {
        auto* l = new QLabel(client);
        // A play's texts are shown as written, never as markup.
        l->setTextFormat(Qt::PlainText);
        l->setText(text);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    Label7 = label(QStringLiteral("Category:"), 8, 0);
    Label8 = label(QString(), 72, 0);
    Label2 = label(QStringLiteral("Playname: "), 312, 0);
    Label1 = label(QString(), 384, 0);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label4 = label(QString(), 596, 0);
    Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);

    PaintBox1 = new CourtView(client);
    PaintBox1->setGeometry(8, 18, 289, 361);
    connect(PaintBox1, &CourtView::mouse_pressed, this, &TForm12::PaintBox1MouseDown);
    connect(PaintBox1, &CourtView::mouse_moved, this, &TForm12::PaintBox1MouseMove);
    connect(PaintBox1, &CourtView::mouse_released, this,
            [this](Qt::MouseButton, int, int) { PaintBox1MouseUp(); });

    Richedit1 = new QTextBrowser(client);
    Richedit1->setGeometry(312, 18, 289, 361);
    Richedit1->setReadOnly(true);
    Richedit1->setOpenLinks(false);
    Richedit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont pane_font(QStringLiteral("Arial"));
    pane_font.setPixelSize(13);
    pane_font.setBold(false);  // set explicitly, or the window's bold would be inherited
    Richedit1->setFont(pane_font);
    Richedit1->setAccessibleName(tr("Description"));
    Richedit1->setProperty(kFocusKindProperty, static_cast<int>(FocusKind::description));
    Richedit1->hide();

    BitBtn1 = picture_button(client, PlaybackIcon::play, QStringLiteral("Play"), {8, 384, 49, 25});
    BitBtn3 = picture_button(client, PlaybackIcon::pause, QStringLiteral("Pause"), {56, 384, 49, 25});
    BitBtn4 = picture_button(client, PlaybackIcon::stop, QStringLiteral("Stop"), {104, 384, 49, 25});
    BitBtn5 = picture_button(client, PlaybackIcon::previous, QStringLiteral("Previous"), {152, 384, 49, 25});
    BitBtn6 = picture_button(client, PlaybackIcon::next, QStringLiteral("Next"), {200, 384, 51, 25});
    BitBtn2 = picture_button(client, PlaybackIcon::cancel, QStringLiteral("Cancel"), {250, 384, 49, 25});

    CheckBox1 = new QCheckBox(QStringLiteral("Sketch "), client);
    CheckBox1->setGeometry(312, 389, 73, 17);
    CheckBox2 = new QCheckBox(QStringLiteral("Loop"), client);
    CheckBox2->setGeometry(408, 389, 57, 17);
    Label3 = label(QStringLiteral("Speed :"), 480, 389);
    std::tie(Edit1, UpDown1) = speed_control(client, {536, 386, 49, 20}, {585, 386, 15, 20});

    connect(BitBtn1, &QPushButton::clicked, this, [this] { engine_->BitBtn1Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { engine_->BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { engine_->BitBtn4Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { engine_->BitBtn5Click(); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { engine_->BitBtn6Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &TForm12::BitBtn2Click);
}

void TForm12::build_panel() {
    QWidget* client = centralWidget();
    Panel1 = new QFrame(client);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setGeometry(104, 48, 129, 273);
    // The panel's shape fills it in the button-face colour, also over the wide layout's black.
    Panel1->setAutoFillBackground(true);
    QPalette panel_palette = QApplication::palette();
    panel_palette.setColor(QPalette::Window, panel_palette.color(QPalette::Button));
    Panel1->setPalette(panel_palette);
    QFont panel_font(QStringLiteral("MS Sans Serif"));
    panel_font.setPixelSize(16);
    panel_font.setBold(true);
    Panel1->setFont(panel_font);

    Label6 = new QLabel(QStringLiteral("X"), Panel1);
    Label6->setGeometry(94, 6, 25, 14);
    Label6->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label6->setToolTip(QStringLiteral("Hide control"));
    Label6->setAccessibleName(QStringLiteral("Hide control"));
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->installEventFilter(this);

    BitBtn7 = picture_button(Panel1, PlaybackIcon::play, QStringLiteral("Play"), {8, 24, 113, 33});
    BitBtn8 = picture_button(Panel1, PlaybackIcon::pause, QStringLiteral("Pause"), {8, 56, 57, 33});
    BitBtn9 = picture_button(Panel1, PlaybackIcon::stop, QStringLiteral("Stop"), {64, 56, 57, 33});
    BitBtn10 = picture_button(Panel1, PlaybackIcon::previous, QStringLiteral("Previous"), {8, 88, 57, 33});
    BitBtn11 = picture_button(Panel1, PlaybackIcon::next, QStringLiteral("Next"), {64, 88, 57, 33});

    auto framed_box = [this](int y) {
        auto* box = new QFrame(Panel1);
        box->setFrameShape(QFrame::Box);
        box->setFrameShadow(QFrame::Sunken);
        box->setGeometry(8, y, 113, 33);
        box->setFont(arial_bold_13());
        return box;
    };
    QFrame* Panel2 = framed_box(136);
    CheckBox3 = new QCheckBox(QStringLiteral("Sketch "), Panel2);
    CheckBox3->setGeometry(8, 4, 97, 25);
    CheckBox3->setLayoutDirection(Qt::RightToLeft);  // caption on the left
    QFrame* Panel3 = framed_box(168);
    CheckBox4 = new QCheckBox(QStringLiteral("Loop"), Panel3);
    CheckBox4->setGeometry(8, 8, 97, 17);
    CheckBox4->setLayoutDirection(Qt::RightToLeft);
    QFrame* Panel4 = framed_box(200);
    auto* Label5 = new QLabel(QStringLiteral("Speed"), Panel4);
    Label5->setGeometry(8, 8, 41, 16);
    Label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    std::tie(Edit2, UpDown2) = speed_control(Panel4, {50, 7, 43, 20}, {93, 7, 15, 20});

    ColorBox1 = new ColourBox(Panel1);
    ColorBox1->setGeometry(8, 240, 113, 22);
    ColorBox1->setFont(arial_bold_13());
    ColorBox1->setCurrentIndex(kBlueIndex);

    for (QWidget* w : std::initializer_list<QWidget*>{BitBtn7, BitBtn8, BitBtn9, BitBtn10, BitBtn11}) {
        w->setFont(arial_bold_13());
    }
    connect(BitBtn7, &QPushButton::clicked, this, [this] { engine_->BitBtn1Click(); });
    connect(BitBtn8, &QPushButton::clicked, this, [this] { engine_->BitBtn3Click(); });
    connect(BitBtn9, &QPushButton::clicked, this, [this] { engine_->BitBtn4Click(); });
    connect(BitBtn10, &QPushButton::clicked, this, [this] { engine_->BitBtn5Click(); });
    connect(BitBtn11, &QPushButton::clicked, this, [this] { engine_->BitBtn6Click(); });

    // Both sets of switches show one value each; the engine hears which control was used.
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        box->setProperty(kFocusKindProperty, static_cast<int>(FocusKind::check_box));
    ColorBox1->setProperty(kFocusKindProperty, static_cast<int>(FocusKind::colour_box));
    switches_.show_sketch_in(CheckBox1);
    switches_.show_sketch_in(CheckBox3);
    switches_.show_loop_in(CheckBox2);
    switches_.show_loop_in(CheckBox4);
    switches_.show_speed_in(UpDown1);
    switches_.show_speed_in(UpDown2);
    connect(&switches_, &PlaybackSwitches::sketch_clicked, this, [this](QCheckBox* box) {
        if (box == CheckBox1) {
            engine_->CheckBox1Click();
        } else {
            engine_->CheckBox3Click(switches_.sketch());
        }
    });
    connect(&switches_, &PlaybackSwitches::loop_clicked, this, [this](QCheckBox* box) {
        if (box == CheckBox4) engine_->CheckBox4Click(switches_.loop());
    });
    connect(&switches_, &PlaybackSwitches::speed_changing, this, [this](UpDown* spinner, int ms) {
        if (spinner == UpDown1) {
            engine_->UpDown1Changing(ms);
        } else {
            engine_->UpDown2Changing(ms);
        }
    });

    Panel1->hide();
    Panel1->setEnabled(false);
}

void TForm12::build_shortcuts() {
    for (const WindowKey& k : kWindowKeys) {
        auto* s = new QShortcut(QKeySequence(k.key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [this, action = k.action] { window_key(action); });
    }
}

void TForm12::window_key(WindowKeyAction action) {
    switch (action) {
        case WindowKeyAction::play_pause:
            if (state_.playing) {
                engine_->BitBtn3Click();
            } else {
                engine_->BitBtn1Click();
            }
            break;
        case WindowKeyAction::previous:
            engine_->BitBtn5Click();
            break;
        case WindowKeyAction::next:
            engine_->BitBtn6Click();
            break;
        case WindowKeyAction::stop:
            engine_->BitBtn4Click();
            break;
        case WindowKeyAction::cancel:
            BitBtn2Click();
            break;
    }
}

// A control that takes the focus is asked first whether it keeps a window key.
void TForm12::claim_control_keys() {
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->focusPolicy() != Qt::NoFocus) w->installEventFilter(this);
    }
}

// --- start-up and shutdown ------------------------------------------------------------

void TForm12::FormCreate() {
    state_.play_loaded = false;
}

void TForm12::FormShow() {
    dragging_ = false;
    state_.playing = false;
    defaults_ = DisplayDefaults{};
    Richedit1->hide();
    timer1_.stop();
    timer2_.stop();
    state_.cur_seq = 1;
    state_.anim_step = 1;
    state_.play_file_name.clear();
    switches_.set_speed(kShownSpeed);
    ColorBox1->setCurrentIndex(kBlueIndex);
    Label1->clear();
    Label8->clear();
    Label4->clear();
    timer1_.setInterval(switches_.speed());
    if (layout_.presenting()) {
        Panel1->setEnabled(true);
        Panel1->show();
        BitBtn7->setFocus();
    } else {
        BitBtn1->setFocus();
    }
    if (!arguments_.empty()) {
        std::string joined;
        for (const std::string& a : arguments_) joined += (joined.empty() ? "" : " ") + a;
        state_.play_file_name = joined;
        OpenPlay(joined);
    }
}

void TForm12::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (layout_.laid_out()) return;
    // Wayland has no window positions: the compositor places the window.
    if (QScreen* s = screen(); s != nullptr && !layout_.window_system().wayland())
        move(s->availableGeometry().center() - frameGeometry().center() + pos());
    // The maximize button and the compositor's own maximizing both ask through the window.
    if (QWindow* handle = windowHandle())
        connect(handle, &QWindow::windowStateChanged, this, [this] { layout_.refresh(); });
    layout_.begin();
    FormShow();
    // FormShow hides the description pane; in the normal layout a coach expects to see it
    // from the start, not only after the first change of layout.
    if (!layout_.presenting()) Richedit1->show();
}

void TForm12::Exit1Click() {
    layout_.end();
    close();
}

void TForm12::BitBtn2Click() {
    Exit1Click();
}

void TForm12::FormClose() {
    engine_->close();
    state_.play_loaded = false;
}

// A running export is told to stop and the window goes at once; the export removes its
// file when it stops, and the window waits for it only when it is destroyed.
void TForm12::closeEvent(QCloseEvent* event) {
    layout_.end();
    if (export_job_) export_job_->cancel();
    delete std::exchange(export_progress_, nullptr);
    FormClose();
    timer3_.stop();
    event->accept();
    QMainWindow::closeEvent(event);
}

void TForm12::About1Click() {
    AboutBox->exec();
}

// --- opening plays ---------------------------------------------------------------------

// Playback stops and the play file name is forgotten until a file is read.
void TForm12::stop_for_open() {
    dragging_ = false;
    engine_->reset_for_open();
    state_.play_file_name.clear();
}

void TForm12::Open1Click() {
    stop_for_open();
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Any name is taken: one whose bytes are not UTF-8 is shown with other characters, does
    // not exist as shown, and is found again by file_system_name.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Basketball Drillpad (*.kqz)"), QStringLiteral("Any File (*)")});
    const QString path = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                             ? dialog.selectedFiles().first()
                             : QString();
    if (!path.isEmpty()) {
        const std::string name = file_system_name(path);
        if (!OpenPlay(name)) return;
        state_.play_file_name = name;
    }
    Showcourt();
}

void TForm12::open_chosen_file(const std::string& path) {
    stop_for_open();
    if (!OpenPlay(path)) return;
    state_.play_file_name = path;
    Showcourt();
}

// --- export --------------------------------------------------------------------------

void TForm12::Export1Click() {
    if (!state_.play_loaded || export_job_ != nullptr) return;
    const int screen_height = screen() != nullptr ? screen()->availableGeometry().height() : 1080;
    const QString suggested = shown_name(state_.play_file_name);
    const std::optional<ExportChoice> choice =
        export_chooser ? export_chooser() : choose_export(this, suggested, full_layout_scale(screen_height));
    if (choice) start_export(*choice);
}

// The play as the window shows it now: its speed, its Sketch switch, its sequence for a
// picture. The window plays on while the export runs.
void TForm12::start_export(const ExportChoice& choice) {
    ExportRequest request;
    request.format = choice.format;
    request.path = file_system_name(choice.path);
    request.scale = choice.scale;
    request.screen_height = frame_settings().screen_height;
    request.sketch = switches_.sketch();
    request.speed_ms = switches_.speed();
    request.hold_start_ms = choice.hold_start_ms;
    request.hold_end_ms = choice.hold_end_ms;
    request.sequence = state_.cur_seq;
    request.play_file = state_.play_file_name;
    request.title = play_name();
    // The job works on a copy of the play, as the window plays on.
    if (!within_memory(QStringLiteral("export the play"), [&] {
            export_job_ = std::make_unique<ExportJob>(*play_, std::move(request), export_runner);
        }))
        return;

    export_progress_ =
        new QProgressDialog(QString(), QStringLiteral("Cancel"), 0, ExportJob::kProgressSteps, this);
    // The file's name as written, never as markup.
    auto* label = new QLabel(export_progress_);
    label->setTextFormat(Qt::PlainText);
    label->setText(QFileInfo(choice.path).fileName());
    export_progress_->setLabel(label);
    export_progress_->setWindowTitle(QStringLiteral("Export"));
    export_progress_->setAutoClose(false);
    export_progress_->setAutoReset(false);
    export_progress_->setMinimumDuration(0);
    export_progress_->setValue(0);
    connect(export_job_.get(), &ExportJob::progressed, export_progress_, &QProgressDialog::setValue);
    connect(export_progress_, &QProgressDialog::canceled, export_job_.get(), &ExportJob::cancel);
    connect(export_job_.get(), &ExportJob::finished, this, &TForm12::end_export);
    export_progress_->show();
}

void TForm12::end_export(const ExportResult& result) {
    // The job is in the middle of reporting: it goes once back in the event loop.
    export_job_.release()->deleteLater();
    if (export_progress_ == nullptr) return;  // the window closed meanwhile
    export_progress_->deleteLater();
    export_progress_ = nullptr;
    if (result.outcome == ExportOutcome::Failed) {
        QString text = QString::fromStdString(result.message);
        if (!text.isEmpty()) text[0] = text[0].toUpper();
        show_message(this, QMessageBox::Critical, QStringLiteral("Error"), text);
    }
}

void TForm12::show_reader_box(bool error_box, const QString& text) {
    if (error_box) {
        show_message(this, QMessageBox::Critical, QStringLiteral("Error"), text);
    } else {
        show_message(this, QMessageBox::Information, QStringLiteral("Information"), text);
    }
}

template <typename Work>
bool TForm12::within_memory(const QString& task, Work&& work) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::bad_alloc&) {
        // A frame every tick would fail the same way, each with its box. The engine may be
        // in the middle of a step that goes on to start a timer: it is paused once more
        // when the step is done.
        engine_->BitBtn3Click();
        show_message(this, QMessageBox::Critical, QStringLiteral("Error"),
                     QStringLiteral("Not enough memory to ") + task);
        QTimer::singleShot(0, this, [this] { engine_->BitBtn3Click(); });
        return false;
    }
}

bool TForm12::OpenPlay(const std::string& file_name) {
    engine_->reset_for_open();
    Richedit1->clear();
    const ReadResult result = [&] {
        // A large file takes a while to read, and the window cannot answer meanwhile.
        const BusyCursor busy;
        return hoopcast::OpenPlay(*play_, file_name);
    }();
    if (result.outcome == ReadOutcome::file_error) {
        show_reader_box(true, QString::fromStdString(result.message));
        return false;
    }
    if (result.category) Label8->setText(from_play_text(*result.category));
    if (result.play_name) Label1->setText(from_play_text(*result.play_name));
    Label8->adjustSize();
    Label1->adjustSize();
    if (result.caption) setWindowTitle(as_window_title(from_play_text(*result.caption)));
    if (result.outcome != ReadOutcome::success) {
        show_reader_box(result.box == BoxKind::error, QString::fromStdString(result.message));
    }
    if (result.play_loaded) {
        state_.play_loaded = true;
        update();
        PaintBox1->update();
        timer3_.start();
    }
    return true;
}

// --- frames ----------------------------------------------------------------------------

void TForm12::show_picture(const raster::Bitmap& picture) {
    PaintBox1->show_picture(picture);
}

void TForm12::Showcourt() {
    within_memory(QStringLiteral("show this sequence"), [this] {
        const int seq = state_.cur_seq;
        const FrameSettings settings = frame_settings();
        raster::Picture& picture = frame_picture(settings);
        compose_still_frame(picture, draw_context_, settings, seq, switches_.sketch());
        if (play_->header(seq).no_animation) gettext();
        state_.seq_label = sequence_counter(seq, play_->seq_count);
        show_counter(state_.seq_label);
        show_caption(window_caption(maximized(), play_name(), state_.seq_label));
        show_picture(picture.bitmap());
    });
}

void TForm12::gettext() {
    Richedit1->clear();
    // Rich text, or else plain text: both arrive as one styled document.
    std::string copy;
    const richtext::Document document = richtext::describe(
        cleaned_description(play_->header(state_.cur_seq).text.lf(), copy), richtext::LineEnds::lf_for_crlf);
    show_description(*Richedit1->document(), document);
}

FrameSettings TForm12::frame_settings() const {
    return FrameSettings{scale(), screen() != nullptr ? screen()->geometry().height() : 1080, &fonts_,
                         &render_cache_, &picture_pool_};
}

raster::Picture& TForm12::frame_picture(const FrameSettings& settings) {
    if (!frame_ || !fits_frame(*frame_, settings)) frame_ = create_frame_picture(settings);
    return *frame_;
}

// --- what the engine asks of the window ------------------------------------------------

QTimer& TForm12::timer(PlaybackTimer which) {
    switch (which) {
        case PlaybackTimer::Timer1:
            return timer1_;
        case PlaybackTimer::Timer2:
            return timer2_;
        case PlaybackTimer::Timer3:
            return timer3_;
    }
    return timer1_;
}

const QTimer& TForm12::timer(PlaybackTimer which) const {
    return const_cast<TForm12*>(this)->timer(which);
}

// A running timer keeps its beat when enabled again, as the engine expects.
void TForm12::enable_timer(PlaybackTimer which) {
    QTimer& t = timer(which);
    if (!t.isActive()) t.start();
}

void TForm12::disable_timer(PlaybackTimer which) {
    timer(which).stop();
}
bool TForm12::timer_enabled(PlaybackTimer which) const {
    return timer(which).isActive();
}
void TForm12::set_timer_interval(PlaybackTimer which, int ms) {
    timer(which).setInterval(ms);
}
bool TForm12::sketch_checked() const {
    return switches_.sketch();
}
bool TForm12::loop_checked() const {
    return switches_.loop();
}
void TForm12::set_sketch_checked(bool checked) {
    switches_.set_sketch(checked);
}
void TForm12::set_loop_checked(bool checked) {
    switches_.set_loop(checked);
}
// The presentation layout is the maximized window's, whole: its caption and right clicks
// go with it.
bool TForm12::maximized() const {
    return layout_.presenting();
}
std::string TForm12::play_name() const {
    return Label1->text().toStdString();
}
void TForm12::show_still_frame(int) {
    Showcourt();
}

void TForm12::show_animation_frame(const AnimationFrame& frame) {
    within_memory(QStringLiteral("show this sequence"), [this, &frame] {
        const FrameSettings settings = frame_settings();
        raster::Picture& picture = frame_picture(settings);
        compose_animation_frame(picture, draw_context_, settings, frame.sequence, frame.step, frame.steps,
                                frame.fraction);
        show_picture(picture.bitmap());
    });
}

void TForm12::show_counter(std::string_view counter) {
    Label4->setText(QString::fromUtf8(counter.data(), static_cast<qsizetype>(counter.size())));
    Label4->adjustSize();
    Label4->move(596 - Label4->width(), 0);
}

void TForm12::show_caption(std::string_view caption) {
    setWindowTitle(
        as_window_title(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()))));
}

// --- layout ----------------------------------------------------------------------------

void TForm12::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layout_.refresh();
}

void TForm12::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) layout_.refresh();
}

// An X11 window manager tells of a new frame or state by a property of the window.
bool TForm12::nativeEvent(const QByteArray& event_type, void* message, qintptr* result) {
    layout_.native_event(event_type, message);
    return QMainWindow::nativeEvent(event_type, message, result);
}

void TForm12::FormResize(const LayoutState& layout, bool switched) {
    timer3_.stop();
    QWidget* client = centralWidget();
    QPalette palette = client->palette();
    const std::initializer_list<QWidget*> main_controls{
        Label1,  Label8,  Label7,  Label2,    Label3,    Label4,  BitBtn1, BitBtn2,  BitBtn3,
        BitBtn4, BitBtn5, BitBtn6, CheckBox1, CheckBox2, UpDown1, Edit1,   Richedit1};
    if (layout.layout == Layout::normal) {
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        client->setPalette(palette);
        Panel1->setEnabled(false);
        Panel1->hide();
        PaintBox1->setGeometry(8, 18, 289, 361);
        PaintBox1->set_empty_colour(CourtView::kEmptyColour);
        for (QWidget* w : main_controls) w->show();
        if (switched && state_.play_loaded) BitBtn1->setFocus();
    } else {
        palette.setColor(QPalette::Window, kWideBackground);
        client->setPalette(palette);
        const PictureSize size = frame_picture_size(layout.scale);
        PaintBox1->setGeometry(Round((layout.outer.width() - size.width) / 2.0), 0, size.width, size.height);
        PaintBox1->set_empty_colour(0x000000);
        for (QWidget* w : main_controls) w->hide();
        Panel1->move(PaintBox1->x() + PaintBox1->width() + 5, 5);
        Panel1->setEnabled(true);
        Panel1->show();
        Panel1->raise();
        Panel1->update();
        if (switched && state_.play_loaded) BitBtn7->setFocus();
    }
    timer3_.start();
}

// --- paint watch -----------------------------------------------------------------------

void TForm12::FormPaint() {
    const int w = PaintBox1->width(), h = PaintBox1->height();
    const QPoint probes[] = {{1, 1}, {1, h - 20}, {w - 20, 1}, {w - 20, h - 20}};
    for (const QPoint& p : probes) {
        const auto colour = PaintBox1->colour_at(p.x(), p.y());
        if (!colour || *colour == CourtView::kEmptyColour) {
            timer3_.start();
            return;
        }
    }
}

// --- mouse: panel placement and sketching -----------------------------------------------

bool TForm12::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Label6 && mouse->button() == Qt::LeftButton) {
            Label6Click();
            return true;
        }
        // Controls pass up the clicks they do not use; those are not on the background.
        const QPoint p = mouse->position().toPoint();
        if (watched == centralWidget() && centralWidget()->childAt(p) == nullptr) {
            FormMouseDown(mouse->button(), p.x(), p.y());
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QVariant kind = watched->property(kFocusKindProperty);
        if (control_keeps_key(kind.isValid() ? static_cast<FocusKind>(kind.toInt()) : FocusKind::other,
                              key->key(), key->modifiers())) {
            event->accept();
            return true;
        }
    }
    if (watched == centralWidget() && event->type() == QEvent::Paint) {
        // The court area is checked after every repaint of the window.
        QTimer::singleShot(0, this, &TForm12::FormPaint);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm12::show_panel_at(QPoint at) {
    Panel1->move(at);
    Panel1->setEnabled(true);
    Panel1->show();
    Panel1->raise();
    Panel1->update();
}

void TForm12::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton && !state_.playing && !timer1_.isActive() && !timer2_.isActive())
        Showcourt();
    if (button == Qt::RightButton) {
        show_panel_at({x, y});
        if (!state_.playing || timer2_.isActive()) Showcourt();
    }
}

void TForm12::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::RightButton && maximized()) {
        show_panel_at({x + Round((layout_.state().outer.width() - PaintBox1->width()) / 2.0), y});
        if (!state_.playing) Showcourt();
    }
    if (button == Qt::LeftButton && !state_.playing && !timer1_.isActive() && !timer2_.isActive()) {
        PaintBox1->begin_sketch(x, y, ColorBox1->selected_colour(), kSketchPenWidth);
        dragging_ = true;
    }
}

void TForm12::PaintBox1MouseMove(int x, int y) {
    if (dragging_) PaintBox1->sketch_to(x, y);
}

void TForm12::PaintBox1MouseUp() {
    dragging_ = false;
}

void TForm12::Label6Click() {
    Panel1->setEnabled(false);
    Panel1->hide();
    if (!state_.playing) Showcourt();
}

// --- drag and drop ---------------------------------------------------------------------

void TForm12::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

// The dropped file's name as the file system's bytes, from the list of addresses itself:
// Qt's own reading of it turns bytes that are not UTF-8 into other characters.
void TForm12::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    std::optional<std::string> path = dropped_file(mime->data(QStringLiteral("text/uri-list")));
    if (!path && mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile())
        path = file_system_name(mime->urls().first().toLocalFile());
    if (!path) return;
    event->acceptProposedAction();
    open_chosen_file(*path);
}

}  // namespace hoopcast::app
