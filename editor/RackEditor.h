#pragma once

#include "editor/PendingParameters.h"
#include "editor/RackLayout.h"
#include "gui/Control.h"
#include "gui/EditorBase.h"
#include "resources/BitmapTable.h"

namespace voltara {

class GuiBitmap;
class LedPanel;
class RackAccess;

// The rack's own editor: a 600 x 354 window showing the whole rack on one
// background picture, with the 48 controls of rackControls. Built afresh at
// every open and torn down at every close; the bitmaps are loaded once and
// kept. Controls report the user's changes to onControlChange; changes made
// anywhere else come back through setParameter and refreshAll.
//
// Parameters change on any thread (host automation, MIDI on the audio
// thread), so setParameter only marks the index; the next idle, on the
// window thread, gives the marked parameters to their controls and redraws
// what changed. [window thread] unless said otherwise
class RackEditor : public EditorBase, public ControlObserver {
public:
    // Attaches itself to the plug-in, which owns it. plugin and rack are the
    // same object: the host's face of the rack and the rack's face for its editor.
    RackEditor(EffectBaseEx* plugin, RackAccess& rack);
    ~RackEditor() override;

    // Asks for the content folder first while it is missing.
    int32_t open(void* parentWindow) override;
    void close() override;
    // The lamps follow the rack, the marked parameters their controls, then
    // the frame draws what changed.
    void idle() override;
    // Gives the marked parameters to their controls.
    void update() override;
    // [any thread] Marks the index for the next idle; nothing while closed.
    void setParameter(int32_t index, float value) override;
    // [any thread] Marks every index.
    void refreshAll() override;

    void onControlChange(PaintContext* context, Control* control) override;

    // Asks the host for the content folder into path (pathSize bytes); empty
    // when the user chose none. True when the user chose.
    bool promptForContentFolder(char* path);
    // Lets the user pick a bank file and loads it; nothing without the host's
    // file selector.
    void runBankDialog();

private:
    GuiBitmap* bitmap(int32_t id) const;
    void loadBitmaps();
    Control* makeControl(const ControlEntry& entry);
    // The value the display with this index shows: the rate, plus its offset
    // while the module runs free.
    float displayValue(int32_t displayIndex);
    // Gives one parameter's value to the controls that show it.
    void showParameter(int32_t index);
    void setControlValue(int32_t row, float value);
    // A note chosen in a display's popup: the module goes to tempo sync at
    // that note.
    void chooseNote(float choice);
    // Draws a changed control at once, and the lamps it painted over.
    void redraw(PaintContext* context, Control* control);

    RackAccess& rack_;
    GuiBitmap* bitmaps_[bitmapCount] = {};
    Control* controls_[rackControlCount] = {};
    LedPanel* ledPanel_ = nullptr;
    PendingParameters pending_;
    Relaxed<bool> open_{false}; // read by setParameter on any thread
};

} // namespace voltara
