// The simulated magnetic-stripe card reader: it sits on the far end of the reader port's cable,
// is powered through the "HCD1:" driver's stand-in, answers the two version queries and sends
// the track data of a swiped card. While unpowered it is silent: queries go unanswered and
// swipes unread.
#pragma once

#include "serial_peer.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace standins {

// A test card number (it passes the Luhn check), swiped unless told otherwise.
inline constexpr char kTestCardNumber[] = "4111111111111111";
// The reader's answers to STX 'D' CR and STX 'V' CR.
inline constexpr char kMsrVersionAnswer[] = "MSR V2.10\r";
inline constexpr char kFirmwareVersionAnswer[] = "FW 1.04.7\r";

// Whether `digits` is a card number whose last digit is its Luhn check digit.
bool PassesLuhn(const std::string& digits);

// What the reader sends for a card: track 1 ("%B" number "^" name "^" expiry, service code and
// discretionary data "?") and track 2 (";" number "=" the same data "?"), then CR.
std::string TrackData(const std::string& cardNumber);

class CardReader {
public:
    using Report = std::function<void(const std::string& line)>;

    // `peerPort` is the cable's far end ("COM13"); the reader talks at 19200 baud, 8N1.
    CardReader(const wchar_t* peerPort, Report report);
    CardReader(const CardReader&) = delete;
    CardReader& operator=(const CardReader&) = delete;
    ~CardReader();

    bool isReady() const { return peer_.isOpen(); }

    // Told by the power driver's stand-in.
    void SetPowered(bool on);
    bool powered() const { return powered_; }

    // Sends `trackData` as a swipe and returns once it is on the cable; false (nothing sent)
    // while unpowered, or when the cable did not take it.
    bool Swipe(const std::string& trackData);

    // Every byte that came from the terminal's side so far.
    std::string received() const;
    // The same bytes by burst: each burst is bytes that came with no pause between them.
    std::vector<std::string> bursts() const;
    // Waits until at least `count` bytes have come, or `timeoutMs`.
    bool WaitForReceived(std::size_t count, DWORD timeoutMs) const;
    // Throws away whatever the cable still holds; for a fresh start, before anything is sent.
    void Purge();

private:
    struct Outgoing {
        std::string bytes;
        std::promise<bool> sent;
    };

    // The only thread that touches the cable: reads bursts, answers queries, sends swipes.
    void Run();
    void Receive(const std::string& burst);
    void TakeCommandByte(char byte);
    void Answer(const std::string& command);
    void SendQueued();
    void Say(const std::string& line) const;

    Report report_;
    SerialPeer peer_;
    std::atomic<bool> powered_{false};
    std::atomic<bool> stopping_{false};
    std::string command_; // a query being received; I/O thread only

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::string received_;
    std::vector<std::string> bursts_;
    std::deque<Outgoing> outgoing_;

    std::thread io_;
};

} // namespace standins
