#include "charts/chart_registry.h"

#include <algorithm>

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

bool ChartRegistry::Create(const std::string& rectangleName, const WindowResolver& resolve) {
  // The second pass replaces the window that the first one made.
  CreationPass(rectangleName, resolve);
  return CreationPass(rectangleName, resolve);
}

bool ChartRegistry::CreationPass(const std::string& rectangleName, const WindowResolver& resolve) {
  Delete(rectangleName);
  platform::WindowHandle host = resolve(rectangleName);
  // The host may have run actions while it answered, a creation for this name among them:
  // the name still gets one window only.
  Delete(rectangleName);
  if (host == 0) return false;
  auto form = std::make_unique<TVelImageForm>(rectangleName);
  if (!form->CreateWindowIn(host)) return false;
  const TVelImageForm* raw = form.get();
  form->SetOnWindowLost([this, raw] { Forget(*raw); });
  form->FitToParent();
  // A window that went while it was being laid out is no chart.
  if (form->Handle() == 0) return false;
  exists_ = true;
  forms_.push_back(std::move(form));
  return true;
}

void ChartRegistry::Delete(const std::string& rectangleName) {
  int32_t i = IndexOf(rectangleName);
  // The window's series and series-name list go with it; later windows move down.
  if (i >= 0) Remove(size_t(i));
}

void ChartRegistry::Remove(size_t index) {
  // Out of the list before it is destroyed, so that the registry is whole whatever the
  // destruction sets off.
  std::unique_ptr<TVelImageForm> doomed = std::move(forms_[index]);
  forms_.erase(forms_.begin() + std::ptrdiff_t(index));
  doomed.reset();
}

void ChartRegistry::Forget(const TVelImageForm& form) {
  auto it =
      std::find_if(forms_.begin(), forms_.end(),
                   [&form](const std::unique_ptr<TVelImageForm>& f) { return f.get() == &form; });
  if (it != forms_.end()) Remove(size_t(it - forms_.begin()));
}

void ChartRegistry::FreeAll() {
  if (!exists_) return;
  std::vector<std::unique_ptr<TVelImageForm>> doomed;
  doomed.swap(forms_);
  exists_ = false;
  // Destroyed in registry order.
  for (auto& form : doomed) form.reset();
}

}  // namespace zq::charts
