// Action sequences through the plug-in's exports on the headless host: the bytes choose
// rectangles and their windows, actions with well-formed, pooled or raw parameter texts, window
// messages, ticks, repaints, the mouse, destroyed host windows and hosts whose callbacks run
// actions of their own. After each input every chart ends and every host window goes, so an
// input's outcome never depends on the one before.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/plugin_api.h"
#include "fuzz/fuzz_input.h"
#include "platform/cairo/headless_windows.h"
#include "platform/codepage.h"
#include "support/action_samples.h"
#include "support/action_stress.h"

using zq::Bool32;
using zq::Int32;

extern "C" {
void nbInitPlugIn(Int32, char**, char**, char**);
void nbRegisterPlugIn(zq::host::AddActionProc, void*, void*, zq::host::SetVarProc);
void nbRegisterScriptProcessor(void*);
void nbRegisterInterfaceAccess(zq::host::InterfaceAccessProc);
Bool32 nbExecAction(Int32, char**);
void nbMessage(Int32);
Int32 zqHostCreateWindow(Int32, Int32);
Bool32 zqHostResizeWindow(Int32, Int32, Int32);
Int32 zqHostSendMessage(Int32, Int32, Int32);
void zqHostAdvanceClock(Int32);
Bool32 zqHostMouse(Int32, Int32, Int32, Int32, Int32);
Bool32 zqHostDestroyWindow(Int32);
Int32 zqHostLastReason(char*, Int32);
}

namespace {

using zq::fuzz::FuzzInput;

constexpr int kMaxSteps = 48;
const char* const kRectangles[] = {"A", "B", "a", "Диаграмма"};
const char* const kSeries[] = {"S", "s", "Ряд 1", ""};

std::map<std::string, Int32> g_windows;  // rectangle names (host code page) and their windows
std::vector<int32_t> g_counts(46, 0);    // parameter counts by action number
// A callback that the next request code 7 answers by running an action of its own.
struct Reentry {
  int kind = 0;  // 0 none, 1 delete the chart being made, 2 message 2, 3 create, 4 any action
  int32_t number = 0;
};
Reentry g_reentry;
std::vector<std::string> g_pictures;

void ZQ_STDCALL OnAddAction(Int32 number, char*, char*, uint8_t*, Int32, Int32 count) {
  if (number > 0 && number < Int32(g_counts.size())) g_counts[size_t(number)] = count;
}

Bool32 Exec(int32_t number, const std::vector<std::string>& utf8);

void ZQ_STDCALL OnSetVar(char*, char*) {
  // A host that runs an action while the plug-in sets a variable.
  if (g_reentry.kind == 4) {
    g_reentry.kind = 0;
    Exec(g_reentry.number, zq::testing::SampleArguments(g_reentry.number, "A"));
  }
}

Bool32 ZQ_STDCALL OnInterfaceAccess(Int32 code, char** text) {
  if (code != 7 || text == nullptr || *text == nullptr) return 0;
  const std::string name = *text;
  const Reentry reentry = g_reentry;
  g_reentry.kind = 0;
  switch (reentry.kind) {
    case 1:
      Exec(2, {zq::platform::Cp1251ToUtf8(name)});
      break;
    case 2:
      nbMessage(2);
      break;
    case 3:
      Exec(1, {zq::platform::Cp1251ToUtf8(name)});
      break;
    case 4:
      Exec(reentry.number, zq::testing::SampleArguments(reentry.number, "B"));
      break;
    default:
      break;
  }
  auto it = g_windows.find(name);
  const std::string answer = std::to_string(it == g_windows.end() ? 0 : it->second);
  char* block = static_cast<char*>(std::malloc(answer.size() + 1));
  if (block == nullptr) return 0;
  std::memcpy(block, answer.c_str(), answer.size() + 1);
  std::free(*text);
  *text = block;
  return 1;
}

Bool32 Exec(int32_t number, const std::vector<std::string>& utf8) {
  std::vector<std::string> texts;
  for (const std::string& t : utf8) texts.push_back(zq::platform::Utf8ToCp1251(t));
  std::vector<char*> pointers;
  for (std::string& t : texts) pointers.push_back(t.data());
  pointers.push_back(nullptr);
  const Bool32 result = nbExecAction(number, pointers.data());
  char reason[512];
  const Int32 length = zqHostLastReason(reason, sizeof reason);
  zq::fuzz::Check(length >= 0 && std::strlen(reason) == size_t(std::min<Int32>(length, 511)),
                  "the reason fits its buffer");
  return result;
}

void Initialise() {
  static bool done = false;
  if (done) return;
  done = true;
  char* name = nullptr;
  char* author = nullptr;
  char* description = nullptr;
  nbInitPlugIn(0, &name, &author, &description);
  std::free(name);
  std::free(author);
  std::free(description);
  nbRegisterPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
  nbRegisterScriptProcessor(nullptr);
  nbRegisterInterfaceAccess(&OnInterfaceAccess);
  // Pictures of every kind: good, pretending, missing, a folder, an unknown extension.
  const std::string folder = "/tmp/zq_fuzz_actions_" + std::to_string(getpid());
  std::string bmp = folder + ".bmp", fake = folder + "_fake.jpg";
  if (std::FILE* f = std::fopen(bmp.c_str(), "wb")) {
    const std::string bytes = zq::testing::SmallBmpBytes();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  if (std::FILE* f = std::fopen(fake.c_str(), "wb")) {
    const std::string bytes = zq::testing::FakeJpegBytes();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  g_pictures = {bmp,
                fake,
                std::string(ZQ_SOURCE_DIR) + "/examples/paper.jpg",
                folder + "_missing.bmp",
                "/tmp",
                "picture.png",
                ""};
}

std::string Parameter(FuzzInput& in, const std::string& sample) {
  switch (in.Below(4)) {
    case 0: {
      const auto& pool = zq::testing::ActionStress::TextPool();
      return pool[in.Below(uint32_t(pool.size()))];
    }
    case 1:
      return in.Text(24);
    default:
      return sample;
  }
}

void RunAction(FuzzInput& in) {
  const int32_t number = int32_t(in.Below(46));
  const std::string rectangle = in.Below(8) == 0 ? "Missing" : kRectangles[in.Below(4)];
  std::vector<std::string> args = zq::testing::SampleArguments(
      number, rectangle, kSeries[in.Below(4)], g_pictures[in.Below(uint32_t(g_pictures.size()))]);
  for (size_t i = 1; i < args.size(); ++i) args[i] = Parameter(in, args[i]);
  if (number >= 1 && number < Int32(g_counts.size())) args.resize(size_t(g_counts[size_t(number)]));
  const Bool32 result = Exec(number, args);
  zq::fuzz::Check(zq::testing::ActionStress::ResultAllowed(number, result != 0),
                  "an action answers what it may answer");
}

Int32 AnyWindow(FuzzInput& in) {
  if (g_windows.empty()) return 0;
  auto it = g_windows.begin();
  std::advance(it, in.Below(uint32_t(g_windows.size())));
  return it->second;
}

void Step(FuzzInput& in) {
  switch (in.Below(12)) {
    case 0: {
      // A rectangle gets a (new) window; small, so that painting stays quick.
      const std::string name = zq::platform::Utf8ToCp1251(kRectangles[in.Below(4)]);
      g_windows[name] = zqHostCreateWindow(Int32(in.Below(120)), Int32(in.Below(90)));
      break;
    }
    case 1:
    case 2:
    case 3:
    case 4:
      RunAction(in);
      break;
    case 5:
      nbMessage(in.Below(4) == 0 ? Int32(in.Byte()) - 1 : 2);
      break;
    case 6:
      zqHostAdvanceClock(Int32(in.Below(4)) * 150);
      break;
    case 7:
      zqHostAdvanceClock(0);  // paints what is invalid
      break;
    case 8: {
      const Int32 window = AnyWindow(in);
      zqHostResizeWindow(window, Int32(in.Below(120)), Int32(in.Below(90)));
      zqHostSendMessage(window, 1274, in.Below(2) == 0 ? 4 : Int32(in.Byte()));
      break;
    }
    case 9: {
      const Int32 window = AnyWindow(in);
      const Int32 kind = Int32(1 + in.Below(7));
      const Int32 x = Int32(in.Below(160)) - 20, y = Int32(in.Below(130)) - 20;
      zqHostMouse(window, kind, x, y, kind == 6 ? (in.Below(2) ? 120 : -120) : Int32(in.Below(4)));
      break;
    }
    case 10:
      zqHostDestroyWindow(AnyWindow(in));
      break;
    default:
      g_reentry.kind = int(in.Below(5));
      g_reentry.number = int32_t(1 + in.Below(44));
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Initialise();
  FuzzInput in(data, size);
  for (int i = 0; i < kMaxSteps && !in.Empty(); ++i) Step(in);
  g_reentry = {};
  nbMessage(2);
  for (const auto& [name, window] : g_windows) zqHostDestroyWindow(window);
  g_windows.clear();
  return 0;
}
