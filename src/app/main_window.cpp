#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QWindow>
#include <cerrno>
#include <cstring>
#include <tuple>
#include <utility>

#include "app/about_box.h"
#include "app/colour_box.h"
#include "app/court_view.h"
#include "app/icons.h"
#include "app/up_down.h"
#include "play/codepage.h"
#include "play/reader.h"
#include "play/rounding.h"
#include "playback/texts.h"
#include "raster/picture.h"
#include "play/description.h"
#include "richtext/reader.h"
#include "app/description_document.h"
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

QString from_play_text(const std::string& bytes) { return QString::fromStdString(cp1252_to_utf8(bytes)); }

QPushButton* picture_button(QWidget* parent, PlaybackIcon icon, const QString& hint, QRect geometry) {
    auto* b = new QPushButton(parent);
    b->setIcon(playback_icon(icon));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setGeometry(geometry);
    b->setIconSize(QSize(16, 16));
    return b;
}

// A read-only box showing the speed with its spinner, at the design's place and values.
std::pair<QLineEdit*, UpDown*> speed_control(QWidget* parent, QRect edit_geometry, QRect spinner_geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(edit_geometry);
    edit->setAccessibleName(QObject::tr("Speed in milliseconds per step"));
    auto* spinner = new UpDown(edit, parent);
    spinner->setGeometry(spinner_geometry);
    spinner->set_range(kSpeedMin, kSpeedMax);
    spinner->set_increment(kDesignSpeedStep);
    spinner->set_position(kDesignSpeed);
    return {edit, spinner};
}

}  // namespace

TForm12::TForm12(QStringList arguments, QWidget* parent)
    : QMainWindow(parent),
      arguments_(std::move(arguments)),
      play_(std::make_unique<PlayModel>()),
      draw_context_{*play_, defaults_} {
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
    AboutBox = new TAboutBox(this);
    AboutBox->hide();

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

TForm12::~TForm12() = default;

void TForm12::build_menu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = file->addAction(QStringLiteral("&Open"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &TForm12::Open1Click);
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
        auto* l = new QLabel(text, client);
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
    connect(PaintBox1, &CourtView::mouse_released, this, [this](Qt::MouseButton, int, int) { PaintBox1MouseUp(); });

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
    Richedit1->hide();

    BitBtn1 = picture_button(client, PlaybackIcon::play, QStringLiteral("Play"), {8, 384, 49, 25});
    BitBtn3 = picture_button(client, PlaybackIcon::pause, QStringLiteral("Pause"), {56, 384, 49, 25});
    BitBtn4 = picture_button(client, PlaybackIcon::stop, QStringLiteral("Stop"), {104, 384, 49, 25});
    BitBtn5 = picture_button(client, PlaybackIcon::previous, QStringLiteral("Previous"), {152, 384, 49, 25});
    BitBtn6 = picture_button(client, PlaybackIcon::next, QStringLiteral("Next"), {200, 384, 51, 25});
    BitBtn2 = picture_button(client, PlaybackIcon::cancel, QStringLiteral("Cancel"), {250, 384, 49, 25});

    CheckBox1 = new QCheckBox(QStringLiteral("Sketch "), client);
    CheckBox1->setGeometry(312, 389, 73, 17);
    CheckBox1->setChecked(true);
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
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { engine_->CheckBox1Click(); });
    connect(UpDown1, &UpDown::changing, this, [this](int v) {
        UpDown1->set_increment(engine_->UpDown1Changing(v));
    });
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
    CheckBox3->setChecked(true);
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
    connect(CheckBox3, &QCheckBox::clicked, this, [this] { engine_->CheckBox3Click(CheckBox3->isChecked()); });
    connect(CheckBox4, &QCheckBox::clicked, this, [this] { engine_->CheckBox4Click(CheckBox4->isChecked()); });
    connect(UpDown2, &UpDown::changing, this, [this](int v) {
        UpDown2->set_increment(engine_->UpDown2Changing(v));
    });

    Panel1->hide();
    Panel1->setEnabled(false);
}

// Presentation keys: a clicker sends PageUp/PageDown or the arrows.
void TForm12::build_shortcuts() {
    auto bind = [this](QKeySequence keys, auto handler) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    bind(QKeySequence(Qt::Key_Space), [this] {
        if (state_.playing) {
            engine_->BitBtn3Click();
        } else {
            engine_->BitBtn1Click();
        }
    });
    for (auto key : {Qt::Key_Left, Qt::Key_PageUp}) bind(QKeySequence(key), [this] { engine_->BitBtn5Click(); });
    for (auto key : {Qt::Key_Right, Qt::Key_PageDown}) bind(QKeySequence(key), [this] { engine_->BitBtn6Click(); });
    bind(QKeySequence(Qt::Key_Home), [this] { engine_->BitBtn4Click(); });
    bind(QKeySequence(Qt::Key_Escape), [this] { BitBtn2Click(); });
}

// --- start-up and shutdown ------------------------------------------------------------

void TForm12::FormCreate() { state_.play_loaded = false; }

void TForm12::FormShow() {
    dragging_ = false;
    state_.playing = false;
    defaults_.triangle_style = {true, 0x6666FF};
    defaults_.circle_style = {true, 0xFF6666};
    Richedit1->hide();
    defaults_.court_default_colours = {0x99FFFF, 0x00CCFF, 0xCCFFFF, 0x99CCFF};
    timer1_.stop();
    timer2_.stop();
    state_.cur_seq = 1;
    state_.anim_step = 1;
    state_.play_file_name.clear();
    UpDown1->set_position(kShownSpeed);
    ColorBox1->setCurrentIndex(kBlueIndex);
    Label1->clear();
    Label8->clear();
    Label4->clear();
    UpDown1->set_increment(speed_increment(UpDown1->position()));
    timer1_.setInterval(UpDown1->position());
    if (isMaximized()) {
        Panel1->setEnabled(true);
        Panel1->show();
        BitBtn7->setFocus();
    } else {
        BitBtn1->setFocus();
    }
    if (!arguments_.isEmpty()) {
        const QString joined = arguments_.join(QLatin1Char(' '));
        state_.play_file_name = joined.toStdString();
        OpenPlay(joined);
    }
}

void TForm12::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_once_) return;
    shown_once_ = true;
    // The smallest size counts the frame, known only now.
    const int frame_w = frameGeometry().width() - width();
    const int frame_h = frameGeometry().height() - height();
    setMinimumSize(kMinOuterWidth - frame_w, kMinOuterHeight - frame_h);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - frameGeometry().center() + pos());
    FormResize();
    FormShow();
    // FormShow hides the description pane; in the normal layout a coach expects to see it
    // from the start, not only after the first change of layout.
    if (outer_width() <= kWideThreshold) Richedit1->show();
}

void TForm12::Exit1Click() {
    closing_ = true;
    close();
}

void TForm12::BitBtn2Click() { Exit1Click(); }

void TForm12::FormClose() {
    engine_->close();
    state_.play_loaded = false;
}

void TForm12::closeEvent(QCloseEvent* event) {
    closing_ = true;
    FormClose();
    timer3_.stop();
    event->accept();
    QMainWindow::closeEvent(event);
}

void TForm12::About1Click() { AboutBox->exec(); }

// --- opening plays ---------------------------------------------------------------------

// Playback stops and the play file name is forgotten until a file is read.
void TForm12::stop_for_open() {
    dragging_ = false;
    engine_->reset_for_open();
    state_.play_file_name.clear();
}

void TForm12::Open1Click() {
    stop_for_open();
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QString(), QStringLiteral("Basketball Drillpad (*.kqz);;Any File (*)"));
    if (!path.isEmpty()) {
        if (!OpenPlay(path)) return;
        state_.play_file_name = path.toStdString();
    }
    Showcourt();
}

void TForm12::open_chosen_file(const QString& path) {
    stop_for_open();
    if (!OpenPlay(path)) return;
    state_.play_file_name = path.toStdString();
    Showcourt();
}

void TForm12::show_reader_box(bool error_box, const QString& text) {
    if (error_box) {
        QMessageBox::critical(this, QStringLiteral("Error"), text);
    } else {
        QMessageBox::information(this, QStringLiteral("Information"), text);
    }
}

bool TForm12::OpenPlay(const QString& file_name) {
    engine_->reset_for_open();
    Richedit1->clear();
    const ReadResult result = hoopcast::OpenPlay(*play_, file_name.toStdString());
    if (result.outcome == ReadOutcome::file_error) {
        QMessageBox::critical(this, QStringLiteral("Error"), QString::fromStdString(result.message));
        return false;
    }
    if (result.category) Label8->setText(from_play_text(*result.category));
    if (result.play_name) Label1->setText(from_play_text(*result.play_name));
    Label8->adjustSize();
    Label1->adjustSize();
    if (result.caption) setWindowTitle(from_play_text(*result.caption));
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

void TForm12::show_picture(const raster::Bitmap& picture) { PaintBox1->show_picture(picture); }

void TForm12::Showcourt() {
    const int seq = state_.cur_seq;
    auto picture = compose_still_frame(draw_context_, frame_settings(), seq, CheckBox1->isChecked());
    if (play_->header(seq).no_animation) gettext();
    state_.seq_label = sequence_counter(seq, play_->seq_count);
    show_counter(state_.seq_label);
    show_caption(window_caption(isMaximized(), play_name(), state_.seq_label));
    show_picture(picture->bitmap());
}

void TForm12::gettext() {
    Richedit1->clear();
    // Rich text, or else plain text: both arrive as one styled document.
    const richtext::Document document = richtext::describe(clean_description(play_->header(state_.cur_seq).text));
    show_description(*Richedit1->document(), document);
}

FrameSettings TForm12::frame_settings() const {
    return FrameSettings{scale_, screen() != nullptr ? screen()->geometry().height() : 1080, &fonts_};
}

// --- what the engine asks of the window ------------------------------------------------

QTimer& TForm12::timer(PlaybackTimer which) {
    switch (which) {
        case PlaybackTimer::Timer1: return timer1_;
        case PlaybackTimer::Timer2: return timer2_;
        case PlaybackTimer::Timer3: return timer3_;
    }
    return timer1_;
}

const QTimer& TForm12::timer(PlaybackTimer which) const { return const_cast<TForm12*>(this)->timer(which); }

// A running timer keeps its beat when enabled again, as the engine expects.
void TForm12::enable_timer(PlaybackTimer which) {
    QTimer& t = timer(which);
    if (!t.isActive()) t.start();
}

void TForm12::disable_timer(PlaybackTimer which) { timer(which).stop(); }
bool TForm12::timer_enabled(PlaybackTimer which) const { return timer(which).isActive(); }
void TForm12::set_timer_interval(PlaybackTimer which, int ms) { timer(which).setInterval(ms); }
bool TForm12::sketch_checked() const { return CheckBox1->isChecked(); }
bool TForm12::loop_checked() const { return CheckBox2->isChecked(); }
void TForm12::set_sketch_checked(bool checked) { CheckBox1->setChecked(checked); }
void TForm12::set_loop_checked(bool checked) { CheckBox2->setChecked(checked); }
bool TForm12::maximized() const { return isMaximized(); }
std::string TForm12::play_name() const { return Label1->text().toStdString(); }
void TForm12::show_still_frame(int) { Showcourt(); }

void TForm12::show_animation_frame(const AnimationFrame& frame) {
    auto picture = compose_animation_frame(draw_context_, frame_settings(), frame.sequence, frame.step,
                                           frame.steps, frame.fraction);
    show_picture(picture->bitmap());
}

void TForm12::show_counter(std::string_view counter) {
    Label4->setText(QString::fromUtf8(counter.data(), static_cast<qsizetype>(counter.size())));
    Label4->adjustSize();
    Label4->move(596 - Label4->width(), 0);
}

void TForm12::show_caption(std::string_view caption) {
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

// --- layout ----------------------------------------------------------------------------

int TForm12::outer_width() const { return frameGeometry().width(); }
int TForm12::outer_height() const { return frameGeometry().height(); }

void TForm12::set_outer_width(int width) {
    const int frame_extra = frameGeometry().width() - geometry().width();
    resize(width - frame_extra, height());
}

void TForm12::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (shown_once_) FormResize();
}

void TForm12::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && shown_once_) FormResize();
}

void TForm12::FormResize() {
    timer3_.stop();
    if (closing_) return;
    QWidget* client = centralWidget();
    QPalette palette = client->palette();
    if (outer_width() <= kWideThreshold) {
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        client->setPalette(palette);
        scale_ = 1.0;
        Panel1->setEnabled(false);
        Panel1->hide();
        PaintBox1->setGeometry(8, 18, 289, 361);
        for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label8, Label7, Label3, Label4, CheckBox1, CheckBox2,
                                                          BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BitBtn6,
                                                          UpDown1}) {
            w->show();
        }
        Label2->show();
        UpDown1->set_position(UpDown2->position());
        UpDown1->set_increment(speed_increment(UpDown1->position()));
        Edit1->show();
        if (state_.play_loaded) BitBtn1->setFocus();
        Richedit1->show();
        if (outer_width() != kMinOuterWidth && !isMaximized()) set_outer_width(kMinOuterWidth);
    } else {
        palette.setColor(QPalette::Window, kWideBackground);
        client->setPalette(palette);
        scale_ = full_layout_scale(outer_height());
        const PictureSize size = frame_picture_size(scale_);
        PaintBox1->setGeometry(Round((outer_width() - size.width) / 2.0), 0, size.width, size.height);
        for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label8, Label7, Label3, Label4, BitBtn1, BitBtn2,
                                                          BitBtn3, BitBtn4, BitBtn5, BitBtn6, CheckBox1,
                                                          CheckBox2}) {
            w->hide();
        }
        Label2->hide();
        CheckBox3->setChecked(CheckBox1->isChecked());
        CheckBox4->setChecked(CheckBox2->isChecked());
        Edit1->hide();
        Panel1->move(PaintBox1->x() + PaintBox1->width() + 5, 5);
        Panel1->setEnabled(true);
        Panel1->show();
        Panel1->raise();
        UpDown2->set_position(UpDown1->position());
        UpDown2->set_increment(speed_increment(UpDown2->position()));
        UpDown1->hide();
        Panel1->update();
        if (state_.play_loaded) BitBtn7->setFocus();
        Richedit1->hide();
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
        if (watched == centralWidget()) {
            const QPoint p = mouse->position().toPoint();
            FormMouseDown(mouse->button(), p.x(), p.y());
            return true;
        }
    }
    if (watched == centralWidget() && event->type() == QEvent::Paint) {
        // The court area is checked after every repaint of the window.
        QTimer::singleShot(0, this, &TForm12::FormPaint);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm12::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton && !state_.playing && !timer1_.isActive() && !timer2_.isActive()) Showcourt();
    if (button == Qt::RightButton) {
        Panel1->move(x, y);
        Panel1->setEnabled(true);
        Panel1->show();
        Panel1->raise();
        Panel1->update();
        if (!state_.playing || timer2_.isActive()) Showcourt();
    }
}

void TForm12::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::RightButton && isMaximized()) {
        Panel1->move(x + Round((outer_width() - PaintBox1->width()) / 2.0), y);
        Panel1->setEnabled(true);
        Panel1->show();
        Panel1->raise();
        Panel1->update();
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

void TForm12::PaintBox1MouseUp() { dragging_ = false; }

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

void TForm12::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    open_chosen_file(urls.first().toLocalFile());
}

}  // namespace hoopcast::app
