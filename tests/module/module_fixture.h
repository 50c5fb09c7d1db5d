// The fixture of tests that load the real module once per suite.
#pragma once

#include <gtest/gtest.h>

#include "module_loader.h"

namespace tessaro::testing {

class ModuleFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_ = new LoadedModule(ModuleBesideExecutable()); }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(module_->ok()) << ModuleBesideExecutable() << ": " << module_->error();
  }

  static inline LoadedModule* module_ = nullptr;
};

}  // namespace tessaro::testing
