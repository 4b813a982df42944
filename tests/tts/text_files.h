// A fresh folder of its own for each test, so that tests run side by side
// (ctest -j, one test a process) never empty each other's files.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/diphone/files.h"

namespace textfiles {

inline std::filesystem::path FreshDir() {
  const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("toada-") + t->test_suite_name() + "-" + t->name();
  return testfiles::FreshDir(name);
}

}  // namespace textfiles
