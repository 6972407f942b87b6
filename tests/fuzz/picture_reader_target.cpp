// The layout pictures fed arbitrary bytes: as a bitmap, a metafile, an icon
// and as a stored Picture.Data. A damaged picture must end in a reason, never
// in a crash, a hang or an allocation the bytes do not justify; whatever can
// be shown is drawn, and written back unchanged.

#include "picture_reader_target.h"

#include "gui_application.h"

#include "design/picture.h"

#include <QImage>
#include <QPainter>

namespace {

void show(const qp::design::TDesignPicture& p) {
    if (!p.CanShow()) {
        if (!p.Empty() && p.Problem().isEmpty())
            __builtin_trap(); // a picture that cannot be shown must say why
        return;
    }
    QImage canvas(48, 32, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    if (const QPicture* drawing = p.Drawing()) {
        const QRect box = drawing->boundingRect();
        if (box.width() > 0 && box.height() > 0)
            painter.scale(48.0 / box.width(), 32.0 / box.height());
        painter.drawPicture(0, 0, *drawing);
    } else {
        painter.drawImage(QRect(0, 0, 48, 32), p.Image());
    }
    painter.end();
    // What a layout holds is written back byte for byte.
    qp::design::TDesignPicture back;
    if (!qp::design::TDesignPicture::FromPictureData(p.PictureData(), back) || !(back == p))
        __builtin_trap();
}

} // namespace

int ReadPictureBytes(const std::uint8_t* data, std::size_t size) {
    qp::fuzz::ensureGuiApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    show(qp::design::TDesignPicture::FromMetafileBytes(bytes));
    show(qp::design::TDesignPicture::FromBitmapBytes(bytes));
    show(qp::design::TDesignPicture::FromIconBytes(bytes));
    qp::design::TDesignPicture stored;
    if (qp::design::TDesignPicture::FromPictureData(bytes, stored))
        show(stored);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadPictureBytes(data, size);
}
