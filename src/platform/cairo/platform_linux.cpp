// The small platform services on Linux: host memory, regional settings, (no) platform picture
// formats, files, and the reasons of action calls for the headless host.
#include <cstdlib>
#include <stdexcept>

#include "platform/ansi.h"
#include "platform/cairo/headless_reason.h"
#include "platform/diagnostics.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/host_memory.h"
#include "platform/locale.h"
#include "platform/picture.h"

namespace zq::platform {

namespace {

class CHeapMemory : public HostMemory {
 public:
  char* Allocate(size_t bytes) override {
    return static_cast<char*>(std::malloc(bytes ? bytes : 1));
  }
  void Free(char* block) override { std::free(block); }
};

// "ru_RU.UTF-8@euro" -> "ru-RU".
std::string LocaleNameFromPosix(const std::string& value) {
  std::string name = value.substr(0, value.find_first_of(".@"));
  for (char& c : name)
    if (c == '_') c = '-';
  return name;
}

std::string& StoredReason() {
  static std::string reason;
  return reason;
}

}  // namespace

HostMemory& PlatformHostMemory() {
  static CHeapMemory memory;
  return memory;
}

LocaleSettings SystemLocale() {
  for (const char* var : {"ZQ_LOCALE", "LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return LocaleByName(LocaleNameFromPosix(value));
  }
  return LocaleByName("en-US");
}

std::string EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool PlatformPictureSupports(const std::string&) {
  return false;
}

Image LoadPlatformPicture(const std::string& path, const std::string& extension) {
  throw std::runtime_error("Cannot load " + path + ": pictures of type \"" + extension +
                           "\" are not supported on this platform");
}

void ReportActionReason(std::string_view, std::string_view reason) {
  StoredReason() = Utf8ToAnsi(reason);
}

const std::string& LastActionReason() {
  return StoredReason();
}

std::FILE* OpenFileForReading(const std::string& utf8Path) {
  return std::fopen(utf8Path.c_str(), "rb");
}

}  // namespace zq::platform
