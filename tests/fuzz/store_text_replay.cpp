// The settings file and filter file readers over a fixed corpus without
// libFuzzer: real files of each kind, whole, cut short and mutated from a
// fixed seed. The first argument names the reader: settings or filter.

#include "replay_support.h"
#include "store_text_targets.h"

#include <cstring>

namespace {

std::vector<QByteArray> settingsSeeds() {
    return {
        QByteArray("[Misc]\r\nGlobalTagId=K3B9ZQ1A\r\nGettingStarted=1\r\n"
                   "[MRU]\r\nItem1=/home/a/DATA/ADD0001.DBF\r\nItem2=\"/tmp/x y.dbf\"\r\n"
                   "[NewFileFieldLengths]\r\nFieldLNAME=30\r\nFieldZIP=0x0A\r\n"
                   "[Dialing]\r\nPrefix=9,\r\nInit=&F\r\nPort=1\r\nMethod=0\r\n"
                   "[Label]\r\nFontName=Arial\r\nFontSize=10\r\nBold=1\r\nItalic=0\r\n"
                   "[Adding]\r\nPlugDate=1\r\nDefaultCountry=USA\r\n"
                   "[Envelope Feed]\r\nOrientation=1\r\nFacing=0\r\nPosition=2\r\n"
                   "[TMainForm_Placement]\r\nLeft=10\r\nTop=20\r\nRight=800\r\nBottom=600\r\n"
                   "Maximized=0\r\n"),
        QByteArray("\xEF\xBB\xBF; comment\n[misc]\nglobaltagid = ABC \n[ MRU ]\nitem1=\n"),
        QByteArray("[Misc\r\n=\r\n[]\r\nkey\r\n[Misc]\r\nGlobalTagId=-2147483649\r\n"),
        QByteArray(),
    };
}

std::vector<QByteArray> filterSeeds() {
    QByteArray full;
    const char* lines[] = {"Sm", "Ann", "", "", "",          "", "", "",           "",  "",
                           "9*", "",    "", "", ">19990101", "", "", "'x'\"y\"]z", "T", "F"};
    for (const char* l : lines)
        full += QByteArray(l) + "\r\n";
    return {full, QByteArray("\r\n\r\n\r\nF\r\nT"), QByteArray("J\nA\n\n\n\n\n\n\n\n123"),
            QByteArray()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "settings") && std::strcmp(argv[1], "filter"))) {
        std::fprintf(stderr, "usage: store_text_replay settings|filter [FILE...]\n");
        return 2;
    }
    const bool settings = std::strcmp(argv[1], "settings") == 0;
    auto run = [&](const QByteArray& b) {
        qp::fuzz::feed(settings ? ReadSettingsBytes : ReadFilterBytes, b);
    };
    return qp::fuzz::replay(argc - 1, argv + 1, settings ? settingsSeeds() : filterSeeds(), 5000,
                            run, settings ? "settings files" : "filter files");
}
