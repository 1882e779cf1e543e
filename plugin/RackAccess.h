#pragma once

#include <cstdint>

namespace voltara {

// What the editor sees of the rack: parameter values, the modulation lamps,
// the content folder and bank loading, and the host services its dialogs
// use. RackPlugin implements it; the editor builds on this view alone, so the
// rack builds and is tested without the editor.
class RackAccess {
public:
    // [any thread]
    virtual float getParameter(int32_t index) = 0;
    // [window thread] A change the user made: stored like the host's own, and
    // reported to the host so that it records automation.
    virtual void setParameterAndNotify(int32_t index, float value) = 0;
    // [window thread] The lamps of the modules that are on, three bits each.
    virtual float getLedState() const = 0;

    // [window thread] The content folder and banks.
    virtual bool contentMissing() const = 0;
    // Records the folder the user chose; it takes effect at the next load.
    virtual void setInstallPath(const char* folder) = 0;
    // 1 when a bank of 32 programs was read, 0 when the file changed nothing.
    virtual int32_t loadBankFile(const char* path) = 0;
    virtual const char* lastBankPath() const = 0;

    // [window thread] Host services the dialogs use.
    virtual bool askHostCapability(char* text) = 0;
    virtual bool openFileSelector(void* record) = 0;

protected:
    ~RackAccess() = default;
};

} // namespace voltara
