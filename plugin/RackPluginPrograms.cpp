#include "plugin/RackPlugin.h"

#include "plugin/BankReader.h"
#include "plugin/ContentFolder.h"
#include "plugin/host/HostEditor.h"

#include <cstdio>
#include <string>

namespace voltara {

namespace {

bool isProgram(int32_t program)
{
    return program >= 0 && program < rackProgramCount;
}

} // namespace

void RackPlugin::setProgram(int32_t program)
{
    loadProgram(program);
}

// Only puts the program's values in force: no program record is written, so
// a host's program switch racing a MIDI program change on the audio thread
// cannot carry one program's values into another. Of two racing switches the
// later one wins: a switch that finds another program current once it is
// done puts that one in force too.
void RackPlugin::loadProgram(int32_t program)
{
    if (!isProgram(program))
        return;
    currentProgram_ = program;
    for (int32_t p = program;;) {
        for (int32_t index = 0; index < rackParameterCount; ++index)
            applyParameter(index, programs_[p].values[index].load());
        const int32_t current = currentProgram_.load();
        if (current == p)
            break;
        p = current;
    }
    if (editor_)
        editor_->requestRefresh();
}

void RackPlugin::setProgramName(char* name)
{
    programs_[currentProgram_.load()].setName(name);
}

void RackPlugin::getProgramName(char* name)
{
    programs_[currentProgram_.load()].copyName(name);
}

bool RackPlugin::getProgramNameAt(int32_t, int32_t program, char* text)
{
    if (!isProgram(program))
        return false;
    programs_[program].copyName(text);
    return true;
}

bool RackPlugin::copyProgramValues(intptr_t number, float* values) const
{
    if (number < 0 || number >= rackProgramCount || values == nullptr)
        return false;
    for (int32_t index = 0; index < rackParameterCount; ++index)
        values[index] = programs_[number].values[index].load();
    return true;
}

bool RackPlugin::copyProgram(int32_t destination)
{
    if (!isProgram(destination))
        return false;
    programs_[destination] = programs_[currentProgram_.load()];
    return true;
}

int32_t RackPlugin::loadBankFile(const char* path)
{
    // A file that is not a bank of ours, or holds no whole program, changes nothing.
    const int32_t blocks = BankReader::read(path, bankBuffer_.get());
    if (blocks == 0)
        return 0;
    std::snprintf(lastBankPath_, sizeof lastBankPath_, "%s", path);
    for (int32_t p = 0; p < blocks; ++p)
        BankReader::decodeProgram(bankBuffer_.get() + p * BankFormat::blockSize, programs_[p]);
    setProgram(getProgram());
    return refreshHost() ? 1 : 0;
}

void RackPlugin::initContent()
{
    const ContentFolder folder = ContentFolder::fromRegistry();
    std::snprintf(contentFolderPath_, sizeof contentFolderPath_, "%s", folder.path().c_str());
    if (!folder.hasStyleData()) {
        contentMissing_ = 1;
        return;
    }
    for (int32_t p = 0; p < rackProgramCount; ++p) {
        programs_[p].setName(" ");
        programs_[p].values[0] = static_cast<float>(p) * 0.01f;
    }
    programs_[0].setName("[nothing loaded]");
    const std::string bank = folder.defaultBankPath();
    std::snprintf(lastBankPath_, sizeof lastBankPath_, "%s", bank.c_str());
    loadBankFile(bank.c_str());
}

void RackPlugin::setInstallPath(const char* folder)
{
    if (!folder || !*folder)
        return;
    // A folder that would not give the next load its content is not recorded:
    // the user hears why, and is asked again at the next open.
    if (!ContentFolder::acceptChosen(folder))
        return;
    ContentFolder::storeInstallPath(folder);
    contentMissing_ = 0;
    programs_[0].setName("Please reload plug-in");
    refreshHost();
}

} // namespace voltara
