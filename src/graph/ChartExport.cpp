#include "ChartExport.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "FileAccess.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

namespace tq::chartexport {

namespace {
constexpr int kDpi = 96;

Outcome paintOn(QPaintDevice& device, Chart& chart, const QSize& size, const QString& name) {
    QPainter painter;
    if (!painter.begin(&device))
        return Outcome::fail(Outcome::Code::CannotWrite,
                             QStringLiteral("Cannot draw %1: the picture could not be started.").arg(name));
    chart.render(painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
    painter.end();
    return Outcome::success();
}
} // namespace

bool formatOf(const QString& fileName, Format& out) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("png"))
        out = Format::Png;
    else if (ext == QLatin1String("svg"))
        out = Format::Svg;
    else if (ext == QLatin1String("pdf"))
        out = Format::Pdf;
    else
        return false;
    return true;
}

bool sizeAllowed(const QSize& size) {
    return size.width() >= kMinSide && size.width() <= kMaxSide && size.height() >= kMinSide &&
           size.height() <= kMaxSide;
}

bool parseSize(const QString& text, QSize& out) {
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,5})\\s*[xX]\\s*(\\d{1,5})\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return false;
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    if (!sizeAllowed(size)) return false;
    out = size;
    return true;
}

Outcome write(Chart& chart, const QString& fileName, Format format, const QSize& size) {
    const QString name = shownName(fileName);
    if (!sizeAllowed(size))
        return Outcome::fail(Outcome::Code::BadInput,
                             QStringLiteral("%1 was not written: a picture is %2 to %3 pixels on each side.")
                                 .arg(name)
                                 .arg(kMinSide)
                                 .arg(kMaxSide));
    const auto failed = [](const QString& text) { return Outcome::fail(Outcome::Code::CannotWrite, text); };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("Cannot create %1: %2").arg(name, file.errorString()));
    Outcome drawn = Outcome::success();
    switch (format) {
    case Format::Png: {
        const QImage image = chart.renderImage(size);
        QImageWriter writer(&file, "png");
        if (!writer.write(image))
            return failed(QStringLiteral("Cannot write %1: %2").arg(name, writer.errorString()));
        break;
    }
    case Format::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(kDpi);
        svg.setTitle(QFileInfo(fileName).completeBaseName());
        drawn = paintOn(svg, chart, size, name);
        break;
    }
    case Format::Pdf: {
        QPdfWriter pdf(&file);
        pdf.setResolution(kDpi);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(
            QPageSize(QSizeF(size) * 72.0 / kDpi, QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setTitle(QFileInfo(fileName).completeBaseName());
        pdf.setCreator(QStringLiteral("TQ880"));
        drawn = paintOn(pdf, chart, size, name);
        break;
    }
    }
    if (!drawn.ok()) return drawn;
    if (!file.commit()) return failed(QStringLiteral("Cannot write %1: %2").arg(name, file.errorString()));
    return Outcome::success();
}

} // namespace tq::chartexport
