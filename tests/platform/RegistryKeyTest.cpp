#include "platform/RegistryKey.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace voltara {
namespace {

const char* const key = "Software\\Brenmark\\Axewright Voltara";
const char* const keyFolder = "HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara";

struct RegistryKeyTest : testing::Test {
    TempFolder store;
    ScopedEnvironment root{"VOLTARA_REGISTRY", store.path().c_str()};
};

TEST_F(RegistryKeyTest, ReadsTheRawBytesOfAValueFile)
{
    const std::string bytes("D:\\Content\r\nmore\0tail", 21);
    store.write(std::string(keyFolder) + "/Install Path", bytes);

    RegistryKey opened(key, RegistryKey::Access::query);
    std::string read;
    ASSERT_TRUE(opened.readValue("Install Path", read));
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(opened.readValue("Other", read));
}

TEST_F(RegistryKeyTest, AValueLongerThanTheBoundIsUnreadable)
{
    store.write(std::string(keyFolder) + "/Install Path", std::string(RegistryKey::maxValueSize + 1, 'x'));
    store.write(std::string(keyFolder) + "/Longest", std::string(RegistryKey::maxValueSize, 'x'));
    RegistryKey opened(key, RegistryKey::Access::query);
    std::string read = "kept";
    EXPECT_FALSE(opened.readValue("Install Path", read));
    EXPECT_EQ(read, "kept");
    EXPECT_TRUE(opened.readValue("Longest", read));
    EXPECT_EQ(read.size(), RegistryKey::maxValueSize);
}

TEST_F(RegistryKeyTest, AMissingKeyDoesNotOpenForQuery)
{
    RegistryKey missing(key, RegistryKey::Access::query);
    std::string read;
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.readValue("Install Path", read));
}

TEST_F(RegistryKeyTest, FullAccessCreatesTheKeyAndStoresTheStringWithItsTerminator)
{
    {
        RegistryKey writable(key, RegistryKey::Access::full);
        ASSERT_TRUE(writable.isOpen());
        EXPECT_TRUE(writable.writeString("Install Path", "/opt/content"));
    }
    std::string read;
    EXPECT_TRUE(RegistryKey(key, RegistryKey::Access::query).readValue("Install Path", read));
    EXPECT_EQ(read, std::string("/opt/content", 13));
}

TEST_F(RegistryKeyTest, AStoreThatCannotBeCreatedDoesNotOpen)
{
    store.write("occupied", "a file where the store should be");
    ScopedEnvironment blocked("VOLTARA_REGISTRY", store.file("occupied").c_str());

    RegistryKey writable(key, RegistryKey::Access::full);
    EXPECT_FALSE(writable.isOpen());
    EXPECT_FALSE(writable.writeString("Install Path", "/opt/content"));
}

TEST_F(RegistryKeyTest, TheStoreFallsBackToTheUserConfigurationFolders)
{
    struct Case {
        const char* xdgConfigHome;
        const char* home;
        const char* storeBelow; // relative to the temporary folder
    };
    const Case cases[] = {
        {"xdg", "home", "xdg/voltara/registry"},
        {"", "home", "home/.config/voltara/registry"},
        {nullptr, "home", "home/.config/voltara/registry"},
    };
    ScopedEnvironment noRoot("VOLTARA_REGISTRY", nullptr);
    for (const Case& c : cases) {
        const std::string xdg = c.xdgConfigHome && *c.xdgConfigHome ? store.file(c.xdgConfigHome) : "";
        ScopedEnvironment config("XDG_CONFIG_HOME", c.xdgConfigHome ? xdg.c_str() : nullptr);
        ScopedEnvironment home("HOME", store.file(c.home).c_str());
        store.write(std::string(c.storeBelow) + "/HKEY_LOCAL_MACHINE/Key/Value", "found");

        std::string read;
        EXPECT_TRUE(RegistryKey("Key", RegistryKey::Access::query).readValue("Value", read)) << c.storeBelow;
        EXPECT_EQ(read, "found") << c.storeBelow;
    }
}

} // namespace
} // namespace voltara
