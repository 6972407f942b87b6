#include "pdf_probe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

static QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::vector<TPdfWord> PdfWords(const QString& pdf) {
    std::vector<TPdfWord> words;
    QXmlStreamReader xml(Run("pdftotext", {"-bbox", pdf, "-"}));
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"page") {
            ++page;
        } else if (xml.name() == u"word") {
            TPdfWord w;
            w.Page = page;
            const auto a = xml.attributes();
            w.XMin = a.value("xMin").toDouble() / 72;
            w.YMin = a.value("yMin").toDouble() / 72;
            w.XMax = a.value("xMax").toDouble() / 72;
            w.YMax = a.value("yMax").toDouble() / 72;
            w.Text = xml.readElementText();
            words.push_back(w);
        }
    }
    return words;
}

int PdfPageCount(const QString& pdf) {
    const QString info = Run("pdfinfo", {pdf});
    const auto m = QRegularExpression(R"(Pages:\s+(\d+))").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF PdfPageSize(const QString& pdf) {
    const QString info = Run("pdfinfo", {pdf});
    const auto m = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble() / 72, m.captured(2).toDouble() / 72)
                        : QSizeF();
}

const TPdfWord* FindWord(const std::vector<TPdfWord>& words, const QString& text, int page) {
    for (const TPdfWord& w : words)
        if (w.Page == page && w.Text == text)
            return &w;
    return nullptr;
}
