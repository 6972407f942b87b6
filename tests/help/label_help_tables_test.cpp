// The label windows and the design dialogs carry their help tables, read
// without a fault, at the pop-up width their kind of window uses.
#include "help/help_service.h"
#include "help/help_table.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qp::help;

TEST(LabelHelpTables, EveryLabelWindowAndDesignDialogHasItsTable) {
    const struct {
        const char* key;
        int width;
    } windows[] = {
        {"TLabelLayoutForm", 300},     {"TSelectLabelTemplateForm", 200},
        {"TUserLabelLayoutForm", 200}, {"TLabelSetupScreen", 200},
        {"TSortBulkMail", 200},        {"TSelectSpecificLabels", 300},
        {"TTextDialog", 300},          {"TSelectFieldDialog", 300},
        {"TCounterDialog", 300},       {"TSymbolSelector", 300},
        {"TMultiLineEditor", 300},     {"TText3DEffectsDialog", 300},
        {"TAddressLayoutDialog", 300},
    };
    const QStringList keys = WindowTableKeys();
    for (const auto& w : windows) {
        const QString key = QString::fromLatin1(w.key);
        ASSERT_TRUE(keys.contains(key)) << w.key;
        QFile f(QStringLiteral(":/qp/help/tables/") + key + QStringLiteral(".help"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << w.key;
        const ParseResult parsed = ParseHelpTable(QString::fromUtf8(f.readAll()));
        EXPECT_TRUE(parsed.errors.isEmpty())
            << w.key << ": " << parsed.errors.join("; ").toStdString();
        EXPECT_EQ(parsed.table.maxWidth, w.width) << w.key;
        // Every entry serves a text, redirects included.
        for (const auto& e : parsed.table.entries) {
            const auto at = parsed.table.resolve(e.name);
            ASSERT_TRUE(at) << w.key << ": " << e.name.toStdString();
            EXPECT_TRUE(parsed.table.entries[*at].data.text.has_value()) << e.name.toStdString();
        }
        if (key != QLatin1String("TSortBulkMail")) { // a Cancel button only
            EXPECT_TRUE(parsed.table.find(QStringLiteral("HelpButton"))) << w.key;
        }
    }
}
