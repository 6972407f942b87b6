#pragma once
// One band of a designed report (header, detail or footer): a data panel
// that takes only the objects its band allows, keeps them inside the band
// and knows which tool it accepts.

#include "design/base_panel.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qp::reports {

enum TRPanelState {
    psPointing,
    psLabel,
    psDataLabel,
    psMultiLineDataLabel,
    psLine,
    psImage,
    psDateTime,
    psPageNumber,
    psSymbolLabel,
    psRectangle,
    psEllipse,
    psRoundRectangle
};

enum TRPanelKind { rpkHeader, rpkDetail, rpkMemo, rpkFooter };

// The message when `state`'s object may not go on a `kind` band; empty when
// it may.
QString BandRefusal(TRPanelState state, TRPanelKind kind);
// Whether a band of `kind` accepts presses while `state` is the tool.
bool BandAccepts(TRPanelState state, TRPanelKind kind);

class TReportPanel : public design::TGDataPanel {
public:
    explicit TReportPanel(TRPanelKind kind = rpkDetail);

    TRPanelState PanelState() const { return State_; }
    // Sets the tool; the band accepts new objects when its rules allow.
    void SetPanelState(TRPanelState s);
    TRPanelKind PAnelKind() const { return Kind_; }
    void SetPAnelKind(TRPanelKind k) { Kind_ = k; }
    bool Accepting() const { return Accepting_; }

    void CreateObjectInRect(QRect r) override;
    void KeepObjectsInside() override;
    void RemoveObjectsOutside() override;
    QStringList StreamClasses() const override;

    // A refused object: the window beeps and shows the message.
    std::function<void(const QString&)> OnRefused;
    // Called after the base handling of a press on an object.
    std::function<void(design::TGGraphicControl*)> ControlMouseDownEvent;

private:
    TRPanelKind Kind_;
    TRPanelState State_ = psPointing;
    bool Accepting_ = true;
};

} // namespace qp::reports
