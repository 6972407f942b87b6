#pragma once
// A picture as layouts keep it: a Windows bitmap, a metafile (WMF or EMF) or
// an icon, held as the bytes the stream stores so that a picture this program
// cannot show is still written back unchanged.
#include <QByteArray>
#include <QImage>
#include <QPicture>
#include <QString>
#include <memory>

namespace qp::design {

class TDesignPicture {
public:
    enum TKind { pkNone, pkBitmap, pkMetafile, pkIcon };

    TKind Kind() const { return Kind_; }
    bool Empty() const { return Kind_ == pkNone; }
    const QByteArray& Bytes() const { return Bytes_; }
    QString ClassName() const; // "TBitmap", "TMetafile", "TIcon", empty
    bool CanShow() const;      // decoded into an image or a drawing
    QString Problem() const { return Problem_; }
    // Natural size in design pixels (0 when unknown).
    int Width() const { return Size_.width(); }
    int Height() const { return Size_.height(); }
    const QImage& Image() const { return Image_; }
    const QPicture* Drawing() const { return Drawing_.get(); }

    void Clear();
    // Raw forms; undecodable data is kept with Problem() saying why.
    static TDesignPicture FromBitmapBytes(const QByteArray& bmp);
    static TDesignPicture FromMetafileBytes(const QByteArray& mf);
    static TDesignPicture FromIconBytes(const QByteArray& ico);
    static TDesignPicture FromImage(const QImage& img); // stored as a Windows bitmap

    // The stream's Picture.Data: class name as a short string, then the data.
    QByteArray PictureData() const;
    static bool FromPictureData(const QByteArray& data, TDesignPicture& out);

    // A file chosen by the user: BMP, PNG and JPEG through Qt's readers (BMP
    // kept byte for byte), WMF and EMF as metafiles. False with a reason.
    static bool LoadFile(const QString& path, TDesignPicture& out, QString* error = nullptr);

    bool operator==(const TDesignPicture& o) const {
        return Kind_ == o.Kind_ && Bytes_ == o.Bytes_;
    }

private:
    void Decode();
    TKind Kind_ = pkNone;
    QByteArray Bytes_;
    QImage Image_;
    std::shared_ptr<QPicture> Drawing_;
    QSize Size_;
    QString Problem_;
};

// Checks the sizes a Windows bitmap (with its file header) or an icon states
// against the bytes present, before any reader allocates for them: empty when
// they fit, else what is wrong.
QString CheckBitmapBytes(const QByteArray& bmp);
bool LooksLikeIcon(const QByteArray& bytes);
QString CheckIconBytes(const QByteArray& ico);

// Reads the common records of a Windows metafile (placeable or plain WMF, or
// EMF) into a drawing in the metafile's own units; false with a reason.
bool ReadMetafile(const QByteArray& bytes, QPicture& out, QSize& designSize, QString& problem);

} // namespace qp::design
