// A drawing to work on with layer records: the host's current document wrapped as the command
// handlers wrap it, and helpers that make and read the drawing's layers directly through the
// host.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "drawing/AcadDrawing.h"
#include "support/HostFixture.h"

namespace qv::test {

// What the drawing holds of one layer.
struct LayerInDrawing {
    bool exists = false;
    int colourIndex = 0;
    bool frozen = false, locked = false, off = false, plottable = true;
    int lineWeight = 0;
    bool operator==(const LayerInDrawing&) const = default;
};

inline void PrintTo(const LayerInDrawing& l, std::ostream* os) {
    *os << (l.exists ? "" : "missing ") << "colour " << l.colourIndex << (l.frozen ? " frozen" : "")
        << (l.locked ? " locked" : "") << (l.off ? " off" : "")
        << (l.plottable ? "" : " not plottable") << " weight " << l.lineWeight;
}

class LayerDrawingTest : public DrawingTest {
  protected:
    LayerDrawingTest() {
        CoInitialize(nullptr);
        m_drawing.setDocument(document());
        m_drawing.setFileName(L"plan.dwg");
        m_drawing.setIsOpen(1);
        m_drawing.setIsCurrentDocument(1);
    }

    ~LayerDrawingTest() override { CoUninitialize(); }

    CAcadDrawing* drawing() { return &m_drawing; }

    // Adds a layer with these properties (under a lock of its own); its id.
    AcDbObjectId makeLayer(const ACHAR* name, const LayerInDrawing& properties) {
        const AcDbObjectId id = addLayer(name);
        WriteLock lock(document());
        AcDbLayerTableRecord* layer = nullptr;
        EXPECT_EQ(acdbOpenObject(layer, id, AcDb::kForWrite), Acad::eOk);
        AcCmColor colour;
        colour.setColorIndex(static_cast<Adesk::UInt16>(properties.colourIndex));
        layer->setColor(colour);
        layer->setIsFrozen(properties.frozen);
        layer->setIsLocked(properties.locked);
        layer->setIsOff(properties.off);
        layer->setIsPlottable(properties.plottable);
        layer->setLineWeight(static_cast<AcDb::LineWeight>(properties.lineWeight));
        layer->close();
        return id;
    }

    // The drawing's layer of that name (without regard to case), as the host holds it.
    LayerInDrawing layerInDrawing(const ACHAR* name) {
        LayerInDrawing found;
        AcDbLayerTable* table = nullptr;
        EXPECT_EQ(db()->getLayerTable(table, AcDb::kForRead), Acad::eOk);
        AcDbLayerTableRecord* layer = nullptr;
        if (table->getAt(name, layer, AcDb::kForRead) == Acad::eOk) {
            found = {
                true,           layer->color().colorIndex(), layer->isFrozen(),  layer->isLocked(),
                layer->isOff(), layer->isPlottable(),        layer->lineWeight()};
            layer->close();
        }
        table->close();
        return found;
    }

    // The names of the drawing's layers, in table order, joined by ",".
    std::wstring layerNames() {
        std::wstring names;
        AcDbLayerTable* table = nullptr;
        EXPECT_EQ(db()->getLayerTable(table, AcDb::kForRead), Acad::eOk);
        for (const AcDbObjectId& id : table->qvRecords()) {
            AcDbLayerTableRecord* layer = nullptr;
            if (acdbOpenObject(layer, id, AcDb::kForRead) == Acad::eOk) {
                names += (names.empty() ? L"" : L",") + layer->qvName();
                layer->close();
            }
        }
        table->close();
        return names;
    }

    std::wstring currentLayerName() {
        AcDbLayerTableRecord* layer = nullptr;
        EXPECT_EQ(acdbOpenObject(layer, db()->clayer(), AcDb::kForRead), Acad::eOk);
        const std::wstring name = layer->qvName();
        layer->close();
        return name;
    }

  private:
    CAcadDrawing m_drawing;
};

// The XML text of a node.
inline CString xmlOf(const MSXML2::IXMLDOMNodePtr& node) {
    return static_cast<const wchar_t*>(node->Getxml());
}

// The root element of an XML text.
inline MSXML2::IXMLDOMNodePtr parseXml(const wchar_t* text) {
    MSXML2::IXMLDOMDocumentPtr document;
    document.CreateInstance(L"Msxml2.DOMDocument");
    EXPECT_EQ(document->loadXML(_bstr_t(text)), VARIANT_TRUE) << text;
    return document->GetdocumentElement();
}

}  // namespace qv::test
