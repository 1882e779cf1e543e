#include "tools/livehost/FileSelection.h"

#include "platform/linux/x11/DesktopDialogs.h"
#include "plugin/host/PluginDescriptor.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace voltara::livehost {
namespace {

using platform::x11::DesktopDialogs;

// "*.fxb" and "*.FXB" for an extension "fxb".
void addPatterns(std::vector<std::string>& patterns, const char* extension)
{
    std::string lower(extension), upper(extension);
    if (lower.empty())
        return;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    for (const std::string& pattern : {"*." + lower, "*." + upper})
        if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end())
            patterns.push_back(pattern);
}

} // namespace

bool selectWithDesktop(FileSelectRecord& request)
{
    if (!request.returnPath)
        return false;
    const std::string title(request.title, strnlen(request.title, sizeof request.title));
    const std::string initial = request.initialPath ? std::string(request.initialPath) : std::string();
    std::optional<std::string> chosen;
    if (request.command == FileSelectRecord::chooseFolder) {
        chosen = DesktopDialogs::chooseFolder(title, initial);
    } else {
        std::vector<DesktopDialogs::FileType> types;
        for (int32_t i = 0; request.types && i < request.typeCount; ++i) {
            const FileTypeRecord& type = request.types[i];
            DesktopDialogs::FileType shown{std::string(type.name, strnlen(type.name, sizeof type.name)), {}};
            addPatterns(shown.patterns, std::string(type.extension, strnlen(type.extension, 8)).c_str());
            addPatterns(shown.patterns, std::string(type.secondExtension, strnlen(type.secondExtension, 8)).c_str());
            if (!shown.patterns.empty())
                types.push_back(shown);
        }
        chosen = DesktopDialogs::chooseFile(title, initial, types);
    }
    if (!chosen || chosen->size() >= FileSelectRecord::pathSize)
        return false;
    std::snprintf(request.returnPath, FileSelectRecord::pathSize, "%s", chosen->c_str());
    return true;
}

std::optional<intptr_t> answerFileRequest(int32_t opcode, void* pointer)
{
    switch (opcode) {
    case hostCapability:
        return pointer && std::strcmp(static_cast<const char*>(pointer), "openFileSelector") == 0 ? 1 : 0;
    case hostOpenFileSelector: return pointer && selectWithDesktop(*static_cast<FileSelectRecord*>(pointer)) ? 1 : 0;
    default: return std::nullopt;
    }
}

} // namespace voltara::livehost
