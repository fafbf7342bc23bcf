#include "app/dialog_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <optional>

namespace hoopcast::app {

namespace {

// Long enough for the compositor's answer and the dialog's repaint at the size it gives.
constexpr int kTakeBackMs = 100;

// Qt's own title bar on Wayland offers maximizing on every window, whatever its flags, and
// a compositor that maximizes a window ends the program if the window keeps a size of its
// own. A maximize asked of a dialog is taken back: while the compositor has it maximized the
// dialog takes the size it is given, and its own size comes back with the normal state.
class KeepsDialogSize : public QObject {
  public:
    explicit KeepsDialogSize(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The window exists from the first showing on.
        if (event->type() == QEvent::Show) {
            if (QWindow* window = dialog_.windowHandle()) {
                connect(window, &QWindow::windowStateChanged, this, &KeepsDialogSize::state_changed,
                        Qt::UniqueConnection);
            }
        }
        // A message box sizes itself afresh at each layout request; not while it is free.
        return event->type() == QEvent::LayoutRequest && own_size_.has_value();
    }

  private:
    void state_changed(Qt::WindowState state) {
        if (state == Qt::WindowMaximized || state == Qt::WindowFullScreen) {
            // A Wayland compositor has the surface take the maximized size; an X11 window
            // manager takes the hints' word, and the size comes back with the normal state.
            if (wayland_ && !own_size_) {
                own_size_ = dialog_.size();
                // Again once the state change has gone round: a message box sizes itself
                // anew on it.
                free_size();
                QTimer::singleShot(0, this, [this] {
                    if (own_size_) free_size();
                });
            }
            // Taken back once the compositor has been shown the maximized dialog: before that
            // it takes no word of the normal state.
            QTimer::singleShot(kTakeBackMs, this, [this] {
                QWindow* window = dialog_.windowHandle();
                if (window == nullptr) return;
                taking_back_ = true;
                window->setWindowStates(Qt::WindowNoState);
                taking_back_ = false;
            });
        } else if (state == Qt::WindowNoState && own_size_ && !taking_back_) {
            dialog_.setFixedSize(*own_size_);
            own_size_.reset();
        }
    }

    void free_size() {
        dialog_.setMinimumSize(0, 0);
        dialog_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }

    QWidget& dialog_;
    std::optional<QSize> own_size_;  // while the dialog's size is free
    bool taking_back_ = false;
    const bool wayland_ = QGuiApplication::platformName() == QLatin1String("wayland");
};

}  // namespace

void give_dialog_frame(QWidget& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    dialog.installEventFilter(new KeepsDialogSize(dialog));
}

}  // namespace hoopcast::app
