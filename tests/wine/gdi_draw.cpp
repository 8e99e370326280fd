// Draws the shared sequence with GDI and saves it as a 24-bit BMP; then checks the Windows
// pixel rules that the other backends copy, on small surfaces of their own.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/gdi_surface.h"
#include "wine/draw_sequence.h"

using namespace zq::platform;
using zq::platform::win32::GdiSurface;

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
}

std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%08X", unsigned(v));
  return b;
}

void CheckPixel(const Image& image, int x, int y, uint32_t expected, const std::string& what) {
  uint32_t got = image.At(x, y);
  Check(got == expected, what + " at (" + std::to_string(x) + "," + std::to_string(y) +
                             "): expected " + Hex(expected) + ", got " + Hex(got));
}

constexpr uint32_t kWhitePx = 0xFFFFFFFF, kBlackPx = 0xFF000000, kRedPx = 0xFFFF0000;
constexpr uint32_t kBluePx = 0xFF0000FF, kYellowPx = 0xFFFFFF00;

bool WriteBmp(const Image& image, const std::string& path) {
  const uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * uint32_t(image.height);
  std::vector<uint8_t> file(54 + dataSize, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    file[at] = uint8_t(v);
    file[at + 1] = uint8_t(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(image.width));
  put32(22, uint32_t(image.height));  // bottom-up
  put16(26, 1);
  put16(28, 24);
  put32(34, dataSize);
  put32(38, 3780);  // 96 dpi
  put32(42, 3780);
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* row = &file[54 + size_t(image.height - 1 - y) * stride];
    for (int32_t x = 0; x < image.width; ++x) {
      uint32_t p = image.At(x, y);
      row[x * 3] = uint8_t(p);
      row[x * 3 + 1] = uint8_t(p >> 8);
      row[x * 3 + 2] = uint8_t(p >> 16);
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  return bool(out);
}

// Length of the run of pixels equal to image(x, y) going right from x.
int RunFrom(const Image& image, int x, int y) {
  int n = 0;
  uint32_t v = image.At(x, y);
  while (x + n < image.width && image.At(x + n, y) == v) ++n;
  return n;
}

std::vector<int> Runs(const Image& image, int y, int x0, int count) {
  std::vector<int> runs;
  for (int x = x0; int(runs.size()) < count && x < image.width;) {
    int n = RunFrom(image, x, y);
    runs.push_back(n);
    x += n;
  }
  return runs;
}

std::string Join(const std::vector<int>& v) {
  std::string s;
  for (int n : v) {
    if (!s.empty()) s += '/';
    s += std::to_string(n);
  }
  return s;
}

void CheckLinesAndShapes() {
  GdiSurface s(200, 40);
  Check(s.Width() == 200 && s.Height() == 40 && s.Handle() != 0, "size and handle");
  Image blank = s.Snapshot();
  CheckPixel(blank, 199, 39, kWhitePx, "a new surface is white");

  s.Line(2, 5, 10, 5);
  Check(s.CurrentPosition() == Point{10, 5}, "LineTo moves the current position");
  s.SetPen(Pen{0x0000FF, 1, PenStyle::Solid, PenMode::Copy});  // red
  s.SetBrush(Brush{0xFF0000, BrushStyle::Solid, {}});          // blue
  s.Rectangle(20, 2, 28, 8);
  s.SetPen(Pen{0, 3, PenStyle::Solid, PenMode::Copy});
  s.Line(140, 20, 150, 20);
  Image img = s.Snapshot();
  CheckPixel(img, 2, 5, kBlackPx, "a line covers its start");
  CheckPixel(img, 9, 5, kBlackPx, "a line covers the pixel before its end");
  CheckPixel(img, 10, 5, kWhitePx, "a line leaves out its end");
  CheckPixel(img, 20, 2, kRedPx, "rectangle outline at left/top");
  CheckPixel(img, 27, 7, kRedPx, "rectangle outline at right-1/bottom-1");
  CheckPixel(img, 28, 7, kWhitePx, "rectangle leaves out its right column");
  CheckPixel(img, 27, 8, kWhitePx, "rectangle leaves out its bottom row");
  CheckPixel(img, 24, 5, kBluePx, "rectangle fill");
  Check(RunFrom(img, 139, 20) == 13 && img.At(138, 20) == kWhitePx,
        "a width-3 line from 140 to 150 covers 139..151: run " +
            std::to_string(RunFrom(img, 139, 20)));
  Check(img.At(139, 19) == kWhitePx && img.At(140, 19) == kBlackPx, "round end of a wide line");
  for (uint32_t p : img.pixels)
    if ((p >> 24) != 0xFF) {
      Check(false, "snapshot alpha is opaque");
      break;
    }
}

void CheckDashes() {
  struct Case {
    PenStyle style;
    const char* name;
    std::vector<int> runs;
  };
  const Case cases[] = {
      {PenStyle::Dash, "dash", {18, 6, 18, 6}},
      {PenStyle::Dot, "dot", {3, 3, 3, 3}},
      {PenStyle::DashDot, "dash-dot", {9, 6, 3, 6, 9}},
      {PenStyle::DashDotDot, "dash-dot-dot", {9, 3, 3, 3, 3, 3, 9}},
      {PenStyle::Alternate, "alternate", {1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    GdiSurface s(120, 4);
    s.SetBackMode(BackMode::Transparent);
    s.SetPen(Pen{0, 1, c.style, PenMode::Copy});
    s.Line(0, 1, 100, 1);
    std::vector<int> runs = Runs(s.Snapshot(), 1, 0, int(c.runs.size()));
    Check(runs == c.runs, std::string("cosmetic ") + c.name + " pattern: got " + Join(runs) +
                              ", expected " + Join(c.runs));
  }
  // The pattern runs on round a corner: 10 pixels on the first segment, 8 on the second.
  GdiSurface s(40, 40);
  s.SetPen(Pen{0, 1, PenStyle::Dash, PenMode::Copy});
  s.SetBackMode(BackMode::Transparent);
  s.Polyline(std::vector<Point>{{0, 1}, {10, 1}, {10, 30}});
  Image img = s.Snapshot();
  int down = 0;
  while (img.At(10, 1 + down) == kBlackPx) ++down;
  Check(down == 8, "dash pattern continues round a corner: " + std::to_string(down));
  // Opaque mode paints the gaps with the background colour.
  GdiSurface o(40, 4);
  o.SetBackColor(0x00FFFF);  // yellow
  o.SetBackMode(BackMode::Opaque);
  o.SetPen(Pen{0, 1, PenStyle::Dash, PenMode::Copy});
  o.Line(0, 1, 30, 1);
  CheckPixel(o.Snapshot(), 20, 1, kYellowPx, "opaque dash gap");
  // As with CreatePen on Windows, a dash style wider than 1 pixel draws solid.
  GdiSurface w(40, 8);
  w.SetPen(Pen{0, 3, PenStyle::Dash, PenMode::Copy});
  w.Line(2, 4, 35, 4);
  Check(RunFrom(w.Snapshot(), 1, 4) == 36, "a wide dashed pen draws solid");
}

void CheckBrushes() {
  GdiSurface s(64, 64);
  s.FillRect(Rect{0, 0, 64, 64}, Brush{0xFF0000, BrushStyle::Solid, {}});  // blue
  const BrushPattern rows{{0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}};
  s.SetBackMode(BackMode::Transparent);
  s.FillRect(Rect{0, 0, 16, 16}, Brush{0x0000FF, BrushStyle::Pattern, rows});
  s.SetBrush(Brush{0x0000FF, BrushStyle::Pattern, rows});
  s.SetPen(Pen{0, 1, PenStyle::Clear, PenMode::Copy});
  s.Rectangle(16, 0, 33, 17);
  s.SetBackMode(BackMode::Opaque);
  s.SetBackColor(0x00FFFF);
  s.FillRect(Rect{32, 0, 48, 16}, Brush{0x0000FF, BrushStyle::Pattern, rows});
  s.SetBrush(Brush{0, BrushStyle::Horizontal, {}});
  s.PatternFill(Rect{0, 20, 16, 36});
  s.SetBackMode(BackMode::Transparent);
  s.PatternFill(Rect{16, 20, 32, 36});
  s.SetBrush(Brush{0, BrushStyle::Clear, {}});
  s.PatternFill(Rect{32, 20, 48, 36});
  Image img = s.Snapshot();
  CheckPixel(img, 3, 0, kRedPx, "transparent pattern FillRect: set bits");
  CheckPixel(img, 3, 1, kBluePx, "transparent pattern FillRect: clear bits keep what is under");
  CheckPixel(img, 20, 2, kRedPx, "transparent pattern Rectangle: set bits");
  CheckPixel(img, 20, 3, kBluePx, "transparent pattern Rectangle: clear bits");
  CheckPixel(img, 36, 0, kRedPx, "opaque pattern: set bits");
  CheckPixel(img, 36, 1, kYellowPx, "opaque pattern: clear bits take the background colour");
  int lines = 0, gaps = 0;
  for (int y = 20; y < 36; ++y) (img.At(5, y) == kBlackPx ? lines : gaps)++;
  Check(lines == 2 && gaps == 14, "horizontal hatch every 8 rows: " + std::to_string(lines));
  CheckPixel(img, 5, 21, kYellowPx, "opaque hatch gap");
  CheckPixel(img, 20, 21, kBluePx, "transparent hatch gap");
  CheckPixel(img, 40, 25, kBluePx, "a clear brush paints nothing");
}

void CheckTextAndFonts() {
  GdiSurface s(200, 60);
  FontMetrics m = s.GetFontMetrics();
  std::printf("Arial -11: ascent %d descent %d height %d\n", int(m.ascent), int(m.descent),
              int(m.height));
  Check(m.height == m.ascent + m.descent && m.ascent > 0, "font metrics are consistent");
  wchar_t face[64] = {};
  GetTextFaceW(s.Dc(), 64, face);
  std::printf("Arial resolves to %ls\n", face);
  Size e = s.TextExtent("Hello");
  Check(e.cx > 10 && e.cy == m.height,
        "text extent of Hello: " + std::to_string(e.cx) + " x " + std::to_string(e.cy));
  Check(s.TextExtent("").cx == 0, "empty text has no width");
  // The same text, aligned right at x, ends at x.
  s.SetTextAlign(text_align::kRight | text_align::kTop);
  Check(s.GetTextAlign() == (text_align::kRight | text_align::kTop), "text alignment kept");
  s.TextOut(100, 5, "Hello");
  Image img = s.Snapshot();
  int right = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (img.At(x, y) != kWhitePx && x > right) right = x;
  Check(right >= 95 && right < 100, "right-aligned text ends before x: " + std::to_string(right));
  // Aliased: only the text colour and the background appear.
  bool twoColours = true;
  for (uint32_t p : img.pixels) twoColours &= (p == kWhitePx || p == kBlackPx);
  Check(twoColours, "text is drawn without antialiasing");
  LogFont f;
  f.face = "\xD0\x9D\xD0\xB5\xD1\x82 such face";  // an unknown face still gives a font
  s.SetFont(f);
  Check(s.GetFont() == f && s.GetFontMetrics().height > 0, "unknown face falls back");
}

void CheckClipAndCopies() {
  GdiSurface s(60, 60);
  s.ClipRect(Rect{10, 10, 30, 30});
  s.ClipRect(Rect{20, 0, 60, 60});
  s.FillRect(Rect{0, 0, 60, 60}, Brush{0, BrushStyle::Solid, {}});
  Image img = s.Snapshot();
  CheckPixel(img, 15, 15, kWhitePx, "clip rectangles intersect (left part cut)");
  CheckPixel(img, 25, 15, kBlackPx, "inside both clip rectangles");
  CheckPixel(img, 25, 35, kWhitePx, "below the clip");
  s.RemoveClip();
  const Point tri[] = {{0, 40}, {20, 40}, {0, 60}};
  s.ClipPolygon(tri, 3);
  s.FillRect(Rect{0, 0, 60, 60}, Brush{0x0000FF, BrushStyle::Solid, {}});
  img = s.Snapshot();
  CheckPixel(img, 2, 42, kRedPx, "inside the clip polygon");
  CheckPixel(img, 25, 15, kBlackPx, "outside the clip polygon");
  s.RemoveClip();

  Image tiny;
  tiny.width = 2;
  tiny.height = 2;
  tiny.pixels = {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC};
  s.DrawImage(tiny, 50, 0);
  s.StretchImage(tiny, Rect{50, 10, 54, 14});
  img = s.Snapshot();
  CheckPixel(img, 51, 1, 0xFFAABBCC, "DrawImage is top-down");
  CheckPixel(img, 53, 11, 0xFF445566, "StretchImage doubles");
  CheckPixel(img, 50, 13, 0xFF778899, "StretchImage doubles (bottom-left)");

  std::unique_ptr<Surface> mono = s.CreateCompatible(10, 10, true);
  {
    GdiSurface wrappedMono(reinterpret_cast<HDC>(mono->Handle()), 10, 10);
    Check(wrappedMono.Monochrome(), "a wrapped monochrome memory DC is monochrome");
  }
  CheckPixel(mono->Snapshot(), 9, 9, kWhitePx, "a new monochrome bitmap is white");
  mono->FillRect(Rect{0, 0, 5, 10}, Brush{0x0000FF, BrushStyle::Solid, {}});
  s.SetTextColor(0x0000FF);  // red for black bits
  s.SetBackColor(0x00FFFF);  // yellow for white bits
  s.CopyFrom(40, 40, 10, 10, *mono, 0, 0);
  std::unique_ptr<Surface> color = s.CreateCompatible(4, 4, false);
  color->SetPixel(1, 2, 0xFF0000);
  s.CopyFrom(30, 50, 4, 4, *color, 0, 0);
  img = s.Snapshot();
  CheckPixel(img, 41, 45, kRedPx, "mono -> colour: black bits take the text colour");
  CheckPixel(img, 48, 45, kYellowPx, "mono -> colour: white bits take the background colour");
  CheckPixel(img, 31, 52, kBluePx, "colour copy");
  CheckPixel(img, 30, 50, kWhitePx, "colour copy keeps white");
  // Colour -> mono: the source background colour becomes white, the rest black.
  std::unique_ptr<Surface> mask = s.CreateCompatible(60, 60, true);
  s.SetBackColor(0xFFFFFF);
  mask->CopyFrom(0, 0, 60, 60, s, 0, 0);
  Image m = mask->Snapshot();
  CheckPixel(m, 5, 5, kWhitePx, "colour -> mono: background colour gives white");
  CheckPixel(m, 25, 15, kBlackPx, "colour -> mono: other colours give black");
  // White from a picture is white too (GDI must not keep the picture's alpha byte).
  Image white;
  white.width = 2;
  white.height = 1;
  white.pixels = {0xFFFFFFFF, 0xFF000000};
  s.DrawImage(white, 0, 0);
  mask->CopyFrom(0, 0, 60, 60, s, 0, 0);
  m = mask->Snapshot();
  CheckPixel(m, 0, 0, kWhitePx, "colour -> mono: white from a picture gives white");
  CheckPixel(m, 1, 0, kBlackPx, "colour -> mono: black from a picture gives black");
}

void CheckWrappedDc() {
  GdiSurface owner(30, 30);
  HDC dc = owner.Dc();
  HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);
  int ropBefore = GetROP2(dc);
  {
    GdiSurface wrapped(dc, 30, 30);
    wrapped.SetPen(Pen{0x0000FF, 2, PenStyle::Solid, PenMode::NotXor});
    wrapped.ClipRect(Rect{0, 0, 5, 5});
    wrapped.Line(0, 10, 29, 10);
    Check(wrapped.Snapshot().width == 30, "snapshot of a wrapped DC");
    Check(!wrapped.Monochrome(), "a wrapped colour DC is not monochrome");
  }
  Check(GetCurrentObject(dc, OBJ_PEN) == penBefore && GetROP2(dc) == ropBefore,
        "a wrapped DC gets its state back");
  owner.FillRect(Rect{0, 0, 30, 30}, Brush{0, BrushStyle::Solid, {}});
  CheckPixel(owner.Snapshot(), 20, 20, kBlackPx, "a wrapped DC gets its clip back");
}

void CheckNoLeaks() {
  // Objects that a surface replaces or leaves behind must be deleted.
  HGDIOBJ pen, brush, font, bitmap;
  HDC dc;
  {
    GdiSurface s(20, 20);
    dc = s.Dc();
    s.SetPen(Pen{0x123456, 2, PenStyle::Dash, PenMode::Copy});
    s.SetBrush(Brush{0x654321, BrushStyle::Cross, {}});
    LogFont f;
    f.height = -20;
    s.SetFont(f);
    pen = GetCurrentObject(dc, OBJ_PEN);
    brush = GetCurrentObject(dc, OBJ_BRUSH);
    font = GetCurrentObject(dc, OBJ_FONT);
    bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    s.SetPen(Pen{});
    s.SetBrush(Brush{});
    s.SetFont(LogFont{});
    Check(GetObjectType(pen) == 0 && GetObjectType(brush) == 0 && GetObjectType(font) == 0,
          "replaced pen, brush and font are deleted");
    pen = GetCurrentObject(dc, OBJ_PEN);
    brush = GetCurrentObject(dc, OBJ_BRUSH);
    font = GetCurrentObject(dc, OBJ_FONT);
  }
  Check(GetObjectType(pen) == 0 && GetObjectType(brush) == 0 && GetObjectType(font) == 0 &&
            GetObjectType(bitmap) == 0 && GetObjectType(dc) == 0,
        "a destroyed surface deletes its DC, bitmap, pen, brush and font");

  // Where the system counts GDI objects (Windows does, Wine says 0), the count must not grow.
  DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 50; ++i) {
    std::unique_ptr<Surface> s = CreateMemorySurface(20, 20);
    zq::test::DrawSequence(*s);
  }
  DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  std::printf("GDI objects before %lu, after 50 sequences %lu\n", before, after);
  Check(after <= before + 2, "no GDI objects leak");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "gdi_draw.bmp";
  try {
    std::unique_ptr<Surface> surface =
        CreateMemorySurface(zq::test::kSequenceWidth, zq::test::kSequenceHeight);
    zq::test::DrawSequence(*surface);
    Image image = surface->Snapshot();
    if (!WriteBmp(image, out)) {
      std::printf("cannot write %s\n", out.c_str());
      return 1;
    }
    std::printf("wrote %s (%d x %d)\n", out.c_str(), int(image.width), int(image.height));
    CheckLinesAndShapes();
    CheckDashes();
    CheckBrushes();
    CheckTextAndFonts();
    CheckClipAndCopies();
    CheckWrappedDc();
    CheckNoLeaks();
  } catch (const std::exception& e) {
    std::printf("exception: %s\n", e.what());
    return 1;
  }
  std::printf("gdi_draw: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
