#include "support/gdi_script.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace zq::testing {

using namespace platform;

DrawingScript LoadDrawingScript(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read the drawing script " + path);
  DrawingScript script;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream s(line);
    ScriptCommand c;
    s >> c.op;
    // text and font end with free text after a fixed count of numbers.
    const int leading = c.op == "text" ? 2 : c.op == "font" ? 6 : -1;
    if (leading >= 0) {
      for (int i = 0; i < leading; ++i) {
        long v;
        if (!(s >> v)) throw std::runtime_error(path + ":" + std::to_string(lineNumber));
        c.numbers.push_back(v);
      }
      std::getline(s, c.text);
      if (!c.text.empty() && c.text[0] == ' ') c.text.erase(0, 1);
    } else {
      std::string token;
      while (s >> token) {
        try {
          c.numbers.push_back(std::stol(token, nullptr, 0));
        } catch (const std::exception&) {
          throw std::runtime_error(path + ":" + std::to_string(lineNumber) + ": bad number");
        }
      }
    }
    if (c.op == "size" && c.numbers.size() == 2)
      script.size = {int32_t(c.numbers[0]), int32_t(c.numbers[1])};
    else
      script.commands.push_back(std::move(c));
  }
  return script;
}

Image TestPicture() {
  Image img;
  img.width = 7;
  img.height = 5;
  for (uint32_t y = 0; y < 5; ++y)
    for (uint32_t x = 0; x < 7; ++x)
      img.pixels.push_back(0xFF000000u | (x * 36) << 16 | (y * 60) << 8 | ((x + y) % 2 ? 0xFF : 0));
  return img;
}

void PlayDrawingScript(const DrawingScript& script, Surface& main) {
  std::unique_ptr<Surface> mono;
  Surface* target = &main;
  for (const ScriptCommand& c : script.commands) {
    Surface& s = *target;
    const std::vector<long>& n = c.numbers;
    auto at = [&](size_t i) { return i < n.size() ? int32_t(n[i]) : 0; };
    auto points = [&] {
      std::vector<Point> p;
      for (size_t i = 1; i + 1 < n.size(); i += 2) p.push_back({int32_t(n[i]), int32_t(n[i + 1])});
      return p;
    };
    const std::string& op = c.op;
    if (op == "pen") {
      Pen p;
      p.color = Rgb(at(0));
      p.width = at(1);
      p.style = PenStyle(at(2));
      p.mode = at(3) ? PenMode::NotXor : PenMode::Copy;
      s.SetPen(p);
    } else if (op == "brush") {
      Brush b;
      b.color = Rgb(at(0));
      b.style = BrushStyle(at(1));
      s.SetBrush(b);
    } else if (op == "font") {
      LogFont f;
      f.height = at(0);
      f.weight = at(1);
      f.italic = at(2);
      f.underline = at(3);
      f.strikeOut = at(4);
      f.escapement = f.orientation = at(5);
      f.face = c.text;
      s.SetFont(f);
    } else if (op == "textcolor") {
      s.SetTextColor(Rgb(at(0)));
    } else if (op == "backcolor") {
      s.SetBackColor(Rgb(at(0)));
    } else if (op == "backmode") {
      s.SetBackMode(BackMode(at(0)));
    } else if (op == "align") {
      s.SetTextAlign(uint32_t(at(0)));
    } else if (op == "moveto") {
      s.MoveTo(at(0), at(1));
    } else if (op == "lineto") {
      s.LineTo(at(0), at(1));
    } else if (op == "polyline") {
      s.Polyline(points());
    } else if (op == "polygon") {
      s.Polygon(points());
    } else if (op == "rect") {
      s.Rectangle(at(0), at(1), at(2), at(3));
    } else if (op == "roundrect") {
      s.RoundRect(at(0), at(1), at(2), at(3), at(4), at(5));
    } else if (op == "ellipse") {
      s.Ellipse(at(0), at(1), at(2), at(3));
    } else if (op == "arc") {
      s.Arc(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    } else if (op == "pie") {
      s.Pie(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    } else if (op == "fillrect") {
      Brush b;
      b.color = Rgb(at(4));
      b.style = BrushStyle(at(5));
      s.FillRect({at(0), at(1), at(2), at(3)}, b);
    } else if (op == "patfill") {
      s.PatternFill({at(0), at(1), at(2), at(3)});
    } else if (op == "pixel") {
      s.SetPixel(at(0), at(1), Rgb(at(2)));
    } else if (op == "text") {
      s.TextOut(at(0), at(1), c.text);
    } else if (op == "cliprect") {
      s.ClipRect({at(0), at(1), at(2), at(3)});
    } else if (op == "clippoly") {
      const std::vector<Point> p = points();
      s.ClipPolygon(p.data(), int32_t(p.size()));
    } else if (op == "noclip") {
      s.RemoveClip();
    } else if (op == "mono") {
      mono = main.CreateCompatible(at(0), at(1), true);
      target = mono.get();
    } else if (op == "grab") {
      if (mono) mono->CopyFrom(0, 0, mono->Width(), mono->Height(), main, at(0), at(1));
    } else if (op == "blit") {
      if (mono) main.CopyFrom(at(0), at(1), mono->Width(), mono->Height(), *mono, 0, 0);
      target = &main;
    } else if (op == "draw") {
      s.DrawImage(TestPicture(), at(0), at(1));
    } else if (op == "stretch") {
      s.StretchImage(TestPicture(), {at(0), at(1), at(2), at(3)});
    } else {
      throw std::runtime_error("unknown drawing command " + op);
    }
  }
}

}  // namespace zq::testing
