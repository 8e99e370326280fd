#include "drawing/canvas_sequence.h"

#include <string>

#include "engine/drawing/canvas3d.h"

namespace zq::test {

namespace {

using platform::Image;

// A small picture: a 24 x 16 checker of two colours with a diagonal, to show stretching,
// tiling and clipping.
Image Checker() {
  Image image;
  image.width = 24;
  image.height = 16;
  image.pixels.resize(24 * 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 24; ++x) {
      bool dark = ((x / 4) + (y / 4)) % 2 == 0;
      uint32_t p = dark ? 0xFF2060A0u : 0xFFF0E0A0u;
      if (x == y) p = 0xFFD02020u;
      image.pixels[size_t(y) * 24 + size_t(x)] = p;
    }
  return image;
}

class Sequence {
 public:
  Sequence(platform::Surface& surface, bool withText) : surface_(surface), withText_(withText) {
    canvas_.ChangeUseBuffer(false);
    canvas_.SetSurface(&surface_);
  }

  void Run() {
    Flat({0, 0, kCanvasSequenceWidth, kCanvasSequenceHeight});
    canvas_.ResetDrawingState();
    canvas_.SetBrushColor(clWhite);
    canvas_.FillRectangle({0, 0, kCanvasSequenceWidth, kCanvasSequenceHeight});
    Shapes2D();
    Hatches();
    Gradients();
    Pictures();
    Text();
    Solids();
  }

 private:
  // A 2D frame over the whole surface.
  void Flat(const Rect& bounds) { canvas_.BeginFrame(surface_, nullptr, bounds, false); }

  // A 3D frame in one cell: its own view, its projection centred on the cell.
  void Frame3D(const Rect& cell, int32_t elevation, int32_t rotation, int32_t perspective,
               bool orthogonal, int32_t depth) {
    options_.SetElevation(elevation);
    options_.SetRotation(rotation);
    options_.SetPerspective(perspective);
    options_.SetOrthogonal(orthogonal);
    canvas_.BeginFrame(surface_, &options_, {0, 0, kCanvasSequenceWidth, kCanvasSequenceHeight},
                       true);
    canvas_.SetProjectionCentre(depth, {0, 0, kCanvasSequenceWidth, kCanvasSequenceHeight}, cell);
  }

  void Shapes2D() {
    canvas_.ResetDrawingState();
    canvas_.SetPenColor(clNavy);
    canvas_.SetBrushColor(clYellow);
    canvas_.DrawRect(10, 10, 60, 50);
    canvas_.DrawRoundRect(70, 10, 130, 50, 16, 12);
    canvas_.SetBrushColor(clAqua);
    canvas_.DrawEllipse(140, 10, 200, 50);
    canvas_.SetPenWidth(2);
    canvas_.SetPenColor(clRed);
    canvas_.DrawArc(210, 10, 270, 50, 270, 10, 210, 30);
    canvas_.SetPenWidth(1);
    canvas_.SetPenColor(clBlack);
    canvas_.SetBrushColor(clLime);
    canvas_.DrawPieSlice(280, 10, 340, 50, 340, 30, 310, 10);
    Point star[5] = {{370, 10}, {382, 48}, {350, 24}, {390, 24}, {358, 48}};
    canvas_.SetBrushColor(clFuchsia);
    canvas_.DrawPolygon(star, 4);
    const TPenStyle styles[] = {TPenStyle::psSolid, TPenStyle::psDash, TPenStyle::psDot,
                                TPenStyle::psDashDot, TPenStyle::psDashDotDot};
    for (int i = 0; i < 5; ++i) {
      canvas_.SetPenStyle(styles[i]);
      canvas_.HorizontalLine(400, 630, 12 + 8 * i);
    }
    canvas_.SetPenStyle(TPenStyle::psSolid);
    canvas_.SetPenWidth(3);
    canvas_.SetPenColor(clTeal);
    Point zigzag[5] = {{400, 60}, {440, 90}, {480, 62}, {520, 92}, {560, 64}};
    canvas_.DrawPolyline(zigzag, 4);
    canvas_.SetPenWidth(1);
    canvas_.DrawBevel({580, 56, 630, 96}, clWhite, clGray, 2);
  }

  void Hatches() {
    const TBrushStyle hatches[] = {TBrushStyle::bsHorizontal, TBrushStyle::bsVertical,
                                   TBrushStyle::bsFDiagonal,  TBrushStyle::bsBDiagonal,
                                   TBrushStyle::bsCross,      TBrushStyle::bsDiagCross};
    canvas_.ResetDrawingState();
    for (int i = 0; i < 6; ++i) {
      canvas_.SetBrushColor(clBlue);
      canvas_.SetBrushStyle(hatches[i]);
      // Top row transparent, bottom row opaque on a yellow background.
      canvas_.ChangeBackMode(platform::BackMode::Transparent);
      canvas_.DrawRect(10 + 40 * i, 60, 45 + 40 * i, 85);
      canvas_.ChangeBackMode(platform::BackMode::Opaque);
      canvas_.ChangeBackColor(clYellow);
      canvas_.DrawRect(10 + 40 * i, 90, 45 + 40 * i, 115);
    }
    canvas_.ChangeBackMode(platform::BackMode::Transparent);
  }

  void Gradients() {
    const TGradientDirection directions[] = {
        TGradientDirection::gdTopBottom,     TGradientDirection::gdBottomTop,
        TGradientDirection::gdLeftRight,     TGradientDirection::gdRightLeft,
        TGradientDirection::gdFromCenter,    TGradientDirection::gdFromTopLeft,
        TGradientDirection::gdFromBottomLeft};
    canvas_.ResetDrawingState();
    for (int i = 0; i < 7; ++i)
      canvas_.FillGradient({10 + 88 * i, 125, 90 + 88 * i, 185}, clWhite, clNavy, directions[i]);
  }

  void Pictures() {
    Image picture = Checker();
    canvas_.ResetDrawingState();
    canvas_.DrawPicture(10, 195, picture);
    canvas_.StretchPicture({40, 195, 130, 255}, picture);
    // Clipped to a rectangle, then to a projected box.
    canvas_.ClipToRect({140, 200, 190, 240});
    for (int32_t y = 190; y < 260; y += 16)
      for (int32_t x = 135; x < 200; x += 24) canvas_.DrawPicture(x, y, picture);
    canvas_.RemoveClip();
    Frame3D({210, 195, 300, 255}, 345, 345, 0, true, 20);
    canvas_.ClipBox({210, 195, 300, 255}, 0, 20);
    for (int32_t y = 170; y < 270; y += 16)
      for (int32_t x = 200; x < 330; x += 24) canvas_.DrawPicture(x, y, picture);
    canvas_.RemoveClip();
    Flat({0, 0, kCanvasSequenceWidth, kCanvasSequenceHeight});
  }

  void Text() {
    if (!withText_) return;
    canvas_.ResetDrawingState();
    TChartFont font;
    font.SetName("Arial");
    font.SetSize(10);
    font.SetColor(clMaroon);
    canvas_.SetFont(font);
    canvas_.OutputText(340, 200, "Chart 1,234.5");
    const int32_t angles[] = {0, 45, 90, 180, 270};
    for (int i = 0; i < 5; ++i) canvas_.DrawRotatedText(380 + 50 * i, 260, angles[i], "Axis");
    font.SetName("Times New Roman");
    font.SetSize(12);
    canvas_.SetFont(font);
    canvas_.SetTextAlignment(platform::text_align::kCenter);
    canvas_.OutputText(480, 220, "Построение графиков");
    canvas_.SetTextAlignment(platform::text_align::kLeft);
  }

  void Solids() {
    struct View {
      int32_t elevation, rotation, perspective;
      bool orthogonal;
    } views[] = {{345, 345, 0, true},
                 {357, 320, 34, false},
                 {340, 20, 15, false},
                 {320, 300, 0, false},
                 {10, 40, 50, false}};
    for (int i = 0; i < 5; ++i) {
      Rect cell{10 + 125 * i, 290, 120 + 125 * i, 470};
      Frame3D(cell, views[i].elevation, views[i].rotation, views[i].perspective,
              views[i].orthogonal, 30);
      canvas_.ResetDrawingState();
      canvas_.SetPenColor(clBlack);
      canvas_.SetBrushColor(clRed);
      canvas_.DrawBox(cell.left + 15, cell.left + 55, cell.top + 30, cell.top + 80, 0, 30, true);
      canvas_.SetBrushColor(clGreen);
      canvas_.DrawPyramid(true, cell.left + 60, cell.top + 30, cell.left + 100, cell.top + 80, 0,
                          30, true);
      canvas_.SetBrushColor(clBlue);
      canvas_.DrawPyramid(false, cell.left + 15, cell.top + 100, cell.left + 55, cell.top + 150, 0,
                          30, true);
      canvas_.SetBrushColor(clYellow);
      canvas_.DrawEllipseAtZ(cell.left + 60, cell.top + 100, cell.left + 100, cell.top + 150, 15);
      canvas_.SetPenColor(clPurple);
      canvas_.DrawArrow(true, {cell.left + 10, cell.top + 170}, {cell.left + 100, cell.top + 160},
                        10, 8, 0);
      if (withText_) canvas_.DrawTextAtZ(cell.left + 20, cell.top + 5, "3D", 15);
    }
    Flat({0, 0, kCanvasSequenceWidth, kCanvasSequenceHeight});
  }

  platform::Surface& surface_;
  bool withText_;
  TZidCanvas3D canvas_;
  TView3DOptions options_;
};

}  // namespace

void DrawCanvasSequence(platform::Surface& surface, bool withText) {
  Sequence(surface, withText).Run();
}

}  // namespace zq::test
