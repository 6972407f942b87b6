#pragma once
// The preview window shared by every printing tool.
#include <QDialog>

class QToolButton;

namespace qp::print {

struct TStoredJob;
class TFilePreview;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1074;

    // zoomMode: 1 whole page, 2 page width, other values a zoom percent.
    TPreviewForm(const TStoredJob& job, const QString& caption, int zoomMode = 75,
                 QWidget* parent = nullptr);

    TFilePreview* Preview() const { return Preview_; }
    QString Caption() const { return Caption_; }
    QToolButton* ButtonNamed(const QString& objectName) const;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    QToolButton* AddButton(const QString& name, const QString& text, const QString& tip);
    void Retitle();
    void UpdateButtons();

    TFilePreview* Preview_;
    QString Caption_;
    int ZoomMode_;
    bool Shown_ = false;
};

} // namespace qp::print
