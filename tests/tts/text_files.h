// A fresh folder of its own for each test, so that tests run side by side
// (ctest -j, one test a process) never empty each other's files.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/os/text.h"
#include "tests/diphone/files.h"

namespace textfiles {

inline std::string W(const std::string& utf8) { return platform::Utf8ToCp1252(utf8); }

inline std::filesystem::path FreshDir() {
  const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("toada-") + t->test_suite_name() + "-" + t->name();
  return testfiles::FreshDir(name);
}

// A test with its folder: Write saves the text as Windows-1252, as the
// engine's files are; WriteAsIs keeps the bytes given (UTF-8 files).
class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = FreshDir(); }
  std::string Write(const std::string& name, const std::string& utf8) { return WriteAsIs(name, W(utf8)); }
  std::string WriteAsIs(const std::string& name, const std::string& bytes) {
    return testfiles::Write(dir_ / name, bytes);
  }
  std::filesystem::path dir_;
};

}  // namespace textfiles
