#pragma once
// Parallel projection of the 3-D graph: an eye on a sphere of radius r around the origin, looking at
// it, with the screen axes A (across) and B (up) perpendicular to the line of sight.
#include <cmath>

struct C3DPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

struct C3DProjected {
    double u = 0;
    double v = 0;
};

class C3DProjection {
public:
    // theta and phi in radians, r the distance of the eye.
    C3DProjection(double theta, double phi, double r) {
        const double ct = std::cos(theta), st = std::sin(theta), cp = std::cos(phi), sp = std::sin(phi);
        eye_ = {r * cp * ct, r * cp * st, r * sp};
        a_ = {-st, ct, 0};
        b_ = {-sp * ct, -sp * st, cp};
        direction_ = {-cp * ct, -cp * st, -sp};
    }
    virtual ~C3DProjection() = default;

    C3DProjected Project(const C3DPoint& p) const {
        const C3DPoint d{p.x - eye_.x, p.y - eye_.y, p.z - eye_.z};
        return {Dot(d, a_), Dot(d, b_)};
    }
    C3DProjected Project(double x, double y, double z) const { return Project(C3DPoint{x, y, z}); }

    const C3DPoint& Eye() const { return eye_; }
    const C3DPoint& AxisA() const { return a_; }
    const C3DPoint& AxisB() const { return b_; }
    const C3DPoint& Direction() const { return direction_; }

private:
    static double Dot(const C3DPoint& p, const C3DPoint& q) { return p.x * q.x + p.y * q.y + p.z * q.z; }

    C3DPoint eye_;
    C3DPoint a_;
    C3DPoint b_;
    C3DPoint direction_;
};
