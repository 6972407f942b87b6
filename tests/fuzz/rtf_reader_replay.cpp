// Runs the RTF fuzz target over a fixed corpus without libFuzzer: hand-made
// files using every control word the reader knows, then the same files
// truncated, with bytes changed, inserted and removed, braces unbalanced,
// numbers made huge and groups nested deep, from a fixed seed. Files given
// on the command line (e.g. crashes a fuzzer found) are run too.

#include "replay_support.h"
#include "rtf_reader_target.h"

#include <QGuiApplication>

#include <iterator>

namespace {

const char* const kPieces[] = {"{",
                               "}",
                               "\\",
                               "\\par ",
                               "\\page ",
                               "\\pagebb",
                               "\\b",
                               "\\i0",
                               "\\ul",
                               "\\strike",
                               "\\f1",
                               "\\fs-5",
                               "\\fs999999999999",
                               "\\cf3",
                               "\\highlight9",
                               "\\plain",
                               "\\pard",
                               "\\qc",
                               "\\li-99999",
                               "\\fi4000000000",
                               "\\sl-1",
                               "\\slmult1",
                               "\\tx",
                               "\\tqr",
                               "\\line",
                               "\\tab",
                               "\\u",
                               "\\u-1",
                               "\\u65535?",
                               "\\uc5",
                               "\\'",
                               "\\'f",
                               "\\'zz",
                               "\\*",
                               "{\\*\\x ",
                               "{\\pict\\pngblip ",
                               "\\bin",
                               "\\bin99999 ",
                               "\\paperw0",
                               "\\margl-1",
                               "{\\fonttbl ",
                               "{\\colortbl;",
                               "\\red300",
                               "\\cell",
                               "\\row",
                               "\\~",
                               "\\-",
                               "\xe9",
                               "\r\n",
                               "x"};

QByteArray seedDocument() {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 "
           "Times;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
           "{\\stylesheet{\\s0 Normal;}}{\\*\\generator x;}"
           "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440 "
           "\\pard\\qc\\sb240{\\b\\fs32 Title}\\par\\pard\\qj\\li720\\ri720\\fi-360 Text {\\i it} "
           "{\\ul u}{\\strike s}{\\f1 r}{\\cf1 c}{\\highlight2 h} caf\\'e9 \\u1046? {\\uc2\\u8364 "
           "xy}\\par\\pard\\sl360\\slmult1\\tx1440\\tqr\\tx5760 a\\tab b\\line c\\page d\\par"
           "\\pard\\pagebb\\plain e{\\pict\\pngblip\\picwgoal100\\pichgoal100 "
           "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c4944415408"
           "d763f8cfc000000301010018dd8db00000000049454e44ae426082}"
           "{\\pict\\wmetafile8 0102}\\trowd\\cellx100 \\intbl a\\cell b\\cell\\row\\par}";
}

// The edits beyond the shared ones: the reader's own vocabulary, deep
// nesting and long numbers.
void moreEdits(QByteArray& out, int at, int kind, qp::fuzz::Random& r) {
    switch (kind) {
    case 4: // a control word or brace from the reader's vocabulary
    case 5:
        out.insert(at, kPieces[r.below(int(std::size(kPieces)))]);
        break;
    case 6: // deep nesting
        out.insert(at, QByteArray(1 + r.below(3000), '{'));
        break;
    default: // a run of digits after whatever is there
        out.insert(at, QByteArray(1 + r.below(30), char('0' + r.below(10))));
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Damaged pictures are expected here; their decoder's complaints are noise.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    qp::fuzz::ReplayPlan plan;
    plan.seeds = {seedDocument(),        QByteArray("{\\rtf1 plain}"),
                  QByteArray(),          QByteArray("not rtf at all\r\n"),
                  QByteArray(5000, '{'), QByteArray("{\\rtf1 ") + QByteArray(5000, '}')};
    plan.cutStep = 5;
    plan.what = "RTF files";
    plan.random = qp::fuzz::Random(0x2545F4914F6CDD1Dull);
    plan.edits.most = 6;
    plan.edits.kinds = 8;
    plan.edits.longestRemoval = 16;
    plan.edits.splice = false;
    plan.edits.editEmpty = true;
    plan.edits.more = moreEdits;
    return qp::fuzz::replay(argc, argv, std::move(plan),
                            [](const QByteArray& b) { qp::fuzz::feed(ReadRtfBytes, b); });
}
