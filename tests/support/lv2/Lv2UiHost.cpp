#include "tests/support/lv2/Lv2UiHost.h"

#include "lv2/core/lv2.h"
#include "lv2/instance-access/instance-access.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"

#include <dlfcn.h>
#include <stdexcept>

namespace voltara::test {

struct Lv2UiHost::State {
    Lv2UiHost* host = nullptr;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    const LV2UI_Show_Interface* show = nullptr;

    LV2UI_Resize resize{this, &State::resized};
    LV2UI_Touch touch{this, &State::touched};
    LV2UI_Request_Value requestValue{this, &State::requested};
    std::vector<LV2_Feature> offered;

    static int resized(LV2UI_Feature_Handle handle, int width, int height)
    {
        auto* host = static_cast<State*>(handle)->host;
        host->resizedWidth = width;
        host->resizedHeight = height;
        return 0;
    }
    static void touched(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
    {
        static_cast<State*>(handle)->host->touches.push_back({port, grabbed});
    }
    static LV2UI_Request_Value_Status requested(LV2UI_Feature_Handle handle, LV2_URID key, LV2_URID,
                                                const LV2_Feature* const*)
    {
        static_cast<State*>(handle)->host->requestedKeys.push_back(key);
        return LV2UI_REQUEST_VALUE_SUCCESS;
    }
    static void written(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                        const void* buffer)
    {
        auto* host = static_cast<State*>(const_cast<void*>(controller))->host;
        if (protocol != 0 || size != sizeof(float))
            return;
        const Write write{port, *static_cast<const float*>(buffer)};
        host->writes.push_back(write);
        if (host->onWrite)
            host->onWrite(write);
    }
};

Lv2UiHost::Lv2UiHost(Lv2Host& plugin, const std::string& binaryPath, unsigned long parent, const Offer& offer)
    : state_(new State)
{
    State& s = *state_;
    s.host = this;
    s.library = dlopen(binaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry =
        s.library ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(s.library, "lv2ui_descriptor")) : nullptr;
    s.descriptor = entry ? entry(0) : nullptr;
    if (!s.descriptor) {
        const std::string why = s.library ? "no UI in " + binaryPath : dlerror();
        delete state_;
        throw std::runtime_error("cannot load the LV2 UI: " + why);
    }
    s.idle = static_cast<const LV2UI_Idle_Interface*>(s.descriptor->extension_data(LV2_UI__idleInterface));
    s.show = static_cast<const LV2UI_Show_Interface*>(s.descriptor->extension_data(LV2_UI__showInterface));
    s.offered.push_back({LV2_URID__map, plugin.map()});
    s.offered.push_back({LV2_UI__resize, &s.resize});
    s.offered.push_back({LV2_UI__idleInterface, nullptr});
    if (parent)
        s.offered.push_back({LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(parent))});
    if (offer.instanceAccess)
        s.offered.push_back({LV2_INSTANCE_ACCESS_URI, plugin.instance()});
    if (offer.touch)
        s.offered.push_back({LV2_UI__touch, &s.touch});
    if (offer.requestValue)
        s.offered.push_back({LV2_UI__requestValue, &s.requestValue});
    std::vector<const LV2_Feature*> features;
    for (const LV2_Feature& feature : s.offered)
        features.push_back(&feature);
    features.push_back(nullptr);
    LV2UI_Widget widget = nullptr;
    handle_ =
        s.descriptor->instantiate(s.descriptor, lv2::pluginUri, "", &State::written, &s, &widget, features.data());
    widget_ = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(widget));
}

Lv2UiHost::~Lv2UiHost()
{
    close();
    // The UI's library stays loaded, as it asks (it may still run when a host closes it from inside a call).
    delete state_;
}

int Lv2UiHost::idle()
{
    return handle_ && state_->idle ? state_->idle->idle(handle_) : 1;
}

void Lv2UiHost::portEvent(uint32_t port, float value)
{
    if (handle_)
        state_->descriptor->port_event(handle_, port, sizeof value, 0, &value);
}

int Lv2UiHost::show()
{
    return handle_ && state_->show ? state_->show->show(handle_) : 1;
}

int Lv2UiHost::hide()
{
    return handle_ && state_->show ? state_->show->hide(handle_) : 1;
}

void Lv2UiHost::close()
{
    if (!handle_)
        return;
    void* handle = handle_;
    handle_ = nullptr;
    state_->descriptor->cleanup(handle);
}

} // namespace voltara::test
