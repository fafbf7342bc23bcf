#include <sys/resource.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>

#include "app/colour_box.h"
#include "app/court_view.h"
#include "app/export_dialog.h"
#include "app/file_names.h"
#include "app/main_window.h"
#include "app/up_down.h"
#include "app/window_layout.h"
#include "scene/mapping.h"
#include "video_probe.h"

using hoopcast::ExportFormat;
using hoopcast::app::ExportChoice;
using hoopcast::app::TForm12;

namespace {

const QString kSamples = QStringLiteral(HOOPCAST_SOURCE_DIR "/samples/");

// Runs `action` on the next modal dialog that opens, once it is up.
void on_next_modal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(50, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr) {
            action(modal);
        } else {
            on_next_modal(action);
        }
    });
}

QString text_of_box(QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    return box != nullptr ? box->text() : QString();
}

void write_file(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A limit on the address space this process may still take, `room` beyond what it maps now,
// as a sandbox would set for the whole program; lifted again at the end of its scope.
class AddressSpaceLimit {
  public:
    explicit AddressSpaceLimit(rlim_t room) {
        getrlimit(RLIMIT_AS, &before_);
        QFile status(QStringLiteral("/proc/self/status"));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf("VmSize:");
        QVERIFY(at >= 0);
        const rlim_t mapped = text.mid(at + 7, 20).trimmed().split(' ').front().toULongLong() * 1024;
        rlimit limited = before_;
        limited.rlim_cur = mapped + room;
        QVERIFY(setrlimit(RLIMIT_AS, &limited) == 0);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &before_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

  private:
    rlimit before_{};
};
// Command-line arguments as the file system's bytes.
std::vector<std::string> args(std::initializer_list<QString> texts) {
    std::vector<std::string> bytes;
    for (const QString& t : texts) bytes.push_back(QFile::encodeName(t).toStdString());
    return bytes;
}

// Gives the window an outer size (frame included), as a window manager would on maximizing.
void set_outer_size(QWidget& w, int width, int height) {
    const int dw = w.frameGeometry().width() - w.width();
    const int dh = w.frameGeometry().height() - w.height();
    w.resize(width - dw, height - dh);
}

// The speed as the spinners set it.
void set_speed(TForm12& form, int ms) {
    form.switches().set_speed(ms);
    form.engine().UpDown1Changing(ms);
}

// Exports run on a thread of their own; a loaded machine may take its time.
constexpr int kExportWaitMs = 30000;

// Between the court and the description pane.
const QPoint kBackground(304, 120);

const QByteArray kSmallPlay =
    "Version  = Basketball Drillpad 0.3\r\n"
    "Category = Offense\r\n"
    "Playname = Tiny\r\n"
    "Nr_seq   = 2\r\n"
    "Animation= Yes\r\n"
    "Comment  = \r\n"
    "Nr_parts = 2\r\n"
    "Number   = 0\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\nX2       = 999\r\nY2       = "
    "0\r\nColour   = 0\r\n"
    "Number   = 1\r\nKind     = Circle\r\nX1       = 100\r\nY1       = 200\r\nX2       = 0\r\nY2       = "
    "0\r\nColour   = 0\r\n"
    "Animation= Yes\r\n"
    "Comment  = \r\n"
    "Nr_parts = 2\r\n"
    "Number   = 0\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\nX2       = 999\r\nY2       = "
    "0\r\nColour   = 0\r\n"
    "Number   = 1\r\nKind     = Circle\r\nX1       = 150\r\nY1       = 150\r\nX2       = 0\r\nY2       = "
    "0\r\nColour   = 0\r\n";

// A play of `sequences` sequences, one circle moving across the court, with `category`
// and `name` as its texts.
QByteArray play_of(int sequences, const QByteArray& category = "Offense", const QByteArray& name = "Tiny") {
    QByteArray play = "Version  = Basketball Drillpad 0.3\r\nCategory = " + category +
                      "\r\nPlayname = " + name + "\r\nNr_seq   = " + QByteArray::number(sequences) + "\r\n";
    for (int i = 0; i < sequences; ++i) {
        play +=
            "Animation= Yes\r\nComment  = \r\nNr_parts = 2\r\n"
            "Number   = 0\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\nX2       = 999\r\n"
            "Y2       = 0\r\nColour   = 0\r\n"
            "Number   = 1\r\nKind     = Circle\r\nX1       = " +
            QByteArray::number(40 + 60 * i) + "\r\nY1       = " + QByteArray::number(300 - 60 * i) +
            "\r\nX2       = 0\r\nY2       = 0\r\nColour   = 0\r\n";
    }
    return play;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsEmptyAtTwentyMilliseconds() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Label1->text(), QString());
        QCOMPARE(form.Label8->text(), QString());
        QCOMPARE(form.Label4->text(), QString());
        QCOMPARE(form.Edit1->text(), QStringLiteral("20"));
        QCOMPARE(form.timer1().interval(), 20);
        QCOMPARE(form.UpDown1->increment(), 1);
        QVERIFY(!form.play_loaded());
        QCOMPARE(form.windowTitle(), QStringLiteral("Basketball Hoopcast"));
        QCOMPARE(form.ColorBox1->currentText(), QStringLiteral("Blue"));
        QVERIFY(form.CheckBox1->isChecked());
        QVERIFY(!form.CheckBox2->isChecked());
        QVERIFY2(!form.Richedit1->font().bold(), "the pane is regular, the window bold");
        QVERIFY(form.Richedit1->isVisible());
        QCOMPARE(form.BitBtn1->accessibleName(), QStringLiteral("Play"));
        QCOMPARE(form.BitBtn1->toolTip(), QStringLiteral("Play"));
    }

    // Each key sent where a keyboard sends it, to the focused control, starting stopped at
    // sequence 2 of 3: the window's action, or nothing when the control keeps the key.
    void keysGoToTheWindowUnlessTheFocusedControlKeepsThem_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("presenting");
        QTest::addColumn<QString>("kept");  // the keys the control keeps: S L R U D H
        const QString all = QStringLiteral("SLRUDH");
        const std::pair<const char*, const char*> normal[] = {
            {"BitBtn1", ""},  {"BitBtn3", ""},         {"BitBtn4", ""},    {"BitBtn5", ""},
            {"BitBtn6", ""},  {"BitBtn2", ""},         {"CheckBox1", "S"}, {"CheckBox2", "S"},
            {"Edit1", "LRH"}, {"Richedit1", "SLRUDH"},
        };
        const std::pair<const char*, const char*> presenting[] = {
            {"BitBtn7", ""},    {"BitBtn8", ""},  {"BitBtn9", ""},
            {"BitBtn10", ""},   {"BitBtn11", ""}, {"CheckBox3", "S"},
            {"CheckBox4", "S"}, {"Edit2", "LRH"}, {"ColorBox1", "SLRUDH"},
        };
        for (auto [name, kept] : normal) QTest::newRow(name) << name << false << QString::fromLatin1(kept);
        for (auto [name, kept] : presenting) QTest::newRow(name) << name << true << QString::fromLatin1(kept);
        Q_UNUSED(all);
    }

    void keysGoToTheWindowUnlessTheFocusedControlKeepsThem() {
        QFETCH(QString, control);
        QFETCH(bool, presenting);
        QFETCH(QString, kept);
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), play_of(3));
        TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
        set_speed(form, hoopcast::kMaxSpeedMs);  // a step lasts long: Space can pause it
        if (presenting) {
            form.showMaximized();
        } else {
            form.show();
        }
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTRY_COMPARE(form.layout().presenting(), presenting);
        const std::pair<const char*, QWidget*> controls[] = {
            {"BitBtn1", form.BitBtn1},     {"BitBtn2", form.BitBtn2},     {"BitBtn3", form.BitBtn3},
            {"BitBtn4", form.BitBtn4},     {"BitBtn5", form.BitBtn5},     {"BitBtn6", form.BitBtn6},
            {"BitBtn7", form.BitBtn7},     {"BitBtn8", form.BitBtn8},     {"BitBtn9", form.BitBtn9},
            {"BitBtn10", form.BitBtn10},   {"BitBtn11", form.BitBtn11},   {"CheckBox1", form.CheckBox1},
            {"CheckBox2", form.CheckBox2}, {"CheckBox3", form.CheckBox3}, {"CheckBox4", form.CheckBox4},
            {"Edit1", form.Edit1},         {"Edit2", form.Edit2},         {"Richedit1", form.Richedit1},
            {"ColorBox1", form.ColorBox1},
        };
        QWidget* w = nullptr;
        for (auto [name, widget] : controls) {
            if (control == QLatin1String(name)) w = widget;
        }
        QVERIFY2(w != nullptr, qPrintable(control));
        struct Key {
            QChar code;
            Qt::Key key;
            QString counter;  // after the key, from 2/3 stopped
            bool playing;
        };
        const Key keys[] = {
            {u'S', Qt::Key_Space, QStringLiteral("2/3"), true},
            {u'L', Qt::Key_Left, QStringLiteral("1/3"), false},
            {u'R', Qt::Key_Right, QStringLiteral("3/3"), false},
            {u'U', Qt::Key_PageUp, QStringLiteral("1/3"), false},
            {u'D', Qt::Key_PageDown, QStringLiteral("3/3"), false},
            {u'H', Qt::Key_Home, QStringLiteral("1/3"), false},
        };
        for (const Key& k : keys) {
            form.engine().BitBtn4Click();
            form.engine().BitBtn6Click();
            QCOMPARE(form.Label4->text(), QStringLiteral("2/3"));
            w->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), w);
            const bool sketch = form.switches().sketch();
            QTest::keyClick(QApplication::focusWidget(), k.key);
            const QString what = control + QStringLiteral(" key ") + k.code;
            if (kept.contains(k.code)) {
                QVERIFY2(form.Label4->text() == QStringLiteral("2/3") && !form.playback_state().playing,
                         qPrintable(what + QStringLiteral(": the window acted on a kept key")));
                if (qobject_cast<QCheckBox*>(w) != nullptr)
                    QCOMPARE(form.switches().sketch() != sketch, w == form.CheckBox1 || w == form.CheckBox3);
            } else {
                QVERIFY2(form.Label4->text() == k.counter,
                         qPrintable(what + QStringLiteral(": ") + form.Label4->text()));
                QVERIFY2(form.playback_state().playing == k.playing, qPrintable(what));
                if (k.playing) {
                    // Space again pauses, whatever has the focus.
                    QTest::keyClick(QApplication::focusWidget(), k.key);
                    QVERIFY2(!form.playback_state().playing && !form.timer1().isActive(),
                             qPrintable(what + QStringLiteral(" twice: still playing")));
                }
            }
        }
    }

    void clickedPlaybackButtonsLeaveSpaceToPlayAndPause() {
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), play_of(3));
        TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
        set_speed(form, hoopcast::kMaxSpeedMs);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::mouseClick(form.BitBtn6, Qt::LeftButton);  // Next
        QCOMPARE(form.Label4->text(), QStringLiteral("2/3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(form.playback_state().playing);
        QCOMPARE(form.Label4->text(), QStringLiteral("2/3"));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);  // Play, while playing
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!form.playback_state().playing);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!form.isVisible());
    }

    void speedBoxesAndIntervalAgreeThroughResizesAndStateChanges() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.UpDown1->step_up();
        form.UpDown1->step_up();
        auto speed_is = [&form](const QString& ms) {
            return form.Edit1->text() == ms && form.Edit2->text() == ms &&
                   form.timer1().interval() == ms.toInt();
        };
        QVERIFY(speed_is(QStringLiteral("22")));
        set_outer_size(form, 616, 520);
        form.showMinimized();
        form.showNormal();
        QVERIFY(speed_is(QStringLiteral("22")));
        form.showMaximized();
        QTRY_VERIFY(form.Panel1->isVisible());
        form.UpDown2->step_down();
        form.showNormal();
        QTRY_VERIFY(!form.Panel1->isVisible());
        QVERIFY(speed_is(QStringLiteral("21")));
    }

    void argumentsAreJoinedWithBlanks() {
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("a b")), kSmallPlay);
        TForm12 form(args({dir.filePath(QStringLiteral("a")), QStringLiteral("b")}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.play_loaded());
        QCOMPARE(form.Label1->text(), QStringLiteral("Tiny"));
        QCOMPARE(form.Label8->text(), QStringLiteral("Offense"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Basketball Hoopcast,Offense: Tiny"));
        QCOMPARE(QString::fromStdString(form.play_file_name()), dir.filePath(QStringLiteral("a b")));
    }

    void openThenCancelStopsAtTheFirstSequence() {
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), kSmallPlay);
        TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        on_next_modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        form.Open1Click();
        QVERIFY(form.play_loaded());
        QVERIFY(form.play_file_name().empty());
        QCOMPARE(form.Label4->text(), QStringLiteral("1/2"));
        form.BitBtn6->click();  // Next does nothing without a file name
        QCOMPARE(form.Label4->text(), QStringLiteral("1/2"));
    }

    void escapeEndsTheProgram() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_Escape);
        QTRY_VERIFY(!form.isVisible());
    }

    // The test screen is 1000 x 770: maximized, the outer height gives a scale of 2.
    void maximizedTheCourtScalesToTheHeightAndRestoredTheNormalLayoutIsBack() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.showMaximized();
        QTRY_COMPARE(form.frameGeometry().height(), 770);
        QTRY_COMPARE(form.scale(), 2.0);
        QCOMPARE(form.PaintBox1->size(), QSize(578, 722));
        QCOMPARE(form.PaintBox1->x(), (1000 - 578) / 2);
        QVERIFY(form.Panel1->isVisible());
        QCOMPARE(form.Panel1->pos(), QPoint(form.PaintBox1->x() + 578 + 5, 5));
        QVERIFY(!form.BitBtn1->isVisible());
        // No play: the court area is the layout's black, not a grey block.
        const QImage court = form.PaintBox1->grab().toImage();
        QCOMPARE(court.pixelColor(court.width() / 2, court.height() / 2), QColor(Qt::black));
        if (qEnvironmentVariableIsSet("HOOPCAST_GRAB"))
            form.grab().save(qEnvironmentVariable("HOOPCAST_GRAB"));

        set_speed(form, 250);
        form.showNormal();
        QTRY_COMPARE(form.scale(), 1.0);
        QTRY_COMPARE(form.frameGeometry().width(), 616);
        QCOMPARE(form.PaintBox1->geometry(), QRect(8, 18, 289, 361));
        QVERIFY(!form.Panel1->isVisible());
        QCOMPARE(form.Edit1->text(), QStringLiteral("250"));
        QCOMPARE(form.UpDown1->increment(), 20);
        const QImage normal = form.PaintBox1->grab().toImage();
        QCOMPARE(normal.pixel(100, 100) & 0xFFFFFF, 0xE0DFE3u);
    }

    // Whatever sizes the normal window, it comes back whole at its size.
    void aResizedNormalWindowReturnsToItsSize() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QSize normal = form.size();
        for (const QSize asked : {QSize(1280, 200), QSize(900, 700), QSize(500, 458)}) {
            set_outer_size(form, asked.width(), asked.height());
            QTRY_COMPARE(form.size(), normal);
            QCOMPARE(form.frameGeometry().width(), 616);
            QVERIFY(!form.layout().presenting());
            QCOMPARE(form.scale(), 1.0);
            QCOMPARE(form.PaintBox1->geometry(), QRect(8, 18, 289, 361));
            QVERIFY(form.BitBtn1->isVisible() && !form.Panel1->isVisible());
        }
    }

    // The layout from what the window system says, with no window.
    void theLayoutFollowsTheWindowStateAndTheFrame() {
        using hoopcast::app::decide_layout;
        using hoopcast::app::Layout;
        using hoopcast::app::WindowFacts;
        const QMargins frame(4, 24, 4, 4);
        const QSize normal = hoopcast::app::normal_client_size(frame, 440);
        QCOMPARE(normal, QSize(608, 440));
        auto decide = [&](bool maximized, bool one_way, QSize client, std::optional<QMargins> f) {
            return decide_layout(WindowFacts{maximized, one_way, client, f}, normal, 20);
        };
        auto d = decide(true, false, QSize(1272, 996), frame);
        QCOMPARE(d.state.layout, Layout::presentation);
        QCOMPARE(d.state.outer, QSize(1280, 1024));
        QCOMPARE(d.state.scale, (1024 - 48) / 361.0);
        QVERIFY(!d.hold_normal_size && !d.return_to_normal_size && !d.maximize_fully);
        // A title bar of 30, a border of 3 and the menu bar take 53 of the height: the court is
        // the rest.
        d = decide(true, false, QSize(1274, 959), QMargins(3, 30, 3, 3));
        QCOMPARE(d.state.scale, (992 - 53) / 361.0);
        QCOMPARE(hoopcast::frame_picture_size(d.state.scale).height, 959 - 20);
        d = decide(true, false, QSize(600, 400), frame);  // a screen as narrow as the window
        QCOMPARE(d.state.layout, Layout::normal);
        QVERIFY(!d.hold_normal_size && !d.return_to_normal_size);
        d = decide(false, true, QSize(1272, 430), frame);  // maximized across only
        QCOMPARE(d.state.layout, Layout::normal);
        QVERIFY(d.maximize_fully && !d.return_to_normal_size);
        d = decide(false, false, QSize(1272, 996), frame);  // sized by another program
        QCOMPARE(d.state.layout, Layout::normal);
        QCOMPARE(d.state.scale, 1.0);
        QVERIFY(d.hold_normal_size && d.return_to_normal_size);
        d = decide(false, false, normal, frame);
        QVERIFY(d.hold_normal_size && !d.return_to_normal_size);
        d = decide(false, false, QSize(608, 437), std::nullopt);  // not framed yet
        QVERIFY(d.hold_normal_size && !d.return_to_normal_size);
    }

    void rightClickShowsThePanelOnTheBackgroundOnly() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.PaintBox1, Qt::RightButton, {}, QPoint(40, 40));
        QVERIFY(!form.Panel1->isVisible());
        // Labels and the description pane pass up the clicks they do not use.
        QTest::mouseClick(form.Label7, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseClick(form.Richedit1->viewport(), Qt::RightButton, {}, QPoint(40, 40));
        QVERIFY(!form.Panel1->isVisible());
        QTest::mouseClick(form.centralWidget(), Qt::RightButton, {}, kBackground);
        QVERIFY(form.Panel1->isVisible());
        QCOMPARE(form.Panel1->pos(), kBackground);
        QTest::mouseClick(form.Panel1, Qt::RightButton, {}, QPoint(4, 128));  // a gap of the panel
        QCOMPARE(form.Panel1->pos(), kBackground);
        QTest::mouseClick(form.Label6, Qt::LeftButton);
        QVERIFY(!form.Panel1->isVisible());
    }

    void courtAreaHoldsExactlyTheLastPictureItWasGiven() {
        hoopcast::app::CourtView view(nullptr);
        hoopcast::raster::Bitmap first(40, 30), second(40, 30), third(41, 30);
        first.fill_rect({5, 5, 12, 9}, 0x00FF00);
        second.fill_rect({20, 3, 26, 28}, 0x0000FF);
        for (const hoopcast::raster::Bitmap* b : {&first, &second, &first, &third}) {
            view.show_picture(*b);
            QVERIFY(view.shown() != nullptr);
            QCOMPARE(view.shown()->width(), b->width());
            QVERIFY(std::equal(b->bytes().begin(), b->bytes().end(), view.shown()->bytes().begin()));
        }
    }

    void leftDragSketchesInThePanelsColour() {
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), kSmallPlay);
        TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Showcourt();
        QTest::mousePress(form.PaintBox1, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseMove(form.PaintBox1, QPoint(60, 30));
        QTest::mouseRelease(form.PaintBox1, Qt::LeftButton, {}, QPoint(60, 30));
        const hoopcast::raster::Bitmap* shown = form.PaintBox1->shown();
        QVERIFY(shown != nullptr);
        QCOMPARE(shown->pixel(45, 30), 0xFF0000);  // blue, 4 pixels wide
        QCOMPARE(shown->pixel(45, 31), 0xFF0000);
        QTest::mouseClick(form.Label3, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(form.PaintBox1->shown()->pixel(45, 30), 0xFF0000);
        // A left click on the background while stopped redraws and wipes the sketch.
        QTest::mouseClick(form.centralWidget(), Qt::LeftButton, {}, kBackground);
        QVERIFY(form.PaintBox1->shown()->pixel(45, 30) != 0xFF0000);
    }

    void readerOutcomesShowTheirBoxes_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("not supported")
            << QByteArray("Version  = something else\r\n")
            << QStringLiteral("Importfile Version  = something else is not supported")
            << int(QMessageBox::Information);
        QTest::newRow("corrupt") << QByteArray("Version  = Basketball Drillpad 0.3\r\nPlayname = x\r\n")
                                 << QStringLiteral("Importfile %1 is corrupt")
                                 << int(QMessageBox::Information);
        QTest::newRow("too many")
            << QByteArray(
                   "Version  = Basketball Drillpad 0.3\r\nCategory = c\r\nPlayname = p\r\n"
                   "Nr_seq   = 76\r\n")
            << QStringLiteral("Unable to animate more than 75 sequences") << int(QMessageBox::Critical);
    }

    void readerOutcomesShowTheirBoxes() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.kqz"));
        write_file(path, content);
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString seen_text;
        int seen_icon = -1;
        on_next_modal([&](QWidget* w) {
            seen_text = text_of_box(w);
            if (auto* box = qobject_cast<QMessageBox*>(w)) seen_icon = box->icon();
            qobject_cast<QDialog*>(w)->accept();
        });
        form.OpenPlay(path.toStdString());
        QCOMPARE(seen_text, message.contains(QStringLiteral("%1")) ? message.arg(path) : message);
        QCOMPARE(seen_icon, icon);
    }

    void aHugeFirstLineIsShortenedToFitTheScreen() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("binary.kqz"));
        write_file(path, QByteArray(1 << 20, 'x') + "\r\n");
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString text;
        QSize size;
        on_next_modal([&](QWidget* w) {
            text = text_of_box(w);
            size = w->sizeHint();
            qobject_cast<QDialog*>(w)->accept();
        });
        form.OpenPlay(path.toStdString());
        QVERIFY(text.startsWith(QStringLiteral("Importfile xxx")) &&
                text.endsWith(QStringLiteral(" is not supported")));
        QVERIFY(text.contains(QChar(0x2026)));
        QVERIFY(form.screen()->availableGeometry().contains(QRect(QPoint(), size)));
        QVERIFY2(QApplication::overrideCursor() == nullptr, "the busy cursor ends with the read");
    }

    void exportWritesWhatTheDialogChoseAsTheWindowShowsIt() {
        // A typed extension names the format; without one the chosen type adds its own.
        QCOMPARE(hoopcast::app::resolve_export_path(QStringLiteral("/t/a.GIF"), ExportFormat::Mp4, 1).format,
                 ExportFormat::Gif);
        const ExportChoice untyped =
            hoopcast::app::resolve_export_path(QStringLiteral("/t/a"), ExportFormat::WebM, 1);
        QCOMPARE(untyped.path, QStringLiteral("/t/a.webm"));
        QCOMPARE(untyped.format, ExportFormat::WebM);

        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), kSmallPlay);
        TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.BitBtn6->click();  // sequence 2, the picture a PNG shows
        ExportChoice choice;
        form.export_chooser = [&choice] { return choice; };
        const auto run = [&](const QString& name, ExportFormat format, double scale) {
            choice = {dir.filePath(name), format, scale};
            form.export_action()->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(form.export_progress() == nullptr, kExportWaitMs);
        };

        run(QStringLiteral("p.mp4"), ExportFormat::Mp4, 0.6);
        const auto video = hoopcast::testing::probe_video(choice.path.toStdString());
        QCOMPARE(video.codec, std::string("h264"));
        QCOMPARE(video.frame_rate, std::string("50/1"));
        QCOMPARE(QSize(video.width, video.height), QSize(174, 218));  // 173 x 217, padded even
        QVERIFY(video.frames > 1);
        // The holds chosen: 1 s and 2.5 s unless the coach says otherwise.
        choice = {dir.filePath(QStringLiteral("bare.mp4")), ExportFormat::Mp4, 0.6, 0, 500};
        form.export_action()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(form.export_progress() == nullptr, kExportWaitMs);
        const auto bare = hoopcast::testing::probe_video(choice.path.toStdString());
        QCOMPARE(video.frames - bare.frames, 150L);  // 3 s less at 50 frames a second

        run(QStringLiteral("p.png"), ExportFormat::Png, 1.0);
        const QImage png(choice.path);
        const hoopcast::raster::Bitmap* shown = form.PaintBox1->shown();
        QVERIFY(shown != nullptr);
        QCOMPARE(png.size(), QSize(shown->width(), shown->height()));
        for (int y = 0; y < png.height(); ++y) {
            for (int x = 0; x < png.width(); ++x) {
                const QRgb p = png.pixel(x, y);
                const auto bgr = static_cast<std::uint32_t>(qBlue(p) << 16 | qGreen(p) << 8 | qRed(p));
                if (bgr != static_cast<std::uint32_t>(shown->pixel(x, y)))
                    QFAIL(qPrintable(QStringLiteral("pixel %1, %2").arg(x).arg(y)));
            }
        }
    }

    void exportDialogAsksHowLongThePicturesHold() {
        QTemporaryDir dir;
        on_next_modal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog != nullptr);
            auto* start = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("hold_start"));
            auto* end = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("hold_end"));
            QVERIFY(start != nullptr && end != nullptr);
            QVERIFY(dialog->nameFilters().contains(QStringLiteral("Web page (*.html)")));
            QCOMPARE(start->value(), 1.0);
            QCOMPARE(end->value(), 2.5);
            start->setValue(0);
            end->setValue(4.5);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            name->setText(QStringLiteral("p.gif"));   // typed: the extension names the format
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, as the Save button calls it
        });
        const auto choice = hoopcast::app::choose_export(nullptr, dir.filePath(QStringLiteral("p.kqz")), 2.0);
        QVERIFY(choice.has_value());
        QCOMPARE(choice->path, dir.filePath(QStringLiteral("p.gif")));
        QCOMPARE(choice->format, ExportFormat::Gif);
        QCOMPARE(choice->hold_start_ms, 0);
        QCOMPARE(choice->hold_end_ms, 4500);
    }

    // A web page from File > Export… is the page the command line writes, byte for byte.
    void exportedWebPageIsTheCommandLines() {
        QTemporaryDir dir;
        qputenv("HOOPCAST_PAGE_TEMPLATE", HOOPCAST_SOURCE_DIR "/tests/data/page_template.html");
        const QString play = QStringLiteral(HOOPCAST_SOURCE_DIR "/samples/half_court_set_play.kqz");
        TForm12 form(args({play}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString window = dir.filePath(QStringLiteral("window.html"));
        form.export_chooser = [&] { return ExportChoice{window, ExportFormat::Html, 1.0}; };
        form.export_action()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(form.export_progress() == nullptr, kExportWaitMs);
        const QString cli = dir.filePath(QStringLiteral("cli.html"));
        const int status = QProcess::execute(QStringLiteral(HOOPCAST_CLI),
                                             {QStringLiteral("export"), play, QStringLiteral("-o"), cli});
        qunsetenv("HOOPCAST_PAGE_TEMPLATE");
        QCOMPARE(status, 0);
        QFile a(window), b(cli);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray page = a.readAll();
        QVERIFY(page.contains("<title>Horns twist</title>"));
        QVERIFY(page == b.readAll());
    }

    void cancelledOrFailedExportsLeaveNoFile() {
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), kSmallPlay);
        TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        set_speed(form, hoopcast::kMaxSpeedMs);  // minutes of video: Cancel comes half-way
        ExportChoice choice{dir.filePath(QStringLiteral("p.mp4")), ExportFormat::Mp4, 1.0};
        form.export_chooser = [&choice] { return choice; };
        form.export_action()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(form.export_progress() != nullptr && form.export_progress()->value() > 0,
                                 kExportWaitMs);
        QVERIFY(form.export_progress()->value() < form.export_progress()->maximum());
        form.export_progress()->findChild<QPushButton*>()->click();
        QTRY_VERIFY_WITH_TIMEOUT(form.export_progress() == nullptr, kExportWaitMs);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("p.kqz")});

        QString seen_text;
        on_next_modal([&](QWidget* w) {
            seen_text = text_of_box(w);
            qobject_cast<QDialog*>(w)->accept();
        });
        choice.path = QStringLiteral("/nonexistent/p.gif");
        choice.format = ExportFormat::Gif;
        form.export_action()->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(
            seen_text, QStringLiteral("Cannot write /nonexistent/p.gif: No such file or directory"),
            kExportWaitMs);
    }

    // Memory that runs out is an Error box, and the window goes on: with the empty court
    // when the play could not be read, with the play when its sequence could not be shown
    // or exported.
    void memoryThatRunsOutIsAnErrorBoxAndTheWindowGoesOn() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("a sanitizer's shadow memory takes no limit on address space");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.kqz"));
        {
            // A still sequence of 100 MB of description with a bullet group, which the pane
            // takes out of a copy.
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(
                "Version  = Basketball Drillpad 0.3\r\nCategory = Big\r\nPlayname = Notes\r\n"
                "Nr_seq   = 1\r\nAnimation= No\r\nSequence = 1\r\n{\\pntext\\f0\\'B7\\tab}}\r\n");
            const QByteArray lines = QByteArray("The wing cuts to the basket.\r\n").repeated(1 << 15);
            for (int k = 0; k < 100; ++k) f.write(lines);
            f.write(
                "Nr_parts = 1\r\nNumber   = 3\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\n"
                "X2       = 999\r\nY2       = 0\r\nColour   = 0\r\n");
        }
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QStringList seen;
        const auto expect_box = [&seen] {
            on_next_modal([&seen](QWidget* w) {
                if (auto* box = qobject_cast<QMessageBox*>(w);
                    box != nullptr && box->icon() == QMessageBox::Critical)
                    seen << box->text();
                qobject_cast<QDialog*>(w)->accept();
            });
        };
        constexpr rlim_t kRoom = 48 << 20;
        {
            const AddressSpaceLimit limit(kRoom);
            expect_box();
            QVERIFY(form.OpenPlay(path.toStdString()));
            form.Showcourt();
        }
        QCOMPARE(seen, QStringList{QStringLiteral("Not enough memory to read ") + path});
        QCOMPARE(form.play().seq_count, 0);
        QVERIFY(form.isVisible());
        QVERIFY(form.PaintBox1->shown() != nullptr);

        seen.clear();
        QVERIFY(form.OpenPlay(path.toStdString()));
        QCOMPARE(form.play().seq_count, 1);
        ExportChoice choice{dir.filePath(QStringLiteral("p.gif")), ExportFormat::Gif, 1.0};
        form.export_chooser = [&choice] { return choice; };
        {
            const AddressSpaceLimit limit(kRoom);
            expect_box();
            form.Showcourt();
            expect_box();
            form.export_action()->trigger();
        }
        QCOMPARE(seen, (QStringList{QStringLiteral("Not enough memory to show this sequence"),
                                    QStringLiteral("Not enough memory to export the play")}));
        QCOMPARE(form.play().seq_count, 1);
        QVERIFY(form.export_progress() == nullptr);
        form.Showcourt();
        QVERIFY(form.Richedit1->toPlainText().contains(QStringLiteral("The wing cuts")));
    }

    void aFileThatCannotBeOpenedShowsTheSystemError() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString seen_text;
        on_next_modal([&](QWidget* w) {
            seen_text = text_of_box(w);
            qobject_cast<QDialog*>(w)->accept();
        });
        QVERIFY(!form.OpenPlay("/nonexistent/none.kqz"));
        QVERIFY(seen_text.contains(QStringLiteral("No such file or directory")));
        QVERIFY(!form.play_loaded());
    }

    // Markup and a title's "[*]" in a play are characters like any other.
    void aPlaysTextsAreShownAsWritten() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.kqz"));
        write_file(path, play_of(2, "<font color=red>Man</font>-to-man", "<i>A</i>&amp;B [*]"));
        TForm12 form(args({path}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (QLabel* label : {form.Label8, form.Label1}) {
            QLabel plain;
            plain.setFont(label->font());
            plain.setTextFormat(Qt::PlainText);
            plain.setText(label->text());
            QCOMPARE(label->sizeHint(), plain.sizeHint());
        }
        QCOMPARE(form.Label8->text(), QStringLiteral("<font color=red>Man</font>-to-man"));
        QCOMPARE(form.Label1->text(), QStringLiteral("<i>A</i>&amp;B [*]"));
        form.showMaximized();
        QTRY_VERIFY(form.layout().presenting());
        form.Showcourt();
        QCOMPARE(form.windowHandle()->title(),
                 QStringLiteral("Basketball Hoopcast : <i>A</i>&amp;B [*]  -  1/2"));

        // The export's progress names the file as written too.
        form.export_runner = [](const hoopcast::PlayModel&, const hoopcast::ExportRequest&,
                                const hoopcast::ExportProgress& progress) {
            while (progress(0, 1)) QThread::msleep(5);
            return hoopcast::ExportResult{hoopcast::ExportOutcome::Cancelled, {}};
        };
        const QString odd = dir.filePath(QStringLiteral("<u>x&amp;y.gif"));
        form.export_chooser = [odd] { return ExportChoice{odd, ExportFormat::Gif, 1.0}; };
        form.export_action()->trigger();
        QVERIFY(form.export_progress() != nullptr);
        auto* label = form.export_progress()->findChild<QLabel*>();
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QStringLiteral("<u>x&amp;y.gif"));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        form.export_progress()->findChild<QPushButton*>()->click();
        QTRY_VERIFY(form.export_progress() == nullptr);
    }

    // A Latin-1 name, from the command line, the Open dialog and a drop alike.
    void filesOpenByTheFileSystemsOwnBytes() {
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        const std::string latin1 = folder + "/lat\xDCn.kqz";
        {
            std::ofstream out(latin1, std::ios::binary);
            out << play_of(2).toStdString();
        }
        const QString shown = hoopcast::app::shown_name(latin1);
        QVERIFY(!QFile::exists(shown));  // the name as text is not the file
        QCOMPARE(hoopcast::app::file_system_name(shown), latin1);
        QCOMPARE(hoopcast::app::file_system_name(dir.filePath(QStringLiteral("new.gif"))),
                 folder + "/new.gif");
        QCOMPARE(hoopcast::app::dropped_file("# a comment\r\nfile://" +
                                             QByteArray::fromStdString(folder).toPercentEncoding("/") +
                                             "/lat%DCn.kqz\r\n"),
                 std::optional(latin1));
        QCOMPARE(hoopcast::app::dropped_file("http://example.org/a.kqz\r\n"), std::nullopt);

        {
            TForm12 form({folder + "/lat\xDCn.kqz"});
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QVERIFY(form.play_loaded());
            QCOMPARE(form.play_file_name(), latin1);
        }
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        on_next_modal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            dialog->setDirectory(dir.path());
            // The name as its list shows it, clicked.
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QFileInfo(shown).fileName());
            static_cast<QDialog*>(dialog)->accept();
        });
        form.Open1Click();
        QVERIFY(form.play_loaded());
        QCOMPARE(form.play_file_name(), latin1);

        TForm12 dropped({});
        dropped.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dropped));
        QMimeData mime;
        mime.setData(QStringLiteral("text/uri-list"),
                     "file://" + QByteArray::fromStdString(latin1).toPercentEncoding("/") + "\r\n");
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dropped, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dropped, &drop);
        QVERIFY(dropped.play_loaded());
        QCOMPARE(dropped.play_file_name(), latin1);
    }

    // In whatever font the system gives for the box's, each text is whole inside the panel,
    // and the box and the message boxes offer no minimize or maximize.
    void theAboutBoxShowsItsTextsWhole() {
        TForm12 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QDialog* about = form.findChild<QDialog*>();
        QVERIFY(about != nullptr);
        auto* panel = about->findChild<QFrame*>();
        QVERIFY(panel != nullptr);
        const QList<QLabel*> labels = panel->findChildren<QLabel*>();
        int texts = 0;
        for (const QLabel* l : labels) {
            if (l->text().isEmpty()) continue;  // the icon
            ++texts;
            const int needed = QFontMetrics(l->font()).horizontalAdvance(l->text());
            QVERIFY2(l->contentsRect().width() >= needed, qPrintable(l->text()));
            QVERIFY2(panel->contentsRect().adjusted(4, 0, -4, 0).contains(l->geometry()),
                     qPrintable(l->text()));
        }
        QCOMPARE(texts, 3);
        QVERIFY(about->rect().contains(panel->geometry()));
        auto* ok = about->findChild<QPushButton*>();
        QVERIFY(qAbs(ok->x() * 2 + ok->width() - about->width()) <= 1);
        QVERIFY(ok->geometry().top() > panel->geometry().bottom());
        const auto no_min_max = [](const QWidget* w) {
            const Qt::WindowFlags f = w->windowFlags();
            return (f & Qt::CustomizeWindowHint) && !(f & Qt::WindowMinimizeButtonHint) &&
                   !(f & Qt::WindowMaximizeButtonHint) && (f & Qt::WindowCloseButtonHint);
        };
        QVERIFY(no_min_max(about));
        bool box_without = false;
        on_next_modal([&](QWidget* w) {
            box_without = no_min_max(w);
            qobject_cast<QDialog*>(w)->accept();
        });
        form.OpenPlay("/nonexistent/none.kqz");
        QVERIFY(box_without);
    }

    // Closing the window while an export works on a frame: the window goes at once, and the
    // export, cancelled, leaves no file.
    void closingDuringAnExportCancelsItAtOnce() {
        QTemporaryDir dir;
        write_file(dir.filePath(QStringLiteral("p.kqz")), kSmallPlay);
        std::atomic<bool> frame_may_end{false}, waited_out{false};
        {
            TForm12 form(args({dir.filePath(QStringLiteral("p.kqz"))}));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.export_runner = [&](const hoopcast::PlayModel&, const hoopcast::ExportRequest&,
                                     const hoopcast::ExportProgress& progress) {
                progress(0, 1);
                // A frame that takes long; the window must not wait for it to close.
                for (int i = 0; i < 2000 && !frame_may_end; ++i) QThread::msleep(5);
                waited_out = !frame_may_end;
                progress(1, 2);
                return hoopcast::ExportResult{hoopcast::ExportOutcome::Cancelled, {}};
            };
            form.export_chooser = [&dir] {
                return ExportChoice{dir.filePath(QStringLiteral("p.gif")), ExportFormat::Gif, 1.0};
            };
            form.export_action()->trigger();
            QVERIFY(form.export_progress() != nullptr);
            form.close();
            QVERIFY(!form.isVisible());
            QVERIFY(form.export_progress() == nullptr);
            frame_may_end = true;
        }
        QVERIFY2(!waited_out, "closing waited for the export's frame");

        // The real export removes what it wrote.
        auto form = std::make_unique<TForm12>(args({dir.filePath(QStringLiteral("p.kqz"))}));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        set_speed(*form, hoopcast::kMaxSpeedMs);
        form->export_chooser = [&dir] {
            return ExportChoice{dir.filePath(QStringLiteral("p.mp4")), ExportFormat::Mp4, 1.0};
        };
        form->export_action()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(form->export_progress() != nullptr && form->export_progress()->value() > 0,
                                 kExportWaitMs);
        form->close();
        QVERIFY(!form->isVisible());
        form.reset();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("p.kqz")});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
