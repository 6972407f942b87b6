#pragma once
// "Preview Letters": the letter merged with the current address record,
// page by page as it prints, with record buttons, zoom, page width, full
// page and previous/next page. A click on the page zooms in (left button)
// or out (any other).

#include <QDialog>
#include <QTextDocument>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace qp::store {
class Table;
}

namespace qp::letters {

class TPreviewPage;

// Zoom steps: in by a quarter below 150 %, out by a quarter above 50 %.
int ZoomedIn(int zoom);
int ZoomedOut(int zoom);
// The zoom that fits `pageTwips` into `windowPixels` at `pixelsPerInch`, at least 1.
int FittingZoom(int windowPixels, int pageTwips, double pixelsPerInch);

class TRTFPreviewForm : public QDialog {
    Q_OBJECT
public:
    explicit TRTFPreviewForm(store::Table& addressFile, QWidget* parent = nullptr);
    ~TRTFPreviewForm() override;

    // The letter to merge (copied); call before showing.
    void SetTemplate(const QTextDocument& letter);

    int Zoom() const { return Zoom_; }
    void SetZoom(int zoom);
    int PageNumber() const { return PageNo_; }
    int PageStart() const { return Start_; }
    int NextStart() const { return Next_; }
    const QTextDocument& Working() const { return Working_; }

    void ZoomIn();
    void ZoomOut();
    void PageWidth();
    void FullPage();
    void NextPage();
    void PreviousPage();
    void FirstRecord();
    void PriorRecord();
    void NextRecord();
    void LastRecord();

    // Draws the shown page into `painter` (the page widget's paint); records
    // where the next page starts.
    void DrawPage(QPainter& painter, const QRectF& textArea);
    QSize PageSizePixels() const;
    QRect TextAreaPixels() const;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void done(int r) override;

private:
    void Remerge();
    void ShowPage();
    void UpdateView();
    double ScreenPpi() const;

    store::Table& Table_;
    QTextDocument Template_;
    QTextDocument Working_;
    QScrollArea* Scroll_;
    TPreviewPage* Page_;
    int Zoom_ = 100;
    int Start_ = 0;
    int Next_ = 0;
    std::vector<int> Stack_;
    int PageNo_ = 1;
    bool Shown_ = false;
    bool DrawErrorShown_ = false;
};

} // namespace qp::letters
