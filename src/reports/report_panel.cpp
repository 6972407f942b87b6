#include "reports/report_panel.h"

#include "design/layout_stream.h"
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

void TReportPanel::CreateObjectInRect(QRect r) {
    int L = r.left(), T = r.top(), R = r.right(), B = r.bottom();
    if (R - L < 25)
        R = L + 50;
    if (B - T < 15)
        B = T + 15;
    const QRect rect(QPoint(L, T), QPoint(R, B));
    if (!Accepting_)
        return;
    if (const QString why = BandRefusal(State_, Kind_); !why.isEmpty()) {
        if (OnRefused)
            OnRefused(why);
        return;
    }
    switch (State_) {
    case psPointing:
        return;
    case psLabel: {
        auto o = std::make_unique<TGPLabel>();
        o->SetCaption(QStringLiteral("<text>"));
        o->SetFont(Font);
        auto* p = static_cast<TGPLabel*>(AddObject(std::move(o), rect));
        if (OpenTextDialog)
            OpenTextDialog(*p);
        p->FitToText();
        break;
    }
    case psDataLabel: {
        auto o = std::make_unique<TGPDLabel>();
        o->DataFieldName = QStringLiteral("<field>");
        o->SetFont(Font);
        auto* p = static_cast<TGPDLabel*>(AddObject(std::move(o), rect));
        if (OpenFieldDialog)
            OpenFieldDialog(*p);
        RefreshDataValues();
        p->FitToText();
        break;
    }
    case psMultiLineDataLabel: {
        auto o = std::make_unique<TGDMultiLineLabel>();
        o->DataFieldName = QStringLiteral("Memo");
        o->DataFieldDescript = QStringLiteral("MEMO");
        o->SetFont(Font);
        AddObject(std::move(o), rect);
        RefreshDataValues();
        break;
    }
    case psLine: {
        auto o = std::make_unique<TGLineShape>();
        o->SetLineStyle(stHorizontal);
        AddObject(std::move(o), rect);
        break;
    }
    case psImage:
        AddObject(std::make_unique<TGImage>(), rect);
        break;
    case psDateTime: {
        auto o = std::make_unique<TGDateTimeLabel>();
        o->SetFont(Font);
        auto* p = static_cast<TGDateTimeLabel*>(AddObject(std::move(o), rect));
        p->RefreshCaption(nullptr);
        p->FitToText();
        break;
    }
    case psPageNumber: {
        auto o = std::make_unique<TGPageNumberLabel>();
        o->SetFont(Font);
        auto* p = static_cast<TGPageNumberLabel*>(AddObject(std::move(o), rect));
        p->RefreshCaption(nullptr);
        p->FitToText();
        break;
    }
    case psSymbolLabel: {
        auto* p = static_cast<TGSymbolLabel*>(AddObject(std::make_unique<TGSymbolLabel>(), rect));
        p->FitSymbol();
        if (OpenSymbolDialog)
            OpenSymbolDialog(*p);
        break;
    }
    case psRectangle:
    case psEllipse:
    case psRoundRectangle: {
        auto o = std::make_unique<Trpshapes>();
        o->SetShape(State_ == psRectangle ? stRectangle
                    : State_ == psEllipse ? stEllipse
                                          : stRoundRect);
        AddObject(std::move(o), rect);
        break;
    }
    }
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
