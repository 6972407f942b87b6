#pragma once
// A document laid out on its pages: the page size and margins in twips give
// the text area; page-break-before paragraphs start a new page. Pages are
// known by the text position of their first line, so print, preview and the
// letters' page stack speak of the same pages.

#include "richtext/page_settings.h"

#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QTextDocument;

namespace qp::richtext {

class TPagedLayout {
public:
    // Lays out a copy of `doc` on the document's own page settings.
    explicit TPagedLayout(const QTextDocument& doc);
    TPagedLayout(const QTextDocument& doc, const TPageSettings& page);
    ~TPagedLayout();

    const TPageSettings& Page() const { return Page_; }
    int PageCount() const { return int(Pages_.size()); }
    int PageStart(int page) const;
    // The page that shows `position` (the last page starting at or before it).
    int PageAt(int position) const;

    // Draws `page` with its text area's top-left at `target`'s top-left,
    // clipped to `target`, at the painter device's resolution times `zoom`.
    void Paint(QPainter& painter, int page, const QRectF& target, double zoom = 1.0) const;
    // Draws the page that shows `start` and returns the start of the next
    // page, or 0 when it is the last page.
    int Render(QPainter& painter, const QRectF& target, int start, double zoom = 1.0) const;

private:
    struct TPage {
        int Start = 0;
        int LayoutPage = 0; // index among the pages of the underlying layout
    };
    void Build();

    std::unique_ptr<QTextDocument> Doc_;
    TPageSettings Page_;
    QSizeF TextArea_;
    std::vector<TPage> Pages_;
};

// The one page routine of print and preview: renders the page of `doc`
// that shows `start` into `target` and returns where the next page starts,
// or 0 when the document is finished. The layout is kept between calls while
// the document and its page settings stay the same.
int RenderPage(QPainter& painter, const QRectF& target, const QTextDocument& doc, int start,
               double zoom = 1.0);

// The text area of `page` on a device of the given resolution, with the
// device's unprintable offsets (in device units) taken off.
QRectF TextRectOnDevice(const TPageSettings& page, double dpiX, double dpiY, double offsetX = 0,
                        double offsetY = 0);

struct TPdfResult {
    bool Ok = false;
    int Pages = 0;
    QString Error;
};

// Prints the document to a PDF file on its own page size and margins.
TPdfResult WritePdf(const QTextDocument& doc, const QString& path);

} // namespace qp::richtext
