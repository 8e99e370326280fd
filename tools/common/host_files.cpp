#include "common/host_files.h"

namespace zq::host {

bool ReadHostFile(const std::string& utf8Path, std::string& content) {
  std::FILE* f = OpenHostFile(utf8Path, "rb");
  if (f == nullptr) return false;
  content.clear();
  // Room for the whole file at once: scripts of millions of values are tens of megabytes.
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    if (size > 0) content.reserve(size_t(size));
    std::rewind(f);
  }
  char chunk[65536];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) content.append(chunk, n);
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

}  // namespace zq::host
