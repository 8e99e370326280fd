// Modal dialogs of the platform: the property dialogs of the actions and the common colour
// and font pickers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/geometry.h"
#include "platform/surface.h"

namespace zq::platform {

struct FontChoice {
  LogFont font;
  Rgb color = 0;
  int32_t pointSize = 8;
};

class DialogUi {
 public:
  virtual ~DialogUi() = default;
  virtual std::optional<Rgb> PickColor(Rgb initial) = 0;
  virtual std::optional<FontChoice> PickFont(const FontChoice& initial) = 0;
};

// The platform's dialogs; on a headless platform every picker is cancelled.
DialogUi& GetDialogUi();

}  // namespace zq::platform
