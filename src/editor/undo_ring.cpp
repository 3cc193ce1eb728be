#include "editor/undo_ring.h"

#include <algorithm>

namespace torvane {

UndoRing::UndoRing() : entries_(std::make_unique<std::array<Entry, Size>>()) {}

void UndoRing::store(std::uint16_t index, const DeviceImage& image, int page) {
    Entry& e = (*entries_)[index];
    std::copy(image.bytes().begin() + BlockSize, image.bytes().end(), e.bytes.begin());
    e.iapAxis = image.IapAxis;
    e.page = static_cast<std::uint8_t>(page);
    e.serial = ++lastSerial_;
}

void UndoRing::reset(const DeviceImage& image, int page) {
    oldest_ = current_ = newest_ = 0;
    readMarked_ = false;
    store(0, image, page);
}

void UndoRing::markRead() {
    readMarked_ = true;
    readSerial_ = (*entries_)[current_].serial;
}

bool UndoRing::currentBeforeRead() const {
    return readMarked_ && (*entries_)[current_].serial < readSerial_;
}

bool UndoRing::takeSnapshot(const DeviceImage& image, int page, BlockFlags& blockChanged) {
    const Entry& now = (*entries_)[current_];
    bool changed = now.iapAxis != image.IapAxis;
    for (std::size_t k = 0; k < EntryBytes; ++k) {
        if (image.bytes()[BlockSize + k] != now.bytes[k]) {
            changed = true;
            blockChanged[1 + k / BlockSize] = true;
        }
    }
    if (!changed) return false;
    current_ = next(current_);
    newest_ = current_;
    if (oldest_ == current_) oldest_ = next(oldest_);
    store(current_, image, page);
    return true;
}

bool UndoRing::stepBack() {
    if (!canUndo()) return false;
    current_ = previous(current_);
    return true;
}

bool UndoRing::stepForward() {
    if (!canRedo()) return false;
    current_ = next(current_);
    return true;
}

UndoRing::RestoreResult UndoRing::restore(DeviceImage& image, BlockFlags& blockChanged) const {
    const Entry& e = (*entries_)[current_];
    RestoreResult result{false, e.page};
    for (std::size_t k = 0; k < EntryBytes; ++k) {
        if (image.bytes()[BlockSize + k] != e.bytes[k]) {
            image.bytes()[BlockSize + k] = e.bytes[k];
            result.changed = true;
            blockChanged[1 + k / BlockSize] = true;
        }
    }
    if (image.IapAxis != e.iapAxis) {
        image.IapAxis = e.iapAxis;
        result.changed = true;
    }
    return result;
}

}  // namespace torvane
