// Prints how long the agent takes to start under this system, and what its settings
// load and full write-back cost. Figures, not pass or fail: compare them within one run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "IniFile.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "TestFiles.h"
#include "TestProcess.h"
#include "config/ConfigFile.h"

#define TERN7_WIDEN2(text) L##text
#define TERN7_WIDEN(text) TERN7_WIDEN2(text)

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Action>
double TimeOnce(Action action) {
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    action();
    QueryPerformanceCounter(&to);
    return Milliseconds(from, to);
}

void Report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (double s : samples) sum += s;
    std::printf("%-44s runs %2zu  median %8.1f ms  min %8.1f ms  mean %8.1f ms\n", what, samples.size(),
                samples[samples.size() / 2], samples.front(), sum / static_cast<double>(samples.size()));
}

std::wstring DistFolder() {
    std::wstring folder = L"Z:";
    folder += TERN7_WIDEN(TERN7_DIST_DIR);
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return JoinPath(folder, L"");
}

// From process start until the agent's message loop answers: the whole start-up
// sequence. Without HidDevice.dll there is no mouse, so no 2000 ms pause.
double AgentStartup(const std::wstring& hid, const std::wstring& folder, DWORD& processId, HWND& window) {
    ChildProcess agent;
    window = nullptr;
    const double ms = TimeOnce([&] {
        agent.Start(L"\"" + hid + L"\"", folder);
        PumpUntil([&] {
            const auto found = WindowsOfProcess(agent.Id(), names::kAgentWindowTitle);
            if (found.empty()) return false;
            DWORD_PTR ignored = 0;
            window = found.front();
            return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored) != 0;
        }, 60000);
    });
    processId = agent.Id();
    PostMessageW(window, WM_CLOSE, 0, 0);
    agent.WaitForExit(10000);
    return ms;
}

}  // namespace

int wmain() {
    const std::wstring dist = DistFolder();
    ScratchFolder install;
    for (const wchar_t* name : {L"hid.exe", L"config.ini", L"macrolist.ini"})
        CopyFileW((dist + name).c_str(), install.File(name).c_str(), FALSE);

    // Settings load and write-back on the default config.ini.
    ScratchFolder work;
    IniFile config(work.File(L"config.ini"));
    CopyFileW((dist + L"config.ini").c_str(), config.Path().c_str(), FALSE);
    SettingsImage image{};
    std::vector<double> loads, writes;
    for (int i = 0; i < 20; ++i) loads.push_back(TimeOnce([&] { LoadSettings(config, image); }));
    for (int i = 0; i < 5; ++i) writes.push_back(TimeOnce([&] { WriteConfigFile(config, image); }));
    Report("LoadSettings (default config.ini)", loads);
    Report("WriteConfigFile (187 keys, each flushed)", writes);

    // Agent start-up, first run (first-run copy) and later runs.
    std::vector<double> first, later, baseline;
    for (int run = 0; run < 3; ++run) {
        ScratchFolder appData;
        AppDataRedirect redirect(appData.Path());
        DWORD id = 0;
        HWND window = nullptr;
        first.push_back(AgentStartup(install.File(L"hid.exe"), install.Path(), id, window));
        for (int i = 0; i < 3; ++i) later.push_back(AgentStartup(install.File(L"hid.exe"), install.Path(), id, window));
    }
    // A process start that does almost nothing, to compare with: the agent's own
    // refusal of a second instance while the first runs.
    {
        ScratchFolder appData;
        AppDataRedirect redirect(appData.Path());
        ChildProcess agent;
        agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path());
        PumpUntil([&] { return !WindowsOfProcess(agent.Id(), names::kAgentWindowTitle).empty(); }, 60000);
        for (int i = 0; i < 5; ++i) {
            ChildProcess second;
            baseline.push_back(TimeOnce([&] {
                second.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path());
                second.WaitForExit(30000);
            }));
        }
        for (HWND window : WindowsOfProcess(agent.Id(), names::kAgentWindowTitle)) PostMessageW(window, WM_CLOSE, 0, 0);
        agent.WaitForExit(10000);
    }
    Report("agent start-up, first run for the user", first);
    Report("agent start-up, later runs", later);
    Report("second instance start and exit (baseline)", baseline);
    return 0;
}
