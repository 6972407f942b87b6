#pragma once
// Reads back a PDF with poppler's pdftotext and pdfinfo.
#include <QSizeF>
#include <QString>
#include <vector>

struct TPdfWord {
    int Page = 0; // from 1
    QString Text;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0; // inches from the page's top-left
};

std::vector<TPdfWord> PdfWords(const QString& pdf);
int PdfPageCount(const QString& pdf);
QSizeF PdfPageSize(const QString& pdf); // inches, first page
const TPdfWord* FindWord(const std::vector<TPdfWord>& words, const QString& text, int page = 1);
