// nbExecAction and nbEditAction: from an action number and the host's texts to a handler.
#pragma once

#include <string>
#include <vector>

#include "platform/abi.h"

namespace zq::plugin {

// Copies the action's parameters out of the host's array (a null entry is an empty text)
// and runs its handler. Numbers outside 1..44 give false.
Bool32 ExecAction(Int32 number, char** parameters);

// Opens the action's property dialog; false outside 1..44.
Bool32 EditAction(Int32 number, char** parameters);

// Destroys every chart window (message 2).
void EndAllCharts();

}  // namespace zq::plugin
