// Tolerances of the host's geometry: two points are equal when closer than equalPoint(), two
// vectors when their difference is shorter than equalVector().
#pragma once

class AcGeTol {
  public:
    AcGeTol() = default;
    double equalPoint() const { return m_point; }
    double equalVector() const { return m_vector; }
    void setEqualPoint(double value) { m_point = value; }
    void setEqualVector(double value) { m_vector = value; }

  private:
    double m_point = 1e-10;
    double m_vector = 1e-10;
};

struct AcGeContext {
    // The tolerance used where none is given.
    static AcGeTol gTol;
};
