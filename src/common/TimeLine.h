#pragma once

// The times of a series of readings, in days: an array someone keeps, or,
// for a recording run whose readings come at a fixed interval, its start and
// interval, so that millions of readings need no array of times at all.
// Time i of a run is start + i * interval / 86400, the sum the decoder has
// always made, so both forms give the same times to the bit.

#include "DateTime.h"

#include <vector>

namespace tq {

class TimeLine {
  public:
    TimeLine() = default;
    // A view of an array (null: no times).
    TimeLine(const double* x) : m_x(x) {} // NOLINT: an array is a time line
    static TimeLine regular(TDateTime start, double intervalSeconds, long long first = 0) {
        TimeLine t;
        t.m_regular = true;
        t.m_start = start;
        t.m_interval = intervalSeconds;
        t.m_first = first;
        return t;
    }

    double operator[](long long i) const {
        return m_x ? m_x[i] : m_start + double(i + m_first) * m_interval / kSecondsPerDay;
    }
    bool isNull() const { return !m_x && !m_regular; }
    bool isRegular() const { return m_regular; }
    // The array viewed, null for a regular time line.
    const double* array() const { return m_x; }
    // The times from reading first on.
    TimeLine from(long long first) const {
        if (m_x) return TimeLine(m_x + first);
        TimeLine t = *this;
        t.m_first += first;
        return t;
    }
    // The first n times as an array of their own.
    std::vector<double> copy(long long n) const {
        if (m_x) return std::vector<double>(m_x, m_x + (n > 0 ? n : 0));
        std::vector<double> out(size_t(n > 0 ? n : 0));
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = (*this)[(long long)i];
        return out;
    }

    // Of the times [from, to), which ascend, the first for which inFront
    // no longer holds (to if it holds for all), as std::partition_point.
    template <class Pred> int partitionPoint(int from, int to, Pred inFront) const {
        while (from < to) {
            const int mid = from + (to - from) / 2;
            if (inFront((*this)[mid]))
                from = mid + 1;
            else
                to = mid;
        }
        return from;
    }
    // As std::lower_bound and std::upper_bound over the times [from, to).
    int lowerBound(int from, int to, double t) const {
        return partitionPoint(from, to, [t](double x) { return x < t; });
    }
    int upperBound(int from, int to, double t) const {
        return partitionPoint(from, to, [t](double x) { return !(t < x); });
    }

    bool operator==(const TimeLine&) const = default;

  private:
    const double* m_x = nullptr;
    bool m_regular = false;
    TDateTime m_start = 0.0;
    double m_interval = 0.0;
    long long m_first = 0;
};

} // namespace tq
