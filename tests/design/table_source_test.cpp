// Data objects reading a real address file through the table data source.
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/text_labels.h"
#include "store/address_file.h"
#include "store/table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;

TEST(TableSource, FieldsAndCalculatedValuesOfTheCurrentRecord) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("add0001.DBF").toStdString();
    ASSERT_TRUE(qp::store::createAddressFile(path, {}).ok());
    auto opened = qp::store::openAddressFile(path);
    ASSERT_TRUE(opened.ok());
    qp::store::Table& t = *opened;
    ASSERT_TRUE(t.append().ok());
    ASSERT_TRUE(t.replace("FNAME", "Ada").ok());
    ASSERT_TRUE(t.replace("LNAME", "Lovelace").ok());
    ASSERT_TRUE(t.replace("CITY", "London").ok());
    ASSERT_TRUE(t.post().ok());

    TTableDataSource ds(&t);
    ds.DisplayLabels["LNAME"] = "Last Name";
    const auto fields = ds.Fields();
    ASSERT_GE(fields.size(), 23u + 5u);
    EXPECT_EQ(fields.back().Name, "DisplayDate");
    EXPECT_EQ(ds.FieldByLabel("Last Name")->Name, "LNAME");
    EXPECT_EQ(ds.FieldByLabel("MEMO")->Type, 'M');

    TGLabelPanel panel;
    panel.SetSize(300, 200);
    panel.SetDataSet(&ds);
    auto add = [&](const QString& label) {
        auto* d = static_cast<TGPDLabel*>(
            panel.AddObject(std::make_unique<TGPDLabel>(), QRect(0, 0, 100, 20)));
        d->DataFieldDescript = label;
        return d;
    };
    auto* last = add("Last Name");
    auto* full = add("FullName");
    auto* city = add("CITY");
    auto* gone = add("LNAME"); // relabelled: no field carries this label any more
    panel.RefreshDataValues();
    EXPECT_EQ(last->Caption(), "Lovelace");
    EXPECT_TRUE(full->Caption().contains("Ada"));
    EXPECT_TRUE(full->Caption().contains("Lovelace"));
    EXPECT_EQ(city->Caption(), "London");
    EXPECT_EQ(gone->Caption(), "<undefined field>");
}
