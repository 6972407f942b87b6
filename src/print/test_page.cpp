#include "print/test_page.h"

#include "print/base_report.h"

#include <cmath>

namespace qp::print {

namespace {

void Rulers(TBaseReport& r) {
    const double w = r.PageWidth();
    const double h = r.PageHeight();
    r.SetFont("Arial", 7);
    r.SetPen(Qt::black, psSolid, 1);
    for (int i = 1; i < w; ++i) {
        r.MoveTo(i, 0);
        r.LineTo(i, 0.25);
        r.GotoXY(0, 0.4);
        r.PrintCenter(QString::number(i), i);
    }
    for (int i = 1; i < h; ++i) {
        r.MoveTo(0, i);
        r.LineTo(0.25, i);
        r.TextRect(QRectF(0.3, i - 0.1, 0.3, 0.2), 0.3, i - r.FontAscent() / 2, QString::number(i));
    }
}

void TabTable(TBaseReport& r) {
    r.SetFont("Arial", 9);
    r.SetBrush(Qt::black, bsClear);
    r.ClearTabs();
    r.SetTab(1.0, pjLeft, 1.6, 5, blAll, 0);
    r.SetTab(-1, pjCenter, 1.6, 5, blAll, 0);
    r.SetTab(-1, pjRight, 1.6, 5, blAll, 0);
    r.SetTab(-1, pjBlock, 1.6, 5, blAll, 0);
    r.GotoXY(1.0, 1.0);
    r.NewLine();
    r.SetBold(true);
    r.PrintLn("\tLeft\tCenter\tRight\tSpread out");
    r.SetBold(false);
    for (int shade : {0, 5, 10, 25, 50}) {
        const QString s = QString::number(shade) + "% shade";
        for (int i = 0; i < 4; ++i) {
            r.Tab(shade);
            r.Print(i == 3 ? "a b c" : s);
        }
        r.NewLine();
    }
}

void Fonts(TBaseReport& r) {
    struct TStyle {
        const char* Name;
        bool Bold, Italic, Underline;
    } styles[] = {{"Regular", false, false, false},
                  {"Bold", true, false, false},
                  {"Italic", false, true, false},
                  {"Underline", false, false, true},
                  {"Bold Italic", true, true, false}};
    double y = 2.6;
    for (const TStyle& s : styles) {
        r.SetFont("Times New Roman", 12);
        r.SetBold(s.Bold);
        r.SetItalic(s.Italic);
        r.SetUnderline(s.Underline);
        r.GotoXY(1.0, y);
        r.Print(QString::fromLatin1(s.Name));
        y += 0.25;
    }
    r.SetFont("Arial", 10);
    r.SetBold(false);
    r.SetItalic(false);
    r.SetUnderline(false);
    const QRectF all(4.0, 2.2, 3.0, 2.0);
    for (int angle : {0, 90, 180, 270}) {
        r.SetFontRotation(angle);
        r.TextRect(all, 5.5, 3.2, QString("  %1 degrees").arg(angle));
    }
    r.SetFontRotation(0);
}

void Shapes(TBaseReport& r) {
    const double y = 4.6;
    r.SetPen(Qt::black, psSolid, -2);
    r.SetBrush(Qt::black, bsClear);
    r.Rectangle(1.0, y, 2.2, y + 1.0);
    r.RoundRect(2.5, y, 3.7, y + 1.0, 0.3, 0.3);
    r.Ellipse(4.0, y, 5.2, y + 1.0);
    r.SetBrush(Qt::black, bsDiagCross);
    r.Rectangle(5.5, y, 6.7, y + 1.0);
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
    double ly = y + 1.4;
    for (TPenStyle s : styles) {
        r.SetPen(Qt::black, s, -1);
        r.MoveTo(1.0, ly);
        r.LineTo(6.7, ly);
        ly += 0.2;
    }
    r.SetBrush(Qt::black, bsClear);
    r.SetPen(Qt::black, psSolid, 1);
}

} // namespace

void PrintTestPage(TBaseReport& r) {
    Rulers(r);
    TabTable(r);
    Fonts(r);
    Shapes(r);
}

} // namespace qp::print
