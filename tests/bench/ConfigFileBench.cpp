// The cost of config.ini to the agent: loading it with one read against a profile-function
// call a key, and the start-up write-back against a profile-function call a key, each
// flushed. Figures, not pass or fail: compare them within one run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchFigures.h"
#include "ConfigFile.h"
#include "IniFile.h"
#include "TestFiles.h"

namespace {

constexpr int kLoads = 30;
constexpr int kWrites = 15;

// How the agent wrote the file before: one call a key, each flushed.
void WriteKeyByKey(const std::wstring& path, const std::vector<IniEntry>& entries) {
    for (const IniEntry& entry : entries) {
        WritePrivateProfileStringW(entry.Section.c_str(), entry.Key.c_str(), entry.Value.c_str(), path.c_str());
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    }
}

struct Case {
    const char* What;
    std::string Start;  // the file before each write-back
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

}  // namespace

int wmain() {
    const std::string defaults = ReadFileBytes(HostPath(TERN7_DEFAULT_CONFIG));
    ScratchFolder work;
    const IniFile config(work.File(L"config.ini"));
    SummaryTable table;

    WriteFileBytes(config.Path(), defaults);
    SettingsImage image{};
    std::vector<double> byCalls, byOneRead;
    for (int i = 0; i < kLoads; ++i) {
        byCalls.push_back(TimeOnce([&] { LoadSettings(static_cast<const IniReader&>(config), image); }));
        byOneRead.push_back(TimeOnce([&] { LoadSettings(config, image); }));
    }
    Report("load, a profile call a key", byCalls);
    Report("load, one read", byOneRead);
    table.Add("load: one read against a call a key", Format("%.2f ms against %.2f ms, x%.0f", Median(byOneRead),
                                                            Median(byCalls), Median(byCalls) / Median(byOneRead)));

    const Case cases[] = {
        {"write-back, file already whole", defaults},
        {"write-back, one value out of range", Replaced(defaults, "DPI=3", "DPI=9")},
        {"write-back, every button section missing", defaults.substr(0, defaults.find("[ButtonAssigned0_1]"))},
    };
    for (const Case& c : cases) {
        WriteFileBytes(config.Path(), c.Start);
        SettingsImage loaded{};
        LoadSettings(config, loaded);
        const std::vector<IniEntry> entries = ConfigEntries(loaded);
        std::vector<double> old, now;
        for (int i = 0; i < kWrites; ++i) {
            WriteFileBytes(config.Path(), c.Start);
            old.push_back(TimeOnce([&] { WriteKeyByKey(config.Path(), entries); }));
            WriteFileBytes(config.Path(), c.Start);
            now.push_back(TimeOnce([&] { WriteConfigFile(config, loaded); }));
        }
        std::printf("%s (%zu keys)\n", c.What, entries.size());
        Report("  a profile call a key, each flushed", old);
        Report("  read once, write what changes, replace", now);
        table.Add(c.What,
                  Format("%.2f ms against %.1f ms, x%.0f", Median(now), Median(old), Median(old) / Median(now)));
    }
    table.Print();
    return 0;
}
