// 4 x 4 transformation matrices of the host's geometry. Points are columns: the matrix m1 * m2
// applies m2 first, then m1 (the host's convention), and m * p transforms the point p.
#pragma once

#include "AcGePoint.h"

class AcGeScale3d;

class AcGeMatrix3d {
  public:
    // The identity.
    AcGeMatrix3d();

    static const AcGeMatrix3d kIdentity;

    AcGeMatrix3d& setToIdentity();
    AcGeMatrix3d& setToProduct(const AcGeMatrix3d& m1, const AcGeMatrix3d& m2);
    // this = left * this.
    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left);
    // this = this * right.
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right);
    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    AcGeMatrix3d& operator*=(const AcGeMatrix3d& m) { return postMultBy(m); }

    // Inverts in place; a singular matrix is left unchanged (check isSingular() first).
    AcGeMatrix3d& invert();
    AcGeMatrix3d inverse() const { return AcGeMatrix3d(*this).invert(); }
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
    double det() const;
    AcGeMatrix3d& transposeIt();
    AcGeMatrix3d transpose() const { return AcGeMatrix3d(*this).transposeIt(); }

    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeMatrix3d& m) const { return isEqualTo(m); }
    bool operator!=(const AcGeMatrix3d& m) const { return !isEqualTo(m); }
    // True when the linear part is a rotation (or mirror) times one scale factor.
    bool isUniScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // True when the three axes stay perpendicular (each may have its own scale).
    bool isScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // The largest factor by which the matrix lengthens a vector of its axes.
    double scale() const;

    AcGeVector3d translation() const { return {entry[0][3], entry[1][3], entry[2][3]}; }
    AcGeMatrix3d& setTranslation(const AcGeVector3d& v);
    AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                 const AcGeVector3d& yAxis, const AcGeVector3d& zAxis);
    void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                        AcGeVector3d& zAxis) const;

    AcGeMatrix3d& setToTranslation(const AcGeVector3d& v);
    // Rotation by `angle` radians, counter-clockwise seen from the tip of `axis`.
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToScaling(double factor, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToScaling(const AcGeScale3d& factors,
                               const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToMirroring(const AcGePoint3d& pointOnPlane, const AcGeVector3d& normal);
    // Maps the coordinate system "from" onto the coordinate system "to".
    AcGeMatrix3d& setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                     const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                     const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                     const AcGeVector3d& toY, const AcGeVector3d& toZ);
    // From the object coordinate system of a plane with this normal (the arbitrary-axis rule of
    // the drawing format) to the world, and back.
    AcGeMatrix3d& setToPlaneToWorld(const AcGeVector3d& normal);
    AcGeMatrix3d& setToWorldToPlane(const AcGeVector3d& normal);

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(double factor, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(const AcGeScale3d& factors,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d mirroring(const AcGePoint3d& pointOnPlane, const AcGeVector3d& normal);
    static AcGeMatrix3d alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                      const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                      const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                      const AcGeVector3d& toY, const AcGeVector3d& toZ);
    static AcGeMatrix3d planeToWorld(const AcGeVector3d& normal);
    static AcGeMatrix3d worldToPlane(const AcGeVector3d& normal);

    double operator()(unsigned row, unsigned column) const { return entry[row][column]; }
    double& operator()(unsigned row, unsigned column) { return entry[row][column]; }

    double entry[4][4];
};

inline AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
    return AcGePoint3d(p).transformBy(m);
}
inline AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
    return AcGeVector3d(v).transformBy(m);
}

// The x axis of the object coordinate system of a plane with this normal (arbitrary-axis rule).
AcGeVector3d arbitraryXAxis(const AcGeVector3d& normal);
