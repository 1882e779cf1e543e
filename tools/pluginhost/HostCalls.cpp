#include "tools/pluginhost/HostCalls.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace voltara::pluginhost {
namespace {

thread_local HostCalls* opening = nullptr;

// The host of the plug-in last attached without a claim on its hostUser.
std::atomic<HostCalls*> unclaimed{nullptr};

} // namespace

HostCalls::~HostCalls()
{
    detach();
}

HostCalls::Opening::Opening(HostCalls& host) : outer_(opening)
{
    opening = &host;
}

HostCalls::Opening::~Opening()
{
    opening = outer_;
}

void HostCalls::attach(PluginDescriptor* plugin, bool claim)
{
    detach();
    if (plugin == nullptr)
        return;
    attached_ = plugin;
    claimed_ = claim;
    if (claim)
        plugin->hostUser = this;
    else
        unclaimed = this;
}

void HostCalls::detach()
{
    if (attached_ == nullptr)
        return;
    // A claimed descriptor is left alone: opClose may have freed it.
    HostCalls* self = this;
    if (!claimed_)
        unclaimed.compare_exchange_strong(self, nullptr);
    attached_ = nullptr;
}

int32_t HostCalls::countCalls(int32_t opcode) const
{
    return int32_t(
        std::count_if(calls.begin(), calls.end(), [opcode](const Call& call) { return call.opcode == opcode; }));
}

std::vector<HostCalls::Call> HostCalls::callsOf(int32_t opcode) const
{
    std::vector<Call> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [opcode](const Call& call) { return call.opcode == opcode; });
    return found;
}

intptr_t HostCalls::callback(PluginDescriptor* plugin, int32_t opcode, int32_t index, intptr_t value, void* pointer,
                             float opt)
{
    HostCalls* host = nullptr;
    if (plugin != nullptr && plugin->hostUser != nullptr)
        host = static_cast<HostCalls*>(plugin->hostUser);
    else if (opening != nullptr)
        host = opening;
    else if (plugin != nullptr)
        host = unclaimed.load();
    if (host == nullptr)
        return 0;
    return host->answer(opcode, index, value, pointer, opt);
}

intptr_t HostCalls::answer(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    const Call call{opcode, index, value, opt};
    if (recordCalls)
        calls.push_back(call);
    if (respond)
        if (const std::optional<intptr_t> answered = respond(call, pointer))
            return *answered;
    switch (opcode) {
    case hostVersion: return versionAnswer;
    case hostGetTime: return hasTime ? reinterpret_cast<intptr_t>(&time) : 0;
    case hostWantEvents:
    case hostRefresh: return 1;
    default: return 0;
    }
}

} // namespace voltara::pluginhost
