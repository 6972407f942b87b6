#include "richtext/rtf_writer.h"

#include "richtext/page_settings.h"
#include "store/codepage.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <cmath>

namespace qp::richtext {

namespace {

int Twips(double layoutUnits) {
    return int(std::lround(LayoutToTwips(layoutUnits)));
}

class TWriter {
public:
    explicit TWriter(const QTextDocument& doc) : Doc_(doc) {}
    QByteArray Run();

private:
    void Block(const QTextBlock& block);
    void Fragment(const QTextFragment& fragment);
    void Image(const QTextImageFormat& f);
    QByteArray CharProperties(const QTextCharFormat& f);
    int FontIndex(const QString& family);
    int ColorIndex(const QColor& c);
    void Text(const QString& text);

    const QTextDocument& Doc_;
    QStringList Fonts_;
    QList<QRgb> Colors_;
    QByteArray Body_;
};

int TWriter::FontIndex(const QString& family) {
    qsizetype i = Fonts_.indexOf(family);
    if (i < 0) {
        Fonts_.append(family);
        i = Fonts_.size() - 1;
    }
    return int(i);
}

int TWriter::ColorIndex(const QColor& c) {
    const QRgb rgb = c.rgb() & 0xFFFFFF;
    qsizetype i = Colors_.indexOf(rgb);
    if (i < 0) {
        Colors_.append(rgb);
        i = Colors_.size() - 1;
    }
    return int(i) + 1; // entry 0 is the automatic colour
}

QByteArray TWriter::CharProperties(const QTextCharFormat& f) {
    QByteArray p = "\\plain";
    QStringList families = f.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? Doc_.defaultFont().family() : families.first();
    p += "\\f" + QByteArray::number(FontIndex(family));
    double size = f.fontPointSize();
    if (size <= 0)
        size = Doc_.defaultFont().pointSizeF() > 0 ? Doc_.defaultFont().pointSizeF() : 12;
    p += "\\fs" + QByteArray::number(int(std::lround(size * 2)));
    if (f.fontWeight() >= QFont::DemiBold)
        p += "\\b";
    if (f.fontItalic())
        p += "\\i";
    if (f.fontUnderline())
        p += "\\ul";
    if (f.fontStrikeOut())
        p += "\\strike";
    if (f.foreground().style() != Qt::NoBrush)
        p += "\\cf" + QByteArray::number(ColorIndex(f.foreground().color()));
    if (f.background().style() != Qt::NoBrush)
        p += "\\highlight" + QByteArray::number(ColorIndex(f.background().color()));
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        p += "\\super";
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        p += "\\sub";
    return p;
}

void TWriter::Text(const QString& text) {
    QByteArray& o = Body_;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == '\\' || c == '{' || c == '}') {
            o += '\\';
            o += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            o += char(c);
        } else if (c == '\t') {
            o += "\\tab ";
        } else if (c == QChar::LineSeparator) {
            o += "\\line ";
        } else if (c == 0x00A0) {
            o += "\\~";
        } else if (c == 0x2011) {
            o += "\\_";
        } else if (c < 0x20 || c == QChar::ObjectReplacementCharacter) {
            // control characters have no place in the text
        } else if (QChar::isSurrogate(c)) { // each half of the pair as its own \u
            o += "\\u" + QByteArray::number(int(static_cast<int16_t>(c))) + '?';
        } else {
            const QString one(text.at(i));
            const auto cp = store::utf8ToCp1252Exact(one.toStdString());
            if (cp && cp->size() == 1) {
                o += "\\'" + QByteArray::number(static_cast<unsigned char>((*cp)[0]), 16)
                                 .rightJustified(2, '0');
            } else {
                o += "\\u" + QByteArray::number(int(static_cast<int16_t>(c))) + '?';
            }
        }
    }
}

void TWriter::Image(const QTextImageFormat& f) {
    const QVariant res = Doc_.resource(QTextDocument::ImageResource, QUrl(f.name()));
    QImage image = res.value<QImage>();
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const double w = f.width() > 0 ? f.width() : TwipsToLayout(image.width() * 15.0);
    const double h = f.height() > 0 ? f.height() : TwipsToLayout(image.height() * 15.0);
    Body_ += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
             QByteArray::number(image.height()) + "\\picwgoal" + QByteArray::number(Twips(w)) +
             "\\pichgoal" + QByteArray::number(Twips(h)) + "\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        Body_ += hex.mid(i, 128) + '\n';
    Body_ += "}";
}

void TWriter::Fragment(const QTextFragment& fragment) {
    const QTextCharFormat f = fragment.charFormat();
    Body_ += CharProperties(f);
    if (f.isImageFormat()) {
        Body_ += ' ';
        for (qsizetype i = 0; i < fragment.length(); ++i)
            Image(f.toImageFormat());
        return;
    }
    Body_ += ' ';
    Text(fragment.text());
}

void TWriter::Block(const QTextBlock& block) {
    const QTextBlockFormat f = block.blockFormat();
    QByteArray& o = Body_;
    o += "\\pard";
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        o += "\\qr";
    else if (a & Qt::AlignHCenter)
        o += "\\qc";
    else if (a & Qt::AlignJustify)
        o += "\\qj";
    const auto length = [&o](const char* word, double layoutUnits) {
        const int t = Twips(layoutUnits);
        if (t != 0)
            o += QByteArray(word) + QByteArray::number(t);
    };
    length("\\li", f.leftMargin());
    length("\\ri", f.rightMargin());
    length("\\fi", f.textIndent());
    length("\\sb", f.topMargin());
    length("\\sa", f.bottomMargin());
    switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        o +=
            "\\sl" + QByteArray::number(int(std::lround(f.lineHeight() * 240 / 100))) + "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        o += "\\sl-" + QByteArray::number(Twips(f.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        o += "\\sl" + QByteArray::number(Twips(f.lineHeight())) + "\\slmult0";
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& tab : f.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            o += "\\tqr";
        else if (tab.type == QTextOption::CenterTab)
            o += "\\tqc";
        else if (tab.type == QTextOption::DelimiterTab)
            o += "\\tqdec";
        o += "\\tx" + QByteArray::number(Twips(tab.position));
    }
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        o += "\\pagebb";
    bool empty = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        Fragment(it.fragment());
        empty = false;
    }
    if (empty) // the paragraph mark carries the format of an empty paragraph
        o += CharProperties(block.charFormat());
    o += "\\par\n";
}

QByteArray TWriter::Run() {
    for (QTextBlock b = Doc_.begin(); b.isValid(); b = b.next())
        Block(b);
    const TPageSettings page = PageSettings(Doc_);
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    if (Fonts_.isEmpty())
        Fonts_.append(Doc_.defaultFont().family());
    for (qsizetype i = 0; i < Fonts_.size(); ++i) {
        QString name = Fonts_[i];
        name.remove(QLatin1Char(';'));
        const QByteArray saved = Body_;
        Body_.clear();
        Text(name);
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + Body_ + ";}";
        Body_ = saved;
    }
    out += "}\n{\\colortbl;";
    for (QRgb c : Colors_)
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) +
               "\\blue" + QByteArray::number(qBlue(c)) + ';';
    out += "}\n";
    out += "\\paperw" + QByteArray::number(page.PageWidth) + "\\paperh" +
           QByteArray::number(page.PageHeight) + "\\margl" + QByteArray::number(page.LeftMargin) +
           "\\margr" + QByteArray::number(page.RightMargin) + "\\margt" +
           QByteArray::number(page.TopMargin) + "\\margb" + QByteArray::number(page.BottomMargin) +
           "\n";
    out += Body_;
    out += "}\n";
    return out;
}

} // namespace

QByteArray WriteRtf(const QTextDocument& doc) {
    return TWriter(doc).Run();
}

} // namespace qp::richtext
