// Control identifiers of the property dialogs. Screen readers see the controls' texts; tests
// and automation find a row's controls by these numbers.
#pragma once

namespace zq::platform::win32 {

enum class RowPart : int { Label = 0, Field = 1, Picker = 2, Color = 3, Font = 4 };

// Row numbers count from 1. The field is an EDIT box, or a COMBOBOX for a list.
constexpr int RowControlId(int row, RowPart part) {
  return 1000 + row * 10 + int(part);
}

constexpr int kActionNameId = 900;
constexpr int kDescriptionId = 901;
constexpr int kFooterId = 902;

}  // namespace zq::platform::win32
