#include "labels/presort.h"

#include "store/atomic_file.h"
#include "store/open_files.h"
#include "store/shared_routines.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace qp::labels {

std::string presortListPath() {
    return store::resolveCaseInsensitive(store::ProgramFolder(), kPresortFileName).string();
}

const std::array<AdcRow, 96>& adcTable() {
    static const std::array<AdcRow, 96> rows{{
        {"ALBANY NY 120", "120 121 122 123 124 125 126 127 128 129"},
        {"ALBUQUERQUE NM 870", "865 870 871 872 873 874 875 877 878 879 880 881 882 883 884"},
        {"AMF KENNEDY NY 00300", "090 091 092 093 094 095 096 097 098"},
        {"ANCHORAGE AK 995", "995 996 997"},
        {"BALTIMORE MD 210", "210 211 212 214 215 216 217 218 219 254 267"},
        {"BILLINGS MT 590", "590 591 592 593 594 595 596 597 598 599 821"},
        {"BOISE ID 836", "832 833 834 836 837 979"},
        {"BOSTON MA 021", "018 019 021 022 055"},
        {"BUFFALO NY 140", "140 141 142 143 144 145 146 147 148 149"},
        {"BURMINGHAM AL 350", "350 351 352 354 355 356 357 358 359 362"},
        {"CAROL STREAM IL 601", "600 601 602 603 610 611 613 614 615 616"},
        {"CHARLESTON WV 250", "246 247 248 249 250 251 252 253 255 256 257 258 259"},
        {"CHARLOTTE NC 280", "280 281 282 283 284 286 287 288 289 297"},
        {"CHEYENNE WY 820", "820 822 823 824 825 826 827 828 829 830 831"},
        {"CHICAGO IL 606", "606 607 608"},
        {"CINCINNATI OH 450", "410 450 451 452 453 454 455 458 459 470"},
        {"CLARKSBURG WV 263", "261 262 263 264 265 266 268"},
        {"CLEVELAND OH 440", "439 440 441 442 443 444 445 446 447 448 449"},
        {"COLUMBIA SC 290", "290 291 292 293 294 295 296"},
        {"COLUMBUS OH 430", "430 431 432 433 434 435 436 437 438 456 457"},
        {"DENVER CO 800", "800 801 802 803 804 805 806 807 808 809 810 811 812 813 814 815 816"},
        {"DES MOINES IA 500",
         "500 501 502 503 504 505 506 507 508 509 520 521 522 523 524 525 526 527 528 612"},
        {"DETROIT MI 481", "480 481 482 483 484 485 486 487 488 489"},
        {"DULLES VA 201", "201 220 221 222 223 226 227"},
        {"DV DANIELS NJ 07099", "070 071 072 073 074 075 076 077 078 079 085 086 087 088 089"},
        {"FARGO ND  580", "565 567 580 581 582 583 584 585 586 587 588"},
        {"FT WORTH TX 760",
         "760 761 762 763 764 765 766 767 768 769 790 791 792 793 794 795 796 797"},
        {"GRAND RAPIDS MI 493", "490 491 492 493 494 496 497 495"},
        {"GREENSBORO NC 270", "270 271 272 273 274 275 276 277 278 279 285"},
        {"HARRISBURG PA 170", "169 170 171 172 173 174 175 176 177 178"},
        {"HARTFORD CT 060", "060 061 062 063 064 065 066 067 068 069"},
        {"HONOLULU HI 967", "967 968 969"},
        {"INDIANAPOLIS IN 460", "460 461 462 463 464 465 466 467 468 469 472 473 474 475 478 479"},
        {"JACKSON MS 390", "369 390 391 392 393 397"},
        {"JACKSONVILLE FL 320", "299 304 313 314 315 320 321 322 323 324 326 344"},
        {"KANSAS CITY MO 640", "640 641 644 645 646 647 648 649 650 651 652 653 654 655 656 657 "
                               "658 660 661 662 664 665 666 667 668"},
        {"LAS VEGAS  NV 890", "864 889 890 891 894 895 897 961"},
        {"LEHIGH VALLEY PA 180", "180 181 182 183 184 185 186 187 188"},
        {"LEXINGTON KY 403", "403 404 405 406"},
        {"LITTLE ROCK AR 720", "716 717 718 719 720 721 722 724 725 726 727 728 729"},
        {"LONG ISLAND NY 117", "005 115 117 118 119"},
        {"LOS ANGELES CA 900", "900 901"},
        {"LOUISVILLE KY 400", "400 401 402 407 408 409 411 412 413 414 415 416 417 418 420 421 422 "
                              "423 424 425 426 427 471 476 477"},
        {"MACON GA 310", "310 312 316 317 318 319"},
        {"MANCHESTER NH 030", "030 031 032 033 034 038 039"},
        {"MEMPHIS TN 380", "375 380 381 382 383 386 387 388 389 723"},
        {"MIAMI FL 331", "330 331 332 333 340"},
        {"MILWAUKEE WI 530", "498 499 530 531 532 534 535 537 538 539 541 542 543 544 545 549"},
        {"MINNEAPOLIS MN 553", "553 554 555 560 561 562 563 564 566"},
        {"MONTGOMERY AL 360", "360 361 363 364 367 368"},
        {"NASHVILLE TN 370", "307 370 371 372 373 374 376 377 378 379 384 385"},
        {"NEW ORLEANS LA 700", "325 365 366 394 395 396 700 701 703 704 705 706 707 708"},
        {"NEW YORK NY 100", "100 101 102 104"},
        {"NORTH HOUSTON TX 773", "770 771 772 773 774 775 776 777 778"},
        {"NORTH METRO GA 301", "298 300 301 302 303 305 306 308 309 311 399"},
        {"NORTH TEXAS TX 750", "750 751 752 753 754 755 756 757 758 759"},
        {"OKLAHOMA CITY OK 730", "730 731 734 735 736 737 738 748"},
        {"OMAHA NE 680",
         "510 511 512 513 514 515 516 680 681 683 684 685 686 687 688 689 690 691 692 693"},
        {"ORLANDO FL 328", "327 328 329 334 347 349"},
        {"PENINSULA CA 941", "940 941 943 944 945 946 947 948 949 954"},
        {"PHILADELPHIA PA 190", "190 191 192"},
        {"PHOENIX AZ 852", "850 852 853 855 856 857 859 860 863"},
        {"PITTSBURGH PA 150",
         "150 151 152 153 154 155 156 157 158 159 160 161 162 163 164 165 166 167 168 260"},
        {"PORTLAND ME 040", "040 041 042 043 044 045 046 049 047 048"},
        {"PORTLAND OR 970", "970 971 972 973 974 975 976 977 978 986"},
        {"PROVIDENCE RI 028", "020 023 024 025 026 027 028 029"},
        {"QUEENS NY 110", "103 110 111 112 113 114 116"},
        {"RICHMOND VA 230", "224 225 228 229 230 231 232 233 234 235 236 237 238 239 244"},
        {"ROANOKE VA 240", "240 241 242 243 245"},
        {"SALT LAKE CITY UT 840", "840 841 842 843 844 845 846 847 893 898"},
        {"SAN ANTONIO TX 780", "733 779 780 781 782 783 784 785 786 787 788 789 798 799 885"},
        {"SAN DIEGO CA 920", "919 920 921"},
        {"SAN FRANCISCO 962", "962 963 964 965 966"},
        {"SAN JUAN PR  006", "006 007 008 009"},
        {"SEATTLE WA 980", "835 838 980 981 982 983 984 985 988 989 990 991 992 993 994 998 999"},
        {"SEQUOIA CA 901", "922 923 924 925 926 927 928 930 931 932 933 934 935"},
        {"SHREVEPORT LA 710", "710 711 712 713 714"},
        {"SIERRA CA 940", "936 937 938 939 942 950 951 952 953 955 956 957 958 959 960"},
        {"SIOUX FALLS SD 570", "570 571 572 573 574 575 576 577"},
        {"SOUTH EASTERN PA 189", "179 189 193 194 195 196"},
        {"SOUTH JERSEY 080", "080 081 082 083 084"},
        {"SOUTHERN MD 206", "206 207 208 209"},
        {"SPRINGFIELD MA 010", "010 011 012 013 014 015 016 017"},
        {"ST PAUL MN 550", "540 546 547 548 550 551 556 557 558 559"},
        {"ST. LOUIS MO 630",
         "620 622 623 624 625 626 627 628 629 630 631 633 634 635 636 637 638 639"},
        {"SUBURBAN IL 604", "604 605 609 617 618 619"},
        {"SYRACUSE NY 130", "130 131 132 133 134 135 136 137 138 139"},
        {"TAMPA FL 335", "335 336 337 338 339 341 342 346"},
        {"TULSA OK 740", "740 741 743 744 745 746 747 749"},
        {"TWIN VALLEY CA 900", "902 903 904 905 906 907 908 910 911 912 913 914 915 916 917 918"},
        {"WASHINGTON DC 200", "200 202 203 204 205"},
        {"WESTCHESTER NY 105", "004 105 106 107 108 109"},
        {"WHITE RIVER JCT VT 050", "035 036 037 056 057 058 059"},
        {"WHITE RVR JCT VT 050", "054 050 053 051 052"},
        {"WICHITA KS 670", "669 670 671 672 673 674 675 676 677 678 679 739"},
        {"WILMINGTON DE 197", "197 198 199"},
    }};
    return rows;
}

std::string_view presortKey(std::string_view zip) {
    return zip.substr(0, 5);
}

bool acceptablePresortKey(std::string_view key) {
    if (key.empty() || key.front() < '0' || key.front() > '9')
        return false;
    if (key.find('*') != std::string_view::npos)
        return false;
    return key >= std::string_view("00000") && key <= std::string_view("99999-999");
}

bool domesticCountry(std::string_view country) {
    std::string name;
    for (char c : country)
        if (c != '.' && c != ' ' && c != '\t')
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name.empty() || name == "USA" || name == "US" || name == "UNITEDSTATES" ||
           name == "UNITEDSTATESOFAMERICA" || name == "AMERICA";
}

std::string_view presortZip(std::string_view zip, std::string_view country) {
    return domesticCountry(country) ? zip : std::string_view();
}

namespace {

constexpr std::size_t kNumericKeys = 100000;

int numericIndex(std::string_view key) {
    if (key.size() != 5)
        return -1;
    int n = 0;
    for (char c : key) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string fiveDigits(int n) {
    std::string s(5, '0');
    for (int i = 4; i >= 0; --i, n /= 10)
        s[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    return s;
}

} // namespace

PresortTally::PresortTally() : numeric_(kNumericKeys, 0) {}

bool PresortTally::add(std::string_view zip) {
    std::string_view key = presortKey(zip);
    if (!acceptablePresortKey(key)) {
        ++unplaced_;
        return false;
    }
    ++counted_;
    if (int n = numericIndex(key); n >= 0)
        ++numeric_[static_cast<std::size_t>(n)];
    else
        ++other_[std::string(key)];
    return true;
}

std::vector<std::pair<std::string, std::uint32_t>> PresortTally::sortedKeys() const {
    std::vector<std::pair<std::string, std::uint32_t>> others(other_.begin(), other_.end());
    std::sort(others.begin(), others.end());
    std::vector<std::pair<std::string, std::uint32_t>> out;
    out.reserve(others.size() + 1024);
    auto o = others.begin();
    for (std::size_t n = 0; n < kNumericKeys; ++n) {
        if (!numeric_[n])
            continue;
        std::string key = fiveDigits(static_cast<int>(n));
        for (; o != others.end() && o->first < key; ++o)
            out.push_back(*o);
        out.emplace_back(std::move(key), numeric_[n]);
    }
    out.insert(out.end(), o, others.end());
    return out;
}

PresortResult groupPresort(const PresortTally& tally) {
    PresortResult r;
    r.counted = tally.counted();
    r.unplaced = tally.unplaced();
    auto keys = tally.sortedKeys();

    std::vector<PresortGroup> five, three;
    std::vector<std::pair<std::string, std::uint32_t>> rest;
    for (auto& [key, count] : keys)
        if (count >= kPresortGroupMinimum)
            five.push_back({PresortGroupKind::FiveDigit, "** 5-digit " + key, {key}, count});
        else
            rest.emplace_back(key, count);

    std::vector<std::pair<std::string, std::uint32_t>> residue;
    for (std::size_t i = 0; i < rest.size();) {
        std::string prefix = rest[i].first.substr(0, 3);
        std::size_t j = i;
        std::uint32_t sum = 0;
        for (; j < rest.size() && rest[j].first.compare(0, 3, prefix) == 0; ++j)
            sum += rest[j].second;
        if (sum >= kPresortGroupMinimum) {
            PresortGroup g{PresortGroupKind::ThreeDigit, "** 3-digit " + prefix, {}, sum};
            for (std::size_t k = i; k < j; ++k)
                g.keys.push_back(rest[k].first);
            three.push_back(std::move(g));
        } else {
            for (std::size_t k = i; k < j; ++k)
                residue.push_back(rest[k]);
        }
        i = j;
    }

    // Each residue key goes to the first row whose prefix text holds its
    // first three characters (a plain substring search, as the rows are
    // applied in order); the row of a prefix is looked up once.
    const auto& adc = adcTable();
    std::map<std::string, int> rowOfPrefix;
    std::vector<PresortGroup> adcGroups(adc.size());
    std::vector<std::pair<std::string, std::uint32_t>> unknown;
    for (auto& [key, count] : residue) {
        std::string prefix = key.substr(0, 3);
        auto [it, fresh] = rowOfPrefix.try_emplace(prefix, -1);
        if (fresh)
            for (std::size_t row = 0; row < adc.size(); ++row)
                if (adc[row].prefixes.find(prefix) != std::string_view::npos) {
                    it->second = static_cast<int>(row);
                    break;
                }
        if (it->second < 0) {
            unknown.emplace_back(key, count);
            continue;
        }
        auto& g = adcGroups[static_cast<std::size_t>(it->second)];
        g.keys.push_back(key);
        g.pieces += count;
    }

    r.groups = std::move(five);
    for (auto& g : three)
        r.groups.push_back(std::move(g));
    for (std::size_t row = 0; row < adc.size(); ++row) {
        auto& g = adcGroups[row];
        if (g.keys.empty())
            continue;
        g.kind = PresortGroupKind::Adc;
        g.heading = "** ADC " + std::string(adc[row].name);
        r.groups.push_back(std::move(g));
    }
    if (!unknown.empty()) {
        PresortGroup g{PresortGroupKind::Unknown, std::string(kUnknownHeading), {}, 0};
        for (auto& [key, count] : unknown) {
            g.keys.push_back(key);
            g.pieces += count;
        }
        r.groups.push_back(std::move(g));
    }
    return r;
}

std::vector<std::string> PresortResult::lines() const {
    std::vector<std::string> out;
    for (const auto& g : groups) {
        out.push_back(g.heading);
        out.insert(out.end(), g.keys.begin(), g.keys.end());
    }
    return out;
}

std::string PresortResult::text() const {
    std::string out;
    for (const auto& line : lines()) {
        out += line;
        out += "\r\n";
    }
    return out;
}

store::Status writePresortList(const std::string& path, const PresortResult& result) {
    if (auto st = store::checkNotOpenFile(path); !st)
        return st;
    return store::writeFileAtomically(path, result.text());
}

bool isPresortListFile(const std::string& path) {
    constexpr std::uintmax_t kLargestList = 16u << 20;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kLargestList)
        return false;
    std::ifstream f(path, std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        if (line.empty() || line.back() != '\r')
            return false;
        line.pop_back();
        if (line.rfind("** ", 0) == 0)
            continue;
        if (line.empty() || line.size() > 10 ||
            !std::all_of(line.begin(), line.end(),
                         [](unsigned char c) { return std::isalnum(c) || c == '-'; }))
            return false;
    }
    return !f.bad();
}

store::Result<std::vector<PresortLine>> readPresortList(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return store::fail("Unable to read " + path);
    std::vector<PresortLine> out;
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        bool heading = line.rfind("** ", 0) == 0;
        out.push_back({heading, std::move(line)});
    }
    return out;
}

std::string unplacedQuestion(std::uint32_t unplaced, std::uint32_t selected) {
    return std::to_string(unplaced) + " of the " + std::to_string(selected) +
           " selected records have no usable ZIP code or are addressed abroad and cannot be "
           "presorted; they will "
           "not be printed.\nContinue without them?";
}

PresortRun runPresort(const ZipSource& source, const std::string& outPath,
                      const PresortHooks& hooks) {
    PresortRun run;
    auto say = [&](std::string_view s) {
        if (hooks.status)
            hooks.status(s);
    };
    PresortTally tally;
    say(kReadingRecordsStatus);
    std::string zip;
    std::uint32_t recno = 0;
    while (source(zip, recno)) {
        tally.add(zip);
        if (recno % 100 == 0)
            say(std::string(kReadingRecordStatus) + std::to_string(recno));
        if (hooks.cancelRequested && hooks.cancelRequested()) {
            run.outcome = PresortOutcome::Cancelled;
            return run;
        }
    }
    if (tally.unplaced() > 0 && hooks.goOnWithUnplaced &&
        !hooks.goOnWithUnplaced(tally.unplaced(), tally.unplaced() + tally.counted())) {
        run.outcome = PresortOutcome::Cancelled;
        return run;
    }
    say(kSortingStatus);
    run.result = groupPresort(tally);
    if (auto st = writePresortList(outPath, run.result); !st) {
        run.outcome = PresortOutcome::Failed;
        run.message = st.error();
        return run;
    }
    run.outcome = PresortOutcome::Done;
    return run;
}

PresortRun runPresort(store::Table& table, const store::RecordSelection& selection,
                      const std::string& outPath, const PresortHooks& hooks) {
    int order = table.indexOrd();
    std::uint32_t here = table.recNo();
    PresortRun run;
    if (auto st = table.setOrder(0); !st) {
        run.message = st.error();
        return run;
    }
    table.go(here);
    {
        auto walk = store::SelectionWalk::begin(table, selection);
        if (!walk) {
            run.message = walk.error();
        } else {
            bool started = false;
            ZipSource source = [&](std::string& zip, std::uint32_t& recno) {
                if (started && !walk->next())
                    return false;
                started = true;
                if (!walk->valid())
                    return false;
                zip = presortZip(table.getString("ZIP"), table.getString("COUNTRY"));
                recno = table.recNo();
                return true;
            };
            run = runPresort(source, outPath, hooks);
        }
    }
    (void)table.setOrder(order);
    table.go(here);
    return run;
}

} // namespace qp::labels
