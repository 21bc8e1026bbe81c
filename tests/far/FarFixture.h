// A fake FAR installed as the host of the code under test, with the wrapper's registries.
#pragma once

#include <gtest/gtest.h>

#include "far/uFAR.h"
#include "support/FakeFar.h"

using TService = TFakeFar::TService;

inline constexpr GUID TestPluginGUID{0x1234abcd, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

inline bool SameGuid(const GUID& A, const GUID& B) {
  return std::memcmp(&A, &B, sizeof(GUID)) == 0;
}

class FarTest : public ::testing::Test {
protected:
  void SetUp() override {
    Far.Install();
    FarPluginGUID = TestPluginGUID;
    InitializeFAR();
  }
  void TearDown() override {
    FinalizeFAR();
    FarPluginGUID = GUID{};
  }

  TFakeFar Far;
};
