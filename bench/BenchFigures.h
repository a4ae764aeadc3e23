#pragma once

// Measuring and reporting the benchmark's figures.
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <type_traits>
#include <utility>

#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

class CardTable;
class ReferenceLists;
class TfmMain;

namespace BenchFigures {

template <typename F> double timed(F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed() / 1e6;
}

// One measurement in milliseconds: a callable that returns a double measures itself (to leave
// its preparation out); any other is timed whole.
template <typename F> double measure(F &&f)
{
    if constexpr (std::is_same_v<std::invoke_result_t<F>, double>)
        return f();
    else
        return timed(f);
}

// The median of runs measurements in milliseconds.
template <typename F> double median(int runs, F &&f)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.append(measure(f));
    std::sort(ms.begin(), ms.end());
    return ms.at(ms.size() / 2);
}

// The medians of two measurements taken in turns, so that the machine's moods fall on both alike.
template <typename F, typename G> std::pair<double, double> mediansInTurns(int runs, F &&f, G &&g)
{
    QList<double> first, second;
    for (int i = 0; i < runs; ++i) {
        first.append(measure(f));
        second.append(measure(g));
    }
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    return {first.at(runs / 2), second.at(runs / 2)};
}

// A write timed from a quiet disk: what earlier figures left to write back is on the disk first,
// as it is long before a clerk's next save. Without it a meeting of a million cards measures the
// disk's backlog, not the save.
template <typename F> double timedOnQuietDisk(F &&f)
{
    ::sync();
    return timed(f);
}

// What writing a file cannot beat: the same bytes written and synced to a file.
inline void plainWriteAndSync(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
        !f.flush() || ::fsync(f.handle()) != 0)
        std::fprintf(stderr, "plain write failed\n");
}

// Bytes the heap holds in use now; 0 where the C library does not tell.
inline qint64 heapInUse()
{
#ifdef __GLIBC__
    return qint64(mallinfo2().uordblks);
#else
    return 0;
#endif
}

struct Target
{
    enum Kind { None, Ratio, Absolute, OverBy } kind = None;
    double value = 0;
    static Target ratio(double r) { return {Ratio, r}; }
    // 0: no target at this size
    static Target absolute(double ms) { return ms > 0 ? Target{Absolute, ms} : Target{}; }
    // At most ms more than the baseline.
    static Target overBy(double ms) { return {OverBy, ms}; }
};

class Report
{
public:
    void note(int n, const QString &text)
    {
        m_lines.append({n, text, {}, 0, {}, 0, {}, false, false});
    }

    // A time in ms, with its baseline (empty: none) and target.
    void add(int n, const QString &what, double ms, const QString &baseline, double baselineMs,
             Target target)
    {
        m_lines.append({n, what, QStringLiteral("%1 ms").arg(ms, 0, 'f', 1), ms, baseline,
                        baselineMs, target, true, true});
    }
    // A quantity compared with another, as a ratio (memory).
    void addRatio(int n, const QString &what, double value, const QString &baseline,
                  double baselineValue, Target target)
    {
        m_lines.append({n, what, QString::number(value, 'f', 1), value, baseline, baselineValue,
                        target, true, false});
    }

    void print() const
    {
        std::printf("%-8s %-44s %12s  %-32s %10s %8s  %s\n", "cards", "figure", "ours", "baseline",
                    "baseline", "ratio", "target");
        for (const Line &l : m_lines) {
            if (!l.measured) {
                std::printf("\n%-8d %s\n", l.n, qPrintable(l.what));
                continue;
            }
            const bool hasBase = !l.baseline.isEmpty() && l.baselineValue > 0;
            const double ratio = hasBase ? l.value / l.baselineValue : 0;
            // Padded as text, not as bytes: some names hold Cyrillic letters.
            std::printf("%-8d %s %12s  %s %10s %8s  %s\n", l.n,
                        qPrintable(l.what.leftJustified(44)), qPrintable(l.shown),
                        qPrintable(l.baseline.leftJustified(32)),
                        hasBase ? qPrintable(QString::number(l.baselineValue, 'f', 1)) : "",
                        hasBase ? qPrintable(QStringLiteral("%1x").arg(ratio, 0, 'f', 2)) : "",
                        qPrintable(targetText(l)));
        }
        std::fflush(stdout);
    }

    bool allMet() const
    {
        return std::all_of(m_lines.begin(), m_lines.end(), [](const Line &l) { return met(l); }) &&
               m_growthMet;
    }

    // The curve: one row per number of cards, one column per timed figure, then one per
    // baseline ("plain: ..."), in ms; an empty cell where a figure was not measured. Returns the
    // numbers of figure and of baseline columns.
    std::pair<int, int> writeCurve(const QString &path) const;
    // How each timed figure grows between the two largest sizes measured, as the power of the
    // number of cards: linear is 1. Above kLinear it is a finding, which the table names; above
    // kMaxGrowth (an algorithm worse than n log n) the run fails.
    void printGrowth();
    static constexpr double kLinear = 1.2; // with room for n log n and the noise
    static constexpr double kMaxGrowth = 1.5;

private:
    struct Line
    {
        int n;
        QString what;
        QString shown;
        double value;
        QString baseline;
        double baselineValue;
        Target target;
        bool measured;
        bool isTime;
    };
    // A figure's name without what its measurement adds in brackets ("(FAM)", "(60.2 MB)").
    static QString curveName(const QString &what)
    {
        QString name = what.trimmed();
        if (name.endsWith(u')'))
            name = name.left(name.lastIndexOf(QStringLiteral(" ("))).trimmed();
        return name;
    }
    bool m_growthMet = true;
    static bool met(const Line &l)
    {
        switch (l.target.kind) {
        case Target::Ratio:
            return l.baselineValue <= 0 || l.value <= l.target.value * l.baselineValue;
        case Target::Absolute:
            return l.value <= l.target.value;
        case Target::OverBy:
            return l.value <= l.baselineValue + l.target.value;
        case Target::None:
            break;
        }
        return true;
    }
    static QString targetText(const Line &l)
    {
        const QString verdict = met(l) ? QStringLiteral("met") : QStringLiteral("MISSED");
        switch (l.target.kind) {
        case Target::Ratio:
            return QStringLiteral("<= %1x  %2").arg(l.target.value).arg(verdict);
        case Target::Absolute:
            return QStringLiteral("< %1 ms  %2").arg(l.target.value).arg(verdict);
        case Target::OverBy:
            return QStringLiteral("<= +%1 ms  %2").arg(l.target.value).arg(verdict);
        case Target::None:
            break;
        }
        return QString();
    }

    QList<Line> m_lines;
};

// Figures of the parts above the data layer (the card list, the printed list, the export, the
// meeting switch, the entry form); measured on the meeting saved by the data layer's figures.
void runExtraFigures(int n, int runs, const ReferenceLists &lists, const QString &folder,
                     double load, Report &report);

// The real program started on a copy of meetingFile, beside a copy of the program.
void startUpFigure(int n, int runs, const QString &meetingFile, Report &report);
void switchFigure(int n, int runs, TfmMain *main, double load, Report &report);
void entryFormFigures(int n, int runs, TfmMain *main, Report &report);

} // namespace BenchFigures
