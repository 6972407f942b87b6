// The picture readers over a fixed corpus without libFuzzer: every picture
// kind with every record kind, whole, cut short and mutated from a fixed seed;
// also as stored Picture.Data.

#include "picture_reader_target.h"
#include "picture_seeds.h"
#include "replay_support.h"

#include "design/picture.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<QByteArray> seeds = qp::fuzz::PictureSeeds();
    const std::size_t raw = seeds.size();
    for (std::size_t i = 0; i < raw; ++i) {
        const bool bmp = seeds[i].startsWith("BM");
        const auto p = bmp ? qp::design::TDesignPicture::FromBitmapBytes(seeds[i])
                           : qp::design::TDesignPicture::FromMetafileBytes(seeds[i]);
        if (!p.CanShow() && !qp::design::LooksLikeIcon(seeds[i])) {
            std::fprintf(stderr, "seed %zu cannot be shown: %s\n", i, qPrintable(p.Problem()));
            return 1;
        }
        seeds.push_back(p.PictureData());
    }
    return qp::fuzz::replay(
        argc, argv, seeds, 20000, [](const QByteArray& b) { qp::fuzz::feed(ReadPictureBytes, b); },
        "pictures");
}
