// Drawing scripts: a line-by-line list of surface calls, played the same way on any surface and
// by the GDI program that made the reference pictures in tests/data/gdi_reference.
//
//   size W H                         picture size (white background)
//   pen COLOR WIDTH STYLE [NOTXOR]   STYLE: the PenStyle order (0 solid .. 7 alternate)
//   brush COLOR STYLE                STYLE: the BrushStyle order (0 solid, 1 clear, 2.. hatches)
//   font HEIGHT WEIGHT ITALIC UNDERLINE STRIKEOUT ESCAPEMENT FACE...
//   textcolor C | backcolor C | backmode 1|2 | align FLAGS
//   moveto X Y | lineto X Y | polyline N X Y ... | polygon N X Y ...
//   rect L T R B | roundrect L T R B W H | ellipse L T R B | arc/pie L T R B X1 Y1 X2 Y2
//   fillrect L T R B COLOR STYLE | patfill L T R B | pixel X Y COLOR | text X Y TEXT...
//   cliprect L T R B | clippoly N X Y ... | noclip
//   draw X Y | stretch L T R B       the 7 x 5 test picture (TestPicture), placed or stretched
//   mono W H                         draw on a new monochrome bitmap (black at first) ...
//   grab X Y                         copy the picture at X, Y into the monochrome bitmap
//   blit X Y                         ... until this copies it to the picture
// Colours are 0x00BBGGRR numbers; lines starting with '#' are comments.
#pragma once

#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/image.h"
#include "platform/surface.h"

namespace zq::testing {

struct ScriptCommand {
  std::string op;
  std::vector<long> numbers;
  std::string text;
};

struct DrawingScript {
  platform::Size size{400, 300};
  std::vector<ScriptCommand> commands;
};

// Reads a script; throws std::runtime_error when the file cannot be read or a line is bad.
DrawingScript LoadDrawingScript(const std::string& path);

// The picture that draw and stretch use.
platform::Image TestPicture();

// Plays the commands on a surface (which the caller has cleared to white).
void PlayDrawingScript(const DrawingScript& script, platform::Surface& surface);

}  // namespace zq::testing
