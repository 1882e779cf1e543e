#include "platform/Gdi.h"
#include "platform/Module.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <string>

namespace voltara {
namespace {

int32_t headerWord(const std::string& bytes, size_t at)
{
    return int32_t(uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8
                   | uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24);
}

// Every resources/bitmaps/<id>.bmp is a bitmap resource of the loaded plug-in.
TEST(BitmapResourceTest, ThePlugInCarriesEveryBitmapOfTheResourceFolder)
{
    test::TestHost host;
    const platform::Module plugin = platform::ModuleFromAddress(reinterpret_cast<const void*>(host.mainEntry()));
    ASSERT_NE(plugin, nullptr);
    const std::string folder = std::string(VOLTARA_SOURCE_DIR) + "/resources/bitmaps";
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        GTEST_SKIP() << "no bitmaps yet";
    int checked = 0;
    while (dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() < 5 || name.substr(name.size() - 4) != ".bmp")
            continue;
        std::ifstream file(folder + "/" + name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 26u) << name;
        const int id = std::stoi(name);
        platform::GdiObject bitmap = platform::LoadBitmapA(plugin, platform::intResource(uint32_t(id)));
        ASSERT_NE(bitmap, nullptr) << name;
        platform::BitmapInfo info{};
        platform::GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.width, headerWord(bytes, 18)) << name;
        EXPECT_EQ(info.height, std::abs(headerWord(bytes, 22))) << name;
        platform::DeleteObject(bitmap);
        ++checked;
    }
    closedir(listing);
    if (checked == 0)
        GTEST_SKIP() << "no bitmaps yet";
}

} // namespace
} // namespace voltara
