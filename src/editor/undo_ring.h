#pragma once
// The undo and redo history: a ring of 200 full copies of the editable image (blocks 1..10 and the
// IAP row axis kept beside it), each with the page on which its change was made. The compare that
// decides whether a commit changed anything also marks the changed blocks for programming. The entry
// that holds what the last passed Read brought in is known, so that a step back to a configuration
// from before it can be told apart.

#include <array>
#include <cstdint>
#include <memory>

#include "image/device_image.h"

namespace torvane {

class UndoRing {
  public:
    static constexpr int Size = 200;
    static constexpr std::size_t EntryBytes = ImageSize - BlockSize;  // image bytes 300..3299

    struct Entry {
        std::array<std::uint8_t, EntryBytes> bytes{};
        std::array<std::uint16_t, 10> iapAxis{};
        std::uint8_t page = 0;
        std::uint32_t serial = 0;  // entries taken later have higher serials
    };
    using BlockFlags = std::array<bool, BlockCount>;

    UndoRing();

    // Empties the history down to one entry holding the image.
    void reset(const DeviceImage& image, int page);
    // Stores the image as a new entry when it differs from the current one (dropping the redo entries
    // and, once the ring is full, the oldest); marks every block whose bytes differ. True when it did.
    bool takeSnapshot(const DeviceImage& image, int page, BlockFlags& blockChanged);

    bool canUndo() const { return current_ != oldest_; }
    bool canRedo() const { return current_ != newest_; }
    // Move the current entry one back or forward; false at the ends.
    bool stepBack();
    bool stepForward();

    struct RestoreResult {
        bool changed = false;
        int page = 0;  // the page stored with the entry
    };
    // Copies the current entry back into the image, marking the blocks it changed.
    RestoreResult restore(DeviceImage& image, BlockFlags& blockChanged) const;

    // The current entry holds what a Read has just brought in.
    void markRead();
    // The current entry was taken before the entry of the last passed Read.
    bool currentBeforeRead() const;

    std::uint16_t oldest() const { return oldest_; }
    std::uint16_t current() const { return current_; }
    std::uint16_t newest() const { return newest_; }
    const Entry& entry(int index) const { return (*entries_)[static_cast<std::size_t>(index)]; }

  private:
    static std::uint16_t next(std::uint16_t i) {
        return static_cast<std::uint16_t>(i + 1 == Size ? 0 : i + 1);
    }
    static std::uint16_t previous(std::uint16_t i) {
        return static_cast<std::uint16_t>(i == 0 ? Size - 1 : i - 1);
    }
    void store(std::uint16_t index, const DeviceImage& image, int page);

    // One block for the life of the window; no allocation per entry.
    std::unique_ptr<std::array<Entry, Size>> entries_;
    std::uint16_t oldest_ = 0;
    std::uint16_t current_ = 0;
    std::uint16_t newest_ = 0;
    std::uint32_t lastSerial_ = 0;
    bool readMarked_ = false;
    std::uint32_t readSerial_ = 0;
};

}  // namespace torvane
