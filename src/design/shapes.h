#pragma once
// Filled shapes, lines and pictures.
#include "design/graphic_control.h"
#include "design/picture.h"

namespace qp::design {

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
enum TLineStyle { stHorizontal, stVertical, stAngleSlopingUp, stAngleSlopingDown };

QString ShapeTypeName(TShapeType s);
QString LineStyleName(TLineStyle s);

// Pen width on screen: Round(width * zoom), at least 1 for a positive width.
int ZoomedPenWidth(int width, float zoom);

class TGLabelShapes : public TGGraphicControl {
public:
    TGLabelShapes();
    QString ClassName() const override { return QStringLiteral("TGLabelShapes"); }
    TShapeType Shape() const { return Shape_; }
    void SetShape(TShapeType s);
    const TDesignPen& Pen() const { return Pen_; }
    void SetPen(const TDesignPen& p);
    const TDesignBrush& Brush() const { return Brush_; }
    void SetBrush(const TDesignBrush& b);
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool t); // brush style clear (True) or solid
    int RoundPerc() const { return RoundPerc_; }
    void SetRoundPerc(int p);
    // Corner ellipse on screen: Trunc(RoundPerc% of the longer side).
    int CornerSize() const;
    // The outline box on screen, relative to the object (right/bottom exclusive).
    QRect ScreenBox() const;

    void Draw(QPainter& p, const TDrawContext& c) override;
    const TPropertyTable& PropertyTable() const override;
    // A transparent shape is hit only near its outline, so that the objects
    // it frames can be clicked.
    bool HitTest(QPoint p, int tolerance) const override;

private:
    TShapeType Shape_ = stRectangle;
    TDesignPen Pen_;
    TDesignBrush Brush_;
    bool Transparent_ = false;
    int RoundPerc_ = 25;
};

class Trpshapes : public TGLabelShapes {
public:
    QString ClassName() const override { return QStringLiteral("Trpshapes"); }
};

class TGLineShape : public TGGraphicControl {
public:
    TGLineShape();
    QString ClassName() const override { return QStringLiteral("TGLineShape"); }
    TLineStyle LineStyle() const { return Style_; }
    void SetLineStyle(TLineStyle s);
    const TDesignPen& Pen() const { return Pen_; }
    void SetPen(const TDesignPen& p);
    // End points on screen, relative to the object.
    std::pair<QPoint, QPoint> ScreenLine() const;
    void StretchToEdges();

    void Draw(QPainter& p, const TDrawContext& c) override;
    const TPropertyTable& PropertyTable() const override;

private:
    TLineStyle Style_ = stHorizontal;
    TDesignPen Pen_;
};

// Largest picture side accepted from a stream, in pixels.
inline constexpr int kMaxPictureSide = 20000;

class TGImage : public TGGraphicControl {
public:
    TGImage();
    QString ClassName() const override { return QStringLiteral("TGImage"); }
    const TDesignPicture& Picture() const { return Picture_; }
    void SetPicture(const TDesignPicture& p);
    bool Stretch() const { return Stretch_; }
    void SetStretch(bool s);
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool a);
    // The image browser's Ok: both stored without the exclusion rule.
    void SetOptionsDirect(bool stretch, bool autoSize);
    void ApplyAutoSize();
    void Loaded() override;
    // Loads a file into Picture; on failure the picture is left as it was.
    bool LoadPictureFile(const QString& path, QString* error = nullptr);

    void Draw(QPainter& p, const TDrawContext& c) override;
    const TPropertyTable& PropertyTable() const override;

    // The text shown in place of a picture that cannot be drawn.
    static QString CannotShowText() { return QStringLiteral("Picture cannot be shown"); }

private:
    TDesignPicture Picture_;
    bool Stretch_ = true;
    bool AutoSize_ = false;
};

} // namespace qp::design
