#include "BenchFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>

double Milliseconds(long long fromCounter, long long toCounter) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(toCounter - fromCounter) / static_cast<double>(frequency.QuadPart);
}

long long CounterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Percentile(std::vector<double> samples, double share) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

double Median(const std::vector<double>& samples) { return Percentile(samples, 0.5); }

void Report(const char* what, const std::vector<double>& samples) {
    if (samples.empty()) {
        std::printf("%-44s no samples\n", what);
        return;
    }
    double sum = 0;
    for (double s : samples) sum += s;
    std::printf("%-44s runs %4zu  median %8.2f ms  min %8.2f ms  mean %8.2f ms\n", what, samples.size(),
                Median(samples), *std::min_element(samples.begin(), samples.end()),
                sum / static_cast<double>(samples.size()));
    std::fflush(stdout);
}

void SummaryTable::Add(std::string what, std::string figure) { rows_.emplace_back(std::move(what), std::move(figure)); }

void SummaryTable::Print() const {
    std::size_t width = 0;
    for (const auto& row : rows_) width = std::max(width, row.first.size());
    std::printf("\n%-*s | %s\n%s-+-%s\n", static_cast<int>(width), "measure", "figure", std::string(width, '-').c_str(),
                std::string(40, '-').c_str());
    for (const auto& [what, figure] : rows_)
        std::printf("%-*s | %s\n", static_cast<int>(width), what.c_str(), figure.c_str());
    std::fflush(stdout);
}

void RatioTable::Add(std::string what, double figure, double baseline, const char* unit, double goal) {
    if (baseline <= 0 || figure <= 0) {
        AddText(std::move(what), Format("%.3f %s", figure, unit), Format("%.3f %s", baseline, unit), "-",
                "not measured");
        return;
    }
    const double ratio = figure / baseline;
    AddText(std::move(what), Format("%.3g %s", figure, unit), Format("%.3g %s", baseline, unit), Format("x%.2f", ratio),
            Format("x%.1f at most: %s", goal, ratio <= goal ? "met" : "NOT met"));
}

void RatioTable::AddText(std::string what, std::string figure, std::string baseline, std::string ratio,
                         std::string goal) {
    rows_.push_back({std::move(what), std::move(figure), std::move(baseline), std::move(ratio), std::move(goal)});
}

void RatioTable::Print() const {
    std::printf("\n| measure | figure | baseline | ratio | goal |\n|---|---|---|---|---|\n");
    for (const auto& row : rows_) {
        std::printf("|");
        for (const std::string& cell : row) std::printf(" %s |", cell.c_str());
        std::printf("\n");
    }
    std::fflush(stdout);
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}
