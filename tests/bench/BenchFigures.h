#pragma once
// Timing with the performance counter, summaries of samples, and the closing table.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

double Milliseconds(long long fromCounter, long long toCounter);
long long CounterNow();

template <class Action>
double TimeOnce(Action action) {
    const long long from = CounterNow();
    action();
    return Milliseconds(from, CounterNow());
}

// The value below which the given share (0..1) of the samples lie; nearest rank.
double Percentile(std::vector<double> samples, double share);
double Median(const std::vector<double>& samples);

// "runs 20  median 1.2 ms  min 1.0 ms  mean 1.3 ms", one line per measurement.
void Report(const char* what, const std::vector<double>& samples);

// The figures gathered along the way, printed together at the end.
class SummaryTable {
public:
    void Add(std::string what, std::string figure);
    void Print() const;

private:
    std::vector<std::pair<std::string, std::string>> rows_;
};

// Figures against their baselines from the same run, printed as a Markdown table:
// measure | figure | baseline | ratio | goal. Missing figures print as a reason.
class RatioTable {
public:
    // goal: the highest ratio wanted.
    void Add(std::string what, double figure, double baseline, const char* unit, double goal);
    void AddText(std::string what, std::string figure, std::string baseline, std::string ratio, std::string goal);
    void Print() const;

private:
    std::vector<std::vector<std::string>> rows_;
};

std::string Format(const char* format, ...);
