// The real window inside a real compositor (wayland_test.sh starts it): the window as the
// compositor shows it in its screenshots, maximized and restored the compositor's way, with
// the keys a keyboard sends. Run by itself it does nothing.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>

#include <QTextBrowser>

#include "app/court_view.h"
#include "app/main_window.h"

using hoopcast::app::TForm12;

namespace {

const QString kSample = QStringLiteral(HOOPCAST_SOURCE_DIR "/samples/half_court_set_play.kqz");
const bool kSway = qEnvironmentVariableIsSet("HOOPCAST_SWAY");
const bool kX11 = QGuiApplication::platformName() == QLatin1String("xcb");

// The whole screen as the compositor has it. weston takes it at its next repaint, and
// repaints only what changed: the window keeps changing until the shot is taken.
QImage screenshot(QWidget& window) {
    const QString tool = qEnvironmentVariable("HOOPCAST_SCREENSHOT");
    QDir here;
    if (tool == QLatin1String("grim")) {
        QProcess::execute(tool, {QStringLiteral("shot.png")});
    } else {
        for (const QString& old : here.entryList({QStringLiteral("wayland-screenshot*.png")}))
            here.remove(old);
        QProcess shooter;
        shooter.start(tool, {});
        for (int waited = 0; shooter.state() != QProcess::NotRunning && waited < 10000; waited += 50) {
            if (waited % 500 == 0) window.update();
            QTest::qWait(50);
        }
        const QStringList shots = here.entryList({QStringLiteral("wayland-screenshot*.png")});
        if (shots.isEmpty()) return {};
        here.remove(QStringLiteral("shot.png"));
        here.rename(shots.first(), QStringLiteral("shot.png"));
    }
    // Each shot kept for a look, when the script keeps them.
    static int taken = 0;
    if (qEnvironmentVariableIsSet("HOOPCAST_KEEP_SHOTS"))
        QFile::copy(QStringLiteral("shot.png"), QStringLiteral("shot-%1.png").arg(++taken));
    return QImage(QStringLiteral("shot.png")).convertToFormat(QImage::Format_RGB888);
}

// Where `picture` shows pixel for pixel on `screen`; none when nowhere.
std::optional<QPoint> find(const QImage& screen, const QImage& picture) {
    const auto row = static_cast<std::size_t>(picture.width()) * 3;
    for (int top = 0; top + picture.height() <= screen.height(); ++top) {
        for (int left = 0; left + picture.width() <= screen.width(); ++left) {
            bool same = true;
            for (int y = 0; y < picture.height() && same; ++y)
                same =
                    std::memcmp(screen.constScanLine(top + y) + 3 * left, picture.constScanLine(y), row) == 0;
            if (same) return QPoint(left, top);
        }
    }
    return std::nullopt;
}

// The still frame of sequence 1 as hoopcast-cli draws it.
QImage rendered(double scale, int screen_height) {
    const QString out = QDir::current().filePath(QStringLiteral("court-%1.ppm").arg(scale, 0, 'g', 17));
    if (QFile::exists(out)) return QImage(out).convertToFormat(QImage::Format_RGB888);
    QProcess::execute(
        QStringLiteral(HOOPCAST_CLI),
        {QStringLiteral("render"), kSample, QStringLiteral("--seq"), QStringLiteral("1"),
         QStringLiteral("--scale"), QString::number(scale, 'g', 17), QStringLiteral("--screen-height"),
         QString::number(screen_height), QStringLiteral("-o"), out});
    return QImage(out).convertToFormat(QImage::Format_RGB888);
}

bool court_shows(TForm12& form, const QImage& court) {
    const QImage shot = screenshot(form);
    return !shot.isNull() && find(shot, court).has_value();
}

// Runs `program` while the window goes on taking events: a key arrives on a keyboard that
// the window must first be told of.
void run_beside(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    for (int waited = 0; process.state() != QProcess::NotRunning && waited < 10000; waited += 20)
        QTest::qWait(20);
}

void sway(const QString& command) {
    QProcess::execute(QStringLiteral("swaymsg"), {QStringLiteral("[app_id=\"hoopcast\"] ") + command});
}

}  // namespace

class CompositorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm12> form_;
    int screen_height_ = 0;

    void normal_layout_whole() {
        QTRY_VERIFY(!form_->layout().presenting());
        QTRY_COMPARE(form_->layout().state().outer.width(), 616);
        QCOMPARE(form_->scale(), 1.0);
        QCOMPARE(form_->PaintBox1->geometry(), QRect(8, 18, 289, 361));
        QVERIFY(form_->BitBtn1->isVisible() && form_->Richedit1->isVisible() && !form_->Panel1->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(court_shows(*form_, rendered(1.0, screen_height_)), 10000);
        QTRY_COMPARE(form_->windowHandle()->title(), QStringLiteral("Basketball Hoopcast"));
    }

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("HOOPCAST_COMPOSITOR")) QSKIP("run by wayland_test.sh");
        QGuiApplication::setDesktopFileName(QStringLiteral("hoopcast"));  // the app_id, as the program's
        form_ = std::make_unique<TForm12>(std::vector<std::string>{QFile::encodeName(kSample).toStdString()});
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        screen_height_ = form_->screen()->geometry().height();
    }

    void theNormalWindowShowsTheCourtAtItsFixedSize() { normal_layout_whole(); }

    void spacePlaysAndPausesWhateverButtonHasTheFocus() {
        const auto weston = static_cast<pid_t>(qEnvironmentVariableIntValue("HOOPCAST_WESTON_PID"));
        if (!kSway && weston <= 0) QSKIP("weston has no keyboard without weston_keyboard");
        QTRY_VERIFY(form_->isActiveWindow());  // the keyboard's focus
        form_->BitBtn6->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), form_->BitBtn6);
        form_->switches().set_speed(hoopcast::kMaxSpeedMs);
        form_->engine().UpDown1Changing(hoopcast::kMaxSpeedMs);
        const QString counter = form_->Label4->text();
        const auto space = [weston] {
            if (kSway) {
                // A keyboard that comes and goes with the command: its key waits until the
                // window has been told of it.
                run_beside(QStringLiteral("wtype"), {QStringLiteral("-s"), QStringLiteral("300"),
                                                     QStringLiteral("-k"), QStringLiteral("space")});
            } else {
                ::kill(weston, SIGUSR1);
            }
        };
        space();
        QTRY_VERIFY(form_->playback_state().playing);
        QCOMPARE(form_->Label4->text(), counter);  // not Next
        space();
        QTRY_VERIFY(!form_->playback_state().playing);
        form_->engine().BitBtn4Click();
    }

    void maximizedThePresentationLayoutAndRestoredTheNormalOne() {
        if (kSway) {
            sway(QStringLiteral("fullscreen enable"));  // sway presents a window full screen
        } else {
            form_->windowHandle()->showMaximized();  // as the title bar's button does
        }
        QTRY_VERIFY_WITH_TIMEOUT(form_->layout().presenting(), 10000);
        const QSize outer_size = form_->layout().state().outer;
        QVERIFY2(outer_size.height() > screen_height_ - 100 && outer_size.height() <= screen_height_,
                 qPrintable(QStringLiteral("outer height %1").arg(outer_size.height())));
        // The court takes the outer height less 48, or less what the title bar and the menu
        // bar really take where that is more (Qt's own title bar): whole, never cut.
        const int chrome = std::max(48, outer_size.height() - form_->centralWidget()->height());
        QCOMPARE(form_->scale(), (outer_size.height() - chrome) / 361.0);
        QCOMPARE(form_->PaintBox1->height(), outer_size.height() - chrome);
        QVERIFY(form_->Panel1->isVisible());
        QVERIFY(form_->centralWidget()->rect().contains(form_->Panel1->geometry()));
        QVERIFY(!form_->BitBtn1->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(court_shows(*form_, rendered(form_->scale(), screen_height_)), 10000);
        QTRY_COMPARE(form_->windowHandle()->title(),
                     QStringLiteral("Basketball Hoopcast : Horns twist  -  1/4"));

        if (kSway) {
            sway(QStringLiteral("fullscreen disable"));
        } else {
            form_->windowHandle()->showNormal();
        }
        normal_layout_whole();
    }

    void aResizeChangesNothing() {
        const QSize before = form_->size();
        if (kSway) {
            sway(QStringLiteral("resize set 900 700"));
        } else {
            form_->windowHandle()->resize(900, 700);
        }
        QTest::qWait(500);
        QTRY_COMPARE(form_->size(), before);
        normal_layout_whole();
    }

    // A dialog offers no maximizing. Asked for it all the same (as a double click on a title
    // bar does), it keeps its size, and the program goes on.
    void dialogsCannotBeMaximized() {
        const std::function<void()> openers[] = {
            [this] { form_->About1Click(); },
            [this] { form_->OpenPlay("/nonexistent/none.kqz"); },
        };
        for (const auto& open : openers) {
            bool seen = false;
            QSize before, after;
            bool maximized = true;
            QTimer::singleShot(0, [&] {
                QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
                QWidget* dialog = QApplication::activeModalWidget();
                QTest::qWait(500);
                screenshot(*dialog);
                before = dialog->size();
                dialog->windowHandle()->showMaximized();
                QTest::qWait(1000);
                screenshot(*dialog);
                after = dialog->size();
                maximized = (dialog->windowHandle()->windowStates() & Qt::WindowMaximized) != 0;
                seen = true;
                qobject_cast<QDialog*>(dialog)->accept();
            });
            open();
            QVERIFY(seen);
            QCOMPARE(after, before);
            QVERIFY(!maximized);
        }
    }

    void cleanupTestCase() { form_.reset(); }
};

QTEST_MAIN(CompositorTest)
#include "compositor_test.moc"
