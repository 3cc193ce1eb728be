#pragma once
// Whole-file reads and crash-safe writes for the files the configurator keeps (parameter files,
// settings, image backup): the new contents go to "<path>.tmp" first and are renamed over the
// target only when completely written, so a crash never leaves a half-written file behind.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// Writes `bytes` to "<path>.tmp", flushes it and renames it to `path` (replacing an existing file).
// Returns false, and leaves any existing file at `path` untouched, when any step fails.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file as bytes. Empty when the file cannot be opened or read, or is larger than
// `maxBytes` (our files are a few kilobytes; the limit keeps a stray huge file from exhausting memory).
inline constexpr std::size_t DefaultReadLimit = 64u * 1024u * 1024u;
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes = DefaultReadLimit);

}  // namespace torvane
