#pragma once

#include "tools/artwork/Paint.h"

namespace voltara {
namespace artwork {

// Each strip as its bitmap holds it: images one under the other (the pedal:
// eight to a row). Opaque strips carry the background of the place they sit
// on; see-through ones are pure white around their silhouette.

// 128 knob images, pointer from down-left (image 0) clockwise over the top
// to down-right (image 127).
Picture drawKnobStrip(int32_t size);

// Off image above on image.
Picture drawSyncSwitch(const Picture& background);
Picture drawFilterModeSwitch(const Picture& background);
Picture drawChorusModeSwitch(const Picture& background);
Picture drawModuleButton();
Picture drawWahButton(const Picture& background);
Picture drawBypassButton(const Picture& background);
// Released above pressed.
Picture drawBankButton(const Picture& background);
// Spring, plate, hall.
Picture drawReverbModeSwitch(const Picture& background);
// Mono, multi-head, ping-pong, multi-tap.
Picture drawDelayModeSwitch(const Picture& background);

// Eight brightness steps, dark to fully lit.
Picture drawModuleLeds();
// lamp 5 on the wah button: buttonPixels is the button strip as stored, so
// the lamp's surroundings match it exactly.
Picture drawWahLed(const Picture& buttonPixels);

// Sixteen images from heel down to toe down, 132 x 260 each.
Picture drawWahPedal(const Picture& background);

Picture drawSplash();

} // namespace artwork
} // namespace voltara
