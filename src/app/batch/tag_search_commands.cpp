// Tagging, the searches and the dialer from the command line.
#include "addressbook/dial_sequence.h"
#include "addressbook/record_rules.h"
#include "addressbook/search.h"
#include "addressbook/tagging.h"
#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/table_options.h"
#include "store/address_filter.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"

#include <iostream>
#include <ostream>

namespace qp::batch {
namespace {

void goTo(store::Table& table, long recno) {
    if (recno < 1 || !table.go(static_cast<std::uint32_t>(recno)))
        throw Failure("There is no record " + std::to_string(recno));
}

int runTag(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"recno"}, {});
    args.expectPositionals(1, 1);
    auto recno = args.number("recno");
    if (!recno)
        throw UsageError("tag needs --recno N");
    auto table = openTable(args.positional(0, "FILE"), store::OpenMode::Exclusive);
    goTo(table, *recno);
    const std::string id = tagIdentifier();
    if (auto s = addressbook::ToggleTag(table, id); !s.ok())
        throw Failure(s.error());
    out << (table.getString("TAG") == id ? "tagged" : "untagged") << "\n";
    return 0;
}

int runClearTags(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(0, 0);
    auto settings = store::SettingsFile::standard();
    const std::string before = store::LoadGlobalTagId(settings);
    const std::string id = addressbook::ClearTagsIdentifier(before, store::CurrentLocalDateTime());
    if (auto st = addressbook::SaveTagPref(settings, id); !st)
        throw Failure("Could not store the new tag identifier, so the tags were not cleared: " +
                      st.error());
    out << id << "\n";
    return 0;
}

int runTagAll(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"flt", "criteria"}, {"tagged", "reverse"});
    args.expectPositionals(1, 1);
    auto filter = filterFromArgs(args);
    if (!filter)
        throw UsageError("tag-all needs a filter (--flt or --criteria)");
    auto table = openTable(args.positional(0, "FILE"), store::OpenMode::Exclusive);
    const std::string id = tagIdentifier();
    auto outcome = store::ApplyFilter(table, *filter, id);
    if (!outcome.message.empty())
        throw Failure(outcome.message);
    if (filter->expression.empty())
        throw Failure("The filter matches no record");
    auto run = addressbook::TagAllMatches(table, id);
    if (!run.error.empty())
        throw Failure(run.error);
    out << run.tagged << " tagged\n";
    return 0;
}

int runSearch(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"order"}, {});
    args.expectPositionals(2, 2);
    const std::string caption = args.value("order").value_or("Last Name");
    const addressbook::SortOrder* order = addressbook::SortOrderForCaption(caption);
    if (!order)
        throw UsageError("--order takes a Sort menu caption such as \"Last Name\"");
    auto table = openTable(args.positional(0, "FILE"));
    (void)table.setQuery(store::kNoFilterQuery);
    (void)table.setOrder(table.tagArea(order->tag));
    table.first();
    if (!addressbook::SearchInOrder(table, order->tag, args.positional(1, "TEXT")))
        throw Failure("Not found");
    out << table.recNo() << "\n";
    return 0;
}

int runMemoSearch(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"from", "order"}, {});
    args.expectPositionals(2, 2);
    auto table = openTable(args.positional(0, "FILE"));
    (void)table.setQuery(store::kNoFilterQuery);
    useTag(table, args.value("order").value_or("LNAME"));
    table.first();
    const auto from = args.number("from");
    if (from)
        goTo(table, *from);
    if (!addressbook::RunMemoSearch(table, args.positional(1, "TEXT"), from.has_value()))
        throw Failure("Not found");
    out << table.recNo() << "\n";
    return 0;
}

int runDial(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"port", "prefix", "init"}, {"pulse"});
    args.expectPositionals(1, 1);
    auto port = args.value("port");
    if (!port)
        throw UsageError("dial needs --port DEVICE");
    addressbook::DialRequest request;
    request.number = args.value("prefix").value_or("") + args.positional(0, "NUMBER");
    request.init = args.value("init").value_or("");
    request.pulse = args.flag("pulse");
    request.device = *port;
    addressbook::DialLine line = addressbook::PosixDialLine();
    std::string error;
    line.error = [&](const std::string& text) { error = text; };
    line.inform = [&](const std::string& text) { out << text << "\n" << std::flush; };
    if (addressbook::RunDial(request, line) != addressbook::DialResult::Dialled)
        throw Failure(error);
    return 0;
}

BatchCommand tag({"tag", "FILE --recno N",
                  "Toggles the tag of record N and prints \"tagged\" or \"untagged\".", runTag});
BatchCommand clearTags({"clear-tags", "",
                        "Makes a new tag identifier (no record is written) and prints it.",
                        runClearTags});
BatchCommand tagAll({"tag-all", std::string("FILE ") + kFilterOptions,
                     "Tags every record matching the filter and prints the count.", runTagAll});
BatchCommand search({"search", "FILE [--order CAPTION] TEXT",
                     "Soft seek of TEXT in the Sort order CAPTION (default Last Name); prints the "
                     "record number found.",
                     runSearch});
BatchCommand memoSearch({"memo-search", "FILE TEXT [--from N] [--order TAG]",
                         "First record (after record N with --from) whose memo contains TEXT, "
                         "letter case aside; prints its record number.",
                         runMemoSearch});
BatchCommand dial({"dial", "--port DEVICE [--prefix P] [--init S] [--pulse] NUMBER",
                   "Sends the modem dial sequence to DEVICE, as the Dial Phone Number window "
                   "does.",
                   runDial});

} // namespace
} // namespace qp::batch
