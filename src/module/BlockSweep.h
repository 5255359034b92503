// The walk over every space block of a drawing that the update, hatching and renaming commands
// share.
//
// collectSpaceBlocks fills a collection with the drawing's space blocks at level "f" (gross-area
// blocks as floors, every other space block as a room), without their assets; the collection
// takes one level of the drawing's lock while it reads.
//
// sweepBlocks then visits them in the collection's order. For each one the command's change
// works on the block in memory and says whether the block is to be written. A block to write
// goes to CBlockDWG::applyToDWG with an error list of its own, which locks the drawing for that
// write; what the write collected (a hatch that cannot be drawn) is shown after that block, one
// error message box per error, and the sweep goes on with the next block. A failure thrown by a
// change or a write leaves the sweep at that block: blocks written before keep their new state,
// later blocks stay as they were. The sweep takes no lock of its own.
#pragma once

#include <functional>

#include "StdAfx.h"

class CAcadDrawing;
class CBlockDWG;
class CBlocks;

// Appends the drawing's space blocks (level "f", no assets) to the collection.
void collectSpaceBlocks(CAcadDrawing* pDrawing, CBlocks& blocks);

// Runs `change` on each block of the collection in order and writes those it returns true for,
// as told above. The number of blocks written.
int sweepBlocks(CAcadDrawing* pDrawing, CBlocks& blocks,
                const std::function<bool(CBlockDWG& block)>& change);
