// ReceiveBuffer against BufferModel over long random runs of stores and ticks, compared after every
// operation: all 1024 units, the write index, the new-data flag and what each tick returns.
//
// The same source is built for Wine in the unit tests and natively under the sanitizers
// (scripts/native-checks). The environment sizes a run; a failure prints the settings that repeat
// it:
//   BUFFER_PROPERTY_SEED   first seed (default 1)
//   BUFFER_PROPERTY_SEEDS  how many seeds, one fresh buffer each (default 40)
//   BUFFER_PROPERTY_OPS    operations per seed (default 50000)
#include "buffer_model.h"
#include "receive_buffer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <random>
#include <string>

namespace {

struct Settings {
    std::uint64_t firstSeed;
    std::uint64_t seeds;
    std::uint64_t operationsPerSeed;
};

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 0) : fallback;
}

Settings SettingsFromEnvironment() {
    return {FromEnvironment("BUFFER_PROPERTY_SEED", 1),
            FromEnvironment("BUFFER_PROPERTY_SEEDS", 40),
            FromEnvironment("BUFFER_PROPERTY_OPS", 50000)};
}

struct Operation {
    enum class Kind { Store, Tick } kind;
    std::uint8_t byte;
};

std::string Describe(const Operation& op) {
    return op.kind == Operation::Kind::Tick ? "tick" : "store 0x" + HexUnit(op.byte).substr(4);
}

// Random operations with the cases that matter made common: zero bytes and bytes 0x80 to 0xFF,
// ticks from every other operation to rare, and bursts that end exactly on the limits. Raw
// mt19937_64 output only: its sequence is fixed by the standard, the distributions' are not, and
// a seed must repeat the same run under Wine and natively.
class OperationSource {
public:
    explicit OperationSource(std::uint64_t seed) : random_(seed) {
        static const std::uint64_t tickOdds[] = {2, 5, 40, 300};
        static const std::uint64_t zeroOdds[] = {2, 8, 64, 1000000};
        tickOdds_ = tickOdds[Draw(4)];
        zeroOdds_ = zeroOdds[Draw(4)];
    }

    // The index is the model's, so that bursts can be aimed at the limits.
    Operation Next(std::uint32_t writeIndex) {
        if (burstLeft_ == 0 && tickAfterBurst_) {
            tickAfterBurst_ = false;
            return {Operation::Kind::Tick, 0};
        }
        if (burstLeft_ == 0 && Draw(48) == 0)
            PlanBurst(writeIndex);
        if (burstLeft_ > 0) {
            --burstLeft_;
            return {Operation::Kind::Store, DrawByte()};
        }
        if (Draw(tickOdds_) == 0)
            return {Operation::Kind::Tick, 0};
        return {Operation::Kind::Store, DrawByte()};
    }

private:
    std::uint64_t Draw(std::uint64_t bound) { return random_() % bound; }

    std::uint8_t DrawByte() {
        if (Draw(zeroOdds_) == 0)
            return 0x00;
        switch (Draw(8)) {
        case 0:
        case 1:
        case 2:
            return static_cast<std::uint8_t>(0x80 + Draw(0x80));
        case 3:
            return Draw(2) ? '\r' : '\n';
        default:
            return static_cast<std::uint8_t>(1 + Draw(0x7F));
        }
    }

    // Stores that bring the index to a chosen unit; passing unit 1023 clears, so the index after k
    // stores is (index + k) mod 1024.
    static std::uint32_t StoresToReach(std::uint32_t from, std::uint32_t to) {
        return (to + 1024 - from) % 1024;
    }

    void PlanBurst(std::uint32_t writeIndex) {
        const std::uint64_t choice = Draw(7);
        if (choice < 5) { // a tick at 1019 to 1023: the break fits up to 1021, clears from 1022
            burstLeft_ = StoresToReach(writeIndex, static_cast<std::uint32_t>(1019 + choice));
            tickAfterBurst_ = true;
        } else if (choice == 5) { // one byte into the last unit, sometimes shown at once
            burstLeft_ = StoresToReach(writeIndex, 1023) + 1;
            tickAfterBurst_ = Draw(2) == 0;
        } else {
            burstLeft_ = static_cast<std::uint32_t>(1 + Draw(200));
        }
    }

    std::mt19937_64 random_;
    std::uint64_t tickOdds_;
    std::uint64_t zeroOdds_;
    std::uint32_t burstLeft_ = 0;
    bool tickAfterBurst_ = false;
};

// How often a run met each situation the rules single out, so that a run that never reached a
// limit fails instead of passing quietly.
class Tally {
public:
    enum Event {
        ZeroByte,
        HighByte,
        ByteIntoLastUnit,
        IdleTick,
        TickAt1021,
        TickAt1022,
        TickAt1023,
        TickAfterLastUnitClear,
        TickBehindZero,
        EventCount
    };

    void Count(const BufferModel& before, const Operation& op) {
        ++operations_;
        if (op.kind == Operation::Kind::Store) {
            Add(op.byte == 0, ZeroByte);
            Add(op.byte >= 0x80, HighByte);
            Add(before.WriteIndex() == 1023, ByteIntoLastUnit);
            return;
        }
        if (!before.HasNewData()) {
            Add(true, IdleTick);
            return;
        }
        const std::uint32_t index = before.WriteIndex();
        Add(index == 1021, TickAt1021);
        Add(index == 1022, TickAt1022);
        Add(index == 1023, TickAt1023);
        Add(index == 0, TickAfterLastUnitClear);
        Add(before.Visible().size() < index && index < 1022, TickBehindZero);
    }

    std::uint64_t operations() const { return operations_; }
    std::uint64_t operator[](Event event) const { return counts_[event]; }

    static const char* Name(Event event) {
        static const char* const names[EventCount] = {"zero bytes",
                                                      "bytes 0x80-0xFF",
                                                      "bytes into unit 1023",
                                                      "ticks without new data",
                                                      "ticks at index 1021",
                                                      "ticks at index 1022",
                                                      "ticks at index 1023",
                                                      "ticks right after the last unit's clear",
                                                      "ticks with text hidden behind a zero"};
        return names[event];
    }

private:
    void Add(bool happened, Event event) {
        if (happened)
            ++counts_[event];
    }

    std::uint64_t operations_ = 0;
    std::array<std::uint64_t, EventCount> counts_{};
};

std::string Repeat(std::uint64_t seed, std::uint64_t operations) {
    return "BUFFER_PROPERTY_SEED=" + std::to_string(seed) +
           " BUFFER_PROPERTY_SEEDS=1 BUFFER_PROPERTY_OPS=" + std::to_string(operations);
}

// One fresh buffer and model through one seed's sequence; the first disagreement with the
// operations that led to it, or empty when they agreed throughout.
std::string RunSeed(std::uint64_t seed, std::uint64_t operations, Tally& tally) {
    ReceiveBuffer buffer;
    BufferModel model;
    OperationSource source(seed);
    std::deque<Operation> recent;
    for (std::uint64_t n = 0; n < operations; ++n) {
        const Operation op = source.Next(model.WriteIndex());
        tally.Count(model, op);
        recent.push_back(op);
        if (recent.size() > 12)
            recent.pop_front();

        std::string difference;
        if (op.kind == Operation::Kind::Store) {
            buffer.Store(op.byte);
            model.Store(op.byte);
        } else {
            const bool shown = buffer.TakeForDisplay();
            if (shown != model.TakeForDisplay())
                difference = std::string("TakeForDisplay returned ") + (shown ? "true" : "false");
        }
        if (difference.empty())
            difference = Disagreement(buffer, model);
        if (!difference.empty()) {
            std::string trail;
            for (const Operation& earlier : recent)
                trail += (trail.empty() ? "" : ", ") + Describe(earlier);
            return "seed " + std::to_string(seed) + ", operation " + std::to_string(n) + ": " +
                   difference + "\n  last operations: " + trail + "\n  repeat with " +
                   Repeat(seed, n + 1);
        }
    }
    return {};
}

TEST(ReceiveBufferAgainstModel, RandomSequencesAgreeAfterEveryOperation) {
    const Settings settings = SettingsFromEnvironment();
    Tally tally;
    int failures = 0;
    for (std::uint64_t seed = settings.firstSeed;
         seed < settings.firstSeed + settings.seeds && failures < 3; ++seed) {
        const std::string failure = RunSeed(seed, settings.operationsPerSeed, tally);
        if (!failure.empty()) {
            ADD_FAILURE() << failure;
            ++failures;
        }
    }

    std::cout << "[ figures  ] " << tally.operations() << " operations, seeds "
              << settings.firstSeed << ".." << settings.firstSeed + settings.seeds - 1 << " x "
              << settings.operationsPerSeed << "\n";
    for (int event = 0; event < Tally::EventCount; ++event) {
        const auto which = static_cast<Tally::Event>(event);
        std::cout << "[ figures  ]   " << tally[which] << " " << Tally::Name(which) << "\n";
        if (failures == 0) {
            EXPECT_GT(tally[which], 0u)
                << "the run met no " << Tally::Name(which) << "; give it more operations or seeds";
        }
    }
}

} // namespace
