#include "platform/Gdi.h"
#include "platform/Module.h"
#include "resources/BitmapTable.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

namespace voltara {
namespace {

// The editor's bitmaps are resources of the loaded plug-in, at their sizes.
TEST(BitmapResourceTest, ThePlugInCarriesEveryBitmapOfTheEditor)
{
    test::TestHost host;
    const platform::Module plugin = platform::ModuleFromAddress(reinterpret_cast<const void*>(host.mainEntry()));
    ASSERT_NE(plugin, nullptr);
    for (const BitmapEntry& entry : bitmapTable) {
        platform::GdiObject bitmap = platform::LoadBitmapA(plugin, platform::intResource(uint32_t(entry.id)));
        ASSERT_NE(bitmap, nullptr) << entry.id;
        platform::BitmapInfo info{};
        platform::GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.width, entry.width) << entry.id;
        EXPECT_EQ(info.height, entry.height) << entry.id;
        platform::DeleteObject(bitmap);
    }
    EXPECT_EQ(platform::LoadBitmapA(plugin, platform::intResource(1)), nullptr);
}

} // namespace
} // namespace voltara
