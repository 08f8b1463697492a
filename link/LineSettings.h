#pragma once

// The line the programmer board speaks: 9600 baud, 8 data bits, no parity,
// one stop bit (TCommPort's frame mode 1).
inline constexpr int kBaud = 9600;
inline constexpr int kFrameMode8N1 = 1;
