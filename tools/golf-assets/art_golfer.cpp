// The golfer's 23 animation frames, drawn from a small 3-D puppet seen from
// behind the ball (down the line of play): the hands travel round a tilted
// swing plane, the wrists hinge and release, shoulders and hips turn, and the
// limbs follow by two-bone reaching. Parts are drawn far to near as shaded
// capsules, so every frame is consistent with the next.
#include <algorithm>
#include <cmath>
#include <vector>

#include "golf-assets/art.h"

namespace tarnby::art {

namespace {

constexpr double kDeg = kPi / 180;

struct V3 {
    double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return { a.x + b.x, a.y + b.y, a.z + b.z }; }
V3 operator-(V3 a, V3 b) { return { a.x - b.x, a.y - b.y, a.z - b.z }; }
V3 operator*(V3 a, double s) { return { a.x * s, a.y * s, a.z * s }; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double len(V3 a) { return std::sqrt(dot(a, a)); }
V3 norm(V3 a)
{
    const double l = len(a);
    return l > 1e-9 ? a * (1 / l) : V3 { 0, 1, 0 };
}

// Where the middle joint of a two-bone limb goes when its end must reach
// `end`, bending toward `pole`.
V3 reach(V3 root, V3 end, double upper, double lower, V3 pole)
{
    const V3 axis = end - root;
    const double d = std::clamp(len(axis), 0.01, upper + lower - 1e-4);
    const V3 dir = norm(axis);
    const double a = (upper * upper - lower * lower + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, upper * upper - a * a));
    V3 side = pole - dir * dot(pole, dir);
    side = norm(side);
    return root + dir * a + side * h;
}

struct Pose {
    double phi;    // hands' angle round the swing plane, degrees (+ back, - through)
    double hinge;  // wrist cock, degrees
    double turn;   // shoulder turn, degrees (+ away from the target)
    double hipTurn;
    double heel;  // rear heel lift, metres
    bool putt;
};

struct Look {
    uint32_t shirt, trousers, skin, hair, cap, shoe, glove;
    bool female;
    double scale;
};

struct Part {
    V3 a, b;
    double radius;
    uint32_t colour;
    double depth;
};

class Puppet {
public:
    Puppet(const Look& look, const Pose& pose) : m_look(look), m_pose(pose) {}

    std::vector<Part> build() const
    {
        const bool putt = m_pose.putt;
        const V3 ball { 0.62, 0.02, 0 };
        const double club = putt ? 0.8 : 0.95;
        const double arm = 0.6;
        const double lie = (putt ? 72 : 57) * kDeg;
        const V3 u { 0, 0, -1 };                          // back, away from the target
        const V3 v { -std::cos(lie), std::sin(lie), 0 };  // up the plane toward the golfer
        const V3 centre = ball + v * (club + arm);
        const double phi = m_pose.phi * kDeg;
        const double hinge = m_pose.hinge * kDeg * (m_pose.phi >= 0 ? 1 : -1);
        const V3 hands = centre + (u * std::sin(phi) - v * std::cos(phi)) * arm;
        const double shaftAngle = phi + hinge;
        const V3 head = hands + (u * std::sin(shaftAngle) - v * std::cos(shaftAngle)) * club;

        const double turn = m_pose.turn * kDeg;
        const double hipTurn = m_pose.hipTurn * kDeg;
        auto rightOf = [](double t) { return V3 { -std::sin(t), 0, -std::cos(t) }; };
        const double bend = (putt ? 40 : 33) * kDeg;
        const V3 hip { -0.06, putt ? 0.86 : 0.88, 0 };
        const V3 spine { std::sin(bend), std::cos(bend), 0 };
        const V3 chest = hip + spine * 0.5;
        const V3 rightShoulder = chest + rightOf(turn) * 0.19 + V3 { 0, -0.07 * std::sin(turn), 0 };
        const V3 leftShoulder = chest - rightOf(turn) * 0.19 + V3 { 0, 0.07 * std::sin(turn), 0 };
        const V3 rightHip = hip + rightOf(hipTurn) * 0.11;
        const V3 leftHip = hip - rightOf(hipTurn) * 0.11;
        const V3 neck = chest + spine * 0.1;
        // The head stays over the ball until the follow-through pulls it round.
        const double lookUp = std::clamp(-m_pose.phi / 180.0, 0.0, 1.0);
        const V3 headCentre = neck + V3 { 0.09 * (1 - lookUp) + 0.02, 0.12 + 0.04 * lookUp, 0.05 * lookUp };

        const V3 gripDir = norm(head - hands);
        const V3 leftHand = hands;
        const V3 rightHand = hands + gripDir * 0.07;
        const V3 armPole { 0.2, -1, 0 };
        const V3 leftElbow = reach(leftShoulder, leftHand, 0.3, 0.29, armPole);
        const V3 rightElbow = reach(rightShoulder, rightHand, 0.3, 0.29, V3 { 0, -1, -0.2 });

        const V3 leftFoot { 0.02, 0.05, 0.2 };
        const V3 rightFoot { 0.02, 0.05 + m_pose.heel, -0.2 };
        const V3 kneePole { 1, 0, 0 };
        const V3 leftKnee = reach(leftHip, leftFoot, 0.45, 0.46, kneePole);
        const V3 rightKnee = reach(rightHip, rightFoot, 0.45, 0.46, kneePole);

        std::vector<Part> parts;
        auto add = [&](V3 a, V3 b, double r, uint32_t colour) { parts.push_back({ a, b, r, colour, 0 }); };
        const Look& k = m_look;
        // Legs and shoes.
        add(leftHip, leftKnee, 0.075, k.trousers);
        add(leftKnee, leftFoot, 0.062, k.trousers);
        add(rightHip, rightKnee, 0.075, k.trousers);
        add(rightKnee, rightFoot, 0.062, k.trousers);
        add(leftFoot + V3 { -0.06, -0.03, 0 }, leftFoot + V3 { 0.13, -0.03, 0.02 }, 0.045, k.shoe);
        add(rightFoot + V3 { -0.06, -0.03 - m_pose.heel * 0.5, 0 }, rightFoot + V3 { 0.13, -0.03 - m_pose.heel, -0.02 },
            0.045, k.shoe);
        // Body.
        add(leftHip, rightHip, 0.12, k.trousers);
        add(hip + spine * 0.08, chest - spine * 0.05, 0.15, k.shirt);
        add(leftShoulder, rightShoulder, 0.09, k.shirt);
        add(chest, neck, 0.06, k.skin);
        // Arms: sleeves, forearms, hands.
        add(leftShoulder, leftElbow, 0.055, k.shirt);
        add(leftElbow, leftHand, 0.045, k.skin);
        add(rightShoulder, rightElbow, 0.055, k.shirt);
        add(rightElbow, rightHand, 0.045, k.skin);
        add(leftHand, leftHand + gripDir * 0.03, 0.045, k.glove);
        add(rightHand, rightHand + gripDir * 0.02, 0.042, k.skin);
        // The club: a thin shaft and its head.
        add(hands - gripDir * 0.04, head, 0.012, 0x3A3A3A);
        const V3 toe = putt ? V3 { 0, 0, 0.1 } : V3 { 0.04, 0, 0.09 };
        add(head, head + toe, putt ? 0.02 : 0.04, putt ? 0x9A9AA0 : 0x202024);
        // Head, cap or visor, hair.
        add(headCentre, headCentre + V3 { 0, 0.01, 0 }, 0.11, k.skin);
        const V3 face = norm(V3 { 1 - lookUp * 0.6, -0.2 * (1 - lookUp), lookUp * 0.9 });
        if (k.female) {
            add(headCentre + V3 { -0.03, 0.04, 0 }, headCentre + V3 { -0.02, 0.05, 0 }, 0.105, k.hair);
            add(headCentre - face * 0.1 + V3 { 0, 0.02, 0 }, headCentre - face * 0.17 - V3 { 0, 0.1, 0 }, 0.04, k.hair);
            add(headCentre + face * 0.05 + V3 { 0, 0.07, 0 }, headCentre + face * 0.14 + V3 { 0, 0.05, 0 }, 0.03,
                k.cap);
        } else {
            add(headCentre + V3 { -0.01, 0.06, 0 }, headCentre + V3 { 0, 0.065, 0 }, 0.1, k.cap);
            add(headCentre + face * 0.06 + V3 { 0, 0.06, 0 }, headCentre + face * 0.15 + V3 { 0, 0.05, 0 }, 0.03,
                k.cap);
            add(headCentre - face * 0.07 + V3 { 0, -0.02, 0 }, headCentre - face * 0.06 + V3 { 0, -0.05, 0 }, 0.06,
                k.hair);
        }
        return parts;
    }

private:
    Look m_look;
    Pose m_pose;
};

// Projection: seen from behind the ball, a little from above.
struct Camera {
    double scale;  // pixels per metre
    double originX;
    double groundY;
    double elevation;
    double screenX(V3 p) const { return originX + p.x * scale; }
    double screenY(V3 p) const { return groundY - (p.y * std::cos(elevation) + p.z * std::sin(elevation)) * scale; }
    // Larger is farther from the viewer.
    double depth(V3 p) const { return p.z * std::cos(elevation) - p.y * std::sin(elevation); }
};

uint32_t darker(uint32_t rgb, double f)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        out |= static_cast<uint32_t>(((rgb >> shift) & 0xFF) * f) << shift;
    }
    return out;
}

Picture drawFrame(const Look& look, const Pose& pose, const std::string& name)
{
    constexpr int32_t kWidth = 128;
    constexpr int32_t kHeight = 136;
    const Camera camera { 50 * look.scale, 54, 127, 12 * kDeg };
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.cr();
    std::vector<Part> parts = Puppet(look, pose).build();
    for (auto& part : parts) {
        part.depth = (camera.depth(part.a) + camera.depth(part.b)) * 0.5;
    }
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.depth > b.depth; });
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const auto& part : parts) {
        const double ax = camera.screenX(part.a);
        const double ay = camera.screenY(part.a);
        const double bx = camera.screenX(part.b);
        const double by = camera.screenY(part.b);
        const double width = 2 * part.radius * camera.scale;
        // Dark rim, body colour, then a highlight along the lit side.
        setColour(cr, darker(part.colour, 0.45));
        cairo_set_line_width(cr, width + 1.2);
        cairo_move_to(cr, ax, ay);
        cairo_line_to(cr, bx, by);
        cairo_stroke(cr);
        setColour(cr, part.colour);
        cairo_set_line_width(cr, width);
        cairo_move_to(cr, ax, ay);
        cairo_line_to(cr, bx, by);
        cairo_stroke(cr);
        if (width > 3) {
            setColour(cr, 0xFFFFFF, 0.22);
            cairo_set_line_width(cr, width * 0.35);
            cairo_move_to(cr, ax - width * 0.18, ay - width * 0.18);
            cairo_line_to(cr, bx - width * 0.18, by - width * 0.18);
            cairo_stroke(cr);
        }
    }
    // The hot spot is where the ball lies at address, on the ground line.
    const V3 ball { 0.62, 0, 0 };
    return canvas.take(name, static_cast<int32_t>(std::lround(camera.screenX(ball))),
        static_cast<int32_t>(std::lround(camera.screenY(ball))) - 1);
}

}  // namespace

std::vector<Picture> drawGolfer(bool female)
{
    const Look look = female
                          ? Look { 0xD8406A, 0xECECEC, 0xE8BC98, 0xD8B060, 0xFFFFFF, 0xF4F4F4, 0xFFFFFF, true, 0.95 }
                          : Look { 0x2A5DA8, 0x3C3C46, 0xD8A680, 0x5A3A22, 0xF2F2F2, 0x6A3A1A, 0xFFFFFF, false, 1.0 };
    // Stance, seven frames of backswing, two of downswing, seven of
    // follow-through; then the putt: stance, putter back, four frames through.
    const Pose poses[23] = {
        { 0, 0, 0, 0, 0, false },
        { 12, 2, 12, 5, 0, false },
        { 30, 10, 28, 12, 0, false },
        { 55, 28, 46, 20, 0, false },
        { 85, 52, 62, 28, 0, false },
        { 118, 72, 76, 36, 0, false },
        { 150, 86, 86, 42, 0, false },
        { 178, 94, 92, 45, 0, false },
        { 115, 88, 55, 10, 0, false },
        { 40, 40, 15, -20, 0.01, false },
        { -25, 5, -20, -45, 0.03, false },
        { -65, 20, -45, -60, 0.05, false },
        { -105, 45, -65, -72, 0.07, false },
        { -145, 70, -82, -82, 0.08, false },
        { -180, 92, -95, -88, 0.09, false },
        { -205, 108, -102, -92, 0.1, false },
        { -222, 116, -106, -94, 0.1, false },
        { 0, 0, 0, 0, 0, true },
        { 16, 0, 7, 0, 0, true },
        { 2, 0, 1, 0, 0, true },
        { -10, 0, -5, 0, 0, true },
        { -18, 0, -8, 0, 0, true },
        { -22, 0, -10, 0, 0, true },
    };
    std::vector<Picture> frames;
    for (int k = 0; k < 23; ++k) {
        frames.push_back(drawFrame(look, poses[k], std::string(female ? "her " : "his ") + std::to_string(k)));
    }
    return frames;
}

}  // namespace tarnby::art
