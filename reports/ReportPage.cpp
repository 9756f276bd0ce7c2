#include "reports/ReportPage.h"

#include <utility>

namespace vorn {

void ReportPage::addSection(const std::string& name, double top, double height) {
    sections.push_back({name, top, height});
}

ReportItem& ReportPage::addText(RectMm r, std::string text, TextStyle style, std::string key) {
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.rect = r;
    item.text = std::move(text);
    item.key = std::move(key);
    item.style = style;
    items.push_back(std::move(item));
    return items.back();
}

void ReportPage::addRect(RectMm r, double lineWidth) {
    ReportItem item;
    item.kind = ReportItem::Kind::Rect;
    item.rect = r;
    item.lineWidth = lineWidth;
    items.push_back(std::move(item));
}

void ReportPage::addLine(double x1, double y1, double x2, double y2, double lineWidth) {
    ReportItem item;
    item.kind = ReportItem::Kind::Line;
    item.rect = {x1, y1, x2 - x1, y2 - y1};
    item.lineWidth = lineWidth;
    items.push_back(std::move(item));
}

void ReportPage::addPicture(RectMm r, Picture p) {
    ReportItem item;
    item.kind = ReportItem::Kind::Picture;
    item.rect = r;
    item.picture = p;
    items.push_back(std::move(item));
}

const ReportItem* ReportPage::find(const std::string& key) const {
    for (const ReportItem& item : items)
        if (item.kind == ReportItem::Kind::Text && item.key == key)
            return &item;
    return nullptr;
}

const ReportSection* ReportPage::section(const std::string& name) const {
    for (const ReportSection& s : sections)
        if (s.name == name)
            return &s;
    return nullptr;
}

} // namespace vorn
