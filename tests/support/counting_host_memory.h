// A host-memory allocator that counts and checks what the plug-in allocates and frees.
#pragma once

#include <cstdlib>
#include <set>

#include "platform/host_memory.h"

namespace zq::testing {

class CountingHostMemory : public platform::HostMemory {
 public:
  CountingHostMemory() { platform::SetHostMemory(this); }
  ~CountingHostMemory() override {
    platform::SetHostMemory(nullptr);
    for (char* block : freed_) std::free(block);
  }

  char* Allocate(size_t bytes) override {
    char* block = static_cast<char*>(std::malloc(bytes));
    live_.insert(block);
    ++allocations_;
    return block;
  }
  void Free(char* block) override {
    // Freeing a block this allocator never handed out (or twice) is a fault. Freed blocks are
    // kept until the end, so no address is handed out twice and a stale pointer never looks
    // live again.
    if (live_.erase(block) == 0)
      ++foreignFrees_;
    else
      freed_.insert(block);
    ++frees_;
  }

  int allocations() const { return allocations_; }
  int frees() const { return frees_; }
  int foreignFrees() const { return foreignFrees_; }
  size_t live() const { return live_.size(); }
  bool IsLive(const char* block) const { return live_.count(const_cast<char*>(block)) != 0; }

 private:
  std::set<char*> live_;
  std::set<char*> freed_;
  int allocations_ = 0;
  int frees_ = 0;
  int foreignFrees_ = 0;
};

}  // namespace zq::testing
