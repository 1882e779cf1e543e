#include "tools/artwork/Controls.h"

#include "tools/artwork/Style.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace voltara {
namespace artwork {
namespace {

constexpr int32_t pedalImages = 16;
constexpr int32_t imagesPerRow = 8;

struct Vec3 {
    double x, y, z;
};

Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct Point2 {
    double x, y;
};

// The pedal in its own units: x across, y from heel (negative) to toe, z up.
// The treadle rocks about an axle across the housing.
namespace model {
constexpr double housingHalfWidth = 50, housingHalfLength = 128, housingHeight = 40;
constexpr double treadleHalfWidth = 47, treadleHalfLength = 122, treadleSkirt = 12;
constexpr double axleHeight = 60;
constexpr double maxTilt = 0.17; // radians either way
constexpr double padInset = 7;
} // namespace model

// A camera in front of and above the heel, looking down the pedal.
class Camera {
public:
    Camera()
    {
        const double elevation = radians(47), distance = 760;
        target_ = {0, 6, 30};
        forward_ = {0, std::cos(elevation), -std::sin(elevation)};
        up_ = {0, std::sin(elevation), std::cos(elevation)};
        eye_ = {0, target_.y - distance * std::cos(elevation), target_.z + distance * std::sin(elevation)};
    }

    Point2 raw(Vec3 p) const
    {
        const Vec3 v = p - eye_;
        const double depth = dot(v, forward_);
        return {v.x / depth, -dot(v, up_) / depth};
    }

    // Scales and moves the raw projection so that the points span rows top
    // to bottom, centred on centreX.
    void fit(const std::vector<Vec3>& points, double centreX, double top, double bottom)
    {
        double minY = 1e9, maxY = -1e9, minX = 1e9, maxX = -1e9;
        for (const Vec3& p : points) {
            const Point2 r = raw(p);
            minY = std::min(minY, r.y);
            maxY = std::max(maxY, r.y);
            minX = std::min(minX, r.x);
            maxX = std::max(maxX, r.x);
        }
        scale_ = (bottom - top) / (maxY - minY);
        offsetX_ = centreX - scale_ * (minX + maxX) / 2;
        offsetY_ = top - scale_ * minY;
    }

    Point2 project(Vec3 p) const
    {
        const Point2 r = raw(p);
        return {offsetX_ + r.x * scale_, offsetY_ + r.y * scale_};
    }

private:
    Vec3 eye_{}, target_{}, forward_{}, up_{};
    double scale_ = 1, offsetX_ = 0, offsetY_ = 0;
};

// A point of the treadle at tilt angle (positive lifts the toe).
Vec3 treadlePoint(double x, double y, double z, double tilt)
{
    const double c = std::cos(tilt), s = std::sin(tilt);
    return {x, y * c - z * s, model::axleHeight + y * s + z * c};
}

void polygon(cairo_t* cr, const Camera& camera, const std::vector<Vec3>& points)
{
    for (size_t i = 0; i < points.size(); ++i) {
        const Point2 p = camera.project(points[i]);
        if (i == 0)
            cairo_move_to(cr, p.x, p.y);
        else
            cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
}

void drawHousing(cairo_t* cr, const Camera& camera)
{
    using namespace model;
    const double w = housingHalfWidth, l = housingHalfLength, h = housingHeight;
    // Soft shadow on the panel.
    for (int i = 4; i >= 1; --i) {
        polygon(
            cr, camera,
            {{-w + 2, -l + 4 - i * 2, 0}, {w + 4 + i, -l + 4 - i * 2, 0}, {w + 4 + i, l + i, 0}, {-w + 2, l + i, 0}});
        setColour(cr, {0, 0, 0}, 0.16);
        cairo_fill(cr);
    }
    // Top of the walls, with the dark inside where the treadle lifts.
    polygon(cr, camera, {{-w, -l, h}, {w, -l, h}, {w, l, h}, {-w, l, h}});
    setColour(cr, {44, 44, 48});
    cairo_fill(cr);
    // Inside: the treadle's gear rack and the pot, in the housing's shade.
    polygon(cr, camera, {{-w + 4, -l + 4, h}, {w - 4, -l + 4, h}, {w - 4, l - 4, h}, {-w + 4, l - 4, h}});
    const Point2 far = camera.project({0, l, h}), near = camera.project({0, -l, h});
    fillVertical(cr, far.y, near.y, {14, 14, 16}, {30, 30, 34});
    for (double x : {-w + 14, w - 14}) {
        polygon(cr, camera, {{x - 3, -l + 6, h}, {x + 3, -l + 6, h}, {x + 3, -l + 60, h}, {x - 3, -l + 60, h}});
        setColour(cr, {58, 58, 64});
        cairo_fill(cr);
        for (double y = -l + 9; y < -l + 58; y += 5) {
            const Point2 a = camera.project({x - 3, y, h}), b = camera.project({x + 3, y, h});
            cairo_move_to(cr, a.x, a.y);
            cairo_line_to(cr, b.x, b.y);
        }
        setColour(cr, {20, 20, 22});
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
    // Front face with a crinkle finish, lit from above.
    polygon(cr, camera, {{-w, -l, h}, {w, -l, h}, {w, -l, 0}, {-w, -l, 0}});
    const Point2 top = camera.project({0, -l, h}), bottom = camera.project({0, -l, 0});
    fillVertical(cr, top.y, bottom.y, {64, 64, 70}, {22, 22, 25});
    Noise noise(11);
    for (int i = 0; i < 260; ++i) {
        const double x = (noise.next()) * (w - 2), z = (noise.next() + 1) / 2 * (h - 2) + 1;
        const Point2 p = camera.project({x, -l, z});
        cairo_rectangle(cr, std::floor(p.x), std::floor(p.y), 1, 1);
        setColour(cr, noise.next() > 0 ? Rgb{90, 90, 96} : Rgb{10, 10, 12}, 0.35);
        cairo_fill(cr);
    }
    polygon(cr, camera, {{-w, -l, h}, {w, -l, h}, {w, -l, h - 1.2}, {-w, -l, h - 1.2}});
    setColour(cr, {150, 150, 158});
    cairo_fill(cr);
}

void drawTreadle(cairo_t* cr, const Camera& camera, double tilt)
{
    using namespace model;
    const double w = treadleHalfWidth, l = treadleHalfLength;
    auto at = [tilt](double x, double y, double z) { return treadlePoint(x, y, z, tilt); };
    // Light falls from above and in front: the more the top faces the
    // player, the brighter it is.
    const double facing = std::clamp(0.5 - 2.2 * tilt, 0.0, 1.0);

    // Shadow of the treadle on the housing.
    polygon(cr, camera,
            {{-w, -l + 10, housingHeight},
             {w + 6, -l + 10, housingHeight},
             {w + 6, l, housingHeight},
             {-w, l, housingHeight}});
    setColour(cr, {0, 0, 0}, 0.35);
    cairo_fill(cr);

    // Heel skirt: the treadle's front face.
    polygon(cr, camera, {at(-w, -l, 0), at(w, -l, 0), at(w, -l, -treadleSkirt), at(-w, -l, -treadleSkirt)});
    const Point2 skirtTop = camera.project(at(0, -l, 0)), skirtBottom = camera.project(at(0, -l, -treadleSkirt));
    fillVertical(cr, skirtTop.y, skirtBottom.y, {120, 122, 128}, {30, 30, 34});

    // Polished rim.
    polygon(cr, camera, {at(-w, -l, 0), at(w, -l, 0), at(w, l, 0), at(-w, l, 0)});
    const Point2 left = camera.project(at(-w, 0, 0)), right = camera.project(at(w, 0, 0));
    const double lit = 0.75 + 0.25 * facing;
    fillGradient(cr, cairo_pattern_create_linear(left.x, 0, right.x, 0),
                 {{0, 0.45 * lit, 0.46 * lit, 0.50 * lit},
                  {0.12, 0.95 * lit, 0.95 * lit, 0.97 * lit},
                  {0.5, 0.62 * lit, 0.63 * lit, 0.66 * lit},
                  {0.88, 0.90 * lit, 0.90 * lit, 0.93 * lit},
                  {1, 0.35 * lit, 0.36 * lit, 0.40 * lit}});

    // Rubber pad with grip ridges across it.
    const double pw = w - padInset, pl = l - padInset;
    polygon(cr, camera, {at(-pw, -pl, 0.5), at(pw, -pl, 0.5), at(pw, pl, 0.5), at(-pw, pl, 0.5)});
    const Point2 toe = camera.project(at(0, pl, 0.5)), heel = camera.project(at(0, -pl, 0.5));
    const Rgb padNear = mix({30, 30, 33}, {52, 52, 57}, facing), padFar = mix({18, 18, 20}, {34, 34, 38}, facing);
    fillVertical(cr, toe.y, heel.y, padFar, padNear);
    const int ridges = 22;
    for (int i = 1; i < ridges; ++i) {
        const double y = -pl + 2 * pl * i / ridges;
        const Point2 a = camera.project(at(-pw + 3, y, 0.5)), b = camera.project(at(pw - 3, y, 0.5));
        const Point2 a2 = camera.project(at(-pw + 3, y + 1.6, 0.5)), b2 = camera.project(at(pw - 3, y + 1.6, 0.5));
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        setColour(cr, {0, 0, 0}, 0.75);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
        cairo_move_to(cr, a2.x, a2.y);
        cairo_line_to(cr, b2.x, b2.y);
        setColour(cr, {255, 255, 255}, 0.05 + 0.07 * facing);
        cairo_set_line_width(cr, 0.7);
        cairo_stroke(cr);
    }
    // Name pressed into the toe of the pad.
    const Point2 mark = camera.project(at(0, pl - 16, 0.5));
    setColour(cr, {255, 255, 255}, 0.10 + 0.08 * facing);
    drawText(cr, Face::SansBold, 7, "VOLTARA", mark.x, mark.y + 3, Align::Centre, 1.5);
}

// The nameplate on the housing's front: it opens the splash picture.
void drawNameplate(cairo_t* cr, const Box& plate)
{
    roundedRect(cr, plate.left, plate.top, plate.width(), plate.height(), 3);
    fillVertical(cr, plate.top, plate.bottom, {236, 238, 242}, {120, 124, 130});
    roundedRect(cr, plate.left + 1.5, plate.top + 1.5, plate.width() - 3, plate.height() - 3, 2);
    fillVertical(cr, plate.top, plate.bottom, {30, 30, 34}, {12, 12, 14});
    setColour(cr, ink::amber);
    drawText(cr, Face::SansBold, 6, "AW", plate.left + 13, plate.top + 9.5, Align::Centre, 0.5);
    setColour(cr, ink::silkscreen);
    drawText(cr, Face::SansBold, 8, "VOLTARA", plate.left + 52, plate.top + 10, Align::Centre, 1.2);
}

} // namespace

Picture drawWahPedal(const Picture& background)
{
    const int32_t w = wahPedal.width(), h = wahPedal.height();
    // The nameplate lies where the first splash area is.
    const Box plate = {splashAreas[0].left - wahPedal.left, splashAreas[0].top - wahPedal.top,
                       splashAreas[0].right - wahPedal.left, splashAreas[0].bottom - wahPedal.top};
    Camera camera;
    std::vector<Vec3> extent;
    for (double tilt : {model::maxTilt, -model::maxTilt}) {
        for (double x : {-model::treadleHalfWidth, model::treadleHalfWidth}) {
            for (double y : {-model::treadleHalfLength, model::treadleHalfLength})
                extent.push_back(treadlePoint(x, y, 0, tilt));
        }
    }
    for (double x : {-model::housingHalfWidth, model::housingHalfWidth})
        extent.push_back({x, -model::housingHalfLength, 0});
    camera.fit(extent, w / 2.0, 5, plate.bottom + 3);

    Picture out(w * imagesPerRow, h * (pedalImages / imagesPerRow));
    for (int32_t i = 0; i < pedalImages; ++i) {
        Canvas canvas(background.crop(wahPedal.left, wahPedal.top, w, h));
        cairo_t* cr = canvas.cr();
        drawHousing(cr, camera);
        const double tilt = model::maxTilt * (1.0 - 2.0 * i / (pedalImages - 1));
        drawTreadle(cr, camera, tilt);
        drawNameplate(cr, plate);
        out.paste(canvas.flatten(ink::well), w * (i % imagesPerRow), h * (i / imagesPerRow));
    }
    return out;
}

} // namespace artwork
} // namespace voltara
