#pragma once

#include "model/ConfigImage.h"

// Where every field of the configuration image lives. No other file writes a
// bare position. [n] is the call number: 1-4 for calls, 1-2 for group calls.
namespace field {

inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 2;
inline constexpr int Freq = 3; // seven decimal digits, one per byte
inline constexpr int FreqDigits = 7;
inline constexpr int CSpace = 10;
inline constexpr int WriteMark = 11;

constexpr int T1Code(int n) { return 12 + 4 * n; } // 16-bit
constexpr int T2Code(int n) { return 14 + 4 * n; } // 16-bit

inline constexpr int Duty = 48;
inline constexpr int BandWidth = 49;
inline constexpr int Tone1Limit = 50; // 16-bit
inline constexpr int Tone1Len = 52;   // 16-bit
inline constexpr int Tone2Limit = 54; // 16-bit
inline constexpr int Tone2Len = 56;   // 16-bit
inline constexpr int BS_Period = 58;
inline constexpr int BS_Duty = 59;
inline constexpr int RecordMax = 62;
inline constexpr int BatteryLow = 63;
inline constexpr int RSSI = 64;
inline constexpr int AutoMonitor = 65;
inline constexpr int AudioLock = 66;
inline constexpr int ResetCon = 67;
inline constexpr int Delay = 68;
inline constexpr int SystemFlags = 69;
inline constexpr int Reminder = 70;
inline constexpr int Tone3Len = 73; // 16-bit
inline constexpr int RFDelay = 75;
inline constexpr int RSSI2 = 76;
inline constexpr int NoiseLimit = 77;
inline constexpr int GapMax = 78;
inline constexpr int SSI = 79;
inline constexpr int DecorderReset = 80;
inline constexpr int Flags = 81;
inline constexpr int DelayFullTime = 82;
inline constexpr int Squelch = 83;

constexpr int T3Code(int n) { return 85 + 2 * n; } // 16-bit

inline constexpr int GDuty = 95;

constexpr int CallRecord(int n) { return 94 + 2 * n; } // priority bit 7, alert type bits 0-5
constexpr int AlertTime(int n) { return 95 + 2 * n; }
constexpr int GroupRecord(int n) { return 110 + 2 * n; }
constexpr int GAlertTime(int n) { return 111 + 2 * n; }

// Bytes 104 and 106 whose bit 7 every Write rewrites.
inline constexpr int WriteBit7A = 104;
inline constexpr int WriteBit7B = 106;

inline constexpr int PLLR = 120; // 32-bit
inline constexpr int PLLN = 124; // 32-bit

constexpr int T1(int n) { return 188 + 4 * n; } // 16-bit tone in tenths of Hz
constexpr int T2(int n) { return 190 + 4 * n; }
constexpr int T3(int n) { return 222 + 2 * n; }

inline constexpr int VersionTag = 240;
inline constexpr int VersionTagSize = 14;
inline constexpr int Checksum = 254; // 16-bit
inline constexpr int ChecksumFirst = 16;
inline constexpr int ChecksumLast = 253;

// Flag bits.
constexpr BitField DutyBit(int n) { return {Duty, n - 1, 1}; }
constexpr BitField GDutyBit(int n) { return {GDuty, n - 1, 1}; }
// System flag of Tag t: 1 SYSSV, 2 SYSPTL, 3 SYSAudio, 4 SYSFIX, 5 SYSPow,
// 6 SYSVib, 7 SYSPowSave, 8 SYSPrivacy.
constexpr BitField SystemFlag(int t) { return {SystemFlags, t - 1, 1}; }
inline constexpr int SYSSV = 1;
inline constexpr int SYSPTL = 2;
inline constexpr int SYSAudio = 3;
inline constexpr int SYSFIX = 4;
inline constexpr int SYSPow = 5;
inline constexpr int SYSVib = 6;
inline constexpr int SYSPowSave = 7;
inline constexpr int SYSPrivacy = 8;
inline constexpr BitField FullTimeAutoMonitor{Flags, 2, 1};
inline constexpr BitField VolumeLevel{Flags, 3, 1};
inline constexpr BitField PTL{Flags, 4, 1};
constexpr BitField Priority(int n) { return {CallRecord(n), 7, 1}; }
constexpr BitField AlertType(int n) { return {CallRecord(n), 0, 6}; }
constexpr BitField GPriority(int n) { return {GroupRecord(n), 7, 1}; }
constexpr BitField GAlertType(int n) { return {GroupRecord(n), 0, 6}; }

} // namespace field
