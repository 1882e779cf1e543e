#include "tools/artwork/Background.h"

#include "tools/artwork/Style.h"

#include <cmath>
#include <string>

namespace voltara {
namespace artwork {
namespace {

constexpr double captionSize = 7.0;
constexpr double captionTracking = 1.0;

// Silkscreened caption; a line break starts a second line under the first.
void caption(cairo_t* cr, const std::string& text, double x, double baseline, Rgb colour = ink::silkscreen,
             Align align = Align::Centre)
{
    setColour(cr, colour);
    const size_t br = text.find('\n');
    drawText(cr, Face::CondensedBold, captionSize, text.substr(0, br), x, baseline, align, captionTracking);
    if (br != std::string::npos)
        drawText(cr, Face::CondensedBold, captionSize, text.substr(br + 1), x, baseline + 8, align, captionTracking);
}

void drawPanel(cairo_t* cr, const Box& box, Rgb enamel)
{
    // Shadow on the chassis, then the plate with a lit top edge.
    roundedRect(cr, box.left + 1, box.top + 1, box.width(), box.height(), 4);
    setColour(cr, {0, 0, 0}, 0.55);
    cairo_fill(cr);
    roundedRect(cr, box.left, box.top, box.width(), box.height(), 4);
    setColour(cr, enamel);
    cairo_fill(cr);
    roundedRect(cr, box.left + 0.5, box.top + 0.5, box.width() - 1, box.height() - 1, 3.5);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, box.top, 0, box.bottom);
    const Rgb light = shade(enamel, 1.35), dark = shade(enamel, 0.55);
    cairo_pattern_add_color_stop_rgba(edge, 0, light.r / 255.0, light.g / 255.0, light.b / 255.0, 1);
    cairo_pattern_add_color_stop_rgba(edge, 0.08, light.r / 255.0, light.g / 255.0, light.b / 255.0, 0);
    cairo_pattern_add_color_stop_rgba(edge, 0.92, dark.r / 255.0, dark.g / 255.0, dark.b / 255.0, 0);
    cairo_pattern_add_color_stop_rgba(edge, 1, dark.r / 255.0, dark.g / 255.0, dark.b / 255.0, 1);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
}

// Brushed metal: horizontal streaks of random length, lighter and darker
// than the base, inside the box.
void brush(cairo_t* cr, const Box& box, uint32_t seed, double streak, Rgb light, double strength)
{
    Noise noise(seed);
    for (int y = box.top; y < box.bottom; ++y) {
        double x = box.left;
        while (x < box.right) {
            const double length = streak * (1 + 3 * (noise.next() + 1));
            const double level = noise.next();
            setColour(cr, level > 0 ? light : Rgb{0, 0, 0}, strength * std::fabs(level));
            cairo_rectangle(cr, x, y, length, 1);
            cairo_fill(cr);
            x += length;
        }
    }
}

void drawKnobWell(cairo_t* cr, const Box& box)
{
    const double cx = box.centreX(), cy = box.centreY();
    const int32_t size = box.width();
    const double well = knobWellRadius(size);
    // A lit lower rim makes the well read as a recess.
    cairo_arc(cr, cx, cy + 0.6, well + 0.8, 0, 2 * pi);
    setColour(cr, {255, 255, 255}, 0.16);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, well, 0, 2 * pi);
    setColour(cr, ink::well);
    cairo_fill(cr);
    // Scale: eleven ticks, the end ones longer.
    setColour(cr, ink::silkscreen);
    const double inner = well + 1.5;
    for (int i = 0; i <= 10; ++i) {
        const double angle = knobAngle(i / 10.0);
        const double outer = inner + (i == 0 || i == 10 ? 3.2 : i == 5 ? 2.6 : 1.9);
        cairo_move_to(cr, cx + inner * std::cos(angle), cy + inner * std::sin(angle));
        cairo_line_to(cr, cx + outer * std::cos(angle), cy + outer * std::sin(angle));
    }
    cairo_set_line_width(cr, size > 20 ? 1.1 : 0.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// A recess a little larger than the control, in the well colour.
void drawRecess(cairo_t* cr, const Box& box, double margin, double radius)
{
    roundedRect(cr, box.left - margin, box.top - margin + 0.7, box.width() + 2 * margin, box.height() + 2 * margin,
                radius);
    setColour(cr, {255, 255, 255}, 0.14);
    cairo_fill(cr);
    roundedRect(cr, box.left - margin, box.top - margin, box.width() + 2 * margin, box.height() + 2 * margin, radius);
    setColour(cr, ink::well);
    cairo_fill(cr);
}

void drawDisplayWindow(cairo_t* cr, const Box& box)
{
    roundedRect(cr, box.left - 2, box.top - 2, box.width() + 4, box.height() + 4, 1.5);
    setColour(cr, ink::lcdBezel);
    cairo_fill(cr);
    cairo_move_to(cr, box.left - 1.5, box.bottom + 2.5);
    cairo_line_to(cr, box.right + 1.5, box.bottom + 2.5);
    setColour(cr, {255, 255, 255}, 0.18);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, box.left, box.top, box.width(), box.height());
    setColour(cr, ink::lcd);
    cairo_fill(cr);
}

// The name under the on/off button; a kind ("TAPE") in small type before it.
void drawModuleTitle(cairo_t* cr, const ModulePanel& module)
{
    const double baseline = module.button.bottom + 12;
    const double titleWidth = textWidth(cr, Face::SansBold, 10, module.title, 1.6);
    const double kindWidth = module.subtitle ? textWidth(cr, Face::CondensedBold, 7, module.subtitle, 0.8) + 4 : 0;
    const double left = module.panel.centreX() - (titleWidth + kindWidth) / 2;
    if (module.subtitle) {
        setColour(cr, ink::dimSilkscreen);
        drawText(cr, Face::CondensedBold, 7, module.subtitle, left, baseline, Align::Left, 0.8);
    }
    setColour(cr, ink::silkscreen);
    drawText(cr, Face::SansBold, 10, module.title, left + kindWidth, baseline, Align::Left, 1.6);
}

void drawPanelScrews(cairo_t* cr, const Box& box)
{
    drawScrew(cr, box.left + 5, box.top + 5, 2.2, 0.6);
    drawScrew(cr, box.right - 5, box.top + 5, 2.2, 1.9);
    drawScrew(cr, box.left + 5, box.bottom - 5, 2.2, 2.4);
    drawScrew(cr, box.right - 5, box.bottom - 5, 2.2, 0.9);
}

void drawKnobsAndCaptions(cairo_t* cr)
{
    for (const Placement& knob : smallKnobs) {
        drawKnobWell(cr, knob.box);
        caption(cr, knob.caption, knob.box.centreX(), knob.box.bottom + 9);
    }
    for (const Placement& knob : largeKnobs) {
        drawKnobWell(cr, knob.box);
        caption(cr, knob.caption, knob.box.centreX(), knob.box.bottom + 10);
    }
    for (const Placement& lever : leverSwitches) {
        drawRecess(cr, lever.box, 1.5, 2.5);
        caption(cr, lever.caption, lever.box.centreX(), lever.box.bottom + 8);
    }
}

void drawModeLabels(cairo_t* cr)
{
    // Filter sweep direction: lever up sweeps up.
    caption(cr, "UP", filterMode.centreX(), filterMode.top - 3);
    caption(cr, "DOWN", filterMode.centreX(), filterMode.bottom + 8);
    caption(cr, "SWEEP", filterMode.left - 5, filterMode.centreY() + 2.5, ink::silkscreen, Align::Right);
    // Chorus: lever left chorus, right detune.
    caption(cr, "CHORUS", chorusMode.left - 3, chorusMode.centreY() + 2.5, ink::silkscreen, Align::Right);
    caption(cr, "DETUNE", chorusMode.right + 3, chorusMode.centreY() + 2.5, ink::silkscreen, Align::Left);
    // Reverb model: one line per lever position.
    const char* models[] = {"SPRING", "PLATE", "HALL"};
    const double row = reverbMode.height() / 3.0;
    for (int i = 0; i < 3; ++i) {
        const double y = reverbMode.top + row * (i + 0.5);
        cairo_move_to(cr, reverbMode.right + 1, y);
        cairo_line_to(cr, reverbMode.right + 4, y);
        setColour(cr, ink::silkscreen);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        caption(cr, models[i], reverbMode.right + 6, y + 2.5, ink::silkscreen, Align::Left);
    }
    caption(cr, "MODE", delayMode.centreX(), delayMode.top - 3);
}

// Small line drawings of what each module does, in the panels' free space.
void drawSignature(cairo_t* cr, double x, double y, double w, double h, double (*shape)(double))
{
    for (int i = 0; i <= int(w) * 2; ++i) {
        const double t = i / (2 * w);
        const double v = y + h / 2 - shape(t) * h / 2;
        if (i == 0)
            cairo_move_to(cr, x + t * w, v);
        else
            cairo_line_to(cr, x + t * w, v);
    }
    setColour(cr, ink::dimSilkscreen, 0.8);
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void drawSignatures(cairo_t* cr)
{
    // Delay: a note and its fading repeats.
    drawSignature(cr, 166, 106, 50, 14, [](double t) {
        const double beat = std::floor(t * 4), phase = t * 4 - beat - 0.2;
        return std::pow(0.55, beat) * std::exp(-phase * phase * 120);
    });
    // Reverb: a burst melting into a tail.
    drawSignature(cr, 282, 110, 50, 14,
                  [](double t) { return std::exp(-3.5 * t) * std::sin(t * 48) * (t < 0.04 ? t / 0.04 : 1.0); });
    // Tremolo: the level chopped by the gate.
    drawSignature(cr, 397, 96, 50, 14, [](double t) {
        const double phase = std::fmod(t * 3, 1.0);
        return 0.9 - 1.5 / (1 + std::exp(-40 * (phase - 0.5))) + 1.5 / (1 + std::exp(-40 * (phase - 0.95)));
    });
    // Phaser and flanger: a sweep moving through the spectrum.
    drawSignature(cr, 303, 232, 46, 14, [](double t) { return std::sin(2 * pi * t * (2 + 4 * t)) * 0.9; });
    drawSignature(cr, 420, 232, 46, 14, [](double t) { return std::sin(2 * pi * t * (6 - 4 * t)) * 0.9; });
    // Envelope filter: a resonant peak.
    drawSignature(cr, 212, 243, 30, 16, [](double t) { return -0.8 + 1.7 * std::exp(-(t - 0.5) * (t - 0.5) * 60); });
    // Chorus: two voices a little apart.
    drawSignature(cr, 524, 199, 40, 12, [](double t) { return std::sin(2 * pi * t * 2.5); });
    drawSignature(cr, 524, 199, 40, 12, [](double t) { return std::sin(2 * pi * (t * 2.5 - 0.18)); });
}

void drawMaster(cairo_t* cr)
{
    const Rgb dark = {34, 34, 38};
    setColour(cr, dark);
    drawText(cr, Face::CondensedBold, captionSize, "LOAD BANK", bankButton.centreX(), bankButton.bottom + 10,
             Align::Centre, captionTracking);
    const double x = masterPanel.centreX();
    setColour(cr, dark);
    drawText(cr, Face::SansBold, 8, "AW", x, 131, Align::Centre, 2.0);
    drawText(cr, Face::SerifBold, 21, "Voltara", x, 151, Align::Centre, 0.3);
    drawText(cr, Face::CondensedBold, 6, "FX  GUITAR EFFECT RACK", x, 161, Align::Centre, 0.8);
}

void drawWahCaptions(cairo_t* cr)
{
    setColour(cr, ink::silkscreen);
    drawText(cr, Face::SansBold, 10, "WAH", 57, 67, Align::Centre, 1.6);
}

void drawRail(cairo_t* cr)
{
    const char* chain[] = {"WAH", "FILTER", "PHASER", "FLANGER", "CHORUS", "DELAY", "REVERB", "TREMOLO"};
    double x = 140;
    const double baseline = 341;
    setColour(cr, ink::dimSilkscreen);
    x += drawText(cr, Face::CondensedBold, 6, "IN", x, baseline, Align::Left, 0.6) + 4;
    for (const char* name : chain) {
        setColour(cr, ink::dimSilkscreen);
        x += drawText(cr, Face::Sans, 6, "\xe2\x96\xb8", x, baseline, Align::Left) + 4;
        x += drawText(cr, Face::CondensedBold, 6, name, x, baseline, Align::Left, 0.6) + 4;
    }
    x += drawText(cr, Face::Sans, 6, "\xe2\x96\xb8", x, baseline, Align::Left) + 4;
    drawText(cr, Face::CondensedBold, 6, "OUT", x, baseline, Align::Left, 0.6);
}

// The about plate: a raised badge that opens the splash picture.
void drawAboutPlate(cairo_t* cr)
{
    const Box plate = {477, 326, 582, 352};
    roundedRect(cr, plate.left + 1, plate.top + 1.5, plate.width(), plate.height(), 4);
    setColour(cr, {0, 0, 0}, 0.6);
    cairo_fill(cr);
    roundedRect(cr, plate.left, plate.top, plate.width(), plate.height(), 4);
    fillVertical(cr, plate.top, plate.bottom, {226, 228, 232}, {130, 134, 140});
    roundedRect(cr, plate.left + 2, plate.top + 2, plate.width() - 4, plate.height() - 4, 2.5);
    fillVertical(cr, plate.top, plate.bottom, {44, 44, 48}, {22, 22, 25});
    // "i" badge.
    cairo_arc(cr, plate.left + 12, plate.centreY(), 6.5, 0, 2 * pi);
    setColour(cr, ink::amber);
    cairo_fill(cr);
    setColour(cr, {30, 22, 10});
    drawText(cr, Face::SerifBold, 10, "i", plate.left + 12, plate.centreY() + 3.5);
    setColour(cr, ink::silkscreen);
    drawText(cr, Face::SansBold, 9, "AW Voltara FX", plate.left + 60, plate.top + 12.5);
    setColour(cr, ink::dimSilkscreen);
    drawText(cr, Face::CondensedBold, 6, "ABOUT  \xc2\xb7  v1.0", plate.left + 60, plate.top + 21, Align::Centre, 0.8);
}

} // namespace

void drawScrew(cairo_t* cr, double x, double y, double radius, double slotAngle)
{
    cairo_arc(cr, x, y, radius + 0.6, 0, 2 * pi);
    setColour(cr, {0, 0, 0}, 0.45);
    cairo_fill(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * pi);
    fillGradient(cr, cairo_pattern_create_radial(x - radius / 3, y - radius / 3, 0, x, y, radius),
                 {{0, 0.86, 0.87, 0.89}, {1, 0.42, 0.43, 0.46}});
    const double dx = std::cos(slotAngle) * radius * 0.8, dy = std::sin(slotAngle) * radius * 0.8;
    cairo_move_to(cr, x - dx, y - dy);
    cairo_line_to(cr, x + dx, y + dy);
    setColour(cr, {30, 30, 32}, 0.9);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

Picture drawBackground()
{
    Canvas canvas(windowWidth, windowHeight);
    cairo_t* cr = canvas.cr();
    setColour(cr, ink::chassis);
    cairo_paint(cr);
    brush(cr, {0, 0, windowWidth, windowHeight}, 7, 10, {70, 72, 78}, 0.10);
    drawPanel(cr, wahPanel, wahEnamel);
    drawPanel(cr, masterPanel, masterEnamel);
    cairo_save(cr);
    roundedRect(cr, masterPanel.left + 1, masterPanel.top + 1, masterPanel.width() - 2, masterPanel.height() - 2, 3);
    cairo_clip(cr);
    brush(cr, masterPanel, 23, 4, {255, 255, 255}, 0.07);
    cairo_restore(cr);
    for (const ModulePanel& module : modulePanels)
        drawPanel(cr, module.panel, module.enamel);
    for (const ModulePanel& module : modulePanels) {
        drawPanelScrews(cr, module.panel);
        drawModuleTitle(cr, module);
    }
    drawPanelScrews(cr, masterPanel);
    drawScrew(cr, wahPanel.left + 5, wahPanel.top + 5, 2.2, 0.3);
    drawScrew(cr, wahPanel.right - 5, wahPanel.top + 5, 2.2, 1.2);
    drawKnobsAndCaptions(cr);
    for (const Box& display : rateDisplays)
        drawDisplayWindow(cr, display);
    for (const Box& button : moduleButtons)
        drawRecess(cr, button, 2, 13.5);
    drawModeLabels(cr);
    drawSignatures(cr);
    drawMaster(cr);
    drawWahCaptions(cr);
    drawRail(cr);
    drawAboutPlate(cr);
    return canvas.flatten(ink::chassis);
}

} // namespace artwork
} // namespace voltara
