// Hatches: areas bounded by loops and filled with a pattern (or solid).
//
// Loops lie in the plane of the hatch's normal at its elevation; each is kept as vertices and
// bulges in that plane's coordinate system. A loop made from objects takes a copy of their
// geometry when it is appended; later changes to the objects do not move the hatch.
//
// Evaluation (evaluateHatch) decides whether the pattern can be shown, as the host does before it
// draws one. For each line family of the pattern (its angle turned by the pattern angle, its
// spacing and dashes times the pattern scale), the lines that cross the box of the loops are
// counted, and for a dashed family each line counts once per repetition of its dashes along the
// box. Then:
//   - more than the database's HPMAXLINES (1 000 000 unless set) line pieces: eHatchTooDense (420);
//   - no line crossing the box at all: eAmbiguousOutput (5), "not dense enough";
//   - otherwise eOk. A solid fill is always eOk.
// A hatch without loops or without a pattern gives eInvalidInput. The estimate flag of the host
// is accepted and changes nothing: the count is always made from the box of the loops.
#pragma once

#include <string>
#include <vector>

#include "AcDbEntity.h"
#include "../ge/BulgeSegment.h"

class AcDbHatch : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbHatch)
  public:
    enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
    enum HatchStyle { kNormal = 0, kOuter = 1, kIgnore = 2 };
    enum HatchLoopType {
        kDefault = 0,
        kExternal = 1,
        kPolyline = 2,
        kDerived = 4,
        kTextbox = 8,
        kOutermost = 0x10,
        kNotClosed = 0x20,
        kSelfIntersecting = 0x40,
        kTextIsland = 0x80,
        kDuplicate = 0x100,
    };
    enum HatchObjectType { kHatchObject = 0, kGradientObject = 1 };

    AcDbHatch() = default;
    QV_RX_CLONE(AcDbHatch)

    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double elevation() const { return m_elevation; }
    Acad::ErrorStatus setElevation(double elevation);
    bool associative() const { return m_associative; }
    Acad::ErrorStatus setAssociative(bool associative);
    HatchObjectType hatchObjectType() const { return kHatchObject; }

    // A predefined pattern by name (any case; see HatchPatterns.h), or a user-defined pattern
    // of parallel lines patternSpace() apart (crossed when patternDouble()). eInvalidInput for an
    // unknown predefined name and for custom patterns (the host has no pattern files here);
    // nothing changes then.
    Acad::ErrorStatus setPattern(HatchPatternType type, const ACHAR* name);
    HatchPatternType patternType() const { return m_patternType; }
    const ACHAR* patternName() const { return m_patternName.c_str(); }
    bool isSolidFill() const;
    double patternAngle() const { return m_patternAngle; }
    Acad::ErrorStatus setPatternAngle(double angle);
    double patternScale() const { return m_patternScale; }
    // eInvalidInput unless above 0.
    Acad::ErrorStatus setPatternScale(double scale);
    double patternSpace() const { return m_patternSpace; }
    Acad::ErrorStatus setPatternSpace(double space);
    bool patternDouble() const { return m_patternDouble; }
    Acad::ErrorStatus setPatternDouble(bool isDouble);
    HatchStyle hatchStyle() const { return m_style; }
    Acad::ErrorStatus setHatchStyle(HatchStyle style);

    int numLoops() const { return static_cast<int>(m_loops.size()); }
    // A loop from closed curves (a closed polyline, a circle) or from lines, arcs and open
    // polylines that join end to end into a closed chain, in the hatch's plane (their normal
    // parallel to the hatch's). eNullObjectId, eWasErased, eNotThatKindOfClass (not a curve),
    // eInvalidInput (not closed, not in the plane, empty).
    Acad::ErrorStatus appendLoop(Adesk::Int32 loopType, const AcDbObjectIdArray& objects);
    // A loop of vertices and bulges in the hatch's plane (one bulge per vertex, or none).
    Acad::ErrorStatus appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                                 const AcGeDoubleArray& bulges);
    Acad::ErrorStatus removeLoopAt(int index);
    Adesk::Int32 loopTypeAt(int index) const;
    Acad::ErrorStatus getLoopAt(int index, Adesk::Int32& loopType, AcGePoint2dArray& vertices,
                                AcGeDoubleArray& bulges) const;
    Acad::ErrorStatus getAssocObjIdsAt(int index, AcDbObjectIdArray& objects) const;

    // See the rule above. Afterwards numHatchLines() gives the line pieces counted.
    Acad::ErrorStatus evaluateHatch(bool underestimateNumLines = false);
    int numHatchLines() const { return m_lines; }
    int numPatternDefinitions() const;

    // The filled area: loops alternate between filled and empty by how deep they lie inside each
    // other (normal style); the outer style fills only the outermost loops without their first
    // islands; ignore fills the outermost loops whole.
    Acad::ErrorStatus getArea(double& area) const;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Carries loops, normal and elevation, and turns and scales the pattern with them; only
    // scales that are equal along the axes (eCannotScaleNonUniformly otherwise).
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;

    struct Loop {
        Adesk::Int32 type = kDefault;
        std::vector<AcGePoint2d> vertices;
        std::vector<double> bulges;
        std::vector<AcDbObjectId> objects;
        std::vector<qv::host::BulgeSegment> segments() const;
    };
    const std::vector<Loop>& qvLoops() const { return m_loops; }
    // Adds a boundary object read from a file to a loop (the drawing-file code's own use).
    void qvAppendLoopObject(int index, AcDbObjectId object) {
        if (index >= 0 && index < numLoops()) {
            m_loops[static_cast<size_t>(index)].objects.push_back(object);
        }
    }

  private:
    AcGeMatrix3d plane() const;

    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_elevation = 0.0;
    bool m_associative = false;
    HatchPatternType m_patternType = kPreDefined;
    std::wstring m_patternName;
    double m_patternAngle = 0.0, m_patternScale = 1.0, m_patternSpace = 1.0;
    bool m_patternDouble = false;
    HatchStyle m_style = kNormal;
    std::vector<Loop> m_loops;
    int m_lines = 0;
};

namespace qv::host {

// A hatch that the host keeps as read because its loops have elliptic or spline edges: drawn
// and measured through a hatch of the same pattern whose loops are those edges made straight
// pieces. To the host's callers it is no hatch (nor has it a type name a selection could ask
// for), so nothing edits what would not be saved.
class CurvedHatch : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(CurvedHatch)
  public:
    CurvedHatch() = default;
    QV_RX_CLONE(CurvedHatch)

    const AcDbHatch& qvHatch() const { return m_hatch; }
    AcDbHatch& qvHatch() { return m_hatch; }
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override {
        return m_hatch.getGeomExtents(extents);
    }

  private:
    AcDbHatch m_hatch;
};

}  // namespace qv::host
