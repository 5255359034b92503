// CBlockIPR: a space block as a record of the facility database (a location), and its kinds
// CBlockIPRRoom (block type 2), CBlockIPRFloor (3), CBlockIPRBuilding (4) and CBlockIPRSite (5);
// the plain record has type 1. Besides the block data it holds the location's id, its parent's
// id, the duplicate and exists flags of the database's status and, for a room, its assets.
//
// After construction every id and flag is 0 and there are no assets; whoever fills the record
// from the database leaves a field whose column is NULL at that value.
//
// applyToIPR writes the record back through the kind's stored procedure:
//   room      "__to_setRoomBlockInIPR"      @locationID (input/output), @parentID, @name, @code,
//   building  "__to_setBuildingBlockInIPR"  @statusExists, @statusDuplicate, @area, @handle,
//                                           @perimeter, @precision (building: @locationID input)
//   floor     "__to_setFloorBlockInIPR"     @locationID, @area, @handle, @perimeter, @precision
//   site      "__to_setSiteBlockInIPR"      (the same)
// Texts are declared varchar(255), areas and perimeters decimal(18, 10). The room and the
// building read "@locationID" back (the room's procedure may hand a new id back; the building's
// gets it as input only, so it keeps its own); a room then writes its assets under that id with
// the drawing id given. The plain record writes nothing.
//
// Ownership: the record owns its asset list; setAssets takes the list over and deletes the one
// it replaces. Failures: a failure of the call reaches the caller as a CEXStoredProcedure that
// carries the call's XML; anything else as a CEXUnhandled naming the kind's applyToIPR.
#pragma once

#include "StdAfx.h"

#include "blocks/Block.h"

class CAssets;
class CStoredProcedure;

class CBlockIPR : public CBlock {
  public:
    CBlockIPR();
    ~CBlockIPR() override;

    int getLocationID() const { return m_iLocationID; }
    void setLocationID(int i) { m_iLocationID = i; }
    int getParentID() const { return m_iParentID; }
    void setParentID(int i) { m_iParentID = i; }
    int getStatusDuplicate() const { return m_iStatusDuplicate; }
    void setStatusDuplicate(int i) { m_iStatusDuplicate = i; }
    int getStatusExists() const { return m_iStatusExists; }
    void setStatusExists(int i) { m_iStatusExists = i; }
    CAssets* getAssets() const { return m_pAssets; }
    void setAssets(CAssets* pAssets);

    // Writes the record to the database (see above); the time-out is set on the procedure.
    virtual void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iTimeout);

  protected:
    // The kinds' writes: the room and building form (10 parameters, "@locationID" read back)
    // and the floor and site form (5 parameters).
    void applyRoomOrBuilding(CStoredProcedure* pStoredProcedure, int iTimeout,
                             LPCTSTR sProcedure, LPCTSTR sProcSig, int iLocationDirection);
    void applyFloorOrSite(CStoredProcedure* pStoredProcedure, int iTimeout, LPCTSTR sProcedure,
                          LPCTSTR sProcSig);

  private:
    int m_iLocationID = 0;
    int m_iParentID = 0;
    int m_iStatusDuplicate = 0;
    int m_iStatusExists = 0;
    CAssets* m_pAssets = nullptr;
};

class CBlockIPRRoom : public CBlockIPR {
  public:
    CBlockIPRRoom();
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iTimeout) override;
};

class CBlockIPRFloor : public CBlockIPR {
  public:
    CBlockIPRFloor();
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iTimeout) override;
};

class CBlockIPRBuilding : public CBlockIPR {
  public:
    CBlockIPRBuilding();
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iTimeout) override;
};

class CBlockIPRSite : public CBlockIPR {
  public:
    CBlockIPRSite();
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iTimeout) override;
};
