#include "richtext/paged_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace qp::richtext {

TPagedLayout::TPagedLayout(const QTextDocument& doc) : TPagedLayout(doc, PageSettings(doc)) {}

TPagedLayout::TPagedLayout(const QTextDocument& doc, const TPageSettings& page)
    : Doc_(doc.clone()), Page_(page.Normalized()), TextArea_(TextAreaInLayoutUnits(Page_)) {
    Build();
}

TPagedLayout::~TPagedLayout() = default;

void TPagedLayout::Build() {
    // Design metrics keep line breaks the same on the screen and on paper.
    Doc_->setUseDesignMetrics(true);
    Doc_->setDocumentMargin(0);
    Doc_->setPageSize(TextArea_);
    Doc_->documentLayout()->documentSize(); // lays out the whole document
    const double h = TextArea_.height();
    int lastPage = -1;
    for (QTextBlock b = Doc_->begin(); b.isValid(); b = b.next()) {
        const QTextLayout* layout = b.layout();
        if (!layout || !b.isVisible())
            continue;
        const double top = layout->position().y();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            // A line sits wholly on one page; half a unit of slack absorbs the
            // layout's rounding to 1/64.
            const int p = int(std::floor((top + line.y() + 0.5) / h));
            if (p > lastPage) {
                Pages_.push_back({b.position() + line.textStart(), p});
                lastPage = p;
            }
        }
    }
    if (Pages_.empty())
        Pages_.push_back({0, 0});
    Pages_.front().Start = 0;
}

int TPagedLayout::PageStart(int page) const {
    return page >= 0 && page < PageCount() ? Pages_[std::size_t(page)].Start : 0;
}

int TPagedLayout::PageAt(int position) const {
    const auto it = std::upper_bound(Pages_.begin(), Pages_.end(), position,
                                     [](int pos, const TPage& p) { return pos < p.Start; });
    return it == Pages_.begin() ? 0 : int(it - Pages_.begin()) - 1;
}

void TPagedLayout::Paint(QPainter& painter, int page, const QRectF& target, double zoom) const {
    if (page < 0 || page >= PageCount())
        return;
    const QPaintDevice* device = painter.device();
    const double sx = (device ? device->logicalDpiX() : LayoutDpi()) / LayoutDpi() * zoom;
    const double sy = (device ? device->logicalDpiY() : LayoutDpi()) / LayoutDpi() * zoom;
    const double top = Pages_[std::size_t(page)].LayoutPage * TextArea_.height();
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(sx, sy);
    painter.translate(0, -top);
    QAbstractTextDocumentLayout::PaintContext context;
    // Lines are drawn when they touch the clip; the first line of the next
    // page starts at this page's bottom edge, give or take the layout's
    // rounding, and must stay off it.
    context.clip = QRectF(0, top, TextArea_.width(), TextArea_.height() - 0.5);
    // Paper is white whatever the desktop's colours.
    context.palette.setColor(QPalette::Text, Qt::black);
    Doc_->documentLayout()->draw(&painter, context);
    painter.restore();
}

int TPagedLayout::Render(QPainter& painter, const QRectF& target, int start, double zoom) const {
    const int page = PageAt(start);
    Paint(painter, page, target, zoom);
    if (page + 1 >= PageCount())
        return 0;
    const int next = PageStart(page + 1);
    return next > start ? next : 0; // a page that makes no progress ends the document
}

namespace {

struct TLayoutCache {
    QPointer<QTextDocument> Doc;
    QMetaObject::Connection Watch;
    TPageSettings Page;
    bool Dirty = true;
    std::unique_ptr<TPagedLayout> Layout;
};

TLayoutCache& Cache() {
    static TLayoutCache cache;
    return cache;
}

const TPagedLayout& LayoutFor(const QTextDocument& doc) {
    TLayoutCache& c = Cache();
    const TPageSettings page = PageSettings(doc);
    if (c.Doc != &doc) {
        QObject::disconnect(c.Watch);
        c.Doc = const_cast<QTextDocument*>(&doc);
        c.Watch = QObject::connect(&doc, &QTextDocument::contentsChanged, &doc,
                                   [] { Cache().Dirty = true; });
        c.Dirty = true;
    }
    if (c.Dirty || !c.Layout || !(c.Page == page)) {
        c.Layout = std::make_unique<TPagedLayout>(doc, page);
        c.Page = page;
        c.Dirty = false;
    }
    return *c.Layout;
}

} // namespace

int RenderPage(QPainter& painter, const QRectF& target, const QTextDocument& doc, int start,
               double zoom) {
    return LayoutFor(doc).Render(painter, target, start, zoom);
}

QRectF TextRectOnDevice(const TPageSettings& page, double dpiX, double dpiY, double offsetX,
                        double offsetY) {
    const TPageSettings p = page.Normalized();
    const double left = p.LeftMargin * dpiX / kTwipsPerInch - offsetX;
    const double top = p.TopMargin * dpiY / kTwipsPerInch - offsetY;
    return {left, top, p.TextWidth() * dpiX / kTwipsPerInch, p.TextHeight() * dpiY / kTwipsPerInch};
}

TPdfResult WritePdf(const QTextDocument& doc, const QString& path) {
    TPdfResult result;
    const TPagedLayout layout(doc);
    const TPageSettings& page = layout.Page();
    const QString partial = path + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setCreator(QStringLiteral("Quillpost"));
        writer.setPageSize(QPageSize(
            QSizeF(page.PageWidth / double(kTwipsPerInch), page.PageHeight / double(kTwipsPerInch)),
            QPageSize::Inch, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) {
            result.Error = QStringLiteral("Cannot write %1").arg(path);
            QFile::remove(partial);
            return result;
        }
        const QRectF target = TextRectOnDevice(page, writer.logicalDpiX(), writer.logicalDpiY());
        for (int i = 0; i < layout.PageCount(); ++i) {
            if (i > 0)
                writer.newPage();
            layout.Paint(painter, i, target);
        }
        painter.end();
    }
    if (QFileInfo(partial).size() == 0) {
        QFile::remove(partial);
        result.Error = QStringLiteral("Cannot write %1").arg(path);
        return result;
    }
    std::error_code error;
    std::filesystem::rename(partial.toStdString(), path.toStdString(), error);
    if (error) { // the old file, if any, stays as it was
        QFile::remove(partial);
        result.Error = QStringLiteral("Cannot write %1").arg(path);
        return result;
    }
    result.Ok = true;
    result.Pages = layout.PageCount();
    return result;
}

} // namespace qp::richtext
