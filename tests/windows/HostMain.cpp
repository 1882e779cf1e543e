// The Windows test host: loads the plug-in DLL as an audio host does and
// checks it against the real Windows API.
//   voltara_winhost PLUGIN.dll PLAN
// The plan (see Plan.h) lists what the Linux side prepared; the host prints
// one line per check and exits with 1 when any failed.
#include "tests/windows/Checks.h"
#include "tests/windows/GdiBalance.h"

#include <cstdio>
#include <exception>
#include <memory>

int main(int argc, char** argv)
{
    using namespace voltara::winhost;
    if (argc != 3) {
        std::fprintf(stderr, "usage: voltara_winhost PLUGIN.dll PLAN\n");
        return 2;
    }
    CheckLog log;
    Plan plan;
    if (!log.check(plan.read(argv[2]), std::string("plan ") + argv[2] + " read"))
        return 1;
    std::unique_ptr<PluginDll> loaded;
    try {
        loaded = std::make_unique<PluginDll>(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    if (log.check(loaded != nullptr, std::string("LoadLibrary ") + argv[1])) {
        const PluginDll& dll = *loaded;
        log.check(dll.entry<void (*)()>("main") != nullptr, "GetProcAddress main");
        log.check(GdiBalance::install(moduleOf(dll)), "the DLL's GDI objects and device contexts are counted");
        if (!plan.all("installed").empty()) { // leaves the registry as the installer wrote it
            checkInstalled(log, dll, plan);
            checkAudio(log, dll, plan);
        } else {
            checkResources(log, dll, plan);
            checkContent(log, dll, plan);
            checkAudio(log, dll, plan);
            checkCodec(log, dll, plan);
            checkEditor(log, dll, plan);
            checkDialogs(log, dll, plan);
        }
        const GdiBalance::Live live = GdiBalance::live();
        log.check(live.objects == 0 && live.memoryDcs == 0 && live.windowDcs == 0,
                  "every closed instance gave back its GDI objects and device contexts");
    }
    return log.summary() ? 0 : 1;
}
