#pragma once
// The feed picture, "Paper Feed Method" (how envelopes go into the printer)
// and "Envelope Print" (the printer and feed in force before a job).

#include "envelopes/envelope_feed.h"

#include <QDialog>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QRadioButton;

namespace qp::print {
class TPrinterSetup;
}

namespace qp::envelopes {

// The printer's input with the envelope in it as the feed method puts it:
// front for facing up, back (flap) for facing down; upright for portrait
// feed; lying across for landscape feed, turned one way or the other by the
// rotation; at the left, right or middle, 2 pixels from the top.
class TFeedPicture : public QWidget {
    Q_OBJECT
public:
    explicit TFeedPicture(QWidget* parent = nullptr);
    void setFeed(const FeedMethod& feed);
    const FeedMethod& feed() const { return feed_; }
    // Where the envelope is drawn, in widget pixels (tests).
    QRect envelopeRect() const;
    QSize sizeHint() const override { return {150, 110}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    FeedMethod feed_;
};

class TEnvelopeFeed : public QDialog {
    Q_OBJECT
public:
    explicit TEnvelopeFeed(const FeedMethod& feed, QWidget* parent = nullptr);
    FeedMethod feed() const;
    QRadioButton* positionButton(int position) const { return position_[position]; }
    QRadioButton* portraitButton() const { return portrait_; }
    QRadioButton* landscapeButton() const { return landscape_; }
    QRadioButton* upButton() const { return up_; }
    QRadioButton* downButton() const { return down_; }
    QCheckBox* clockwiseBox() const { return clockwise_; }
    TFeedPicture* picture() const { return picture_; }

private:
    void changed();
    QRadioButton* position_[3]{};
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QRadioButton* up_ = nullptr;
    QRadioButton* down_ = nullptr;
    QCheckBox* clockwise_ = nullptr;
    TFeedPicture* picture_ = nullptr;
};

class TEnvelopePrePrint : public QDialog {
    Q_OBJECT
public:
    TEnvelopePrePrint(print::TPrinterSetup& setup, double envelopeWidth, double envelopeHeight,
                      const FeedMethod& feed, QWidget* parent = nullptr);
    const FeedMethod& feed() const { return feed_; }
    // Tests answer the windows this one opens.
    std::function<int(QDialog&)> runModal = [](QDialog& d) { return d.exec(); };
    std::function<bool()> runPrinterSetup;

    void refresh();
    void openFeedMethod();
    QLabel* printerLabel() const { return printer_; }
    QLabel* paperLabel() const { return paper_; }
    QLabel* sourceLabel() const { return source_; }
    QLabel* orientationLabel() const { return orientation_; }
    QLabel* feedDescriptionLabel() const { return description_; }
    QLabel* warningLabel() const { return warning_; }
    TFeedPicture* picture() const { return picture_; }

private:
    print::TPrinterSetup& setup_;
    double width_, height_;
    FeedMethod feed_;
    QLabel* printer_ = nullptr;
    QLabel* paper_ = nullptr;
    QLabel* source_ = nullptr;
    QLabel* orientation_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* warning_ = nullptr;
    TFeedPicture* picture_ = nullptr;
};

// "\r\n" shown as line breaks.
QString displayText(std::string_view text);

} // namespace qp::envelopes
