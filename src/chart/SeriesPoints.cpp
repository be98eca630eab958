#include "SeriesPoints.h"

#include <algorithm>

namespace tq {

void SeriesPoints::adopt(std::shared_ptr<Arrays> own) const {
    m_own = std::move(own);
    m_owner.reset();
    m_x = m_own->x.data();
    m_y = m_own->y.data();
    m_uniform = false;
}

SeriesPoints::Arrays& SeriesPoints::writable() const {
    if (m_uniform) {
        auto own = std::make_shared<Arrays>();
        own->x.assign(size_t(m_count), m_fillX);
        own->y.assign(size_t(m_count), m_fillY);
        adopt(std::move(own));
    } else if (!m_own || m_own.use_count() > 1) {
        auto own = std::make_shared<Arrays>();
        own->x = m_x.copy(m_count);
        own->y.assign(m_y, m_y + m_count);
        adopt(std::move(own));
    }
    return *m_own;
}

TimeLine SeriesPoints::x() const {
    return m_uniform ? TimeLine(writable().x.data()) : m_x;
}

const float* SeriesPoints::y() const {
    return m_uniform ? writable().y.data() : m_y;
}

double* SeriesPoints::writableX() {
    return writable().x.data();
}

float* SeriesPoints::writableY() {
    return writable().y.data();
}

void SeriesPoints::resize(int n, float fillY) {
    n = std::max(0, n);
    if (n == m_count) return;
    // A uniform series stays one when the new points have its values.
    if (m_uniform && (n < m_count || (m_fillX == 0.0 && m_fillY == fillY))) {
        m_count = n;
        return;
    }
    if (m_count == 0) {
        m_uniform = true;
        m_fillX = 0.0;
        m_fillY = fillY;
        m_own.reset();
        m_owner.reset();
        m_x = {};
        m_y = nullptr;
        m_count = n;
        return;
    }
    Arrays& a = writable();
    a.x.resize(size_t(n), 0.0);
    a.y.resize(size_t(n), fillY);
    m_x = a.x.data();
    m_y = a.y.data();
    m_count = n;
}

void SeriesPoints::fill(double x, float y) {
    // Nothing of the old values is kept: no arrays are needed.
    m_own.reset();
    m_owner.reset();
    m_x = {};
    m_y = nullptr;
    m_uniform = true;
    m_fillX = x;
    m_fillY = y;
}

void SeriesPoints::setX(int i, double v) {
    if (i < 0 || i >= m_count || xAt(i) == v) return;
    writable().x[size_t(i)] = v;
}

void SeriesPoints::setY(int i, float v) {
    if (i < 0 || i >= m_count || yAt(i) == v) return;
    writable().y[size_t(i)] = v;
}

void SeriesPoints::copyX(TimeLine x, int n) {
    n = std::min(n, m_count);
    if (x.isNull() || n <= 0) return;
    double* to = writable().x.data();
    for (int i = 0; i < n; ++i)
        to[i] = x[i];
}

void SeriesPoints::copyY(const float* y, int n) {
    n = std::min(n, m_count);
    if (!y || n <= 0) return;
    std::copy_n(y, n, writable().y.begin());
}

void SeriesPoints::extend(TimeLine x, const float* y, int count) {
    if (!viewing() || x.isNull() || !y || count < m_count) return;
    m_x = x;
    m_y = y;
    m_count = count;
}

void SeriesPoints::share(std::shared_ptr<const void> owner, TimeLine x, const float* y, int count) {
    if (x.isNull() || !y || count <= 0) {
        fill(0.0, m_fillY);
        m_count = 0;
        return;
    }
    m_own.reset();
    m_owner = std::move(owner);
    m_x = x;
    m_y = y;
    m_uniform = false;
    m_count = count;
}

} // namespace tq
