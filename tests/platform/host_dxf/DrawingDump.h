// Two views of a drawing database for the tests: everything it holds as text (to compare two
// databases), and its content as JSON in the form ezdxf_check.py compares with what ezdxf sees.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbEntity.h"

namespace qv::dxf::test {

// Every object in handle order with its class, owner, properties, extended data, kept tags and
// leftovers, and the file data kept with the database. Handles that a write gives (the seed, the
// BLOCK and SEQEND records) are left out, as are the values of the modelled header variables in
// the header kept as read.
std::string dumpDatabase(const AcDbDatabase& database);

// Layers, linetypes, text styles, registered applications and every block's entities (see
// ezdxf_check.py).
std::string describeForEzdxf(const AcDbDatabase& database);

// Runs ezdxf_check.py with the arguments; its output goes to `output`. The exit code, or -1
// when it could not run.
int runEzdxfCheck(const std::vector<std::string>& arguments, std::string& output);
// The same for another check script of this folder.
int runCheckScript(const std::string& script, const std::vector<std::string>& arguments,
                   std::string& output);

// Writes each text as a drawing into a temporary folder and has ezdxf read and audit them all
// (ezdxf_check.py audit); its output goes to `output`. The exit code, 0 when ezdxf found no error.
int auditWithEzdxf(const std::vector<std::string>& drawings, std::string& output);

// Appends an entity to a block of a database without a document, and closes it.
AcDbObjectId append(AcDbObjectId blockId, AcDbEntity* entity);
// Adds an empty block of that name and origin to a database without a document.
AcDbObjectId addBlock(AcDbDatabase& db, const ACHAR* name, const AcGePoint3d& origin = {});

// A fresh temporary folder, removed by the destructor.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

}  // namespace qv::dxf::test
