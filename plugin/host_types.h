#pragma once
// Identifiers and constants of the host's plugin interface (both API levels).
#include <cstdint>

using anyID = uint16_t;  // ClientId: 0 = none, and the end of a host list
using uint64 = uint64_t;  // ConnectionHandlerId, ChannelId
using ClientId = anyID;
using ConnectionHandlerId = uint64;
using ChannelId = uint64;

// A table slot the plugin never calls.
using HostSlot = void (*)();

namespace hostconst {
inline constexpr int kStatusEstablished = 4;
inline constexpr int kClientNickname = 1;
inline constexpr int kClientInputMuted = 5;
inline constexpr int kClientOutputMuted = 6;
inline constexpr int kClientAway = 38;
inline constexpr int kChannelName = 0;
inline constexpr int kServerName = 1;
inline constexpr int kConnectionPing = 0;
inline constexpr int kLogError = 1;
inline constexpr int kLogInfo = 4;
inline constexpr int kLeaveVisibility = 2;
inline constexpr unsigned kErrorNotConnected = 1794;  // 0x0702
}  // namespace hostconst
