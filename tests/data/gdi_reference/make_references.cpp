// Draws a drawing script with GDI into a 32-bit DIB section and writes it as a binary PPM: the
// reference pictures of this folder were made with it under Wine (wine64, Liberation fonts
// installed), then converted to PNG. Not part of any build:
//   x86_64-w64-mingw32-g++ -O1 -std=c++17 make_references.cpp -o make_references.exe -static
//   -lgdi32 wine64 make_references.exe lines.txt lines.ppm
// The script format is described in tests/support/gdi_script.h.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Command {
  std::string op;
  std::vector<long> n;
  std::string text;
};

std::vector<Command> Parse(const char* path) {
  std::ifstream in(path);
  std::string line;
  std::vector<Command> out;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream s(line);
    Command c;
    s >> c.op;
    if (c.op == "text" || c.op == "font") {
      long v;
      const int k = c.op == "text" ? 2 : 6;
      for (int i = 0; i < k && s >> v; ++i) c.n.push_back(v);
      std::getline(s, c.text);
      if (!c.text.empty() && c.text[0] == ' ') c.text.erase(0, 1);
    } else {
      std::string tok;
      while (s >> tok) c.n.push_back(std::stol(tok, nullptr, 0));
    }
    out.push_back(c);
  }
  return out;
}

void DrawPicture(HDC dc, int x, int y, int w, int h, bool stretch) {
  const int iw = 7, ih = 5;
  unsigned px[iw * ih];
  for (int yy = 0; yy < ih; ++yy)
    for (int xx = 0; xx < iw; ++xx)
      px[yy * iw + xx] =
          0xFF000000u | ((xx * 36) << 16) | ((yy * 60) << 8) | ((xx + yy) % 2 ? 0xFF : 0);
  BITMAPINFO ib = {};
  ib.bmiHeader.biSize = sizeof(ib.bmiHeader);
  ib.bmiHeader.biWidth = iw;
  ib.bmiHeader.biHeight = -ih;  // top-down
  ib.bmiHeader.biPlanes = 1;
  ib.bmiHeader.biBitCount = 32;
  SetStretchBltMode(dc, COLORONCOLOR);
  if (!stretch) w = iw, h = ih;
  StretchDIBits(dc, x, y, w, h, 0, 0, iw, ih, px, &ib, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::vector<Command> cmds = Parse(argv[1]);
  int W = 400, H = 300;
  for (const Command& c : cmds)
    if (c.op == "size") W = c.n[0], H = c.n[1];
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = W;
  bi.bmiHeader.biHeight = -H;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(dc, bmp);
  RECT all = {0, 0, W, H};
  FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  // "mono W H" draws on a monochrome bitmap until "blit X Y" copies it to the picture.
  HDC main = dc, monoDc = nullptr;
  int monoW = 0, monoH = 0;
  const int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL,
                         HS_BDIAGONAL,  HS_CROSS,    HS_DIAGCROSS};
  for (const Command& c : cmds) {
    const std::vector<long>& n = c.n;
    auto pts = [&] {
      std::vector<POINT> p;
      for (size_t i = 1; i + 1 < n.size(); i += 2) p.push_back({(LONG)n[i], (LONG)n[i + 1]});
      return p;
    };
    if (c.op == "pen") {
      const int styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                            PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
      HPEN np;
      if (n[2] == 7) {
        LOGBRUSH lb = {BS_SOLID, (COLORREF)n[0], 0};
        np = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
      } else {
        np = CreatePen(styles[n[2]], n[1], (COLORREF)n[0]);
      }
      SelectObject(dc, np);
      if (pen) DeleteObject(pen);
      pen = np;
      SetROP2(dc, n.size() > 3 && n[3] ? R2_NOTXORPEN : R2_COPYPEN);
    } else if (c.op == "brush") {
      HBRUSH nb = n[1] == 0   ? CreateSolidBrush(n[0])
                  : n[1] == 1 ? (HBRUSH)GetStockObject(NULL_BRUSH)
                              : CreateHatchBrush(hatches[n[1] - 2], n[0]);
      SelectObject(dc, nb);
      if (brush) DeleteObject(brush);
      brush = nb;
    } else if (c.op == "font") {
      HFONT nf = CreateFontA(n[0], 0, n[5], n[5], n[1], n[2], n[3], n[4], DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             DEFAULT_PITCH, c.text.c_str());
      SelectObject(dc, nf);
      if (font) DeleteObject(font);
      font = nf;
    } else if (c.op == "textcolor") {
      SetTextColor(dc, n[0]);
    } else if (c.op == "backcolor") {
      SetBkColor(dc, n[0]);
    } else if (c.op == "backmode") {
      SetBkMode(dc, n[0]);
    } else if (c.op == "align") {
      SetTextAlign(dc, n[0]);
    } else if (c.op == "moveto") {
      MoveToEx(dc, n[0], n[1], nullptr);
    } else if (c.op == "lineto") {
      LineTo(dc, n[0], n[1]);
    } else if (c.op == "polyline") {
      auto p = pts();
      Polyline(dc, p.data(), p.size());
    } else if (c.op == "polygon") {
      auto p = pts();
      Polygon(dc, p.data(), p.size());
    } else if (c.op == "rect") {
      Rectangle(dc, n[0], n[1], n[2], n[3]);
    } else if (c.op == "roundrect") {
      RoundRect(dc, n[0], n[1], n[2], n[3], n[4], n[5]);
    } else if (c.op == "ellipse") {
      Ellipse(dc, n[0], n[1], n[2], n[3]);
    } else if (c.op == "arc") {
      Arc(dc, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
    } else if (c.op == "pie") {
      Pie(dc, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
    } else if (c.op == "fillrect") {
      HBRUSH b = n[5] == 0 ? CreateSolidBrush(n[4]) : CreateHatchBrush(hatches[n[5] - 2], n[4]);
      RECT r = {n[0], n[1], n[2], n[3]};
      FillRect(dc, &r, b);
      DeleteObject(b);
    } else if (c.op == "patfill") {
      PatBlt(dc, n[0], n[1], n[2] - n[0], n[3] - n[1], PATCOPY);
    } else if (c.op == "pixel") {
      SetPixel(dc, n[0], n[1], n[2]);
    } else if (c.op == "text") {
      TextOutA(dc, n[0], n[1], c.text.c_str(), c.text.size());
    } else if (c.op == "cliprect") {
      IntersectClipRect(dc, n[0], n[1], n[2], n[3]);
    } else if (c.op == "clippoly") {
      auto p = pts();
      HRGN r = CreatePolygonRgn(p.data(), p.size(), ALTERNATE);
      ExtSelectClipRgn(dc, r, RGN_AND);
      DeleteObject(r);
    } else if (c.op == "noclip") {
      SelectClipRgn(dc, nullptr);
    } else if (c.op == "mono") {
      monoW = n[0], monoH = n[1];
      monoDc = CreateCompatibleDC(main);
      SelectObject(monoDc, CreateBitmap(monoW, monoH, 1, 1, nullptr));
      dc = monoDc;
    } else if (c.op == "grab") {
      BitBlt(monoDc, 0, 0, monoW, monoH, main, n[0], n[1], SRCCOPY);
    } else if (c.op == "blit") {
      BitBlt(main, n[0], n[1], monoW, monoH, monoDc, 0, 0, SRCCOPY);
      dc = main;
    } else if (c.op == "draw") {
      DrawPicture(dc, n[0], n[1], 0, 0, false);
    } else if (c.op == "stretch") {
      DrawPicture(dc, n[0], n[1], n[2] - n[0], n[3] - n[1], true);
    }
  }
  GdiFlush();
  FILE* f = fopen(argv[2], "wb");
  fprintf(f, "P6\n%d %d\n255\n", W, H);
  const unsigned* px = (const unsigned*)bits;
  for (int i = 0; i < W * H; ++i) {
    fputc((px[i] >> 16) & 255, f);
    fputc((px[i] >> 8) & 255, f);
    fputc(px[i] & 255, f);
  }
  fclose(f);
  return 0;
}
