// simmouse.exe: runs the simulated mouse ("serve") or sends it one request.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ConfiguredPipe.h"
#include "ControlArgs.h"
#include "ControlClient.h"
#include "DeviceServer.h"
#include "MouseModel.h"
#include "PipeName.h"

#ifndef TERN7_VENDOR_ID
#error "TERN7_VENDOR_ID must be defined by the build"
#endif

namespace {

std::string ToUtf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

std::wstring ToWide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), size);
    wide.pop_back();
    return wide;
}

int Serve(const std::wstring& pipePath, const simmouse::Invocation& invocation) {
    simmouse::MouseModel mouse(invocation.vendorId.value_or(TERN7_VENDOR_ID), invocation.attached);
    simmouse::DeviceServer server(pipePath, std::move(mouse));
    std::string error;
    if (!server.Listen(error)) {
        std::fprintf(stderr, "simmouse: %s: %s\n", ToUtf8(pipePath.c_str()).c_str(), error.c_str());
        return simmouse::kExitRefused;
    }
    std::printf("simmouse: serving %s\n", ToUtf8(pipePath.c_str()).c_str());
    std::fflush(stdout);
    if (!server.Run()) {
        std::fprintf(stderr, "simmouse: the pipe failed; the device server stops\n");
        return simmouse::kExitRefused;
    }
    return simmouse::kExitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
    const simmouse::ParsedArgs parsed = simmouse::ParseControlArgs(args);
    if (!parsed.invocation) {
        std::fprintf(stderr, "simmouse: %s\n", parsed.error.c_str());
        return simmouse::kExitUsage;
    }
    const simmouse::Invocation& invocation = *parsed.invocation;
    const std::wstring pipePath =
        invocation.pipe ? simmouse::FullPipeName(ToWide(*invocation.pipe)) : simmouse::ConfiguredPipePath();
    switch (invocation.action) {
        case simmouse::Invocation::Action::Help:
            std::fputs(simmouse::kControlUsage, stdout);
            return simmouse::kExitOk;
        case simmouse::Invocation::Action::Serve:
            return Serve(pipePath, invocation);
        case simmouse::Invocation::Action::WaitReady:
            return simmouse::WaitUntilReady(pipePath, invocation.readyTimeoutMs);
        case simmouse::Invocation::Action::Request:
            return simmouse::SendRequest(pipePath, invocation);
    }
    return simmouse::kExitUsage;
}
