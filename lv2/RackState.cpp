#include "lv2/RackState.h"

#include "lv2/PortTable.h"
#include "tools/pluginhost/RackSessionText.h"

#include "lv2/atom/atom.h"
#include "lv2/core/lv2_util.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

namespace voltara::lv2 {
namespace {

using pluginhost::RackSession;
namespace RackSessionText = pluginhost::RackSessionText;

constexpr uint32_t portableValue = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
constexpr double expectedSeconds = 1.0;

// The controls as saved: an atom vector body and 72 floats.
struct SavedControls {
    LV2_Atom_Vector_Body body;
    float values[RackSession::parameterCount];
};

} // namespace

std::string RackState::sessionKey()
{
    return std::string(pluginUri) + ":session";
}

std::string RackState::controlsKey()
{
    return std::string(pluginUri) + ":controls";
}

RackState::RackState(PluginDescriptor* rack, ControlInputs& controls, const LV2_URID_Map* map, const LV2_Log_Log* log,
                     double rate)
    : rack_(rack), controls_(controls), log_(log),
      expectedFrames_(uint32_t(std::clamp(rate * expectedSeconds, 1.0, double(std::numeric_limits<uint32_t>::max()))))
{
    if (map == nullptr)
        return;
    const auto id = [map](const std::string& uri) { return map->map(map->handle, uri.c_str()); };
    mapped_ = true;
    sessionKey_ = id(sessionKey());
    controlsKey_ = id(controlsKey());
    atomString_ = id(LV2_ATOM__String);
    atomVector_ = id(LV2_ATOM__Vector);
    atomFloat_ = id(LV2_ATOM__Float);
    logError_ = id(LV2_LOG__Error);
    logWarning_ = id(LV2_LOG__Warning);
    logTrace_ = id(LV2_LOG__Trace);
}

void RackState::tell(LV2_URID level, const std::string& line) const
{
    if (log_ != nullptr)
        log_->printf(log_->handle, level, "Voltara: %s\n", line.c_str());
}

LV2_State_Status RackState::save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (!mapped_)
        return LV2_STATE_ERR_NO_FEATURE;
    // A session restored but not yet taken by run is what the rack is about to hold.
    std::optional<RackSession> session;
    SavedControls controls{{sizeof(float), atomFloat_}, {}};
    if (handover_.load(std::memory_order_acquire) >= ready) {
        session = session_;
        const auto& current = session_.programs[std::size_t(session_.current)].values;
        for (int32_t index = 0; index < RackSession::parameterCount; ++index)
            controls.values[index] =
                std::isnan(savedControls_[index]) ? current[std::size_t(index)] : savedControls_[index];
    } else {
        session = RackSession::capture(rack_);
        for (int32_t index = 0; index < RackSession::parameterCount; ++index) {
            const float taken = controls_.taken(index);
            controls.values[index] = std::isnan(taken) ? rack_->getParameter(rack_, index) : taken;
        }
    }
    if (!session) {
        tell(logError_, "the rack does not tell its programs: nothing saved");
        return LV2_STATE_ERR_UNKNOWN;
    }
    const std::string text = RackSessionText::write(*session);
    const LV2_State_Status stored =
        store(handle, sessionKey_, text.c_str(), text.size() + 1, atomString_, portableValue);
    if (stored != LV2_STATE_SUCCESS)
        return stored;
    return store(handle, controlsKey_, &controls, sizeof controls, atomVector_, portableValue);
}

LV2_State_Status RackState::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                    const LV2_Feature* const* features)
{
    if (!mapped_)
        return LV2_STATE_ERR_NO_FEATURE;
    if (log_ == nullptr && features != nullptr)
        log_ = static_cast<const LV2_Log_Log*>(lv2_features_data(features, LV2_LOG__log));
    std::size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* text = retrieve(handle, sessionKey_, &size, &type, &flags);
    if (text == nullptr)
        return LV2_STATE_SUCCESS; // a state without a session, such as a preset's, leaves the programs alone
    if (type != atomString_) {
        tell(logError_, "the saved session is not text: nothing restored, the programs stay as they were");
        return LV2_STATE_ERR_BAD_TYPE;
    }

    // While active the slot may hold a session run has not taken yet: this
    // one is read over it. Only run's taking is waited for, never run.
    int state = handover_.load(std::memory_order_acquire);
    if (active_) {
        while (state == taking || !handover_.compare_exchange_weak(state, writing, std::memory_order_acquire)) {
            if (state == taking)
                std::this_thread::yield();
            state = handover_.load(std::memory_order_acquire);
        }
    }
    if (state != ready) {
        std::optional<RackSession> current = RackSession::capture(rack_);
        if (!current) {
            handover_.store(empty, std::memory_order_release);
            tell(logError_, "the rack does not tell its programs: nothing restored");
            return LV2_STATE_ERR_UNKNOWN;
        }
        session_ = std::move(*current);
    }
    const RackSessionText::Report report =
        RackSessionText::read(std::string_view(static_cast<const char*>(text), size), session_);
    for (const std::string& problem : report.problems)
        tell(report.isSession ? logWarning_ : logError_, "restoring the saved session: " + problem);
    if (!report.isSession) {
        // What the slot held before stays on its way.
        handover_.store(state == ready ? ready : empty, std::memory_order_release);
        return LV2_STATE_SUCCESS;
    }
    if (!readControls(retrieve, handle))
        tell(logWarning_, "restoring the saved session: its controls are not 72 numbers, so the host's controls "
                          "apply over the current program");
    tell(logTrace_, "restored the saved session, program " + std::to_string(session_.current) + " current");

    if (active_)
        handover_.store(ready, std::memory_order_release);
    else
        apply();
    return LV2_STATE_SUCCESS;
}

bool RackState::readControls(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    std::fill(std::begin(savedControls_), std::end(savedControls_), std::numeric_limits<float>::quiet_NaN());
    std::size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* value = retrieve(handle, controlsKey_, &size, &type, &flags);
    if (value == nullptr)
        return true; // a session written by hand: the host's controls apply, as after a preset
    SavedControls controls;
    if (type != atomVector_ || size != sizeof controls)
        return false;
    std::memcpy(&controls, value, sizeof controls);
    if (controls.body.child_type != atomFloat_ || controls.body.child_size != sizeof(float))
        return false;
    for (int32_t index = 0; index < RackSession::parameterCount; ++index) {
        const float saved = controls.values[index];
        if (saved >= 0.0f && saved <= 1.0f)
            savedControls_[index] = saved;
    }
    return true;
}

void RackState::apply()
{
    session_.applyTo(rack_);
    controls_.expect(savedControls_, expectedFrames_);
}

void RackState::takeRestored()
{
    int state = ready;
    if (!handover_.compare_exchange_strong(state, taking, std::memory_order_acquire))
        return;
    apply();
    handover_.store(empty, std::memory_order_release);
}

void RackState::setActive(bool active)
{
    if (!active)
        takeRestored();
    active_ = active;
}

} // namespace voltara::lv2
