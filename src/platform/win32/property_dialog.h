// The property dialogs as real modal Win32 dialogs built from the standard controls.
#pragma once

#include <vector>

#include "platform/dialog_ui.h"

namespace zq::platform::win32 {

DialogResult RunPropertyDialog(const DialogView& view, DialogSession& session,
                               std::vector<RowOutcome>& rows);

}  // namespace zq::platform::win32
