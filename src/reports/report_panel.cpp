#include "reports/report_panel.h"

#include "design/layout_stream.h"
#include "design/placing_tools.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <memory>

namespace qp::reports {

using namespace qp::design;

QString BandRefusal(TRPanelState state, TRPanelKind kind) {
    switch (state) {
    case psDataLabel:
        return kind == rpkDetail
                   ? QString()
                   : QStringLiteral("This object may only be used in the detail band");
    case psMultiLineDataLabel:
        return kind == rpkMemo ? QString()
                               : QStringLiteral("This object may only be used in the memo band");
    case psImage:
        return kind == rpkHeader
                   ? QString()
                   : QStringLiteral("This object may only be used in the header band");
    case psDateTime:
    case psPageNumber:
        return kind == rpkHeader || kind == rpkFooter
                   ? QString()
                   : QStringLiteral("This object may only be used in the header or footer bands");
    default:
        return {};
    }
}

bool BandAccepts(TRPanelState state, TRPanelKind kind) {
    switch (state) {
    case psDataLabel:
        return kind == rpkDetail;
    case psImage:
        return kind == rpkHeader;
    case psDateTime:
    case psPageNumber:
        return kind == rpkHeader || kind == rpkFooter;
    default:
        return true;
    }
}

TReportPanel::TReportPanel(TRPanelKind kind) : Kind_(kind) {}

void TReportPanel::SetPanelState(TRPanelState s) {
    State_ = s;
    Accepting_ = BandAccepts(s, Kind_);
    SetPointing(s == psPointing);
}

QStringList TReportPanel::StreamClasses() const {
    return PanelKindClasses(pkReport);
}

namespace {
// The report tools, indexed by TRPanelState; a band's shapes are its own
// kind and its lines start horizontal.
const std::vector<TPlacingTool>& reportTools() {
    static const std::vector<TPlacingTool> tools = [] {
        auto t = PlacingTools({"psPointing", "psLabel", "psDataLabel", "psMultiLineDataLabel",
                               "psLine", "psImage", "psDateTime", "psPageNumber", "psSymbolLabel",
                               "psRectangle", "psEllipse", "psRoundRectangle"});
        for (TPlacingTool& tool : t) {
            if (tool.state == QLatin1String("psLine"))
                tool.place = PlaceLine(stHorizontal);
            else if (tool.state == QLatin1String("psRectangle"))
                tool.place = PlaceShape(stRectangle, true);
            else if (tool.state == QLatin1String("psEllipse"))
                tool.place = PlaceShape(stEllipse, true);
            else if (tool.state == QLatin1String("psRoundRectangle"))
                tool.place = PlaceShape(stRoundRect, true);
        }
        return t;
    }();
    return tools;
}
} // namespace

void TReportPanel::CreateObjectInRect(QRect r) {
    if (!Accepting_)
        return;
    if (const QString why = BandRefusal(State_, Kind_); !why.isEmpty()) {
        if (OnRefused)
            OnRefused(why);
        return;
    }
    const auto& tools = reportTools();
    PlaceWithTool(*this, size_t(State_) < tools.size() ? &tools[State_] : nullptr, r);
}

void TReportPanel::KeepObjectsInside() {
    ClearSelection();
    for (int i = 0; i < ObjectCount(); ++i) {
        TGGraphicControl* o = Object(i);
        if (o->Top() > Height())
            o->SetTop(Height());
        if (o->Left() > Width())
            o->SetLeft(Width());
    }
    RunDeferred();
}

void TReportPanel::RemoveObjectsOutside() {
    ClearSelection();
    std::vector<TGGraphicControl*> doomed;
    for (int i = 0; i < ObjectCount(); ++i) {
        TGGraphicControl* o = Object(i);
        if (o->Top() > Height() + 10 || o->Left() > Width() + 10)
            doomed.push_back(o);
    }
    for (TGGraphicControl* o : doomed)
        DeleteObject(o);
}

} // namespace qp::reports
