#include "sim/loopback_port.h"

#include <algorithm>

namespace torvane {

bool LoopbackPort::open(const std::string& device) {
    device_ = device;
    open_ = !knobs_.portMissing;
    return open_;
}

void LoopbackPort::close() {
    // Closing the line loses whatever was in flight in either direction.
    open_ = false;
    partial_.clear();
    received_.clear();
    held_.clear();
}

bool LoopbackPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_) return false;
    partial_.insert(partial_.end(), bytes.begin(), bytes.end());
    std::size_t used = 0;
    while (partial_.size() - used >= FrameSize) {
        const std::span<const std::uint8_t> request(partial_.data() + used, FrameSize);
        used += FrameSize;
        DeviceFrame frame;
        std::ranges::copy(request, frame.begin());
        recent_.push_back(frame);
        if (recent_.size() > RecentRequestLimit) recent_.pop_front();
        ++requestCount_;

        std::vector<std::uint8_t> answer = unit_.HandleRequest(request);
        if (answer.empty()) continue;
        const int late = std::max(0, unit_.faults().lateAnswerPolls);
        if (late == 0) {
            received_.insert(received_.end(), answer.begin(), answer.end());
        } else {
            held_.push_back({late, std::move(answer)});
        }
    }
    partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(used));
    return true;
}

std::optional<std::size_t> LoopbackPort::bytesWaiting() {
    if (!open_) return std::nullopt;
    unit_.Advance(knobs_.secondsPerPoll);
    // A held answer arrives once it has been passed over by its number of polls.
    for (auto& h : held_) --h.pollsLeft;
    while (!held_.empty() && held_.front().pollsLeft < 0) {
        received_.insert(received_.end(), held_.front().bytes.begin(), held_.front().bytes.end());
        held_.pop_front();
    }
    if (knobs_.statusQueryFails) return std::nullopt;
    return received_.size();
}

std::size_t LoopbackPort::read(std::span<std::uint8_t> buffer) {
    if (!open_) return 0;
    const std::size_t n = std::min(buffer.size(), received_.size());
    std::copy_n(received_.begin(), n, buffer.begin());
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void LoopbackPort::injectReceived(std::span<const std::uint8_t> bytes) {
    received_.insert(received_.end(), bytes.begin(), bytes.end());
}

}  // namespace torvane
