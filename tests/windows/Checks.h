#pragma once

#include "tests/windows/CheckLog.h"
#include "tests/windows/Plan.h"
#include "tests/windows/PluginInstance.h"

// The checks of the Windows host, each against the real Windows API and the
// files the Linux side prepared.
namespace voltara::winhost {

// The version record and the sixteen bitmaps, read back from the DLL.
void checkResources(CheckLog& log, const PluginDll& dll, const Plan& plan);
// The content folder found through "Install Path" in the machine registry,
// and the factory bank read from it. Leaves the value pointing at the folder.
void checkContent(CheckLog& log, const PluginDll& dll, const Plan& plan);
// The plug-in as the installer left it: the factory bank found through the
// registry value it wrote, and programs that must fail while the plug-in is
// loaded ("installed" and "busy" lines of the plan).
void checkInstalled(CheckLog& log, const PluginDll& dll, const Plan& plan);
// Audio rendered here against the Linux build's rendering of the same input.
void checkAudio(CheckLog& log, const PluginDll& dll, const Plan& plan);
// Kestrelwave files decoded and encoded through FIO_InitPlugin.
void checkCodec(CheckLog& log, const PluginDll& dll, const Plan& plan);
// The editor in a window of the host's: opened, driven by idle and real
// mouse input, captured, closed; the parameters and host calls the input
// caused, and the GDI objects it left.
void checkEditor(CheckLog& log, const PluginDll& dll, const Plan& plan);
// The editor's dialogs through the host's file selector: the content folder
// stored in the machine registry with a message box, and a bank loaded.
void checkDialogs(CheckLog& log, const PluginDll& dll, const Plan& plan);

} // namespace voltara::winhost
