// Smart pointers for symbol tables and their records (see ObjectPointer.h for what they share).
#pragma once

#include "ObjectPointer.h"
#include "SymbolTables.h"

// A database's symbol table, such as AcDbLayerTable or AcDbBlockTable.
template <class T>
class AcDbSymbolTablePointer : public AcDbObjectPointerBase<T> {
  public:
    AcDbSymbolTablePointer() = default;
    AcDbSymbolTablePointer(AcDbDatabase* database, AcDb::OpenMode mode) { open(database, mode); }
    AcDbSymbolTablePointer(AcDbObjectId id, AcDb::OpenMode mode) { open(id, mode); }

    // The database's statuses for opening its table; eNoDatabase for a null database.
    Acad::ErrorStatus open(AcDbDatabase* database, AcDb::OpenMode mode) {
        return this->openWith([&](T*& opened) {
            return database != nullptr ? database->getSymbolTable(opened, mode)
                                       : Acad::eNoDatabase;
        });
    }
    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode) {
        return this->openWith([&](T*& opened) { return acdbOpenObject(opened, id, mode); });
    }
};

// A symbol table record, such as AcDbLayerTableRecord.
template <class T>
class AcDbSymbolTableRecordPointer : public AcDbObjectPointerBase<T> {
  public:
    AcDbSymbolTableRecordPointer() = default;
    AcDbSymbolTableRecordPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        open(id, mode, openErased);
    }
    AcDbSymbolTableRecordPointer(const ACHAR* name, const AcDbSymbolTable* table,
                                 AcDb::OpenMode mode, bool openErased = false) {
        open(name, table, mode, openErased);
    }

    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        return this->openWith(
            [&](T*& opened) { return acdbOpenObject(opened, id, mode, openErased); });
    }
    // The record of that name in a table open for read or write: the table's getAt statuses
    // (eKeyNotFound for a name it lacks); eNullObjectPointer for a null table.
    Acad::ErrorStatus open(const ACHAR* name, const AcDbSymbolTable* table, AcDb::OpenMode mode,
                           bool openErased = false) {
        return this->openWith([&](T*& opened) {
            return table != nullptr ? table->getAt(name, opened, mode, openErased)
                                    : Acad::eNullObjectPointer;
        });
    }
};
