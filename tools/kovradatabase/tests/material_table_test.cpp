// kovradatabase: the built material database read as a table, refused files
// reported, and the window showing every material read-only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTableWidget>

#include <algorithm>

#include "MaterialTable.h"
#include "MaterialWindow.h"
#include "tempFolder.h"

namespace {

std::string builtDatabase() { return MaterialTable_defaultPath(std::string(KOVRA_BIN_DIR) + "/"); }

int column(const MaterialTable& t, const std::string& header)
{
    auto it = std::find(t.headers.begin(), t.headers.end(), header);
    return it == t.headers.end() ? -1 : static_cast<int>(it - t.headers.begin());
}

const std::vector<std::string>* row(const MaterialTable& t, const std::string& name)
{
    int nameColumn = column(t, "Name");
    for (const auto& r : t.rows) {
        if (r[nameColumn] == name) {
            return &r;
        }
    }
    return nullptr;
}

}  // namespace

TEST(MaterialTable, ReadsEveryMaterialWithUnitsInTheHeaders)
{
    MaterialTable t = MaterialTable_load(builtDatabase());
    ASSERT_TRUE(t.error.empty()) << t.error;
    EXPECT_GE(t.rows.size(), 30u);
    ASSERT_GE(column(t, "Name"), 0);
    int gap = column(t, "Bandgap (eV)");
    ASSERT_GE(gap, 0);
    EXPECT_GE(column(t, "MobilityN (cm2/Vs)"), 0);
    const auto* si = row(t, "Si");
    ASSERT_NE(si, nullptr);
    EXPECT_EQ((*si)[gap], "1.12");
}

TEST(MaterialTable, NumbersArePrintedWithAPointWhateverTheLocale)
{
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    MaterialTable t = MaterialTable_load(builtDatabase());
    const auto* si = row(t, "Si");
    ASSERT_NE(si, nullptr);
    EXPECT_EQ((*si)[column(t, "Bandgap (eV)")], "1.12");
}

TEST(MaterialTable, MissingOrForeignFilesAreReportedNotCreated)
{
    TempFolder folder("kovradatabase-");
    std::string missing = folder.file("none.kovradb");
    MaterialTable t = MaterialTable_load(missing);
    EXPECT_TRUE(t.rows.empty());
    EXPECT_NE(t.error.find("Cannot open"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing));  // read-only: never made

    std::string text = folder.write("text.kovradb", "not a database at all, just some words\n");
    MaterialTable foreign = MaterialTable_load(text);
    EXPECT_TRUE(foreign.rows.empty());
    EXPECT_FALSE(foreign.error.empty());
}

TEST(MaterialWindow, ShowsEveryMaterialReadOnly)
{
    int argc = 1;
    char name[] = "kovradatabase";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    MaterialTable t = MaterialTable_load(builtDatabase());
    MaterialWindow window(builtDatabase(), t);
    window.show();
    QTableWidget* table = window.findChild<QTableWidget*>("KovraDatabase_Table");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), static_cast<int>(t.rows.size()));
    EXPECT_EQ(table->columnCount(), static_cast<int>(t.headers.size()));
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(window.findChild<QLabel*>("KovraDatabase_Status")->text().contains("materials"));
}
