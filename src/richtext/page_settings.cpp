#include "richtext/page_settings.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVariant>

#include <algorithm>

Q_GUI_EXPORT int qt_defaultDpiY();

namespace qp::richtext {

namespace {
constexpr const char* kPageProperty = "quillpostPage";
constexpr int kMinText = kTwipsPerInch / 2;
constexpr int kMaxPage = 200 * kTwipsPerInch;
} // namespace

TPageSettings TPageSettings::Normalized() const {
    TPageSettings p = *this;
    p.PageWidth = std::clamp(p.PageWidth, 2 * kMinText, kMaxPage);
    p.PageHeight = std::clamp(p.PageHeight, 2 * kMinText, kMaxPage);
    const auto fit = [](int& a, int& b, int size) {
        a = std::max(a, 0);
        b = std::max(b, 0);
        const long room = long(size) - kMinText;
        if (long(a) + b > room) { // shrink both in proportion
            const long sum = long(a) + b;
            a = int(room * a / sum);
            b = int(room - a);
        }
    };
    fit(p.LeftMargin, p.RightMargin, p.PageWidth);
    fit(p.TopMargin, p.BottomMargin, p.PageHeight);
    return p;
}

TPageSettings PageSettings(const QTextDocument& doc) {
    const QVariant v = doc.property(kPageProperty);
    const QList<QVariant> l = v.toList();
    if (l.size() != 6)
        return {};
    return TPageSettings{l[0].toInt(), l[1].toInt(), l[2].toInt(),
                         l[3].toInt(), l[4].toInt(), l[5].toInt()};
}

void SetPageSettings(QTextDocument& doc, const TPageSettings& page) {
    const TPageSettings p = page.Normalized();
    doc.setProperty(kPageProperty, QList<QVariant>{p.PageWidth, p.PageHeight, p.LeftMargin,
                                                   p.RightMargin, p.TopMargin, p.BottomMargin});
}

double LayoutDpi() {
    return qt_defaultDpiY();
}
double TwipsToLayout(double twips) {
    return twips * LayoutDpi() / kTwipsPerInch;
}
double LayoutToTwips(double units) {
    return units * kTwipsPerInch / LayoutDpi();
}

QSizeF TextAreaInLayoutUnits(const TPageSettings& page) {
    const TPageSettings p = page.Normalized();
    return {TwipsToLayout(p.TextWidth()), TwipsToLayout(p.TextHeight())};
}

void CopyDocument(const QTextDocument& from, QTextDocument& to) {
    to.clear();
    to.setDefaultFont(from.defaultFont());
    // Images live in the document's resources; the fragment refers to them by name.
    for (QTextBlock b = from.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QString name = f.toImageFormat().name();
                to.addResource(QTextDocument::ImageResource, QUrl(name),
                               from.resource(QTextDocument::ImageResource, QUrl(name)));
            }
        }
    QTextCursor c(&to);
    c.insertFragment(QTextDocumentFragment(&from));
    // A fragment of a whole document keeps the first block's format only
    // when it is inserted into an empty block; set it explicitly.
    c.movePosition(QTextCursor::Start);
    c.setBlockFormat(from.begin().blockFormat());
    c.setBlockCharFormat(from.begin().charFormat());
    SetPageSettings(to, PageSettings(from));
}

} // namespace qp::richtext
