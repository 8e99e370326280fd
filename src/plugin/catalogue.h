// The fixed catalogue of script actions: the single source for registration, dispatch and
// the property dialogs.
#pragma once

#include <cstdint>
#include <span>

namespace zq::plugin {

constexpr int32_t kActionCount = 44;
constexpr int32_t kCategoryCount = 9;

struct ActionInfo {
  int32_t number;           // 1..44, the number the host executes
  const char* name;         // script name (ASCII)
  const char* description;  // UTF-8
  int32_t parameterCount;   // the rectangle name included
};

struct CategoryInfo {
  const char* title;    // UTF-8
  int32_t firstAction;  // the category holds firstAction up to the next category's first - 1
};

std::span<const ActionInfo> Actions();
std::span<const CategoryInfo> Categories();

// The action with this number, or nullptr outside 1..44.
const ActionInfo* FindAction(int32_t number);

// One registration as the host receives it: texts already in Windows-1251.
struct Registration {
  int32_t number;  // 0 for a category entry
  const char* name;
  const char* description;
  const uint8_t* typeCodes;
  int32_t highIndex;
  int32_t parameterCount;
};

// Calls `add` once per registration, 53 times, categories before their actions.
template <typename Add>
void ForEachRegistration(Add&& add);

// Implementation detail of ForEachRegistration: the registrations in order, converted once.
std::span<const Registration> Registrations();

template <typename Add>
void ForEachRegistration(Add&& add) {
  for (const Registration& r : Registrations()) add(r);
}

}  // namespace zq::plugin
