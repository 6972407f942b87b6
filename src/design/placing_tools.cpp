#include "design/placing_tools.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/design_units.h"
#include "design/graphic_control.h"
#include "design/imb_barcode.h"
#include "design/object_registry.h"
#include "design/text_labels.h"

#include <QImage>

#include <algorithm>
#include <memory>

namespace qp::design {

namespace {

// Made by class name, so kinds defined outside this library come in the
// same way as the built-in ones.
TGGraphicControl* addByClass(TGDataPanel& panel, const QString& cls, const QRect& r) {
    auto o = CreateDesignObject(cls);
    if (!o)
        o = CreateBuiltInObject(cls);
    if (!o)
        return nullptr;
    return panel.AddObject(std::move(o), r);
}

void placeText(TGDataPanel& panel, const QRect& r) {
    auto o = std::make_unique<TGPLabel>();
    o->SetCaption(QStringLiteral("<text>"));
    o->SetFont(panel.Font);
    auto* p = static_cast<TGPLabel*>(panel.AddObject(std::move(o), r));
    if (panel.OpenTextDialog)
        panel.OpenTextDialog(*p);
    p->FitToText();
}

void placeCounter(TGDataPanel& panel, const QRect& r) {
    auto o = std::make_unique<TGCounterLabel>();
    o->SetStartingnumber(1000);
    o->SetFont(panel.Font);
    auto* p = static_cast<TGCounterLabel*>(panel.AddObject(std::move(o), r));
    p->FitToText();
}

void placeSymbol(TGDataPanel& panel, const QRect& r) {
    auto* p = static_cast<TGSymbolLabel*>(panel.AddObject(std::make_unique<TGSymbolLabel>(), r));
    p->FitSymbol();
    if (panel.OpenSymbolDialog)
        panel.OpenSymbolDialog(*p);
}

void placeField(TGDataPanel& panel, const QRect& r) {
    auto o = std::make_unique<TGPDLabel>();
    o->SetCaption(QString());
    o->DataFieldName = QStringLiteral("<field>");
    o->SetFont(panel.Font);
    auto* p = static_cast<TGPDLabel*>(panel.AddObject(std::move(o), r));
    if (panel.OpenFieldDialog)
        panel.OpenFieldDialog(*p);
    panel.RefreshDataValues();
    p->FitToText();
}

void placeMultiLine(TGDataPanel& panel, const QRect& r) {
    auto o = std::make_unique<TGMultiLineLabel>();
    o->SetFont(panel.Font);
    auto* p = static_cast<TGMultiLineLabel*>(panel.AddObject(std::move(o), r));
    if (panel.OpenMultiLineDialog)
        panel.OpenMultiLineDialog(*p);
    p->FitToContents();
}

void placeMemoField(TGDataPanel& panel, const QRect& r) {
    auto o = std::make_unique<TGDMultiLineLabel>();
    o->DataFieldName = QStringLiteral("Memo");
    o->DataFieldDescript = QStringLiteral("MEMO");
    o->SetFont(panel.Font);
    panel.AddObject(std::move(o), r);
    panel.RefreshDataValues();
}

void placeAddress(TGDataPanel& panel, const QRect& r) {
    auto o = CreateDesignObject(QStringLiteral("TGDMultiLineAddressLabel"));
    if (!o)
        o = CreateBuiltInObject(QStringLiteral("TGDMultiLineAddressLabel"));
    auto* block = dynamic_cast<TGDMultiLineAddressLabel*>(o.get());
    if (!block)
        return;
    block->SetFont(panel.Font);
    panel.AddObject(std::move(o), r);
    panel.RefreshDataValues();
    block->FitToContents();
}

void placeImage(TGDataPanel& panel, const QRect& r) {
    panel.AddObject(std::make_unique<TGImage>(), r);
}

TGPostNetBarCode* addPostNet(TGDataPanel& panel, const QRect& r) {
    auto* b = dynamic_cast<TGPostNetBarCode*>(addByClass(panel, "TGPostNetBarCode", r));
    if (!b)
        return nullptr;
    b->ZipCodeField = QStringLiteral("ZIP");
    b->AddressField = QStringLiteral("STREET");
    return b;
}

void placePostNet(TGDataPanel& panel, const QRect& r) {
    if (addPostNet(panel, r))
        panel.RefreshDataValues();
}

void placeImb(TGDataPanel& panel, const QRect& r) {
    TGGraphicControl* o = addByClass(panel, QStringLiteral("TGIMbBarCode"), r);
    if (!o)
        return;
    NewImbBarCode(*o);
    panel.RefreshDataValues();
    if (panel.OpenBarcodeDialog)
        panel.OpenBarcodeDialog(*o);
}

void placeFim(TGDataPanel& panel, const QRect& r) {
    addByClass(panel, QStringLiteral("TGFIMBarCode"), r);
}

template <class Label> void placeClockLabel(TGDataPanel& panel, const QRect& r) {
    auto o = std::make_unique<Label>();
    o->SetFont(panel.Font);
    auto* p = static_cast<Label*>(panel.AddObject(std::move(o), r));
    p->RefreshCaption(nullptr);
    p->FitToText();
}

const std::vector<TPlacingTool>& allTools() {
    static const std::vector<TPlacingTool> all{
        {kPointingState, "SelectionTool", "Select", "Selection tool", 0, {}},
        {"psLabel", "TextTool", "Text", "Text tool", 1, placeText},
        {"psMultiLineLabel", "MultiLineTextTool", "Lines", "Multi-line text tool", 1,
         placeMultiLine},
        {"psCounterLabel", "CounterTool", "Counter", "Counter tool", 1, placeCounter},
        {"psSymbolLabel", "SymbolTool", "Symbol", "Symbol tool", 1, placeSymbol},
        {"psDateTime", "DateTimeTool", "Date", "Date and time tool", 1,
         placeClockLabel<TGDateTimeLabel>},
        {"psPageNumber", "PageNumberTool", "Page", "Page number tool", 1,
         placeClockLabel<TGPageNumberLabel>},
        {"psRectangle", "RectangleTool", "Rect", "Rectangle tool", 2, PlaceShape(stRectangle)},
        {"psEllipse", "EllipseTool", "Ellipse", "Ellipse tool", 2, PlaceShape(stEllipse)},
        {"psRoundRectangle", "RoundRectangleTool", "Round", "Round Rectangle tool", 2,
         PlaceShape(stRoundRect)},
        {"psLine", "LineTool", "Line", "Line Tool", 2, PlaceLine(stVertical)},
        {"psImage", "ClipArtTool", "Art", "Clip Art Tool", 3, placeImage},
        {"psPostNetBarCode", "PostNetTool", "POSTNET", "Postnet Barcode tool", 3, placePostNet},
        {"psIMbBarCode", "IMbTool", "IMb", "IMb Barcode tool", 3, placeImb},
        {"psFIMBarCode", "FIMTool", "FIM", "FIM Barcode tool", 3, placeFim},
        {"psDataLabel", "DataFieldTool", "Field", "Database Field tool", 4, placeField},
        {"psMultiLineDataLabel", "MemoFieldTool", "Memo", "Memo Field tool", 4, placeMemoField},
        {"psAddressLabel", "AddressTool", "Address", "Database Mailing Address tool", 4,
         placeAddress},
    };
    return all;
}

} // namespace

std::function<void(TGDataPanel&, const QRect&)> PlaceShape(TShapeType shape, bool reportShape) {
    return [shape, reportShape](TGDataPanel& panel, const QRect& r) {
        std::unique_ptr<TGLabelShapes> o;
        if (reportShape)
            o = std::make_unique<Trpshapes>();
        else
            o = std::make_unique<TGLabelShapes>();
        o->SetShape(shape);
        panel.AddObject(std::move(o), r);
    };
}

std::function<void(TGDataPanel&, const QRect&)> PlaceLine(TLineStyle style) {
    return [style](TGDataPanel& panel, const QRect& r) {
        auto o = std::make_unique<TGLineShape>();
        o->SetLineStyle(style);
        panel.AddObject(std::move(o), r);
    };
}

void PlacePostNetFullLength(TGDataPanel& panel, const QRect& r) {
    TGPostNetBarCode* b = addPostNet(panel, r);
    if (!b)
        return;
    const QImage& picture = TGPostNetBarCode::DesignPicture();
    const double zoom = panel.Zoom();
    b->SetBounds(b->Left(), b->Top(), std::max(b->Width(), RoundHalfEven(picture.width() * zoom)),
                 std::max(b->Height(), RoundHalfEven(picture.height() * zoom)));
    panel.RefreshDataValues();
}

const TPlacingTool* FindPlacingTool(const QString& state) {
    for (const TPlacingTool& t : allTools())
        if (t.state == state)
            return &t;
    return nullptr;
}

std::vector<TPlacingTool> PlacingTools(const QStringList& states) {
    std::vector<TPlacingTool> out;
    for (const QString& s : states)
        if (const TPlacingTool* t = FindPlacingTool(s))
            out.push_back(*t);
    return out;
}

QRect PlacingRect(const QRect& dragged) {
    const int L = dragged.left(), T = dragged.top();
    int R = dragged.right(), B = dragged.bottom();
    if (R - L < 25)
        R = L + 50;
    if (B - T < 15)
        B = T + 15;
    return QRect(QPoint(L, T), QPoint(R, B));
}

void PlaceWithTool(TGDataPanel& panel, const TPlacingTool* tool, const QRect& dragged) {
    if (tool && tool->place)
        tool->place(panel, PlacingRect(dragged));
    panel.RunDeferred();
}

} // namespace qp::design
