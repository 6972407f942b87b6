#include "richtext/rtf_reader.h"

#include "richtext/page_settings.h"
#include "store/codepage.h"

#include <QColor>
#include <QCryptographicHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qp::richtext {

namespace {

// Beyond this depth groups are counted but share their parent's state, so a
// file of nothing but opening braces cannot exhaust memory.
constexpr std::size_t kMaxDepth = 1000;
constexpr long kMaxNumber = 2000000000L;
constexpr int kMaxTwips = 200 * kTwipsPerInch;

enum class TDest { Text, FontTable, ColorTable, Picture, Skip };

struct TCharState {
    int Font = -1; // font table number; -1 is the default font
    int HalfPoints = 24;
    bool Bold = false, Italic = false, Underline = false, Strike = false;
    int Foreground = 0, Background = 0; // colour table indexes; 0 is automatic
    int VerticalAlign = 0;              // 0 normal, 1 superscript, 2 subscript
    bool operator==(const TCharState&) const = default;
};

struct TParaState {
    Qt::Alignment Align = Qt::AlignLeft;
    int Left = 0, Right = 0, First = 0, Before = 0, After = 0;
    int LineSpacing = 0;
    bool LineMultiple = false;
    bool PageBreakBefore = false;
    QList<QTextOption::Tab> Tabs;
    QTextOption::TabType NextTabType = QTextOption::LeftTab;
};

struct TGroup {
    TDest Dest = TDest::Text;
    TCharState Char;
    TParaState Para;
    int UnicodeSkip = 1;
    bool PictureRoot = false;
};

struct TPicture {
    enum Kind { Other, Png, Jpeg } Type = Other;
    int Width = 0, Height = 0, GoalWidth = 0, GoalHeight = 0;
    int ScaleX = 100, ScaleY = 100;
    QByteArray Data;
    int HighNibble = -1;
};

enum class TWord {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    Pict,
    ShpPict,
    SkipDest,
    // document
    Deff,
    Uc,
    U,
    Bin,
    PaperW,
    PaperH,
    MargL,
    MargR,
    MargT,
    MargB,
    // font and colour tables
    Red,
    Green,
    Blue,
    // characters
    Plain,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    F,
    Fs,
    Cf,
    Cb,
    Highlight,
    Super,
    Sub,
    NoSuperSub,
    // paragraphs
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Sl,
    SlMult,
    Tx,
    Tqr,
    Tqc,
    Tqdec,
    PageBb,
    Par,
    Line,
    Tab,
    Page,
    Cell,
    Row,
    // special characters
    EmDash,
    EnDash,
    Bullet,
    LQuote,
    RQuote,
    LdblQuote,
    RdblQuote,
    EmSpace,
    EnSpace,
    // pictures
    PngBlip,
    JpegBlip,
    OtherBlip,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
};

const std::unordered_map<std::string_view, TWord>& Words() {
    static const std::unordered_map<std::string_view, TWord> words = [] {
        std::unordered_map<std::string_view, TWord> w{
            {"fonttbl", TWord::FontTable},
            {"colortbl", TWord::ColorTable},
            {"pict", TWord::Pict},
            {"shppict", TWord::ShpPict},
            {"deff", TWord::Deff},
            {"uc", TWord::Uc},
            {"u", TWord::U},
            {"bin", TWord::Bin},
            {"paperw", TWord::PaperW},
            {"paperh", TWord::PaperH},
            {"margl", TWord::MargL},
            {"margr", TWord::MargR},
            {"margt", TWord::MargT},
            {"margb", TWord::MargB},
            {"pgwsxn", TWord::PaperW},
            {"pghsxn", TWord::PaperH},
            {"marglsxn", TWord::MargL},
            {"margrsxn", TWord::MargR},
            {"margtsxn", TWord::MargT},
            {"margbsxn", TWord::MargB},
            {"red", TWord::Red},
            {"green", TWord::Green},
            {"blue", TWord::Blue},
            {"plain", TWord::Plain},
            {"b", TWord::B},
            {"i", TWord::I},
            {"ul", TWord::Ul},
            {"uld", TWord::Ul},
            {"uldb", TWord::Ul},
            {"ulw", TWord::Ul},
            {"ulth", TWord::Ul},
            {"uldash", TWord::Ul},
            {"ulwave", TWord::Ul},
            {"ulnone", TWord::UlNone},
            {"strike", TWord::Strike},
            {"striked", TWord::Strike},
            {"f", TWord::F},
            {"fs", TWord::Fs},
            {"cf", TWord::Cf},
            {"cb", TWord::Cb},
            {"highlight", TWord::Highlight},
            {"super", TWord::Super},
            {"sub", TWord::Sub},
            {"nosupersub", TWord::NoSuperSub},
            {"pard", TWord::Pard},
            {"ql", TWord::Ql},
            {"qr", TWord::Qr},
            {"qc", TWord::Qc},
            {"qj", TWord::Qj},
            {"li", TWord::Li},
            {"ri", TWord::Ri},
            {"fi", TWord::Fi},
            {"sb", TWord::Sb},
            {"sa", TWord::Sa},
            {"sl", TWord::Sl},
            {"slmult", TWord::SlMult},
            {"tx", TWord::Tx},
            {"tqr", TWord::Tqr},
            {"tqc", TWord::Tqc},
            {"tqdec", TWord::Tqdec},
            {"pagebb", TWord::PageBb},
            {"par", TWord::Par},
            {"line", TWord::Line},
            {"tab", TWord::Tab},
            {"page", TWord::Page},
            {"cell", TWord::Cell},
            {"nestcell", TWord::Cell},
            {"row", TWord::Row},
            {"sect", TWord::Par},
            {"emdash", TWord::EmDash},
            {"endash", TWord::EnDash},
            {"bullet", TWord::Bullet},
            {"lquote", TWord::LQuote},
            {"rquote", TWord::RQuote},
            {"ldblquote", TWord::LdblQuote},
            {"rdblquote", TWord::RdblQuote},
            {"emspace", TWord::EmSpace},
            {"enspace", TWord::EnSpace},
            {"pngblip", TWord::PngBlip},
            {"jpegblip", TWord::JpegBlip},
            {"wmetafile", TWord::OtherBlip},
            {"emfblip", TWord::OtherBlip},
            {"macpict", TWord::OtherBlip},
            {"pmmetafile", TWord::OtherBlip},
            {"dibitmap", TWord::OtherBlip},
            {"wbitmap", TWord::OtherBlip},
            {"picw", TWord::PicW},
            {"pich", TWord::PicH},
            {"picwgoal", TWord::PicWGoal},
            {"pichgoal", TWord::PicHGoal},
            {"picscalex", TWord::PicScaleX},
            {"picscaley", TWord::PicScaleY},
        };
        // Destinations whose content is not text of the document.
        for (std::string_view d : {"stylesheet",
                                   "info",
                                   "header",
                                   "footer",
                                   "headerl",
                                   "headerr",
                                   "headerf",
                                   "footerl",
                                   "footerr",
                                   "footerf",
                                   "footnote",
                                   "annotation",
                                   "pntext",
                                   "pntxta",
                                   "pntxtb",
                                   "pn",
                                   "listtext",
                                   "fldinst",
                                   "xe",
                                   "tc",
                                   "txe",
                                   "listtable",
                                   "listoverridetable",
                                   "revtbl",
                                   "rsidtbl",
                                   "themedata",
                                   "colorschememapping",
                                   "latentstyles",
                                   "datastore",
                                   "xmlnstbl",
                                   "generator",
                                   "nonshppict",
                                   "objdata",
                                   "objclass",
                                   "shpinst",
                                   "bkmkstart",
                                   "bkmkend",
                                   "atnid",
                                   "atnauthor",
                                   "private",
                                   "pgdsctbl",
                                   "template",
                                   "filetbl",
                                   "userprops",
                                   "docvar",
                                   "ftnsep",
                                   "ftnsepc",
                                   "ftncn",
                                   "aftnsep",
                                   "aftnsepc",
                                   "aftncn",
                                   "nesttableprops",
                                   "nonesttables",
                                   "title",
                                   "subject",
                                   "author",
                                   "operator",
                                   "keywords",
                                   "comment",
                                   "doccomm",
                                   "company",
                                   "creatim",
                                   "revtim",
                                   "printim",
                                   "buptim",
                                   "mmathPr",
                                   "panose",
                                   "falt",
                                   "fname",
                                   "blipuid",
                                   "wgrffmtfilter",
                                   "pgptbl",
                                   "xform"})
            w.emplace(d, TWord::SkipDest);
        return w;
    }();
    return words;
}

QChar Cp1252(unsigned char byte) {
    if (byte < 0x80)
        return QChar(byte);
    const std::string utf8 =
        store::cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&byte), 1));
    const QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    return s.isEmpty() ? QChar(QChar::ReplacementCharacter) : s.at(0);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Characters that are structure, not text, in a QTextDocument, and control
// characters, have no place in a letter's text.
bool IsTextCharacter(QChar c) {
    const char16_t u = c.unicode();
    return !((u < 0x20 && u != '\t') || u == 0x7F || u == QChar::ObjectReplacementCharacter ||
             u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1);
}

int ClampTwips(long v) {
    return int(std::clamp<long>(v, -kMaxTwips, kMaxTwips));
}

class TReader {
public:
    TReader(const char* begin, const char* end, QTextDocument& doc, int position)
        : P_(begin), End_(end), Doc_(doc), Cursor_(&doc) {
        Cursor_.setPosition(std::clamp(position, 0, doc.characterCount() - 1));
    }

    TRtfReadResult Run(bool wholeDocument);

private:
    void OpenGroup();
    bool CloseGroup(); // false when the outermost group closed
    void ControlSequence();
    void ControlWord(std::string_view word, bool hasParam, long param);
    void Character(QChar c);
    void TextCharacter(QChar c);
    void SkipGroupRest();
    void SkipFallback(int count);
    void SkipBinary(long count);
    long ReadNumber(bool& has);

    void Flush();
    void EndParagraph();
    void PageBreak();
    void FinishPicture();
    void InsertImage(const QImage& image, double widthTwips, double heightTwips);
    QTextCharFormat CharFormat(const TCharState& s) const;
    QTextBlockFormat BlockFormat(const TParaState& s);
    void Damage(const QString& why) {
        if (Result_.Complete)
            Result_.Problem = why;
        Result_.Complete = false;
    }

    const char* P_;
    const char* End_;
    QTextDocument& Doc_;
    QTextCursor Cursor_;
    TRtfReadResult Result_;

    std::vector<TGroup> Stack_;
    std::size_t Overflow_ = 0;
    TGroup Cur_;
    bool Star_ = false;
    bool Done_ = false;

    QString Pending_;
    TCharState PendingChar_;
    bool ParagraphHasContent_ = false;
    bool EndedWithPar_ = false;
    int ParagraphsEnded_ = 0;
    bool PageBreakPending_ = false;

    int DefaultFont_ = 0;
    std::unordered_map<int, QString> Fonts_;
    int FontNumber_ = 0;
    QString FontName_;
    QList<QColor> Colors_;
    int Red_ = 0, Green_ = 0, Blue_ = 0;
    bool ColorSet_ = false;
    TPicture Picture_;
    bool PictureFailed_ = false;

    TPageSettings Page_{12240, 15840, 1800, 1800, 1440, 1440};
};

TRtfReadResult TReader::Run(bool wholeDocument) {
    Cursor_.beginEditBlock();
    while (P_ < End_ && !Done_) {
        const char c = *P_++;
        switch (c) {
        case '{':
            OpenGroup();
            break;
        case '}':
            if (!CloseGroup())
                Done_ = true;
            break;
        case '\\':
            ControlSequence();
            break;
        case '\r':
        case '\n':
        case '\0':
            break;
        case '\t':
            Character(QLatin1Char('\t'));
            break;
        default:
            Character(Cp1252(static_cast<unsigned char>(c)));
        }
    }
    if (!Done_)
        Damage(QStringLiteral("the file ends before its last group is closed; the text up to there "
                              "is loaded"));
    if (Cur_.Dest == TDest::Picture)
        Picture_ = {};
    Flush();
    // The last paragraph takes the format in force at the end; a final \par
    // (as most writers put after every paragraph) leaves an empty paragraph
    // that is no part of the document; inserted, it would split the
    // paragraph at the caret.
    if (EndedWithPar_ && !ParagraphHasContent_ && Cursor_.blockNumber() > 0) {
        const QTextBlock previous = Cursor_.block().previous();
        const QTextBlockFormat blockFormat = previous.blockFormat();
        const QTextCharFormat charFormat = previous.charFormat();
        Cursor_.deletePreviousChar();
        Cursor_.setBlockFormat(blockFormat);
        Cursor_.setBlockCharFormat(charFormat);
    } else if (wholeDocument || ParagraphsEnded_ > 0) {
        // An insert without paragraph marks leaves the paragraph's format alone.
        if (!ParagraphHasContent_)
            Cursor_.setBlockCharFormat(CharFormat(Cur_.Char));
        Cursor_.setBlockFormat(BlockFormat(Cur_.Para));
    }
    Cursor_.endEditBlock();
    if (wholeDocument)
        SetPageSettings(Doc_, Page_);
    if (PictureFailed_ && Result_.Complete) {
        Result_.Complete = false;
        Result_.Problem = QStringLiteral("a picture could not be read and was left out");
    }
    return Result_;
}

void TReader::OpenGroup() {
    if (Stack_.size() >= kMaxDepth) {
        ++Overflow_;
        if (Overflow_ == 1)
            Damage(QStringLiteral("groups are nested too deeply"));
        return;
    }
    Stack_.push_back(Cur_);
    Cur_.PictureRoot = false;
    Star_ = false;
}

bool TReader::CloseGroup() {
    Star_ = false;
    if (Overflow_ > 0) {
        --Overflow_;
        return true;
    }
    if (Stack_.empty())
        return false;
    if (Cur_.Dest == TDest::FontTable && !FontName_.trimmed().isEmpty()) {
        Fonts_[FontNumber_] = FontName_.trimmed();
        FontName_.clear();
    }
    if (Cur_.PictureRoot)
        FinishPicture();
    Cur_ = Stack_.back();
    Stack_.pop_back();
    return !Stack_.empty();
}

long TReader::ReadNumber(bool& has) {
    bool negative = false;
    if (P_ + 1 < End_ && *P_ == '-' && P_[1] >= '0' && P_[1] <= '9') {
        negative = true;
        ++P_;
    }
    long value = 0;
    has = false;
    while (P_ < End_ && *P_ >= '0' && *P_ <= '9') {
        has = true;
        if (value < kMaxNumber)
            value = std::min(kMaxNumber, value * 10 + (*P_ - '0'));
        ++P_;
    }
    return negative ? -value : value;
}

void TReader::ControlSequence() {
    if (P_ >= End_)
        return;
    const char c = *P_;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        const char* start = P_;
        while (P_ < End_ && P_ - start < 32 &&
               ((*P_ >= 'a' && *P_ <= 'z') || (*P_ >= 'A' && *P_ <= 'Z')))
            ++P_;
        const std::string_view word(start, std::size_t(P_ - start));
        bool has = false;
        const long param = ReadNumber(has);
        if (P_ < End_ && *P_ == ' ')
            ++P_;
        ControlWord(word, has, param);
        return;
    }
    ++P_;
    switch (c) {
    case '\'': {
        if (End_ - P_ < 2)
            return;
        const int hi = HexValue(P_[0]), lo = HexValue(P_[1]);
        P_ += 2;
        if (hi >= 0 && lo >= 0)
            Character(Cp1252(static_cast<unsigned char>(hi * 16 + lo)));
        return;
    }
    case '*':
        Star_ = true;
        return;
    case '\\':
    case '{':
    case '}':
        Character(QLatin1Char(c));
        return;
    case '~':
        Character(QChar(0x00A0));
        return;
    case '_':
        Character(QChar(0x2011));
        return;
    case '\r':
    case '\n':
        ControlWord("par", false, 0);
        return;
    default: // \- optional hyphen, \| \: and unknown symbols
        return;
    }
}

void TReader::SkipGroupRest() {
    // Scans to the brace that closes the current group and leaves it for the
    // main loop, which restores the enclosing state.
    Cur_.Dest = TDest::Skip;
    Cur_.PictureRoot = false;
    int level = 1;
    while (P_ < End_) {
        const char c = *P_;
        if (c == '\\') {
            ++P_;
            if (P_ >= End_)
                break;
            if (std::string_view(P_, std::size_t(std::min<long>(3, End_ - P_))) == "bin") {
                P_ += 3;
                bool has = false;
                const long n = ReadNumber(has);
                if (P_ < End_ && *P_ == ' ')
                    ++P_;
                SkipBinary(n);
            } else {
                ++P_;
            }
        } else if (c == '{') {
            ++level;
            ++P_;
        } else if (c == '}') {
            if (--level == 0)
                return;
            ++P_;
        } else {
            ++P_;
        }
    }
}

void TReader::SkipBinary(long count) {
    P_ += std::clamp<long>(count, 0, End_ - P_);
}

void TReader::SkipFallback(int count) {
    for (int n = 0; n < count && P_ < End_;) {
        const char c = *P_;
        if (c == '{' || c == '}')
            return;
        if (c == '\r' || c == '\n') {
            ++P_;
            continue;
        }
        ++n;
        if (c != '\\') {
            ++P_;
            continue;
        }
        ++P_;
        if (P_ >= End_)
            return;
        if (*P_ == '\'') {
            P_ += std::min<long>(3, End_ - P_);
        } else if ((*P_ >= 'a' && *P_ <= 'z') || (*P_ >= 'A' && *P_ <= 'Z')) {
            while (P_ < End_ && ((*P_ >= 'a' && *P_ <= 'z') || (*P_ >= 'A' && *P_ <= 'Z')))
                ++P_;
            bool has = false;
            ReadNumber(has);
            if (P_ < End_ && *P_ == ' ')
                ++P_;
        } else {
            ++P_;
        }
    }
}

void TReader::ControlWord(std::string_view word, bool hasParam, long param) {
    const auto& words = Words();
    const auto found = words.find(word);
    const TWord w = found == words.end() ? TWord::Unknown : found->second;
    if (Star_) {
        Star_ = false;
        if (w != TWord::ShpPict) {
            SkipGroupRest();
            return;
        }
    }
    if (w == TWord::SkipDest && Stack_.size() > 1) {
        SkipGroupRest();
        return;
    }
    if (Cur_.Dest == TDest::Skip)
        return;
    const bool on = !hasParam || param != 0;
    TCharState& ch = Cur_.Char;
    TParaState& para = Cur_.Para;
    const int twips = ClampTwips(param);

    if (Cur_.Dest == TDest::Picture) {
        switch (w) {
        case TWord::PngBlip:
            Picture_.Type = TPicture::Png;
            return;
        case TWord::JpegBlip:
            Picture_.Type = TPicture::Jpeg;
            return;
        case TWord::OtherBlip:
            Picture_.Type = TPicture::Other;
            return;
        case TWord::PicW:
            Picture_.Width = twips;
            return;
        case TWord::PicH:
            Picture_.Height = twips;
            return;
        case TWord::PicWGoal:
            Picture_.GoalWidth = twips;
            return;
        case TWord::PicHGoal:
            Picture_.GoalHeight = twips;
            return;
        case TWord::PicScaleX:
            Picture_.ScaleX = std::clamp(int(param), 1, 1000);
            return;
        case TWord::PicScaleY:
            Picture_.ScaleY = std::clamp(int(param), 1, 1000);
            return;
        case TWord::Bin: {
            const long n = std::clamp<long>(param, 0, End_ - P_);
            Picture_.Data.append(P_, qsizetype(n));
            P_ += n;
            return;
        }
        default:
            return;
        }
    }

    switch (w) {
    case TWord::FontTable:
        Cur_.Dest = TDest::FontTable;
        FontName_.clear();
        return;
    case TWord::ColorTable:
        Cur_.Dest = TDest::ColorTable;
        return;
    case TWord::Pict:
        Flush();
        Cur_.Dest = TDest::Picture;
        Cur_.PictureRoot = true;
        Picture_ = {};
        return;
    case TWord::Deff:
        DefaultFont_ = int(param);
        return;
    case TWord::Uc:
        Cur_.UnicodeSkip = std::clamp(int(param), 0, 8);
        return;
    case TWord::U: {
        long v = param;
        if (v < 0)
            v += 65536;
        if (v >= 0 && v <= 0xFFFF)
            Character(QChar(char16_t(v)));
        SkipFallback(Cur_.UnicodeSkip);
        return;
    }
    case TWord::Bin:
        SkipBinary(param);
        return;
    case TWord::PaperW:
        Page_.PageWidth = twips;
        return;
    case TWord::PaperH:
        Page_.PageHeight = twips;
        return;
    case TWord::MargL:
        Page_.LeftMargin = twips;
        return;
    case TWord::MargR:
        Page_.RightMargin = twips;
        return;
    case TWord::MargT:
        Page_.TopMargin = twips;
        return;
    case TWord::MargB:
        Page_.BottomMargin = twips;
        return;
    case TWord::Red:
        Red_ = std::clamp(int(param), 0, 255);
        ColorSet_ = true;
        return;
    case TWord::Green:
        Green_ = std::clamp(int(param), 0, 255);
        ColorSet_ = true;
        return;
    case TWord::Blue:
        Blue_ = std::clamp(int(param), 0, 255);
        ColorSet_ = true;
        return;
    case TWord::Plain:
        ch = TCharState{};
        return;
    case TWord::B:
        ch.Bold = on;
        return;
    case TWord::I:
        ch.Italic = on;
        return;
    case TWord::Ul:
        ch.Underline = on;
        return;
    case TWord::UlNone:
        ch.Underline = false;
        return;
    case TWord::Strike:
        ch.Strike = on;
        return;
    case TWord::F:
        if (Cur_.Dest == TDest::FontTable) {
            if (!FontName_.trimmed().isEmpty())
                Fonts_[FontNumber_] = FontName_.trimmed();
            FontName_.clear();
            FontNumber_ = int(param);
        } else {
            ch.Font = int(param);
        }
        return;
    case TWord::Fs:
        ch.HalfPoints = hasParam ? std::clamp(int(param), 2, 3276) : 24;
        return;
    case TWord::Cf:
        ch.Foreground = std::max(0, int(param));
        return;
    case TWord::Cb:
    case TWord::Highlight:
        ch.Background = std::max(0, int(param));
        return;
    case TWord::Super:
        ch.VerticalAlign = 1;
        return;
    case TWord::Sub:
        ch.VerticalAlign = 2;
        return;
    case TWord::NoSuperSub:
        ch.VerticalAlign = 0;
        return;
    case TWord::Pard:
        para = TParaState{};
        return;
    case TWord::Ql:
        para.Align = Qt::AlignLeft;
        return;
    case TWord::Qr:
        para.Align = Qt::AlignRight;
        return;
    case TWord::Qc:
        para.Align = Qt::AlignHCenter;
        return;
    case TWord::Qj:
        para.Align = Qt::AlignJustify;
        return;
    case TWord::Li:
        para.Left = twips;
        return;
    case TWord::Ri:
        para.Right = twips;
        return;
    case TWord::Fi:
        para.First = twips;
        return;
    case TWord::Sb:
        para.Before = std::max(0, twips);
        return;
    case TWord::Sa:
        para.After = std::max(0, twips);
        return;
    case TWord::Sl:
        para.LineSpacing = twips;
        return;
    case TWord::SlMult:
        para.LineMultiple = on;
        return;
    case TWord::Tqr:
        para.NextTabType = QTextOption::RightTab;
        return;
    case TWord::Tqc:
        para.NextTabType = QTextOption::CenterTab;
        return;
    case TWord::Tqdec:
        para.NextTabType = QTextOption::DelimiterTab;
        return;
    case TWord::Tx:
        if (para.Tabs.size() < 64) {
            QTextOption::Tab tab(TwipsToLayout(std::max(0, twips)), para.NextTabType);
            if (para.NextTabType == QTextOption::DelimiterTab)
                tab.delimiter = QLatin1Char('.');
            para.Tabs.append(tab);
        }
        para.NextTabType = QTextOption::LeftTab;
        return;
    case TWord::PageBb:
        para.PageBreakBefore = on;
        return;
    case TWord::Par:
    case TWord::Cell:
        if (Cur_.Dest == TDest::Text)
            EndParagraph();
        return;
    case TWord::Row:
        if (Cur_.Dest == TDest::Text && ParagraphHasContent_)
            EndParagraph();
        return;
    case TWord::Page:
        if (Cur_.Dest == TDest::Text)
            PageBreak();
        return;
    case TWord::Line:
        Character(QChar(QChar::LineSeparator));
        return;
    case TWord::Tab:
        Character(QLatin1Char('\t'));
        return;
    case TWord::EmDash:
        Character(QChar(0x2014));
        return;
    case TWord::EnDash:
        Character(QChar(0x2013));
        return;
    case TWord::Bullet:
        Character(QChar(0x2022));
        return;
    case TWord::LQuote:
        Character(QChar(0x2018));
        return;
    case TWord::RQuote:
        Character(QChar(0x2019));
        return;
    case TWord::LdblQuote:
        Character(QChar(0x201C));
        return;
    case TWord::RdblQuote:
        Character(QChar(0x201D));
        return;
    case TWord::EmSpace:
        Character(QChar(0x2003));
        return;
    case TWord::EnSpace:
        Character(QChar(0x2002));
        return;
    default:
        return;
    }
}

void TReader::Character(QChar c) {
    switch (Cur_.Dest) {
    case TDest::Text:
        TextCharacter(c);
        return;
    case TDest::FontTable:
        if (c == QLatin1Char(';')) {
            Fonts_[FontNumber_] = FontName_.trimmed();
            FontName_.clear();
        } else if (FontName_.size() < 256) {
            FontName_.append(c);
        }
        return;
    case TDest::ColorTable:
        if (c == QLatin1Char(';')) {
            Colors_.append(ColorSet_ ? QColor(Red_, Green_, Blue_) : QColor());
            Red_ = Green_ = Blue_ = 0;
            ColorSet_ = false;
        }
        return;
    case TDest::Picture: {
        const int v = c.unicode() < 128 ? HexValue(char(c.unicode())) : -1;
        if (v < 0)
            return;
        if (Picture_.HighNibble < 0) {
            Picture_.HighNibble = v;
        } else {
            Picture_.Data.append(char(Picture_.HighNibble * 16 + v));
            Picture_.HighNibble = -1;
        }
        return;
    }
    case TDest::Skip:
        return;
    }
}

void TReader::TextCharacter(QChar c) {
    if (!IsTextCharacter(c))
        return;
    if (!(Cur_.Char == PendingChar_)) {
        Flush();
        PendingChar_ = Cur_.Char;
    }
    Pending_.append(c);
    ParagraphHasContent_ = true;
    EndedWithPar_ = false;
}

QTextCharFormat TReader::CharFormat(const TCharState& s) const {
    QTextCharFormat f;
    const auto font = Fonts_.find(s.Font < 0 ? DefaultFont_ : s.Font);
    if (font != Fonts_.end() && !font->second.isEmpty())
        f.setFontFamilies({font->second});
    f.setFontPointSize(s.HalfPoints / 2.0);
    f.setFontWeight(s.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.Italic);
    f.setFontUnderline(s.Underline);
    f.setFontStrikeOut(s.Strike);
    if (s.Foreground > 0 && s.Foreground <= Colors_.size() && Colors_[s.Foreground].isValid())
        f.setForeground(Colors_[s.Foreground]);
    if (s.Background > 0 && s.Background <= Colors_.size() && Colors_[s.Background].isValid())
        f.setBackground(Colors_[s.Background]);
    if (s.VerticalAlign == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (s.VerticalAlign == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat TReader::BlockFormat(const TParaState& s) {
    QTextBlockFormat f;
    f.setAlignment(s.Align);
    f.setLeftMargin(TwipsToLayout(s.Left));
    f.setRightMargin(TwipsToLayout(s.Right));
    f.setTextIndent(TwipsToLayout(s.First));
    f.setTopMargin(TwipsToLayout(s.Before));
    f.setBottomMargin(TwipsToLayout(s.After));
    if (s.LineSpacing != 0) {
        if (s.LineMultiple && s.LineSpacing > 0)
            f.setLineHeight(std::clamp(s.LineSpacing * 100.0 / 240.0, 10.0, 1000.0),
                            QTextBlockFormat::ProportionalHeight);
        else if (s.LineSpacing < 0)
            f.setLineHeight(TwipsToLayout(-s.LineSpacing), QTextBlockFormat::FixedHeight);
        else
            f.setLineHeight(TwipsToLayout(s.LineSpacing), QTextBlockFormat::MinimumHeight);
    }
    if (!s.Tabs.isEmpty())
        f.setTabPositions(s.Tabs);
    if (s.PageBreakBefore || PageBreakPending_)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    PageBreakPending_ = false;
    return f;
}

void TReader::Flush() {
    if (Pending_.isEmpty())
        return;
    Cursor_.insertText(Pending_, CharFormat(PendingChar_));
    Pending_.clear();
}

void TReader::EndParagraph() {
    Flush();
    if (!ParagraphHasContent_) // an empty paragraph keeps the format at its mark
        Cursor_.setBlockCharFormat(CharFormat(Cur_.Char));
    Cursor_.setBlockFormat(BlockFormat(Cur_.Para));
    Cursor_.insertBlock(QTextBlockFormat(), CharFormat(Cur_.Char));
    ParagraphHasContent_ = false;
    EndedWithPar_ = true;
    ++ParagraphsEnded_;
}

void TReader::PageBreak() {
    // A page break ends the paragraph it stands in; the next one starts the page.
    if (ParagraphHasContent_)
        EndParagraph();
    PageBreakPending_ = true;
}

void TReader::FinishPicture() {
    TPicture pic = std::move(Picture_);
    Picture_ = {};
    if (pic.Type == TPicture::Other)
        return;
    QImage image;
    if (pic.Data.size() < 64 * 1024 * 1024)
        image = QImage::fromData(pic.Data, pic.Type == TPicture::Png ? "PNG" : "JPG");
    if (image.isNull()) {
        PictureFailed_ = true;
        return;
    }
    double w = pic.GoalWidth > 0 ? pic.GoalWidth : image.width() * 15.0;
    double h = pic.GoalHeight > 0 ? pic.GoalHeight : image.height() * 15.0;
    w = std::min(w * pic.ScaleX / 100.0, double(kMaxTwips));
    h = std::min(h * pic.ScaleY / 100.0, double(kMaxTwips));
    InsertImage(image, w, h);
}

void TReader::InsertImage(const QImage& image, double widthTwips, double heightTwips) {
    Flush();
    QByteArray key(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    const QString name =
        QStringLiteral("qp-image-") +
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex());
    Doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.merge(CharFormat(Cur_.Char));
    f.setName(name);
    f.setWidth(TwipsToLayout(widthTwips));
    f.setHeight(TwipsToLayout(heightTwips));
    Cursor_.insertImage(f);
    ParagraphHasContent_ = true;
    EndedWithPar_ = false;
}

TRtfReadResult ReadPlainText(const QByteArray& data, QTextCursor& cursor) {
    const std::string_view bytes(data.constData(), std::size_t(data.size()));
    QString text = store::isValidUtf8(bytes)
                       ? QString::fromUtf8(data)
                       : QString::fromUtf8(store::cp1252ToUtf8(bytes).c_str());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.removeIf([](QChar c) { return c != QLatin1Char('\n') && !IsTextCharacter(c); });
    cursor.insertText(text);
    TRtfReadResult r;
    r.IsRtf = false;
    return r;
}

bool LooksLikeRtf(const QByteArray& data) {
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\r' || data[i] == '\n' || data[i] == '\t'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

TRtfReadResult Read(const QByteArray& data, QTextDocument& doc, int position, bool whole) {
    if (!LooksLikeRtf(data)) {
        QTextCursor c(&doc);
        c.setPosition(std::clamp(position, 0, doc.characterCount() - 1));
        return ReadPlainText(data, c);
    }
    const qsizetype i = data.indexOf('{');
    TReader reader(data.constData() + i, data.constData() + data.size(), doc, position);
    return reader.Run(whole);
}

} // namespace

TRtfReadResult ReadRtf(const QByteArray& data, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    SetPageSettings(doc, TPageSettings{});
    const TRtfReadResult r = Read(data, doc, 0, true);
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return r;
}

TRtfReadResult InsertRtf(const QByteArray& data, QTextDocument& doc, int position) {
    return Read(data, doc, position, false);
}

} // namespace qp::richtext
