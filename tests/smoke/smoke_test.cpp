#include <gtest/gtest.h>
#include "system/uWindows.h"
TEST(Smoke, Builds) { EXPECT_EQ(win::CP_UTF8, 65001u); }
