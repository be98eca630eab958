#pragma once

// The X and Y values of one series, held once: arrays of the chart's own, a
// view into arrays someone else keeps (a data set collection) kept alive by
// a shared owner, or, for a series reset to one value (X 0, the null Y), no
// arrays at all until a point is given a value of its own. Copies share
// the arrays; the first change through a copy that shares them makes it
// arrays of its own.

#include "ReadingMarks.h"
#include "TimeLine.h"

#include <memory>
#include <vector>

namespace tq {

class SeriesPoints {
  public:
    int size() const { return m_count; }
    // Every point has the same X and the same Y, held without arrays.
    bool uniform() const { return m_uniform; }
    double xAt(int i) const { return m_uniform ? m_fillX : m_x[i]; }
    float yAt(int i) const { return m_uniform ? m_fillY : m_y[i]; }
    // The times and the values (arrays made for a uniform series first).
    TimeLine x() const;
    const float* y() const;

    // n points; new ones get X 0 and Y fillY.
    void resize(int n, float fillY);
    void fill(double x, float y);
    void setX(int i, double v);
    void setY(int i, float v);
    void copyX(TimeLine x, int n); // the first n points
    void copyY(const float* y, int n);
    // A view of count points into arrays that owner keeps alive.
    void share(std::shared_ptr<const void> owner, TimeLine x, const float* y, int count);
    // A series viewing another's arrays: they grew to count points, the
    // earlier ones unchanged (the arrays may have moved); the owner stays.
    bool viewing() const { return !m_uniform && !m_own && m_owner; }
    void extend(TimeLine x, const float* y, int count);
    // The arrays to fill in place (made the series' own first).
    double* writableX();
    float* writableY();

  private:
    struct Arrays {
        std::vector<double> x;
        std::vector<float> y;
    };
    // Arrays of our own that no copy shares, ready to be written.
    Arrays& writable() const;
    void adopt(std::shared_ptr<Arrays> own) const;

    // Filled in when a uniform series is first asked for its arrays.
    mutable std::shared_ptr<Arrays> m_own;       // null while viewing another's arrays
    mutable std::shared_ptr<const void> m_owner; // keeps the viewed arrays alive
    mutable TimeLine m_x;
    mutable const float* m_y = nullptr;
    mutable bool m_uniform = true;
    double m_fillX = 0.0;
    float m_fillY = kNullReading;
    int m_count = 0;
};

} // namespace tq
