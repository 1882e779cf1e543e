// The rack's own editor as the LV2 plug-in's UI (ui:X11UI). The UI reaches
// the running plug-in through the host's instance access: the editor it
// shows is the rack's own, so every change from anywhere (the host's ports,
// presets, MIDI inside the rack) moves its controls, and its lamps read the
// same lamps as the lamp outputs. What the user does goes to the host
// through write_function on the matching control port, inside a gesture
// (touch where the host offers it). A host without instance access gets no
// UI from here and shows its own generic controls.

#include "lv2/EditorLink.h"
#include "lv2/PortTable.h"
#include "plugin/host/FileSelector.h"
#include "plugin/host/PluginDescriptor.h"
#include "plugin/host/VendorCalls.h"
#include "tools/livehost/FileSelection.h"
#include "tools/livehost/LiveEditor.h"

#include "lv2/atom/atom.h"
#include "lv2/core/lv2.h"
#include "lv2/core/lv2_util.h"
#include "lv2/instance-access/instance-access.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

namespace voltara::lv2 {
namespace {

constexpr const char* productName = "AW Voltara FX";

// The LV2 port of each rack parameter.
struct PortOfParameter {
    uint32_t port[controlPortCount];
    PortOfParameter()
    {
        for (uint32_t i = 0; i < controlPortCount; ++i)
            port[controlParameter[i]] = firstControlPort + i;
    }
};
const PortOfParameter portOf;

class EditorUi final : public EditorLink::Listener {
public:
    EditorUi(EditorLink& link, LV2UI_Write_Function write, LV2UI_Controller controller)
        : link_(link), write_(write), controller_(controller)
    {
        for (float& value : seen_)
            value = std::numeric_limits<float>::quiet_NaN();
    }

    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Request_Value* requestValue = nullptr;
    LV2_URID bankKey = 0;
    LV2_URID contentFolderKey = 0;
    LV2_URID pathType = 0;

    // The editor in the host's window (parent), or on its own (0).
    bool open(unsigned long parent, std::string& why)
    {
        platform::x11::Presenter::Settings settings;
        settings.parent = parent;
        settings.title = productName;
        link_.attach(this);
        ++busy_; // the questions the editor asks as it opens
        editor_ = livehost::LiveEditor::open(link_.rack().descriptor(), settings, why);
        --busy_;
        if (!editor_) {
            link_.attach(nullptr);
            return false;
        }
        if (resize)
            resize->ui_resize(resize->handle, editor_->width(), editor_->height());
        return true;
    }
    unsigned long window() const { return editor_ ? editor_->presenter().xWindow() : 0; }

    // [host] 0 while the editor is open, 1 once its window is gone.
    int idle()
    {
        if (closing_ || !editor_)
            return closing_ ? 1 : 0;
        ++busy_;
        bool shown = editor_->service(0);
        // The editor's idle at the host's rate: what changed shows now.
        if (shown && !closing_)
            editor_->idleNow();
        takeChosenPath();
        if (syncPending_ && !closing_) {
            syncPending_ = false;
            tellHostEveryValue();
        }
        --busy_;
        if (closing_) {
            finishClosing();
            return 1;
        }
        return shown ? 0 : 1;
    }

    // [host] A control's value from the host: the rack takes it (the editor
    // follows) unless it only echoes the user's own edit.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
    {
        if (format != 0 || size != sizeof(float) || port < firstControlPort || port >= firstLampPort || closing_)
            return;
        const uint32_t i = port - firstControlPort;
        const float value = *static_cast<const float*>(buffer);
        const float before = seen_[i];
        seen_[i] = value;
        // The first value told is the host's port as it stands, which the
        // rack has had since (MIDI may have moved it on since).
        if (std::isnan(before) || value == before || link_.edits.isEcho(controlParameter[i], value))
            return;
        link_.rack().setParameter(controlParameter[i], value);
    }

    // [host] The UI goes; while user input runs in it (a click the host
    // answered by closing us), it goes once the input has returned.
    void cleanup()
    {
        closing_ = true;
        link_.attach(nullptr);
        if (editor_)
            editor_->close();
        if (busy_ == 0)
            finishClosing();
    }

    // [host] show / hide: the editor in a window of its own.
    int show()
    {
        std::string why;
        if (!editor_ && !open(0, why))
            std::fprintf(stderr, "%s: cannot show the editor: %s\n", productName, why.c_str());
        return editor_ ? 0 : 1;
    }
    int hide()
    {
        if (busy_ > 0)
            return 1; // a click in the window still runs
        editor_.reset();
        link_.attach(nullptr);
        return 0;
    }

    void automate(int32_t parameter, float value) override
    {
        if (parameter < 0 || parameter >= int32_t(controlPortCount) || closing_)
            return;
        link_.edits.wrote(parameter, value);
        const uint32_t port = portOf.port[parameter];
        seen_[port - firstControlPort] = value;
        write_(controller_, port, sizeof value, 0, &value);
    }

    void gesture(int32_t parameter, bool begins) override
    {
        if (parameter < 0 || parameter >= int32_t(controlPortCount) || closing_)
            return;
        link_.edits.hold(parameter, begins);
        if (touch)
            touch->touch(touch->handle, portOf.port[parameter], begins);
    }

    bool selectFile(void* pointer) override
    {
        auto& request = *static_cast<FileSelectRecord*>(pointer);
        const bool bank = request.command == FileSelectRecord::chooseFile;
        // The host's own chooser where it offers one: the answer comes later,
        // through the plug-in (takeChosenPath).
        if (requestValue
            && requestValue->request(requestValue->handle, bank ? bankKey : contentFolderKey, pathType, nullptr)
                   == LV2UI_REQUEST_VALUE_SUCCESS)
            return false;
        const bool chosen = livehost::selectWithDesktop(request);
        syncPending_ = syncPending_ || (chosen && bank);
        return chosen;
    }

private:
    ~EditorUi() = default;
    friend class std::default_delete<EditorUi>;

    void finishClosing()
    {
        editor_.reset();
        delete this;
    }

    // What the host chose for a request of ours, as the editor would have
    // done it with the answer.
    void takeChosenPath()
    {
        std::string path;
        const EditorLink::Chosen what = link_.take(path);
        if (what == EditorLink::Chosen::bank) {
            link_.rack().dispatch(opVendorCall, VendorCall::loadBank, 0, path.data());
            tellHostEveryValue();
        } else if (what == EditorLink::Chosen::contentFolder) {
            link_.rack().dispatch(opVendorCall, VendorCall::setContentFolder, 0, path.data());
        }
    }

    // After a bank: the host's ports take the rack's values.
    void tellHostEveryValue()
    {
        for (uint32_t i = 0; i < controlPortCount; ++i) {
            const int32_t parameter = controlParameter[i];
            const float value = link_.rack().parameter(parameter);
            if (value != seen_[i])
                automate(parameter, value);
        }
    }

    EditorLink& link_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    std::unique_ptr<livehost::LiveEditor> editor_;
    float seen_[controlPortCount]; // each control port's value as the host last told it (or we wrote it)
    int busy_ = 0;                 // host calls into the editor now running
    bool closing_ = false;
    bool syncPending_ = false;
};

// [UI thread]
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* plugin, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    void* instance = nullptr;
    void* parent = nullptr;
    const LV2_URID_Map* map = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Request_Value* requestValue = nullptr;
    lv2_features_query(features, LV2_INSTANCE_ACCESS_URI, &instance, true, LV2_UI__parent, &parent, false,
                       LV2_URID__map, &map, false, LV2_UI__resize, &resize, false, LV2_UI__touch, &touch, false,
                       LV2_UI__requestValue, &requestValue, false, nullptr);
    auto* link = static_cast<EditorLink*>(instance);
    if (!plugin || std::strcmp(plugin, pluginUri) != 0 || !link || link->magic != EditorLink::expectedMagic
        || link->version != EditorLink::currentVersion) {
        std::fprintf(stderr, "%s: the UI needs the host's instance access to the running plug-in\n", productName);
        return nullptr;
    }
    auto* ui = new (std::nothrow) EditorUi(*link, write, controller);
    if (!ui)
        return nullptr;
    ui->resize = resize;
    ui->touch = touch;
    if (map && requestValue) {
        ui->requestValue = requestValue;
        ui->bankKey = map->map(map->handle, bankParameterUri);
        ui->contentFolderKey = map->map(map->handle, contentFolderParameterUri);
        ui->pathType = map->map(map->handle, LV2_ATOM__Path);
    }
    if (parent) {
        std::string why;
        if (!ui->open(reinterpret_cast<uintptr_t>(parent), why)) {
            std::fprintf(stderr, "%s: cannot show the editor: %s\n", productName, why.c_str());
            ui->cleanup();
            return nullptr;
        }
    }
    *widget = reinterpret_cast<LV2UI_Widget>(uintptr_t(ui->window()));
    return ui;
}

void cleanup(LV2UI_Handle handle)
{
    static_cast<EditorUi*>(handle)->cleanup();
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    static_cast<EditorUi*>(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle)
{
    return static_cast<EditorUi*>(handle)->idle();
}

int show(LV2UI_Handle handle)
{
    return static_cast<EditorUi*>(handle)->show();
}

int hide(LV2UI_Handle handle)
{
    return static_cast<EditorUi*>(handle)->hide();
}

const void* extensionData(const char* uri)
{
    static const LV2UI_Idle_Interface idleInterface{idle};
    static const LV2UI_Show_Interface showInterface{show, hide};
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    if (std::strcmp(uri, LV2_UI__showInterface) == 0)
        return &showInterface;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {uiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace
} // namespace voltara::lv2

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &voltara::lv2::descriptor : nullptr;
}
