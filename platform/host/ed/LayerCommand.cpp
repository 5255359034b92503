// The host's command-line layer command -LAYER (also LAYER, since the stand-in has no layer
// dialog). It asks "Enter an option [?/Set/ON/OFF/Freeze/Thaw/LOck/Unlock]: " until Enter (or
// Esc) and then ends:
//   ?       lists the layers whose names match a list of names ("*" when Enter), one line each:
//           name, On/Off, Frozen/Thawed, Locked/Unlocked, colour index
//   Set     makes an existing layer that is not frozen the current layer
//   ON/OFF, Freeze/Thaw, LOck/Unlock
//           change every layer whose name matches a list of names
// A name list is one or more wildcard patterns separated by commas (Wildcard.h), matched without
// regard to case. A list that matches no layer says "No matching layer names found."; the
// current layer is never frozen ("Cannot freeze layer "<name>". It is the CURRENT layer.").
// Every change is made under the document lock and counted on the command line.
#include <functional>
#include <string>
#include <vector>

#include "host/app/DocLock.h"
#include "host/app/Documents.h"
#include "host/db/HostServices.h"
#include "host/db/SymbolTablePointer.h"
#include "host/db/SymbolTables.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/Prompts.h"
#include "host/ed/Wildcard.h"

namespace qv::host::ed {
namespace {

std::wstring layerName(const AcDbLayerTableRecord& layer) {
    const ACHAR* name = nullptr;
    layer.getName(name);
    return name != nullptr ? name : L"";
}

// The ids of the layers whose names match `patterns`, in table order.
std::vector<AcDbObjectId> matchingLayers(AcDbDatabase* db, const std::wstring& patterns) {
    std::vector<AcDbObjectId> ids;
    AcDbSymbolTablePointer<AcDbLayerTable> table(db, AcDb::kForRead);
    if (table.openStatus() != Acad::eOk) {
        return ids;
    }
    const WildcardPattern pattern(patterns);
    AcDbLayerTableIterator* it = nullptr;
    if (table->newIterator(it) != Acad::eOk) {
        return ids;
    }
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        it->getRecordId(id);
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(id, AcDb::kForRead);
        if (layer.openStatus() == Acad::eOk && pattern.matches(layerName(*layer.object()), true)) {
            ids.push_back(id);
        }
    }
    delete it;
    return ids;
}

// Asks for a text; nothing on Esc. Enter gives `whenEmpty`.
bool askNames(const std::wstring& prompt, const std::wstring& whenEmpty, std::wstring& names) {
    if (getText(true, prompt, names) != RTNORM) {
        return false;
    }
    // Blanks around the list, or around its names, are no part of a layer name.
    std::wstring trimmed;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(L',', start);
        if (end == std::wstring::npos) {
            end = names.size();
        }
        std::wstring item = names.substr(start, end - start);
        item.erase(0, item.find_first_not_of(L' '));
        item.erase(item.find_last_not_of(L' ') + 1);
        if (!item.empty()) {
            trimmed += (trimmed.empty() ? L"" : L",") + item;
        }
        start = end + 1;
    }
    names = trimmed.empty() ? whenEmpty : trimmed;
    return !names.empty();
}

void listLayers(AcDbDatabase* db) {
    std::wstring names;
    if (!askNames(L"Enter layer name(s) to list <*>: ", L"*", names)) {
        return;
    }
    const std::vector<AcDbObjectId> ids = matchingLayers(db, names);
    if (ids.empty()) {
        print(L"No matching layer names found.\n");
        return;
    }
    const AcDbObjectId current = db->clayer();
    for (const AcDbObjectId& id : ids) {
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(id, AcDb::kForRead);
        if (layer.openStatus() != Acad::eOk) {
            continue;
        }
        const AcCmColor color = layer->color();
        const std::wstring colour =
            color.isByColor() ? L"true colour" : L"colour " + std::to_wstring(color.colorIndex());
        print(layerName(*layer.object()) + L": " + (layer->isOff() ? L"Off" : L"On") + L", " +
              (layer->isFrozen() ? L"Frozen" : L"Thawed") + L", " +
              (layer->isLocked() ? L"Locked" : L"Unlocked") + L", " + colour +
              (id == current ? L" (current)" : L"") + L"\n");
    }
    print(std::to_wstring(ids.size()) + (ids.size() == 1 ? L" layer" : L" layers") +
          L" listed.\n");
}

void setCurrentLayer(AcDbDatabase* db) {
    std::wstring name;
    if (!askNames(L"Enter layer name to make current: ", L"", name)) {
        return;
    }
    AcDbObjectId id;
    {
        AcDbSymbolTablePointer<AcDbLayerTable> table(db, AcDb::kForRead);
        if (table.openStatus() != Acad::eOk || table->getAt(name.c_str(), id) != Acad::eOk) {
            print(L"Cannot find layer \"" + name + L"\".\n");
            return;
        }
    }
    const AcAxDocLock lock(db);
    Acad::ErrorStatus es = lock.lockStatus();
    if (es == Acad::eOk) {
        es = db->setClayer(id);
    }
    if (es != Acad::eOk) {
        print(L"Cannot make layer \"" + name + L"\" current (" + acadErrorStatusText(es) +
              L").\n");
        return;
    }
    AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(id, AcDb::kForRead);
    print(L"Current layer: \"" + (layer.openStatus() == Acad::eOk ? layerName(*layer.object()) : name) +
          L"\".\n");
}

struct LayerChange {
    const wchar_t* keyword;
    const wchar_t* prompt;
    const wchar_t* done;
    std::function<Acad::ErrorStatus(AcDbLayerTableRecord&)> apply;
};

void changeLayers(AcDbDatabase* db, const LayerChange& change) {
    std::wstring names;
    if (!askNames(change.prompt, L"", names)) {
        return;
    }
    const std::vector<AcDbObjectId> ids = matchingLayers(db, names);
    if (ids.empty()) {
        print(L"No matching layer names found.\n");
        return;
    }
    const AcAxDocLock lock(db);
    if (lock.lockStatus() != Acad::eOk) {
        print(std::wstring(L"The drawing could not be locked (") +
              acadErrorStatusText(lock.lockStatus()) + L").\n");
        return;
    }
    size_t changed = 0;
    for (const AcDbObjectId& id : ids) {
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(id, AcDb::kForWrite);
        Acad::ErrorStatus es = layer.openStatus();
        if (es == Acad::eOk) {
            es = change.apply(*layer.object());
        }
        if (es == Acad::eOk) {
            ++changed;
        } else if (es == Acad::eCannotFreezeCurrentLayer) {
            print(L"Cannot freeze layer \"" + layerName(*layer.object()) +
                  L"\". It is the CURRENT layer.\n");
        } else {
            const std::wstring name =
                layer.openStatus() == Acad::eOk ? layerName(*layer.object()) : L"";
            print(L"Layer \"" + name + L"\" not changed (" + acadErrorStatusText(es) + L").\n");
        }
    }
    print(std::to_wstring(changed) + (changed == 1 ? L" layer " : L" layers ") + change.done +
          L".\n");
}

void layerCommand() {
    AcApDocument* doc = acDocManager->curDocument();
    AcDbDatabase* db = doc != nullptr ? doc->database() : nullptr;
    if (db == nullptr) {
        print(L"There is no drawing.\n");
        reportCommandFailure();
        return;
    }
    static const LayerChange changes[] = {
        {L"ON", L"Enter name list of layer(s) to turn On: ", L"turned on",
         [](AcDbLayerTableRecord& l) { return l.setIsOff(false); }},
        {L"OFF", L"Enter name list of layer(s) to turn Off: ", L"turned off",
         [](AcDbLayerTableRecord& l) { return l.setIsOff(true); }},
        {L"Freeze", L"Enter name list of layer(s) to freeze: ", L"frozen",
         [](AcDbLayerTableRecord& l) { return l.setIsFrozen(true); }},
        {L"Thaw", L"Enter name list of layer(s) to thaw: ", L"thawed",
         [](AcDbLayerTableRecord& l) { return l.setIsFrozen(false); }},
        {L"LOck", L"Enter name list of layer(s) to lock: ", L"locked",
         [](AcDbLayerTableRecord& l) { return l.setIsLocked(true); }},
        {L"Unlock", L"Enter name list of layer(s) to unlock: ", L"unlocked",
         [](AcDbLayerTableRecord& l) { return l.setIsLocked(false); }},
    };
    for (;;) {
        acedInitGet(0, L"? Set ON OFF Freeze Thaw LOck Unlock");
        ACHAR option[32];
        const int status =
            acedGetKword(L"Enter an option [?/Set/ON/OFF/Freeze/Thaw/LOck/Unlock]: ", option, 32);
        if (status != RTNORM) {
            return;
        }
        const std::wstring chosen = option;
        if (chosen == L"?") {
            listLayers(db);
        } else if (chosen == L"Set") {
            setCurrentLayer(db);
        }
        for (const LayerChange& change : changes) {
            if (chosen == change.keyword) {
                changeLayers(db, change);
            }
        }
    }
}

const bool g_registered = [] {
    registerHostCommand(L"-LAYER", layerCommand);
    registerHostCommand(L"LAYER", layerCommand);
    return true;
}();

}  // namespace
}  // namespace qv::host::ed
