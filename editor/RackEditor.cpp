#include "editor/RackEditor.h"

#include "editor/LedPanel.h"
#include "editor/RateDisplay.h"
#include "editor/WahPedal.h"
#include "gui/FilmstripKnob.h"
#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/MomentaryButton.h"
#include "gui/SplashArea.h"
#include "gui/StripSwitch.h"
#include "gui/ToggleButton.h"
#include "platform/Window.h"
#include "plugin/RackAccess.h"
#include "plugin/host/FileSelector.h"

#include <new>

namespace voltara {

namespace {

// The rate displays' settings: small black text over the background picture.
constexpr int32_t displayStyle = 1;
constexpr int32_t displayFont = 6;

// Each control is the size of one image of its bitmap, with the images the
// bitmap holds (the rate displays show a part of the background, the splash
// areas open a picture of their own).
constexpr bool controlsFitTheirBitmaps()
{
    for (const ControlEntry& entry : rackControls) {
        const int32_t index = bitmapIndexOf(entry.bitmap);
        if (index < 0)
            return false;
        const BitmapEntry& bitmap = bitmapTable[index];
        const int32_t width = entry.rect.right - entry.rect.left, height = entry.rect.bottom - entry.rect.top;
        switch (entry.kind) {
        case ControlClass::rateDisplay:
        case ControlClass::splashArea: continue;
        case ControlClass::ledPanel:
            for (int32_t led = 0; led < ledCount; ++led) {
                const Rect& place = ledPlaces[led];
                const BitmapEntry& strip = bitmapTable[bitmapIndexOf(led == wahLed ? wahLedBitmap : entry.bitmap)];
                if (place.right - place.left != strip.imageWidth || place.bottom - place.top != strip.imageHeight)
                    return false;
            }
            continue;
        default:
            if (width != bitmap.imageWidth || height != bitmap.imageHeight)
                return false;
            if (entry.imageCount && (entry.imageCount != bitmap.imageCount || entry.imageHeight != bitmap.imageHeight))
                return false;
        }
    }
    return true;
}
static_assert(controlsFitTheirBitmaps(), "a control of the layout does not fit its bitmap");

} // namespace

RackEditor::RackEditor(EffectBaseEx* plugin, RackAccess& rack) : EditorBase(plugin), rack_(rack)
{
    // A bitmap that cannot be made stays empty; nothing may throw once the
    // editor is attached to the plug-in.
    GuiBitmap* background = new (std::nothrow) GuiBitmap(backgroundBitmap);
    bitmaps_[bitmapIndexOf(backgroundBitmap)] = background;
    if (background)
        rect_ = {0, 0, int16_t(background->getHeight()), int16_t(background->getWidth())};
}

RackEditor::~RackEditor()
{
    close();
    for (GuiBitmap*& held : bitmaps_)
        GuiBitmap::replace(held, nullptr);
}

GuiBitmap* RackEditor::bitmap(int32_t id) const
{
    const int32_t slot = bitmapIndexOf(id);
    return slot >= 0 ? bitmaps_[slot] : nullptr;
}

void RackEditor::loadBitmaps()
{
    for (int32_t slot = 0; slot < bitmapCount; ++slot)
        if (!bitmaps_[slot])
            bitmaps_[slot] = new (std::nothrow) GuiBitmap(bitmapTable[slot].id);
}

int32_t RackEditor::open(void* parentWindow)
{
    if (frame_)
        close();
    const auto parent = static_cast<platform::Window>(parentWindow);
    // Without a window of the host's there is nothing to open into: the host
    // hears so.
    if (!platform::IsWindow(parent))
        return 0;
    EditorBase::open(parentWindow);
    if (rack_.contentMissing()) {
        // The host answers the question, and may close the editor or the
        // plug-in meanwhile; the window is then not built.
        InputScope question(this);
        char folder[FileSelectRecord::pathSize] = "";
        promptForContentFolder(folder);
        if (folder[0])
            rack_.setInstallPath(folder);
        if (systemWindow_ != parentWindow)
            return 0;
    }
    GuiBitmap* background = bitmap(backgroundBitmap);
    const Rect size{0, 0, background ? background->getWidth() : 0, background ? background->getHeight() : 0};
    frame_ = new Frame(size, parent, this);
    if (!frame_->getSystemWindow()) {
        close();
        return 0;
    }
    frame_->setBackground(background);
    loadBitmaps();

    // From here on changes are marked; the controls read the values as they are made.
    pending_.clear();
    open_ = true;
    for (int32_t row = 0; row < rackControlCount; ++row)
        if (rackControls[row].kind != ControlClass::splashArea)
            controls_[row] = makeControl(rackControls[row]);
    for (int32_t number : drawingOrder) {
        const int32_t row = number - 1;
        if (!controls_[row])
            controls_[row] = makeControl(rackControls[row]);
        frame_->addView(controls_[row]);
    }
    return 1;
}

Control* RackEditor::makeControl(const ControlEntry& entry)
{
    GuiBitmap* picture = bitmap(entry.bitmap);
    Control* control = nullptr;
    switch (entry.kind) {
    case ControlClass::filmstripKnob:
        control = new FilmstripKnob(entry.rect, this, entry.tag, entry.imageCount, entry.imageHeight, picture, {0, 0});
        break;
    case ControlClass::toggleButton: control = new ToggleButton(entry.rect, this, entry.tag, picture); break;
    case ControlClass::horizontalStripSwitch:
        control = new HorizontalStripSwitch(entry.rect, this, entry.tag, entry.imageCount, entry.imageHeight,
                                            entry.positions, picture, {0, 0});
        break;
    case ControlClass::verticalStripSwitch:
        control = new VerticalStripSwitch(entry.rect, this, entry.tag, entry.imageCount, entry.imageHeight,
                                          entry.positions, picture, {0, 0});
        break;
    case ControlClass::wahPedal: control = new WahPedal(entry.rect, this, entry.tag, picture); break;
    case ControlClass::momentaryButton:
        // The bank-load button starts released whatever its parameter holds.
        control = new MomentaryButton(entry.rect, this, entry.tag, entry.imageHeight, picture, {0, 0});
        control->setValue(0.0f);
        return control;
    case ControlClass::rateDisplay: {
        auto* display = new RateDisplay(this, entry.tag, frame_, entry.rect, picture, displayStyle);
        display->setFont(displayFont);
        display->setFontColour(colours::black);
        display->setBackgroundOffset({entry.rect.left, entry.rect.top});
        display->setTextFormatter(&convertRateText);
        display->setValue(displayValue(entry.tag));
        return display;
    }
    case ControlClass::ledPanel:
        // Its value comes with the first idle.
        ledPanel_ = new LedPanel(entry.rect, picture, bitmap(wahLedBitmap));
        return ledPanel_;
    case ControlClass::splashArea: {
        const Rect shown{splashPictureOrigin.h, splashPictureOrigin.v,
                         splashPictureOrigin.h + (picture ? picture->getWidth() : 0),
                         splashPictureOrigin.v + (picture ? picture->getHeight() : 0)};
        return new SplashArea(entry.rect, this, entry.tag, picture, shown, {0, 0});
    }
    }
    if (entry.transparent)
        control->setDrawTransparent(true);
    control->setValue(rack_.getParameter(entry.tag));
    return control;
}

void RackEditor::close()
{
    open_ = false;
    EditorBase::close(); // and with the frame every control
    for (Control*& control : controls_)
        control = nullptr;
    ledPanel_ = nullptr;
}

void RackEditor::idle()
{
    if (inIdleWork_)
        return; // the host's idle, called from runIdleWork
    if (ledPanel_)
        ledPanel_->setValue(rack_.getLedState());
    runPendingUpdates();
    if (!frame_)
        return;
    // What the frame is about to draw may cover lamps.
    if (ledPanel_)
        for (int32_t i = 0; i < frame_->getViewCount(); ++i) {
            View* view = frame_->getView(i);
            if (view != ledPanel_ && view->isDirty())
                ledPanel_->forgetUnder(view->getViewSize());
        }
    frame_->updateIfDirty();
}

} // namespace voltara
