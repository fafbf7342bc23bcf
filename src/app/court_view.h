#pragma once
// The court area. Qt does not keep what a widget shows, so the court area holds its own
// copy of the last picture it was given and paints that; sketches are drawn onto the copy
// and last until the next picture replaces it.

#include <QWidget>
#include <memory>
#include <optional>

#include "raster/picture.h"

namespace hoopcast::app {

class CourtView : public QWidget {
    Q_OBJECT
  public:
    explicit CourtView(QWidget* parent);

    // Shows `picture` unscaled at the top-left.
    void show_picture(const raster::Bitmap& picture);
    // The colour an empty court area reads as, whatever it is painted in.
    static constexpr raster::Colour kEmptyColour = 0xE3DFE0;
    // What the court area is painted in where it holds no picture: its layout's background.
    void set_empty_colour(raster::Colour colour);
    // The colour of the court area at (x, y): kEmptyColour where it holds no picture, and no
    // value outside the area (as if not visible).
    std::optional<raster::Colour> colour_at(int x, int y) const;

    // Freehand sketching on the shown picture.
    void begin_sketch(int x, int y, raster::Colour colour, int width);
    void sketch_to(int x, int y);

    const raster::Bitmap* shown() const noexcept { return held_ ? &held_->bitmap() : nullptr; }

  signals:
    void mouse_pressed(Qt::MouseButton button, int x, int y);
    void mouse_moved(int x, int y);
    void mouse_released(Qt::MouseButton button, int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::unique_ptr<raster::Picture> held_;
    raster::Colour empty_colour_ = kEmptyColour;
};

}  // namespace hoopcast::app
