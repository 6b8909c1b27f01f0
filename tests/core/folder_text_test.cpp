#include "core/folder_text.h"

#include <gtest/gtest.h>

namespace quaff {
namespace {

TEST(WithTrailingSeparator, EndsInExactlyOneSeparator) {
    const struct {
        const char* folder;
        const char* expected;
    } cases[] = {
        {"D:\\Pics", "D:\\Pics\\"},
        {"D:\\Pics\\", "D:\\Pics\\"},
        {"C:\\", "C:\\"},
        {"D:/Pics/", "D:/Pics/"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"", "\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithTrailingSeparator(c.folder), c.expected) << c.folder;
}

}  // namespace
}  // namespace quaff
