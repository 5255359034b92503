// The host's run-time classes. Every host object knows its class (isA()), whose name is the
// host's exact class name ("AcDbPolyline", "AcDbBlockReference"); isKindOf() and cast() follow
// the derivation. A class can carry protocol extensions: an object that implements an extra
// interface for every object of that class and of its derived classes (queryX()).
#pragma once

#include <map>
#include <string>

#include "../AdeskTypes.h"

class AcRxObject;

class AcRxClass {
  public:
    AcRxClass(const ACHAR* name, const AcRxClass* parent, const ACHAR* dxfName = L"");
    AcRxClass(const AcRxClass&) = delete;
    AcRxClass& operator=(const AcRxClass&) = delete;

    const ACHAR* name() const { return m_name.c_str(); }
    // The entity or object name of the drawing format ("LWPOLYLINE"); empty when the class has
    // none of its own.
    const ACHAR* dxfName() const { return m_dxfName.c_str(); }
    AcRxClass* myParent() const { return const_cast<AcRxClass*>(m_parent); }
    bool isDerivedFrom(const AcRxClass* other) const;

    // Registers `implementation` (not owned; it must outlive its use) as this class's extension
    // for `protocol`; null removes it.
    void addX(const AcRxClass* protocol, AcRxObject* implementation);
    // The extension for `protocol` of this class or of its nearest base that has one, or null.
    AcRxObject* queryX(const AcRxClass* protocol) const;

  private:
    std::wstring m_name;
    std::wstring m_dxfName;
    const AcRxClass* m_parent;
    std::map<const AcRxClass*, AcRxObject*> m_extensions;
};

class AcRxObject {
  public:
    virtual ~AcRxObject() = default;

    static AcRxClass* desc();
    static AcRxObject* cast(const AcRxObject* object) { return const_cast<AcRxObject*>(object); }
    virtual AcRxClass* isA() const { return desc(); }
    bool isKindOf(const AcRxClass* cls) const { return isA()->isDerivedFrom(cls); }

    // A copy of the object; for database objects a new object outside any database. The caller
    // owns it. Objects that cannot be copied give null.
    virtual AcRxObject* clone() const { return nullptr; }

    // The extension of this object's class for `protocol`, or null.
    AcRxObject* queryX(const AcRxClass* protocol) const { return isA()->queryX(protocol); }
    AcRxObject* x(const AcRxClass* protocol) const { return queryX(protocol); }
};

// Declares the run-time class members of a host class.
#define QV_RX_DECLARE_MEMBERS(CLASS)                                      \
  public:                                                                 \
    static AcRxClass* desc();                                             \
    AcRxClass* isA() const override {                                     \
        return desc();                                                    \
    }                                                                     \
    static CLASS* cast(const AcRxObject* object) {                        \
        return object != nullptr && object->isKindOf(desc())              \
                   ? static_cast<CLASS*>(const_cast<AcRxObject*>(object)) \
                   : nullptr;                                             \
    }

// Defines them, in one source file per class.
#define QV_RX_DEFINE_MEMBERS(CLASS, PARENT, DXFNAME)               \
    AcRxClass* CLASS::desc() {                                     \
        static AcRxClass cls(L## #CLASS, PARENT::desc(), DXFNAME); \
        return &cls;                                               \
    }

// Declares and defines clone() as a copy of the object.
#define QV_RX_CLONE(CLASS)               \
    AcRxObject* clone() const override { \
        return new CLASS(*this);         \
    }

// The protocol extension of `object` for the class CLASS, cast to it.
#define ACRX_PE_PTR(object, CLASS) CLASS::cast((object)->queryX(CLASS::desc()))
