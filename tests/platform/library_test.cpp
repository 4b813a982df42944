// Opening a back end's library when it is chosen: every function found, or
// a reason naming what is missing and nothing left half filled.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/os/library.h"

using namespace platform;

TEST(OpenLibrary, FillsEveryFunctionOrNamesWhatIsMissing) {
  struct {
    decltype(&::cos) cos = nullptr;
    decltype(&::sqrt) sqrt = nullptr;
  } lib;
  std::string why;
  ASSERT_TRUE(
      OpenLibrary("libm.so.6", {SONARIS_LIBRARY_ENTRY(cos) SONARIS_LIBRARY_ENTRY(sqrt)}, why));
  EXPECT_EQ(lib.sqrt(16.0), 4.0);
  EXPECT_EQ(lib.cos(0.0), 1.0);

  void* missing = nullptr;
  EXPECT_FALSE(
      OpenLibrary("libm.so.6", {SONARIS_LIBRARY_ENTRY(cos){"no_such_function", &missing}}, why));
  EXPECT_EQ(lib.cos, nullptr);
  EXPECT_NE(why.find("no_such_function"), std::string::npos) << why;

  EXPECT_FALSE(OpenLibrary("libsonaris-nothing.so.9", {SONARIS_LIBRARY_ENTRY(sqrt)}, why));
  EXPECT_NE(why.find("libsonaris-nothing.so.9"), std::string::npos) << why;
  EXPECT_NE(why.find("instale"), std::string::npos) << why;
}
