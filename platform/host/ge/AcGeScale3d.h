// Scale factors along x, y and z.
#pragma once

#include "AcGeMatrix3d.h"

class AcGeScale3d {
  public:
    AcGeScale3d() = default;
    explicit AcGeScale3d(double factor) : sx(factor), sy(factor), sz(factor) {}
    AcGeScale3d(double x, double y, double z) : sx(x), sy(y), sz(z) {}

    static const AcGeScale3d kIdentity;

    AcGeScale3d operator*(const AcGeScale3d& s) const { return {sx * s.sx, sy * s.sy, sz * s.sz}; }
    AcGeScale3d operator*(double f) const { return {sx * f, sy * f, sz * f}; }
    double operator[](unsigned i) const { return i == 0 ? sx : i == 1 ? sy : sz; }
    bool isEqualTo(const AcGeScale3d& s, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeScale3d& s) const { return isEqualTo(s); }
    bool operator!=(const AcGeScale3d& s) const { return !isEqualTo(s); }
    AcGeScale3d& set(double x, double y, double z) {
        sx = x;
        sy = y;
        sz = z;
        return *this;
    }
    // The scaling matrix about the origin.
    AcGeMatrix3d& getMatrix(AcGeMatrix3d& m) const;

    double sx = 1.0, sy = 1.0, sz = 1.0;
};
