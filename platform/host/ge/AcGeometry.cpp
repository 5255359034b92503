#include <cmath>
#include <numbers>

#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/AcGeScale3d.h"

AcGeTol AcGeContext::gTol;

const AcGeVector2d AcGeVector2d::kIdentity(0.0, 0.0);
const AcGeVector2d AcGeVector2d::kXAxis(1.0, 0.0);
const AcGeVector2d AcGeVector2d::kYAxis(0.0, 1.0);
const AcGeVector3d AcGeVector3d::kIdentity(0.0, 0.0, 0.0);
const AcGeVector3d AcGeVector3d::kXAxis(1.0, 0.0, 0.0);
const AcGeVector3d AcGeVector3d::kYAxis(0.0, 1.0, 0.0);
const AcGeVector3d AcGeVector3d::kZAxis(0.0, 0.0, 1.0);
const AcGePoint2d AcGePoint2d::kOrigin(0.0, 0.0);
const AcGePoint3d AcGePoint3d::kOrigin(0.0, 0.0, 0.0);
const AcGeMatrix3d AcGeMatrix3d::kIdentity;
const AcGeScale3d AcGeScale3d::kIdentity(1.0, 1.0, 1.0);

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double clampedAcos(double c) {
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

}  // namespace

// ---- vectors ----

double AcGeVector2d::angle() const {
    const double a = std::atan2(y, x);
    return a < 0.0 ? a + kTwoPi : a;
}

double AcGeVector2d::angleTo(const AcGeVector2d& v) const {
    const double lengths = length() * v.length();
    return lengths == 0.0 ? 0.0 : clampedAcos(dotProduct(v) / lengths);
}

AcGeVector2d& AcGeVector2d::normalize(const AcGeTol& tol) {
    const double l = length();
    if (l > tol.equalVector()) {
        x /= l;
        y /= l;
    }
    return *this;
}

double AcGeVector3d::angleTo(const AcGeVector3d& v) const {
    const double lengths = length() * v.length();
    return lengths == 0.0 ? 0.0 : clampedAcos(dotProduct(v) / lengths);
}

double AcGeVector3d::angleTo(const AcGeVector3d& v, const AcGeVector3d& reference) const {
    const double a = angleTo(v);
    return crossProduct(v).dotProduct(reference) < 0.0 ? kTwoPi - a : a;
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol) {
    const double l = length();
    if (l > tol.equalVector()) {
        *this /= l;
    }
    return *this;
}

AcGeVector3d AcGeVector3d::perpVector() const {
    return arbitraryXAxis(*this);
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) {
    const AcGeVector3d v = *this;
    for (unsigned r = 0; r < 3; ++r) {
        (*this)[r] = m.entry[r][0] * v.x + m.entry[r][1] * v.y + m.entry[r][2] * v.z;
    }
    return *this;
}

AcGeVector3d& AcGeVector3d::rotateBy(double angle, const AcGeVector3d& axis) {
    return transformBy(AcGeMatrix3d::rotation(angle, axis));
}

bool AcGeVector3d::isParallelTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) {
        return false;
    }
    return normal().crossProduct(v.normal()).length() <= tol.equalVector();
}

bool AcGeVector3d::isCodirectionalTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    return isParallelTo(v, tol) && dotProduct(v) > 0.0;
}

bool AcGeVector3d::isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) {
        return false;
    }
    return std::fabs(normal().dotProduct(v.normal())) <= tol.equalVector();
}

AcGeVector3d arbitraryXAxis(const AcGeVector3d& normal) {
    const AcGeVector3d n = normal.normal();
    constexpr double kLimit = 1.0 / 64.0;
    const AcGeVector3d axis = std::fabs(n.x) < kLimit && std::fabs(n.y) < kLimit
                                  ? AcGeVector3d::kYAxis.crossProduct(n)
                                  : AcGeVector3d::kZAxis.crossProduct(n);
    return axis.normal();
}

// ---- points ----

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) {
    const AcGePoint3d p = *this;
    double out[4];
    for (unsigned r = 0; r < 4; ++r) {
        out[r] = m.entry[r][0] * p.x + m.entry[r][1] * p.y + m.entry[r][2] * p.z + m.entry[r][3];
    }
    const double w = out[3] != 0.0 ? out[3] : 1.0;
    return set(out[0] / w, out[1] / w, out[2] / w);
}

AcGePoint3d& AcGePoint3d::rotateBy(double angle, const AcGeVector3d& axis,
                                   const AcGePoint3d& about) {
    return transformBy(AcGeMatrix3d::rotation(angle, axis, about));
}

AcGePoint3d& AcGePoint3d::scaleBy(double factor, const AcGePoint3d& about) {
    return transformBy(AcGeMatrix3d::scaling(factor, about));
}

// ---- scale ----

bool AcGeScale3d::isEqualTo(const AcGeScale3d& s, const AcGeTol& tol) const {
    return std::fabs(sx - s.sx) <= tol.equalVector() && std::fabs(sy - s.sy) <= tol.equalVector() &&
           std::fabs(sz - s.sz) <= tol.equalVector();
}

AcGeMatrix3d& AcGeScale3d::getMatrix(AcGeMatrix3d& m) const {
    return m.setToScaling(*this);
}

// ---- matrices ----

AcGeMatrix3d::AcGeMatrix3d() {
    setToIdentity();
}

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            entry[r][c] = r == c ? 1.0 : 0.0;
        }
    }
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToProduct(const AcGeMatrix3d& m1, const AcGeMatrix3d& m2) {
    AcGeMatrix3d out;
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (unsigned k = 0; k < 4; ++k) {
                sum += m1.entry[r][k] * m2.entry[k][c];
            }
            out.entry[r][c] = sum;
        }
    }
    return *this = out;
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& left) {
    return setToProduct(left, AcGeMatrix3d(*this));
}

AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& right) {
    return setToProduct(AcGeMatrix3d(*this), right);
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d out;
    return out.setToProduct(*this, m);
}

double AcGeMatrix3d::det() const {
    // Laplace expansion over 2 x 2 minors of the first two rows.
    const auto& m = entry;
    const double s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const double s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const double s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const double s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const double s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const double s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const double c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const double c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const double c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const double c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const double c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const double c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
    return std::fabs(det()) <= tol.equalPoint() * tol.equalPoint();
}

AcGeMatrix3d& AcGeMatrix3d::invert() {
    // Gauss-Jordan elimination with partial pivoting.
    double a[4][8];
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            a[r][c] = entry[r][c];
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    }
    for (unsigned col = 0; col < 4; ++col) {
        unsigned pivot = col;
        for (unsigned r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][col]) < 1e-300) {
            return *this;  // singular: left unchanged
        }
        if (pivot != col) {
            for (unsigned c = 0; c < 8; ++c) {
                std::swap(a[pivot][c], a[col][c]);
            }
        }
        const double p = a[col][col];
        for (unsigned c = 0; c < 8; ++c) {
            a[col][c] /= p;
        }
        for (unsigned r = 0; r < 4; ++r) {
            if (r != col && a[r][col] != 0.0) {
                const double f = a[r][col];
                for (unsigned c = 0; c < 8; ++c) {
                    a[r][c] -= f * a[col][c];
                }
            }
        }
    }
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            entry[r][c] = a[r][c + 4];
        }
    }
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::transposeIt() {
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = r + 1; c < 4; ++c) {
            std::swap(entry[r][c], entry[c][r]);
        }
    }
    return *this;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            if (std::fabs(entry[r][c] - m.entry[r][c]) > tol.equalVector()) {
                return false;
            }
        }
    }
    return true;
}

namespace {

AcGeVector3d column(const AcGeMatrix3d& m, unsigned c) {
    return {m.entry[0][c], m.entry[1][c], m.entry[2][c]};
}

}  // namespace

bool AcGeMatrix3d::isScaledOrtho(const AcGeTol& tol) const {
    const AcGeVector3d x = column(*this, 0), y = column(*this, 1), z = column(*this, 2);
    if (x.isZeroLength(tol) || y.isZeroLength(tol) || z.isZeroLength(tol)) {
        return false;
    }
    const double limit = 1e-9;
    return std::fabs(x.normal().dotProduct(y.normal())) <= limit &&
           std::fabs(y.normal().dotProduct(z.normal())) <= limit &&
           std::fabs(z.normal().dotProduct(x.normal())) <= limit;
}

bool AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const {
    if (!isScaledOrtho(tol)) {
        return false;
    }
    const double lx = column(*this, 0).length(), ly = column(*this, 1).length(),
                 lz = column(*this, 2).length();
    const double limit = 1e-9 * std::fmax(lx, std::fmax(ly, lz));
    return std::fabs(lx - ly) <= limit && std::fabs(ly - lz) <= limit;
}

double AcGeMatrix3d::scale() const {
    return std::fmax(column(*this, 0).length(),
                     std::fmax(column(*this, 1).length(), column(*this, 2).length()));
}

AcGeMatrix3d& AcGeMatrix3d::setTranslation(const AcGeVector3d& v) {
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis) {
    setToIdentity();
    for (unsigned r = 0; r < 3; ++r) {
        entry[r][0] = xAxis[r];
        entry[r][1] = yAxis[r];
        entry[r][2] = zAxis[r];
        entry[r][3] = origin[r];
    }
    return *this;
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                                  AcGeVector3d& zAxis) const {
    xAxis = column(*this, 0);
    yAxis = column(*this, 1);
    zAxis = column(*this, 2);
    const AcGeVector3d t = column(*this, 3);
    origin.set(t.x, t.y, t.z);
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& v) {
    setToIdentity();
    return setTranslation(v);
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis,
                                          const AcGePoint3d& center) {
    const AcGeVector3d u = axis.normal();
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    setToIdentity();
    entry[0][0] = t * u.x * u.x + c;
    entry[0][1] = t * u.x * u.y - s * u.z;
    entry[0][2] = t * u.x * u.z + s * u.y;
    entry[1][0] = t * u.x * u.y + s * u.z;
    entry[1][1] = t * u.y * u.y + c;
    entry[1][2] = t * u.y * u.z - s * u.x;
    entry[2][0] = t * u.x * u.z - s * u.y;
    entry[2][1] = t * u.y * u.z + s * u.x;
    entry[2][2] = t * u.z * u.z + c;
    // Keep the centre fixed: translation = center - R * center.
    const AcGeVector3d moved =
        column(*this, 0) * center.x + column(*this, 1) * center.y + column(*this, 2) * center.z;
    return setTranslation(center.asVector() - moved);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(double factor, const AcGePoint3d& center) {
    return setToScaling(AcGeScale3d(factor), center);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(const AcGeScale3d& factors, const AcGePoint3d& center) {
    setToIdentity();
    entry[0][0] = factors.sx;
    entry[1][1] = factors.sy;
    entry[2][2] = factors.sz;
    return setTranslation({center.x * (1.0 - factors.sx), center.y * (1.0 - factors.sy),
                           center.z * (1.0 - factors.sz)});
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& pointOnPlane,
                                           const AcGeVector3d& normal) {
    const AcGeVector3d n = normal.normal();
    setToIdentity();
    for (unsigned r = 0; r < 3; ++r) {
        for (unsigned c = 0; c < 3; ++c) {
            entry[r][c] -= 2.0 * n[r] * n[c];
        }
    }
    const double d = pointOnPlane.asVector().dotProduct(n);
    return setTranslation(n * (2.0 * d));
}

AcGeMatrix3d& AcGeMatrix3d::setToAlignCoordSys(const AcGePoint3d& fromOrigin,
                                               const AcGeVector3d& fromX, const AcGeVector3d& fromY,
                                               const AcGeVector3d& fromZ,
                                               const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                               const AcGeVector3d& toY, const AcGeVector3d& toZ) {
    AcGeMatrix3d from, to;
    from.setCoordSystem(fromOrigin, fromX, fromY, fromZ);
    to.setCoordSystem(toOrigin, toX, toY, toZ);
    return setToProduct(to, from.inverse());
}

AcGeMatrix3d& AcGeMatrix3d::setToPlaneToWorld(const AcGeVector3d& normal) {
    if (normal.x == 0.0 && normal.y == 0.0 && normal.z > 0.0) {
        return setToIdentity();  // the world's own plane, as the arbitrary-axis rule gives it
    }
    const AcGeVector3d z = normal.normal();
    const AcGeVector3d x = arbitraryXAxis(z);
    const AcGeVector3d y = z.crossProduct(x).normal();
    return setCoordSystem(AcGePoint3d::kOrigin, x, y, z);
}

AcGeMatrix3d& AcGeMatrix3d::setToWorldToPlane(const AcGeVector3d& normal) {
    setToPlaneToWorld(normal);
    return transposeIt();  // a rotation: its inverse is its transpose
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
    return AcGeMatrix3d().setToTranslation(v);
}
AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis,
                                    const AcGePoint3d& center) {
    return AcGeMatrix3d().setToRotation(angle, axis, center);
}
AcGeMatrix3d AcGeMatrix3d::scaling(double factor, const AcGePoint3d& center) {
    return AcGeMatrix3d().setToScaling(factor, center);
}
AcGeMatrix3d AcGeMatrix3d::scaling(const AcGeScale3d& factors, const AcGePoint3d& center) {
    return AcGeMatrix3d().setToScaling(factors, center);
}
AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePoint3d& pointOnPlane, const AcGeVector3d& normal) {
    return AcGeMatrix3d().setToMirroring(pointOnPlane, normal);
}
AcGeMatrix3d AcGeMatrix3d::alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                         const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                         const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                         const AcGeVector3d& toY, const AcGeVector3d& toZ) {
    return AcGeMatrix3d().setToAlignCoordSys(fromOrigin, fromX, fromY, fromZ, toOrigin, toX, toY,
                                             toZ);
}
AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal) {
    return AcGeMatrix3d().setToPlaneToWorld(normal);
}
AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal) {
    return AcGeMatrix3d().setToWorldToPlane(normal);
}
