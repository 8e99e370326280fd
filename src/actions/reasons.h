// Why an action stopped early or changed nothing, told to the script's author: one short
// English text per call, cleared when the call starts and kept after it ends until the next.
// The host's Boolean and variables do not depend on it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zq::actions {

// The action goes on (a word that matched nothing, a value that is not applied). The first
// note of a call is kept, unless a stop comes.
void NoteReason(std::string text);
// The action ends here. The first stop of a call outranks every note.
void StopReason(std::string text);

// The parameter being read (0 is the rectangle name): a failure that follows is put down to
// it. Authors count parameters from 1.
void ReadingParameter(size_t index);
// "parameter N: " for the parameter being read, or "" before the first.
std::string ParameterPrefix();

// What the last finished call recorded; "" when it had nothing to say.
const std::string& LastReason();

// One call: on entry the call's reason is empty; on leaving, it becomes LastReason and the
// reason of a call that was under way (the host called back into the plug-in) comes back.
class ReasonScope {
 public:
  ReasonScope();
  ~ReasonScope();
  ReasonScope(const ReasonScope&) = delete;
  ReasonScope& operator=(const ReasonScope&) = delete;

  // The failure that ended the call, unless it gave its reason already.
  void Failed(std::string_view what);

 private:
  friend void NoteReason(std::string text);
  friend void StopReason(std::string text);
  friend void ReadingParameter(size_t index);
  friend std::string ParameterPrefix();

  std::string text_;
  bool stopped_ = false;
  size_t parameter_ = 0;
  bool reading_ = false;
  ReasonScope* outer_;
};

}  // namespace zq::actions
