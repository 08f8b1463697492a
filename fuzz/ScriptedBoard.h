#pragma once

#include "fuzz/ReplyScript.h"
#include "model/ConfigImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// An owned file descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A programmer board on the master side of a pseudo-terminal that answers
// each request frame with the next reply of a script, written only after
// the request has arrived and while the tool holds the line in raw mode.
class ScriptedBoard {
public:
    ScriptedBoard(std::vector<ScriptedReply> replies, const ConfigImage& memory);
    ~ScriptedBoard();
    ScriptedBoard(const ScriptedBoard&) = delete;
    ScriptedBoard& operator=(const ScriptedBoard&) = delete;

    const std::string& slavePath() const { return slavePath_; }

private:
    struct Request {
        std::uint8_t target = 0;
        std::uint8_t operation = 0;
        std::size_t address = 0;
        std::size_t count = 0;
        std::vector<std::uint8_t> data; // a store's bytes
    };

    void serve();
    std::optional<Request> takeRequest();
    std::vector<std::uint8_t> replyTo(const Request& request, const ScriptedReply& reply);
    std::vector<std::uint8_t> memoryReply(const Request& request);
    bool slaveIsRaw() const;
    void send(const std::vector<std::uint8_t>& bytes) const;
    void pause() const;

    Descriptor master_;
    Descriptor stop_;
    std::string slavePath_;
    std::vector<ScriptedReply> replies_;
    std::size_t nextReply_ = 0;
    ConfigImage memory_;
    std::vector<std::uint8_t> pending_;
    std::thread thread_;
};
