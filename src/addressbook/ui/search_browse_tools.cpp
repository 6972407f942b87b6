#include "addressbook/ui/search_browse_tools.h"

#include "addressbook/record_rules.h"
#include "addressbook/search.h"
#include "addressbook/tagging.h"
#include "addressbook/tool_registry.h"
#include "addressbook/ui/address_main.h"
#include "addressbook/ui/browse_window.h"
#include "addressbook/ui/dial_window.h"
#include "addressbook/ui/search_window.h"
#include "addressbook/ui/tagging_window.h"
#include "store/address_filter.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

namespace qp::addressbook {

namespace {

TAddressMain* mainOf(ToolContext& c) {
    return qobject_cast<TAddressMain*>(c.window);
}

// ToggleTag on the current record, and the filter again when the record
// left it.
void toggleTag(ToolContext& c) {
    store::Table& t = *c.table;
    const std::uint32_t recno = t.recNo();
    if (auto s = ToggleTag(t, c.tagId); !s.ok()) {
        ui::ShowInfo(ui::qs(s.error()), c.window);
        return;
    }
    if (t.queryRecCount() == 0) {
        if (auto* w = mainOf(c))
            w->ApplyFilter();
    } else if (t.recNo() != recno) {
        t.go(recno);
    }
}

void memoSearch(ToolContext& c, bool fromNext) {
    auto* w = mainOf(c);
    std::string text;
    if (!fromNext) {
        QInputDialog ask(c.window);
        ask.setWindowTitle(QStringLiteral("Memo Search"));
        ask.setLabelText(QStringLiteral("Search For"));
        ask.setTextValue(w ? ui::qs(w->memoSearchText()) : QString());
        if (auto* edit = ask.findChild<QLineEdit*>())
            edit->setMaxLength(int(kMemoSearchTextLimit));
        if (ask.exec() != QDialog::Accepted)
            return;
        text = ask.textValue().toStdString();
        if (w)
            w->setMemoSearch(text, false);
    } else if (w) {
        text = w->memoSearchText();
    }
    TSearchingWindow searching(*c.table, text, fromNext, c.window);
    searching.exec();
    if (w)
        w->setMemoSearch(text, searching.found());
}

QString captionOfTag(const QString& tag) {
    for (const auto& o : kSortOrders)
        if (QString::fromUtf8(o.tag.data(), qsizetype(o.tag.size())) == tag)
            return ui::qs(CaptionText(o.caption));
    return ui::qs(CaptionText(kSortOrders[0].caption));
}

} // namespace

void RegisterSearchBrowseTools() {
    RegisterTool(Tool::ToggleTag, toggleTag);
    RegisterTool(Tool::ClearTags, [](ToolContext& c) {
        auto settings = store::SettingsFile::standard();
        const std::string id = ClearTagsIdentifier(c.tagId, store::CurrentLocalDateTime());
        if (auto st = SaveTagPref(settings, id); !st) {
            // The old identifier stays in force: no record lost its tag.
            ui::ShowInfo(ui::qs("The tags could not be cleared: the new tag identifier could "
                                "not be stored.\n" +
                                st.error()),
                         c.window);
            return;
        }
        // The window's identifier must be the new one before it reapplies the filter.
        if (auto* w = mainOf(c))
            w->LoadPreferences();
    });
    RegisterTool(Tool::TagAllFilterMatches, [](ToolContext& c) {
        if (!ui::AskYesNo(QStringLiteral("Tag all records matching filter?"),
                          QStringLiteral("TAG ALL"), c.window))
            return;
        TTaggingWindow window(*c.table, c.tagId, c.window);
        window.exec();
    });
    RegisterTool(Tool::Search, [](ToolContext& c) {
        auto* w = mainOf(c);
        TSearchWindow window(captionOfTag(w ? w->currentOrder() : QString()), c.window);
        if (window.exec() != QDialog::Accepted || window.searchText().isEmpty())
            return;
        const SortOrder* order = SortOrderForCaption(window.orderCaption().toStdString());
        if (!order)
            return;
        if (w)
            w->SetOrderTo(window.orderCaption());
        if (!SearchInOrder(*c.table, order->tag, window.searchText().toStdString()))
            QApplication::beep();
    });
    RegisterTool(Tool::SearchMemo, [](ToolContext& c) { memoSearch(c, false); });
    RegisterTool(Tool::FindNext, [](ToolContext& c) { memoSearch(c, true); });
    RegisterTool(Tool::Browse, [](ToolContext& c) {
        TBrowseWindow window(
            *c.table, c.tagId, [&c] { toggleTag(c); }, c.window);
        window.exec();
    });
    for (auto [tool, field] :
         {std::pair{Tool::DialPhone1, "PHONE"}, std::pair{Tool::DialPhone2, "PHONE2"}}) {
        RegisterTool(tool, [field](ToolContext& c) {
            TDialWindow window(ui::qs(c.table->getString(field)), c.window);
            window.exec();
        });
    }
}

} // namespace qp::addressbook
