#include "settings/text_rules.h"

#include <gtest/gtest.h>

TEST(Placeholder, Builds) { EXPECT_EQ(kelvo::ParseLeadingNumber("1"), 1); }
