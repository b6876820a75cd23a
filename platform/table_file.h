#pragma once
// Reading the conversion table's file. The format belongs to core/ConvTable;
// this only fetches the bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace nw {

inline constexpr const char* kConvTableFileName = "F2J.txt";

// Reads folder/F2J.txt for reading only, up to maxBytes. A missing file is
// created empty where the folder can be written, for the user to fill; every
// failure gives no bytes, silently.
std::vector<std::uint8_t> readTableFile(const std::string& folder, std::size_t maxBytes);

} // namespace nw
