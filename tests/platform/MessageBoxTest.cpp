#include "platform/MessageBox.h"

#include <gtest/gtest.h>

namespace voltara {
namespace {

TEST(MessageBoxTest, KeepsEveryMessageInOrder)
{
    const size_t before = MessageBox::history().size();
    MessageBox::show("first", "Caption A");
    MessageBox::show("second", "Caption B");

    const std::vector<MessageBox::Shown>& shown = MessageBox::history();
    ASSERT_EQ(shown.size(), before + 2);
    EXPECT_EQ(shown[before].text, "first");
    EXPECT_EQ(shown[before].caption, "Caption A");
    EXPECT_EQ(shown[before + 1].text, "second");
    EXPECT_EQ(shown[before + 1].caption, "Caption B");
}

} // namespace
} // namespace voltara
