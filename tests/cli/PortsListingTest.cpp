// The port listing shows names and descriptions as any text from outside.

#include "cli/PortsCommand.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A description comes from the device (a USB product string) and is shown
// as any other text from outside.
TEST(PortsListing, NamesAndDescriptionsAreEscaped) {
    std::ostringstream out;
    printPorts({{"ttyUSB0", "Evil\x1B]0;owned\x07 \xFF UART (ttyUSB0)"}, {"ttyS0", ""}}, out);
    EXPECT_EQ(out.str(), "ttyUSB0      Evil\\x1B]0;owned\\x07 \\xFF UART (ttyUSB0)\n"
                         "ttyS0        \n");
}

} // namespace
