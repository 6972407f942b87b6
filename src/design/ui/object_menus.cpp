#include "design/ui/object_menus.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/imb_barcode.h"
#include "design/panel_commands.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/imb_barcode_dialog.h"
#include "design/ui/panel_commands_ui.h"
#include "design/ui/position_size_dialog.h"

#include <QMenu>

namespace qp::design::ui {

TClipboardCommands& ClipboardCommands() {
    static TClipboardCommands c;
    return c;
}

namespace {

QAction* Add(QMenu& m, const QString& caption, std::function<void()> f) {
    QAction* a = m.addAction(caption);
    QObject::connect(a, &QAction::triggered, a, [f = std::move(f)] { f(); });
    return a;
}

QAction* Check(QAction* a, bool on) {
    a->setCheckable(true);
    a->setChecked(on);
    return a;
}

// Delete acts on the selection when the object is part of it.
void AddCommon(QMenu& m, TGGraphicControl& o, TGBasePanel& panel, QWidget* parent) {
    Add(m, "Bring To Front", [&] {
        o.Changed();
        panel.BringToFront(&o);
    });
    Add(m, "Send To Back", [&] {
        o.Changed();
        panel.SendToBack(&o);
    });
    auto& clip = ClipboardCommands();
    Add(m, "Cut", [&] {
        o.Changed();
        if (ClipboardCommands().Cut)
            ClipboardCommands().Cut(&o);
    })->setEnabled(bool(clip.Cut));
    Add(m, "Copy", [&] {
        if (ClipboardCommands().Copy)
            ClipboardCommands().Copy(&o);
    })->setEnabled(bool(clip.Copy));
    Add(m, "Delete", [&] {
        o.Changed();
        CommandsFor(panel).DeleteObject(&o);
    });
    Add(m, "Clone", [&] {
        if (ClipboardCommands().Clone)
            ClipboardCommands().Clone(&o);
    })->setEnabled(bool(clip.Clone));
    m.addSeparator();
    Check(Add(m, "Locked", [&] { o.SetLocked(!o.Locked()); }), o.Locked());
    Add(m, "Unselectable", [&] { o.SetUnselectable(true); });
    m.addSeparator();
    Add(m, "Center Vertically", [&] { panel.CenterVertically(&o); });
    Add(m, "Center Horizontally", [&] { panel.CenterHorizontally(&o); });
    Add(m, "Position and Size", [&o, &panel, parent] { RunPositionSizeDialog(o, panel, parent); });
}

void AddAlignment(QMenu& m, TAlignment current, std::function<void(TAlignment)> set) {
    QMenu* sub = m.addMenu("Alignment");
    const std::pair<const char*, TAlignment> items[] = {
        {"Left", taLeftJustify}, {"Center", taCenter}, {"Right", taRightJustify}};
    for (auto [caption, a] : items)
        Check(Add(*sub, caption, [set, a = a] { set(a); }), current == a);
}

void AddRotation(QMenu& m, TGBaseLabel& l) {
    m.addSeparator();
    QMenu* sub = m.addMenu("Rotation");
    const std::pair<const char*, int> items[] = {
        {"No Rotation", 0}, {"90 Degrees", 90}, {"180 Degrees", 180}, {"270 Degrees", 270}};
    for (auto [caption, angle] : items)
        Check(Add(*sub, caption,
                  [&l, angle = angle] {
                      l.SetAngle(angle);
                      l.Changed();
                  }),
              l.Angle() == angle);
}

void AddBaseLabel(QMenu& m, TGBaseLabel& l, QWidget* parent, bool withFontAndAlignment) {
    m.addSeparator();
    if (withFontAndAlignment)
        Add(m, "Font", [&l, parent] {
            TDesignFont f = l.Font();
            if (!ChooseDesignFont(f, parent))
                return;
            l.SetFont(f);
            if (auto* p = dynamic_cast<TGPLabel*>(&l))
                p->FitToText();
        });
    Add(m, "3D Effects", [&l, parent] {
        if (RunText3DEffects(l, parent))
            l.Changed();
    });
    if (withFontAndAlignment)
        AddAlignment(m, l.Alignment(), [&l](TAlignment a) {
            l.SetAlignment(a);
            l.Changed();
        });
    Add(m, "Background Color", [&l, parent] {
        TColor c = l.BackColor();
        if (!ChooseDesignColor(c, parent))
            return;
        l.SetBackColor(c);
        l.SetTransparent(false);
    });
    Check(Add(m, "Transparent", [&l] { l.SetTransparent(!l.Transparent()); }), l.Transparent());
}

void AddThickness(QMenu& m, const TDesignPen& pen, std::function<void(int)> set) {
    QMenu* sub = m.addMenu("Line Thickness");
    for (int w = 1; w <= 10; ++w)
        Check(Add(*sub, QString::number(w) + " Point", [set, w] { set(w); }), pen.Width == w);
}

} // namespace

void FillObjectMenu(QMenu& m, TGGraphicControl& o, TGBasePanel& panel, QWidget* parent) {
    AddCommon(m, o, panel, parent);
    if (auto* sym = dynamic_cast<TGSymbolLabel*>(&o)) {
        AddBaseLabel(m, *sym, parent, false);
        m.addSeparator();
        Add(m, "Symbol Selector", [sym, parent] { RunSymbolSelector(*sym, parent); });
    } else if (auto* dt = dynamic_cast<TGDateTimeLabel*>(&o)) {
        AddBaseLabel(m, *dt, parent, true);
        m.addSeparator();
        QMenu* d = m.addMenu("Date Format");
        const char* dates[] = {"No Date", "Windows Short Date", "Windows Long Date"};
        for (int i = 0; i < 3; ++i)
            Check(Add(*d, dates[i],
                      [dt, i] {
                          const char* names[] = {"dtfDateNone", "dtfDateShort", "dtfDateLong"};
                          dt->SetProperty("DateFormat", TIdent{names[i]});
                      }),
                  dt->DateFormat == i);
        QMenu* t = m.addMenu("Time Format");
        const char* times[] = {"No Time", "Windows Short Time", "Windows Long Time"};
        for (int i = 0; i < 3; ++i)
            Check(Add(*t, times[i],
                      [dt, i] {
                          const char* names[] = {"dtfTimeNone", "dtfTimeShort", "dtfTimeLong"};
                          dt->SetProperty("TimeFormat", TIdent{names[i]});
                      }),
                  dt->TimeFormat == i);
    } else if (auto* pd = dynamic_cast<TGPDLabel*>(&o)) {
        AddBaseLabel(m, *pd, parent, true);
        m.addSeparator();
        Add(m, "Field", [pd, &panel, parent] { RunSelectFieldDialog(*pd, panel, parent); });
        AddRotation(m, *pd);
    } else if (auto* c = dynamic_cast<TGCounterLabel*>(&o)) {
        AddBaseLabel(m, *c, parent, true);
        m.addSeparator();
        Add(m, "Counter Settings", [c, parent] { RunCounterDialog(*c, parent); });
        AddRotation(m, *c);
    } else if (auto* pl = dynamic_cast<TGPLabel*>(&o)) {
        AddBaseLabel(m, *pl, parent, true);
        m.addSeparator();
        Add(m, "Text", [pl, parent] { RunTextDialog(*pl, parent); });
        AddRotation(m, *pl);
    } else if (auto* bl = dynamic_cast<TGBaseLabel*>(&o)) {
        AddBaseLabel(m, *bl, parent, true);
    } else if (auto* block = dynamic_cast<TGDMultiLineAddressLabel*>(&o)) {
        m.addSeparator();
        Add(m, "Font", [block, parent] {
            TDesignFont f = block->Font();
            if (ChooseDesignFont(f, parent))
                block->SetFont(f), block->ShowDataValue();
        });
        AddAlignment(m, block->Alignment(), [block](TAlignment a) { block->SetAlignment(a); });
        m.addSeparator();
        Add(m, "Address Layout", [block, parent] { OpenAddressLayout(*block, parent); });
    } else if (auto* imb = dynamic_cast<TGIMbBarCode*>(&o)) {
        m.addSeparator();
        Add(m, "IMb Barcode Properties",
            [imb, &panel, parent] { RunImbBarcodeDialog(*imb, panel, parent); });
    } else if (auto* fim = dynamic_cast<TGFIMBarCode*>(&o)) {
        m.addSeparator();
        const std::pair<const char*, TFIMBarCodeType> types[] = {{"Set FIM to Type A", fimTypeA},
                                                                 {"Set FIM to Type B", fimTypeB},
                                                                 {"Set FIM to Type C", fimTypeC}};
        for (const auto& [caption, type] : types)
            Check(Add(m, caption,
                      [fim, type = type] {
                          fim->Changed();
                          fim->SetFIMType(type);
                      }),
                  fim->FIMType() == type);
    } else if (auto* ml = dynamic_cast<TGMultiLineBaseLabel*>(&o)) {
        m.addSeparator();
        Add(m, "Font", [ml, parent] {
            TDesignFont f = ml->Font();
            if (ChooseDesignFont(f, parent))
                ml->SetFont(f), ml->ShowDataValue();
        });
        AddAlignment(m, ml->Alignment(), [ml](TAlignment a) { ml->SetAlignment(a); });
        m.addSeparator();
        if (auto* memo = dynamic_cast<TGDMultiLineLabel*>(ml))
            Add(m, "Memo Field",
                [memo, &panel, parent] { RunMemoFieldDialog(*memo, panel, parent); });
        else if (auto* text = dynamic_cast<TGMultiLineLabel*>(ml))
            Add(m, "Text", [text, parent] { RunMultiLineEditor(*text, parent); });
        Check(Add(m, "Word Wrap",
                  [ml] {
                      ml->SetWordWrap(!ml->WordWrap());
                      ml->Changed();
                  }),
              ml->WordWrap());
    } else if (auto* s = dynamic_cast<TGLabelShapes*>(&o)) {
        m.addSeparator();
        Add(m, "Background Color", [s, parent] {
            TDesignBrush b = s->Brush();
            if (!ChooseDesignColor(b.Color, parent))
                return;
            s->SetBrush(b);
            s->Changed();
            s->SetTransparent(false);
        });
        Add(m, "Line Color", [s, parent] {
            TDesignPen p = s->Pen();
            if (!ChooseDesignColor(p.Color, parent))
                return;
            s->SetPen(p);
            s->Changed();
        });
        AddThickness(m, s->Pen(), [s](int w) {
            TDesignPen p = s->Pen();
            p.Width = w;
            s->SetPen(p);
            s->Changed();
        });
        m.addSeparator();
        Check(Add(m, "Transparent", [s] { s->SetTransparent(!s->Transparent()); }),
              s->Transparent());
        if (s->Shape() == stRoundRect || s->Shape() == stRoundSquare) {
            m.addSeparator();
            QMenu* sub = m.addMenu("Degree of Rounding");
            for (int pc = 20; pc <= 80; pc += 10)
                Check(Add(*sub, QString::number(pc) + " %",
                          [s, pc] {
                              s->SetRoundPerc(pc);
                              s->Changed();
                          }),
                      s->RoundPerc() == pc);
        }
    } else if (auto* l = dynamic_cast<TGLineShape*>(&o)) {
        m.addSeparator();
        QMenu* sub = m.addMenu("Style");
        const char* styles[] = {"Horizontal", "Vertical", "Angled Sloping Up",
                                "Angled Sloping Down"};
        for (int i = 0; i < 4; ++i)
            Check(Add(*sub, styles[i],
                      [l, i] {
                          l->Changed();
                          l->SetLineStyle(TLineStyle(i));
                      }),
                  l->LineStyle() == i);
        Add(m, "Color", [l, parent] {
            TDesignPen p = l->Pen();
            if (!ChooseDesignColor(p.Color, parent))
                return;
            l->Changed();
            l->SetPen(p);
        });
        AddThickness(m, l->Pen(), [l](int w) {
            TDesignPen p = l->Pen();
            p.Width = w;
            l->SetPen(p);
            l->Changed();
        });
        m.addSeparator();
        Add(m, "Stretch To Edges", [l] { l->StretchToEdges(); });
    } else if (auto* img = dynamic_cast<TGImage*>(&o)) {
        m.addSeparator();
        Add(m, "Load Image From Disk", [img, parent] { RunImageBrowser(*img, parent); });
        m.addSeparator();
        Check(Add(m, "Stretch to Fit", [img] { img->SetStretch(!img->Stretch()); }),
              img->Stretch());
        Check(Add(m, "AutoSize", [img] { img->SetAutoSize(!img->AutoSize()); }), img->AutoSize());
    }
}

} // namespace qp::design::ui
