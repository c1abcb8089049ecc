// Basic types of the radio protocol shared by every layer.
#pragma once

#include <cstdint>
#include <vector>

namespace orvalis {

using RadioId = std::uint16_t;
using CommandCode = std::uint8_t;
using Bytes = std::vector<std::uint8_t>;

// Largest data (CommandCode included) one frame may carry: the frame is
// built in a 1000-byte buffer with room for two prefixes, id and CRC.
inline constexpr std::size_t kMaxFrameData = 990;
inline constexpr std::size_t kFrameBufferSize = 1000;
inline constexpr std::uint8_t kGatewayMarker = 0xEF;
inline constexpr RadioId kControllerId = 0xFFFA;

namespace code {
inline constexpr CommandCode kLogin = 0x80;
inline constexpr CommandCode kSyncAnalysis = 0xC3;
inline constexpr CommandCode kConfigure = 0xCA;
inline constexpr CommandCode kPartitions = 0xCB;
inline constexpr CommandCode kPeriodicTest = 0xCC;
inline constexpr CommandCode kPasswordResult = 0xCD;
inline constexpr CommandCode kPasswordChange = 0xCE;
inline constexpr CommandCode kRouteTrace = 0xD2;
inline constexpr CommandCode kRouteQuery = 0xD3;
inline constexpr CommandCode kRemoteRead = 0xD4;
inline constexpr CommandCode kSignalAny = 0xD5;
inline constexpr CommandCode kSignal = 0xD7;
inline constexpr CommandCode kNoise = 0xD8;
inline constexpr CommandCode kChannel = 0xD9;
inline constexpr CommandCode kLocalRead = 0xE2;
inline constexpr CommandCode kTable = 0xE3;
inline constexpr CommandCode kPassThrough = 0xE4;
inline constexpr CommandCode kDiagnostics = 0xE7;
inline constexpr CommandCode kFwErase = 0xE9;
inline constexpr CommandCode kFwEnd = 0xEA;
inline constexpr CommandCode kFwWrite = 0xEB;
inline constexpr CommandCode kP2pStatus = 0xEC;
inline constexpr CommandCode kCommandEventMode = 0xED;
inline constexpr CommandCode kRelayEcho = 0xEE;
inline constexpr CommandCode kRssiList = 0xA1;
inline constexpr CommandCode kPgmVersion = 0x60;
inline constexpr CommandCode kPgmEvtd4a = 0x70;
inline constexpr CommandCode kPgmInputs = 0x71;
inline constexpr CommandCode kPgmEvtd1a = 0x72;
inline constexpr CommandCode kPgmEvtd1b = 0x73;
inline constexpr CommandCode kPgmOutputs = 0x74;
inline constexpr CommandCode kPgmEvtr3a = 0x77;
inline constexpr CommandCode kPgmEvtr3b = 0x78;
inline constexpr CommandCode kPgmEvtd4b = 0x79;
}  // namespace code

}  // namespace orvalis
