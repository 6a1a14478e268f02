#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace core {

// Caps on what the game reads, per kind of file: far above anything it ships or writes,
// far below what would exhaust memory. A larger file is refused whole, never cut.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{4} << 20;  // language files, credits, high scores
inline constexpr std::size_t kMaxBuildingFileBytes = std::size_t{256} << 10;
inline constexpr std::size_t kMaxDescriptionFileBytes = std::size_t{256} << 10;
inline constexpr std::size_t kMaxOptionsFileBytes = std::size_t{64} << 10;

// Reads a whole regular file of at most `max_bytes` bytes. Nothing when the file cannot be
// opened or is a folder. Anything else in its place (a pipe, a device, a socket), a file
// over the cap or a failed read throws DataError naming the file: a pipe would block the
// game and a device would feed it without end, so neither is ever read from.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes);

}  // namespace core
