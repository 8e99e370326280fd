#include "actions/reasons.h"

#include <utility>

namespace zq::actions {

namespace {

ReasonScope* g_current = nullptr;

std::string& Last() {
  static std::string last;
  return last;
}

}  // namespace

ReasonScope::ReasonScope() : outer_(g_current) {
  g_current = this;
}

ReasonScope::~ReasonScope() {
  Last() = std::move(text_);
  g_current = outer_;
}

void ReasonScope::Failed(std::string_view what) {
  if (!stopped_) StopReason(ParameterPrefix() + std::string(what));
}

void NoteReason(std::string text) {
  if (g_current != nullptr && g_current->text_.empty()) g_current->text_ = std::move(text);
}

void StopReason(std::string text) {
  if (g_current == nullptr || g_current->stopped_) return;
  g_current->text_ = std::move(text);
  g_current->stopped_ = true;
}

void ReadingParameter(size_t index) {
  if (g_current == nullptr) return;
  g_current->parameter_ = index;
  g_current->reading_ = true;
}

std::string ParameterPrefix() {
  if (g_current == nullptr || !g_current->reading_) return {};
  return "parameter " + std::to_string(g_current->parameter_ + 1) + ": ";
}

const std::string& LastReason() {
  return Last();
}

}  // namespace zq::actions
