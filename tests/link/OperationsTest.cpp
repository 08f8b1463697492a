#include "link/Operations.h"
#include "link/OperationMessages.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/WritePreparation.h"
#include "sim/BoardEmulator.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/link/RecordingView.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <grp.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Messages = std::vector<RecordingView::Message>;
using Texts = std::vector<std::string>;

constexpr LinkTiming kFast{101, 2ms};

constexpr const char* kTesting = "  Target board testing ......";
constexpr const char* kReading = "  Reading Now ......";
constexpr const char* kWriting = "  Write Now ......";
constexpr const char* kVerifying = "  Verify Now ......";
constexpr const char* kReady = " Ready";
constexpr const char* kReadyAfterWrite = "  Ready .....";
constexpr const char* kNotRespondingRead = "The Board is not responding ! \nPlease check your "
                                           "programer ready\n and COM port connect properly !";
constexpr const char* kNotResponding = "The Board is not responding ! \nPlease check your "
                                       "programer ready \nand COM port connect properly !";

const BoardRequest kProbe{kTargetPager, kOperationRead, 0, 0};
const BoardRequest kVersion{kTargetPager, kOperationRead, 1, 2};
const BoardRequest kModel{kTargetPager, kOperationRead, 240, 14};
BoardRequest block(int address) {
    return {kTargetPager, kOperationRead, address, 128};
}
BoardRequest store(int address) {
    return {kTargetPager, kOperationStore, address, 8};
}

void storeTag(ConfigImage& image, std::string_view tag) {
    std::fill_n(image.begin() + field::VersionTag, field::VersionTagSize, 0);
    std::copy(tag.begin(), tag.end(), image.begin() + field::VersionTag);
}

// A pager as a Write of the board tool leaves it.
ConfigImage pagerMemory(std::uint8_t minor, std::string_view tag = "PX520 V3.8.2") {
    ConfigImage memory = defaultImage();
    memory[field::VersionMajor] = 1;
    memory[field::VersionMinor] = minor;
    memory[field::T1(1)] = 0x1A;
    storeTag(memory, tag);
    writeWord(memory, field::Checksum, imageChecksum(memory));
    return memory;
}

// What the window holds before the operation: distinct from the pager, and
// with every byte that Write prepares still unprepared.
ConfigImage workingImage() {
    ConfigImage image = defaultImage();
    image[field::T1(1)] = 0x2B;
    image[field::WriteMark] = 0;
    image[field::BatteryLow] = 0;
    image[field::Duty] = 0xF5;
    return image;
}

std::vector<BoardRequest> stores(int count) {
    std::vector<BoardRequest> requests;
    for (int i = 0; i < count; ++i) {
        requests.push_back(store(8 * i));
    }
    return requests;
}

std::vector<BoardRequest> concat(std::initializer_list<std::vector<BoardRequest>> parts) {
    std::vector<BoardRequest> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class PagerOperationsTest : public ::testing::Test {
protected:
    PagerOperationsTest() {
        board.setMemory(pagerMemory(90));
        board.start();
        portName = board.slavePath();
    }

    void setFaults(const std::function<void(BoardFaults&)>& change) {
        BoardFaults faults;
        change(faults);
        board.setFaults(faults);
    }

    // Every path past the board test ends the same way.
    void expectEndState(const char* status, std::vector<bool> menu) const {
        EXPECT_TRUE(view.windowIsEnabled());
        EXPECT_EQ(view.progressPosition(), 0);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(view.statusPanel1().back(), status);
        EXPECT_EQ(view.menu(), menu);
    }

    // The outcome returned is the last one shown, and says what happened
    // and where.
    void expectOutcome(const OperationOutcome& outcome, OperationResult result,
                       std::optional<OperationStep> failedStep) const {
        EXPECT_EQ(outcome.result, result);
        EXPECT_EQ(outcome.failedStep, failedStep);
        ASSERT_FALSE(view.outcomes.empty());
        EXPECT_EQ(view.outcomes.back().result, outcome.result);
        EXPECT_EQ(view.outcomes.back().failedStep, outcome.failedStep);
    }

    // The image a Write prepares for firmware 1.minor from `image`.
    static ConfigImage prepared(ConfigImage image, std::uint8_t minor) {
        image[field::VersionMajor] = 1;
        image[field::VersionMinor] = minor;
        prepareImageForWrite(image, FirmwareVersion{1, minor}, makeVersionTag(kWindowCaption));
        return image;
    }

    BoardEmulator board;
    std::string portName;
    TCommPort port;
    RecordingView view;
    ConfigImage image = workingImage();
    PagerOperations operations{port, view, image, makeVersionTag(kWindowCaption), kFast};
};

TEST_F(PagerOperationsTest, ReadTakesThePagerAndShowsIt) {
    view.modifyMode = true;
    const OperationOutcome outcome = operations.readPager(portName);

    expectOutcome(outcome, OperationResult::Success, std::nullopt);
    EXPECT_EQ(outcome.firmware, (FirmwareVersion{1, 90}));
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Information, "Read Success !"}}));
    EXPECT_EQ(image, pagerMemory(90));
    EXPECT_EQ(view.imageShown, 1);
    EXPECT_EQ(view.versionText, "1.90");
    EXPECT_TRUE(view.versionVisible);
    EXPECT_EQ(view.statusPanel1(), (Texts{kTesting, kReading, kReady}));
    EXPECT_EQ(view.windowEnabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.progressMaximum, 256);
    EXPECT_EQ(view.positions, (std::vector<int>{0, 128, 384, 0}));
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kVersion, kModel, block(0), block(128)}));
    expectEndState(kReady, {true, false, true});
}

TEST_F(PagerOperationsTest, WriteStoresThePreparedImageAndVerifiesIt) {
    view.modifyMode = true;
    const ConfigImage expected = prepared(image, 90);
    const OperationOutcome outcome = operations.writePager(portName);

    expectOutcome(outcome, OperationResult::Success, std::nullopt);
    EXPECT_EQ(outcome.firmware, (FirmwareVersion{1, 90}));
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Information, "Write Sucess !"}}));
    EXPECT_EQ(image, expected);
    EXPECT_EQ(board.memory(), expected);
    EXPECT_EQ(image[field::WriteMark], 1);
    EXPECT_EQ(image[field::BatteryLow], 103);
    EXPECT_EQ(image[field::Duty], 0x05);
    EXPECT_EQ(storedChecksum(image), imageChecksum(image));
    EXPECT_EQ(view.statusTexts.at(1), (std::pair<int, std::string>{2, ""}));
    EXPECT_EQ(view.statusPanel1(), (Texts{kTesting, kWriting, kVerifying, kReadyAfterWrite}));
    EXPECT_EQ(view.imageShown, 0);
    EXPECT_EQ(board.requests(),
              concat({{kProbe, kVersion, kModel}, stores(32), {block(0), block(128)}}));

    std::vector<int> positions{0};
    for (int p = 8; p <= 256; p += 8) {
        positions.push_back(p);
    }
    positions.insert(positions.end(), {0, 128, 256, 0});
    EXPECT_EQ(view.positions, positions);
    expectEndState(kReadyAfterWrite, {true, true, true});
}

TEST_F(PagerOperationsTest, VerifyComparesThePagerWithTheImage) {
    image = pagerMemory(90);
    expectOutcome(operations.verifyPager(portName), OperationResult::Success, std::nullopt);
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Information, "Verify Sucess !"}}));
    EXPECT_EQ(view.statusPanel1(), (Texts{kTesting, kVerifying, kReady}));
    EXPECT_EQ(view.positions, (std::vector<int>{0, 128, 384, 0}));
    EXPECT_EQ(board.requests(), (std::vector{kProbe, block(0), block(128)}));
    expectEndState(kReady, {true, true, true});

    // An edit not yet written.
    view.messages.clear();
    image[field::RSSI] ^= 0x01;
    const ConfigImage edited = image;
    expectOutcome(operations.verifyPager(portName), OperationResult::VerifyError,
                  OperationStep::VerifyBlocks);
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, "Verify Error !"}}));
    EXPECT_EQ(image, edited);
}

TEST_F(PagerOperationsTest, SilentBoardEndsBeforeAnyTransfer) {
    setFaults([](BoardFaults& f) { f.silent = true; });
    struct Case {
        OperationOutcome (PagerOperations::*operation)(const std::string&);
        const char* text;
    };
    for (const auto& c : {Case{&PagerOperations::readPager, kNotRespondingRead},
                          Case{&PagerOperations::writePager, kNotResponding},
                          Case{&PagerOperations::verifyPager, kNotResponding}}) {
        SCOPED_TRACE(c.text);
        view.messages.clear();
        view.statusTexts.clear();
        const OperationOutcome outcome = (operations.*c.operation)(portName);
        expectOutcome(outcome, OperationResult::BoardSilent, OperationStep::BoardTest);
        EXPECT_FALSE(outcome.error);
        EXPECT_EQ(view.messages, (Messages{{ViewMessage::Exclamation, c.text}}));
        EXPECT_EQ(view.statusPanel1(), (Texts{kTesting, kReady}));
        EXPECT_TRUE(view.windowIsEnabled());
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_EQ(view.menuChanges, 0);
    EXPECT_EQ(image, workingImage());
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kProbe, kProbe}));
}

TEST_F(PagerOperationsTest, ReopenFailureEndsWithThePortMessage) {
    struct Case {
        const char* port;
        const char* text;
        CommFail code;
    };
    // The port is a link to the board while the board test probes it; when
    // it is opened again the link points elsewhere.
    const auto link =
        std::filesystem::temp_directory_path() / ("px520-port-" + std::to_string(::getpid()));
    portName = link.string();
    for (const auto& c : {Case{"/nonexistent/ttyPX",
                               "Error opening comm port. Port already in use?", CommFail::Open},
                          Case{"/dev/null", "Error opening comm port.", CommFail::GetSettings}}) {
        SCOPED_TRACE(c.port);
        view.messages.clear();
        view.statusTexts.clear();
        std::filesystem::remove(link);
        std::filesystem::create_symlink(board.slavePath(), link);
        view.atRepaint = [&] {
            std::filesystem::remove(link);
            std::filesystem::create_symlink(c.port, link);
        };
        const OperationOutcome outcome = operations.readPager(portName);
        view.atRepaint = nullptr;
        expectOutcome(outcome, OperationResult::OpenFailed, OperationStep::Reopen);
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->FailCode, c.code);
        EXPECT_EQ(view.messages, (Messages{{ViewMessage::Plain, c.text}}));
        EXPECT_EQ(view.statusPanel1(), (Texts{kTesting}));
        EXPECT_TRUE(view.windowIsEnabled());
        EXPECT_FALSE(port.isOpen());
    }
    std::filesystem::remove(link);
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kProbe}));
    EXPECT_EQ(view.menuChanges, 0);
    EXPECT_EQ(image, workingImage());
}

// Root opens any file; without these two capabilities it is refused like a
// user outside the device's group.
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        ::syscall(SYS_capget, &header_, saved_.data());
        auto reduced = saved_;
        reduced[0].effective &= ~(1U << CAP_DAC_OVERRIDE | 1U << CAP_DAC_READ_SEARCH);
        ::syscall(SYS_capset, &header_, reduced.data());
    }
    ~WithoutFileOverride() { ::syscall(SYS_capset, &header_, saved_.data()); }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, 2> saved_{};
};

// Whether a group is named depends on the device's group and mode (see the
// reason's own tests); the message always says that permission was refused.
TEST_F(PagerOperationsTest, RefusedPermissionIsExplained) {
    const auto device =
        std::filesystem::temp_directory_path() / ("px520-locked-" + std::to_string(::getpid()));
    std::ofstream(device).put('\0');
    std::filesystem::permissions(device, std::filesystem::perms::none);
    portName = device.string();
    OperationOutcome outcome;
    {
        const WithoutFileOverride restricted;
        outcome = operations.readPager(portName);
    }
    std::filesystem::remove(device);

    expectOutcome(outcome, OperationResult::OpenFailed, OperationStep::BoardTest);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->SystemError, static_cast<std::uint32_t>(EACCES));

    ASSERT_EQ(view.messages.size(), 1U);
    EXPECT_EQ(view.messages[0].kind, ViewMessage::Plain);
    EXPECT_TRUE(
        view.messages[0].text.starts_with("Error opening comm port. Port already in use?\n"))
        << view.messages[0].text;
    EXPECT_NE(view.messages[0].text.find("You have no permission to use " + device.string()),
              std::string::npos)
        << view.messages[0].text;
    EXPECT_EQ(view.statusPanel1(), (Texts{kTesting, kReady}));
    EXPECT_TRUE(view.windowIsEnabled());
    EXPECT_EQ(board.exchanges(), 0U);
}

TEST_F(PagerOperationsTest, SearchRemembersAPortRefusedForPermission) {
    const auto device =
        std::filesystem::temp_directory_path() / ("px520-locked-" + std::to_string(::getpid()));
    std::ofstream(device).put('\0');
    std::filesystem::permissions(device, std::filesystem::perms::none);
    const std::vector<std::string> ports{device.string(), "/dev/px520-no-such-port"};
    OperationOutcome found;
    {
        const WithoutFileOverride restricted;
        found = operations.findBoard(ports);
    }
    std::filesystem::remove(device);

    EXPECT_EQ(found.result, OperationResult::BoardSilent);
    EXPECT_EQ(found.portIndex, std::nullopt);
    ASSERT_TRUE(found.error);
    EXPECT_EQ(found.error->Device, device.string());
    // The not-responding message names the refusal on a line of its own.
    const auto message = outcomeMessage(found);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->kind, ViewMessage::Exclamation);
    EXPECT_TRUE(message->text.starts_with(std::string(kNotResponding) + "\n")) << message->text;
    EXPECT_NE(message->text.find(device.string()), std::string::npos) << message->text;

    const std::vector<std::string> missing{"/dev/px520-no-such-port"};
    found = operations.findBoard(missing);
    EXPECT_EQ(found.portIndex, std::nullopt);
    EXPECT_FALSE(found.error);
    EXPECT_EQ(outcomeMessage(found)->text, kNotResponding);
}

// A refused port before the board is passed over and remembered, as a search
// port by port remembers it; one after the board would never have been tried.
TEST_F(PagerOperationsTest, SearchPassesOverARefusedPortToTheBoard) {
    const auto device =
        std::filesystem::temp_directory_path() / ("px520-locked-" + std::to_string(::getpid()));
    std::ofstream(device).put('\0');
    std::filesystem::permissions(device, std::filesystem::perms::none);
    const PseudoTerminal nobody;
    const std::vector<std::string> before{device.string(), nobody.slavePath(), portName};
    const std::vector<std::string> after{portName, device.string()};
    OperationOutcome behind;
    OperationOutcome ahead;
    {
        const WithoutFileOverride restricted;
        behind = operations.findBoard(before);
        ahead = operations.findBoard(after);
    }
    std::filesystem::remove(device);

    EXPECT_EQ(behind.portIndex, 2U);
    ASSERT_TRUE(behind.error);
    EXPECT_EQ(behind.error->Device, device.string());
    EXPECT_FALSE(outcomeMessage(behind));
    EXPECT_EQ(ahead.portIndex, 0U);
    EXPECT_FALSE(ahead.error);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kProbe}));
}

TEST_F(PagerOperationsTest, AnotherModelIsNotReadButIsWritten) {
    board.setMemory(pagerMemory(90, "KX300 V1.0"));
    const OperationOutcome outcome = operations.readPager(portName);
    expectOutcome(outcome, OperationResult::OtherModel, OperationStep::ModelQuery);
    EXPECT_EQ(outcome.modelName, "KX300 V1.0");
    EXPECT_EQ(outcome.firmware, (FirmwareVersion{1, 90}));
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Plain,
                                        "This model is not PX520. This model is KX300 V1.0."}}));
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kVersion, kModel}));
    ConfigImage expected = workingImage();
    expected[field::VersionMajor] = 1;
    expected[field::VersionMinor] = 90;
    EXPECT_EQ(image, expected);
    EXPECT_EQ(view.versionText, "1.90");
    expectEndState(kReady, {true, true, true});

    view.messages.clear();
    expectOutcome(operations.writePager(portName), OperationResult::Success, std::nullopt);
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Information, "Write Sucess !"}}));
}

TEST_F(PagerOperationsTest, ChecksumTestFollowsFirmwareAndTag) {
    struct Case {
        std::uint8_t minor;
        const char* tag;
        bool taken;
    };
    for (const auto& c : {Case{80, "", true}, Case{82, "", true}, Case{83, "", false},
                          Case{80, "PX520 V3.8.2", false}, Case{90, "PX520 V3.8.2", false}}) {
        SCOPED_TRACE(std::to_string(c.minor) + " '" + c.tag + "'");
        ConfigImage memory = pagerMemory(c.minor, c.tag);
        ++memory[field::Checksum + 1];
        board.setMemory(memory);
        image = workingImage();
        view.messages.clear();
        view.imageShown = 0;
        const OperationOutcome outcome = operations.readPager(portName);

        if (c.taken) {
            expectOutcome(outcome, OperationResult::Success, std::nullopt);
        } else {
            expectOutcome(outcome, OperationResult::ChecksumError, OperationStep::ChecksumTest);
        }
        EXPECT_EQ(outcome.tookImage(), c.taken);
        ConfigImage unchanged = workingImage();
        unchanged[field::VersionMajor] = 1;
        unchanged[field::VersionMinor] = c.minor;
        EXPECT_EQ(image, c.taken ? memory : unchanged);
        EXPECT_EQ(view.imageShown, c.taken ? 1 : 0);
        EXPECT_EQ(
            view.messages,
            (Messages{c.taken ? RecordingView::Message{ViewMessage::Information, "Read Success !"}
                              : RecordingView::Message{ViewMessage::Stop, "CheckSum error !"}}));
        expectEndState(kReady, {true, true, true});
    }
}

TEST_F(PagerOperationsTest, FailedReadBlockEndsTheRead) {
    // Exchanges of a Read: probe 1, version 2, model 3, blocks 4 and 5.
    struct Case {
        const char* name;
        std::function<void(BoardFaults&, unsigned)> fault;
        unsigned requests;
    };
    const std::vector<Case> cases{
        {"first block sum", [](BoardFaults& f, unsigned n) { f.badChecksumExchange = n + 4; }, 4},
        {"second block cut",
         [](BoardFaults& f, unsigned n) {
             f.cutExchange = n + 5;
             f.cutAfter = 100;
         },
         5},
        {"garbage before the first block",
         [](BoardFaults& f, unsigned n) {
             f.garbageExchange = n + 4;
             f.garbageBytes = 2;
         },
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned before = board.exchanges();
        setFaults([&](BoardFaults& f) { c.fault(f, before); });
        image = workingImage();
        view.messages.clear();
        view.imageShown = 0;
        expectOutcome(operations.readPager(portName), OperationResult::ReadError,
                      OperationStep::ReadBlocks);
        EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, "Read Error !"}}));
        EXPECT_EQ(board.exchanges() - before, c.requests);
        EXPECT_EQ(view.imageShown, 0);
        EXPECT_EQ(image[field::T1(1)], workingImage()[field::T1(1)]);
        expectEndState(kReady, {true, true, true});
    }
}

TEST_F(PagerOperationsTest, RefusedStoreOnBlockFiveEndsTheWriteAlone) {
    setFaults([](BoardFaults& f) { f.badAckStore = 5; });
    const ConfigImage expected = prepared(image, 90);
    expectOutcome(operations.writePager(portName), OperationResult::WriteError,
                  OperationStep::StoreBlocks);
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, "Write Error !"}}));
    EXPECT_EQ(board.requests(), concat({{kProbe, kVersion, kModel}, stores(5)}));
    EXPECT_EQ(image, expected);
    EXPECT_EQ(view.statusPanel1(), (Texts{kTesting, kWriting, kReadyAfterWrite}));
    expectEndState(kReadyAfterWrite, {true, true, true});
}

TEST_F(PagerOperationsTest, DifferenceAfterStoringIsAVerifyError) {
    setFaults([](BoardFaults& f) { f.differingAddress = 130; });
    const OperationOutcome outcome = operations.writePager(portName);
    expectOutcome(outcome, OperationResult::VerifyError, OperationStep::VerifyBlocks);
    // The block as the pager holds it, for a report of where it differs.
    ASSERT_TRUE(outcome.mismatch);
    EXPECT_EQ(outcome.mismatch->address, 128u);
    ASSERT_EQ(outcome.mismatch->pagerBytes.size(), 128u);
    for (std::size_t i = 0; i < 128; ++i) {
        EXPECT_EQ(outcome.mismatch->pagerBytes[i] != image[128 + i], i == 2) << i;
    }
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, "Verify Error !"}}));
    EXPECT_EQ(board.requests().back(), block(128));
    expectEndState(kReadyAfterWrite, {true, true, true});
}

TEST_F(PagerOperationsTest, BadSumOnTheSecondVerifyBlockIsAVerifyErrorAlone) {
    image = pagerMemory(90);
    setFaults([](BoardFaults& f) { f.badChecksumExchange = 3; });
    const OperationOutcome outcome = operations.verifyPager(portName);
    expectOutcome(outcome, OperationResult::VerifyError, OperationStep::VerifyBlocks);
    EXPECT_FALSE(outcome.mismatch) << "a failed exchange shows no pager bytes";
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, "Verify Error !"}}));
    EXPECT_EQ(board.requests(), (std::vector{kProbe, block(0), block(128)}));
    EXPECT_EQ(image, pagerMemory(90));
    expectEndState(kReady, {true, true, true});
}

TEST_F(PagerOperationsTest, ReminderMustStayOnBefore183) {
    board.setMemory(pagerMemory(80));
    image[field::Reminder] = 0;
    const OperationOutcome outcome = operations.writePager(portName);
    expectOutcome(outcome, OperationResult::ReminderRule, OperationStep::VersionQuery);
    EXPECT_EQ(outcome.firmware, (FirmwareVersion{1, 80}));
    EXPECT_EQ(view.messages,
              (Messages{{ViewMessage::Exclamation,
                         "The version before 1.83, Reminder function cannot be disabled. \nPlease "
                         "select 'Reminder' option again !"}}));
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kVersion}));
    ConfigImage expected = workingImage();
    expected[field::Reminder] = 0;
    expected[field::VersionMajor] = 1;
    expected[field::VersionMinor] = 80;
    EXPECT_EQ(image, expected);
    expectEndState(kReadyAfterWrite, {true, true, true});

    view.messages.clear();
    image[field::Reminder] = 1;
    operations.writePager(portName);
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Information, "Write Sucess !"}}));
    EXPECT_EQ(board.memory(), image);
}

TEST_F(PagerOperationsTest, GroupPrioritiesGoToBit7OnlyFor186) {
    for (const std::uint8_t minor : {86, 85, 90}) {
        SCOPED_TRACE(minor);
        board.setMemory(pagerMemory(minor));
        image = workingImage();
        writeBits(image, field::GPriority(1), 1);
        writeBits(image, field::GPriority(2), 0);
        writeBits(image, field::WriteBit7A, 7, 1, 0);
        writeBits(image, field::WriteBit7B, 7, 1, 1);
        view.messages.clear();
        operations.writePager(portName);
        ASSERT_EQ(view.messages, (Messages{{ViewMessage::Information, "Write Sucess !"}}));
        const ConfigImage memory = board.memory();
        EXPECT_EQ(readBits(memory, field::WriteBit7A, 7, 1), minor == 86 ? 1 : 0);
        EXPECT_EQ(readBits(memory, field::WriteBit7B, 7, 1), 0);
    }
}

TEST_F(PagerOperationsTest, UnknownFirmwareIsNotWritten) {
    setFaults([](BoardFaults& f) { f.badChecksumExchange = 2; });
    const OperationOutcome outcome = operations.writePager(portName);
    expectOutcome(outcome, OperationResult::WriteError, OperationStep::VersionQuery);
    EXPECT_FALSE(outcome.firmware);
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, "Write Error !"}}));
    EXPECT_EQ(board.requests(), (std::vector{kProbe, kVersion}));
    EXPECT_EQ(image, workingImage());
    EXPECT_EQ(board.memory(), pagerMemory(90));
    expectEndState(kReadyAfterWrite, {true, true, true});
}

TEST_F(PagerOperationsTest, LineDeadMidTransferIsReportedAndEndsCleanly) {
    const std::string reason = "Receiving from the programmer board failed.\n" + board.slavePath() +
                               ": Input/output error.";
    setFaults([](BoardFaults& f) { f.hangUpAfter = 4; });
    const OperationOutcome outcome = operations.readPager(portName);
    expectOutcome(outcome, OperationResult::PortFailed, OperationStep::ReadBlocks);
    ASSERT_TRUE(outcome.error);
    EXPECT_TRUE(outcome.error->FailCode == CommFail::BytesWaiting ||
                outcome.error->FailCode == CommFail::Read);
    EXPECT_EQ(outcome.error->SystemError, static_cast<std::uint32_t>(EIO));
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Stop, reason}}));
    ConfigImage expected = workingImage();
    expected[field::VersionMajor] = 1;
    expected[field::VersionMinor] = 90;
    EXPECT_EQ(image, expected);
    EXPECT_EQ(view.imageShown, 0);
    expectEndState(kReady, {true, true, true});
}

TEST_F(PagerOperationsTest, LineDeadWhileStoringKeepsThePreparedImage) {
    setFaults([](BoardFaults& f) { f.hangUpAfter = 10; });
    const ConfigImage expected = prepared(image, 90);
    const OperationOutcome outcome = operations.writePager(portName);
    expectOutcome(outcome, OperationResult::PortFailed, OperationStep::StoreBlocks);
    EXPECT_TRUE(outcome.error);
    ASSERT_EQ(view.messages.size(), 1U);
    EXPECT_EQ(view.messages[0].kind, ViewMessage::Stop);
    EXPECT_TRUE(view.messages[0].text.ends_with(": Input/output error.")) << view.messages[0].text;
    EXPECT_EQ(image, expected);
    EXPECT_EQ(board.requests().size(), 11U);
    expectEndState(kReadyAfterWrite, {true, true, true});
}

TEST_F(PagerOperationsTest, FindBoardSelectsTheThirdListedPort) {
    const PseudoTerminal nobody;
    const std::vector<std::string> ports{"/nonexistent/ttyPX", nobody.slavePath(),
                                         board.slavePath()};
    const OperationOutcome found = operations.findBoard(ports);
    EXPECT_TRUE(found.succeeded());
    EXPECT_EQ(found.portIndex, 2U);
    EXPECT_FALSE(outcomeMessage(found));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.portName(), board.slavePath());
    EXPECT_EQ(view.progressMaximum, 0);

    const std::vector<std::string> without(ports.begin(), ports.begin() + 2);
    const OperationOutcome none = operations.findBoard(without);
    EXPECT_EQ(none.result, OperationResult::BoardSilent);
    EXPECT_EQ(none.portIndex, std::nullopt);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PagerOperationsTest, BoardVersionIsTheBoardsOwn) {
    board.setBoardVersion(3, 2);
    const auto version = operations.boardVersion(portName);
    EXPECT_EQ(version, (BoardVersion{3, 2}));
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text(), "3.2");
    EXPECT_TRUE(port.isOpen());

    setFaults([](BoardFaults& f) { f.silent = true; });
    EXPECT_EQ(operations.boardVersion(portName), std::nullopt);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.outcomes.empty());
}

} // namespace
