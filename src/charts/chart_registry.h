// The chart registry: every chart window, in creation order, found by its rectangle's name.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/chart_window.h"

namespace zq::charts {

class ChartRegistry {
 public:
  static ChartRegistry& Instance();

  // The first window whose rectangle name matches with ASCII letters folded; nullptr.
  TVelImageForm* Find(const std::string& rectangleName) const;
  int32_t IndexOf(const std::string& rectangleName) const;
  // Asks the host for the window of a rectangle: 0 when it has none. Throws when the host's
  // answer is not usable, which ends the creation.
  using WindowResolver = std::function<platform::WindowHandle(const std::string& rectangleName)>;
  // zqCreateLineChart: two creation passes, each replacing the window of the name. True when
  // the last pass made a window.
  bool Create(const std::string& rectangleName, const WindowResolver& resolve);
  // zqDeleteLineChart: destroys the window of the name, if any.
  void Delete(const std::string& rectangleName);
  // nbMessage 2: destroys every window.
  void FreeAll();
  // A window whose host window went: removed as if deleted.
  void Forget(const TVelImageForm& form);

  bool Exists() const { return exists_; }
  int32_t Count() const { return int32_t(forms_.size()); }
  TVelImageForm& At(int32_t index) const { return *forms_[size_t(index)]; }

 private:
  bool CreationPass(const std::string& rectangleName, const WindowResolver& resolve);
  void Remove(size_t index);

  std::vector<std::unique_ptr<TVelImageForm>> forms_;
  bool exists_ = false;
};

}  // namespace zq::charts
