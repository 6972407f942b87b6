#pragma once
// A QPainter whose drawing becomes the drawing calls of a print job: text,
// lines, rectangles, ellipses and images land on the current page in
// inches, so whatever paints onto a QPainter also prints, previews and
// makes PDFs through the one renderer of the engine.
#include <QPainter>
#include <memory>

namespace qp::print {

class TBaseReport;
class TRecordingDevice;

class TReportCanvas {
public:
    // One painter unit is 1 / unitsPerInch inch from the job's origin.
    TReportCanvas(TBaseReport& report, double unitsPerInch);
    ~TReportCanvas();
    TReportCanvas(const TReportCanvas&) = delete;
    TReportCanvas& operator=(const TReportCanvas&) = delete;

    QPainter& Painter() { return Painter_; }

private:
    std::unique_ptr<TRecordingDevice> Device_;
    QPainter Painter_;
};

} // namespace qp::print
