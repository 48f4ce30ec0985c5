#include "window_units/components/list_view_rows.h"

#include <algorithm>
#include <map>
#include <utility>

namespace lyra {

int32_t MapOldRow(const RowChanges& changes, int32_t oldRow) {
    if (oldRow < 0 || changes.cleared) return -1;
    int32_t row = oldRow;
    for (const RowShift& shift : changes.shifts) {
        if (row >= shift.position) row += shift.count;
    }
    return row;
}

void ListRows::SetOrder(Order order, Compare compare) {
    std::lock_guard<std::mutex> lock(mutex_);
    order_ = compare != nullptr ? order : Order::kNone;
    compare_ = compare;
}

void ListRows::SetNotify(Notify notify, void* context) {
    std::lock_guard<std::mutex> lock(mutex_);
    notify_ = notify;
    notifyContext_ = context;
}

void ListRows::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    detached_ = true;
    notify_ = nullptr;
    rows_.clear();
}

bool ListRows::NoteChange() {
    changes_.any = true;
    changes_.count = static_cast<int32_t>(rows_.size());
    return !changed_.exchange(true) && notify_ != nullptr;
}

void ListRows::NotifyChange() {
    Notify notify;
    void* context;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        notify = notify_;
        context = notifyContext_;
    }
    if (notify != nullptr) notify(context);
}

size_t ListRows::SortedPosition(const std::string& text) const {
    // After the rows that sort equal, as a list control places them.
    auto before = [&](const ListRow& row) {
        const std::string& main = row.cells.empty() ? std::string() : row.cells[0];
        int order = compare_(text, main);
        return order_ == Order::kAscending ? order < 0 : order > 0;
    };
    return static_cast<size_t>(std::find_if(rows_.begin(), rows_.end(), before) - rows_.begin());
}

int32_t ListRows::Insert(int32_t position, ListRow row) {
    bool notify;
    size_t at;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (detached_) return -1;
        if (order_ != Order::kNone) {
            at = SortedPosition(row.cells.empty() ? std::string() : row.cells[0]);
        } else {
            at = position < 0 || static_cast<size_t>(position) > rows_.size() ? rows_.size()
                                                                              : static_cast<size_t>(position);
        }
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
        auto index = static_cast<int32_t>(at);
        // Runs of rows put in at one place (the top, the end) stay one shift.
        if (!changes_.shifts.empty() && index >= changes_.shifts.back().position &&
            index <= changes_.shifts.back().position + changes_.shifts.back().count) {
            ++changes_.shifts.back().count;
        } else {
            changes_.shifts.push_back(RowShift{index, 1});
        }
        notify = NoteChange();
    }
    if (notify) NotifyChange();
    return static_cast<int32_t>(at);
}

bool ListRows::SetCell(int32_t row, int32_t column, const std::string& text) {
    bool notify;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (row < 0 || column < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
        std::vector<std::string>& cells = rows_[static_cast<size_t>(row)].cells;
        if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
        cells[static_cast<size_t>(column)] = text;
        notify = NoteChange();
    }
    if (notify) NotifyChange();
    return true;
}

std::string ListRows::Cell(int32_t row, int32_t column) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (row < 0 || column < 0 || static_cast<size_t>(row) >= rows_.size()) return std::string();
    const std::vector<std::string>& cells = rows_[static_cast<size_t>(row)].cells;
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
}

namespace {

std::vector<std::string> TextsOf(const ListRow& row, int32_t columns) {
    std::vector<std::string> texts(static_cast<size_t>(columns > 0 ? columns : 0));
    for (size_t i = 0; i < texts.size() && i < row.cells.size(); ++i) texts[i] = row.cells[i];
    return texts;
}

}  // namespace

std::vector<std::string> ListRows::RowTexts(int32_t row, int32_t columns) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return TextsOf(ListRow{}, columns);
    return TextsOf(rows_[static_cast<size_t>(row)], columns);
}

std::vector<std::vector<std::string>> ListRows::AllRowTexts(int32_t columns) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::vector<std::string>> texts;
    texts.reserve(rows_.size());
    for (const ListRow& row : rows_) texts.push_back(TextsOf(row, columns));
    return texts;
}

bool ListRows::Clear() {
    bool notify;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (detached_) return false;
        rows_.clear();
        changes_.cleared = true;
        changes_.shifts.clear();
        notify = NoteChange();
    }
    if (notify) NotifyChange();
    return true;
}

int32_t ListRows::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int32_t>(rows_.size());
}

bool ListRows::SetStateImage(int32_t row, int32_t stateImage) {
    bool notify;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
        rows_[static_cast<size_t>(row)].stateImage = stateImage;
        notify = NoteChange();
    }
    if (notify) NotifyChange();
    return true;
}

RowChanges ListRows::TakeChanges() {
    std::lock_guard<std::mutex> lock(mutex_);
    RowChanges taken = std::move(changes_);
    changes_ = RowChanges{};
    taken.count = static_cast<int32_t>(rows_.size());
    changes_.count = taken.count;
    changed_.store(false);
    return taken;
}

namespace {

std::mutex gRegistryMutex;
std::map<std::pair<uint32_t, uint32_t>, std::shared_ptr<ListRows>>& Registry() {
    static auto* registry = new std::map<std::pair<uint32_t, uint32_t>, std::shared_ptr<ListRows>>();
    return *registry;
}

}  // namespace

void RegisterListRows(uint32_t windowId, uint32_t unitId, const std::shared_ptr<ListRows>& rows) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    Registry()[{windowId, unitId}] = rows;
}

void UnregisterListRows(uint32_t windowId, uint32_t unitId, const ListRows* rows) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    auto found = Registry().find({windowId, unitId});
    if (found != Registry().end() && found->second.get() == rows) Registry().erase(found);
}

std::shared_ptr<ListRows> FindListRows(uint32_t windowId, uint32_t unitId) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    auto found = Registry().find({windowId, unitId});
    return found != Registry().end() ? found->second : nullptr;
}

}  // namespace lyra
