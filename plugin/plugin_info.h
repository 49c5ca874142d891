#pragma once
// What the plugin tells the host about itself.
namespace plugininfo {
inline constexpr char kName[] = "TALVORI";
inline constexpr char kVersion[] = "beta.9";
inline constexpr char kAuthor[] = "The Talvori developers";
inline constexpr char kDescription[] = "This plugin run with TALVORI.";
inline constexpr char kCommandKeyword[] = "talvor";
}  // namespace plugininfo
