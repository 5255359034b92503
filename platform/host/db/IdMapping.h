// The record of a deep clone: each source id with the id of its copy.
#pragma once

#include <vector>

#include "AcDbObjectId.h"

class AcDbIdPair {
  public:
    AcDbIdPair() = default;
    AcDbIdPair(AcDbObjectId key, AcDbObjectId value, bool isCloned, bool isPrimary = false,
               bool isOwnerXlated = true)
        : m_key(key),
          m_value(value),
          m_cloned(isCloned),
          m_primary(isPrimary),
          m_ownerXlated(isOwnerXlated) {}

    AcDbObjectId key() const { return m_key; }
    AcDbObjectId value() const { return m_value; }
    bool isCloned() const { return m_cloned; }
    bool isPrimary() const { return m_primary; }
    bool isOwnerXlated() const { return m_ownerXlated; }
    void setKey(AcDbObjectId key) { m_key = key; }
    void setValue(AcDbObjectId value) { m_value = value; }

  private:
    AcDbObjectId m_key, m_value;
    bool m_cloned = false, m_primary = false, m_ownerXlated = true;
};

class AcDbIdMapping {
  public:
    // Adds or replaces the pair of the same key.
    Acad::ErrorStatus assign(const AcDbIdPair& pair);
    // Fills the value of the pair whose key is pair.key(); false when there is none.
    bool compute(AcDbIdPair& pair) const;
    const std::vector<AcDbIdPair>& qvPairs() const { return m_pairs; }

  private:
    std::vector<AcDbIdPair> m_pairs;
};

class AcDbIdMappingIter {
  public:
    explicit AcDbIdMappingIter(const AcDbIdMapping& mapping) : m_mapping(mapping) {}
    Acad::ErrorStatus iterateOn(const AcDbIdMapping&) { return Acad::eOk; }
    void start() { m_index = 0; }
    bool done() const { return m_index >= m_mapping.qvPairs().size(); }
    bool next() {
        ++m_index;
        return !done();
    }
    bool getMap(AcDbIdPair& pair) const {
        if (done()) {
            return false;
        }
        pair = m_mapping.qvPairs()[m_index];
        return true;
    }

  private:
    const AcDbIdMapping& m_mapping;
    size_t m_index = 0;
};
