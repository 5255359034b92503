// Kept shapes: the records the host draws from their tags but writes back as read.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <span>
#include <string_view>
#include <type_traits>

#include "host/db/AcDbDimension.h"
#include "host/db/AcDbEllipse.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbMText.h"
#include "host/db/AcDbPoint.h"
#include "host/db/AcDbSpline.h"
#include "host/db/MeshShapes.h"
#include "host/dxf/Codec.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/KeptObjects.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

double real(std::string_view text, double fallback = 0.0) {
    double value = 0.0;
    return parseDouble(text, value) && std::isfinite(value) ? value : fallback;
}

std::int64_t integer(std::string_view text, std::int64_t fallback = 0) {
    std::int64_t value = 0;
    return parseInteger(text, value) ? value : fallback;
}

// The points of one base code (10, 11, ...) in their order: x starts a point, y and z (code + 10,
// + 20) complete the last one.
class Points {
  public:
    explicit Points(int base) : m_base(base) {}
    bool take(const TagView& tag) {
        if (tag.code == m_base) {
            points.emplace_back(real(tag.value), 0.0, 0.0);
        } else if ((tag.code == m_base + 10 || tag.code == m_base + 20) && !points.empty()) {
            (tag.code == m_base + 10 ? points.back().y : points.back().z) = real(tag.value);
        } else {
            return false;
        }
        return true;
    }
    AcGePoint3d first(const AcGePoint3d& fallback = AcGePoint3d::kOrigin) const {
        return points.empty() ? fallback : points.front();
    }
    AcGeVector3d vector(const AcGeVector3d& fallback) const {
        return points.empty() ? fallback : points.front().asVector();
    }
    std::vector<AcGePoint3d> points;

  private:
    int m_base;
};

// Calls `visit` with each tag of the body (the subclass markers left out), up to the first tag
// of code `stopCode` (that of an embedded object, which uses the same codes again).
void forEachTag(const KeptTags& kept, const std::function<void(const TagView&)>& visit,
                int stopCode = -1) {
    for (const TagView tag : kept.body) {
        if (tag.code == stopCode) {
            return;
        }
        if (tag.code != kSubclassCode) {
            visit(tag);
        }
    }
}

// How a multi-line text sets its columns, as the drawing gives it: since 2018 in the object
// embedded after the text's tags (101), before in the extended data of the application "ACAD"
// (ACAD_MTEXT_COLUMN_INFO and ACAD_MTEXT_DEFINED_HEIGHT, each a group code and its value).
class ColumnSettings {
  public:
    void embedded(const TagView& tag) {
        for (const Code& c : kEmbedded) {
            if (c.code == tag.code) {
                set(c.field, tag.value);
            }
        }
    }

    void extendedData(std::span<const TagView> xdata) {
        bool acad = false;
        enum { None, Info, Height } group = None;
        int key = -1;
        std::int64_t heightsLeft = 0;
        for (const TagView& tag : xdata) {
            if (tag.code == 1001) {
                acad = tag.value == "ACAD";
                group = None;
                continue;
            }
            if (!acad) {
                continue;
            }
            if (tag.code == 1000) {
                group = tag.value == "ACAD_MTEXT_COLUMN_INFO_BEGIN"      ? Info
                        : tag.value == "ACAD_MTEXT_DEFINED_HEIGHT_BEGIN" ? Height
                                                                         : None;
                key = -1;
                heightsLeft = 0;
            } else if (group != None && heightsLeft > 0 && tag.code == 1040) {
                set(Field::Height, tag.value);
                --heightsLeft;
            } else if (group != None && key < 0 && tag.code == 1070) {
                key = static_cast<int>(integer(tag.value, -1));
            } else if (group != None && key >= 0) {
                for (const Code& c : group == Info ? std::span<const Code>(kColumnInfo)
                                                   : std::span<const Code>(kDefinedHeight)) {
                    if (c.code == key) {
                        heightsLeft = set(c.field, tag.value);
                    }
                }
                key = -1;
            }
        }
    }

    void setDefinedHeight(std::string_view value) { set(Field::DefinedHeight, value); }

    AcDbMText::Columns columns() const {
        AcDbMText::Columns out;
        if (m_type != 1 && m_type != 2) {
            return out;
        }
        out.given = true;
        out.width = m_width;
        out.gutter = m_gutter;
        if (m_type == 2 && !m_autoHeight && !m_heights.empty()) {
            // Heights of their own; the last column takes what is left.
            out.heights = m_heights;
            out.heights.back() = 0.0;
        } else if (m_definedHeight > 0.0) {
            out.heights = {m_definedHeight};
        }
        return out;
    }

  private:
    enum class Field { Type, AutoHeight, Width, Gutter, DefinedHeight, Height, HeightCount };
    struct Code {
        int code;
        Field field;
    };
    static constexpr Code kEmbedded[] = {{71, Field::Type},  {73, Field::AutoHeight},
                                         {44, Field::Width}, {45, Field::Gutter},
                                         {41, Field::DefinedHeight}, {46, Field::Height}};
    static constexpr Code kColumnInfo[] = {{75, Field::Type}, {79, Field::AutoHeight},
                                           {48, Field::Width}, {49, Field::Gutter},
                                           {50, Field::HeightCount}};
    static constexpr Code kDefinedHeight[] = {{46, Field::DefinedHeight}};

    // Sets a field; how many heights follow (a count of heights), else 0.
    std::int64_t set(Field field, std::string_view value) {
        switch (field) {
            case Field::Type:
                m_type = integer(value);
                break;
            case Field::AutoHeight:
                m_autoHeight = integer(value) != 0;
                break;
            case Field::Width:
                m_width = real(value);
                break;
            case Field::Gutter:
                m_gutter = real(value);
                break;
            case Field::DefinedHeight:
                m_definedHeight = real(value);
                break;
            case Field::Height:
                m_heights.push_back(real(value));
                break;
            case Field::HeightCount:
                return std::clamp<std::int64_t>(integer(value), 0, 4096);
        }
        return 0;
    }

    std::int64_t m_type = 0;  // 1 static, 2 dynamic
    bool m_autoHeight = false;
    double m_width = 0.0, m_gutter = 0.0, m_definedHeight = 0.0;
    std::vector<double> m_heights;
};

void readMText(AcDbMText& text, const KeptTags& kept, std::span<const TagView> xdata) {
    AcDbMText::Data data;
    Points location(10), direction(11), normal(210);
    std::string chunks, last;
    double rotation = 0.0;
    ColumnSettings columns;
    forEachTag(
        kept,
        [&](const TagView& tag) {
            if (location.take(tag) || direction.take(tag) || normal.take(tag)) {
                return;
            }
            switch (tag.code) {
                case 40:
                    data.height = real(tag.value);
                    break;
                case 41:
                    data.width = real(tag.value);
                    break;
                case 44:
                    data.lineSpacing = real(tag.value, 1.0);
                    break;
                case 46:
                    columns.setDefinedHeight(tag.value);
                    break;
                case 50:
                    rotation = real(tag.value) * kDegree;
                    break;
                case 71: {
                    const std::int64_t attachment = integer(tag.value, 1);
                    data.attachment = attachment >= 1 && attachment <= 9
                                          ? static_cast<AcDbMText::AttachmentPoint>(attachment)
                                          : AcDbMText::kTopLeft;
                    break;
                }
                case 3:
                    chunks += tag.value;
                    break;
                case 1:
                    last = tag.value;
                    break;
                default:
                    break;
            }
        },
        101);
    bool embedded = false;
    for (const TagView tag : kept.body) {
        if (embedded) {
            columns.embedded(tag);
        }
        embedded = embedded || tag.code == 101;
    }
    columns.extendedData(xdata);
    data.columns = columns.columns();
    data.location = location.first();
    data.normal = normal.vector(AcGeVector3d::kZAxis);
    if (!direction.points.empty()) {
        data.direction = direction.vector(AcGeVector3d::kXAxis);
    } else {
        // A rotation is measured in the plane of the normal.
        data.direction = AcGeMatrix3d::planeToWorld(data.normal) *
                         AcGeVector3d(std::cos(rotation), std::sin(rotation), 0.0);
    }
    data.contents = utf8ToWide(chunks + last);
    text.qvSetData(std::move(data));
}

void readEllipse(AcDbEllipse& ellipse, const KeptTags& kept) {
    AcDbEllipse::Data data;
    Points center(10), major(11), normal(210);
    forEachTag(kept, [&](const TagView& tag) {
        if (center.take(tag) || major.take(tag) || normal.take(tag)) {
            return;
        }
        if (tag.code == 40) {
            data.radiusRatio = real(tag.value);
        } else if (tag.code == 41) {
            data.startParam = real(tag.value);
        } else if (tag.code == 42) {
            data.endParam = real(tag.value, data.endParam);
        }
    });
    data.center = center.first();
    data.majorAxis = major.vector(AcGeVector3d());
    data.normal = normal.vector(AcGeVector3d::kZAxis);
    ellipse.qvSetData(data);
}

void readSpline(AcDbSpline& spline, const KeptTags& kept) {
    AcDbSpline::Data data;
    Points control(10), fit(11);
    forEachTag(kept, [&](const TagView& tag) {
        if (control.take(tag) || fit.take(tag)) {
            return;
        }
        if (tag.code == 70) {
            const std::int64_t flags = integer(tag.value);
            data.closed = (flags & 1) != 0;
            data.rational = (flags & 4) != 0;
        } else if (tag.code == 71) {
            data.degree = static_cast<int>(std::clamp<std::int64_t>(integer(tag.value, 3), 1, 15));
        } else if (tag.code == 40) {
            data.knots.push_back(real(tag.value, NAN));
        } else if (tag.code == 41) {
            data.weights.push_back(real(tag.value, 1.0));
        }
    });
    data.controlPoints = std::move(control.points);
    data.fitPoints = std::move(fit.points);
    spline.qvSetData(std::move(data));
}

void readPoint(AcDbPoint& point, const KeptTags& kept) {
    Points position(10);
    forEachTag(kept, [&](const TagView& tag) { position.take(tag); });
    point.qvSetPosition(position.first());
}

void readSolid(AcDbSolid& solid, const KeptTags& kept) {
    Points corners[4] = {Points(10), Points(11), Points(12), Points(13)};
    Points normal(210);
    forEachTag(kept, [&](const TagView& tag) {
        for (Points& corner : corners) {
            if (corner.take(tag)) {
                return;
            }
        }
        normal.take(tag);
    });
    const AcGePoint3d third = corners[2].first();
    solid.qvSet({corners[0].first(), corners[1].first(), third, corners[3].first(third)},
                normal.vector(AcGeVector3d::kZAxis));
}

void readDimension(AcDbDimension& dimension, const KeptTags& kept) {
    std::wstring block;
    forEachTag(kept, [&](const TagView& tag) {
        if (tag.code == 2 && block.empty()) {
            block = utf8ToWide(trimBlanks(tag.value));
        }
    });
    dimension.qvSetBlockName(std::move(block));
}

void readLeader(AcDbLeader& leader, const KeptTags& kept) {
    Points vertices(10);
    bool arrow = true;
    double textHeight = 0.0;
    forEachTag(kept, [&](const TagView& tag) {
        if (vertices.take(tag)) {
            return;
        }
        if (tag.code == 71) {
            arrow = integer(tag.value, 1) != 0;
        } else if (tag.code == 40) {
            textHeight = real(tag.value);
        }
    });
    leader.qvSet(std::move(vertices.points), arrow, textHeight);
}

void readFace(AcDbFace& face, const KeptTags& kept) {
    Points corners[4] = {Points(10), Points(11), Points(12), Points(13)};
    std::int64_t invisible = 0;
    forEachTag(kept, [&](const TagView& tag) {
        for (Points& corner : corners) {
            if (corner.take(tag)) {
                return;
            }
        }
        if (tag.code == 70) {
            invisible = integer(tag.value);
        }
    });
    const AcGePoint3d third = corners[2].first();
    face.qvSet({corners[0].first(), corners[1].first(), third, corners[3].first(third)},
               static_cast<int>(invisible & 15));
}

// A POLYLINE and the VERTEX records that follow it (its children, once read).
void readHeavyPolyline(qv::host::HeavyPolyline& polyline, const KeptTags& kept) {
    using Vertex = qv::host::HeavyPolyline::Vertex;
    qv::host::HeavyPolyline::Data data;
    Points elevation(10), normal(210);
    const auto count = [](std::string_view value) {
        return static_cast<int>(std::clamp<std::int64_t>(integer(value), 0, 1 << 20));
    };
    forEachTag(kept, [&](const TagView& tag) {
        if (elevation.take(tag) || normal.take(tag)) {
            return;
        }
        switch (tag.code) {
            case 70:
                data.flags = static_cast<int>(integer(tag.value));
                break;
            case 71:
                data.meshM = count(tag.value);
                break;
            case 72:
                data.meshN = count(tag.value);
                break;
            case 73:
                data.smoothM = count(tag.value);
                break;
            case 74:
                data.smoothN = count(tag.value);
                break;
            case 40:
                data.startWidth = real(tag.value);
                break;
            case 41:
                data.endWidth = real(tag.value);
                break;
            default:
                break;
        }
    });
    data.elevation = elevation.first().z;
    data.normal = normal.vector(AcGeVector3d::kZAxis);
    for (const KeptChild& child : kept.children) {
        if (child.type != "VERTEX") {
            continue;
        }
        Vertex vertex;
        for (size_t i = child.groupTags; i < child.tags.size(); ++i) {
            const TagView tag = child.tags[i];
            switch (tag.code) {
                case 10:
                    vertex.point.x = real(tag.value);
                    break;
                case 20:
                    vertex.point.y = real(tag.value);
                    break;
                case 30:
                    vertex.point.z = real(tag.value);
                    break;
                case 40:
                    vertex.startWidth = real(tag.value, -1.0);
                    break;
                case 41:
                    vertex.endWidth = real(tag.value, -1.0);
                    break;
                case 42:
                    vertex.bulge = real(tag.value);
                    break;
                case 70:
                    vertex.flags = static_cast<int>(integer(tag.value));
                    break;
                case 71:
                case 72:
                case 73:
                case 74:
                    vertex.corners[static_cast<size_t>(tag.code - 71)] = static_cast<int>(
                        std::clamp<std::int64_t>(integer(tag.value), -(1 << 30), 1 << 30));
                    break;
                default:
                    break;
            }
        }
        data.vertices.push_back(vertex);
    }
    polyline.qvSetData(std::move(data));
}

// A hatch kept as read (see HatchCodec.cpp): its AcDbHatch part, drawn if the host can.
void readHatch(qv::host::CurvedHatch& hatch, const KeptTags& kept) {
    std::vector<TagView> tags;
    for (const TagView tag : kept.body) {
        if (tag.code != kSubclassCode) {
            tags.push_back(tag);
        }
    }
    readHatchDrawing(tags, hatch.qvHatch());
}

struct ShapeKind {
    std::string_view type;
    std::unique_ptr<AcDbEntity> (*make)(std::string type);
    void (*read)(AcDbEntity& entity, const KeptTags& kept, std::span<const TagView> xdata);
};

template <class T, auto Read>
constexpr ShapeKind kind(std::string_view type) {
    return {type,
            [](std::string t) -> std::unique_ptr<AcDbEntity> {
                return std::make_unique<KeptShape<T>>(std::move(t));
            },
            [](AcDbEntity& e, const KeptTags& k, std::span<const TagView> xdata) {
                if constexpr (std::is_invocable_v<decltype(Read), T&, const KeptTags&,
                                                  std::span<const TagView>>) {
                    Read(static_cast<T&>(e), k, xdata);
                } else {
                    Read(static_cast<T&>(e), k);
                }
            }};
}

constexpr ShapeKind kShapes[] = {
    kind<AcDbMText, readMText>("MTEXT"),
    kind<AcDbEllipse, readEllipse>("ELLIPSE"),
    kind<AcDbSpline, readSpline>("SPLINE"),
    kind<AcDbPoint, readPoint>("POINT"),
    kind<AcDbSolid, readSolid>("SOLID"),
    kind<AcDbTrace, readSolid>("TRACE"),
    kind<AcDbDimension, readDimension>("DIMENSION"),
    kind<AcDbLeader, readLeader>("LEADER"),
    kind<qv::host::CurvedHatch, readHatch>("HATCH"),
    kind<AcDbFace, readFace>("3DFACE"),
    kind<qv::host::HeavyPolyline, readHeavyPolyline>("POLYLINE"),
};

const ShapeKind* shapeKind(std::string_view type) {
    for (const ShapeKind& shape : kShapes) {
        if (shape.type == type) {
            return &shape;
        }
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<AcDbEntity> newKeptEntity(std::string type) {
    if (const ShapeKind* shape = shapeKind(type)) {
        return shape->make(std::move(type));
    }
    return std::make_unique<KeptEntity>(std::move(type));
}

void readKeptShape(AcDbEntity& entity, std::span<const TagView> xdata) {
    const auto* shape = dynamic_cast<const KeptShapeTags*>(&entity);
    if (shape == nullptr) {
        return;
    }
    if (const ShapeKind* kind = shapeKind(shape->kept().type)) {
        kind->read(entity, shape->kept(), xdata);
    }
}

}  // namespace qv::dxf
