// The simulated terminal: runs the host stand-ins for everything around the programs (the
// scanner and card reader on the far ends of the serial cables, their drivers, the USB link
// component and the restart handler), reports what they receive, and takes commands from its
// console to play the devices.
//
//   simterm [--run PROGRAM.exe]   with --run, starts the program and ends when it ends
#include "card_reader.h"
#include "reader_power_driver.h"
#include "restart_handler.h"
#include "scanner.h"
#include "usb_link.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex printMutex;

void Report(const std::string& line) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::lock_guard<std::mutex> lock(printMutex);
    std::printf("%02u:%02u:%02u.%03u  %s\n", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                line.c_str());
    std::fflush(stdout);
}

struct Terminal {
    std::unique_ptr<standins::Scanner> scanner;
    std::unique_ptr<standins::CardReader> cardReader;
    std::unique_ptr<standins::ReaderPowerDriver> readerPower;
    std::unique_ptr<standins::UsbLink> usbLink;
    std::unique_ptr<standins::RestartHandler> restartHandler;
};

void StartStandIns(Terminal& terminal) {
    terminal.scanner = std::make_unique<standins::Scanner>(L"COM11", L"COM1", Report);
    Report(terminal.scanner->isReady() ? "scanner: on COM11, the far end of COM1"
                                       : "scanner: COM11 not available (is the bench running?)");
    terminal.cardReader = std::make_unique<standins::CardReader>(L"COM13", Report);
    Report(terminal.cardReader->isReady()
               ? "card reader: on COM13, the far end of COM3 (unpowered)"
               : "card reader: COM13 not available (is the bench running?)");
    standins::CardReader* reader = terminal.cardReader.get();
    terminal.readerPower = std::make_unique<standins::ReaderPowerDriver>(
        Report, [reader](bool on) { reader->SetPowered(on); });
    if (terminal.readerPower->Start())
        Report("HCD1: card reader power driver ready");
    terminal.usbLink = std::make_unique<standins::UsbLink>(Report);
    terminal.usbLink->Start();
    terminal.restartHandler = std::make_unique<standins::RestartHandler>(Report);
    if (terminal.restartHandler->Start())
        Report("kernel: restart handler ready");
}

struct Command {
    const char* name;
    const char* help;
    std::function<void(Terminal&, std::istringstream&)> run;
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"scan", "scan [CODE]      the scanner reads a barcode (default: a test EAN-13)",
         [](Terminal& t, std::istringstream& args) {
             std::string code = standins::kDefaultBarcode;
             args >> code;
             t.scanner->Scan(code);
         }},
        {"barcode", "barcode CODE     the code the next trigger reads",
         [](Terminal& t, std::istringstream& args) {
             std::string code;
             if (args >> code)
                 t.scanner->SetBarcode(code);
         }},
        {"swipe", "swipe [CARD]     a card is swiped through the reader (default: a test card)",
         [](Terminal& t, std::istringstream& args) {
             std::string card = standins::kTestCardNumber;
             args >> card;
             if (!standins::PassesLuhn(card))
                 Report("card reader: " + card + " fails the Luhn check; swiped all the same");
             t.cardReader->Swipe(standins::TrackData(card));
         }},
        {"reader", "reader           the card reader's power and the power requests so far",
         [](Terminal& t, std::istringstream&) {
             Report(t.cardReader->powered() ? "card reader: powered" : "card reader: unpowered");
             for (const auto& request : t.readerPower->requests())
                 Report(standins::ReaderPowerDriver::Describe(request));
         }},
    };
    return commands;
}

void PrintHelp() {
    std::lock_guard<std::mutex> lock(printMutex);
    std::printf("commands:\n");
    for (const Command& command : Commands())
        std::printf("  %s\n", command.help);
    std::printf("  help             this list\n  quit             end the simulated terminal\n");
    std::fflush(stdout);
}

// Returns false on quit or the end of input.
bool RunCommandLine(Terminal& terminal, const std::string& line) {
    std::istringstream args(line);
    std::string name;
    if (!(args >> name))
        return true;
    if (name == "quit" || name == "exit")
        return false;
    for (const Command& command : Commands()) {
        if (name == command.name) {
            command.run(terminal, args);
            return true;
        }
    }
    PrintHelp();
    return true;
}

HANDLE StartProgram(const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return nullptr;
    ::CloseHandle(info.hThread);
    return info.hProcess;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring program;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--run")
            program = argv[i + 1];
    }

    Terminal terminal;
    StartStandIns(terminal);

    ce::UniqueHandle running;
    if (!program.empty()) {
        running.reset(StartProgram(program));
        if (!running) {
            std::fprintf(stderr, "simterm: cannot start %ls (error %lu)\n", program.c_str(),
                         ::GetLastError());
            return 1;
        }
    }
    PrintHelp();

    // The console is read on a thread of its own, so that the program's end can end us too.
    ce::UniqueHandle quit(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread console([&] {
        std::string line;
        while (std::getline(std::cin, line) && RunCommandLine(terminal, line)) {
        }
        if (!std::cin && running) // no console: serve until the program ends
            return;
        ::SetEvent(quit.get());
    });
    console.detach();

    HANDLE waits[] = {quit.get(), running.get()};
    ::WaitForMultipleObjects(running ? 2 : 1, waits, FALSE, INFINITE);
    std::fflush(stdout);
    // The console thread may still wait for input; end without waiting for it.
    ::ExitProcess(0);
}
