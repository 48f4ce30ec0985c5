// The rows of a ListView, kept apart from its control.
//
// The list's row commands may come from any thread, thousands in a burst.
// They work on this model under its own lock and return at once; the
// control runs in owner-data mode, asks the model for the cells it shows,
// and is told the new row count once per burst on its own thread. So a
// command from a worker costs no round trip to the window thread, and what
// the commands answer (indexes, counts, cell texts) is the model's, exactly
// as a list control would have answered.
//
// Platform-free: texts are GBK bytes, as the program holds them.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lyra {

struct ListRow {
    std::vector<std::string> cells;  // cell 0 is the row's main text; missing cells are empty
    int32_t image = -1;              // -1: none
    int32_t stateImage = 0;          // 1-based number in the state image list, 0: none
    int32_t indent = 0;
    int64_t data = 0;
};

// Rows put in at one place since the control was last told: the old rows
// at position or below moved down by count.
struct RowShift {
    int32_t position;
    int32_t count;
};

// What changed since the control was last told.
struct RowChanges {
    bool any = false;      // anything, cell texts included
    bool cleared = false;  // every old row went (before the shifts)
    std::vector<RowShift> shifts;
    int32_t count = 0;     // rows now
};

// Where an old row (as the control knew it) is now; -1 when it is gone.
int32_t MapOldRow(const RowChanges& changes, int32_t oldRow);

class ListRows {
public:
    enum class Order { kNone, kAscending, kDescending };
    // Orders main texts; negative, zero or positive as strcmp.
    using Compare = int (*)(const std::string& a, const std::string& b);
    // Called (outside the lock) on the first change after TakeChanges.
    using Notify = void (*)(void* context);

    ListRows() = default;
    ListRows(const ListRows&) = delete;
    ListRows& operator=(const ListRows&) = delete;

    void SetOrder(Order order, Compare compare);
    void SetNotify(Notify notify, void* context);
    // The list's window is gone: from now on every command answers as on a
    // list without a control (-1, 0, empty), and no one is notified.
    void Detach();

    // position: negative or past the end appends; a sorted list places the
    // row by its main text. Answers the new row's index, -1 once detached.
    int32_t Insert(int32_t position, ListRow row);
    // False (no effect) for a missing row or a negative column.
    bool SetCell(int32_t row, int32_t column, const std::string& text);
    std::string Cell(int32_t row, int32_t column) const;
    // Cells 0 .. columns - 1 of the row, read at one moment; empty texts for
    // a missing row or cell.
    std::vector<std::string> RowTexts(int32_t row, int32_t columns) const;
    // Cells 0 .. columns - 1 of every row, top to bottom, read at one moment.
    std::vector<std::vector<std::string>> AllRowTexts(int32_t columns) const;
    // False once detached.
    bool Clear();
    int32_t Count() const;
    bool SetStateImage(int32_t row, int32_t stateImage);

    // Runs read on the row under the lock; false (read not run) for a missing row.
    template <typename Read>
    bool ReadRow(int32_t row, Read read) const {
        std::lock_guard<std::mutex> lock(mutex_);
        if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
        read(rows_[static_cast<size_t>(row)]);
        return true;
    }

    // As ReadRow, for the row the control shows at shownRow: the control
    // knows the rows as they were when it was last told, so the row is found
    // through the changes since. False for a row gone since, or missing.
    template <typename Read>
    bool ReadShownRow(int32_t shownRow, Read read) const {
        std::lock_guard<std::mutex> lock(mutex_);
        int32_t row = MapOldRow(changes_, shownRow);
        if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
        read(rows_[static_cast<size_t>(row)]);
        return true;
    }

    bool HasChanges() const { return changed_.load(); }
    // The changes since the last call, which start afresh.
    RowChanges TakeChanges();

private:
    // Records a change under the lock; true when someone is to be notified.
    bool NoteChange();
    void NotifyChange();
    size_t SortedPosition(const std::string& text) const;

    mutable std::mutex mutex_;
    std::deque<ListRow> rows_;
    RowChanges changes_;
    std::atomic<bool> changed_{false};
    bool detached_ = false;
    Order order_ = Order::kNone;
    Compare compare_ = nullptr;
    Notify notify_ = nullptr;
    void* notifyContext_ = nullptr;
};

// The row models of the live lists, by window and unit id, so that a
// command finds a list's rows without asking the window thread.
void RegisterListRows(uint32_t windowId, uint32_t unitId, const std::shared_ptr<ListRows>& rows);
// Forgets them, unless another list has registered under the ids since.
void UnregisterListRows(uint32_t windowId, uint32_t unitId, const ListRows* rows);
std::shared_ptr<ListRows> FindListRows(uint32_t windowId, uint32_t unitId);

}  // namespace lyra
