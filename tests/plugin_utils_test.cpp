#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "plugin/host.h"
#include "plugin/plugin_utils.h"
#include "support/counting_host_memory.h"

namespace {

using zq::testing::CountingHostMemory;
namespace plugin = zq::plugin;

TEST(PluginText, SetReplacesAndFreesTheOldBlock) {
  CountingHostMemory memory;
  char* text = nullptr;
  plugin::SetPluginText(&text, "first");
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "first");
  char* old = text;
  plugin::SetPluginText(&text, "");
  EXPECT_FALSE(memory.IsLive(old));
  EXPECT_STREQ(text, "");
  plugin::FreePluginText(&text);
  EXPECT_EQ(text, nullptr);
  plugin::FreePluginText(&text);  // a null variable is left alone
  EXPECT_EQ(memory.allocations(), 2);
  EXPECT_EQ(memory.frees(), 2);
  EXPECT_EQ(memory.live(), 0u);
  EXPECT_EQ(memory.foreignFrees(), 0);
}

TEST(PluginText, KeepsEmbeddedBytesAndTerminates) {
  CountingHostMemory memory;
  char* text = nullptr;
  plugin::SetPluginText(&text, std::string_view("a\xC0z", 3));
  EXPECT_EQ(std::memcmp(text, "a\xC0z", 4), 0);
  plugin::FreePluginText(&text);
  plugin::SetPluginText(nullptr, "ignored");
  EXPECT_EQ(memory.live(), 0u);
}

TEST(InitPlugIn, FreesTextsTheVariablesAlreadyHold) {
  CountingHostMemory memory;
  char* name = memory.Allocate(4);
  char* author = memory.Allocate(4);
  char* description = memory.Allocate(4);
  char* oldBlocks[3] = {name, author, description};
  plugin::InitPlugIn(0, &name, &author, &description);
  for (char* old : oldBlocks) EXPECT_FALSE(memory.IsLive(old));
  EXPECT_EQ(memory.frees(), 3);
  EXPECT_EQ(memory.allocations(), 6);
  EXPECT_STREQ(name, "zqLineChart");
  EXPECT_STREQ(description,
               "\xCF\xEE\xF1\xF2\xF0\xEE\xE5\xED\xE8\xE5 \xE3\xF0\xE0\xF4\xE8\xEA\xEE\xE2");
  for (char** v : {&name, &author, &description}) plugin::FreePluginText(v);
  EXPECT_EQ(memory.live(), 0u);
  EXPECT_EQ(memory.foreignFrees(), 0);
}

TEST(InitPlugIn, NullVariablesOnlyAllocate) {
  CountingHostMemory memory;
  char* name = nullptr;
  char* author = nullptr;
  char* description = nullptr;
  plugin::InitPlugIn(7, &name, &author, &description);
  EXPECT_EQ(memory.frees(), 0);
  EXPECT_EQ(memory.allocations(), 3);
  EXPECT_EQ(plugin::Host().hostValue, 7);
  for (char** v : {&name, &author, &description}) plugin::FreePluginText(v);
}

// A host whose interface access replaces the text, frees the plug-in's block as a host does,
// or throws.
CountingHostMemory* g_memory = nullptr;
int g_mode = 0;

zq::Bool32 ZQ_STDCALL FakeAccess(zq::Int32 code, char** text) {
  EXPECT_EQ(code, plugin::kRequestObjectWindow);
  EXPECT_STREQ(*text, "Rect\xC0");  // handed over in the host's code page
  if (g_mode == 0) {
    g_memory->Free(*text);
    *text = g_memory->Allocate(4);
    std::memcpy(*text, "123", 4);
    return 1;
  }
  throw std::runtime_error("host failure");
}

TEST(AskHost, FreesTheVariableOnEveryPath) {
  CountingHostMemory memory;
  g_memory = &memory;
  plugin::HostState saved = plugin::Host();
  plugin::Host().interfaceAccess = &FakeAccess;

  g_mode = 0;
  plugin::InterfaceAnswer answer = plugin::AskHost(plugin::kRequestObjectWindow, "Rect\xD0\x90");
  EXPECT_TRUE(answer.replaced);
  EXPECT_EQ(answer.text, "123");
  EXPECT_EQ(memory.live(), 0u);

  g_mode = 1;
  EXPECT_THROW(plugin::AskHost(plugin::kRequestObjectWindow, "Rect\xD0\x90"), std::runtime_error);
  EXPECT_EQ(memory.live(), 0u);
  EXPECT_EQ(memory.foreignFrees(), 0);

  plugin::Host().interfaceAccess = nullptr;
  EXPECT_THROW(plugin::AskHost(plugin::kRequestObjectWindow, "x"), std::runtime_error);
  plugin::Host() = saved;
}

}  // namespace
