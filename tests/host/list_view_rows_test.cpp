// The list rows model against a plain reference: the answers a list control
// gives (indexes, counts, cells), and where the rows the control last knew
// have gone since.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "window_units/components/list_view_rows.h"

namespace lyra {
namespace {

ListRow RowOf(const std::string& main) {
    ListRow row;
    row.cells.push_back(main);
    return row;
}

using Cells = std::vector<std::string>;

// The first columns cells, missing ones empty.
Cells CellsOf(const Cells& cells, size_t columns) {
    Cells texts(columns);
    for (size_t i = 0; i < columns && i < cells.size(); ++i) texts[i] = cells[i];
    return texts;
}

TEST(ListRows, AnswersAsAListControlAgainstAPlainReference) {
    ListRows rows;
    std::vector<std::vector<std::string>> reference;
    std::mt19937 random(11);
    for (int step = 0; step < 4000; ++step) {
        int choice = static_cast<int>(random() % 100);
        int count = static_cast<int>(reference.size());
        if (choice < 40) {
            // Mostly the top and the end, sometimes anywhere, past the end or negative.
            int position = choice < 15 ? 0 : choice < 25 ? -1 : choice < 30 ? count + 3
                                                          : static_cast<int>(random() % (count + 1));
            std::string text = "r" + std::to_string(step);
            int expected = position < 0 || position > count ? count : position;
            ASSERT_EQ(rows.Insert(position, RowOf(text)), expected) << "step " << step;
            reference.insert(reference.begin() + expected, std::vector<std::string>{text});
        } else if (choice < 85) {
            int row = static_cast<int>(random() % (count + 2)) - 1;
            int column = static_cast<int>(random() % 5);
            std::string text = "c" + std::to_string(step);
            bool exists = row >= 0 && row < count;
            ASSERT_EQ(rows.SetCell(row, column, text), exists) << "step " << step;
            if (exists) {
                auto& cells = reference[static_cast<size_t>(row)];
                if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
                cells[static_cast<size_t>(column)] = text;
            }
        } else if (choice < 87) {
            ASSERT_TRUE(rows.Clear());
            reference.clear();
        } else {
            int row = static_cast<int>(random() % (count + 2)) - 1;
            int column = static_cast<int>(random() % 6) - 1;
            std::string expected;
            if (row >= 0 && row < count && column >= 0 && static_cast<size_t>(column) < reference[row].size()) {
                expected = reference[static_cast<size_t>(row)][static_cast<size_t>(column)];
            }
            ASSERT_EQ(rows.Cell(row, column), expected) << "step " << step << " row " << row << " column " << column;
            bool exists = row >= 0 && row < count;
            ASSERT_EQ(rows.RowTexts(row, 4), CellsOf(exists ? reference[static_cast<size_t>(row)] : Cells{}, 4))
                << "step " << step << " row " << row;
        }
        ASSERT_EQ(rows.Count(), static_cast<int>(reference.size()));
        if (step % 97 == 0) {
            std::vector<Cells> expected;
            for (const Cells& cells : reference) expected.push_back(CellsOf(cells, 3));
            ASSERT_EQ(rows.AllRowTexts(3), expected) << "step " << step;
        }
    }
}

// Each row's main text is its identity: after any changes, every row the
// control knew maps to where that row is now, or to -1 when it is gone.
TEST(ListRows, OldRowsMapToWhereTheyAreNow) {
    ListRows rows;
    std::mt19937 random(7);
    int next = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> before;
        for (int i = 0; i < rows.Count(); ++i) before.push_back(rows.Cell(i, 0));
        rows.TakeChanges();
        int changes = static_cast<int>(random() % 12);
        bool cleared = false;
        for (int c = 0; c < changes; ++c) {
            int choice = static_cast<int>(random() % 20);
            int count = rows.Count();
            if (choice == 0) {
                rows.Clear();
                cleared = true;
            } else if (choice < 4) {
                rows.SetCell(static_cast<int>(random() % (count + 1)), 1, "x");
            } else {
                int position = choice < 10 ? 0 : choice < 14 ? -1 : static_cast<int>(random() % (count + 1));
                rows.Insert(position, RowOf("id" + std::to_string(next++)));
            }
        }
        for (size_t old = 0; old < before.size(); ++old) {
            std::string shown = "<gone>";
            rows.ReadShownRow(static_cast<int32_t>(old), [&](const ListRow& row) { shown = row.cells[0]; });
            ASSERT_EQ(shown, cleared ? "<gone>" : before[old]) << "the control still shows its old rows";
        }
        RowChanges taken = rows.TakeChanges();
        EXPECT_EQ(taken.any, changes > 0);
        EXPECT_EQ(taken.cleared, cleared);
        EXPECT_EQ(taken.count, rows.Count());
        for (size_t old = 0; old < before.size(); ++old) {
            int32_t now = MapOldRow(taken, static_cast<int32_t>(old));
            if (cleared) {
                ASSERT_EQ(now, -1);
            } else {
                ASSERT_GE(now, 0) << "round " << round;
                ASSERT_EQ(rows.Cell(now, 0), before[old]) << "round " << round << " old row " << old;
            }
        }
        EXPECT_FALSE(rows.HasChanges());
    }
}

int g_notified = 0;
void CountNotice(void*) { ++g_notified; }

TEST(ListRows, TellsOncePerBurstAndAnswersNeutrallyOnceDetached) {
    ListRows rows;
    g_notified = 0;
    rows.SetNotify(&CountNotice, nullptr);
    for (int i = 0; i < 100; ++i) rows.Insert(0, RowOf("a"));
    rows.SetCell(3, 2, "b");
    EXPECT_EQ(g_notified, 1) << "one notice until the changes are taken";
    RowChanges taken = rows.TakeChanges();
    ASSERT_EQ(taken.shifts.size(), 1u) << "rows put in at the top are one shift";
    EXPECT_EQ(taken.shifts[0].position, 0);
    EXPECT_EQ(taken.shifts[0].count, 100);
    rows.Insert(-1, RowOf("end"));
    EXPECT_EQ(g_notified, 2);

    rows.Detach();
    EXPECT_EQ(rows.Insert(0, RowOf("late")), -1);
    EXPECT_FALSE(rows.SetCell(0, 0, "late"));
    EXPECT_FALSE(rows.Clear());
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(rows.Cell(0, 0), "");
    EXPECT_EQ(g_notified, 2) << "no notice once detached";
}

int ByBytes(const std::string& a, const std::string& b) { return std::strcmp(a.c_str(), b.c_str()); }

TEST(ListRows, ASortedListPlacesRowsByTheirMainText) {
    ListRows ascending;
    ascending.SetOrder(ListRows::Order::kAscending, &ByBytes);
    EXPECT_EQ(ascending.Insert(-1, RowOf("m")), 0);
    EXPECT_EQ(ascending.Insert(0, RowOf("z")), 1) << "the position is ignored";
    EXPECT_EQ(ascending.Insert(-1, RowOf("a")), 0);
    EXPECT_EQ(ascending.Insert(-1, RowOf("m")), 2) << "after the equal one";
    ListRows descending;
    descending.SetOrder(ListRows::Order::kDescending, &ByBytes);
    descending.Insert(-1, RowOf("b"));
    EXPECT_EQ(descending.Insert(-1, RowOf("c")), 0);
    EXPECT_EQ(descending.Insert(-1, RowOf("a")), 2);
}

TEST(ListRows, TheRegistryFindsLiveListsOnly) {
    auto first = std::make_shared<ListRows>();
    auto second = std::make_shared<ListRows>();
    RegisterListRows(1, 2, first);
    EXPECT_EQ(FindListRows(1, 2), first);
    EXPECT_EQ(FindListRows(1, 3), nullptr);
    RegisterListRows(1, 2, second);
    UnregisterListRows(1, 2, first.get());
    EXPECT_EQ(FindListRows(1, 2), second) << "a newer list under the same ids stays";
    UnregisterListRows(1, 2, second.get());
    EXPECT_EQ(FindListRows(1, 2), nullptr);
}

}  // namespace
}  // namespace lyra
