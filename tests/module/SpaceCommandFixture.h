// Fixture for the tests of the space-block commands: a fresh drawing, answers for the command
// line, the module folder on a temporary drive C: (with or without a preferences file), and short
// ways to draw outlines and to look at what a command made.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "blocks/BlockDWG.h"
#include "core/Preferences.h"
#include "module/ModuleGlobals.h"
#include "support/CommandLineAnswers.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"

namespace qv::test {

struct Vertex2 {
    double x, y, bulge;
};

// One attribute or attribute definition as the drawing holds it.
struct TextSeen {
    std::wstring tag, text, layer, prompt;
    AcGePoint3d position;
    double rotation = 0.0, height = 0.0, widthFactor = 0.0;
    AcDb::TextHorzMode horizontal = AcDb::kTextLeft;
};

class SpaceCommandTest : public DrawingTest {
  protected:
    SpaceCommandTest() { moduleFolder = L"C:\\Host"; }
    ~SpaceCommandTest() override { moduleFolder.Empty(); }

    // Writes the module folder's preferences file.
    void storePreferences(int units, int precision, double textSize = 250.0,
                          double rotation = 0.0) {
        CPreferences stored;
        stored.setUnits(units);
        stored.setPrecision(precision);
        stored.setTextSize(textSize);
        stored.setTextRotation(rotation);
        ASSERT_TRUE(stored.savePreferences(L"C:\\Host\\orvan\\prefs\\prefs.cfg"));
    }

    // A polyline in model space (closed unless said), on a layer when one is given.
    AcDbObjectId addPolyline(std::initializer_list<Vertex2> vertices, bool closed = true,
                             const wchar_t* layer = nullptr);
    AcDbObjectId addRectangle(double x, double y, double w, double h, bool closed = true) {
        return addPolyline({{x, y, 0}, {x + w, y, 0}, {x + w, y + h, 0}, {x, y + h, 0}}, closed);
    }
    // "#" and the entity's handle: how a test picks it.
    static std::string pick(AcDbObjectId id);
    static std::wstring handleOf(AcDbObjectId id) { return id.handle().text(); }

    // The world vertices of a polyline: where it lies, or, inside a definition, where the
    // reference shows it.
    static std::vector<AcGePoint3d> verticesOf(AcDbObjectId polyline,
                                               AcDbObjectId reference = AcDbObjectId::kNull);
    static AcDbObjectId ownerOf(AcDbObjectId id);
    // The space block as the drawing holds it now.
    std::unique_ptr<CBlockDWG> readBack(AcDbObjectId reference) const;
    // An empty block definition of that name.
    void addDefinition(const wchar_t* name);
    // A furniture block "CHAIR" (a 100 x 100 square) put at the point, with one attribute per
    // value given; the reference's id. The definition is made once.
    AcDbObjectId addChair(const AcGePoint3d& at, std::vector<const wchar_t*> values = {});
    // The references of model space to the named block, in drawing order.
    std::vector<AcDbObjectId> referencesTo(const wchar_t* blockName) const;
    bool hasBlock(const wchar_t* name) const;
    // The attributes of a reference, or the attribute definitions of a definition.
    static std::vector<TextSeen> attributesOf(AcDbObjectId reference);
    std::vector<TextSeen> attributeDefinitionsOf(const wchar_t* blockName) const;
    static const TextSeen* find(const std::vector<TextSeen>& texts, const wchar_t* tag);
    // A layer's off and frozen states.
    void layerState(const wchar_t* name, bool& off, bool& frozen) const;
    // The layer (made when missing) frozen, locked and off as said.
    void setLayer(const wchar_t* name, bool frozen, bool locked, bool off);
    void setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis, const AcGeVector3d& yAxis);

    static std::wstring shown() { return qv::host::transcript().text(); }
    std::vector<std::wstring> messageBoxes() const;

    TempDrive drive;
    CommandLineAnswers answers;
};

void expectNear(const AcGePoint3d& actual, const AcGePoint3d& expected, const char* what,
                double tolerance = 1e-6);

}  // namespace qv::test
