#include "desktop/reports/ReportPainter.h"

#include "desktop/reports/ReportPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>
#include <memory>
#include <vector>

namespace vorn {

namespace {

struct Scale {
    double x;
    double y;
    QRectF rect(const RectMm& r) const { return {r.x * x, r.y * y, r.w * x, r.h * y}; }
};

Scale scaleOf(const QPainter& painter) {
    QPaintDevice* d = painter.device();
    return {d->logicalDpiX() / 25.4, d->logicalDpiY() / 25.4};
}

Qt::Alignment hAlign(HAlign a) {
    switch (a) {
    case HAlign::Center:
        return Qt::AlignHCenter;
    case HAlign::Right:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

// One line, centred vertically, clipped at the sides of its box (a little room above and
// below so that accents and descenders of a tight box stay whole).
void paintLine(QPainter& p, const QRectF& r, const ReportItem& item, double mmY) {
    p.save();
    p.setClipRect(r.adjusted(0, -1.2 * mmY, 0, 1.2 * mmY), Qt::IntersectClip);
    const QString text = QString::fromStdString(item.text);
    // A centred text too long for its box shows its beginning, as a left-aligned one does.
    HAlign align = item.style.align;
    if (align == HAlign::Center && p.fontMetrics().horizontalAdvance(text) > r.width())
        align = HAlign::Left;
    p.drawText(r, int(hAlign(align) | Qt::AlignVCenter | Qt::TextSingleLine), text);
    p.restore();
}

// Wrapped text: whole lines only, at most maxLines, from the top of the box or centred.
void paintWrapped(QPainter& p, const QRectF& r, const ReportItem& item, const QFont& font) {
    QTextOption option(hAlign(item.style.align));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QStringList paragraphs = QString::fromStdString(item.text).split('\n');
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    struct Placed {
        QTextLayout* layout;
        int line;
    };
    std::vector<Placed> shown;
    double height = 0;
    for (const QString& para : paragraphs) {
        if (static_cast<int>(shown.size()) >= item.style.maxLines)
            break;
        auto layout = std::make_unique<QTextLayout>(para, font, p.device());
        layout->setTextOption(option);
        layout->beginLayout();
        double y = 0;
        for (;;) {
            QTextLine line = layout->createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(r.width());
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout->endLayout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const double h = layout->lineAt(i).height();
            if (static_cast<int>(shown.size()) >= item.style.maxLines ||
                height + h > r.height() + 0.01)
                break;
            shown.push_back({layout.get(), i});
            height += h;
        }
        layouts.push_back(std::move(layout));
    }
    double y = r.top() + (item.style.middle ? (r.height() - height) / 2 : 0);
    p.save();
    p.setClipRect(r.adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    for (const Placed& s : shown) {
        const QTextLine line = s.layout->lineAt(s.line);
        line.draw(&p, QPointF(r.left(), y - line.y()));
        y += line.height();
    }
    p.restore();
}

} // namespace

QFont ReportPainter::font(const TextStyle& style, QPaintDevice* device) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(style.pointSize);
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setKerning(true);
    if (device)
        return QFont(f, device);
    return f;
}

void ReportPainter::paintPage(QPainter& painter, const ReportPage& page) {
    const Scale s = scaleOf(painter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (const ReportItem& item : page.items) {
        const QRectF r = s.rect(item.rect);
        switch (item.kind) {
        case ReportItem::Kind::Rect:
        case ReportItem::Kind::Line: {
            QPen pen(Qt::black, item.lineWidth * s.x);
            pen.setCapStyle(Qt::SquareCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            if (item.kind == ReportItem::Kind::Rect)
                painter.drawRect(r);
            else
                painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        case ReportItem::Kind::Picture:
            ReportPictures::paint(painter, item.picture, r);
            break;
        case ReportItem::Kind::Text: {
            if (item.text.empty())
                break;
            const QFont f = font(item.style, painter.device());
            painter.setFont(f);
            painter.setPen(Qt::black);
            if (item.style.wrap)
                paintWrapped(painter, r, item, f);
            else
                paintLine(painter, r, item, s.y);
            break;
        }
        }
    }
    painter.restore();
}

void ReportPainter::paint(const ReportDocument& doc, QPagedPaintDevice& device, QPainter& painter) {
    for (size_t i = 0; i < doc.pages.size(); ++i) {
        if (i)
            device.newPage();
        paintPage(painter, doc.pages[i]);
    }
}

bool ReportPainter::writePdf(const ReportDocument& doc, const QString& path, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Не удаётся записать файл %1: %2").arg(path, reason);
        return false;
    };
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return fail(QStringLiteral("папка %1 не найдена").arg(info.absolutePath()));
    if (info.isDir())
        return fail(QStringLiteral("это папка, а не файл"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.error() == QFileDevice::OpenError ||
                            file.error() == QFileDevice::PermissionsError
                        ? QStringLiteral("нет доступа")
                        : file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Vorn"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return fail(QStringLiteral("ошибка создания PDF"));
        }
        paint(doc, writer, painter);
        painter.end();
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace vorn
