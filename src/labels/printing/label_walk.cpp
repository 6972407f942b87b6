#include "labels/printing/label_walk.h"

#include "design/address_label.h"
#include "design/base_panel.h"
#include "print/base_report.h"
#include "store/table.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <algorithm>

namespace qp::labels {

namespace {

// The record's ZIP as the presort list keys it; none for mail abroad, which
// the presort leaves out.
std::string zip5(const store::Table& table) {
    std::string zip = table.getString("ZIP");
    return std::string(presortKey(presortZip(zip, table.getString("COUNTRY"))));
}

// In ZIP order, past the records of `key` addressed abroad.
void skipAbroad(store::Table& table, const std::string& key) {
    while (!table.eof() && presortKey(table.getString("ZIP")) == key &&
           !domesticCountry(table.getString("COUNTRY")))
        table.next();
}

// An address block on the label that could not hold the whole address.
bool addressCut(const design::TGBasePanel& panel) {
    for (int i = 0; i < panel.ObjectCount(); ++i)
        if (auto* a = dynamic_cast<const design::TGDMultiLineAddressLabel*>(panel.Object(i));
            a && a->Clipped())
            return true;
    return false;
}

} // namespace

std::string clippedSummary(const std::vector<std::uint32_t>& records, std::size_t named) {
    if (records.empty())
        return {};
    std::string text = std::to_string(records.size()) +
                       (records.size() == 1 ? " address did" : " addresses did") +
                       " not fit the label and " + (records.size() == 1 ? "was" : "were") +
                       " cut: " + (records.size() == 1 ? "record " : "records ");
    for (std::size_t i = 0; i < records.size() && i < named; ++i)
        text += (i ? ", " : "") + std::to_string(records[i]);
    if (records.size() > named)
        text += " and " + std::to_string(records.size() - named) + " more";
    return text + ".";
}

LabelWalk::LabelWalk(store::Table& table, design::TGBasePanel& panel, LabelWalkSettings settings)
    : table_(table), panel_(panel), settings_(std::move(settings)) {
    settings_.copies = std::clamp(settings_.copies, 1, 99);
    settings_.positions.fitSheet(settings_.definition);
}

void LabelWalk::seekNextGroup() {
    while (!remaining_.empty()) {
        PresortLine line = std::move(remaining_.front());
        remaining_.pop_front();
        currentLine_ = line.text;
        if (line.heading) {
            // The walk goes on from any record; the heading takes a position.
            table_.first();
            headingPending_ = true;
            return;
        }
        auto found = table_.seek(line.text);
        if (found && *found)
            skipAbroad(table_, line.text);
        if (found && *found && !table_.eof() && zip5(table_) == line.text)
            return;
    }
    // Nothing left: past the last record, which ends the walk.
    table_.last();
    table_.next();
}

bool LabelWalk::moveOn() {
    if (!settings_.presort)
        return table_.next();
    const bool afterHeading = headingPending_;
    table_.next();
    if (!afterHeading)
        skipAbroad(table_, currentLine_);
    if (afterHeading) {
        headingPending_ = false;
        seekNextGroup();
    } else if (table_.eof() || zip5(table_) != currentLine_) {
        seekNextGroup();
    }
    return !table_.eof();
}

void LabelWalk::produce(print::TBaseReport& report) {
    const LabelDefinition& def = settings_.definition;
    const int across = std::max(1, def.across), down = std::max(1, def.down);
    // A sheet without a selected position would never place a label.
    if (settings_.positions.selectedCount() == 0)
        return;
    if (settings_.presort) {
        remaining_.assign(settings_.presortList.begin(), settings_.presortList.end());
        seekNextGroup();
    }
    report.SetPen(Qt::black, print::psSolid, 1);
    report.SetBrush(Qt::white, print::bsClear);
    report.SetFont(QString::fromLatin1(kLabelHeadingFont), kLabelHeadingSize);

    int column = -1, row = 0, copies = 0, sheet = 0;
    std::uint32_t lastClipped = 0;
    while (!table_.eof()) {
        if (stopRequested && stopRequested()) {
            stopped_ = true;
            break;
        }
        if (++column >= across) {
            column = 0;
            ++row;
        }
        if (row >= down) {
            report.NewPage();
            row = 0;
            column = 0;
            ++sheet;
        }
        const bool wholeSheet = settings_.firstSheetOnly && sheet > 0;
        if (!wholeSheet && !settings_.positions.selected(positionIndex(def, column, row)))
            continue;
        Point origin = cellOrigin(def, column, row);
        origin.x += settings_.offset.x;
        origin.y += settings_.offset.y;
        const bool heading = headingPending_;
        if (heading) {
            report.SetFont(QString::fromLatin1(kLabelHeadingFont), kLabelHeadingSize);
            const QRectF clip(QPointF(origin.x, origin.y), QPointF(origin.x + def.horizontalPitch,
                                                                   origin.y + def.verticalPitch));
            report.TextRect(clip, origin.x + 0.15, origin.y + def.verticalPitch / 3.0,
                            QString::fromStdString(currentLine_));
            ++headings_;
        } else {
            panel_.RefreshDataValues();
            if (addressCut(panel_) && table_.recNo() != lastClipped) {
                lastClipped = table_.recNo();
                clipped_.push_back(lastClipped);
            }
            panel_.PrintObjects(report, origin.x, origin.y);
            panel_.NextLabelAll();
            ++labels_;
            if (++copies < settings_.copies) {
                if (processEvents)
                    processEvents();
                continue;
            }
        }
        copies = 0;
        moveOn();
        if (processEvents)
            processEvents();
    }
    if (finished)
        finished();
}

} // namespace qp::labels
