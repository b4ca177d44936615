#include <gtest/gtest.h>

#include "common/text.h"

namespace vsu {
namespace {

TEST(TrimSpaces, RemovesSpacesOnlyNotTabs) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimSpaces(" \t "), "\t");
  EXPECT_EQ(TrimSpaces("    "), "");
  EXPECT_EQ(TrimSpaces(""), "");
}

TEST(DropOneTrailingBackslash, RemovesOnlyOne) {
  EXPECT_EQ(DropOneTrailingBackslash("c:\\x\\\\"), "c:\\x\\");
  EXPECT_EQ(DropOneTrailingBackslash("c:\\x"), "c:\\x");
  EXPECT_EQ(DropOneTrailingBackslash(""), "");
}

TEST(ContainsIgnoringCase, IsAContainmentTest) {
  EXPECT_TRUE(ContainsIgnoringCase("C:\\PROGRAM FILES\\VELASCAN.EXE", "velascan.exe"));
  EXPECT_TRUE(ContainsIgnoringCase("c:\\x\\oldvelascan.exe", "VelaScan.exe"));
  EXPECT_FALSE(ContainsIgnoringCase("c:\\x\\velascan.ex", "velascan.exe"));
}

}  // namespace
}  // namespace vsu
