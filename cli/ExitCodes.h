#pragma once

// What px520-cli returns; scripts test these, so the numbers never change.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitDiffer = 1,         // diff: the two tables differ; check: calls overlap
    kExitUsage = 2,          // the command line itself is wrong
    kExitFile = 3,           // a table or trace file cannot be read or written
    kExitRefused = 4,        // set: a value the window's rules refuse
    kExitPort = 5,           // the port is missing, busy or not permitted
    kExitBoardSilent = 6,    // the programmer board does not answer
    kExitTransferFailed = 7, // read, write or verify started and did not succeed
};

inline constexpr const char* kExitCodesHelp =
    "Exit codes: 0 success; 1 diff: the tables differ, check: calls overlap;\n"
    "2 usage error; 3 file error; 4 refused value or overlapping sheet; 5 port missing, busy or not permitted; 6 board not answering;\n"
    "7 transfer failed (read, write or verify error, checksum error, other model);\n"
    "130, 143 interrupted by SIGINT, SIGTERM.";
