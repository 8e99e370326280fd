// A fixed drawing sequence that exercises every Surface operation. The same calls run on each
// backend, so their pictures can be compared pixel by pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace zq::test {

constexpr int32_t kSequenceWidth = 480;
constexpr int32_t kSequenceHeight = 360;

inline void DrawSequence(platform::Surface& s) {
  using namespace platform;
  const Rgb kBlack = MakeRgb(0, 0, 0), kWhite = MakeRgb(255, 255, 255);
  const Rgb kRed = MakeRgb(220, 0, 0), kGreen = MakeRgb(0, 150, 0), kBlue = MakeRgb(0, 0, 200);
  const Rgb kYellow = MakeRgb(255, 255, 0), kGrey = MakeRgb(192, 192, 192);
  const Rgb kNavy = MakeRgb(0, 0, 128), kTeal = MakeRgb(0, 128, 128);

  s.FillRect(Rect{0, 0, kSequenceWidth, kSequenceHeight}, Brush{kWhite, BrushStyle::Solid, {}});
  s.SetBackMode(BackMode::Transparent);

  // Every pen style at width 1: transparent gaps, then opaque gaps on yellow background.
  const PenStyle styles[] = {PenStyle::Solid,       PenStyle::Dash,       PenStyle::Dot,
                             PenStyle::DashDot,     PenStyle::DashDotDot, PenStyle::Clear,
                             PenStyle::InsideFrame, PenStyle::Alternate};
  for (int i = 0; i < 8; ++i) {
    s.SetPen(Pen{kBlack, 1, styles[i], PenMode::Copy});
    s.Line(10, 10 + 6 * i, 150, 10 + 6 * i);
  }
  s.SetBackColor(kYellow);
  s.SetBackMode(BackMode::Opaque);
  for (int i = 1; i < 5; ++i) {
    s.SetPen(Pen{kBlue, 1, styles[i], PenMode::Copy});
    s.Line(160, 10 + 6 * i, 300, 10 + 6 * i);
  }
  s.SetBackMode(BackMode::Transparent);
  s.SetBackColor(kWhite);

  // A dashed polyline: the pattern runs on round the corners. Then a steep and a shallow
  // diagonal.
  s.SetPen(Pen{kGreen, 1, PenStyle::DashDot, PenMode::Copy});
  s.Polyline(std::vector<Point>{{310, 10}, {400, 10}, {400, 50}, {330, 50}, {330, 30}});
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.Line(410, 8, 425, 60);
  s.Line(430, 8, 475, 22);

  // Wide pens: round ends and joins, a wide dash, and a wide polyline.
  s.SetPen(Pen{kRed, 3, PenStyle::Solid, PenMode::Copy});
  s.Line(20, 70, 140, 70);
  s.SetPen(Pen{kNavy, 5, PenStyle::Solid, PenMode::Copy});
  s.Line(20, 82, 140, 96);
  s.SetPen(Pen{kTeal, 3, PenStyle::Dash, PenMode::Copy});
  s.Line(20, 106, 140, 106);
  s.SetPen(Pen{kGreen, 4, PenStyle::Solid, PenMode::Copy});
  s.Polyline(std::vector<Point>{{160, 70}, {200, 100}, {240, 70}, {280, 100}});

  // Rectangles, a round rectangle, an inside-frame rectangle, and a not-xor line across them.
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.SetBrush(Brush{kGrey, BrushStyle::Solid, {}});
  s.Rectangle(300, 66, 340, 106);
  s.SetBrush(Brush{kWhite, BrushStyle::Clear, {}});
  s.Rectangle(346, 66, 386, 106);
  s.SetBrush(Brush{kYellow, BrushStyle::Solid, {}});
  s.RoundRect(392, 66, 432, 106, 12, 12);
  s.SetPen(Pen{kBlue, 4, PenStyle::InsideFrame, PenMode::Copy});
  s.Rectangle(438, 66, 472, 106);
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::NotXor});
  s.Line(296, 86, 476, 86);

  // Ellipse, arcs, pies.
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.SetBrush(Brush{kGreen, BrushStyle::Solid, {}});
  s.Ellipse(10, 120, 70, 160);
  s.SetPen(Pen{kRed, 1, PenStyle::Solid, PenMode::Copy});
  s.Arc(80, 120, 130, 170, 130, 145, 80, 145);
  s.SetPen(Pen{kBlue, 2, PenStyle::Solid, PenMode::Copy});
  s.Arc(80, 120, 130, 170, 105, 170, 130, 145);
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.SetBrush(Brush{kRed, BrushStyle::Solid, {}});
  s.Pie(140, 120, 200, 180, 200, 150, 170, 120);
  s.SetBrush(Brush{kYellow, BrushStyle::Solid, {}});
  s.Pie(140, 120, 200, 180, 170, 120, 200, 150);

  // A self-crossing star: alternate filling leaves its middle empty.
  s.SetBrush(Brush{kBlue, BrushStyle::Solid, {}});
  s.Polygon(std::vector<Point>{{240, 120}, {258, 176}, {210, 141}, {270, 141}, {222, 176}});

  // Hatches, opaque on yellow and transparent over a grey band.
  const BrushStyle hatches[] = {BrushStyle::Horizontal, BrushStyle::Vertical,
                                BrushStyle::FDiagonal,  BrushStyle::BDiagonal,
                                BrushStyle::Cross,      BrushStyle::DiagCross};
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.SetBackColor(kYellow);
  s.SetBackMode(BackMode::Opaque);
  for (int i = 0; i < 6; ++i) {
    s.SetBrush(Brush{kNavy, hatches[i], {}});
    s.Rectangle(280 + 32 * i, 116, 308 + 32 * i, 144);
  }
  s.FillRect(Rect{280, 148, 472, 180}, Brush{kGrey, BrushStyle::Solid, {}});
  s.SetBackMode(BackMode::Transparent);
  for (int i = 0; i < 6; ++i) {
    s.SetBrush(Brush{kRed, hatches[i], {}});
    s.Ellipse(282 + 32 * i, 150, 306 + 32 * i, 178);
  }

  // Pattern brushes: opaque (clear bits take the background colour) and transparent.
  const BrushPattern checker{{0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33}};
  const BrushPattern arrow{{0x18, 0x3C, 0x7E, 0xFF, 0x18, 0x18, 0x18, 0x00}};
  s.SetBackColor(kGrey);
  s.SetBackMode(BackMode::Opaque);
  s.SetBrush(Brush{kRed, BrushStyle::Pattern, checker});
  s.Rectangle(10, 190, 60, 230);
  s.FillRect(Rect{66, 190, 106, 230}, Brush{kBlue, BrushStyle::Pattern, arrow});
  s.FillRect(Rect{112, 190, 172, 230}, Brush{kYellow, BrushStyle::Solid, {}});
  s.SetBackMode(BackMode::Transparent);
  s.SetBrush(Brush{kGreen, BrushStyle::Pattern, arrow});
  s.Ellipse(116, 192, 168, 228);
  s.SetBrush(Brush{kNavy, BrushStyle::Pattern, checker});
  s.PatternFill(Rect{178, 190, 218, 230});
  s.SetBackColor(kWhite);

  // Text: a cross marks each reference point, the alignment decides where the text goes.
  s.SetFont(LogFont{});
  s.SetTextColor(kBlack);
  struct Placed {
    int32_t x, y;
    uint32_t align;
    const char* text;
  };
  const Placed placed[] = {
      {240, 196, text_align::kLeft | text_align::kTop, "Left top"},
      {380, 196, text_align::kCenter | text_align::kBaseline, "Centre baseline"},
      {470, 226, text_align::kRight | text_align::kBottom, "Right bottom"},
      {240, 226, text_align::kLeft | text_align::kBaseline, "Ag\xC3\xBCq \xD0\x96"},
  };
  for (const Placed& p : placed) {
    s.SetPen(Pen{kRed, 1, PenStyle::Solid, PenMode::Copy});
    s.Line(p.x - 3, p.y, p.x + 4, p.y);
    s.Line(p.x, p.y - 3, p.x, p.y + 4);
    s.SetTextAlign(p.align);
    s.TextOut(p.x, p.y, p.text);
  }
  s.SetTextAlign(text_align::kLeft | text_align::kTop);
  LogFont bold;
  bold.face = "Times New Roman";
  bold.height = -16;
  bold.weight = 700;
  s.SetFont(bold);
  s.SetTextColor(kBlue);
  s.SetBackMode(BackMode::Opaque);
  s.SetBackColor(kYellow);
  s.TextOut(10, 240, "Opaque Times");
  s.SetBackMode(BackMode::Transparent);
  LogFont mono;
  mono.face = "Courier New";
  mono.height = 13;
  mono.italic = true;
  mono.underline = true;
  s.SetFont(mono);
  s.SetTextColor(kGreen);
  s.TextOut(140, 242, "Courier cell 13");
  LogFont turned;
  turned.escapement = 900;
  turned.orientation = 900;
  s.SetFont(turned);
  s.SetTextColor(kBlack);
  s.TextOut(20, 350, "Up 90");
  turned.escapement = 450;
  turned.orientation = 450;
  turned.strikeOut = true;
  s.SetFont(turned);
  s.TextOut(40, 345, "Slant 45");
  const Size extent = s.TextExtent("Slant 45");
  s.SetFont(LogFont{});

  // Clipping: a rectangle, then a triangle intersected with it, then none.
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.ClipRect(Rect{120, 270, 220, 340});
  s.SetBrush(Brush{kGrey, BrushStyle::Solid, {}});
  s.Ellipse(100, 260, 240, 350);
  const Point triangle[] = {{130, 340}, {170, 260}, {250, 340}};
  s.ClipPolygon(triangle, 3);
  s.SetBrush(Brush{kRed, BrushStyle::DiagCross, {}});
  s.Rectangle(100, 260, 240, 350);
  s.RemoveClip();
  s.SetPen(Pen{kBlue, 1, PenStyle::Dot, PenMode::Copy});
  s.Line(110, 345, 250, 345);

  // Pixels, pictures, and copies through compatible bitmaps.
  for (int i = 0; i < 40; ++i) s.SetPixel(260 + i, 262 + (i % 4), MakeRgb(uint8_t(i * 6), 0, 255));
  Image gradient;
  gradient.width = 16;
  gradient.height = 12;
  for (int y = 0; y < gradient.height; ++y)
    for (int x = 0; x < gradient.width; ++x)
      gradient.pixels.push_back(0xFF000000u | uint32_t(x * 16) << 16 | uint32_t(y * 20) << 8 |
                                uint32_t((x + y) * 8));
  s.DrawImage(gradient, 260, 272);
  s.StretchImage(gradient, Rect{280, 272, 328, 308});

  std::unique_ptr<Surface> color = s.CreateCompatible(40, 30, false);
  color->SetBrush(Brush{kTeal, BrushStyle::Solid, {}});
  color->SetPen(Pen{kYellow, 1, PenStyle::Solid, PenMode::Copy});
  color->Ellipse(2, 2, 38, 28);
  s.CopyFrom(340, 272, 40, 30, *color, 0, 0);
  s.CopyFrom(384, 272, 20, 15, *color, 10, 8);

  // A monochrome mask: drawn black on white, copied with the destination's text colour for
  // black and background colour for white.
  std::unique_ptr<Surface> mask = s.CreateCompatible(40, 30, true);
  mask->SetBrush(Brush{kBlack, BrushStyle::Solid, {}});
  mask->SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  mask->Rectangle(5, 5, 35, 25);
  s.SetTextColor(kRed);
  s.SetBackColor(kYellow);
  s.CopyFrom(410, 272, 40, 30, *mask, 0, 0);

  // Current position after a polyline is unchanged; after LineTo it is the end point.
  s.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::Copy});
  s.MoveTo(260, 320);
  s.LineTo(300, 330);
  const Point at = s.CurrentPosition();
  s.LineTo(at.x + 20, at.y - 10);
  // The text extent decides where this box goes, so metrics differences show as well.
  s.SetBrush(Brush{kWhite, BrushStyle::Clear, {}});
  s.Rectangle(340, 310, 340 + extent.cx, 310 + extent.cy);
}

}  // namespace zq::test
