// The process environment, where hosts and test scripts leave settings for the plug-in.
#pragma once

#include <string>

namespace zq::platform {

// The value of an environment variable, empty when it is not set.
std::string EnvironmentVariable(const char* name);

}  // namespace zq::platform
