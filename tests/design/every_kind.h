#pragma once
// One object of every kind with every stored property set away from its
// default, for the golden layout, the change notice and the undo tests.
#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/graphic_control.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <memory>
#include <vector>

namespace qp::design::testing {

inline TDesignFont OddFont() {
    TDesignFont f;
    f.Name = "Liberation Serif";
    f.Size = 14;
    f.Bold = f.Italic = f.Underline = f.StrikeOut = true;
    f.Color = TColor{255};
    f.Pitch = fpFixed;
    return f;
}

inline void SetBase(TGGraphicControl& o, int n) {
    o.SetName(QStringLiteral("Special%1").arg(n));
    o.SetBounds(11 + n, 13 + 2 * n, 150 + n, 40 + n);
    o.Cursor = -21;
    o.Hint = QStringLiteral("hint %1").arg(n);
    o.SetLocked(true);
    o.SetUnselectable(true);
}

inline void SetLabel(TGBaseLabel& l, int n) {
    SetBase(l, n);
    l.SetCaption(QStringLiteral("Caption %1").arg(n));
    l.SetFont(OddFont());
    l.SetAlignment(taCenter);
    l.SetDepthHighlight(2);
    l.SetDepthShadow(3);
    l.SetDirectionHighlight(hdUpRight);
    l.SetDirectionShadow(sdDownLeft);
    l.SetcolorHighlight(TColor{0x123456});
    l.SetcolorShadow(clBlack);
    l.SetTransparent(false);
    l.SetBackColor(TColor{0x80000005});
}

inline void SetMulti(TGMultiLineBaseLabel& m, int n) {
    SetBase(m, n);
    m.SetItems({"first line", "", "third line"});
    m.AutoSize = true;
    m.SetAlignment(taRightJustify);
    m.SetFont(OddFont());
    m.SetWordWrap(true);
}

inline void SetShape(TGLabelShapes& s, int n) {
    SetBase(s, n);
    s.SetShape(stRoundSquare);
    s.SetPen({TColor{0x00FF00}, 4, qp::print::psDashDot, qp::print::pmXor});
    s.SetBrush({TColor{0x0000FF}, qp::print::bsDiagCross});
    s.SetRoundPerc(40);
}

inline std::vector<std::unique_ptr<TGGraphicControl>> EveryKind() {
    std::vector<std::unique_ptr<TGGraphicControl>> out;
    int n = 0;
    auto label = std::make_unique<TGPLabel>();
    SetLabel(*label, ++n);
    out.push_back(std::move(label));

    auto turned = std::make_unique<TGPLabel>();
    SetLabel(*turned, ++n);
    turned->SetAngle(90);
    out.push_back(std::move(turned));

    auto field = std::make_unique<TGPDLabel>();
    SetLabel(*field, ++n);
    field->DataFieldName = "LNAME";
    field->DataFieldDescript = "Last Name";
    field->LengthOfText = 17;
    out.push_back(std::move(field));

    auto counter = std::make_unique<TGCounterLabel>();
    SetLabel(*counter, ++n);
    counter->ApplySettings(-7, 3, "No. ", " of", 5);
    out.push_back(std::move(counter));

    auto symbol = std::make_unique<TGSymbolLabel>();
    SetLabel(*symbol, ++n);
    out.push_back(std::move(symbol));

    auto clock = std::make_unique<TGDateTimeLabel>();
    SetLabel(*clock, ++n);
    clock->DateFormat = dtfDateLong;
    clock->TimeFormat = dtfTimeShort;
    out.push_back(std::move(clock));

    auto page = std::make_unique<TGPageNumberLabel>();
    SetLabel(*page, ++n);
    out.push_back(std::move(page));

    auto multi = std::make_unique<TGMultiLineLabel>();
    SetMulti(*multi, ++n);
    out.push_back(std::move(multi));

    auto memo = std::make_unique<TGDMultiLineLabel>();
    SetMulti(*memo, ++n);
    memo->DataFieldName = "Memo";
    memo->DataFieldDescript = "MEMO";
    out.push_back(std::move(memo));

    auto address = std::make_unique<TGDMultiLineAddressLabel>();
    SetMulti(*address, ++n);
    address->Layout = {false, false, false, false,           false, false,
                       false, true,  false, zoBeforeCountry, true};
    address->ShrinkToFit = true;
    out.push_back(std::move(address));

    auto shape = std::make_unique<TGLabelShapes>();
    SetShape(*shape, ++n);
    out.push_back(std::move(shape));

    auto clear = std::make_unique<TGLabelShapes>();
    SetShape(*clear, ++n);
    clear->SetTransparent(true);
    out.push_back(std::move(clear));

    auto rp = std::make_unique<Trpshapes>();
    SetShape(*rp, ++n);
    out.push_back(std::move(rp));

    auto line = std::make_unique<TGLineShape>();
    SetBase(*line, ++n);
    line->SetLineStyle(stAngleSlopingUp);
    line->SetPen({TColor{0x808000}, 6, qp::print::psDot, qp::print::pmNotXor});
    out.push_back(std::move(line));

    auto image = std::make_unique<TGImage>();
    SetBase(*image, ++n);
    QImage bmp(3, 2, QImage::Format_RGB32);
    bmp.fill(Qt::darkCyan);
    image->SetPicture(TDesignPicture::FromImage(bmp));
    image->SetStretch(false);
    out.push_back(std::move(image));

    auto sized = std::make_unique<TGImage>();
    SetBase(*sized, ++n);
    sized->SetPicture(TDesignPicture::FromImage(bmp));
    sized->SetAutoSize(true);
    out.push_back(std::move(sized));

    auto postnet = std::make_unique<TGPostNetBarCode>();
    SetBase(*postnet, ++n);
    postnet->ZipCodeField = "ZIP";
    postnet->AddressField = "STREET2";
    postnet->BarCodeType = pnbc5Digit;
    out.push_back(std::move(postnet));

    auto fim = std::make_unique<TGFIMBarCode>();
    SetBase(*fim, ++n);
    fim->SetFIMType(fimTypeC);
    out.push_back(std::move(fim));
    return out;
}

} // namespace qp::design::testing
