#include "LineStyles.h"

#include <QCoreApplication>

namespace tq {

namespace {

struct LineTypeInfo {
    Qt::PenStyle style;
    double width;
    const char* name;
};

const LineTypeInfo kLineTypes[kLineTypeCount] = {
    {Qt::SolidLine, 1.0, QT_TRANSLATE_NOOP("Chart", "Thin solid")},
    {Qt::DashLine, 1.0, QT_TRANSLATE_NOOP("Chart", "Dash")},
    {Qt::DotLine, 1.0, QT_TRANSLATE_NOOP("Chart", "Dot")},
    {Qt::DashDotLine, 1.0, QT_TRANSLATE_NOOP("Chart", "Dash dot")},
    {Qt::DashDotDotLine, 1.0, QT_TRANSLATE_NOOP("Chart", "Dash dot dot")},
    {Qt::SolidLine, 1.5, QT_TRANSLATE_NOOP("Chart", "Medium thin solid")},
    {Qt::SolidLine, 3.0, QT_TRANSLATE_NOOP("Chart", "Thick solid")},
    {Qt::DashLine, 2.0, QT_TRANSLATE_NOOP("Chart", "Medium dash")},
    {Qt::DotLine, 2.0, QT_TRANSLATE_NOOP("Chart", "Medium dot")},
    {Qt::SolidLine, 2.0, QT_TRANSLATE_NOOP("Chart", "Medium solid")},
};

} // namespace

QPen seriesPen(int lineType, const QColor& color) {
    const LineTypeInfo& t =
        kLineTypes[lineType >= 0 && lineType < kLineTypeCount ? lineType : kDefaultLineType];
    QPen pen(color, t.width, t.style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QStringList lineTypeNames() {
    QStringList names;
    for (const auto& t : kLineTypes)
        names << QCoreApplication::translate("Chart", t.name);
    return names;
}

QPen monoSeriesPen(int subset) {
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    return QPen(Qt::black, 1.5, styles[subset % 5]);
}

QPen gridPen(Chart::GridStyle style) {
    switch (style) {
    case Chart::GridStyle::Solid:
        return QPen(QColor(200, 200, 200), 0, Qt::SolidLine);
    case Chart::GridStyle::Dash:
        return QPen(QColor(170, 170, 170), 0, Qt::DashLine);
    case Chart::GridStyle::None:
        return QPen(Qt::NoPen);
    case Chart::GridStyle::Dot:
        break;
    }
    return QPen(QColor(150, 150, 150), 0, Qt::DotLine);
}

QPen vertLinePen(int type, const QColor& color) {
    switch (type) {
    case Chart::LineCursor:
        return QPen(color, 2.0, Qt::SolidLine);
    case Chart::LineThin:
        return QPen(color, 1.0, Qt::SolidLine);
    default:
        return QPen(color, 1.0, Qt::DashLine);
    }
}

} // namespace tq
