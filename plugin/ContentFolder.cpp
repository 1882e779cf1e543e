#include "plugin/ContentFolder.h"

#include "platform/MessageBox.h"
#include "platform/PathSeparator.h"
#include "platform/RegistryKey.h"
#include "platform/RegularFile.h"

namespace voltara {

namespace {

const char* const registryKey = "Software\\Brenmark\\Axewright Voltara";
const char* const installPathValue = "Install Path";
const char* const messageCaption = "Axewright Voltara Edition";

std::string contentFile(const std::string& folder, const char* subfolder, const char* name)
{
    return folder + subfolder + pathSeparator + name;
}

} // namespace

ContentFolder ContentFolder::fromRegistry()
{
    std::string value;
    RegistryKey(registryKey, RegistryKey::Access::query).readValue(installPathValue, value);
    return ContentFolder(value);
}

bool ContentFolder::storeInstallPath(const char* folder)
{
    const bool stored = RegistryKey(registryKey, RegistryKey::Access::full).writeString(installPathValue, folder);
    MessageBox::show(stored ? "Please reload the plug-in" : "Please reinstall the plug-in", messageCaption);
    return stored;
}

ContentFolder::ContentFolder(const std::string& value)
{
    const size_t end = value.find_first_of(std::string("\0\r\n", 3));
    std::string folder = value.substr(0, end);
    const size_t lastKept = folder.find_last_not_of(' ');
    folder.erase(lastKept == std::string::npos ? 0 : lastKept + 1);
    if (folder.empty() || folder.size() > maxValueLength)
        return;
    if (folder.back() != pathSeparator)
        folder += pathSeparator;
    path_ = folder;
}

std::string ContentFolder::whyNotContent(const char* folder)
{
    const ContentFolder chosen(folder ? folder : "");
    if (!chosen.isFound())
        return "The folder's name is empty or longer than " + std::to_string(maxValueLength)
               + " characters. Nothing was recorded.";
    std::string missing;
    if (!chosen.hasStyleData())
        missing = contentFile("", "Players", "Voltara.sty");
    if (readRegularFile(chosen.defaultBankPath().c_str(), nullptr, 0) < 0)
        missing += (missing.empty() ? "" : " and ") + contentFile("", "Presets", "Default.fxb");
    if (missing.empty())
        return "";
    return chosen.path() + " is not the AW Voltara Edition content folder: it holds no " + missing
           + ". Nothing was recorded.";
}

bool ContentFolder::acceptChosen(const char* folder)
{
    const std::string refusal = whyNotContent(folder);
    if (!refusal.empty())
        MessageBox::show(refusal.c_str(), messageCaption);
    return refusal.empty();
}

bool ContentFolder::hasStyleData() const
{
    return isFound() && readRegularFile(contentFile(path_, "Players", "Voltara.sty").c_str(), nullptr, 0) >= 0;
}

std::string ContentFolder::defaultBankPath() const
{
    return contentFile(path_, "Presets", "Default.fxb");
}

} // namespace voltara
