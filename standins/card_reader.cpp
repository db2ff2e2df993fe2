#include "card_reader.h"

#include <chrono>
#include <cstdio>

namespace standins {

namespace {

constexpr DWORD kBaudRate = 19200;
// How long the I/O thread waits for a byte before it looks for swipes to send.
constexpr DWORD kIdlePollMs = 20;
// A pause this long ends a burst.
constexpr DWORD kBurstGapMs = 20;
constexpr std::size_t kLongestCommand = 8;
constexpr char kStx = 0x02;
constexpr char kCr = 0x0D;

// Expiry 2912 (YYMM), service code 101 and 13 digits of discretionary data, on both tracks.
constexpr char kCardData[] = "29121010000000000000";
constexpr char kCardholder[] = "TEST/CARD";

const char* AnswerTo(const std::string& command) {
    if (command == std::string{kStx, 'D', kCr})
        return kMsrVersionAnswer;
    if (command == std::string{kStx, 'V', kCr})
        return kFirmwareVersionAnswer;
    return nullptr;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : " %02X", byte);
        text += pair;
    }
    return text;
}

// What a console line shows of bytes the reader sends: all before the closing CR.
std::string UpToCr(const std::string& bytes) {
    return bytes.substr(0, bytes.find(kCr));
}

} // namespace

bool PassesLuhn(const std::string& digits) {
    if (digits.size() < 2)
        return false;
    int sum = 0;
    bool doubled = false;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it < '0' || *it > '9')
            return false;
        int digit = *it - '0';
        if (doubled)
            digit = digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
        sum += digit;
        doubled = !doubled;
    }
    return sum % 10 == 0;
}

std::string TrackData(const std::string& cardNumber) {
    return "%B" + cardNumber + "^" + kCardholder + "^" + kCardData + "?" + ";" + cardNumber + "=" +
           kCardData + "?" + kCr;
}

CardReader::CardReader(const wchar_t* peerPort, Report report)
    : report_(std::move(report)), peer_(peerPort, kBaudRate) {
    if (peer_.isOpen())
        io_ = std::thread([this] { Run(); });
}

CardReader::~CardReader() {
    stopping_ = true;
    if (io_.joinable())
        io_.join();
    for (Outgoing& item : outgoing_)
        item.sent.set_value(false);
}

void CardReader::SetPowered(bool on) {
    if (powered_.exchange(on) != on)
        Say(on ? "card reader: powered on" : "card reader: powered off");
}

bool CardReader::Swipe(const std::string& trackData) {
    if (!powered_) {
        Say("card reader: unpowered, the card goes unread");
        return false;
    }
    std::future<bool> sent;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!io_.joinable())
            return false;
        outgoing_.push_back(Outgoing{trackData, {}});
        sent = outgoing_.back().sent.get_future();
    }
    return sent.get();
}

std::string CardReader::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

std::vector<std::string> CardReader::bursts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bursts_;
}

bool CardReader::WaitForReceived(std::size_t count, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return received_.size() >= count; });
}

void CardReader::Purge() {
    peer_.Purge();
}

void CardReader::Say(const std::string& line) const {
    if (report_)
        report_(line);
}

void CardReader::Run() {
    while (!stopping_) {
        std::string burst = peer_.Read(kIdlePollMs);
        if (!burst.empty()) {
            for (std::string more; !(more = peer_.Read(kBurstGapMs)).empty();)
                burst += more;
            Receive(burst);
        }
        SendQueued();
    }
}

void CardReader::Receive(const std::string& burst) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        received_ += burst;
        bursts_.push_back(burst);
    }
    changed_.notify_all();
    Say("card reader: got " + Hex(burst));
    for (char byte : burst)
        TakeCommandByte(byte);
}

// A query is STX, one letter, CR; anything else on the line is ignored.
void CardReader::TakeCommandByte(char byte) {
    if (byte == kStx) {
        command_.assign(1, byte);
        return;
    }
    if (command_.empty())
        return;
    command_ += byte;
    if (byte == kCr)
        Answer(command_);
    if (byte == kCr || command_.size() >= kLongestCommand)
        command_.clear();
}

void CardReader::Answer(const std::string& command) {
    const char* answer = AnswerTo(command);
    if (answer == nullptr) {
        Say("card reader: no such query: " + Hex(command));
        return;
    }
    if (!powered_) {
        Say("card reader: unpowered, no answer");
        return;
    }
    Say("card reader: answering " + UpToCr(answer));
    if (!peer_.Write(answer))
        Say("card reader: the cable did not take the answer");
}

void CardReader::SendQueued() {
    for (;;) {
        Outgoing item;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (outgoing_.empty())
                return;
            item = std::move(outgoing_.front());
            outgoing_.pop_front();
        }
        Say("card reader: card swiped, sending " + UpToCr(item.bytes));
        item.sent.set_value(peer_.Write(item.bytes));
    }
}

} // namespace standins
