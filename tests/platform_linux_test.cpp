#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

#include "platform/dialog_ui.h"
#include "platform/host_memory.h"
#include "platform/locale.h"
#include "platform/picture.h"

namespace {

using namespace zq::platform;

// Sets locale variables for one test and puts the old values back.
class LocaleEnvironment {
 public:
  LocaleEnvironment() {
    for (const char* name : kNames) {
      const char* v = std::getenv(name);
      if (v) saved_[name] = v;
      unsetenv(name);
    }
  }
  ~LocaleEnvironment() {
    for (const char* name : kNames) {
      auto it = saved_.find(name);
      if (it != saved_.end())
        setenv(name, it->second.c_str(), 1);
      else
        unsetenv(name);
    }
  }
  void Set(const char* name, const char* value) { setenv(name, value, 1); }

 private:
  static constexpr const char* kNames[] = {"ZQ_LOCALE", "LC_ALL", "LC_NUMERIC", "LANG"};
  std::map<std::string, std::string> saved_;
};

TEST(SystemLocale, ZqLocaleComesFirst) {
  LocaleEnvironment env;
  env.Set("LC_ALL", "en_US.UTF-8");
  env.Set("ZQ_LOCALE", "ru-RU");
  EXPECT_EQ(SystemLocale().decimalSeparator, ',');
  env.Set("ZQ_LOCALE", "en-US");
  env.Set("LC_ALL", "ru_RU.UTF-8");
  EXPECT_EQ(SystemLocale().decimalSeparator, '.');
}

TEST(SystemLocale, FallsBackThroughThePosixVariables) {
  LocaleEnvironment env;
  env.Set("LANG", "ru_RU.UTF-8");
  EXPECT_EQ(SystemLocale().decimalSeparator, ',');
  EXPECT_EQ(SystemLocale().dateSeparator, '.');
  env.Set("LC_NUMERIC", "en_GB.UTF-8@euro");
  EXPECT_EQ(SystemLocale().decimalSeparator, '.');
  env.Set("LC_ALL", "ru_RU");
  EXPECT_EQ(SystemLocale().decimalSeparator, ',');
  env.Set("LC_ALL", "");  // empty values are skipped
  EXPECT_EQ(SystemLocale().decimalSeparator, '.');
}

TEST(SystemLocale, NothingSetMeansEnglish) {
  LocaleEnvironment env;
  const LocaleSettings s = SystemLocale();
  EXPECT_EQ(s.decimalSeparator, '.');
  EXPECT_EQ(s.shortDateFormat, "M/d/yyyy");
  env.Set("LANG", "C");
  EXPECT_EQ(SystemLocale().decimalSeparator, '.');
}

TEST(HeadlessDialogs, EveryPickerIsCancelled) {
  EXPECT_FALSE(GetDialogUi().PickColor(0x123456));
  EXPECT_FALSE(GetDialogUi().PickFont(FontChoice{}));
}

TEST(PlatformPictures, NoneOnLinux) {
  for (const char* ext : {"ico", "wmf", "emf", "bmp", "jpg", ""})
    EXPECT_FALSE(PlatformPictureSupports(ext)) << ext;
  try {
    LoadPlatformPicture("/tmp/logo.ico", "ico");
    FAIL() << "expected an exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/tmp/logo.ico"), std::string::npos) << e.what();
  }
}

TEST(PlatformHostMemory, UsesTheCHeap) {
  HostMemory& m = GetHostMemory();
  char* block = m.Allocate(16);
  ASSERT_NE(block, nullptr);
  block[15] = 'x';
  m.Free(block);
  char* empty = m.Allocate(0);
  EXPECT_NE(empty, nullptr);
  m.Free(empty);
}

}  // namespace
