#include "support/bench_timing.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exception>

using namespace Qt::StringLiterals;

namespace qm::bench {

double Samples::median() const
{
    if (values_.empty())
        return 0;
    std::vector<double> sorted = values_;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

double Samples::min() const
{
    return values_.empty() ? 0 : *std::min_element(values_.begin(), values_.end());
}

double Samples::max() const
{
    return values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end());
}

namespace {

QString number(double milliseconds)
{
    if (milliseconds >= 100)
        return QString::number(milliseconds, 'f', 0);
    if (milliseconds >= 1)
        return QString::number(milliseconds, 'f', 1);
    return QString::number(milliseconds, 'f', 3);
}

}  // namespace

QString Samples::medianText(bool withRange) const
{
    if (values_.empty())
        return u"—"_s;
    QString text = number(median());
    if (withRange && values_.size() > 1)
        text += u" (%1–%2)"_s.arg(number(min()), number(max()));
    return text;
}

qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double millisecondsSince(qint64 startNanoseconds)
{
    return double(monotonicNanoseconds() - startNanoseconds) / 1e6;
}

Samples timeRuns(int runs, const std::function<void()> &operation, const std::function<void()> &between)
{
    Samples samples;
    for (int run = 0; run < runs; ++run) {
        const qint64 start = monotonicNanoseconds();
        operation();
        samples.add(millisecondsSince(start));
        if (between)
            between();
    }
    return samples;
}

QString ratioText(double numerator, double denominator)
{
    if (denominator <= 0 || numerator <= 0)
        return u"—"_s;
    const double ratio = numerator / denominator;
    return u"×"_s + QString::number(ratio, 'f', ratio >= 10 ? 0 : ratio >= 1 ? 1 : 3);
}

double peakResidentMiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression peak(u"^VmHWM:\\s+(\\d+) kB"_s, QRegularExpression::MultilineOption);
    return peak.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / 1024;
}

void printRow(const QStringList &cells)
{
    std::printf("| %s |\n", cells.join(u" | "_s).toUtf8().constData());
    std::fflush(stdout);
}

int runsArgument(int defaultRuns)
{
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--runs"));
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : defaultRuns;
}

int runReported(const std::function<void()> &body)
{
    try {
        body();
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

}  // namespace qm::bench
