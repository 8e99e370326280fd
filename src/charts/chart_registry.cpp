#include "charts/chart_registry.h"

namespace zq::charts {

namespace {

// Rectangle names match with ASCII letters folded to upper case; everything else, Cyrillic
// included, must be equal.
bool SameRectangleName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 32);
    if (y >= 'a' && y <= 'z') y = char(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

ChartRegistry& ChartRegistry::Instance() {
  static ChartRegistry registry;
  return registry;
}

int32_t ChartRegistry::IndexOf(const std::string& rectangleName) const {
  for (size_t i = 0; i < forms_.size(); ++i)
    if (SameRectangleName(forms_[i]->RectangleName(), rectangleName)) return int32_t(i);
  return -1;
}

TVelImageForm* ChartRegistry::Find(const std::string& rectangleName) const {
  int32_t i = IndexOf(rectangleName);
  return i < 0 ? nullptr : forms_[size_t(i)].get();
}

void ChartRegistry::Create(const std::string& rectangleName, const WindowResolver& resolve) {
  // The second pass replaces the window that the first one made.
  CreationPass(rectangleName, resolve);
  CreationPass(rectangleName, resolve);
}

void ChartRegistry::CreationPass(const std::string& rectangleName, const WindowResolver& resolve) {
  Delete(rectangleName);
  platform::WindowHandle host = resolve(rectangleName);
  if (host == 0) return;
  auto form = std::make_unique<TVelImageForm>(rectangleName);
  if (!form->CreateWindowIn(host)) return;
  form->FitToParent();
  exists_ = true;
  forms_.push_back(std::move(form));
}

void ChartRegistry::Delete(const std::string& rectangleName) {
  int32_t i = IndexOf(rectangleName);
  // The window's series and series-name list go with it; later windows move down.
  if (i >= 0) forms_.erase(forms_.begin() + i);
}

void ChartRegistry::FreeAll() {
  if (!exists_) return;
  // Destroyed in registry order.
  for (auto& form : forms_) form.reset();
  forms_.clear();
  exists_ = false;
}

}  // namespace zq::charts
