#include "platform/Window.h"
#include "platform/linux/Host.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fstream>
#include <string>

namespace voltara {
namespace {

using Open = platform::Window (*)(platform::Window);
using Close = void (*)();

struct LoadedCopy {
    explicit LoadedCopy(const std::string& path) : library(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (library) {
            open = reinterpret_cast<Open>(dlsym(library, "voltaraProbeOpen"));
            close = reinterpret_cast<Close>(dlsym(library, "voltaraProbeClose"));
        }
    }
    ~LoadedCopy()
    {
        if (library)
            dlclose(library);
    }
    void* library;
    Open open = nullptr;
    Close close = nullptr;
};

std::string className(platform::Window window)
{
    char name[64] = "";
    platform::GetClassNameA(window, name, sizeof name);
    return name;
}

TEST(TwoCopiesTest, EachLoadedCopyOfTheLibraryRegistersItsOwnWindowClass)
{
    TempFolder folder;
    std::ifstream original(VOLTARA_GUI_PROBE, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    folder.write("a/probe.so", bytes);
    folder.write("b/probe.so", bytes);
    platform::Window parent = platform::host::createParentWindow(100, 100);
    {
        LoadedCopy first(folder.file("a/probe.so")), second(folder.file("b/probe.so"));
        ASSERT_TRUE(first.open && second.open) << dlerror();
        platform::Window a = first.open(parent), b = second.open(parent);
        const std::string nameA = className(a), nameB = className(b);
        EXPECT_EQ(nameA.size(), 14u);
        EXPECT_EQ(nameA.rfind("Plugin", 0), 0u);
        EXPECT_EQ(nameB.rfind("Plugin", 0), 0u);
        EXPECT_NE(nameA, nameB);
        first.close();
        second.close();
        platform::WindowClass found;
        EXPECT_FALSE(platform::GetClassInfoA(nullptr, nameA.c_str(), &found));
        EXPECT_FALSE(platform::GetClassInfoA(nullptr, nameB.c_str(), &found));
    }
    platform::DestroyWindow(parent);
}

} // namespace
} // namespace voltara
