#pragma once

#include "platform/DragDrop.h"

namespace voltara {

class Frame;

// The frame window's drop target: accepts text and file lists, resolves
// dropped shortcuts and hands the items to the frame. [window thread]
class DropTarget : public platform::DropTargetInterface {
public:
    explicit DropTarget(Frame* frame) : frame_(frame) {}

    platform::Result VOLTARA_CALLBACK QueryInterface(const platform::Guid& iid, void** object) override;
    uint32_t VOLTARA_CALLBACK AddRef() override;
    // Destroys the target when the count falls below 1.
    uint32_t VOLTARA_CALLBACK Release() override;
    platform::Result VOLTARA_CALLBACK DragEnter(platform::DataObject* data, uint32_t keyState, platform::PointL point,
                                                uint32_t* effect) override;
    platform::Result VOLTARA_CALLBACK DragOver(uint32_t keyState, platform::PointL point, uint32_t* effect) override;
    platform::Result VOLTARA_CALLBACK DragLeave() override;
    platform::Result VOLTARA_CALLBACK Drop(platform::DataObject* data, uint32_t keyState, platform::PointL point,
                                           uint32_t* effect) override;
    virtual ~DropTarget() = default;

    // The frame goes; drops that still arrive are ignored.
    void detach() { frame_ = nullptr; }

private:
    void dropFiles(platform::DataObject* data);
    void dropText(platform::DataObject* data);

    int32_t references_ = 1;
    bool accept_ = false;
    Frame* frame_;
};

} // namespace voltara
