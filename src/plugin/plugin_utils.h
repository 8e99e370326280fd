// Hand-over of texts to the host: every text the host receives is a block of host memory that
// whoever replaces it frees.
#pragma once

#include <string_view>

namespace zq::plugin {

// Frees the variable's old block (if any) and stores a new zero-terminated copy of `text`.
// The bytes are passed through unchanged: callers convert to the host's code page first.
void SetPluginText(char** variable, std::string_view text);

// Frees the variable's block (if any) and sets it to null.
void FreePluginText(char** variable);

}  // namespace zq::plugin
