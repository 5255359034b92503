// Codecs of page setups (PLOTSETTINGS) and layouts (LAYOUT): the plot settings every layout has,
// then the layout's own fields. The host keeps both as plain data for drawing files
// (AcDbPlotSettings::Data, AcDbLayout::LayoutData); the fields here read and write that data.
#include "host/db/AcDbLayout.h"
#include "host/dxf/Codec.h"

namespace qv::dxf {
namespace {

using Data = AcDbPlotSettings::Data;
using LayoutData = AcDbLayout::LayoutData;

// Changes one member of an object's plot-settings data.
template <class F>
void changeData(AcDbObject& o, F change) {
    auto& settings = static_cast<AcDbPlotSettings&>(o);
    Data data = settings.qvData();
    change(data);
    settings.qvSetData(data);
}
const Data& dataOf(const AcDbObject& o) {
    return static_cast<const AcDbPlotSettings&>(o).qvData();
}

template <class F>
void changeLayout(AcDbObject& o, F change) {
    auto& layout = static_cast<AcDbLayout&>(o);
    LayoutData data = layout.qvLayoutData();
    change(data);
    layout.qvSetLayoutData(data);
}
const LayoutData& layoutOf(const AcDbObject& o) {
    return static_cast<const AcDbLayout&>(o).qvLayoutData();
}

// ---- makers for members of the data ----

template <auto Member>
constexpr Field settingText(int code) {
    return custom(
        code, FieldKind::Text,
        [](AcDbObject& o, const FieldValue& v, ReadContext& c) {
            changeData(o, [&](Data& d) { d.*Member = c.text(v.text); });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.text(f.code, dataOf(o).*Member);
        });
}

template <auto Member>
constexpr Field settingReal(int code) {
    return custom(
        code, FieldKind::Real,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            changeData(o, [&](Data& d) { d.*Member = v.xyz[0]; });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.out().real(f.code, dataOf(o).*Member);
        });
}

template <auto Member, int Last>
constexpr Field settingEnum(int code) {
    return custom(
        code, FieldKind::Integer,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            if (v.integer < 0 || v.integer > Last) {
                return false;
            }
            changeData(o, [&](Data& d) {
                d.*Member = static_cast<std::remove_reference_t<decltype(d.*Member)>>(v.integer);
            });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.out().integer(f.code, dataOf(o).*Member);
        });
}

// Group 70 of the plot settings: the bits the host knows (see plotLayoutFlags).
constexpr std::uint32_t kPlotFlags = 1 | 2 | 4 | 8 | 16 | 32 | 64 | 128 | 512 | 1024;

constexpr Field kPlotSettingsFields[] = {
    settingText<&Data::pageSetupName>(1),
    settingText<&Data::plotCfgName>(2),
    settingText<&Data::canonicalMediaName>(4),
    settingText<&Data::plotViewName>(6),
    settingReal<&Data::marginLeft>(40),
    settingReal<&Data::marginBottom>(41),
    settingReal<&Data::marginRight>(42),
    settingReal<&Data::marginTop>(43),
    settingReal<&Data::paperWidth>(44),
    settingReal<&Data::paperHeight>(45),
    settingReal<&Data::originX>(46),
    settingReal<&Data::originY>(47),
    settingReal<&Data::windowXmin>(48),
    settingReal<&Data::windowYmin>(49),
    settingReal<&Data::windowXmax>(140),
    settingReal<&Data::windowYmax>(141),
    settingReal<&Data::customNumerator>(142),
    settingReal<&Data::customDenominator>(143),
    bits(
        70, kPlotFlags,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            changeData(o, [&](Data& d) {
                qv::host::setPlotLayoutFlags(d, static_cast<int>(v.integer));
            });
            return true;
        },
        [](const AcDbObject& o, const Field&) -> std::int64_t {
            return qv::host::plotLayoutFlags(dataOf(o));
        }),
    settingEnum<&Data::paperUnits, AcDbPlotSettings::kPixels>(72),
    settingEnum<&Data::rotation, AcDbPlotSettings::k270degrees>(73),
    settingEnum<&Data::plotType, AcDbPlotSettings::kLayout>(74),
    settingText<&Data::currentStyleSheet>(7),
    settingEnum<&Data::stdScaleType, AcDbPlotSettings::k1and1_2in_1ft>(75),
    settingEnum<&Data::shadePlot, AcDbPlotSettings::kRendered>(76),
};

// ---- the layout's own fields ----

template <auto Member>
constexpr Field layoutInteger(int code) {
    return custom(
        code, FieldKind::Integer,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            if (!std::in_range<int>(v.integer)) {
                return false;
            }
            changeLayout(o, [&](LayoutData& d) { d.*Member = static_cast<int>(v.integer); });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.out().integer(f.code, layoutOf(o).*Member);
        });
}

template <auto Member>
constexpr Field layoutPoint2(int code) {
    return custom(
        code, FieldKind::Point,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            changeLayout(o, [&](LayoutData& d) { d.*Member = AcGePoint2d(v.xyz[0], v.xyz[1]); });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            const AcGePoint2d p = layoutOf(o).*Member;
            c.out().point(f.code, p.x, p.y);
        });
}

template <auto Member>
constexpr Field layoutPoint3(int code) {
    return custom(
        code, FieldKind::Point,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            changeLayout(o, [&](LayoutData& d) {
                d.*Member = AcGePoint3d(v.xyz[0], v.xyz[1], v.xyz[2]);
            });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            const AcGePoint3d p = layoutOf(o).*Member;
            c.out().point(f.code, p.x, p.y, p.z);
        });
}

template <auto Member>
constexpr Field layoutReference(int code) {
    return custom(
        code, FieldKind::Text,
        [](AcDbObject& o, const FieldValue& v, ReadContext& c) {
            c.referByHandle(
                o, v.text,
                [](AcDbObject& l, AcDbObjectId id, const RefArgs&) {
                    changeLayout(l, [&](LayoutData& d) { d.*Member = id; });
                },
                "layout's reference");
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.reference(f.code, layoutOf(o).*Member);
        });
}

constexpr Field kLayoutFields[] = {
    custom(
        1, FieldKind::Text,
        [](AcDbObject& o, const FieldValue& v, ReadContext& c) {
            changeLayout(o, [&](LayoutData& d) { d.name = c.text(v.text); });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.text(f.code, layoutOf(o).name);
        }),
    layoutInteger<&LayoutData::flags>(70),
    layoutInteger<&LayoutData::tabOrder>(71),
    layoutPoint2<&LayoutData::limitsMin>(10),
    layoutPoint2<&LayoutData::limitsMax>(11),
    layoutPoint3<&LayoutData::insertionBase>(12),
    layoutPoint3<&LayoutData::extentsMin>(14),
    layoutPoint3<&LayoutData::extentsMax>(15),
    custom(
        146, FieldKind::Real,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            changeLayout(o, [&](LayoutData& d) { d.elevation = v.xyz[0]; });
            return true;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            c.out().real(f.code, layoutOf(o).elevation);
        }),
    layoutReference<&LayoutData::block>(330),
    layoutReference<&LayoutData::lastActiveViewport>(331),
};

const SubclassDef kPlotSettings[] = {{"AcDbPlotSettings", kPlotSettingsFields}};
const SubclassDef kLayout[] = {{"AcDbPlotSettings", kPlotSettingsFields},
                               {"AcDbLayout", kLayoutFields}};

const CodecOf<AcDbPlotSettings> kPlotSettingsCodec("PLOTSETTINGS", kPlotSettings);
const CodecOf<AcDbLayout> kLayoutCodec("LAYOUT", kLayout);

}  // namespace

std::span<const Codec* const> layoutCodecs() {
    static const Codec* const codecs[] = {&kPlotSettingsCodec, &kLayoutCodec};
    return codecs;
}

}  // namespace qv::dxf
