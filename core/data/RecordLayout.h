#pragma once
// Byte layout of a 2560-byte record in a daily data file; all numbers little-endian.
#include <cstdint>
#include <cstring>

namespace record_layout {

constexpr int kSize = 2560;
constexpr int kMaxPixels = 280;

constexpr int kTypeCode = 0, kTypeCodeWidth = 4;
constexpr int kIdText = 4, kStText = 36, kSerial = 68, kFvText = 100, kFtText = 132, kTextWidth = 32;
constexpr int kExtraInteger = 164;
constexpr int kExtraReal = 168;
constexpr int kTemperature = 172;
constexpr int kCoefficients = 176;  // c0..c4
constexpr int kYear = 196, kYearWidth = 5;
constexpr int kMonth = 201, kDay = 204, kHour = 207, kMinute = 210, kSecond = 213, kFieldWidth = 3;
constexpr int kMemo = 216, kMemoWidth = 64;
constexpr int kValid = 280;
constexpr int kExposure = 284;
constexpr int kLongitude = 288;
constexpr int kLatitude = 292;
constexpr int kAltitude = 296;
constexpr int kFovCode = 300;
constexpr int kDarkFlag = 304;
constexpr int kPixelCount = 308;
constexpr int kC5 = 312;
constexpr int kHeaderEnd = 316;

inline int CalibrationOffset(int n) { return kSize - 8 * n; }
inline int SignalOffset(int n) { return kSize - 4 * n; }

inline void PutU32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
inline uint32_t GetU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline void PutI32(unsigned char* p, int32_t v) { PutU32(p, static_cast<uint32_t>(v)); }
inline int32_t GetI32(const unsigned char* p) { return static_cast<int32_t>(GetU32(p)); }
inline void PutF32(unsigned char* p, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    PutU32(p, u);
}
inline float GetF32(const unsigned char* p) {
    uint32_t u = GetU32(p);
    float v;
    std::memcpy(&v, &u, 4);
    return v;
}

}  // namespace record_layout
