#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace qm::bench {

// The times of repeated runs of one operation, in milliseconds.
class Samples {
public:
    void add(double milliseconds) { values_.push_back(milliseconds); }
    bool empty() const { return values_.empty(); }
    std::size_t size() const { return values_.size(); }

    double median() const;
    double min() const;
    double max() const;

    // "12.3" for the median, or "12.3 (11.9–14.0)" with the range of the runs,
    // which is how noisy the shared machine was during them.
    QString medianText(bool withRange = true) const;

private:
    std::vector<double> values_;
};

// Runs the operation `runs` times; `between` runs untimed after each run
// (restoring what the operation changed).
Samples timeRuns(int runs, const std::function<void()> &operation, const std::function<void()> &between = {});

double millisecondsSince(qint64 startNanoseconds);
qint64 monotonicNanoseconds();

// "×3.4" — how many times `part` fits into `whole`, for the ratio columns.
QString ratioText(double numerator, double denominator);

// Peak resident memory of this process (VmHWM), in MiB.
double peakResidentMiB();

// Prints one markdown table row.
void printRow(const QStringList &cells);

// The number after "--runs" on the command line, or the default.
int runsArgument(int defaultRuns);

// Runs a benchmark's body; a failure is printed and gives exit status 1.
int runReported(const std::function<void()> &body);

}  // namespace qm::bench
