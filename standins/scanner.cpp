#include "scanner.h"

namespace standins {

Scanner::Scanner(const wchar_t* peerPort, const wchar_t* terminalPort, Report report)
    : report_(std::move(report)), peer_(peerPort, 9600) {
    driver_ = std::make_unique<DriverServer>(
        std::wstring(ce::hostlink::kDriverPipePrefix) + terminalPort,
        [this](const ce::hostlink::Request& request) { return OnRequest(request); });
}

void Scanner::SetBarcode(std::string code) {
    std::lock_guard<std::mutex> lock(barcodeMutex_);
    barcode_ = std::move(code);
}

bool Scanner::Scan(const std::string& code) {
    report_("scanner: sending " + code);
    return peer_.Write(code + "\r");
}

ce::hostlink::Reply Scanner::OnRequest(const ce::hostlink::Request& request) {
    if (request.code != kScannerTriggerCode) {
        report_("scanner: refused request " + std::to_string(request.code));
        return Fail(ERROR_INVALID_PARAMETER);
    }
    ++triggers_;
    report_("scanner: trigger");
    ce::hostlink::Reply reply = Succeed();
    reply.out[0] = 1; // the laser fired
    reply.returned = request.outSize >= 1 ? 1 : 0;
    std::string code;
    {
        std::lock_guard<std::mutex> lock(barcodeMutex_);
        code = barcode_;
    }
    Scan(code);
    return reply;
}

} // namespace standins
