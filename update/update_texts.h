#pragma once
// The update check's names, exactly as the program shows and reads them.
namespace lw::updatetext {

// The boxes' caption; their texts are in the Language table.
inline constexpr char kCaption[] = "Loomwrite_Programmer";

inline constexpr char kTemporaryPrefix[] = "ICP";
inline constexpr char kSection[] = "VORO0Ruza_Tether";
inline constexpr char kVersionKey[] = "Version";
inline constexpr char kUrlKey[] = "URL";

}  // namespace lw::updatetext
